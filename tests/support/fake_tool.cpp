// A stand-in for the toolchain's programs (cc1, as, ld, ...), linked under
// their names. Each run appends its name and then its arguments, indented by
// two spaces, one per line to the file TW_FAKE_TOOL_LOG names; writes the
// file named after "-o"; and, when its name is one of the ";"-separated names
// in TW_FAKE_TOOL_FAIL ("*": all), says so and exits with 1, otherwise with 0.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool listed(const std::string& name, const char* list) {
  const std::string items = ";" + std::string(list != nullptr ? list : "") + ";";
  return items.find(";*;") != std::string::npos || items.find(";" + name + ";") != std::string::npos;
}

// One write per call keeps the log's records whole.
bool writeFile(const char* path, const char* mode, const std::string& text) {
  std::FILE* file = std::fopen(path, mode);
  if (file == nullptr) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
  std::string name = argc > 0 ? argv[0] : "fake_tool";
  name.erase(0, name.rfind('/') + 1);
  std::string record = name + '\n';
  for (int i = 1; i < argc; ++i) record += std::string("  ") + argv[i] + '\n';
  const char* log = std::getenv("TW_FAKE_TOOL_LOG");
  if (log != nullptr && *log != '\0' && !writeFile(log, "a", record)) {
    std::fprintf(stderr, "%s: cannot write log %s\n", name.c_str(), log);
    return 2;
  }
  int o = 1;
  while (o + 1 < argc && std::strcmp(argv[o], "-o") != 0) ++o;
  if (o + 1 < argc && !writeFile(argv[o + 1], "w", name + " output\n")) {
    std::fprintf(stderr, "%s: cannot write %s\n", name.c_str(), argv[o + 1]);
    return 2;
  }
  if (!listed(name, std::getenv("TW_FAKE_TOOL_FAIL"))) return 0;
  std::fprintf(stderr, "%s: failing as asked\n", name.c_str());
  return 1;
}
