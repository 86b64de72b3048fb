#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidewater {

/// The arguments of an options file's text: one per line of more than one
/// character that ends with a newline (the newline dropped, inner spaces
/// kept). Lines starting with "//" or "#" are skipped, and so is everything
/// from a line containing "/*" through the line containing "*/". Lines are
/// read in pieces of at most 1023 characters, as the file reader does.
std::vector<std::string> parseOptionsText(std::string_view text);

/// The arguments of the options file at "path"; nothing when it cannot be
/// opened.
std::optional<std::vector<std::string>> readOptionsFile(const std::string& path);

/// The message for an options file that cannot be opened.
std::string optionsFileError(const std::string& path);

}  // namespace tidewater
