#pragma once

#include <string>
#include <string_view>

namespace tidewater {

/// The text with ASCII letters in lower case; other bytes (UTF-8 included)
/// unchanged, whatever the process locale.
std::string lowerCase(std::string text);

/// White space as the C locale classifies it: space, \t, \n, \v, \f and
/// \r. Unlike std::isspace it never depends on the process locale, and
/// it takes a plain char.
constexpr bool isAsciiSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

/// The text without leading and trailing isAsciiSpace bytes.
std::string_view trimmed(std::string_view text);

}  // namespace tidewater
