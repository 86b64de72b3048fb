#include "project/arm_library_extension.h"

#include <span>

namespace tidewater {

namespace {

struct Mapping {
  std::string_view from;
  std::string_view to;
};

constexpr Mapping kCoreArchitectures[] = {
    {"ARM7TDMI", "v4T"},     {"ARM7TDMI-S", "v4T"},    {"ARM720T", "v4T"},       {"ARM920T", "v4T"},
    {"ARM946E-S", "v5TE"},   {"ARM966E-S", "v5TE"},    {"ARM968E-S", "v5TE"},    {"ARM926EJ-S", "v5TE"},
    {"ARM1136J-S", "v6"},    {"ARM1136JF-S", "v6"},    {"ARM1176JZ-S", "v6"},    {"ARM1176JZF-S", "v6"},
    {"Cortex-M0", "v6M"},    {"Cortex-M0+", "v6M"},    {"Cortex-M1", "v6M"},     {"Cortex-M23", "v8M_Baseline"},
    {"Cortex-M3", "v7M"},    {"Cortex-M33", "v8M_Mainline"}, {"Cortex-M4", "v7EM"}, {"Cortex-M7", "v7EM"},
    {"Cortex-R4", "v7R"},    {"Cortex-R4F", "v7R"},    {"Cortex-R5", "v7R"},     {"Cortex-A5", "v7A"},
    {"Cortex-A7", "v7A"},    {"Cortex-A8", "v7A"},     {"Cortex-A9", "v7A"},     {"XScale", "v5TE"},
};

// Architecture tokens that need no property besides the architecture.
constexpr Mapping kArchitectureTokens[] = {
    {"v5TE", "v5te"}, {"v6", "v6"},       {"v6M", "v6m"},           {"v7M", "v7m"},
    {"v7EM", "v7em"}, {"v8M_Mainline", "v7em"}, {"v8M_Baseline", "v8mbl"},
};

constexpr Mapping kFPUTokens[] = {
    {"VFP", "_vfp"},
    {"VFP9", "_vfp"},
    {"VFPv3-D32", "_vfpv3_d32"},
    {"VFPv3-D16", "_vfpv3_d16"},
    {"VFPv4-D32", "_vfpv4_d32"},
    {"VFPv4-D16", "_vfpv4_d16"},
    {"FPv4-SP-D16", "_fpv4_sp_d16"},
    {"FPv5-SP-D16", "_fpv5_sp_d16"},
    {"FPv5-D16", "_fpv5_d16"},
};

std::string_view lookUp(std::span<const Mapping> table, std::string_view key) {
  for (const Mapping& entry : table) {
    if (entry.from == key) return entry.to;
  }
  return {};
}

// The architecture the libraries are built for: the library architecture
// unless it is "Default", then the core's, then the code's.
std::string_view libraryArchitecture(const ARMLibraryTarget& target) {
  if (target.libraryArchitecture != "Default") return target.libraryArchitecture;
  const std::string_view ofCore = architectureOfCore(target.coreType);
  return ofCore.empty() ? std::string_view(target.architecture) : ofCore;
}

std::string architectureToken(std::string_view architecture, const ARMLibraryTarget& target) {
  const bool divide = target.divideInstructions == "Yes";
  if (architecture == "v4T") return target.interwork == "No" ? "v4" : "v4t";
  if (architecture == "v7R") return divide && target.instructionSet == "ARM" ? "v7r_idiv" : "v7r";
  if (architecture == "v7A") return divide ? "v7a_idiv" : "v7a";
  return std::string(lookUp(kArchitectureTokens, architecture));
}

}  // namespace

std::string_view architectureOfCore(std::string_view core) { return lookUp(kCoreArchitectures, core); }

bool isCortexMArchitecture(std::string_view architecture) {
  return architecture == "v6M" || architecture == "v7M" || architecture == "v7EM" ||
         architecture == "v8M_Baseline" || architecture == "v8M_Mainline";
}

std::string armLibraryExtension(const ARMLibraryTarget& target) {
  const std::string_view architecture = libraryArchitecture(target);
  std::string extension = "_" + architectureToken(architecture, target);
  if (target.fpABI == "SoftFP" || target.fpABI == "Hard") {
    extension += lookUp(kFPUTokens, target.fpuType);
    if (target.fpABI == "Hard") extension += "_hard";
  }
  extension += isCortexMArchitecture(architecture) || target.instructionSet == "Thumb" ? "_t" : "_a";
  extension += target.endian == "Little" ? "_le" : "_be";
  extension += "_eabi";
  if (target.libraryOptimization == "Small") extension += "_small";
  if (target.wcharSize == "16-Bit") extension += "_swc";
  if (target.shortEnum == "Int Size") extension += "_ienum";
  return extension;
}

}  // namespace tidewater
