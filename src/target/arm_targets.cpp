#include "target/arm_targets.h"

namespace tidewater {
namespace {

using A = Architecture;
using C = Core;
using F = FPU;
using enum RuntimeLibrary;

// Rows in enum order, which is also the order the catalogue lists them in.
constexpr ArchitectureInfo kArchitectures[] = {
    {A::v4T, "v4T", true, "armv4t", "", "v4t", "-D__ARM_ARCH_4T__", "v4t", false, true, Arm},
    {A::v5TE, "v5TE", true, "armv5te", "", "v5te", "-D__ARM_ARCH_5TE__", "v5te", false, true, Arm},
    {A::v6, "v6", true, "armv6", "", "v6", "-D__ARM_ARCH_6__", "v6", false, false, Arm},
    {A::v6T2, "v6T2", false, "armv6t2", "", "v6t2", "-D__ARM_ARCH_6T2__", "", false, false, None},
    {A::v6M, "v6M", true, "armv6-m", "", "v6m", "-D__ARM_ARCH_6M__", "v6m", true, true, None},
    {A::v7M, "v7M", true, "armv7-m", "", "v7m", "-D__ARM_ARCH_7M__", "v7m", true, false, CortexM},
    {A::v7EM, "v7EM", true, "armv7e-m", "", "v7em", "-D__ARM_ARCH_7EM__", "v7em", true, false, CortexM},
    {A::v7R, "v7R", true, "armv7-r", "", "v7r", "-D__ARM_ARCH_7R__", "v7r", false, false, Arm},
    {A::v7A, "v7A", true, "armv7-a", "armv7ve", "v7a", "-D__ARM_ARCH_7A__", "v7a", false, false, Arm},
    {A::v8M_Baseline, "v8M_Baseline", true, "armv8-m.base", "", "v8m.base", "-D__ARM_ARCH_V8M_BASELINE__", "v8mbl",
     true, true, None},
    // The Mainline libraries are the v7EM ones.
    {A::v8M_Mainline, "v8M_Mainline", true, "armv8-m.main", "", "v8m.main", "-D__ARM_ARCH_V8M_MAINLINE__", "v7em",
     true, false, CortexM},
};

// Clang gets "generic" for the M23 and M33: their triple's architecture
// says all it needs.
constexpr CoreInfo kCores[] = {
    {C::ARM7TDMI, "ARM7TDMI", A::v4T, "arm7tdmi", "arm7tdmi", false},
    {C::ARM7TDMI_S, "ARM7TDMI-S", A::v4T, "arm7tdmi-s", "arm7tdmi-s", false},
    {C::ARM720T, "ARM720T", A::v4T, "arm720t", "arm720t", false},
    {C::ARM920T, "ARM920T", A::v4T, "arm920t", "arm920t", false},
    {C::ARM946E_S, "ARM946E-S", A::v5TE, "arm946e-s", "arm946e-s", false},
    {C::ARM966E_S, "ARM966E-S", A::v5TE, "arm966e-s", "arm966e-s", false},
    {C::ARM968E_S, "ARM968E-S", A::v5TE, "arm968e-s", "arm968e-s", false},
    {C::ARM926EJ_S, "ARM926EJ-S", A::v5TE, "arm926ej-s", "arm926ej-s", false},
    {C::ARM1136J_S, "ARM1136J-S", A::v6, "arm1136j-s", "arm1136j-s", false},
    {C::ARM1136JF_S, "ARM1136JF-S", A::v6, "arm1136jf-s", "arm1136jf-s", false},
    {C::ARM1176JZ_S, "ARM1176JZ-S", A::v6, "arm1176jz-s", "arm1176jz-s", false},
    {C::ARM1176JZF_S, "ARM1176JZF-S", A::v6, "arm1176jzf-s", "arm1176jzf-s", false},
    {C::CortexM0, "Cortex-M0", A::v6M, "cortex-m0", "cortex-m0", true},
    {C::CortexM0Plus, "Cortex-M0+", A::v6M, "cortex-m0plus", "cortex-m0plus", true},
    {C::CortexM1, "Cortex-M1", A::v6M, "cortex-m1", "cortex-m1", true},
    {C::CortexM23, "Cortex-M23", A::v8M_Baseline, "cortex-m23", "generic", false},
    {C::CortexM3, "Cortex-M3", A::v7M, "cortex-m3", "cortex-m3", false},
    {C::CortexM33, "Cortex-M33", A::v8M_Mainline, "cortex-m33", "generic", false},
    {C::CortexM4, "Cortex-M4", A::v7EM, "cortex-m4", "cortex-m4", false},
    {C::CortexM7, "Cortex-M7", A::v7EM, "cortex-m7", "cortex-m7", false},
    {C::CortexR4, "Cortex-R4", A::v7R, "cortex-r4", "cortex-r4", false},
    {C::CortexR4F, "Cortex-R4F", A::v7R, "cortex-r4f", "cortex-r4f", false},
    {C::CortexR5, "Cortex-R5", A::v7R, "cortex-r5", "cortex-r5", false},
    {C::CortexA5, "Cortex-A5", A::v7A, "cortex-a5", "cortex-a5", false},
    {C::CortexA7, "Cortex-A7", A::v7A, "cortex-a7", "cortex-a7", false},
    {C::CortexA8, "Cortex-A8", A::v7A, "cortex-a8", "cortex-a8", false},
    {C::CortexA9, "Cortex-A9", A::v7A, "cortex-a9", "cortex-a9", false},
    {C::XScale, "XScale", A::v5TE, "xscale", "xscale", false},
    {C::None, "None", A::v4T, "", "generic", false},
};

constexpr FPUInfo kFPUs[] = {
    {F::VFP, "VFP", "vfp", "", {"+vfp2"}, false, "-D__ARM_ARCH_VFP__", "_vfp", false},
    {F::VFP9, "VFP9", "vfp", "", {"+vfp2"}, false, "-D__ARM_ARCH_VFP__", "_vfp", false},
    {F::VFPv3_D32, "VFPv3-D32", "vfpv3", "neon", {"+vfp3"}, true, "-D__ARM_ARCH_VFP3_D32__", "_vfpv3_d32", false},
    {F::VFPv3_D16, "VFPv3-D16", "vfpv3-d16", "", {"+vfp3", "+d16"}, true, "-D__ARM_ARCH_VFP3_D16__", "_vfpv3_d16",
     false},
    {F::VFPv4_D32, "VFPv4-D32", "vfpv4", "neon-vfpv4", {"+vfp4"}, true, "-D__ARM_ARCH_VFP4_D32__", "_vfpv4_d32",
     false},
    {F::VFPv4_D16, "VFPv4-D16", "vfpv4-d16", "", {"+vfp4", "+d16"}, true, "-D__ARM_ARCH_VFP4_D16__", "_vfpv4_d16",
     false},
    {F::FPv4_SP_D16, "FPv4-SP-D16", "fpv4-sp-d16", "", {"+vfp4", "+fp-only-sp", "+d16"}, false,
     "-D__ARM_ARCH_FPV4_SP_D16__", "_fpv4_sp_d16", true},
    {F::FPv5_SP_D16, "FPv5-SP-D16", "fpv5-sp-d16", "", {"+fp-armv8", "+fp-only-sp", "+d16"}, false,
     "-D__ARM_ARCH_FPV5_SP_D16__", "_fpv5_sp_d16", true},
    {F::FPv5_D16, "FPv5-D16", "fpv5-d16", "", {"+fp-armv8", "+d16"}, false, "-D__ARM_ARCH_FPV5_D16__", "_fpv5_d16",
     true},
    {F::None, "None", "", "", {}, false, "", "", false},
};

template <typename Row, typename Id>
std::optional<Id> named(std::span<const Row> rows, std::string_view name) {
  for (const Row& row : rows) {
    if (row.name == name) return row.id;
  }
  return std::nullopt;
}

}  // namespace

std::span<const ArchitectureInfo> architectures() { return kArchitectures; }
std::span<const CoreInfo> cores() { return kCores; }
std::span<const FPUInfo> fpus() { return kFPUs; }

const ArchitectureInfo& info(Architecture architecture) { return kArchitectures[static_cast<size_t>(architecture)]; }
const CoreInfo& info(Core core) { return kCores[static_cast<size_t>(core)]; }
const FPUInfo& info(FPU fpu) { return kFPUs[static_cast<size_t>(fpu)]; }

std::optional<Architecture> architectureNamed(std::string_view name) {
  return named<ArchitectureInfo, Architecture>(kArchitectures, name);
}
std::optional<Core> coreNamed(std::string_view name) { return named<CoreInfo, Core>(kCores, name); }
std::optional<FPU> fpuNamed(std::string_view name) { return named<FPUInfo, FPU>(kFPUs, name); }

std::optional<Architecture> architectureOfGnuName(std::string_view gnuName) {
  for (const ArchitectureInfo& row : kArchitectures) {
    if (row.gnuName == gnuName) return row.id;
  }
  return std::nullopt;
}

std::optional<Architecture> effectiveArchitecture(Core core, std::optional<Architecture> architecture) {
  return core == Core::None ? architecture : info(core).architecture;
}

bool isCortexM(Core core, std::optional<Architecture> architecture) {
  const std::optional<Architecture> effective = effectiveArchitecture(core, architecture);
  return effective && info(*effective).cortexM;
}

}  // namespace tidewater
