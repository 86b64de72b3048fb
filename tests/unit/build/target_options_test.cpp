#include "build/target_options.h"

#include <gtest/gtest.h>

#include "walk_fixture.h"

namespace tidewater {
namespace {

using Form = TargetOptionsForm;

TEST(TargetOptionsTest, BothFamiliesInTheirThreeFormsFollowTheTargetSettings) {
  const struct { const char* label; bool clang; Form form; TargetSettings target; const char* expected; } cases[] = {
      {"M0+ small multiply, interwork", false, Form::Compiler,
       {.core = Core::CortexM0Plus, .architecture = Architecture::v6M, .interwork = "Yes", .cm0HasSmallMultiplier = true},
       "-mcpu=cortex-m0plus.small-multiply -mlittle-endian -mfloat-abi=soft -mthumb -mthumb-interwork -mtp=soft"},
      {"M3 ignores small multiply", false, Form::Compiler, {.core = Core::CortexM3, .cm0HasSmallMultiplier = true},
       "-mcpu=cortex-m3 -mlittle-endian -mfloat-abi=soft -mthumb -mtp=soft"},
      {"v7R divide in ARM state", false, Form::Compiler, {.architecture = Architecture::v7R, .endian = "Big", .v7HasDivide = true},
       "-mcpu=cortex-r5 -mbig-endian -mfloat-abi=soft -mthumb-interwork -mtp=soft"},
      {"v7R divide in Thumb state", false, Form::Compiler,
       {.architecture = Architecture::v7R, .instructionSet = "Thumb", .interwork = "No", .v7HasDivide = true},
       "-march=armv7-r -mlittle-endian -mfloat-abi=soft -mthumb -mtp=soft"},
      {"v7A divide, VFPv4-D32 NEON hard", false, Form::Compiler,
       {.architecture = Architecture::v7A, .fpABI = "Hard", .fpu = FPU::VFPv4_D32, .advancedSIMD = "NEON", .v7HasDivide = true},
       "-march=armv7ve -mlittle-endian -mfloat-abi=hard -mfpu=neon-vfpv4 -mthumb-interwork -mtp=soft"},
      {"v7A VFPv3-D32 without NEON softfp", false, Form::Compiler,
       {.architecture = Architecture::v7A, .fpABI = "SoftFP", .fpu = FPU::VFPv3_D32},
       "-march=armv7-a -mlittle-endian -mfloat-abi=softfp -mfpu=vfpv3 -mthumb-interwork -mtp=soft"},
      {"FPU ignored with soft ABI", false, Form::Compiler, {.architecture = Architecture::v7EM, .fpu = FPU::FPv5_D16},
       "-march=armv7e-m -mlittle-endian -mfloat-abi=soft -mthumb -mtp=soft"},
      {"ABI None names no FPU", false, Form::Compiler,
       {.architecture = Architecture::v8M_Mainline, .fpABI = "None", .fpu = FPU::FPv5_SP_D16, .v8MHasCmse = true, .longCalls = true},
       "-march=armv8-m.main -mlittle-endian -mthumb -mtp=soft -mcmse -mlong-calls"},
      // The preprocessor and assembler forms leave out the compiler's extras.
      {"M0 preprocessor", false, Form::Preprocessor,
       {.core = Core::CortexM0, .cm0HasSmallMultiplier = true, .v8MHasCmse = true, .longCalls = true},
       "-mcpu=cortex-m0 -mlittle-endian -mfloat-abi=soft -mthumb"},
      {"M0 assembler", false, Form::Assembler,
       {.core = Core::CortexM0, .cm0HasSmallMultiplier = true, .v8MHasCmse = true, .longCalls = true},
       "-mcpu=cortex-m0 -mlittle-endian -mfloat-abi=soft -mthumb"},
      {"defaults", true, Form::Compiler, {},
       "-triple armv4t-none-eabi -target-cpu generic -target-feature +strict-align -target-feature +soft-float "
       "-target-feature +soft-float-abi -msoft-float -target-abi aapcs -mfloat-abi soft"},
      {"defaults, assembler", true, Form::Assembler, {},
       "-triple armv4t-none-eabi -target-cpu generic -target-feature +strict-align"},
      {"M33 big-endian softfp", true, Form::Compiler,
       {.core = Core::CortexM33, .architecture = Architecture::v8M_Mainline, .endian = "Big", .fpABI = "SoftFP",
        .fpu = FPU::FPv5_SP_D16, .longCalls = true},
       "-triple thumbebv8m.main-none-eabi -target-cpu generic -target-feature +soft-float-abi -target-abi aapcs "
       "-mfloat-abi soft -target-feature +fp-armv8 -target-feature +fp-only-sp -target-feature +d16 "
       "-target-feature +long-calls"},
      // The core decides the triple's architecture, as -mcpu= decides GNU's.
      {"M4 without an architecture, assembler", true, Form::Assembler, {.core = Core::CortexM4},
       "-triple thumbv7em-none-eabi -target-cpu cortex-m4"},
      {"long calls only in the compiler form", true, Form::Preprocessor,
       {.core = Core::CortexM0Plus, .architecture = Architecture::v6M, .longCalls = true},
       "-triple thumbv6m-none-eabi -target-cpu cortex-m0plus -target-feature +strict-align -target-feature "
       "+soft-float -target-feature +soft-float-abi -msoft-float -target-abi aapcs -mfloat-abi soft"},
      {"v7A with divide, VFPv3-D16 hard, no NEON", true, Form::Assembler,
       {.architecture = Architecture::v7A, .fpABI = "Hard", .fpu = FPU::VFPv3_D16, .v7HasDivide = true},
       "-triple armv7a-none-eabi -target-cpu generic -target-feature +hwdiv -target-feature +hwdiv-arm "
       "-target-feature +virtualization -target-feature +vfp3 -target-feature +d16 -target-feature -neon"},
      {"v7R without divide, Thumb, VFPv4-D32 NEON", true, Form::Assembler,
       {.architecture = Architecture::v7R, .fpABI = "Hard", .fpu = FPU::VFPv4_D32, .advancedSIMD = "NEON", .instructionSet = "Thumb"},
       "-triple thumbv7r-none-eabi -target-cpu generic -target-feature -hwdiv -target-feature -hwdiv-arm "
       "-target-feature -virtualization -target-feature +vfp4 -target-feature +neon"},
  };
  for (const auto& c : cases) {
    const Strings options = c.clang ? clangTargetOptions(c.target, c.form) : gnuTargetOptions(c.target, c.form);
    EXPECT_EQ(options, words(c.expected)) << (c.clang ? "clang " : "gnu ") << c.label;
  }
}

TEST(TargetOptionsTest, DefinesNameTheFpuOnlyWhenInUseAndTheCoreDecidesCortexM) {
  EXPECT_EQ(targetDefines({.architecture = Architecture::v8M_Baseline, .fpu = FPU::VFP}),
            words("-D__ARM_ARCH_V8M_BASELINE__ -D__TIDEWATER_ARM"));
  EXPECT_EQ(targetDefines({.architecture = Architecture::v6, .fpABI = "SoftFP", .fpu = FPU::VFP}),
            words("-D__ARM_ARCH_6__ -D__TIDEWATER_ARM -D__ARM_ARCH_VFP__"));
  EXPECT_TRUE(isCortexMTarget({.core = Core::CortexM23, .architecture = Architecture::v4T}));
  EXPECT_FALSE(isCortexMTarget({.core = Core::CortexR4, .architecture = Architecture::v7M}));
  EXPECT_TRUE(isCortexMTarget({.architecture = Architecture::v8M_Baseline}));
  EXPECT_FALSE(isCortexMTarget({.architecture = Architecture::v7A}));
}

}  // namespace
}  // namespace tidewater
