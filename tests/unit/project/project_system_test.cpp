#include "project/project_system.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace tidewater {
namespace {

// A toolchain layer as small as the node macro map needs.
class TestProjectSystem : public ProjectSystem {
 public:
  explicit TestProjectSystem(MacroTable& macros) : ProjectSystem(macros) {
    for (auto [name, type, value] : {
             std::tuple{"macros", PropertyType::StringList, ""},
             std::tuple{"build_intermediate_directory", PropertyType::DirPath, "$(ProjectName) $(Configuration)"},
             std::tuple{"build_output_directory", PropertyType::DirPath, "$(ProjectName) $(Configuration)"},
             std::tuple{"build_root_output_directory", PropertyType::DirPath, ""},
             std::tuple{"build_toolchain_directory", PropertyType::DirPath, "$(StudioDir)/gcc/$(GCCTarget)/bin"},
         }) {
      catalogue().add(std::make_unique<PropertyClass>(
          PropertyDefinition{.name = name, .type = type, .defaultValue = value}));
    }
  }

 protected:
  std::string objectExtension() const override { return ".o"; }
  std::string executableExtension() const override { return ".elf"; }
  void addToolchainMacros(MacroMap& map, ProjectElement*, const std::string&) override {
    map["GCCTarget"] = "arm-none-eabi";
    ++mapsBuilt;
  }

 public:
  int mapsBuilt = 0;
};

class ProjectSystemTest : public ::testing::Test {
 protected:
  ProjectSystemTest() {
    macros.registerSystemMacro("StudioDir", "/opt/tw", "");
    solution = &system.newSolution("demo", "/work/sol");
    project = &system.newProject(*solution, "app", "/work/sol/p", "Executable");
  }

  ProjectElement& addFile(ProjectElement& parent, const std::string& fileName) {
    auto file = std::make_unique<ProjectElement>("file");
    file->setFileName(fileName, true);
    return system.addChild(parent, std::move(file));
  }

  void setMacros(ProjectElement& node, const std::string& configuration, const std::string& value) {
    system.write(node, *system.catalogue().find("macros"), configuration, value);
  }

