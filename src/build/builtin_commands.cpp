#include "build/builtin_commands.h"

#include <algorithm>
#include <array>

namespace tidewater {

namespace {

constexpr std::array<std::string_view, 5> kBuiltinCommands = {"cp", "docwright", "regwright", "chmod",
                                                              "rm"};

}  // namespace

bool isBuiltinCommand(std::string_view argument) {
  return std::find(kBuiltinCommands.begin(), kBuiltinCommands.end(), argument) != kBuiltinCommands.end();
}

void mapBuiltinCommands(std::vector<std::string>& arguments, const std::string& binDirectory) {
  if (binDirectory.empty()) return;
  for (std::string& argument : arguments) {
    if (isBuiltinCommand(argument)) argument = binDirectory + "/" + argument;
  }
}

}  // namespace tidewater
