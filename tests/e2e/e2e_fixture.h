#pragma once

// What the end-to-end tests share: a fresh working directory and runs of the
// installed programs, the cross tools and QEMU in it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "support/environment.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace tidewater::test {

using Strings = std::vector<std::string>;

inline Strings operator+(Strings left, const Strings& right) {
  left.insert(left.end(), right.begin(), right.end());
  return left;
}

inline std::string joined(const Strings& words) {
  std::string text;
  for (const auto& word : words) text += (text.empty() ? "" : " ") + word;
  return text;
}

/// Passes when "part" occurs in "text", and shows both otherwise.
inline ::testing::AssertionResult contains(const std::string& text, const std::string& part) {
  if (text.find(part) != std::string::npos) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "no \"" << part << "\" in:\n" << text;
}

class E2ETest : public ::testing::Test {
 protected:
  ProgramResult cc(const Strings& arguments) { return installed("bin/cc", "cc", arguments); }

  /// Runs "distDirectory()/relative" under the name "name".
  ProgramResult installed(const std::string& relative, const std::string& name, const Strings& arguments) {
    return runProgram(distDirectory() + "/" + relative, Strings{name} + arguments, dir.path());
  }

  /// The output of one of the cross tools (readelf, nm, objdump, size); a
  /// failing tool fails the test.
  std::string crossTool(const std::string& tool, const Strings& arguments) {
    const auto result = runProgram("/usr/bin/arm-none-eabi-" + tool, Strings{tool} + arguments, dir.path());
    EXPECT_EQ(result.exitStatus, 0) << tool << " " << joined(arguments) << "\n" << result.standardError;
    return result.standardOutput;
  }
  std::string readelf(const Strings& arguments) { return crossTool("readelf", Strings{"-W"} + arguments); }

  /// Runs an image on a QEMU board with semihosting; a hung image is stopped
  /// after 20 s and shows as status 124.
  ProgramResult qemu(const std::string& board, const std::string& image) {
    return runProgram("/usr/bin/timeout",
                      {"timeout", "-k", "5", "20", "qemu-system-arm", "-M", board, "-nographic", "-monitor", "none",
                       "-serial", "none", "-semihosting-config", "enable=on,target=native", "-kernel", image},
                      dir.path());
  }

  bool exists(const std::string& name) const { return access((dir.path() + "/" + name).c_str(), F_OK) == 0; }
  std::string read(const std::string& name) const { return readFile(dir.path() + "/" + name); }

  TempDir dir;
};

}  // namespace tidewater::test
