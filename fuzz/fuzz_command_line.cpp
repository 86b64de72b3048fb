// Feeds arbitrary text to the splitting of user command lines. No argument
// may be empty, and no argument may be longer than the line.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "build/command_line_split.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const std::string& argument : tidewater::splitCommandLine(text)) {
    if (argument.empty() || argument.size() > size) std::abort();
  }
  return 0;
}
