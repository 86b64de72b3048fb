#pragma once

#include <optional>
#include <string>
#include <vector>

#include "target/arm_targets.h"

namespace tidewater {

class ARMProjectSystem;
class ProjectElement;

/// The two tool families a source can be compiled or assembled with.
enum class ToolFamily { GNU, Clang };

/// Which tool the target options are for: the compiler gets every item, the
/// preprocessor and the assembler leave some out.
enum class TargetOptionsForm { Compiler, Preprocessor, Assembler };

/// The target properties of one node in one configuration. A core or FPU
/// value the table does not know reads as None, an unknown architecture as
/// none at all.
struct TargetSettings {
  Core core = Core::None;
  std::optional<Architecture> architecture = Architecture::v4T;
  std::string endian = "Little";
  std::string fpABI = "Soft";
  FPU fpu = FPU::None;
  std::string advancedSIMD = "None";
  std::string instructionSet = "ARM";
  std::string interwork = "Default";
  bool v7HasDivide = false;
  bool cm0HasSmallMultiplier = false;
  bool v8MHasCmse = false;
  bool longCalls = false;
};

TargetSettings readTargetSettings(ARMProjectSystem& system, ProjectElement* node, const std::string& configuration);

/// Whether the core or (with no core) the architecture is a Cortex-M one.
bool isCortexMTarget(const TargetSettings& target);

/// The architecture the target's code is built for: the core's, or the
/// architecture property's when no core is set.
std::optional<Architecture> effectiveArchitecture(const TargetSettings& target);

std::vector<std::string> gnuTargetOptions(const TargetSettings& target, TargetOptionsForm form);
std::vector<std::string> clangTargetOptions(const TargetSettings& target, TargetOptionsForm form);
std::vector<std::string> targetOptions(ToolFamily family, const TargetSettings& target, TargetOptionsForm form);

/// The architecture and FPU definitions the preprocessor gets, with
/// "-D__TIDEWATER_ARM" between them.
std::vector<std::string> targetDefines(const TargetSettings& target);

}  // namespace tidewater
