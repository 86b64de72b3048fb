#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "build/compile_command.h"

namespace tidewater {

/// The description files a link reads, as absolute paths (empty when
/// absent): the project's own linker script, or the memory map (else the
/// segments text) and the section placement the script is generated from.
struct LinkDescriptions {
  std::string linkerScript;
  std::string memoryMap;
  std::string memorySegments;
  std::string sectionPlacement;
};

/// The sectwright arguments that write "script" (as the tools name it).
std::vector<std::string> linkerScriptCommand(const CompileContext& context, const LinkDescriptions& descriptions,
                                             const std::string& script);
/// The symbol assignments handed to sectwright: stack and heap sizes.
std::vector<std::string> linkerScriptSymbols(const CompileContext& context);

/// Whether the generated script at "scriptPath" can be kept: not forced,
/// it exists, no description file is newer and no property it depends on
/// changed after it was written.
bool linkerScriptIsCurrent(const CompileContext& context, const LinkDescriptions& descriptions,
                           const std::string& scriptPath, uint32_t flags);

/// Generates the linker script at "script" (as the tools name it) unless it
/// is current; false when the generation failed or could not run (the
/// error has been reported).
bool runLinkerScriptStep(const CompileContext& context, const LinkDescriptions& descriptions,
                         const std::string& script, uint32_t flags, Builder& builder);

}  // namespace tidewater
