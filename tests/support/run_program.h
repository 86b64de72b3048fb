#pragma once

#include <string>
#include <vector>

namespace tidewater::test {

/// What a finished child process left: its exit status (-1 when it did not
/// exit normally) and everything it wrote on each stream.
struct ProgramResult {
  int exitStatus = -1;
  std::string standardOutput;
  std::string standardError;
};

/// Runs the program at "path" with exactly these arguments (arguments[0] is
/// the name the child sees), in "directory" when not empty, with
/// "environment" entries ("NAME=value", or "NAME" to unset) applied on top of
/// this process's environment.
ProgramResult runProgram(const std::string& path, const std::vector<std::string>& arguments,
                         const std::string& directory = {},
                         const std::vector<std::string>& environment = {});

}  // namespace tidewater::test
