#include "base/path.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
#include <vector>

#include <unistd.h>

namespace tidewater {

namespace {

std::string_view fileNameView(std::string_view path) {
  const auto slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::vector<std::string_view> splitSegments(std::string_view path) {
  std::vector<std::string_view> segments;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string_view::npos) end = path.size();
    if (end > start) segments.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return segments;
}

}  // namespace

std::string fileName(std::string_view path) { return std::string(fileNameView(path)); }

std::string baseName(std::string_view path) {
  const auto name = fileNameView(path);
  return std::string(name.substr(0, name.find('.')));
}

std::string completeBaseName(std::string_view path) {
  const auto name = fileNameView(path);
  return std::string(name.substr(0, name.rfind('.')));
}

std::string suffix(std::string_view path) {
  const auto name = fileNameView(path);
  const auto dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot + 1));
}

std::string completeSuffix(std::string_view path) {
  const auto name = fileNameView(path);
  const auto dot = name.find('.');
  return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot + 1));
}

std::string directoryPart(std::string_view path) {
  const auto slash = path.rfind('/');
  if (slash == std::string_view::npos) return ".";
  if (slash == 0) return "/";
  return std::string(path.substr(0, slash));
}

bool isAbsolutePath(std::string_view path) { return !path.empty() && path.front() == '/'; }

std::string joinPath(std::string_view dir, std::string_view name) {
  if (isAbsolutePath(name) || dir.empty()) return std::string(name);
  std::string joined(dir);
  if (joined.back() != '/') joined += '/';
  joined += name;
  return joined;
}

std::string cleanPath(std::string_view path) {
  if (path.empty()) return {};
  const bool absolute = isAbsolutePath(path);
  std::vector<std::string_view> kept;
  for (const auto segment : splitSegments(path)) {
    if (segment == ".") continue;
    if (segment == "..") {
      if (!kept.empty() && kept.back() != "..") {
        kept.pop_back();
        continue;
      }
      if (absolute) continue;  // "/.." is "/"
    }
    kept.push_back(segment);
  }
  std::string cleaned;
  if (absolute) cleaned.push_back('/');
  for (size_t i = 0; i < kept.size(); ++i) {
    if (i > 0) cleaned += '/';
    cleaned += kept[i];
  }
  if (cleaned.empty()) cleaned.push_back('.');
  return cleaned;
}

std::string currentDirectory() {
  std::vector<char> buffer(PATH_MAX);
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return {};
    buffer.resize(buffer.size() * 2);
  }
  return buffer.data();
}

std::string absolutePath(std::string_view path, std::string_view base) {
  if (isAbsolutePath(path)) return cleanPath(path);
  const std::string from = base.empty() ? currentDirectory() : absolutePath(base);
  return cleanPath(joinPath(from, path));
}

std::string canonicalPath(std::string_view path) {
  const std::string absolute = absolutePath(path);
  std::unique_ptr<char, decltype(&std::free)> resolved(realpath(absolute.c_str(), nullptr), &std::free);
  return resolved ? std::string(resolved.get()) : std::string();
}

std::string relativePath(std::string_view fromDir, std::string_view target) {
  const std::string from = absolutePath(fromDir);
  const std::string to = absolutePath(target);
  const auto fromSegments = splitSegments(from);
  const auto toSegments = splitSegments(to);
  size_t common = 0;
  while (common < fromSegments.size() && common < toSegments.size() &&
         fromSegments[common] == toSegments[common]) {
    ++common;
  }
  std::string relative;
  for (size_t i = common; i < fromSegments.size(); ++i) relative += relative.empty() ? ".." : "/..";
  for (size_t i = common; i < toSegments.size(); ++i) {
    if (!relative.empty()) relative += '/';
    relative += toSegments[i];
  }
  return relative.empty() ? "." : relative;
}

std::string pathArgument(std::string path) {
  if (!path.empty() && path.front() == '-') path.insert(0, "./");
  return path;
}

}  // namespace tidewater
