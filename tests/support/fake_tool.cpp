// A stand-in for the toolchain's programs (cc1, as, ld, ...), installed
// under their names as links to this one executable. Each run appends its
// name and then each argument, one per line, to the file named by
// TW_FAKE_TOOL_LOG (arguments indented by two spaces, so every call can be
// told apart); writes the file named after "-o" so the caller sees an
// output; and exits with TW_FAKE_TOOL_STATUS (default 1) when its name is
// one of the ";"-separated names in TW_FAKE_TOOL_FAIL ("*" fails every
// tool), saying so on standard error. Otherwise it exits with 0.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

std::string_view toolName(const char* argv0) {
  const std::string_view path(argv0);
  const auto slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool listed(std::string_view name, const char* list) {
  if (list == nullptr) return false;
  std::string_view rest(list);
  while (!rest.empty()) {
    const auto semicolon = rest.find(';');
    const std::string_view item = rest.substr(0, semicolon);
    if (item == "*" || item == name) return true;
    if (semicolon == std::string_view::npos) break;
    rest.remove_prefix(semicolon + 1);
  }
  return false;
}

bool appendToLog(const char* logPath, std::string_view name, int argc, char** argv) {
  std::FILE* log = std::fopen(logPath, "a");
  if (log == nullptr) return false;
  std::string record(name);
  record += '\n';
  for (int i = 1; i < argc; ++i) {
    record += "  ";
    record += argv[i];
    record += '\n';
  }
  // One write per call keeps records whole.
  const bool written = std::fwrite(record.data(), 1, record.size(), log) == record.size();
  return std::fclose(log) == 0 && written;
}

bool writeOutput(const char* path, std::string_view name) {
  std::FILE* output = std::fopen(path, "w");
  if (output == nullptr) return false;
  std::fprintf(output, "%.*s output\n", static_cast<int>(name.size()), name.data());
  return std::fclose(output) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string_view name = toolName(argc > 0 ? argv[0] : "fake_tool");
  if (const char* logPath = std::getenv("TW_FAKE_TOOL_LOG"); logPath != nullptr && *logPath != '\0') {
    if (!appendToLog(logPath, name, argc, argv)) {
      std::fprintf(stderr, "%.*s: cannot write log %s\n", static_cast<int>(name.size()), name.data(), logPath);
      return 2;
    }
  }
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "-o") != 0) continue;
    if (!writeOutput(argv[i + 1], name)) {
      std::fprintf(stderr, "%.*s: cannot write %s\n", static_cast<int>(name.size()), name.data(), argv[i + 1]);
      return 2;
    }
    break;
  }
  if (listed(name, std::getenv("TW_FAKE_TOOL_FAIL"))) {
    const char* status = std::getenv("TW_FAKE_TOOL_STATUS");
    std::fprintf(stderr, "%.*s: failing as asked\n", static_cast<int>(name.size()), name.data());
    return status != nullptr && *status != '\0' ? std::atoi(status) : 1;
  }
  return 0;
}
