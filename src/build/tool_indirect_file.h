#pragma once

#include <string>
#include <vector>

namespace tidewater {

/// Writes the indirect ("@") file a linker or archiver reads instead of its
/// inputs: one double-quoted path per line with every backslash doubled,
/// between "--start-group" and "--end-group" lines when "group" is set.
/// False when the file cannot be written.
bool writeToolIndirectFile(const std::string& path, const std::vector<std::string>& inputs, bool group);

}  // namespace tidewater
