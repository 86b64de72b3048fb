// Feeds arbitrary text to the make-style dependency file parser. Every name
// it gives must be non-empty and free of line breaks; a crash or a hang is a
// finding.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "build/dependency_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const std::string& name : tidewater::parseDependencyText(text)) {
    if (name.empty() || name.find('\n') != std::string::npos) std::abort();
  }
  return 0;
}
