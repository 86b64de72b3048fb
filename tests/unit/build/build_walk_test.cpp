#include "build/build_walk.h"

#include <gtest/gtest.h>

#include <chrono>

#include "walk_fixture.h"

namespace tidewater {
namespace {

namespace fs = std::filesystem;

class BuildWalkTest : public WalkFixture {
 protected:
  void age(const std::string& name, std::chrono::seconds offset) {
    fs::last_write_time(inProject(name), fs::file_time_type::clock::now() + offset);
  }
  void justAfterObject(const std::string& name) {
    fs::last_write_time(inProject(name), fs::last_write_time(inProject("obj/a.o")) + std::chrono::seconds(1));
  }
  // Builds a.c once, forced, and leaves it an hour older than the object
  // (which stays newer than every property write), with no call recorded.
  void buildOnceAndAge() {
    build(0x30A);
    ASSERT_TRUE(fs::exists(inProject("obj/a.o"))) << output.str();
    age("a.c", std::chrono::hours(-1));
    reset();
  }
};

TEST_F(BuildWalkTest, BuildKindsAndOutputNamesFollowTheProjectAndFileTypes) {
  ProjectElement& c = addFile("src/a.c");
  ProjectElement& cpp = addFile("b.cc");
  ProjectElement& excluded = addFile("x.c");
  set(excluded, "build_exclude_from_build", "Yes");
  BuildWalk walk(system, *builder, idler);
  const struct { ProjectElement* node; BuildKind expected; } files[] = {
      {&c, BuildKind::CompileC}, {&cpp, BuildKind::CompileCpp}, {&addFile("s.s"), BuildKind::Assemble},
      {&addFile("h.h"), BuildKind::None}, {&excluded, BuildKind::Excluded}};
  for (const auto& f : files) EXPECT_EQ(walk.buildKind(*f.node, "Common"), f.expected) << system.nodeName(*f.node);
  // Object file, Executable, Library and Staging projects are built by the tests below.
  const struct { const char* type; BuildKind project, file; } types[] = {
      {"Combining", BuildKind::Combine, BuildKind::None},
      {"Externally Built Executable", BuildKind::ExternalBuild, BuildKind::None}};
  for (const auto& t : types) {
    set("project_type", t.type);
    EXPECT_EQ(walk.buildKind(*project, "Common"), t.project) << t.type;
    EXPECT_EQ(walk.buildKind(c, "Common"), t.file) << t.type;
  }
  // An external build compiles through its command; it links when it has a link command but no build file.
  set("external_c_compile_command", "cc $(RelInputPath)");
  EXPECT_EQ(walk.buildKind(c, "Common"), BuildKind::CompileC);
  EXPECT_EQ(walk.buildKind(cpp, "Common"), BuildKind::None);
  set("external_link_command", "ld");
  EXPECT_EQ(walk.buildKind(*project, "Common"), BuildKind::Link);
  set("external_build_file_name", "out.elf");
  EXPECT_EQ(walk.buildKind(*project, "Common"), BuildKind::ExternalBuild);

  EXPECT_EQ(walk.dependencyFileName(c, "Common", "obj/a.o"), "obj/a.d");
  set("build_dependency_file_name", "deps/$(InputName).dep");
  EXPECT_EQ(walk.dependencyFileName(c, "Common", "obj/a.o"), "deps/a.dep");
}

TEST_F(BuildWalkTest, AnObjectIsUpToDateUnlessForcedOrAnInputDependencyPropertyOrOptionsFileChanged) {
  addFile("a.c");
  buildOnceAndAge();
  EXPECT_FALSE(build(0));
  EXPECT_TRUE(ran(""));
  EXPECT_TRUE(printed("'" + inProject("obj/a.o") + "' is up to date"));
  reset();
  build(0x8);  // quiet: the same decision without the line
  EXPECT_EQ(output.str(), "");
  build(0x2);  // forced: it runs and nothing says up to date
  EXPECT_TRUE(ran("cc1 as"));
  EXPECT_FALSE(printed("is up to date"));

  buildOnceAndAge();
  fs::last_write_time(inProject("a.c"), fs::last_write_time(inProject("obj/a.o")));  // same second: not newer
  build(0);
  EXPECT_TRUE(ran(""));
  justAfterObject("a.c");
  build(0);
  EXPECT_TRUE(ran("cc1 as"));
  EXPECT_TRUE(printed(inProject("a.c") + " ("));
  EXPECT_TRUE(printed(") is newer than " + inProject("obj/a.o") + " ("));

  buildOnceAndAge();
  age("a.c", std::chrono::hours(1));
  build(0);
  EXPECT_TRUE(printed("clock skew detected on " + inProject("a.c") + "."));
  EXPECT_TRUE(ran("cc1 as"));

  // Dependencies, compile properties and options files.
  dir.write("p/b.h", "");
  dir.write("p/opts.txt", "-DX\n");
  set("c_additional_options_from_file", "opts.txt");
  buildOnceAndAge();
  age("b.h", std::chrono::hours(-2));
  age("opts.txt", std::chrono::hours(-2));
  dir.write("p/obj/a.d", "obj/a.o: a.c b.h \\\n  gone.h\n");
  build(0);
  EXPECT_TRUE(printed(inProject("gone.h") + " does not exist."));
  EXPECT_TRUE(ran("cc1 as"));

  buildOnceAndAge();
  dir.write("p/obj/a.d", "obj/a.o: a.c b.h\n");
  build(0);
  EXPECT_TRUE(ran(""));
  justAfterObject("b.h");
  build(0);
  EXPECT_TRUE(ran("cc1 as"));

  buildOnceAndAge();
  age("b.h", std::chrono::hours(-2));
  set("gcc_entry_point", "main");  // a link property: the object stays
  build(0);
  EXPECT_TRUE(ran(""));
  set("gcc_optimization_level", "Level 2");
  build(0);
  const std::string displayName(system.catalogue().find("gcc_optimization_level")->displayName());
  EXPECT_TRUE(printed(displayName + " property has changed."));
  EXPECT_TRUE(ran("cc1 as"));

  buildOnceAndAge();
  justAfterObject("opts.txt");
  build(0);
  EXPECT_TRUE(printed(inProject("opts.txt") + " has been modified."));
  EXPECT_TRUE(ran("cc1 as"));
}

// No stale object survives for make to link, nor any intermediate file; but
// only regular files are removed, never what a link points to.
TEST_F(BuildWalkTest, AFailingCompileStopsTheWalkAndRemovesTheFilesOfItsStep) {
  addFile("a.c");
  addFile("b.c");
  dir.write("p/obj/a.o", "stale object");
  ScopedVariable fail(test::kFakeToolFailVariable, "as");  // after cc1 wrote the assembly file
  EXPECT_FALSE(build());
  EXPECT_TRUE(status().failed);
  EXPECT_TRUE(ran("cc1 as"));
  for (const char* name : {"obj/a.o", "obj/a.asm"}) EXPECT_FALSE(fs::exists(inProject(name))) << name;
  EXPECT_EQ(builder->errorCount(), 1);

  dir.write("p/kept.o", "");
  fs::create_symlink(inProject("kept.o"), inProject("obj/a.o"));
  builder = newBuilder();
  build();
  EXPECT_TRUE(fs::is_symlink(inProject("obj/a.o")));
}

TEST_F(BuildWalkTest, ExcludedFilesAndNoCommandModeRunNothingAndCleanRemovesTheOldOutputsFirst) {
  ProjectElement& file = addFile("a.c");
  set("arm_keep_assembly", "Yes");
  set(file, "build_exclude_from_build", "Yes");
  build();
  set(file, "build_exclude_from_build", "No");
  build(0x30A | kBuildNoCommands);
  build(0x30A | kBuildNoChildren);
  EXPECT_TRUE(ran(""));
  build();
  dir.write("p/obj/a.d", "");
  reset();
  build(kBuildClean | kBuildForced);
  for (const char* name : {"obj/a.o", "obj/a.d", "obj/a.asm"}) EXPECT_TRUE(printed("Remove " + inProject(name) + "\n"));
  EXPECT_TRUE(fs::exists(inProject("obj/a.o")));
}

TEST_F(BuildWalkTest, PreAndPostCompileCommandsRunWithTheirMacros) {
  addFile("a.c");
  setAll({{"compile_pre_build_command", tool("pre") + "\"$(InputFileName)\" -o gen/a_gen.c"},
          {"compile_pre_build_command_output_file_name", "gen/a_gen.c"},
          {"compile_post_build_command", tool("post") + "\"$(TargetPath)\" $(RelTargetPath)"}});
  build();
  const Calls recorded = calls();
  ASSERT_TRUE(ran("pre cc1 as post"));
  EXPECT_EQ(recorded[0].arguments, (Strings{"a.c", "-o", "gen/a_gen.c"}));
  EXPECT_EQ(Strings(recorded[1].arguments.end() - 3, recorded[1].arguments.end()),
            (Strings{inProject("gen/a_gen.c"), "-o", "obj/a.asm"}));
  EXPECT_EQ(recorded[3].arguments, (Strings{inProject("obj/a.o"), "obj/a.o"}));
  EXPECT_TRUE(printed("Pre-compile command") && printed("Post-compile command"));
}

TEST_F(BuildWalkTest, ExternalCompileCommandReplacesTheTools) {
  addFile("a.c");
  setAll({{"c_preprocessor_definitions", "A;B=2"}, {"c_user_include_directories", "inc;more"},
          {"external_c_compile_command", tool("ext") + "$(Defines) $(Includes) -o \"$(RelTargetPath)\" \\\"q\\\""}});
  build();
  EXPECT_EQ(calls(), (Calls{{"ext", {"-DA", "-DB=2", "-Iinc", "-Imore", "-o", "obj/a.o", "\"q\""}}}));
  EXPECT_TRUE(printed("Compiling 'a.c'"));
}

TEST_F(BuildWalkTest, PreLinkAndExternalLinkCommandsRunAfterTheCompilesUnlessAnObjectIsDuplicated) {
  setAll({{"project_type", "Executable"}, {"linker_pre_build_command", tool("prelink") + "$(ProjectName)"},
          {"external_link_command", tool("ld") + "$(Objects) -o \"$(RelTargetPath)\""}});
  addFile("a.c");
  addFile("b.c");
  EXPECT_TRUE(build());
  EXPECT_TRUE(ran("cc1 as cc1 as prelink ld"));
  EXPECT_EQ(argumentsOf("prelink"), Strings{"app"});
  EXPECT_EQ(argumentsOf("ld"), (Strings{"obj/a.o", "obj/b.o", "-o", "app Common/app.elf"}));
  EXPECT_TRUE(printed("Linking 'app.elf'"));
  addFile("sub/a.c");
  reset();
  EXPECT_FALSE(build());
  EXPECT_TRUE(status().failed);
  EXPECT_TRUE(printed("The object file obj/a.o has been supplied more than once"));
}

TEST_F(BuildWalkTest, StagingCopiesEachFileAndRunsThePostStageCommandWhenOneWasStaged) {
  setAll({{"project_type", "Staging"}, {"build_output_directory", "staged"},
          {"stage_post_build_command", tool("post") + "$(ProjectName)"}});
  addFile("data/a.txt", "payload\n");
  EXPECT_TRUE(build());
  EXPECT_EQ(test::readFile(inProject("staged/data/a.txt")), "payload\n");
  EXPECT_EQ(calls(), (Calls{{"post", {"app"}}}));
  EXPECT_TRUE(printed("Copying 'a.txt'"));

  reset();
  age("data/a.txt", std::chrono::hours(-1));
  EXPECT_FALSE(build(0));
  EXPECT_TRUE(ran(""));
  EXPECT_TRUE(printed("'" + inProject("staged/data/a.txt") + "' is up to date."));
}

TEST_F(BuildWalkTest, CombiningRunsItsCommandOnTheQuotedInputsAndSetsTheOutputReadOnly) {
  setAll({{"project_type", "Combining"}, {"build_output_directory", "out"}, {"combine_set_readonly", "Yes"},
          {"combine_command", tool("combine") + "-o \"$(CombiningOutputFilePath)\" $(CombiningRelInputPaths)"}});
  addFile("x.bin");
  addFile("y z.bin");
  EXPECT_TRUE(build());
  EXPECT_EQ(calls(), (Calls{{"combine", {"-o", "out/app", "x.bin", "y z.bin"}}}));
  EXPECT_EQ(fs::status(inProject("out/app")).permissions() & fs::perms::owner_write, fs::perms::none);
}

TEST_F(BuildWalkTest, UnityFolderCompilesItsIncludedFilesAsOneSource) {
  setAll({{"project_type", "Executable"}, {"external_link_command", tool("ld") + "$(Objects)"}});
  auto created = std::make_unique<ProjectElement>("folder");
  created->setNodeName("lib");
  ProjectElement& folder = system.addChild(*project, std::move(created));
  for (const char* name : {"lib/a.c", "lib/skip_me.c", "lib/b.c"}) addFile(name, "int x;\n", &folder);
  setAll({{"unity_build_file_name", "unity_$(ProjectName).c"}, {"unity_build_exclude_filter", "skip*;*.cpp"}}, &folder);
  EXPECT_TRUE(build());
  EXPECT_EQ(test::readFile(inProject("unity_app.c")),
            "#include \"" + inProject("lib/a.c") + "\"\n#include \"" + inProject("lib/b.c") + "\"\n");
  const Calls recorded = calls();
  ASSERT_TRUE(ran("cc1 as cc1 as ld"));
  EXPECT_EQ(recorded[0].arguments.end()[-3], "lib/skip_me.c");
  EXPECT_EQ(recorded[2].arguments.end()[-3], inProject("unity_app.c"));
  EXPECT_EQ(recorded[2].arguments.back(), "obj/unity_app.asm");
  EXPECT_EQ(recorded[4].arguments, (Strings{"obj/unity_app.o", "obj/skip_me.o"}));
  EXPECT_TRUE(printed("Compiling folder 'lib' in unity mode as unity_app.c"));
  // Without unity builds every file compiles on its own.
  reset();
  build(0x30A | kBuildNoUnity);
  EXPECT_TRUE(ran("cc1 as cc1 as cc1 as ld"));
  EXPECT_EQ(argumentsOf("ld"), (Strings{"obj/a.o", "obj/skip_me.o", "obj/b.o"}));
}

}  // namespace
}  // namespace tidewater
