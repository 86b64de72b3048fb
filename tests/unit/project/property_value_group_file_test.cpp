#include "project/property_value_group_file.h"

#include <sstream>

#include "arm_project_fixture.h"
#include "base/h_exception.h"

namespace tidewater {
namespace {

using Strings = std::vector<std::string>;

// Board picks a base address; Libc picks a flavour whose entries carry a
// family. Debug inherits Shared.
constexpr const char* kGroups = R"(<!DOCTYPE PropertyGroups>
<propertyGroups>
  <group name="Board" short="Target board" long="The board" group="Hardware" default="Alpha">
    <groupEntry name="Alpha">
      <macro name="Base" value="0x1000"/>
      <macro name="OnlyRelease" value="r" configuration="Release"/>
      <macro name="OnlyShared" value="s" configuration="Shared"/>
      <macro name="Everywhere" value="c" configuration="Common"/>
      <macro name="WhenSmall" value="yes" property="gcc_optimization_level" property_value="Optimize For Size"/>
      <macro name="WhenFast" value="yes" property="Libc" property_value="fast"/>
      <cdefine name="BOARD" value="1"/>
      <cdefine name="RELEASE_BOARD" configuration="Release"/>
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

class PropertyGroupFileTest : public test::ARMProjectTest {
 protected:
  PropertyGroupFileTest() {
    solution->configurationOrCreate("Debug").setNodeAttribute("inherited_configurations", "Shared");
    solution->rebuildInheritedConfigurations();
    writeAt("groups.xml", kGroups, 1'000'000);
    set("property_groups_file_path", "groups.xml");
  }

