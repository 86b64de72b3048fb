#pragma once

#include <map>
#include <string>
#include <string_view>

namespace tidewater {

/// Macro name to value; names compare exactly.
using MacroMap = std::map<std::string, std::string>;

/// The maps one expansion consults, in order; a null map is skipped. A name
/// found in an earlier map hides the same name in the later ones.
struct MacroScope {
  const MacroMap* node = nullptr;
  const MacroMap* global = nullptr;
  const MacroMap* system = nullptr;
};

/// Expands "$(name)", "$(name:default)", "$(name::default)" and "$$" in
/// "text". Values are inserted as they are and expanded only when the pass
/// asks for a rescan (a "$" inside a reference). Expansion always ends: it
/// stops when a pass leaves the text unchanged, after a fixed number of
/// passes, or when the text grows past a size bound, and returns the last
/// result.
std::string expandMacros(std::string_view text, const MacroScope& scope);

}  // namespace tidewater
