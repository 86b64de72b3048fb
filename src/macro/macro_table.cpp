#include "macro/macro_table.h"

namespace tidewater {

void MacroTable::registerSystemMacro(const std::string& name, const std::string& value,
                                     const std::string& description) {
  systemMacros_[name] = value;
  if (!description.empty()) descriptions_.push_back({name, description});
}

void MacroTable::setGlobalMacro(const std::string& name, const std::string& value) {
  if (value.empty()) {
    globalMacros_.erase(name);
  } else {
    globalMacros_[name] = value;
  }
}

std::string MacroTable::expand(std::string_view text, const MacroMap& nodeMacros, bool useGlobal,
                               bool useSystem) const {
  return expandMacros(text, MacroScope{&nodeMacros, useGlobal ? &globalMacros_ : nullptr,
                                       useSystem ? &systemMacros_ : nullptr});
}

std::string MacroTable::expandGlobally(std::string_view text) const {
  static const MacroMap kNoNodeMacros;
  return expand(text, kNoNodeMacros, true, true);
}

}  // namespace tidewater
