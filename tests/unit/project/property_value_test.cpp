#include "project/property_value.h"

#include <gtest/gtest.h>

#include <sstream>

#include "project/project_system.h"

namespace tidewater {
namespace {

class PropertyValueTest : public ::testing::Test {
 protected:
  PropertyValueTest() {
    solution = &system.newSolution("", "/w");
    project = &system.newProject(*solution, "p", "/w", "Executable");
  }

  const PropertyClass& add(PropertyDefinition definition) {
    return system.catalogue().add(std::make_unique<PropertyClass>(std::move(definition)));
  }

  MacroTable macros;
  ProjectSystem system{macros};
  ProjectElement* solution;
  ProjectElement* project;
};

TEST_F(PropertyValueTest, CommonOnlyPropertiesAreBoundToCommonWhateverIsAsked) {
  const auto& fileType = add({.name = "file_type", .defaultValue = "Default", .perConfiguration = false});
  ProjectPropertyValue value(system, *project, fileType, "Debug");
  EXPECT_TRUE(value.isDefault());
  EXPECT_EQ(value.value(), "Default");
  value.setValue("C");
  EXPECT_EQ(*project->configuration("Common")->nodeAttribute("file_type"), "C");
  EXPECT_EQ(project->configuration("Debug"), nullptr);
  EXPECT_FALSE(value.isDefault());
  EXPECT_EQ(system.changeLog().count(), 1u);
}

TEST_F(PropertyValueTest, ListValuesShowOnlyTheirOwnLevel) {
  const auto& defines = add({.name = "c_preprocessor_definitions", .type = PropertyType::StringList});
  system.write(*solution, defines, "Debug", "OUTER");
  ProjectPropertyValue value(system, *project, defines, "Debug");
  EXPECT_EQ(value.value(), "");
  value.setValue("INNER");
  EXPECT_EQ(value.value(), "INNER");
  EXPECT_EQ(system.lookUp(project, defines, "Debug"), "OUTER;INNER");
}

TEST_F(PropertyValueTest, WritesRefreshWhatDependsOnThem) {
  const auto& directory = add({.name = "project_directory", .perConfiguration = false});
  auto file = std::make_unique<ProjectElement>("file");
  file->setFileName("a.c", true);
  ProjectElement& added = system.addChild(*project, std::move(file));
  system.resolvePath(added, "Common");
  EXPECT_EQ(added.absoluteFilePath, "/w/a.c");
  ProjectDirectoryProjectPropertyValue(system, *project, directory, "Debug").setValue("sub");
  system.resolvePath(added, "Common");
  EXPECT_EQ(added.absoluteFilePath, "/w/sub/a.c");

  const auto& inherited = add({.name = "inherited_configurations", .type = PropertyType::StringList});
  ProjectElement& debug = solution->configurationOrCreate("Debug");
  InheritedConfigurationsProjectPropertyValue(system, *solution, inherited, "Debug").setValue("A;B");
  EXPECT_EQ(*solution->inheritedConfigurations("Debug"), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(*debug.nodeAttribute("inherited_configurations"), "A;B");
}

TEST_F(PropertyValueTest, ListsKeepDisplayOrderAndOneValuePerProperty) {
  const auto& b = add({.name = "b", .displayName = "Beta"});
  const auto& a = add({.name = "a", .displayName = "Alpha"});
  std::ostringstream warnings;
  PropertyValueList list(warnings);
  SimplePropertyValue borrowed(&b, "x");
  EXPECT_TRUE(list.appendUnique(&borrowed));
  EXPECT_TRUE(list.appendUnique(std::make_unique<SimplePropertyValue>(&a, "")));
  EXPECT_FALSE(list.appendUnique(std::make_unique<SimplePropertyValue>(&a, "again")));
  ASSERT_EQ(list.values().size(), 2u);
  EXPECT_EQ(list.values()[0]->propertyClass(), &a);
  EXPECT_TRUE(list.values()[0]->ownedByList);
  EXPECT_FALSE(borrowed.ownedByList);
  EXPECT_EQ(list.find(&b), &borrowed);
  EXPECT_EQ(warnings.str(), "");

  EXPECT_FALSE(list.appendUnique(static_cast<PropertyValue*>(nullptr)));
  SimplePropertyValue classless(nullptr, "v");
  EXPECT_FALSE(list.appendUnique(&classless));
  EXPECT_EQ(warnings.str(),
            "Bad property value in PropertyValueList::appendUnique\n"
            "Bad property value in PropertyValueList::appendUnique\n");
}

}  // namespace
}  // namespace tidewater
