#pragma once
// Macro-list parsing and the per-iteration macros of the XML preprocessor.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "macro/macro_expansion.h"

namespace tidewater {

/// Splits "a,b,,c" at "separator" into its non-empty items; no escapes.
std::vector<std::string> splitPlainList(std::string_view text, char separator);

/// Merges a macro list "name=value;name=value" over a copy of "macros".
/// Line breaks are dropped, a backslash makes the next character literal,
/// empty items are skipped; an item is split at its first "=" (an item
/// without one defines its text as empty). A later pair wins.
MacroMap mergeMacroList(MacroMap macros, std::string_view list);

/// "0x" followed by the value in upper-case hexadecimal: "0xFF", "0x0".
std::string upperHex(uint32_t value);

/// The five macros of one <for> iteration with index name "index" and value
/// "i": index, index_alpha, index_hex, index_ap (mul * i + add, 32-bit) and
/// index_ap_hex.
MacroMap forIterationMacros(const std::string& index, uint32_t i, int64_t mul, int64_t add);

}  // namespace tidewater
