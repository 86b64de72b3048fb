#include "support/fake_tool_log.h"

#include <filesystem>
#include <fstream>

namespace tidewater::test {

std::vector<FakeToolCall> readFakeToolLog(const std::string& logPath) {
  std::vector<FakeToolCall> calls;
  std::ifstream log(logPath);
  for (std::string line; std::getline(log, line);) {
    if (line.starts_with("  ") && !calls.empty()) {
      calls.back().arguments.push_back(line.substr(2));
    } else {
      calls.push_back({line, {}});
    }
  }
  return calls;
}

std::string installFakeTool(const std::string& directory, const std::string& name) {
  std::filesystem::create_directories(directory);
  const std::filesystem::path link = std::filesystem::path(directory) / name;
  std::filesystem::create_symlink(TW_FAKE_TOOL_PATH, link);
  return link.string();
}

}  // namespace tidewater::test
