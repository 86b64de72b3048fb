#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tidewater {

class ARMProjectSystem;
class ProjectElement;

/// The two tool families a source can be compiled or assembled with.
enum class ToolFamily { GNU, Clang };

/// Which tool the target options are for: the compiler gets every item, the
/// preprocessor and the assembler leave some out.
enum class TargetOptionsForm { Compiler, Preprocessor, Assembler };

/// The target properties of one node in one configuration, as their values.
struct TargetSettings {
  std::string core = "None";
  std::string architecture = "v4T";
  std::string endian = "Little";
  std::string fpABI = "Soft";
  std::string fpu = "None";
  std::string advancedSIMD = "None";
  std::string instructionSet = "ARM";
  std::string interwork = "Default";
  bool v7HasDivide = false;
  bool cm0HasSmallMultiplier = false;
  bool v8MHasCmse = false;
  bool longCalls = false;
};

TargetSettings readTargetSettings(ARMProjectSystem& system, ProjectElement* node, const std::string& configuration);

/// "Cortex-M0+" → "cortex-m0plus": the core name as the tools spell it.
std::string toolCoreName(const std::string& core);
/// Whether the core or (with no core) the architecture is a Cortex-M one.
bool isCortexMTarget(const TargetSettings& target);

/// "armv7e-m" → "v7EM": the architecture value a GNU "-march=" name stands
/// for, or empty when it stands for none.
std::string architectureOfGnuName(std::string_view gnuName);

/// The architecture the target's code is built for: the core's, or the
/// architecture property's when no core is set.
std::string effectiveArchitecture(const TargetSettings& target);

std::vector<std::string> gnuTargetOptions(const TargetSettings& target, TargetOptionsForm form);
std::vector<std::string> clangTargetOptions(const TargetSettings& target, TargetOptionsForm form);
std::vector<std::string> targetOptions(ToolFamily family, const TargetSettings& target, TargetOptionsForm form);

/// The architecture and FPU definitions the preprocessor gets, with
/// "-D__TIDEWATER_ARM" between them.
std::vector<std::string> targetDefines(const TargetSettings& target);

}  // namespace tidewater
