// Feeds arbitrary text to the options file reader. Every argument must be
// non-empty, shorter than a read and free of newlines.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "build/options_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const std::string& argument : tidewater::parseOptionsText(text)) {
    if (argument.empty() || argument.size() >= 1023 || argument.find('\n') != std::string::npos) std::abort();
  }
  return 0;
}
