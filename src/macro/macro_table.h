#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "macro/macro_expansion.h"

namespace tidewater {

/// A macro's one-line description, for display beside its name.
struct MacroDescription {
  std::string name;
  std::string description;
};

/// The macros of one run: system macros registered at start-up (with their
/// descriptions) and global macros set by the user. Node macros are supplied
/// per expansion by the caller and hide both. The driver and each tool own
/// one and hand it to whatever expands names, so tests can use their own.
class MacroTable {
 public:
  static constexpr char kIntroducer = '$';

  /// Stores name = value (a second registration overwrites the value); a
  /// non-empty description is also listed.
  void registerSystemMacro(const std::string& name, const std::string& value,
                           const std::string& description);

  /// An empty value removes the macro.
  void setGlobalMacro(const std::string& name, const std::string& value);

  std::string expand(std::string_view text, const MacroMap& nodeMacros, bool useGlobal,
                     bool useSystem) const;

  /// Expands with no node macros, consulting the global and system macros.
  std::string expandGlobally(std::string_view text) const;

  const MacroMap& systemMacros() const { return systemMacros_; }
  const MacroMap& globalMacros() const { return globalMacros_; }
  const std::vector<MacroDescription>& descriptions() const { return descriptions_; }

 private:
  MacroMap systemMacros_;
  MacroMap globalMacros_;
  std::vector<MacroDescription> descriptions_;
};

}  // namespace tidewater
