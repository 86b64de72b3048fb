#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tidewater {

/// The command names that run the installation's own programs ("cp",
/// "docwright", "regwright", "chmod", "rm") rather than whatever the PATH
/// finds: the build relies on their behaviour.
bool isBuiltinCommand(std::string_view argument);

/// Replaces every argument (not only the first) that is exactly a built-in
/// command name by "<binDirectory>/<name>". An empty bin directory leaves
/// the arguments unchanged.
void mapBuiltinCommands(std::vector<std::string>& arguments, const std::string& binDirectory);

}  // namespace tidewater
