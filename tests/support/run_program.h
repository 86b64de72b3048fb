#pragma once

#include <string>
#include <vector>

namespace tidewater::test {

/// A finished child's exit status (-1 if it did not exit normally) and output.
struct ProgramResult {
  int exitStatus = -1;
  std::string standardOutput;
  std::string standardError;
};

/// Runs the program at "path" with exactly these arguments (arguments[0] is
/// the name the child sees), in "directory" when not empty.
ProgramResult runProgram(const std::string& path, const std::vector<std::string>& arguments,
                         const std::string& directory = {});

}  // namespace tidewater::test
