#pragma once

#include <string>
#include <vector>

namespace tidewater::test {

/// The variables fake_tool.cpp reads.
inline constexpr const char* kFakeToolLogVariable = "TW_FAKE_TOOL_LOG";
inline constexpr const char* kFakeToolFailVariable = "TW_FAKE_TOOL_FAIL";

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