  MacroTable macros;
  TestProjectSystem system{macros};
  ProjectElement* solution;
  ProjectElement* project;
};

TEST_F(ProjectSystemTest, SkeletonStoresTheProjectDirectoryRelativeToTheSolution) {
  EXPECT_EQ(solution->absoluteFilePath, "/work/sol/demo.twp");
  EXPECT_EQ(*solution->nodeAttribute("version"), "2");
  EXPECT_EQ(*project->configuration("Common")->nodeAttribute("project_directory"), "p");
  EXPECT_EQ(*project->configuration("Common")->nodeAttribute("project_type"), "Executable");
  EXPECT_EQ(system.findProject("app"), project);
  system.resolvePath(*project, "Common");
  EXPECT_EQ(project->directory, "/work/sol/p");

  ProjectElement& bare = system.newProject(*solution, "bare", "/work/sol", "");
  system.resolvePath(bare, "Common");
  EXPECT_EQ(bare.directory, "/work/sol");
  bare.configuration("Common")->setNodeAttribute("project_directory", "");
  bare.pathResolved = false;
  system.resolvePath(bare, "Common");
  EXPECT_EQ(bare.directory, "/work/sol");
}

TEST_F(ProjectSystemTest, FilePathsResolveAgainstTheProjectDirectory) {
  ProjectElement& relative = addFile(*project, "src/a.c");
  system.resolvePath(relative, "Debug");
  EXPECT_EQ(relative.absoluteFilePath, "/work/sol/p/src/a.c");
  EXPECT_EQ(relative.relativePath, "src/a.c");
  EXPECT_TRUE(relative.pathResolved);

  ProjectElement& absolute = addFile(*project, "/abs/b.s");
  system.resolvePath(absolute, "Debug");
  EXPECT_EQ(absolute.absoluteFilePath, "/abs/b.s");
}

TEST_F(ProjectSystemTest, FileNamesWithMacrosAreResolvedAgainOnEachRequest) {
  setMacros(*project, "Debug", "Variant=dbg");
  setMacros(*project, "Release", "Variant=rel");
  ProjectElement& file = addFile(*project, "$(Variant)/start.s");
  system.resolvePath(file, "Debug");
  EXPECT_EQ(file.absoluteFilePath, "/work/sol/p/dbg/start.s");
  EXPECT_FALSE(file.pathResolved);
  system.resolvePath(file, "Release");
  EXPECT_EQ(file.absoluteFilePath, "/work/sol/p/rel/start.s");
  EXPECT_EQ(system.nodeName(file), "start.s");
}

TEST_F(ProjectSystemTest, NodeNamesPreferNameThenFileName) {
  ProjectElement& folder = system.addChild(*project, std::make_unique<ProjectElement>("folder"));
  EXPECT_EQ(system.nodeName(folder), "<NULL>");
  folder.setNodeName("Sources");
  EXPECT_EQ(system.nodeName(folder), "Sources");
  EXPECT_EQ(system.nodeName(addFile(folder, "lib/util.c")), "util.c");
}

TEST_F(ProjectSystemTest, NodeMacroMapDescribesTheNodeAndItsSurroundings) {
  ProjectElement& outer = system.addChild(*project, std::make_unique<ProjectElement>("folder"));
  outer.setNodeName("Source Files");
  ProjectElement& inner = system.addChild(outer, std::make_unique<ProjectElement>("folder"));
  inner.setNodeName("drivers");
  ProjectElement& file = addFile(inner, "src/uart.x.c");

  const MacroMap map = system.nodeMacroMap(&file, "Debug");
  const std::pair<const char*, const char*> expected[] = {
      {"ProjectNodeName", "uart.x.c"},  {"FolderName", "drivers"},
      {"FolderPath", "Source Files/drivers"}, {"ProjectDir", "/work/sol/p"},
      {"ProjectName", "app"},          {"SolutionDir", "/work/sol"},
      {"SolutionName", "demo"},        {"SolutionFileName", "demo.twp"},
      {"SolutionPath", "/work/sol/demo.twp"}, {"SolutionExt", "twp"},
      {"InputDir", "/work/sol/p/src"}, {"InputName", "uart.x"},
      {"InputFileName", "uart.x.c"},   {"InputExt", "c"},
      {"InputPath", "/work/sol/p/src/uart.x.c"}, {"RelInputPath", "src/uart.x.c"},
      {"RelInputDir", "src"},          {"Configuration", "Debug"},
      {"OBJ", ".o"},                   {"EXE", ".elf"},
      {"LIB", ""},                     {"PackageExt", "twq"},
      {"IntDir", "app Debug"},         {"OutDir", "app Debug"},
      {"RootOutDir", ""},              {"ToolChainDir", "/opt/tw/gcc/arm-none-eabi/bin"},
  };
  for (const auto& [name, value] : expected) {
    ASSERT_TRUE(map.count(name)) << name;
    EXPECT_EQ(map.at(name), value) << name;
  }
  EXPECT_EQ(map.count("RootRelativeOutDir"), 0u);
  EXPECT_EQ(system.nodeMacroMap(&inner, "Debug").at("FolderPath"), "Source Files/drivers");
}

TEST_F(ProjectSystemTest, ProjectMacrosComeFirstAndFixedMacrosOverwriteThem) {
  setMacros(*solution, "Common", "Board=outer;Sep=a\\;b;Empty");
  setMacros(*project, "Common", "Board=inner;OBJ=.obj;StudioDir=/mine");
  ProjectElement& file = addFile(*project, "main.c");
  EXPECT_EQ(system.expandForNode(&file, "Debug", "$(Board) $(Sep) [$(Empty)] $(OBJ) $(StudioDir)"),
            "inner a;b [] .o /mine");
  EXPECT_EQ(system.expandForNode(&file, "Debug", "$(IntDir)/$(InputName)$(OBJ)"), "app Debug/main.o");

  system.write(*project, *system.catalogue().find("build_output_directory"), "Common", "out");
  system.write(*project, *system.catalogue().find("build_root_output_directory"), "Common", "out/..");
  EXPECT_EQ(system.nodeMacroMap(&file, "Debug").at("RootRelativeOutDir"), "..");
}

TEST_F(ProjectSystemTest, TextWithoutADollarBuildsNoMacroMap) {
  ProjectElement& file = addFile(*project, "main.c");
  const int before = system.mapsBuilt;
  EXPECT_EQ(system.expandForNode(&file, "Debug", "plain (text)"), "plain (text)");
  EXPECT_EQ(system.mapsBuilt, before);
  EXPECT_EQ(system.expandForNode(&file, "Debug", "$(Configuration)"), "Debug");
  EXPECT_EQ(system.mapsBuilt, before + 1);
}

}  // namespace
}  // namespace tidewater
