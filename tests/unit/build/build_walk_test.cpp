#include "build/build_walk.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "support/environment.h"
#include "walk_fixture.h"

namespace tidewater {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;
using test::FakeToolCall;

class BuildWalkTest : public WalkFixture {
 protected:
  // Sets a file's modification time "offset" from now.
  void age(const std::string& path, std::chrono::seconds offset) {
    fs::last_write_time(path, fs::file_time_type::clock::now() + offset);
  }
  bool printed(const std::string& text) const { return output.str().find(text) != std::string::npos; }

  // Builds once, forced, and leaves the source an hour older than the
  // object (which stays newer than every property write), with no call
  // recorded.
  void buildOnceAndAge(const std::string& source, const std::string& object) {
    build(0x30A);
    ASSERT_TRUE(fs::exists(inProject(object))) << output.str();
    age(inProject(source), std::chrono::hours(-1));
    fs::remove(log());
    output.str({});
  }
};

TEST_F(BuildWalkTest, BuildKindsFollowTheProjectAndFileTypes) {
  ProjectElement& c = addFile("a.c");
  ProjectElement& cpp = addFile("b.cc");
  ProjectElement& assembly = addFile("s.s");
  ProjectElement& header = addFile("h.h");
  ProjectElement& excluded = addFile("x.c");
  set(excluded, "build_exclude_from_build", "Yes");
  BuildWalk walk(system, builder, idler, status);
  const struct {
    ProjectElement* node;
    BuildKind expected;
  } files[] = {{&c, BuildKind::CompileC}, {&cpp, BuildKind::CompileCpp}, {&assembly, BuildKind::Assemble},
               {&header, BuildKind::None}, {&excluded, BuildKind::Excluded}};
  for (const auto& f : files) EXPECT_EQ(walk.buildKind(*f.node, "Common"), f.expected) << system.nodeName(*f.node);

  const struct {
    const char* type;
    BuildKind project;
    BuildKind file;
  } types[] = {
      {"Object file", BuildKind::None, BuildKind::CompileC},  {"Executable", BuildKind::Link, BuildKind::CompileC},
      {"Library", BuildKind::Archive, BuildKind::CompileC},   {"Staging", BuildKind::Stage, BuildKind::Stage},
      {"Combining", BuildKind::Combine, BuildKind::None},
      {"Externally Built Executable", BuildKind::ExternalBuild, BuildKind::None},
  };
  for (const auto& t : types) {
    set("project_type", t.type);
    EXPECT_EQ(walk.buildKind(*project, "Common"), t.project) << t.type;
    EXPECT_EQ(walk.buildKind(c, "Common"), t.file) << t.type;
  }
  // An externally built executable compiles a file only through its command,
  // and links when it has a link command and no build file name.
  set("external_c_compile_command", "cc $(RelInputPath)");
  EXPECT_EQ(walk.buildKind(c, "Common"), BuildKind::CompileC);
  EXPECT_EQ(walk.buildKind(cpp, "Common"), BuildKind::None);
  set("external_link_command", "ld");
  EXPECT_EQ(walk.buildKind(*project, "Common"), BuildKind::Link);
  set("external_build_file_name", "out.elf");
  EXPECT_EQ(walk.buildKind(*project, "Common"), BuildKind::ExternalBuild);
}

TEST_F(BuildWalkTest, OutputAndDependencyFileNames) {
  ProjectElement& file = addFile("src/a.c");
  BuildWalk walk(system, builder, idler, status);
  EXPECT_EQ(walk.outputName(BuildKind::CompileC, file, "Common"), "obj/a.o");
  EXPECT_EQ(walk.dependencyFileName(file, "Common", "obj/a.o"), "obj/a.d");
  set("build_dependency_file_name", "deps/$(InputName).dep");
  EXPECT_EQ(walk.dependencyFileName(file, "Common", "obj/a.o"), "deps/a.dep");
  set("project_type", "Executable");
  set("build_output_directory", "bin");
  EXPECT_EQ(walk.outputName(BuildKind::Link, *project, "Common"), "bin/app.elf");
  EXPECT_EQ(walk.outputName(BuildKind::Archive, *project, "Common"), "bin/app.a");
}

TEST_F(BuildWalkTest, AnUpToDateObjectIsReportedAndNotRebuilt) {
  addFile("a.c");
  buildOnceAndAge("a.c", "obj/a.o");
  EXPECT_FALSE(build(0));
  EXPECT_TRUE(calls().empty());
  EXPECT_TRUE(printed("'" + inProject("obj/a.o") + "' is up to date")) << output.str();

  // Quiet: the same decision without the line.
  output.str({});
  build(0x8);
  EXPECT_TRUE(calls().empty());
  EXPECT_EQ(output.str(), "");

  // Forced: it runs and nothing says up to date.
  build(0x2);
  EXPECT_EQ(toolNames(), (Strings{"cc1", "as"}));
  EXPECT_FALSE(printed("is up to date")) << output.str();
}

TEST_F(BuildWalkTest, InputTimesAreComparedInWholeSeconds) {
  addFile("a.c");
  buildOnceAndAge("a.c", "obj/a.o");
  // Same second as the object: not newer.
  const auto objectTime = fs::last_write_time(inProject("obj/a.o"));
  fs::last_write_time(inProject("a.c"), objectTime);
  build(0);
  EXPECT_TRUE(calls().empty()) << output.str();

  fs::last_write_time(inProject("a.c"), objectTime + std::chrono::seconds(1));
  build(0);
  EXPECT_EQ(toolNames(), (Strings{"cc1", "as"}));
  EXPECT_TRUE(printed(inProject("a.c") + " (")) << output.str();
  EXPECT_TRUE(printed(") is newer than " + inProject("obj/a.o") + " (")) << output.str();
}

TEST_F(BuildWalkTest, AFutureInputGivesTheClockSkewMessageAndRuns) {
  addFile("a.c");
  buildOnceAndAge("a.c", "obj/a.o");
  age(inProject("a.c"), std::chrono::hours(1));
  build(0);
  EXPECT_TRUE(printed("clock skew detected on " + inProject("a.c") + ".")) << output.str();
  EXPECT_EQ(toolNames(), (Strings{"cc1", "as"}));
}

TEST_F(BuildWalkTest, DependencyFileInputsAreChecked) {
  addFile("a.c");
  dir.write("p/b.h", "");
  buildOnceAndAge("a.c", "obj/a.o");
  age(inProject("b.h"), std::chrono::hours(-2));
  dir.write("p/obj/a.d", "obj/a.o: a.c b.h \\\n  gone.h\n");
  build(0);
  EXPECT_TRUE(printed(inProject("gone.h") + " does not exist.")) << output.str();
  EXPECT_EQ(toolNames(), (Strings{"cc1", "as"}));

  buildOnceAndAge("a.c", "obj/a.o");
  dir.write("p/obj/a.d", "obj/a.o: a.c b.h\n");
  age(inProject("b.h"), std::chrono::hours(-2));
  build(0);
  EXPECT_TRUE(calls().empty()) << output.str();
  fs::last_write_time(inProject("b.h"), fs::last_write_time(inProject("obj/a.o")) + std::chrono::seconds(1));
  build(0);
  EXPECT_EQ(toolNames(), (Strings{"cc1", "as"}));
}

TEST_F(BuildWalkTest, ACompilePropertyChangedAfterTheObjectPutsItOutOfDate) {
  addFile("a.c");
  buildOnceAndAge("a.c", "obj/a.o");
  set("gcc_entry_point", "main");  // a link property: the object stays
  build(0);
  EXPECT_TRUE(calls().empty()) << output.str();

  set("gcc_optimization_level", "Level 2");
  build(0);
  const std::string displayName = system.catalogue().find("gcc_optimization_level")->displayName();
  EXPECT_TRUE(printed(displayName + " property has changed.")) << output.str();
  EXPECT_EQ(toolNames(), (Strings{"cc1", "as"}));
}

TEST_F(BuildWalkTest, ANewerOptionsFileIsReported) {
  addFile("a.c");
  dir.write("p/opts.txt", "-DX\n");
  set("c_additional_options_from_file", "opts.txt");
  buildOnceAndAge("a.c", "obj/a.o");
  age(inProject("opts.txt"), std::chrono::hours(-1));
  build(0);
  EXPECT_TRUE(calls().empty()) << output.str();
  fs::last_write_time(inProject("opts.txt"), fs::last_write_time(inProject("obj/a.o")) + std::chrono::seconds(1));
  build(0);
  EXPECT_TRUE(printed(inProject("opts.txt") + " has been modified.")) << output.str();
  EXPECT_EQ(toolNames(), (Strings{"cc1", "as"}));
}

TEST_F(BuildWalkTest, AFailingCompileStopsTheWalkAndRemovesItsOutput) {
  addFile("a.c");
  addFile("b.c");
  ScopedVariable fail(test::kFakeToolFailVariable, "cc1");
  EXPECT_FALSE(build());
  EXPECT_TRUE(status.failed);
  EXPECT_EQ(toolNames(), (Strings{"cc1"}));
  EXPECT_FALSE(fs::exists(inProject("obj/a.asm")));
  EXPECT_FALSE(fs::exists(inProject("obj/a.o")));
  EXPECT_EQ(builder.errorCount(), 1);
}

TEST_F(BuildWalkTest, CleanRemovesTheOldObjectFirst) {
  addFile("a.c");
  build();
  output.str({});
  build(kBuildClean | kBuildForced);
  EXPECT_TRUE(printed("Remove " + inProject("obj/a.o"))) << output.str();
  EXPECT_TRUE(fs::exists(inProject("obj/a.o")));
}

TEST_F(BuildWalkTest, ExcludedFilesAndNoCommandModeRunNothing) {
  ProjectElement& file = addFile("a.c");
  set(file, "build_exclude_from_build", "Yes");
  build();
  EXPECT_TRUE(calls().empty());
  set(file, "build_exclude_from_build", "No");
  build(0x30A | kBuildNoCommands);
  EXPECT_TRUE(calls().empty());
  build(0x30A | kBuildNoChildren);
  EXPECT_TRUE(calls().empty());
}

TEST_F(BuildWalkTest, PreAndPostCompileCommandsRunWithTheirMacros) {
  test::installFakeTool(tools(), "pre");
  test::installFakeTool(tools(), "post");
  addFile("a.c");
  set("compile_pre_build_command", tools() + "/pre \"$(InputFileName)\" -o gen/a_gen.c");
  set("compile_pre_build_command_output_file_name", "gen/a_gen.c");
  set("compile_post_build_command", tools() + "/post \"$(TargetPath)\" $(RelTargetPath)");
  build();
  ASSERT_EQ(toolNames(), (Strings{"pre", "cc1", "as", "post"}));
  const std::vector<FakeToolCall> recorded = calls();
  EXPECT_EQ(recorded[0].arguments, (Strings{"a.c", "-o", "gen/a_gen.c"}));
  const Strings& compile = recorded[1].arguments;
  EXPECT_EQ(Strings(compile.end() - 3, compile.end()), (Strings{inProject("gen/a_gen.c"), "-o", "obj/a.asm"}));
  EXPECT_EQ(recorded[3].arguments, (Strings{inProject("obj/a.o"), "obj/a.o"}));
  EXPECT_TRUE(printed("Pre-compile command")) << output.str();
  EXPECT_TRUE(printed("Post-compile command")) << output.str();
}

TEST_F(BuildWalkTest, ExternalCompileCommandReplacesTheTools) {
  test::installFakeTool(tools(), "ext");
  addFile("a.c");
  set("c_preprocessor_definitions", "A;B=2");
  set("c_user_include_directories", "inc;more");
  set("external_c_compile_command", tools() + "/ext $(Defines) $(Includes) -o \"$(RelTargetPath)\"");
  build();
  EXPECT_EQ(calls(), (std::vector<FakeToolCall>{{"ext", {"-DA", "-DB=2", "-Iinc", "-Imore", "-o", "obj/a.o"}}}));
  EXPECT_TRUE(printed("Compiling 'a.c'")) << output.str();
}

TEST_F(BuildWalkTest, DuplicateObjectsStopTheLink) {
  set("project_type", "Executable");
  addFile("a.c");
  addFile("sub/a.c");
  EXPECT_FALSE(build());
  EXPECT_TRUE(status.failed);
  EXPECT_TRUE(printed("The object file obj/a.o has been supplied more than once")) << output.str();
}

TEST_F(BuildWalkTest, ThePreLinkCommandRunsAfterTheCompilesAndBeforeTheLink) {
  test::installFakeTool(tools(), "prelink");
  set("project_type", "Executable");
  set("linker_pre_build_command", tools() + "/prelink $(ProjectName)");
  addFile("a.c");
  EXPECT_FALSE(build());
  EXPECT_EQ(toolNames(), (Strings{"cc1", "as", "prelink"}));
  EXPECT_TRUE(status.failed);
  EXPECT_TRUE(printed("no linker script, memory map file or section placement segments specified")) << output.str();
}

TEST_F(BuildWalkTest, ExternalLinkCommandGetsTheObjects) {
  test::installFakeTool(tools(), "ld");
  set("project_type", "Executable");
  set("external_link_command", tools() + "/ld $(Objects) -o \"$(RelTargetPath)\"");
  addFile("a.c");
  addFile("b.c");
  EXPECT_TRUE(build());
  ASSERT_EQ(toolNames(), (Strings{"cc1", "as", "cc1", "as", "ld"}));
  EXPECT_EQ(calls().back().arguments, (Strings{"obj/a.o", "obj/b.o", "-o", "app Common/app.elf"}));
  EXPECT_TRUE(printed("Linking 'app.elf'")) << output.str();
}

TEST_F(BuildWalkTest, StagingCopiesEachFileAndRunsThePostStageCommandWhenOneWasStaged) {
  test::installFakeTool(tools(), "post");
  set("project_type", "Staging");
  set("build_output_directory", "staged");
  set("stage_post_build_command", tools() + "/post $(ProjectName)");
  addFile("data/a.txt", "payload\n");
  EXPECT_TRUE(build());
  EXPECT_EQ(test::readFile(inProject("staged/data/a.txt")), "payload\n");
  EXPECT_EQ(calls(), (std::vector<FakeToolCall>{{"post", {"app"}}}));
  EXPECT_TRUE(printed("Copying 'a.txt'")) << output.str();

  fs::remove(log());
  age(inProject("data/a.txt"), std::chrono::hours(-1));
  EXPECT_FALSE(build(0));
  EXPECT_TRUE(calls().empty());
  EXPECT_TRUE(printed("'" + inProject("staged/data/a.txt") + "' is up to date.")) << output.str();
}

TEST_F(BuildWalkTest, CombiningRunsItsCommandOnTheQuotedInputsAndSetsTheOutputReadOnly) {
  test::installFakeTool(tools(), "combine");
  set("project_type", "Combining");
  set("build_output_directory", "out");
  set("combine_command", tools() + "/combine -o \"$(CombiningOutputFilePath)\" $(CombiningRelInputPaths)");
  set("combine_set_readonly", "Yes");
  addFile("x.bin");
  addFile("y z.bin");
  EXPECT_TRUE(build());
  EXPECT_EQ(calls(), (std::vector<FakeToolCall>{{"combine", {"-o", "out/app", "x.bin", "y z.bin"}}}));
  EXPECT_EQ(fs::status(inProject("out/app")).permissions() & fs::perms::owner_write, fs::perms::none);
}

TEST_F(BuildWalkTest, UnityFolderCompilesItsIncludedFilesAsOneSource) {
  test::installFakeTool(tools(), "ld");
  set("project_type", "Executable");
  set("external_link_command", tools() + "/ld $(Objects)");
  auto created = std::make_unique<ProjectElement>("folder");
  created->setNodeName("lib");
  ProjectElement& folder = system.addChild(*project, std::move(created));
  for (const char* name : {"lib/a.c", "lib/skip_me.c", "lib/b.c"}) addFile(folder, name, "int x;\n");
  set(folder, "unity_build_file_name", "unity_$(ProjectName).c");
  set(folder, "unity_build_exclude_filter", "skip*;*.cpp");
  EXPECT_TRUE(build());
  EXPECT_EQ(test::readFile(inProject("unity_app.c")),
            "#include \"" + inProject("lib/a.c") + "\"\n#include \"" + inProject("lib/b.c") + "\"\n");
  const std::vector<FakeToolCall> recorded = calls();
  ASSERT_EQ(toolNames(), (Strings{"cc1", "as", "cc1", "as", "ld"}));
  EXPECT_EQ(recorded[0].arguments.end()[-3], "lib/skip_me.c");
  EXPECT_EQ(recorded[2].arguments.end()[-3], inProject("unity_app.c"));
  EXPECT_EQ(recorded[2].arguments.back(), "obj/unity_app.asm");
  EXPECT_EQ(recorded[4].arguments, (Strings{"obj/unity_app.o", "obj/skip_me.o"}));
  EXPECT_TRUE(printed("Compiling folder 'lib' in unity mode as unity_app.c")) << output.str();

  // Without unity builds every file compiles on its own.
  fs::remove(log());
  build(0x30A | kBuildNoUnity);
  EXPECT_EQ(toolNames(), (Strings{"cc1", "as", "cc1", "as", "cc1", "as", "ld"}));
  EXPECT_EQ(calls().back().arguments, (Strings{"obj/a.o", "obj/skip_me.o", "obj/b.o"}));
}

}  // namespace
}  // namespace tidewater
