#include "project/project_templates.h"

#include <gtest/gtest.h>

#include "project/arm_project_system.h"
#include "support/environment.h"

namespace tidewater {
namespace {

TEST(ProjectTemplatesTest, TheExampleFileAppliesItsSettingsAndNodes) {
  MacroTable macros;
  ARMProjectSystem system(macros, "", {});
  ProjectElement& solution = system.newSolution("", "/w");
  ProjectElement& project = system.newProject(solution, "", "/w", "");
  ProjectTemplates templates;
  templates.load(system, test::testDataDirectory() + "/project_templates.xml");
  ASSERT_NE(templates.find("driver_library"), nullptr);
  EXPECT_EQ(templates.find("Sensor_node"), nullptr);  // names compare exactly
  const XMLElement* sensor = templates.find("sensor_node");
  ASSERT_NE(sensor, nullptr);
  ProjectTemplates::apply(system, project, *sensor);

  EXPECT_EQ(system.lookUp(&project, "project_type", "Common"), "Executable");
  EXPECT_EQ(system.lookUp(&project, "arm_core_type", "Release"), "Cortex-M0+");
  EXPECT_EQ(system.lookUp(&project, "gcc_optimization_level", "Release"), "Optimize For Size");
  EXPECT_EQ(system.lookUp(&project, "gcc_optimization_level", "Debug"), "None");

  ProjectElement* startup = nullptr;
  for (XMLElement* child = project.firstChildElement(); child != nullptr; child = child->nextSiblingElement()) {
    auto* node = static_cast<ProjectElement*>(child);
    if (node->isFolder()) startup = static_cast<ProjectElement*>(node->firstChildElement());
  }
  ASSERT_NE(startup, nullptr);
  EXPECT_TRUE(startup->isFile());
  system.resolvePath(*startup, "Common");
  EXPECT_EQ(startup->absoluteFilePath, "/w/startup_m0plus.s");
  EXPECT_EQ(system.fileType(*startup, "Common"), "Assembly");
}

TEST(ProjectTemplatesTest, NoMatchingFilesMeansNoTemplates) {
  MacroTable macros;
  ARMProjectSystem system(macros, "", {});
  ProjectTemplates templates;
  templates.load(system, "/no/such/dir/*.xml;$(Undefined)/x.xml;;");
  EXPECT_EQ(templates.find("anything"), nullptr);
}

}  // namespace
}  // namespace tidewater
