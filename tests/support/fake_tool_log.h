#pragma once

#include <string>
#include <vector>

namespace tidewater::test {

/// The fake toolchain program (tests/support/fake_tool.cpp) appends one call
/// record to the file TW_FAKE_TOOL_LOG names; TW_FAKE_TOOL_FAIL
/// (";"-separated names, or "*") and TW_FAKE_TOOL_STATUS make chosen tools fail.
inline constexpr const char* kFakeToolLogVariable = "TW_FAKE_TOOL_LOG";
inline constexpr const char* kFakeToolFailVariable = "TW_FAKE_TOOL_FAIL";
inline constexpr const char* kFakeToolStatusVariable = "TW_FAKE_TOOL_STATUS";

/// One run of the fake tool: the name it was started under and its arguments.
struct FakeToolCall {
  std::string tool;
  std::vector<std::string> arguments;

  bool operator==(const FakeToolCall&) const = default;
};

/// The calls recorded in a log, in order; none when the file does not exist.
std::vector<FakeToolCall> readFakeToolLog(const std::string& logPath);

/// Makes "directory/name" a symbolic link to the fake tool (creating the
/// directory) and returns its path.
std::string installFakeTool(const std::string& directory, const std::string& name);

}  // namespace tidewater::test
