// What the selected property groups add to a compile's preprocessor options.
#include "build/compile_command.h"
#include "project/property_value_group_file.h"
#include "walk_fixture.h"

namespace tidewater {
namespace {

class PropertyGroupsCompileTest : public WalkFixture {
 protected:
  PropertyGroupsCompileTest() {
    dir.write("p/groups.xml", R"(<propertyGroups>
  <group name="Target" default="Cortex-M3">
    <groupEntry name="Cortex-M3"><cdefine name="CORE_M3"/></groupEntry><groupEntry name="Cortex-M4"/></group>
  <group name="Board" default="Blue"><groupEntry name="Blue">
    <cdefine name="LED_BASE" value="0x40025000"/><cdefine name="DEBUG_ONLY" value="1" configuration="Debug"/>
    <cinclude value="$(ProjectDir)/boards/blue"/><cinclude value="release/include" configuration="Release"/>
  </groupEntry></group>
</propertyGroups>)");
    set("property_groups_file_path", "groups.xml");
  }
  void setGroup(const std::string& name, const std::string& value) {
    system.write(*project, *system.propertyGroupFile(project, "Common")->group(name), "Common", value);
  }

  // The include, define and undefine options, without the fixed ones.
  Strings selected(const std::string& configuration) {
    Strings found;
    for (const std::string& option : preprocessorOptions(
             makeCompileContext(system, *project, configuration, BuildKind::CompileC), std::nullopt, {})) {
      for (const char* prefix : {"-I", "-D__TARGET", "-DCORE", "-DLED", "-DDEBUG", "-DUSER", "-U"}) {
        if (option.rfind(prefix, 0) == 0) found.push_back(option);
      }
    }
    return found;
  }
};

TEST_F(PropertyGroupsCompileTest, GroupIncludesAndDefinesFollowTheUserOnesForTheirConfiguration) {
  set("c_user_include_directories", "user");
  set("c_preprocessor_definitions", "USER=2");
  set("c_preprocessor_undefinitions", "GONE");
  const std::string blue = "-I" + inProject("boards/blue");
  const struct { const char* configuration; const char* target; Strings expected; } cases[] = {
      {"Common", "", {"-Iuser", blue, "-D__TARGET_PROCESSOR=Cortex-M3", "-DUSER=2", "-DCORE_M3",
                      "-DLED_BASE=0x40025000", "-UGONE"}},
      {"Debug", "Cortex-M4", {"-Iuser", blue, "-D__TARGET_PROCESSOR=Cortex-M4", "-DUSER=2",
                              "-DLED_BASE=0x40025000", "-DDEBUG_ONLY=1", "-UGONE"}},
      {"Release", "Cortex-M4", {"-Iuser", blue, "-Irelease/include", "-D__TARGET_PROCESSOR=Cortex-M4", "-DUSER=2",
                                "-DLED_BASE=0x40025000", "-UGONE"}},
  };
  for (const auto& c : cases) {
    if (*c.target != '\0') setGroup("Target", c.target);
    EXPECT_EQ(selected(c.configuration), c.expected) << c.configuration << " target " << c.target;
  }
}

TEST_F(PropertyGroupsCompileTest, TheProcessorIsDefinedOnlyWithATargetGroupAndDefinitionsKept) {
  set("c_undefine_all_preprocessor_definitions", "Yes");
  EXPECT_EQ(selected("Common"), (Strings{"-I.", "-I" + inProject("boards/blue"), "-DCORE_M3",
                                         "-DLED_BASE=0x40025000"}));
  set("c_undefine_all_preprocessor_definitions", "No");
  dir.write("p/plain.xml", "<propertyGroups><group name=\"Board\"/></propertyGroups>");
  for (const char* path : {"plain.xml", ""}) {
    set("property_groups_file_path", path);
    EXPECT_EQ(selected("Common"), Strings{"-I."}) << path;
  }
}

}  // namespace
}  // namespace tidewater
