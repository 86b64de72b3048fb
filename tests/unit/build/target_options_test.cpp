#include "build/target_options.h"

#include <gtest/gtest.h>

namespace tidewater {
namespace {

using Strings = std::vector<std::string>;

std::string show(const Strings& list) {
  std::string text;
  for (const std::string& item : list) text += " " + item;
  return text;
}

TEST(TargetOptionsTest, GnuCompilerFormFollowsTheTables) {
  struct Case {
    const char* label;
    TargetSettings target;
    Strings expected;
  };
  const Case cases[] = {
      {"defaults", {}, {"-march=armv4t", "-mlittle-endian", "-mfloat-abi=soft", "-mthumb-interwork", "-mtp=soft"}},
      {"M0+ small multiply",
       {.core = "Cortex-M0+", .architecture = "v6M", .cm0HasSmallMultiplier = true},
       {"-mcpu=cortex-m0plus.small-multiply", "-mlittle-endian", "-mfloat-abi=soft", "-mthumb", "-mtp=soft"}},
      {"M1 small multiply, interwork",
       {.core = "Cortex-M1", .interwork = "Yes", .cm0HasSmallMultiplier = true},
       {"-mcpu=cortex-m1.small-multiply", "-mlittle-endian", "-mfloat-abi=soft", "-mthumb", "-mthumb-interwork",
        "-mtp=soft"}},
      {"M3 ignores small multiply",
       {.core = "Cortex-M3", .cm0HasSmallMultiplier = true},
       {"-mcpu=cortex-m3", "-mlittle-endian", "-mfloat-abi=soft", "-mthumb", "-mtp=soft"}},
      {"v7R divide in ARM state",
       {.architecture = "v7R", .endian = "Big", .v7HasDivide = true},
       {"-mcpu=cortex-r5", "-mbig-endian", "-mfloat-abi=soft", "-mthumb-interwork", "-mtp=soft"}},
      {"v7R divide in Thumb state",
       {.architecture = "v7R", .instructionSet = "Thumb", .interwork = "No", .v7HasDivide = true},
       {"-march=armv7-r", "-mlittle-endian", "-mfloat-abi=soft", "-mthumb", "-mtp=soft"}},
      {"v7A divide, VFPv4-D32 NEON hard",
       {.architecture = "v7A", .fpABI = "Hard", .fpu = "VFPv4-D32", .advancedSIMD = "NEON", .v7HasDivide = true},
       {"-march=armv7ve", "-mlittle-endian", "-mfloat-abi=hard", "-mfpu=neon-vfpv4", "-mthumb-interwork",
        "-mtp=soft"}},
      {"v7A VFPv3-D32 without NEON softfp",
       {.architecture = "v7A", .fpABI = "SoftFP", .fpu = "VFPv3-D32"},
       {"-march=armv7-a", "-mlittle-endian", "-mfloat-abi=softfp", "-mfpu=vfpv3", "-mthumb-interwork", "-mtp=soft"}},
      {"v7A VFPv3-D32 NEON",
       {.architecture = "v7A", .fpABI = "SoftFP", .fpu = "VFPv3-D32", .advancedSIMD = "NEON"},
       {"-march=armv7-a", "-mlittle-endian", "-mfloat-abi=softfp", "-mfpu=neon", "-mthumb-interwork", "-mtp=soft"}},
      {"FPU ignored with soft ABI",
       {.architecture = "v7EM", .fpu = "FPv5-D16"},
       {"-march=armv7e-m", "-mlittle-endian", "-mfloat-abi=soft", "-mthumb", "-mtp=soft"}},
      {"ABI None names no FPU",
       {.architecture = "v8M_Mainline", .fpABI = "None", .fpu = "FPv5-SP-D16", .v8MHasCmse = true, .longCalls = true},
       {"-march=armv8-m.main", "-mlittle-endian", "-mthumb", "-mtp=soft", "-mcmse", "-mlong-calls"}},
      {"v8M baseline, VFP9 hard",
       {.architecture = "v8M_Baseline", .fpABI = "Hard", .fpu = "VFP9"},
       {"-march=armv8-m.base", "-mlittle-endian", "-mfloat-abi=hard", "-mfpu=vfp", "-mthumb", "-mtp=soft"}},
      {"ARM core in Thumb",
       {.core = "ARM926EJ-S", .architecture = "v5TE", .instructionSet = "Thumb", .interwork = "No"},
       {"-mcpu=arm926ej-s", "-mlittle-endian", "-mfloat-abi=soft", "-mthumb", "-mtp=soft"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(gnuTargetOptions(c.target, TargetOptionsForm::Compiler), c.expected)
        << c.label << ":" << show(gnuTargetOptions(c.target, TargetOptionsForm::Compiler));
  }
}

TEST(TargetOptionsTest, GnuPreprocessorAndAssemblerFormsLeaveOutTheCompilerExtras) {
  const TargetSettings target{.core = "Cortex-M0", .cm0HasSmallMultiplier = true, .v8MHasCmse = true, .longCalls = true};
  const Strings expected = {"-mcpu=cortex-m0", "-mlittle-endian", "-mfloat-abi=soft", "-mthumb"};
  EXPECT_EQ(gnuTargetOptions(target, TargetOptionsForm::Preprocessor), expected);
  EXPECT_EQ(gnuTargetOptions(target, TargetOptionsForm::Assembler), expected);
}

TEST(TargetOptionsTest, ClangFormsFollowTheTables) {
  struct Case {
    const char* label;
    TargetSettings target;
    TargetOptionsForm form;
    Strings expected;
  };
  const Case cases[] = {
      {"defaults",
       {},
       TargetOptionsForm::Compiler,
       {"-triple", "armv4t-none-eabi", "-target-cpu", "generic", "-target-feature", "+strict-align", "-target-feature",
        "+soft-float", "-target-feature", "+soft-float-abi", "-msoft-float", "-target-abi", "aapcs", "-mfloat-abi",
        "soft"}},
      {"defaults, assembler",
       {},
       TargetOptionsForm::Assembler,
       {"-triple", "armv4t-none-eabi", "-target-cpu", "generic", "-target-feature", "+strict-align"}},
      {"M33 big-endian softfp",
       {.core = "Cortex-M33", .architecture = "v8M_Mainline", .endian = "Big", .fpABI = "SoftFP",
        .fpu = "FPv5-SP-D16", .longCalls = true},
       TargetOptionsForm::Compiler,
       {"-triple", "thumbebv8m.main-none-eabi", "-target-cpu", "generic", "-target-feature", "+soft-float-abi",
        "-target-abi", "aapcs", "-mfloat-abi", "soft", "-target-feature", "+fp-armv8", "-target-feature",
        "+fp-only-sp", "-target-feature", "+d16", "-target-feature", "+long-calls"}},
      {"long calls only in the compiler form",
       {.core = "Cortex-M0+", .architecture = "v6M", .longCalls = true},
       TargetOptionsForm::Preprocessor,
       {"-triple", "thumbv6m-none-eabi", "-target-cpu", "cortex-m0plus", "-target-feature", "+strict-align",
        "-target-feature", "+soft-float", "-target-feature", "+soft-float-abi", "-msoft-float", "-target-abi",
        "aapcs", "-mfloat-abi", "soft"}},
      {"v7A with divide, VFPv3-D16 hard, no NEON",
       {.architecture = "v7A", .fpABI = "Hard", .fpu = "VFPv3-D16", .v7HasDivide = true},
       TargetOptionsForm::Assembler,
       {"-triple", "armv7a-none-eabi", "-target-cpu", "generic", "-target-feature", "+hwdiv", "-target-feature",
        "+hwdiv-arm", "-target-feature", "+virtualization", "-target-feature", "+vfp3", "-target-feature", "+d16",
        "-target-feature", "-neon"}},
      {"v7R without divide, Thumb, VFPv4-D32 NEON",
       {.architecture = "v7R", .fpABI = "Hard", .fpu = "VFPv4-D32", .advancedSIMD = "NEON", .instructionSet = "Thumb"},
       TargetOptionsForm::Assembler,
       {"-triple", "thumbv7r-none-eabi", "-target-cpu", "generic", "-target-feature", "-hwdiv", "-target-feature",
        "-hwdiv-arm", "-target-feature", "-virtualization", "-target-feature", "+vfp4", "-target-feature", "+neon"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(clangTargetOptions(c.target, c.form), c.expected)
        << c.label << ":" << show(clangTargetOptions(c.target, c.form));
  }
}

TEST(TargetOptionsTest, DefinesNameTheArchitectureAndTheFpuInUse) {
  EXPECT_EQ(targetDefines({}), (Strings{"-D__ARM_ARCH_4T__", "-D__TIDEWATER_ARM"}));
  EXPECT_EQ(targetDefines({.architecture = "v7EM", .fpABI = "Hard", .fpu = "FPv4-SP-D16"}),
            (Strings{"-D__ARM_ARCH_7EM__", "-D__TIDEWATER_ARM", "-D__ARM_ARCH_FPV4_SP_D16__"}));
  EXPECT_EQ(targetDefines({.architecture = "v8M_Baseline", .fpu = "VFP"}),
            (Strings{"-D__ARM_ARCH_V8M_BASELINE__", "-D__TIDEWATER_ARM"}));
  EXPECT_EQ(targetDefines({.architecture = "v6", .fpABI = "SoftFP", .fpu = "VFP"}),
            (Strings{"-D__ARM_ARCH_6__", "-D__TIDEWATER_ARM", "-D__ARM_ARCH_VFP__"}));
}

TEST(TargetOptionsTest, CoreNamesAndCortexMDetection) {
  EXPECT_EQ(toolCoreName("Cortex-M0+"), "cortex-m0plus");
  EXPECT_EQ(toolCoreName("ARM1176JZF-S"), "arm1176jzf-s");
  EXPECT_TRUE(isCortexMTarget({.core = "Cortex-M23", .architecture = "v4T"}));
  EXPECT_FALSE(isCortexMTarget({.core = "Cortex-R4", .architecture = "v7M"}));
  EXPECT_TRUE(isCortexMTarget({.architecture = "v8M_Baseline"}));
  EXPECT_FALSE(isCortexMTarget({.architecture = "v7A"}));
}

}  // namespace
}  // namespace tidewater
