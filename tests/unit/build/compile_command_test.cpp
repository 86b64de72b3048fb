#include "build/compile_command.h"

#include <gtest/gtest.h>

#include "walk_fixture.h"

namespace tidewater {
namespace {

namespace fs = std::filesystem;

// The pieces of the default GNU lists.
const std::string kHead = "-fmessage-length=0 -fno-diagnostics-show-caret ";
const std::string kTarget = "-march=armv4t -mlittle-endian -mfloat-abi=soft -mthumb-interwork ";
const std::string kVersions =
    "-D__TIDEWATER_MAJOR_VERSION=4 -D__TIDEWATER_MINOR_VERSION=0 -D__TIDEWATER_REVISION=6 ";
const std::string kPreprocessor = "-nostdinc -isystemDIR/studio/include -isystemDIR/packages/include -I. "
                                  "-D__SIZEOF_WCHAR_T=4 -D__ARM_ARCH_4T__ -D__TIDEWATER_ARM " + kVersions;
const std::string kCodeGeneration = "-fomit-frame-pointer -fno-dwarf2-cfi-asm -fno-builtin -ffunction-sections "
                                    "-fdata-sections -fshort-enums -fno-common ";

using CompileCommandTest = WalkFixture;

// The exact GNU lists of a plain compile and assembly are pinned through the driver's "-n" output.
TEST_F(CompileCommandTest, DefaultCFileCompilesThenAssemblesAndDropsTheAssembly) {
  addFile("a.c");
  // An "Object file" project has no step of its own: only its files compile.
  EXPECT_FALSE(build(0x10A));
  EXPECT_FALSE(status().failed) << output.str() << errors.str();
  EXPECT_TRUE(ran("cc1 as"));
  EXPECT_TRUE(fs::exists(inProject("obj/a.o")));
  EXPECT_FALSE(fs::exists(inProject("obj/a.asm")));
  EXPECT_TRUE(printed("Compiling 'a.c'"));
}

TEST_F(CompileCommandTest, CppFileTakesTheCppStandardAndLanguageSwitches) {
  addFile("b.cpp");
  setAll({{"cpp_enable_rtti", "Yes"}, {"gcc_optimization_level", "Optimize For Size"},
          {"c_preprocessor_definitions", "X=1;Y"}, {"c_preprocessor_undefinitions", "Z"},
          {"c_additional_options", "-fa;-fb"}, {"cpp_only_additional_options", "-fc"},
          {"gcc_enable_all_warnings", "Yes"}, {"build_treat_warnings_as_errors", "Yes"}, {"build_quietly", "No"}});
  build();
  ASSERT_TRUE(ran("cc1plus as"));
  EXPECT_EQ(argumentsOf("cc1plus"),
            words(kHead + "-fno-exceptions " + kTarget + "-mtp=soft " + kPreprocessor +
                  "-DX=1 -DY -UZ -Werror -Wall -Wextra -v -fa -fb -fc -g2 -gpubnames -std=gnu++98 -Os " +
                  kCodeGeneration + "b.cpp -o obj/b.asm"));
}

TEST_F(CompileCommandTest, ClangFamilyFormsTheCc1AndCc1asLists) {
  addFile("a.c");
  setAll({{"arm_compiler_variant", "clang"}, {"arm_architecture", "v7M"}, {"arm_fp_abi", "Hard"},
          {"arm_fpu_type", "FPv4-SP-D16"}, {"gcc_dwarf_version", "dwarf-4"}, {"gcc_omit_frame_pointer", "No"},
          {"c_ignore_includes", "Yes"}});
  build(0x10A);
  const std::string target = "-triple thumbv7m-none-eabi -target-cpu generic ";
  const std::string fpu = "-target-feature +vfp4 -target-feature +fp-only-sp -target-feature +d16 ";
  EXPECT_TRUE(ran("clang clang"));
  EXPECT_EQ(argumentsOf("clang"),
            words("-cc1 -S -disable-free -disable-llvm-verifier -mrelocation-model static -mconstructor-aliases -x c "
                  "-fno-caret-diagnostics -fno-diagnostics-fixit-info " + target +
                  "-target-abi aapcs -mfloat-abi hard " + fpu +
                  "-nostdsysteminc -nobuiltininc -D__SIZEOF_WCHAR_T=4 -D__ARM_ARCH_7M__ -D__TIDEWATER_ARM "
                  "-D__ARM_ARCH_FPV4_SP_D16__ " + kVersions +
                  "-dependency-file obj/a.d -sys-header-deps -MT obj/a.o -dwarf-version=4 -debug-info-kind=limited "
                  "-debugger-tuning=gdb -std=gnu99 -mdisable-fp-elim -fno-dwarf-directory-asm -fno-builtin "
                  "-fmath-errno -ffunction-sections -fdata-sections -mno-global-merge -fshort-enums -fno-common "
                  "a.c -o obj/a.asm"));
  // The compile's assembler is of the compiler's family: no float ABI items.
  EXPECT_EQ(argumentsOf("clang", 1),
            words("-cc1as -filetype obj " + target + fpu + "obj/a.asm -o obj/a.o -dwarf-version=4"));
}

TEST_F(CompileCommandTest, PreprocessOneFileReturnsTheFileThatReceivedTheOutput) {
  ProjectElement& file = addFile("m.cpp");
  const std::string result = preprocessOneFile(system, file, "Common", *builder);
  EXPECT_EQ(result, inProject("obj/m_PP.cpp"));
  EXPECT_EQ(argumentsOf("cc1plus"), words(kHead + "-fno-exceptions -fno-rtti -E -quiet " + kTarget + kPreprocessor +
                                          "DIR/p/m.cpp -o obj/m_PP.cpp"));
}

TEST_F(CompileCommandTest, AbsolutePathsAndTheFileEncodingAreGivenWhenAsked) {
  ProjectElement& file = addFile("a.c");
  set("arm_supply_absolute_file_path", "Yes");
  set(file, "file_codec", "ISO 8859-1");
  build(0x10A);
  const Strings compile = argumentsOf("cc1");
  ASSERT_GE(compile.size(), 3u);
  EXPECT_EQ(Strings(compile.end() - 3, compile.end()), (Strings{inProject("a.c"), "-o", inProject("obj/a.asm")}));
  EXPECT_TRUE(has(compile, inProject("obj/a.d")));
  EXPECT_TRUE(has(compile, "-finput-charset=ISO8859-1"));
}

TEST_F(CompileCommandTest, OptionsFilesContributeTheirLinesAndAMissingOneStopsTheCompile) {
  addFile("a.c");
  dir.write("p/opts.txt", "// comment\n-DA\n# another\n/* start\n-DHIDDEN\nend */\n-I with space\nx\n\n-Dlast");
  set("c_additional_options_from_file", "opts.txt");
  build();
  const Strings compile = argumentsOf("cc1");
  const auto at = std::find(compile.begin(), compile.end(), "-DA");
  ASSERT_LE(at + 4, compile.end()) << shown(compile);
  // "-Dlast" has no final newline and contributes nothing.
  EXPECT_EQ(Strings(at, at + 4), (Strings{"-DA", "-I with space", "x", "-g2"}));

  set("c_additional_options_from_file", "missing.txt");
  builder = newBuilder();
  reset();
  EXPECT_FALSE(build());
  EXPECT_TRUE(status().failed);
  EXPECT_TRUE(ran(""));
  EXPECT_TRUE(printed("Cannot load options file: " + inProject("missing.txt")));
}

TEST_F(CompileCommandTest, CortexMOnlySystemRefusesOtherTargets) {
  ARMProjectSystem cortexM{macros, "", {}, true};
  ProjectElement& proj = cortexM.newProject(cortexM.newSolution("s", projectDir()), "m", projectDir(), "Object file");
  cortexM.write(proj, *cortexM.catalogue().find("arm_architecture"), "Common", "v4T");
  cortexM.write(proj, *cortexM.catalogue().find("build_toolchain_directory"), "Common", tools());
  EXPECT_FALSE(
      runCompileTool(cortexM, proj, "Common", BuildKind::CompileC, "a.o", "a.d", "a.c", *builder, false));
  EXPECT_TRUE(status().failed);
  EXPECT_TRUE(printed("Only Cortex-M cores are supported"));
  EXPECT_TRUE(ran(""));
}

}  // namespace
}  // namespace tidewater
