#include "build/compile_command.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/environment.h"
#include "walk_fixture.h"

namespace tidewater {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;
using test::FakeToolCall;

class CompileCommandTest : public WalkFixture {
 protected:
  Strings defaultIncludes() const {
    return {"-isystem" + dir.path() + "/studio/include", "-isystem" + dir.path() + "/packages/include", "-I."};
  }
  static Strings versionDefines() {
    return {"-D__TIDEWATER_MAJOR_VERSION=4", "-D__TIDEWATER_MINOR_VERSION=0", "-D__TIDEWATER_REVISION=6"};
  }
  // The default target's switches and defines, and the code generation tail.
  static Strings target() { return {"-march=armv4t", "-mlittle-endian", "-mfloat-abi=soft", "-mthumb-interwork"}; }
  Strings preprocessor() const {
    return joined({{"-nostdinc"}, defaultIncludes(), {"-D__SIZEOF_WCHAR_T=4", "-D__ARM_ARCH_4T__", "-D__TIDEWATER_ARM"},
                   versionDefines()});
  }
  static Strings codeGeneration() {
    return {"-fomit-frame-pointer", "-fno-dwarf2-cfi-asm", "-fno-builtin", "-ffunction-sections", "-fdata-sections",
            "-fshort-enums", "-fno-common"};
  }
  static Strings joined(std::initializer_list<Strings> parts) {
    Strings all;
    for (const Strings& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
  }
  static bool has(const Strings& arguments, const std::string& argument) {
    return std::find(arguments.begin(), arguments.end(), argument) != arguments.end();
  }
};

TEST_F(CompileCommandTest, DefaultCFileCompilesWithTheDocumentedListThenAssemblesAndDropsTheAssembly) {
  addFile("a.c");
  // An "Object file" project has no step of its own: only its files compile.
  EXPECT_FALSE(build(0x10A));
  EXPECT_FALSE(status.failed) << output.str() << errors.str();
  const Strings compile = joined({{"-fmessage-length=0", "-fno-diagnostics-show-caret"}, target(), {"-mtp=soft"},
                                   preprocessor(),
                                   {"-MD", "obj/a.d", "-MQ", "obj/a.o", "-quiet", "-g2", "-gpubnames", "-std=gnu99"},
                                   codeGeneration(), {"a.c", "-o", "obj/a.asm"}});
  const Strings assemble = joined({{"--traditional-format"}, target(), {"obj/a.asm", "-o", "obj/a.o"}});
  EXPECT_EQ(calls(), (std::vector<FakeToolCall>{{"cc1", compile}, {"as", assemble}}));
  EXPECT_TRUE(fs::exists(inProject("obj/a.o")));
  EXPECT_FALSE(fs::exists(inProject("obj/a.asm")));
  EXPECT_NE(output.str().find("Compiling 'a.c'"), std::string::npos) << output.str();
}

TEST_F(CompileCommandTest, WithoutADependencyFileNameNoDependencyOutputIsAsked) {
  addFile("a.c");
  build(0x10A | kBuildNoDependencyOutput);
  ASSERT_FALSE(calls().empty());
  const Strings arguments = calls().front().arguments;
  EXPECT_FALSE(has(arguments, "-MD") || has(arguments, "-MQ")) << showArguments(arguments);
}

TEST_F(CompileCommandTest, CppFileTakesTheCppStandardAndLanguageSwitches) {
  addFile("b.cpp");
  set("cpp_enable_rtti", "Yes");
  set("gcc_optimization_level", "Optimize For Size");
  set("c_preprocessor_definitions", "X=1;Y");
  set("c_preprocessor_undefinitions", "Z");
  set("c_additional_options", "-fa;-fb");
  set("cpp_only_additional_options", "-fc");
  set("gcc_enable_all_warnings", "Yes");
  set("build_treat_warnings_as_errors", "Yes");
  set("build_quietly", "No");
  build();
  ASSERT_EQ(toolNames(), (Strings{"cc1plus", "as"}));
  const Strings expected = joined({{"-fmessage-length=0", "-fno-diagnostics-show-caret", "-fno-exceptions"}, target(),
                                    {"-mtp=soft"}, preprocessor(),
                                    {"-DX=1", "-DY", "-UZ", "-Werror", "-Wall", "-Wextra", "-v", "-fa", "-fb", "-fc",
                                     "-g2", "-gpubnames", "-std=gnu++98", "-Os"},
                                    codeGeneration(), {"b.cpp", "-o", "obj/b.asm"}});
  EXPECT_EQ(calls()[0].arguments, expected);
}

TEST_F(CompileCommandTest, ClangFamilyFormsTheCc1AndCc1asLists) {
  addFile("a.c");
  set("arm_compiler_variant", "clang");
  set("arm_architecture", "v7M");
  set("arm_fp_abi", "Hard");
  set("arm_fpu_type", "FPv4-SP-D16");
  set("gcc_dwarf_version", "dwarf-4");
  set("gcc_omit_frame_pointer", "No");
  set("c_ignore_includes", "Yes");
  build(0x10A);
  ASSERT_EQ(toolNames(), (Strings{"clang", "clang"}));
  const Strings target = {"-triple", "thumbv7m-none-eabi", "-target-cpu", "generic"};
  const Strings fpu = {"-target-feature", "+vfp4", "-target-feature", "+fp-only-sp", "-target-feature", "+d16"};
  const Strings compile = joined({
      {"-cc1", "-S", "-disable-free", "-disable-llvm-verifier", "-mrelocation-model", "static",
       "-mconstructor-aliases", "-x", "c", "-fno-caret-diagnostics", "-fno-diagnostics-fixit-info"},
      target,
      {"-target-abi", "aapcs", "-mfloat-abi", "hard"},
      fpu,
      {"-nostdsysteminc", "-nobuiltininc", "-D__SIZEOF_WCHAR_T=4", "-D__ARM_ARCH_7M__", "-D__TIDEWATER_ARM",
       "-D__ARM_ARCH_FPV4_SP_D16__"},
      versionDefines(),
      {"-dependency-file", "obj/a.d", "-sys-header-deps", "-MT", "obj/a.o", "-dwarf-version=4",
       "-debug-info-kind=limited", "-debugger-tuning=gdb", "-std=gnu99", "-mdisable-fp-elim",
       "-fno-dwarf-directory-asm", "-fno-builtin", "-fmath-errno", "-ffunction-sections", "-fdata-sections", "-mno-global-merge",
       "-fshort-enums", "-fno-common", "a.c", "-o", "obj/a.asm"},
  });
  EXPECT_EQ(calls()[0].arguments, compile) << showArguments(calls()[0].arguments);
  // The compile's assembler is of the compiler's family: no float ABI items.
  EXPECT_EQ(calls()[1].arguments,
            joined({{"-cc1as", "-filetype", "obj"}, target, fpu, {"obj/a.asm", "-o", "obj/a.o", "-dwarf-version=4"}}));
}

TEST_F(CompileCommandTest, AssemblySourceIsPreprocessedAssembledAndItsSectionsRenamed) {
  addFile("s.s", "nop\n");
  set("default_code_section", ".fast");
  set("default_const_section", ".rodata");  // equal to its default: no pair
  set("build_suppress_warnings", "Yes");
  build(0x30A);
  ASSERT_EQ(toolNames(), (Strings{"cc1", "as", "objcopy"}));
  EXPECT_EQ(calls()[0].arguments, joined({{"-fmessage-length=0", "-fno-diagnostics-show-caret", "-E"}, target(),
                                          preprocessor(), {"-w", "-quiet", "-lang-asm", "s.s", "-o", "obj/s_PP.s"}}));
  EXPECT_EQ(calls()[1].arguments, joined({{"--traditional-format"}, target(),
                                          {"obj/s_PP.s", "-o", "obj/s.o", "-g", "-gdwarf-4", "--no-warn"}}));
  EXPECT_EQ(calls()[2].arguments, (Strings{"obj/s.o", "obj/s.o", "--rename-section", ".text=.fast"}));
  EXPECT_FALSE(fs::exists(inProject("obj/s_PP.s")));
}

TEST_F(CompileCommandTest, AssemblyWithDefaultSectionsRunsNoObjcopy) {
  addFile("s.S", "nop\n");
  set("default_data_section", ".data");
  build();
  EXPECT_EQ(toolNames(), (Strings{"cc1", "as"}));
}

TEST_F(CompileCommandTest, KeepAssemblyAndKeepPreprocessorOutputLeaveTheIntermediateFiles) {
  addFile("a.c");
  set("arm_keep_assembly", "Yes");
  set("arm_keep_preprocessor_output", "Yes");
  build(0x10A);
  ASSERT_EQ(toolNames(), (Strings{"cc1", "cc1", "as"}));
  const Strings preprocess = calls()[0].arguments;
  ASSERT_GE(preprocess.size(), 6u);
  EXPECT_EQ(Strings(preprocess.begin() + 2, preprocess.begin() + 5), (Strings{"-E", "-quiet", "-march=armv4t"}));
  EXPECT_EQ(Strings(preprocess.end() - 3, preprocess.end()), (Strings{inProject("a.c"), "-o", "obj/a_PP.c"}));
  EXPECT_FALSE(has(preprocess, "-MD"));
  // The compile reads the preprocessed file and writes no dependency file.
  const Strings compile = calls()[1].arguments;
  EXPECT_TRUE(has(compile, "-fpreprocessed") && !has(compile, "-nostdinc") && !has(compile, "-MD"))
      << showArguments(compile);
  EXPECT_EQ(Strings(compile.end() - 3, compile.end()), (Strings{"obj/a_PP.c", "-o", "obj/a.asm"}));
  EXPECT_TRUE(fs::exists(inProject("obj/a.asm")));
  EXPECT_TRUE(fs::exists(inProject("obj/a_PP.c")));
  EXPECT_NE(output.str().find("Preprocessing a.c"), std::string::npos) << output.str();
}

TEST_F(CompileCommandTest, PreprocessOneFileReturnsTheFileThatReceivedTheOutput) {
  ProjectElement& file = addFile("m.cpp");
  const std::string result = preprocessOneFile(system, file, "Common", builder, status);
  EXPECT_EQ(result, inProject("obj/m_PP.cpp"));
  EXPECT_TRUE(fs::exists(result));
  ASSERT_EQ(toolNames(), (Strings{"cc1plus"}));
  const Strings arguments = calls()[0].arguments;
  EXPECT_EQ(Strings(arguments.begin(), arguments.begin() + 6),
            (Strings{"-fmessage-length=0", "-fno-diagnostics-show-caret", "-fno-exceptions", "-fno-rtti", "-E",
                     "-quiet"}));
}

TEST_F(CompileCommandTest, AbsolutePathsAreGivenWhenAsked) {
  addFile("a.c");
  set("arm_supply_absolute_file_path", "Yes");
  build(0x10A);
  ASSERT_EQ(toolNames(), (Strings{"cc1", "as"}));
  const Strings compile = calls()[0].arguments;
  EXPECT_EQ(Strings(compile.end() - 3, compile.end()), (Strings{inProject("a.c"), "-o", inProject("obj/a.asm")}));
  EXPECT_TRUE(has(compile, inProject("obj/a.d")));
}

TEST_F(CompileCommandTest, OptionsFilesContributeTheirLinesAndAMissingOneStopsTheCompile) {
  addFile("a.c");
  dir.write("p/opts.txt", "// comment\n-DA\n# another\n/* start\n-DHIDDEN\nend */\n-I with space\nx\n\n-Dlast");
  set("c_additional_options_from_file", "opts.txt");
  build();
  ASSERT_EQ(toolNames(), (Strings{"cc1", "as"}));
  const Strings compile = calls()[0].arguments;
  const auto at = std::find(compile.begin(), compile.end(), "-DA");
  ASSERT_NE(at, compile.end());
  // "-Dlast" has no final newline and contributes nothing.
  EXPECT_EQ(Strings(at, at + 4), (Strings{"-DA", "-I with space", "x", "-g2"}));

  set("c_additional_options_from_file", "missing.txt");
  status = {};
  fs::remove(log());
  EXPECT_FALSE(build());
  EXPECT_TRUE(status.failed);
  EXPECT_TRUE(calls().empty());
  EXPECT_NE(output.str().find("Cannot load options file: " + inProject("missing.txt")), std::string::npos)
      << output.str();
}

TEST_F(CompileCommandTest, CortexMOnlySystemRefusesOtherTargets) {
  ARMProjectSystem cortexM{macros, "", {}, true};
  ProjectElement& sol = cortexM.newSolution("s", projectDir());
  ProjectElement& proj = cortexM.newProject(sol, "m", projectDir(), "Object file");
  auto created = std::make_unique<ProjectElement>("file");
  created->setFileName("a.c", true);
  dir.write("p/a.c", "");
  ProjectElement& file = cortexM.addChild(proj, std::move(created));
  cortexM.write(proj, *cortexM.catalogue().find("arm_architecture"), "Common", "v4T");
  cortexM.write(proj, *cortexM.catalogue().find("build_toolchain_directory"), "Common", tools());
  EXPECT_FALSE(runCompileTool(cortexM, file, "Common", BuildKind::CompileC, "a.o", "a.d", "a.c", builder, status,
                              false));
  EXPECT_TRUE(status.failed);
  EXPECT_NE(output.str().find("Only Cortex-M cores are supported"), std::string::npos) << output.str();
  EXPECT_TRUE(calls().empty());
}

TEST_F(CompileCommandTest, FileEncodingBecomesTheInputCharset) {
  ProjectElement& file = addFile("a.c");
  set(file, "file_codec", "ISO 8859-1");
  build();
  ASSERT_FALSE(calls().empty());
  EXPECT_TRUE(has(calls()[0].arguments, "-finput-charset=ISO8859-1"));
}

}  // namespace
}  // namespace tidewater
