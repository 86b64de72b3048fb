#pragma once

#include <string>
#include <string_view>

namespace tidewater {

/// Escapes text for XML or HTML built by concatenation: "&", ">", "<", the
/// double quote, the apostrophe and the middle dot (U+00B7, in UTF-8) become
/// entity references. Other bytes pass unchanged.
std::string xmlEscape(std::string_view text);

}  // namespace tidewater
