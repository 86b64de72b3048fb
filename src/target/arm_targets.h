#pragma once

// The ARM targets the tools know: one row per architecture, core and FPU.
// Code passes the enums around; the names appear only where a property
// value is read or a catalogue text or command line is written.

#include <array>
#include <optional>
#include <span>
#include <string_view>

namespace tidewater {

enum class Architecture { v4T, v5TE, v6, v6T2, v6M, v7M, v7EM, v7R, v7A, v8M_Baseline, v8M_Mainline };

enum class Core {
  ARM7TDMI, ARM7TDMI_S, ARM720T, ARM920T, ARM946E_S, ARM966E_S, ARM968E_S, ARM926EJ_S, ARM1136J_S, ARM1136JF_S,
  ARM1176JZ_S, ARM1176JZF_S, CortexM0, CortexM0Plus, CortexM1, CortexM23, CortexM3, CortexM33, CortexM4, CortexM7,
  CortexR4, CortexR4F, CortexR5, CortexA5, CortexA7, CortexA8, CortexA9, XScale, None
};

enum class FPU { VFP, VFP9, VFPv3_D32, VFPv3_D16, VFPv4_D32, VFPv4_D16, FPv4_SP_D16, FPv5_SP_D16, FPv5_D16, None };

/// The core runtime library an architecture links: "libarm", "libcm" or none.
enum class RuntimeLibrary { None, Arm, CortexM };

struct ArchitectureInfo {
  Architecture id;
  std::string_view name;          ///< the arm_architecture value
  bool offered;                   ///< listed by the catalogue (v6T2 is only a GNU name)
  std::string_view gnuName;       ///< "-march=" argument
  std::string_view gnuNameWithDivide;  ///< "-march=" argument with the divide instructions, if another
  std::string_view clangToken;    ///< the architecture part of the triple
  std::string_view define;
  std::string_view libraryToken;  ///< LibExt's architecture part; v4T and v7R/v7A vary with the target
  bool cortexM;
  bool strictAlign;               ///< Clang must not assume unaligned access
  RuntimeLibrary runtime;
};

struct CoreInfo {
  Core id;
  std::string_view name;          ///< the arm_core_type value
  Architecture architecture;      ///< meaningless for Core::None
  std::string_view gnuName;       ///< "-mcpu=" argument
  std::string_view clangName;     ///< "-target-cpu" argument
  bool smallMultiplier;           ///< GNU has a ".small-multiply" variant
};

struct FPUInfo {
  FPU id;
  std::string_view name;          ///< the arm_fpu_type value
  std::string_view gnuName;       ///< "-mfpu=" argument, or the one without NEON
  std::string_view gnuNameWithNeon;  ///< empty when NEON does not change it
  std::array<std::string_view, 3> clangFeatures;
  bool neonChoice;                ///< Clang adds "+neon" or "-neon"
  std::string_view define;
  std::string_view libraryToken;  ///< LibExt's FPU part
  bool cortexM;                   ///< a Cortex-M FPU, with its registers in the system control space
};

std::span<const ArchitectureInfo> architectures();
std::span<const CoreInfo> cores();
std::span<const FPUInfo> fpus();

const ArchitectureInfo& info(Architecture architecture);
const CoreInfo& info(Core core);
const FPUInfo& info(FPU fpu);

/// The row of a property value, compared exactly as the catalogue stores it.
std::optional<Architecture> architectureNamed(std::string_view name);
std::optional<Core> coreNamed(std::string_view name);
std::optional<FPU> fpuNamed(std::string_view name);

/// "armv7e-m" → v7EM: the architecture a GNU "-march=" name stands for.
std::optional<Architecture> architectureOfGnuName(std::string_view gnuName);

/// The architecture code is built for: the core's, or "architecture" when
/// no core is set.
std::optional<Architecture> effectiveArchitecture(Core core, std::optional<Architecture> architecture);

/// Whether code for this core (or, with none, this architecture) is Cortex-M.
bool isCortexM(Core core, std::optional<Architecture> architecture);

}  // namespace tidewater
