#include "build/target_options.h"

#include <string_view>

#include "project/arm_project_system.h"

namespace tidewater {
namespace {

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
  if (target.core != Core::None) {
    list.push_back("-mcpu=" + std::string(info(target.core).gnuName));
    return;
  }
  if (!target.architecture) return;
  const Architecture architecture = *target.architecture;
  if (architecture == Architecture::v7R && target.v7HasDivide && target.instructionSet == "ARM") {
    list.push_back("-mcpu=" + std::string(info(Core::CortexR5).gnuName));
  } else if (target.v7HasDivide && !info(architecture).gnuNameWithDivide.empty()) {
    list.push_back("-march=" + std::string(info(architecture).gnuNameWithDivide));
  } else {
    list.push_back("-march=" + std::string(info(architecture).gnuName));
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
  if (!usesFPU(target) || target.fpu == FPU::None) return;
  const FPUInfo& row = info(target.fpu);
  const std::string_view fpu = hasNeon(target) && !row.gnuNameWithNeon.empty() ? row.gnuNameWithNeon : row.gnuName;
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
  // The core's "-mcpu=" leads the list.
  if (target.cm0HasSmallMultiplier && info(target.core).smallMultiplier) list.front() += ".small-multiply";
  if (target.v8MHasCmse) append(list, "-mcmse");
}

// The Clang list names the architecture the code is for, the core's when one
// is set, as "-mcpu=" decides for GNU: "-target-cpu cortex-m4" on an ARMv4T
// triple is no target at all.
void clangTriple(std::vector<std::string>& list, const TargetSettings& target) {
  const std::optional<Architecture> architecture = effectiveArchitecture(target);
  const bool thumb = isCortexMTarget(target) || target.instructionSet == "Thumb";
  std::string triple = thumb ? "thumb" : "arm";
  if (target.endian != "Little") triple += "eb";
  if (architecture) triple += info(*architecture).clangToken;
  triple += "-none-eabi";
  append(list, "-triple");
  list.push_back(std::move(triple));
}

void clangTargetCpu(std::vector<std::string>& list, const TargetSettings& target) {
  append(list, "-target-cpu");
  append(list, info(target.core).clangName);
}

void clangDivideFeatures(std::vector<std::string>& list, const TargetSettings& target) {
  const std::optional<Architecture> architecture = effectiveArchitecture(target);
  if (architecture != Architecture::v7R && architecture != Architecture::v7A) return;
  const char* sign = target.v7HasDivide ? "+" : "-";
  for (const char* feature : {"hwdiv", "hwdiv-arm", "virtualization"}) {
    appendFeature(list, std::string(sign) + feature);
  }
}

void clangStrictAlign(std::vector<std::string>& list, const TargetSettings& target) {
  const std::optional<Architecture> architecture = effectiveArchitecture(target);
  if (architecture && info(*architecture).strictAlign) appendFeature(list, "+strict-align");
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
  const FPUInfo& row = info(target.fpu);
  for (std::string_view feature : row.clangFeatures) {
    if (!feature.empty()) appendFeature(list, feature);
  }
  if (row.neonChoice) appendFeature(list, hasNeon(target) ? "+neon" : "-neon");
}

}  // namespace

TargetSettings readTargetSettings(ARMProjectSystem& system, ProjectElement* node, const std::string& configuration) {
  const ARMCatalogue& arm = system.arm();
  const auto value = [&](const PropertyClass* property) { return system.lookUp(node, *property, configuration); };
  const auto yes = [&](const PropertyClass* property) { return value(property) == "Yes"; };
  TargetSettings target;
  target.core = coreNamed(value(arm.armCoreType)).value_or(Core::None);
  target.architecture = architectureNamed(value(arm.armArchitecture));
  target.endian = value(arm.armEndian);
  target.fpABI = value(arm.armFpABI);
  target.fpu = fpuNamed(value(arm.armFpuType)).value_or(FPU::None);
  target.advancedSIMD = value(arm.armAdvancedSIMDType);
  target.instructionSet = value(arm.armInstructionSet);
  target.interwork = value(arm.armInterwork);
  target.v7HasDivide = yes(arm.armV7HasDivideInstructions);
  target.cm0HasSmallMultiplier = yes(arm.armCm0HasSmallMultiplier);
  target.v8MHasCmse = yes(arm.armV8MHasCmse);
  target.longCalls = yes(arm.armLongCalls);
  return target;
}

std::optional<Architecture> effectiveArchitecture(const TargetSettings& target) {
  return tidewater::effectiveArchitecture(target.core, target.architecture);
}

bool isCortexMTarget(const TargetSettings& target) { return isCortexM(target.core, target.architecture); }

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
  if (target.architecture) append(list, info(*target.architecture).define);
  append(list, "-D__TIDEWATER_ARM");
  if (usesFPU(target) && target.fpu != FPU::None) append(list, info(target.fpu).define);
  return list;
}

}  // namespace tidewater
