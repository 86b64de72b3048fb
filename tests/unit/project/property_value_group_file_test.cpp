#include "project/property_value_group_file.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <string>

#include "project/arm_project_system.h"
#include "support/temp_dir.h"

namespace tidewater {
namespace {

// Board picks a base address; Libc picks a flavour whose entries carry a
// family. Debug inherits Shared.
constexpr const char* kGroups = R"(<!DOCTYPE PropertyGroups>
<propertyGroups>
  <group name="Board" short="Board" long="The board" group="Hardware" default="Alpha">
    <groupEntry name="Alpha">
      <macro name="Base" value="0x1000"/>
      <macro name="OnlyRelease" value="r" configuration="Release"/>
      <macro name="OnlyShared" value="s" configuration="Shared"/>
      <macro name="Everywhere" value="c" configuration="Common"/>
      <macro name="WhenSmall" value="yes" property="gcc_optimization_level" property_value="Optimize For Size"/>
      <macro name="WhenFast" value="yes" property="Libc" property_value="fast"/>
      <cdefine name="BOARD" value="1"/>
      <cinclude value="alpha/include"/>
    </groupEntry>
    <groupEntry name="Beta"><macro name="Base" value="0x2000"/></groupEntry>
  </group>
  <ignored name="NotAGroup"/>
  <group name="Libc" page="Library">
    <groupEntry name="small" family="newlib"/>
    <groupEntry name="fast" family="picolibc"><library name="libfast.a"/></groupEntry>
  </group>
</propertyGroups>
)";

class PropertyGroupFileTest : public ::testing::Test {
 protected:
  PropertyGroupFileTest() {
    ProjectElement& solution = system.newSolution("s", directory.path());
    solution.configurationOrCreate("Debug").setNodeAttribute("inherited_configurations", "Shared");
    solution.rebuildInheritedConfigurations();
    project = &system.newProject(solution, "app", directory.path(), "Executable");
  }

  void set(const std::string& name, const std::string& value, const std::string& configuration = "Common") {
    const PropertyClass* property = system.catalogue().find(name);
    if (property == nullptr) property = file()->group(name);
    ASSERT_NE(property, nullptr) << name;
    system.write(*project, *property, configuration, value);
  }

  PropertyValueGroupFile* file(const std::string& configuration = "Common") {
    return system.propertyGroupFile(project, configuration);
  }

  std::string writeAt(const std::string& content, time_t seconds) {
    const std::string path = directory.write("groups.xml", content);
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    EXPECT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
    return path;
  }

  MacroMap macrosIn(const std::string& configuration) { return system.nodeMacroMap(project, configuration); }

