#pragma once

#include <string>
#include <vector>

namespace tidewater {

/// The file types a file node can be given, in order. The values of
/// file_type are "Default" followed by these. Detection by extension can
/// also answer "Header", which is not one of them.
const std::vector<std::string>& fileTypes();

}  // namespace tidewater
