#include "arm_project_fixture.h"
#include "project/project_templates.h"
#include "project/property_value.h"
#include "support/environment.h"
#include "target/memory_map.h"

namespace tidewater {
namespace {

class ProjectSystemTest : public test::ARMProjectTest {
 protected:
  void setMacros(ProjectElement& node, const std::string& configuration, const std::string& value) {
    system.write(node, *system.catalogue().find("macros"), configuration, value);
  }
  std::string typeOf(const std::string& fileName) { return system.fileType(addFile(fileName), "Common"); }
  const std::string& d = directory.path();
};

TEST_F(ProjectSystemTest, SkeletonStoresTheProjectDirectoryRelativeToTheSolution) {
  ProjectElement& sub = system.newProject(*solution, "sub", d + "/p", "Library");
  ProjectElement& common = *sub.configuration("Common");
  EXPECT_EQ(*common.nodeAttribute("project_directory") + " " + *common.nodeAttribute("project_type"), "p Library");
  EXPECT_EQ(system.findProject("sub"), &sub);
  system.resolvePath(sub, "Common");
  EXPECT_EQ(sub.directory, d + "/p");
  common.setNodeAttribute("project_directory", "");
  sub.pathResolved = false;
  system.resolvePath(sub, "Common");
  EXPECT_EQ(sub.directory, d);
}

TEST_F(ProjectSystemTest, FilePathsResolveAgainstTheProjectDirectoryAndMacrosOnEachRequest) {
  ProjectElement& relative = addFile("src/a.c");
  system.resolvePath(relative, "Debug");
  EXPECT_EQ(relative.absoluteFilePath, d + "/src/a.c");
  EXPECT_TRUE(relative.pathResolved);
  ProjectElement& absolute = addFile("/abs/b.s");
  system.resolvePath(absolute, "Debug");
  EXPECT_EQ(absolute.absoluteFilePath, "/abs/b.s");

  setMacros(*project, "Debug", "Variant=dbg");
  setMacros(*project, "Release", "Variant=rel");
  ProjectElement& file = addFile("$(Variant)/start.s");
  system.resolvePath(file, "Debug");
  EXPECT_EQ(file.absoluteFilePath, d + "/dbg/start.s");
  EXPECT_FALSE(file.pathResolved);
  system.resolvePath(file, "Release");
  EXPECT_EQ(file.absoluteFilePath, d + "/rel/start.s");

  // Names: "Name", else the file name, else "<NULL>".
  ProjectElement& folder = system.addChild(*project, std::make_unique<ProjectElement>("folder"));
  EXPECT_EQ(system.nodeName(folder) + " " + system.nodeName(file), "<NULL> start.s");
  folder.setNodeName("Sources");
  EXPECT_EQ(system.nodeName(folder), "Sources");
}

TEST_F(ProjectSystemTest, NodeMacroMapDescribesTheNodeAndItsSurroundings) {
  ProjectElement& outer = system.addChild(*project, std::make_unique<ProjectElement>("folder"));
  outer.setNodeName("Source Files");
  ProjectElement& inner = system.addChild(outer, std::make_unique<ProjectElement>("folder"));
  inner.setNodeName("drivers");
  ProjectElement& file = addFile("src/uart.x.c", &inner);
  const MacroMap map = system.nodeMacroMap(&file, "Debug");
  const std::pair<const char*, std::string> expected[] = {
      {"ProjectNodeName", "uart.x.c"}, {"FolderName", "drivers"}, {"FolderPath", "Source Files/drivers"},
      {"ProjectDir", d}, {"ProjectName", "app"}, {"SolutionDir", d}, {"SolutionName", "demo"},
      {"SolutionFileName", "demo.twp"}, {"SolutionPath", d + "/demo.twp"}, {"SolutionExt", "twp"},
      {"InputDir", d + "/src"}, {"InputName", "uart.x"}, {"InputFileName", "uart.x.c"}, {"InputExt", "c"},
      {"InputPath", d + "/src/uart.x.c"}, {"RelInputPath", "src/uart.x.c"}, {"RelInputDir", "src"},
      {"Configuration", "Debug"}, {"OBJ", ".o"}, {"EXE", ".elf"}, {"LIB", ".a"}, {"PackageExt", "twq"},
      {"IntDir", "app Debug"}, {"OutDir", "app Debug"}, {"RootOutDir", ""},
  };
  for (const auto& [name, value] : expected) EXPECT_EQ(map.count(name) ? map.at(name) : "<none>", value) << name;
  EXPECT_EQ(map.count("RootRelativeOutDir"), 0u);
  EXPECT_EQ(system.nodeMacroMap(&inner, "Debug").at("FolderPath"), "Source Files/drivers");
}

TEST_F(ProjectSystemTest, ProjectMacrosComeFirstAndFixedMacrosOverwriteThem) {
  macros.registerSystemMacro("StudioDir", "/opt/tw", "");
  setMacros(*solution, "Common", "Board=outer;Sep=a\\;b;Empty");
  setMacros(*project, "Common", "Board=inner;OBJ=.obj;StudioDir=/mine");
  ProjectElement& file = addFile("main.c");
  EXPECT_EQ(system.expandForNode(&file, "Debug", "$(Board) $(Sep) [$(Empty)] $(OBJ) $(StudioDir)"),
            "inner a;b [] .o /mine");
  EXPECT_EQ(system.expandForNode(&file, "Debug", "$(IntDir)/$(InputName)$(OBJ)"), "app Debug/main.o");
  // The path from the output directory (the current one when it is empty) to the root output directory.
  const std::tuple<const char*, const char*, const char*> outputs[] = {
      {"out", "out/..", ".."}, {"", "out", "out"}, {"", ".", "."}, {"a/b", "", "<none>"}};
  for (const auto& [output, root, relative] : outputs) {
    set("build_output_directory", output);
    set("build_root_output_directory", root);
    const MacroMap map = system.nodeMacroMap(&file, "Debug");
    EXPECT_EQ(map.count("RootRelativeOutDir") ? map.at("RootRelativeOutDir") : "<none>", relative) << output << " " << root;
  }
}

TEST_F(ProjectSystemTest, FileTypeFollowsTheLowerCaseSuffixOrTheDoctypeOfAnXMLFile) {
  const std::pair<const char*, const char*> cases[] = {
      {"A.C", "C"}, {"x.CXX", "C++"}, {"x.hh", "Header"}, {"x.S", "Assembly"}, {"x.a", "Library"},
      {"x.LD", "Linker Script"}, {"dir.d/x.o", "Object file"}, {"x.axf", ""}, {"x", ""}, {"x.", ""},
      {"src/x.tar.c", "C"}, {"/abs/x.elf", "Executable"}, {"missing.xml", ""},
  };
  for (const auto& [fileName, expected] : cases) EXPECT_EQ(typeOf(fileName), expected) << fileName;

  const std::pair<const char*, const char*> documents[] = {
      {"<?xml version=\"1.0\"?>\n<!DOCTYPE Linker_Placement_File>\n<Root/>\n", "Section Placement"},
      {"<!DOCTYPE Board_Memory_Definition_File>\n<Root/>\n", "Memory Map"},
      {"<!DOCTYPE Register_Definition_File>\n<Root/>\n", "Register Definitions"},
      {"<!DOCTYPE Something_Else>\n<Root/>\n", ""},
      {"<Root/>\n", ""},
  };
  for (const char* name : {"doc.xml", "DOC.XML"}) {
    for (const auto& [content, expected] : documents) {
      directory.write(name, content);
      EXPECT_EQ(typeOf(name), expected) << name << ": " << content;
    }
  }
}

TEST_F(ProjectSystemTest, FileTypeValueWinsOverOverrideAndSuffix) {
  const PropertyClass& fileType = *system.general().fileType;
  ProjectElement& source = addFile("start.s");
  system.write(source, fileType, "Common", "C");
  EXPECT_EQ(system.fileType(source, "Debug"), "C");
  source.fileTypeOverride = "Assembly";
  EXPECT_EQ(system.fileType(source, "Common"), "C");

  ProjectElement& data = addFile("table.txt");
  data.fileTypeOverride = "Linker Script";
  system.write(data, fileType, "Common", "Default");
  EXPECT_EQ(system.fileType(data, "Common"), "Linker Script");
  data.fileTypeOverride.clear();
  EXPECT_EQ(system.fileType(data, "Common"), "");

  // A type written on the project applies to every file below it.
  set("file_type", "Object file");
  EXPECT_EQ(typeOf("x.c"), "Object file");
}

TEST_F(ProjectSystemTest, ValueObjectsBindCommonOnlyValuesShowTheirOwnLevelAndRefreshDependents) {
  ProjectPropertyValue value(system, *project, *system.general().fileType, "Debug");
  EXPECT_TRUE(value.isDefault());
  EXPECT_EQ(value.value(), "Default");
  value.setValue("C");
  EXPECT_EQ(*project->configuration("Common")->nodeAttribute("file_type"), "C");
  EXPECT_EQ(project->configuration("Debug"), nullptr);
  EXPECT_FALSE(value.isDefault());
  EXPECT_EQ(system.changeLog().count(), 1u);

  const PropertyClass& defines = *system.catalogue().find("c_preprocessor_definitions");
  system.write(*solution, defines, "Debug", "OUTER");
  ProjectPropertyValue list(system, *project, defines, "Debug");
  EXPECT_EQ(list.value(), "");
  list.setValue("INNER");
  EXPECT_EQ(list.value(), "INNER");
  EXPECT_EQ(system.lookUp(project, defines, "Debug"), "OUTER;INNER");

  // Writes through the value objects refresh what depends on them.
  ProjectElement& file = addFile("a.c");
  system.resolvePath(file, "Common");
  EXPECT_EQ(file.absoluteFilePath, d + "/a.c");
  ProjectDirectoryProjectPropertyValue(system, *project, *system.general().projectDirectory, "Debug").setValue("sub");
  system.resolvePath(file, "Common");
  EXPECT_EQ(file.absoluteFilePath, d + "/sub/a.c");

  const PropertyClass& inherited = *system.catalogue().find("inherited_configurations");
  InheritedConfigurationsProjectPropertyValue(system, *solution, inherited, "Debug").setValue("A;B");
  EXPECT_EQ(*solution->inheritedConfigurations("Debug"), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(*solution->configuration("Debug")->nodeAttribute("inherited_configurations"), "A;B");
}

// Without a toolchain layer: no toolchain file types, and no macro map for
// text without a "$".
TEST(BareProjectSystemTest, KnowsNoToolchainFilesAndExpandsPlainTextWithoutAMap) {
  struct CountingSystem : ProjectSystem {
    using ProjectSystem::ProjectSystem;
    void addToolchainMacros(MacroMap&, ProjectElement*, const std::string&) override { ++mapsBuilt; }
    int mapsBuilt = 0;
  };
  MacroTable macros;
  CountingSystem system(macros);
  ProjectElement& project = system.newProject(system.newSolution("", "/w"), "", "/w", "");
  std::string types;
  for (const char* fileName : {"x.o", "x.a", "x.elf", "x.ld"}) {
    auto file = std::make_unique<ProjectElement>("file");
    file->setFileName(fileName, true);
    types += system.fileType(system.addChild(project, std::move(file)), "Common") + ";";
  }
  EXPECT_EQ(types + system.fileType(project, "Common"), ";;;Linker Script;");
  EXPECT_EQ(system.expandForNode(&project, "Debug", "plain (text)"), "plain (text)");
  EXPECT_EQ(system.mapsBuilt, 0);
  EXPECT_EQ(system.expandForNode(&project, "Debug", "$(Configuration)"), "Debug");
  EXPECT_EQ(system.mapsBuilt, 1);
}

using Kind = MemoryMapElement::Kind;

bool hasGroup(MemoryMap& map, const char* name) {
  return MemoryMap::findElement(map.rootElement(), Kind::RegisterGroup, "name", name) != nullptr;
}

TEST_F(ProjectSystemTest, MemoryMapIsKeptUntilItsFileTimeChangesAndAFailureNever) {
  const auto mapWithGroup = [](const std::string& group) {
    return "<Root><RegisterGroup name=\"" + group + "\" start=\"0x40000000\"/></Root>";
  };
  set("linker_memory_map_file", "board.xml");
  EXPECT_EQ(system.memoryMap(*project, "Common"), nullptr) << "missing file";
  writeAt("board.xml", "<Root><RegisterGroup></Root>", 1'000'000);
  EXPECT_EQ(system.memoryMap(*project, "Common"), nullptr) << "malformed file";
  writeAt("board.xml", mapWithGroup("FIRST"), 1'000'000);
  MemoryMap* first = system.memoryMap(*project, "Common");
  ASSERT_NE(first, nullptr) << "a failure at the same file time is not remembered";
  EXPECT_TRUE(hasGroup(*first, "FIRST"));
  // Same time: the cached map, even though the content changed behind it.
  writeAt("board.xml", mapWithGroup("SECOND"), 1'000'000);
  EXPECT_EQ(system.memoryMap(*project, "Common"), first);

  writeAt("board.xml", mapWithGroup("SECOND"), 1'000'001);
  MemoryMap* second = system.memoryMap(*project, "Common");
  ASSERT_NE(second, nullptr);
  EXPECT_TRUE(hasGroup(*second, "SECOND"));
  EXPECT_TRUE(hasGroup(*second, "SysTick")) << "the core's groups are added";
  EXPECT_FALSE(hasGroup(*second, "FPU")) << "no FPU is set";
}

TEST_F(ProjectSystemTest, MemoryMapIsReadAsSVDBySuffixOrBySetting) {
  const std::string svd =
      "<device><name>D</name><cpu><fpuPresent>true</fpuPresent><nvicPrioBits>3</nvicPrioBits></cpu>"
      "<peripherals><peripheral><name>UART</name><baseAddress>0x40002000</baseAddress>"
      "<interrupt><name>UART_IRQ</name><value>2</value></interrupt></peripheral></peripherals></device>";
  const std::pair<const char*, const char*> cases[] = {{"chip.SVD", "Default"}, {"chip.xml", "SVD"}};
  for (const auto& [file, type] : cases) {
    writeAt(file, svd, 1'000'000);
    set("debug_register_definition_file", file);
    set("debug_register_definition_file_type", type);
    MemoryMap* map = system.memoryMap(*project, "Common");
    ASSERT_NE(map, nullptr) << file;
    EXPECT_TRUE(hasGroup(*map, "UART") && hasGroup(*map, "FPU")) << file;
    MemoryMapElement* priority = MemoryMap::findElement(map->rootElement(), Kind::Register, "name", "NVIC_IPR0");
    MemoryMapElement* field = priority ? MemoryMap::findElement(priority, Kind::BitField, "name", "UART") : nullptr;
    ASSERT_NE(field, nullptr) << file;
    EXPECT_EQ(field->start(), 21u) << "interrupt 2 with 3 priority bits, in " << file;
  }
}

TEST_F(ProjectSystemTest, TemplatesApplyTheirSettingsAndNodesAndALoadWithoutFilesHasNone) {
  ProjectElement& target = system.newProject(*solution, "t", d, "");
  ProjectTemplates templates;
  templates.load(system, test::testDataDirectory() + "/project_templates.xml");
  ASSERT_NE(templates.find("driver_library"), nullptr);
  EXPECT_EQ(templates.find("Sensor_node"), nullptr);  // names compare exactly
  const XMLElement* sensor = templates.find("sensor_node");
  ASSERT_NE(sensor, nullptr);
  ProjectTemplates::apply(system, target, *sensor);

  EXPECT_EQ(system.lookUp(&target, "project_type", "Common"), "Executable");
  EXPECT_EQ(system.lookUp(&target, "arm_core_type", "Release"), "Cortex-M0+");
  EXPECT_EQ(system.lookUp(&target, "gcc_optimization_level", "Release"), "Optimize For Size");
  EXPECT_EQ(system.lookUp(&target, "gcc_optimization_level", "Debug"), "None");

  ProjectElement* startup = nullptr;
  for (XMLElement* child = target.firstChildElement(); child != nullptr; child = child->nextSiblingElement()) {
    auto* node = static_cast<ProjectElement*>(child);
    if (node->isFolder()) startup = static_cast<ProjectElement*>(node->firstChildElement());
  }
  ASSERT_NE(startup, nullptr);
  system.resolvePath(*startup, "Common");
  EXPECT_EQ(startup->absoluteFilePath, d + "/startup_m0plus.s");
  EXPECT_EQ(system.fileType(*startup, "Common"), "Assembly");

  templates.load(system, "/no/such/dir/*.xml;$(Undefined)/x.xml;;");
  EXPECT_EQ(templates.find("sensor_node"), nullptr);
}

}  // namespace
}  // namespace tidewater
