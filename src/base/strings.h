#pragma once

#include <string>

namespace tidewater {

/// The text with ASCII letters in lower case; other bytes (UTF-8 included)
/// unchanged, whatever the process locale.
std::string lowerCase(std::string text);

}  // namespace tidewater