  PropertyValueGroupFile* file() { return system.propertyGroupFile(project, "Common"); }
};

TEST_F(PropertyGroupFileTest, EachGroupBecomesAnEnumerationFromItsAttributesAndEntries) {
  ASSERT_NE(file(), nullptr);
  ASSERT_EQ(file()->groups().size(), 2u);
  const PropertyValueGroupClass& board = *file()->groups()[0];
  // An absent page is "General", which the model shows as "Code".
  EXPECT_EQ((std::vector<std::string_view>{board.name(), board.displayName(), board.description(), board.category(),
                                           board.group(), board.defaultValue()}),
            (std::vector<std::string_view>{"Board", "Target board", "The board", "Hardware", "Code", "Alpha"}));
  EXPECT_EQ(board.type(), PropertyType::Enumeration);
  EXPECT_EQ(board.legalValues(), (Strings{"Alpha", "Beta"}));
  EXPECT_TRUE(board.valueGroups().empty());
  const PropertyValueGroupClass& libc = *file()->group("Libc");
  EXPECT_EQ(libc.group(), "Library");
  EXPECT_EQ(libc.legalValues(), (Strings{"small", "fast"}));
  EXPECT_EQ(libc.valueGroups(), (Strings{"newlib", "picolibc"}));
}

TEST_F(PropertyGroupFileTest, NoPathOrNoneGivesNoGroupsAndAFileThatCannotBeLoadedIsAnError) {
  set("property_groups_file_path", "");
  const MacroMap without = system.nodeMacroMap(project, "Common");
  ASSERT_EQ(without.count("Base"), 0u);
  for (const char* path : {"", "None"}) {
    set("property_groups_file_path", path);
    EXPECT_EQ(file(), nullptr) << path;
    EXPECT_EQ(system.nodeMacroMap(project, "Common"), without) << path;
  }
  directory.write("broken.xml", "<propertyGroups>\n<group name=\"X\"></propertyGroups>");
  directory.write("empty.xml", "<!-- nothing -->");
  directory.write("sub/groups.xml", kGroups);
  const std::string d = directory.path() + "/";
  const std::pair<std::string, std::string> failures[] = {
      {"missing.xml", "missing.xml: No such file or directory"}, {"broken.xml", "broken.xml: line 2: tagName mismatch"},
      {"empty.xml", "empty.xml: it holds no element"}, {"sub", "sub: Is a directory"},
  };
  for (const auto& [path, reason] : failures) {
    set("property_groups_file_path", path);
    try {
      system.nodeMacroMap(project, "Common");
      ADD_FAILURE() << path << " gave no error";
    } catch (const HException& error) {
      EXPECT_EQ(error.message(), "cannot load the property-group file " + d + reason);
    }
  }
}

TEST_F(PropertyGroupFileTest, DirectiveErrorsArePrintedAsWarnings) {
  const std::string path = directory.write("directives.xml", R"(<propertyGroups><define value="1"/>
    <include filename="missing.xml"/><group name="G"><groupEntry name="A"/></group></propertyGroups>)");
  std::ostringstream warnings;
  PropertyValueGroupFile groups(macros, &warnings);
  ASSERT_TRUE(groups.load(path)) << groups.errorText();
  EXPECT_EQ(groups.groups().size(), 1u);
  EXPECT_EQ(warnings.str(),
            "warning: XmlPP::processConditionals(): missing name in <define>\n"
            "warning: XmlPP::processConditionals(): error \"couldn't read " + directory.path() +
                "/missing.xml\" in include file " + directory.path() + "/missing.xml line:0\n");
}

TEST_F(PropertyGroupFileTest, SelectedEntryMacrosPassTheConfigurationAndPropertyFilters) {
  set("property_groups_file_path", "$(ProjectDirName)/groups.xml");
  macros.setGlobalMacro("ProjectDirName", directory.path());
  // Each group macro's value in a configuration for values of Board, optimization and Libc, "-" when absent.
  const char* shown = "$(Base:-) $(OnlyRelease:-) $(OnlyShared:-) $(Everywhere:-) $(WhenSmall:-) $(WhenFast:-)";
  const std::tuple<const char*, const char*, const char*, const char*, const char*> cases[] = {
      {"Common", "Alpha", "", "", "0x1000 - - c - -"},
      {"Release", "Alpha", "", "", "0x1000 r - c - -"},
      {"Debug", "Alpha", "", "", "0x1000 - s c - -"},
      {"Common", "Alpha", "Optimize For Size", "fast", "0x1000 - - c yes yes"},
      {"Common", "Alpha", "Level 1", "small", "0x1000 - - c - -"},
      {"Common", "Beta", "Optimize For Size", "fast", "0x2000 - - - - -"},
      {"Common", "Gamma", "", "", "- - - - - -"},
  };
  for (const auto& [configuration, board, optimization, libc, expected] : cases) {
    set("Board", board);
    set("gcc_optimization_level", optimization);
    set("Libc", libc);
    EXPECT_EQ(system.expandForNode(project, configuration, shown), expected)
        << configuration << " board " << board << " optimization " << optimization << " libc " << libc;
  }
}

TEST_F(PropertyGroupFileTest, ItemsOfTheSelectedEntriesAreCollectedPerTagAndFiltered) {
  set("Libc", "fast");
  const std::tuple<const char*, const char*, const char*, Strings> cases[] = {
      {"Common", "cdefine", "name", {"BOARD"}}, {"Release", "cdefine", "name", {"BOARD", "RELEASE_BOARD"}},
      {"Common", "cinclude", "value", {"alpha/include"}}, {"Common", "library", "name", {"libfast.a"}},
      {"Common", "package", "name", {}}};
  for (const auto& [configuration, tag, attribute, expected] : cases) {
    EXPECT_EQ(system.propertyGroupItems(project, configuration, tag, attribute), expected) << configuration << tag;
  }
}

TEST_F(PropertyGroupFileTest, AFileIsKeptUntilItsTimeChangesThenReadAgain) {
  PropertyValueGroupFile* first = file();
  ASSERT_NE(first, nullptr);
  std::string changed = kGroups;
  changed.replace(changed.find("0x1000"), 6, "0x3000");
  writeAt("groups.xml", changed, 1'000'000);
  EXPECT_EQ(file(), first);
  EXPECT_EQ(system.nodeMacroMap(project, "Common").at("Base"), "0x1000");
  writeAt("groups.xml", changed, 1'000'002);
  EXPECT_EQ(system.nodeMacroMap(project, "Common").at("Base"), "0x3000");
}

TEST_F(PropertyGroupFileTest, DirectivesArePreprocessedBeforeTheGroupsAreRead) {
  directory.write("directives.xml", R"(<propertyGroups><define name="N" value="Board"/><group name="Board">
    <ifdef name="N"><groupEntry name="One"/></ifdef><ifdef name="M"><groupEntry name="Two"/></ifdef></group>
    </propertyGroups>)");
  set("property_groups_file_path", "directives.xml");
  ASSERT_NE(file(), nullptr);
  EXPECT_EQ(file()->groups().at(0)->legalValues(), Strings{"One"});
}

}  // namespace
}  // namespace tidewater
