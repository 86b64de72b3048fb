#include "build/dependency_file.h"

#include <fstream>
#include <sstream>

#include "base/strings.h"

namespace tidewater {
namespace {

// The names of one line's text; "\ " keeps a space inside a name.
void splitNames(std::string_view text, std::vector<std::string>& names) {
  std::string current;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == ' ' && !(i >= 1 && text[i - 1] == '\\')) {
      if (!current.empty()) names.push_back(std::move(current));
      current.clear();
    } else {
      current += text[i];
    }
  }
  if (!current.empty()) names.push_back(std::move(current));
}

}  // namespace

std::vector<std::string> parseDependencyText(std::string_view text) {
  std::vector<std::string> names;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    if (line.empty()) continue;
    if (line.front() != ' ' && line.front() != '\t') {
      const size_t colon = line.find(": ");
      if (colon == std::string_view::npos) continue;
      line = line.substr(colon + 2);
    }
    line = trimmed(line);
    if (!line.empty() && line.back() == '\\') line.remove_suffix(1);
    splitNames(trimmed(line), names);
  }
  return names;
}

std::vector<std::string> readDependencyFile(const std::string& path, const std::string& source) {
  std::ifstream file(path, std::ios::binary);
  std::vector<std::string> names;
  if (file) {
    std::ostringstream content;
    content << file.rdbuf();
    names = parseDependencyText(content.str());
  }
  if (names.empty()) return {source};
  names.erase(names.begin());
  return names;
}

}  // namespace tidewater
