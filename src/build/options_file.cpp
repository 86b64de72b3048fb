#include "build/options_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "base/text_file.h"

namespace tidewater {
namespace {

constexpr size_t kMaximumLine = 1023;

}  // namespace

std::vector<std::string> parseOptionsText(std::string_view text) {
  std::vector<std::string> arguments;
  bool inComment = false;
  while (!text.empty()) {
    // One read: through the newline, or kMaximumLine characters.
    size_t length = std::min(text.size(), kMaximumLine);
    if (const size_t newline = text.substr(0, length).find('\n'); newline != std::string_view::npos) {
      length = newline + 1;
    }
    const std::string_view line = text.substr(0, length);
    text.remove_prefix(length);
    if (inComment) {
      if (line.find("*/") != std::string_view::npos) inComment = false;
      continue;
    }
    if (line.starts_with("//") || line.starts_with("#")) continue;
    if (line.find("/*") != std::string_view::npos) {
      inComment = line.find("*/", line.find("/*") + 2) == std::string_view::npos;
      continue;
    }
    if (line.size() > 1 && line.back() == '\n') arguments.emplace_back(line.substr(0, line.size() - 1));
  }
  return arguments;
}

std::optional<std::vector<std::string>> readOptionsFile(const std::string& path) {
  int reason = 0;
  UniqueFile file = openTextFileForReading(path, reason);
  if (!file) return std::nullopt;
  std::string content;
  char buffer[4096];
  size_t count = 0;
  while ((count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) content.append(buffer, count);
  return parseOptionsText(content);
}

std::string optionsFileError(const std::string& path) { return "Cannot load options file: " + path; }

}  // namespace tidewater
