#pragma once

#include <string>
#include <vector>

namespace tidewater {

/// The text encodings a file may be read in, in display order, each written
/// "name~~group" (for example "UTF-8~~Common"). withDefault puts the
/// "Default" entry first; without withGroups each entry is cut at "~~".
std::vector<std::string> textEncodings(bool withDefault, bool withGroups);

}  // namespace tidewater
