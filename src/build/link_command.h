#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "build/compile_command.h"
#include "build/linker_script_step.h"

namespace tidewater {

/// The linker with its options and inputs, up to and including the inputs
/// ("inputs" is the expanded object and library list; an indirect file
/// replaces it by one "@" argument when "indirectFile" is given).
std::vector<std::string> linkCommand(const CompileContext& context, const std::string& output,
                                     const std::string& script, const std::vector<std::string>& inputs,
                                     const std::optional<std::string>& indirectFile,
                                     const std::vector<std::string>& additionalOptions);

/// Every file the link of "output" writes: the image, the map file, the
/// additional output, the CMSE import library, the generated linker script
/// (when "generatesScript") and the indirect file.
std::vector<StepFile> linkStepFiles(const CompileContext& context, const std::string& output, bool generatesScript);

/// The file an additional output format writes next to the output, e.g.
/// "Debug/app.hex"; empty for "None".
std::string additionalOutputName(const CompileContext& context, const std::string& output);

/// "0x" and the low byte of a gap-fill value in two hexadecimal digits;
/// empty when that byte is zero or the text is no number.
std::string gapFillArgument(const std::string& value);

/// Runs the user's patch command on the linked output; false when it failed.
using PatchCommandRunner = std::function<bool()>;

/// Runs the link of an executable project: the generated linker script
/// when the project has none, the linker, then the post-link tools.
/// "output" is the output name relative to the project directory.
bool runLinkTool(ARMProjectSystem& system, ProjectElement& project, const std::string& configuration,
                 const std::string& output, const std::vector<std::string>& objects,
                 const LinkDescriptions& descriptions, uint32_t flags, const PatchCommandRunner& runPatchCommand,
                 Builder& builder);

}  // namespace tidewater