  test::TempDir directory;
  MacroTable macros;
  ARMProjectSystem system{macros, "", {}};
  ProjectElement* project;
};

TEST_F(PropertyGroupFileTest, EachGroupBecomesAnEnumerationFromItsAttributesAndEntries) {
  writeAt(kGroups, 1'000'000);
  set("property_groups_file_path", "groups.xml");
  ASSERT_NE(file(), nullptr);
  ASSERT_EQ(file()->groups().size(), 2u);
  const PropertyValueGroupClass& board = *file()->groups()[0];
  EXPECT_EQ(board.name(), "Board");
  EXPECT_EQ(board.displayName(), "Board");
  EXPECT_EQ(board.description(), "The board");
  EXPECT_EQ(board.category(), "Hardware");
  EXPECT_EQ(board.group(), "Code") << "an absent page is \"General\", which the model shows as \"Code\"";
  EXPECT_EQ(board.defaultValue(), "Alpha");
  EXPECT_EQ(board.type(), PropertyType::Enumeration);
  EXPECT_EQ(board.legalValues(), (std::vector<std::string>{"Alpha", "Beta"}));
  EXPECT_TRUE(board.valueGroups().empty());
  const PropertyValueGroupClass& libc = *file()->group("Libc");
  EXPECT_EQ(libc.group(), "Library");
  EXPECT_EQ(libc.legalValues(), (std::vector<std::string>{"small", "fast"}));
  EXPECT_EQ(libc.valueGroups(), (std::vector<std::string>{"newlib", "picolibc"}));
}

TEST_F(PropertyGroupFileTest, NoPathNoneOrAnUnreadableFileGivesNoGroupsAndNoMacros) {
  const MacroMap without = macrosIn("Common");
  writeAt(kGroups, 1'000'000);
  for (const char* path : {"", "None", "missing.xml", "broken.xml"}) {
    directory.write("broken.xml", "<propertyGroups><group name=\"X\"></propertyGroups>");
    set("property_groups_file_path", path);
    EXPECT_EQ(file(), nullptr) << path;
    EXPECT_EQ(macrosIn("Common"), without) << path;
  }
}

TEST_F(PropertyGroupFileTest, SelectedEntryMacrosPassTheConfigurationAndPropertyFilters) {
  writeAt(kGroups, 1'000'000);
  set("property_groups_file_path", "$(ProjectDirName)/groups.xml");
  macros.setGlobalMacro("ProjectDirName", directory.path());
  struct Case {
    const char* configuration;
    const char* board;
    const char* optimization;
    const char* libc;
    std::map<std::string, std::string> expected;  // the group macros present
  };
  const Case cases[] = {
      {"Common", "Alpha", "", "", {{"Base", "0x1000"}, {"Everywhere", "c"}}},
      {"Release", "Alpha", "", "", {{"Base", "0x1000"}, {"Everywhere", "c"}, {"OnlyRelease", "r"}}},
      {"Debug", "Alpha", "", "", {{"Base", "0x1000"}, {"Everywhere", "c"}, {"OnlyShared", "s"}}},
      {"Common", "Alpha", "Optimize For Size", "fast",
       {{"Base", "0x1000"}, {"Everywhere", "c"}, {"WhenSmall", "yes"}, {"WhenFast", "yes"}}},
      {"Common", "Alpha", "Level 1", "small", {{"Base", "0x1000"}, {"Everywhere", "c"}}},
      {"Common", "Beta", "Optimize For Size", "fast", {{"Base", "0x2000"}}},
      {"Common", "Gamma", "", "", {}},
  };
  for (const Case& c : cases) {
    set("Board", c.board);
    set("gcc_optimization_level", c.optimization);
    set("Libc", c.libc);
    const MacroMap map = macrosIn(c.configuration);
    std::map<std::string, std::string> found;
    for (const char* name : {"Base", "OnlyRelease", "OnlyShared", "Everywhere", "WhenSmall", "WhenFast"}) {
      if (const auto at = map.find(name); at != map.end()) found[name] = at->second;
    }
    EXPECT_EQ(found, c.expected) << c.configuration << " board " << c.board << " optimization " << c.optimization
                                 << " libc " << c.libc;
  }
}

TEST_F(PropertyGroupFileTest, GroupMacrosReachExpansionAndItemsAreCollectedPerTag) {
  writeAt(kGroups, 1'000'000);
  set("property_groups_file_path", "groups.xml");
  set("Libc", "fast");
  EXPECT_EQ(system.expandForNode(project, "Common", "base=$(Base)"), "base=0x1000");
  EXPECT_EQ(system.propertyGroupItems(project, "Common", "cinclude", "value"),
            std::vector<std::string>{"alpha/include"});
  EXPECT_EQ(system.propertyGroupItems(project, "Common", "library", "name"), std::vector<std::string>{"libfast.a"});
  EXPECT_EQ(system.propertyGroupItems(project, "Common", "package", "name"), std::vector<std::string>{});
}

TEST_F(PropertyGroupFileTest, AFileIsKeptUntilItsTimeChangesThenReadAgain) {
  writeAt(kGroups, 1'000'000);
  set("property_groups_file_path", "groups.xml");
  PropertyValueGroupFile* first = file();
  ASSERT_NE(first, nullptr);
  std::string changed = kGroups;
  changed.replace(changed.find("0x1000"), 6, "0x3000");
  writeAt(changed, 1'000'000);
  EXPECT_EQ(file(), first);
  EXPECT_EQ(macrosIn("Common").at("Base"), "0x1000");
  writeAt(changed, 1'000'002);
  EXPECT_EQ(macrosIn("Common").at("Base"), "0x3000");
}

TEST_F(PropertyGroupFileTest, DirectivesArePreprocessedBeforeTheGroupsAreRead) {
  writeAt(R"(<propertyGroups><define name="N" value="Board"/>
    <group name="Board"><ifdef name="N"><groupEntry name="One"/></ifdef><ifdef name="M"><groupEntry name="Two"/></ifdef></group></propertyGroups>)",
          1'000'000);
  set("property_groups_file_path", "groups.xml");
  ASSERT_NE(file(), nullptr);
  ASSERT_EQ(file()->groups().size(), 1u);
  EXPECT_EQ(file()->groups()[0]->legalValues(), std::vector<std::string>{"One"});
}

}  // namespace
}  // namespace tidewater
