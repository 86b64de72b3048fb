#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tidewater {

/// Every name of a make-style dependency text, in order, the rule's first
/// prerequisite (its source) included. Continuation lines (starting with a
/// space or tab) are used whole; other lines contribute the text after their
/// first ": ". A space after a backslash does not split, and the backslash
/// stays in the name.
std::vector<std::string> parseDependencyText(std::string_view text);

/// The dependencies a compile step checks besides its source: the names of
/// the dependency file without the first; just the source when the file is
/// missing or names nothing.
std::vector<std::string> readDependencyFile(const std::string& path, const std::string& source);

}  // namespace tidewater
