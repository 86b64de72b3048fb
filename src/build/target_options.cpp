#include "build/target_options.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

#include "project/arm_library_extension.h"
#include "project/arm_project_system.h"

namespace tidewater {
namespace {

/// How each tool names one architecture value.
struct ArchitectureRow {
  std::string_view value;
  std::string_view gnuMarch;     ///< "-march=" argument; v7R and v7A are decided in gnuArchitecture
  std::string_view clangToken;   ///< the architecture part of the triple
  std::string_view define;
  bool cortexM;
  bool strictAlign;              ///< Clang must not assume unaligned access
};

constexpr std::array<ArchitectureRow, 11> kArchitectures = {{
    {"v4T", "-march=armv4t", "v4t", "-D__ARM_ARCH_4T__", false, true},
    {"v5TE", "-march=armv5te", "v5te", "-D__ARM_ARCH_5TE__", false, true},
    {"v6", "-march=armv6", "v6", "-D__ARM_ARCH_6__", false, false},
    {"v6T2", "-march=armv6t2", "v6t2", "-D__ARM_ARCH_6T2__", false, false},
    {"v6M", "-march=armv6-m", "v6m", "-D__ARM_ARCH_6M__", true, true},
    {"v7M", "-march=armv7-m", "v7m", "-D__ARM_ARCH_7M__", true, false},
    {"v7EM", "-march=armv7e-m", "v7em", "-D__ARM_ARCH_7EM__", true, false},
    {"v7R", "-march=armv7-r", "v7r", "-D__ARM_ARCH_7R__", false, false},
    {"v7A", "-march=armv7-a", "v7a", "-D__ARM_ARCH_7A__", false, false},
    {"v8M_Baseline", "-march=armv8-m.base", "v8m.base", "-D__ARM_ARCH_V8M_BASELINE__", true, true},
    {"v8M_Mainline", "-march=armv8-m.main", "v8m.main", "-D__ARM_ARCH_V8M_MAINLINE__", true, false},
}};

const ArchitectureRow* findArchitecture(const std::string& value) {
  for (const ArchitectureRow& row : kArchitectures) {
    if (row.value == value) return &row;
  }
  return nullptr;
}

}  // namespace

std::string architectureOfGnuName(std::string_view gnuName) {
  for (const ArchitectureRow& row : kArchitectures) {
    if (row.gnuMarch.substr(std::string_view("-march=").size()) == gnuName) return std::string(row.value);
  }
  return {};
}

namespace {

/// How each tool names one FPU value.
struct FPURow {
  std::string_view value;
  std::string_view gnuFpu;           ///< "-mfpu=" value, or the one without NEON
  std::string_view gnuFpuWithNeon;   ///< empty when NEON does not change it
  std::array<std::string_view, 3> clangFeatures;
  bool neonChoice;                   ///< Clang adds "+neon" or "-neon"
  std::string_view define;
};

constexpr std::array<FPURow, 9> kFPUs = {{
    {"VFP", "vfp", "", {"+vfp2"}, false, "-D__ARM_ARCH_VFP__"},
    {"VFP9", "vfp", "", {"+vfp2"}, false, "-D__ARM_ARCH_VFP__"},
    {"VFPv3-D32", "vfpv3", "neon", {"+vfp3"}, true, "-D__ARM_ARCH_VFP3_D32__"},
    {"VFPv3-D16", "vfpv3-d16", "", {"+vfp3", "+d16"}, true, "-D__ARM_ARCH_VFP3_D16__"},
    {"VFPv4-D32", "vfpv4", "neon-vfpv4", {"+vfp4"}, true, "-D__ARM_ARCH_VFP4_D32__"},
    {"VFPv4-D16", "vfpv4-d16", "", {"+vfp4", "+d16"}, true, "-D__ARM_ARCH_VFP4_D16__"},
    {"FPv4-SP-D16", "fpv4-sp-d16", "", {"+vfp4", "+fp-only-sp", "+d16"}, false, "-D__ARM_ARCH_FPV4_SP_D16__"},
    {"FPv5-SP-D16", "fpv5-sp-d16", "", {"+fp-armv8", "+fp-only-sp", "+d16"}, false, "-D__ARM_ARCH_FPV5_SP_D16__"},
    {"FPv5-D16", "fpv5-d16", "", {"+fp-armv8", "+d16"}, false, "-D__ARM_ARCH_FPV5_D16__"},
}};

const FPURow* findFPU(const std::string& value) {
  for (const FPURow& row : kFPUs) {
    if (row.value == value) return &row;
  }
  return nullptr;
}

bool usesFPU(const TargetSettings& target) { return target.fpABI == "SoftFP" || target.fpABI == "Hard"; }
bool hasNeon(const TargetSettings& target) { return target.advancedSIMD == "NEON"; }

void append(std::vector<std::string>& list, std::string_view text) { list.emplace_back(text); }
void appendFeature(std::vector<std::string>& list, std::string_view feature) {
  list.emplace_back("-target-feature");
  list.emplace_back(feature);
}

// GNU: the core when one is chosen, else the architecture; v7-R with divide
// in ARM state needs the R5, v7-A with divide the virtualization extension.
void gnuCpuOrArchitecture(std::vector<std::string>& list, const TargetSettings& target) {
  if (target.core != "None") {
    list.push_back("-mcpu=" + toolCoreName(target.core));
    return;
  }
  if (target.architecture == "v7R") {
    append(list, target.v7HasDivide && target.instructionSet == "ARM" ? "-mcpu=cortex-r5" : "-march=armv7-r");
  } else if (target.architecture == "v7A") {
    append(list, target.v7HasDivide ? "-march=armv7ve" : "-march=armv7-a");
  } else if (const ArchitectureRow* row = findArchitecture(target.architecture)) {
    append(list, row->gnuMarch);
  }
}

void gnuByteOrder(std::vector<std::string>& list, const TargetSettings& target) {
  append(list, target.endian == "Little" ? "-mlittle-endian" : "-mbig-endian");
}

void gnuFloatABI(std::vector<std::string>& list, const TargetSettings& target) {
  if (target.fpABI == "Soft") append(list, "-mfloat-abi=soft");
  else if (target.fpABI == "SoftFP") append(list, "-mfloat-abi=softfp");
  else if (target.fpABI == "Hard") append(list, "-mfloat-abi=hard");
}

void gnuFPU(std::vector<std::string>& list, const TargetSettings& target) {
  if (!usesFPU(target)) return;
  const FPURow* row = findFPU(target.fpu);
  if (row == nullptr) return;
  const std::string_view fpu = hasNeon(target) && !row->gnuFpuWithNeon.empty() ? row->gnuFpuWithNeon : row->gnuFpu;
  list.push_back("-mfpu=" + std::string(fpu));
}

// Cortex-M runs Thumb only; elsewhere the instruction set property decides
// and interworking is on unless switched off.
void gnuInstructionSet(std::vector<std::string>& list, const TargetSettings& target) {
  if (isCortexMTarget(target)) {
    append(list, "-mthumb");
    if (target.interwork == "Yes") append(list, "-mthumb-interwork");
    return;
  }
  if (target.instructionSet == "Thumb") append(list, "-mthumb");
  if (target.interwork == "Yes" || target.interwork == "Default") append(list, "-mthumb-interwork");
}

// The compiler's own extras: soft thread pointer, the small multiplier of
// the M0/M0+/M1 (a variant of the -mcpu= text) and the security extension.
void gnuCompilerExtras(std::vector<std::string>& list, const TargetSettings& target) {
  append(list, "-mtp=soft");
  if (target.cm0HasSmallMultiplier) {
    for (std::string& argument : list) {
      if (argument == "-mcpu=cortex-m0plus" || argument == "-mcpu=cortex-m0" || argument == "-mcpu=cortex-m1") {
        argument += ".small-multiply";
      }
    }
  }
  if (target.v8MHasCmse) append(list, "-mcmse");
}

// The Clang list names the architecture the code is for, the core's when one
// is set, as "-mcpu=" decides for GNU: "-target-cpu cortex-m4" on an ARMv4T
// triple is no target at all.
void clangTriple(std::vector<std::string>& list, const TargetSettings& target) {
  const ArchitectureRow* row = findArchitecture(effectiveArchitecture(target));
  const bool thumb = (row != nullptr && row->cortexM) || target.instructionSet == "Thumb";
  std::string triple = thumb ? "thumb" : "arm";
  if (target.endian != "Little") triple += "eb";
  if (row != nullptr) triple += row->clangToken;
  triple += "-none-eabi";
  append(list, "-triple");
  list.push_back(std::move(triple));
}

void clangTargetCpu(std::vector<std::string>& list, const TargetSettings& target) {
  append(list, "-target-cpu");
  const bool generic = target.core == "None" || target.core == "Cortex-M23" || target.core == "Cortex-M33";
  list.push_back(generic ? "generic" : toolCoreName(target.core));
}

void clangDivideFeatures(std::vector<std::string>& list, const TargetSettings& target) {
  const std::string architecture = effectiveArchitecture(target);
  if (architecture != "v7R" && architecture != "v7A") return;
  const char* sign = target.v7HasDivide ? "+" : "-";
  for (const char* feature : {"hwdiv", "hwdiv-arm", "virtualization"}) {
    appendFeature(list, std::string(sign) + feature);
  }
}

void clangStrictAlign(std::vector<std::string>& list, const TargetSettings& target) {
  const ArchitectureRow* row = findArchitecture(effectiveArchitecture(target));
  if (row != nullptr && row->strictAlign) appendFeature(list, "+strict-align");
}

void clangFloatABI(std::vector<std::string>& list, const TargetSettings& target) {
  if (target.fpABI == "Soft" || target.fpABI == "None") {
    appendFeature(list, "+soft-float");
    appendFeature(list, "+soft-float-abi");
    append(list, "-msoft-float");
  } else if (target.fpABI == "SoftFP") {
    appendFeature(list, "+soft-float-abi");
  }
  append(list, "-target-abi");
  append(list, "aapcs");
  append(list, "-mfloat-abi");
  append(list, target.fpABI == "Hard" ? "hard" : "soft");
}

void clangFPUFeatures(std::vector<std::string>& list, const TargetSettings& target) {
  if (!usesFPU(target)) return;
  const FPURow* row = findFPU(target.fpu);
  if (row == nullptr) return;
  for (std::string_view feature : row->clangFeatures) {
    if (!feature.empty()) appendFeature(list, feature);
  }
  if (row->neonChoice) appendFeature(list, hasNeon(target) ? "+neon" : "-neon");
}

}  // namespace

TargetSettings readTargetSettings(ARMProjectSystem& system, ProjectElement* node, const std::string& configuration) {
  const ARMCatalogue& arm = system.arm();
  const auto value = [&](const PropertyClass* property) { return system.lookUp(node, *property, configuration); };
  const auto yes = [&](const PropertyClass* property) { return value(property) == "Yes"; };
  TargetSettings target;
  target.core = value(arm.armCoreType);
  target.architecture = value(arm.armArchitecture);
  target.endian = value(arm.armEndian);
  target.fpABI = value(arm.armFpABI);
  target.fpu = value(arm.armFpuType);
  target.advancedSIMD = value(arm.armAdvancedSIMDType);
  target.instructionSet = value(arm.armInstructionSet);
  target.interwork = value(arm.armInterwork);
  target.v7HasDivide = yes(arm.armV7HasDivideInstructions);
  target.cm0HasSmallMultiplier = yes(arm.armCm0HasSmallMultiplier);
  target.v8MHasCmse = yes(arm.armV8MHasCmse);
  target.longCalls = yes(arm.armLongCalls);
  return target;
}

std::string toolCoreName(const std::string& core) {
  std::string name;
  for (char c : core) {
    if (c == '+') name += "plus";
    else name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return name;
}

std::string effectiveArchitecture(const TargetSettings& target) {
  if (std::string_view core = architectureOfCore(target.core); !core.empty()) return std::string(core);
  return target.architecture;
}

bool isCortexMTarget(const TargetSettings& target) {
  if (target.core != "None") return target.core.rfind("Cortex-M", 0) == 0;
  const ArchitectureRow* row = findArchitecture(target.architecture);
  return row != nullptr && row->cortexM;
}

std::vector<std::string> gnuTargetOptions(const TargetSettings& target, TargetOptionsForm form) {
  std::vector<std::string> list;
  gnuCpuOrArchitecture(list, target);
  gnuByteOrder(list, target);
  gnuFloatABI(list, target);
  gnuFPU(list, target);
  gnuInstructionSet(list, target);
  if (form == TargetOptionsForm::Compiler) {
    gnuCompilerExtras(list, target);
    if (target.longCalls) append(list, "-mlong-calls");
  }
  return list;
}

std::vector<std::string> clangTargetOptions(const TargetSettings& target, TargetOptionsForm form) {
  std::vector<std::string> list;
  clangTriple(list, target);
  clangTargetCpu(list, target);
  clangDivideFeatures(list, target);
  clangStrictAlign(list, target);
  if (form != TargetOptionsForm::Assembler) clangFloatABI(list, target);
  clangFPUFeatures(list, target);
  if (form == TargetOptionsForm::Compiler && target.longCalls) appendFeature(list, "+long-calls");
  return list;
}

std::vector<std::string> targetOptions(ToolFamily family, const TargetSettings& target, TargetOptionsForm form) {
  return family == ToolFamily::GNU ? gnuTargetOptions(target, form) : clangTargetOptions(target, form);
}

std::vector<std::string> targetDefines(const TargetSettings& target) {
  std::vector<std::string> list;
  if (const ArchitectureRow* row = findArchitecture(target.architecture)) append(list, row->define);
  append(list, "-D__TIDEWATER_ARM");
  if (usesFPU(target)) {
    if (const FPURow* row = findFPU(target.fpu)) append(list, row->define);
  }
  return list;
}

}  // namespace tidewater
