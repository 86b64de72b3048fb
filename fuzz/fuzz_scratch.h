#pragma once
// What the fuzz targets that read files share: a scratch directory of their
// own, and inputs confined to it.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

namespace tidewater::fuzz {

/// Makes a new directory from a mkdtemp pattern and moves into it.
inline void enterScratchDirectory(std::string pattern) {
  if (mkdtemp(pattern.data()) == nullptr || chdir(pattern.c_str()) != 0) std::abort();
}

/// The input as text with every "/" replaced, so that no file name in it
/// reaches outside the scratch directory.
inline std::string confinedText(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  for (char& c : text) {
    if (c == '/') c = '_';
  }
  return text;
}

inline void writeScratchFile(const char* name, const std::string& text) {
  std::ofstream(name, std::ios::binary | std::ios::trunc) << text;
}

}  // namespace tidewater::fuzz
