#pragma once

#include <string>

#include "macro/macro_table.h"

namespace tidewater {

/// The directories the system macros describe, found at start-up.
struct SystemMacroDirectories {
  std::string installation;  ///< StudioDir
  std::string userData;      ///< StudioUserDir
  std::string home;          ///< HomeDir; DesktopDir and DocumentsDir lie below it
};

/// Registers every system macro with its description, in display order. The
/// date and time macros are stored empty: expansion computes them.
void registerSystemMacros(MacroTable& table, const SystemMacroDirectories& directories);

/// Sets StudioDir once the installation has been located (no new
/// description entry).
void setInstallationMacros(MacroTable& table, const std::string& installationDirectory);

/// What every program of the installation (the driver, sectwright,
/// regwright) does first, so that a file naming $(StudioDir) means the same
/// to each: registers the system macros for the user's directories, locates
/// the installation from the executable (started as "firstArgument", which
/// may be null) and sets StudioDir to it.
void defineSystemMacros(MacroTable& table, const char* firstArgument);

}  // namespace tidewater
