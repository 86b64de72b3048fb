#pragma once

#include <cstdio>
#include <iosfwd>
#include <memory>
#include <string>

#include "target/memory_map.h"

namespace tidewater {

/// How regwright reads its file.
struct RegisterModelOptions {
  std::string macros;       ///< macro list for the preprocessor ("name=value;...")
  bool preprocess = false;  ///< run memory map files through the preprocessor
  bool cortexM = false;     ///< add the Cortex-M core's register groups
};

/// Loads "path" as an SVD register description when its suffix, in lower
/// case, is "svd", else as a memory map, with resolved addresses. Files that
/// are not regular or larger than 256 MiB are refused. Null on
/// failure, with the reason (naming the file, and the line of a parse
/// error) in "error". Preprocessor and conversion warnings go to "warnings"
/// (standard error when null). File names are expanded against "macros".
std::unique_ptr<MemoryMap> loadRegisterModel(const std::string& path,
                                             const RegisterModelOptions& options,
                                             const MacroTable& macros, std::string& error,
                                             std::ostream* warnings = nullptr);

/// Prints the map as well-formed, ASCII-only XML with an indent of 2
/// (characters beyond ASCII as references, see
/// XMLWriter::Characters::Unicode): every element with its stored attributes
/// in order, and every map element with its resolved_start ("0x%08X") and
/// resolved_size (decimal) as well. The text goes to the file in chunks as it
/// is formed; false when the file reports an error.
bool writeRegisterModel(const MemoryMap& map, std::FILE* file);
/// The same text, whole.
std::string registerModelText(const MemoryMap& map);

}  // namespace tidewater
