#include "project/property_lookup.h"

#include <gtest/gtest.h>

#include "project/project_element.h"
#include "project/property_class.h"

namespace tidewater {
namespace {

// solution > project > folder > file; configuration Debug inherits A and B
// (a solution-wide list).
class PropertyLookupTest : public ::testing::Test {
 protected:
  PropertyLookupTest() {
    solution.configurationOrCreate("Debug").setNodeAttribute("inherited_configurations", "A;;B");
    solution.rebuildInheritedConfigurations();
    project = &solution.addChild(std::make_unique<ProjectElement>("project"));
    folder = &project->addChild(std::make_unique<ProjectElement>("folder"));
    file = &folder->addChild(std::make_unique<ProjectElement>("file"));
  }

  void set(ProjectElement& node, const std::string& configuration, const PropertyClass& property,
           const std::string& value) {
    writeProperty(log, node, property, configuration, value);
  }

  ProjectElement solution{"solution"};
  ProjectElement* project;
  ProjectElement* folder;
  ProjectElement* file;
  ChangeLog log;
  PropertyClass text{{.name = "text", .defaultValue = "default"}};
  PropertyClass list{{.name = "list", .type = PropertyType::StringList, .defaultValue = "d"}};
};

TEST_F(PropertyLookupTest, DefaultWhenNoLevelHasAValue) {
  EXPECT_EQ(lookUpProperty(file, text, "Debug"), "default");
  EXPECT_EQ(lookUpProperty(file, text, "Common"), "default");
  EXPECT_EQ(lookUpProperty(nullptr, text, "Debug"), "default");
}

TEST_F(PropertyLookupTest, NodeConfigurationThenInheritedThenCommonThenParent) {
  set(*project, "Common", text, "x");
  set(*file, "Debug", text, "y");
  EXPECT_EQ(lookUpProperty(file, text, "Debug"), "y");
  EXPECT_EQ(lookUpProperty(file, text, "Release"), "x");

  ProjectElement& other = project->addChild(std::make_unique<ProjectElement>("file"));
  set(other, "A", text, "1");
  set(other, "B", text, "2");
  EXPECT_EQ(lookUpProperty(&other, text, "Debug"), "1");
  other.configuration("A")->setNodeAttribute("unrelated", "");
  ProjectElement& third = project->addChild(std::make_unique<ProjectElement>("file"));
  set(third, "B", text, "2");
  EXPECT_EQ(lookUpProperty(&third, text, "Debug"), "2");
  // "Common" never consults inheritance lists.
  EXPECT_EQ(lookUpProperty(&third, text, "Common"), "x");
}

TEST_F(PropertyLookupTest, EachAncestorIsTriedInTurnAndInheritanceIsOneLevelDeep) {
  set(solution, "Common", text, "from solution");
  EXPECT_EQ(lookUpProperty(file, text, "Debug"), "from solution");
  set(*folder, "B", text, "from folder B");
  EXPECT_EQ(lookUpProperty(file, text, "Debug"), "from folder B");
  // A inherits C, but Debug's inheritance does not follow A's own list.
  solution.configurationOrCreate("A").setNodeAttribute("inherited_configurations", "C");
  solution.rebuildInheritedConfigurations();
  set(*file, "C", text, "from file C");
  EXPECT_EQ(lookUpProperty(file, text, "Debug"), "from folder B");
  EXPECT_EQ(lookUpProperty(file, text, "A"), "from file C");
}

TEST_F(PropertyLookupTest, AnEmptyValueHidesInheritedOnes) {
  set(*project, "Common", text, "outer");
  set(*file, "Debug", text, "");
  EXPECT_EQ(lookUpProperty(file, text, "Debug"), "");
  EXPECT_EQ(lookUpProperty(file, text, "Release"), "outer");
}

TEST_F(PropertyLookupTest, StringListsAccumulateOutermostFirstWithoutTheDefault) {
  set(solution, "Common", list, "s");
  set(*project, "Debug", list, "p");
  set(*file, "Debug", list, "f");
  std::vector<LookupTraceEntry> trace;
  EXPECT_EQ(lookUpProperty(file, list, "Debug", &trace), "s;p;f");
  ASSERT_EQ(trace.size(), 3u);
  EXPECT_EQ(trace[0].node, file);
  EXPECT_EQ(trace[2].configuration, "Common");
  EXPECT_EQ(lookUpProperty(project, list, "Release"), "s");

  trace.clear();
  EXPECT_EQ(lookUpProperty(file, list, "Nothing", &trace), "s");
  ProjectElement detached("file");
  EXPECT_EQ(lookUpProperty(&detached, list, "Y", &trace), "d");
  EXPECT_EQ(trace.back().configuration, "");
  EXPECT_EQ(trace.back().node, nullptr);
}

TEST_F(PropertyLookupTest, WritesRecordThePreviousValueAndFeedTheChangeTest) {
  const auto before = std::chrono::system_clock::now() - std::chrono::seconds(1);
  set(*project, "Common", text, "first");
  set(*project, "Common", text, "second");
  ASSERT_EQ(log.count(), 2u);
  EXPECT_FALSE(log.records()[0].previousValue.has_value());
  EXPECT_EQ(log.records()[1].previousValue, "first");
  EXPECT_EQ(*ownPropertyValue(*project, text, "Common"), "second");
  EXPECT_EQ(ownPropertyValue(*file, text, "Common"), nullptr);

  const std::set<const PropertyClass*> watched{&text};
  EXPECT_TRUE(log.hasChanged(*file, "Debug", {}, watched, before));
  EXPECT_FALSE(log.hasChanged(*file, "Debug", {}, {&list}, before));
  EXPECT_FALSE(log.hasChanged(*file, "Debug", {}, watched, std::chrono::system_clock::now()));
  // A write on a child does not make its parent stale.
  set(*file, "A", list, "z");
  EXPECT_FALSE(log.hasChanged(*project, "Debug", {"A"}, {&list}, before));
  EXPECT_TRUE(log.hasChanged(*file, "Debug", {"A"}, {&list}, before));
  EXPECT_FALSE(log.hasChanged(*file, "Debug", {"B"}, {&list}, before));
}

TEST(ProjectElementTest, ConfigurationsAreIndexedAndOnlyOtherChildrenMarkModified) {
  ProjectElement project("project");
  auto first = std::make_unique<ProjectElement>("configuration");
  first->setNodeName("Debug");
  auto second = std::make_unique<ProjectElement>("configuration");
  second->setNodeName("Debug");
  ProjectElement* secondPointer = second.get();
  project.addChild(std::move(first));
  project.addChild(std::move(second));
  EXPECT_EQ(project.configuration("Debug"), secondPointer);
  EXPECT_FALSE(project.isModified());
  project.addChild(std::make_unique<ProjectElement>("file"));
  EXPECT_TRUE(project.isModified());
  EXPECT_EQ(&project.configurationOrCreate("Debug"), secondPointer);

  ProjectElement solution("solution");
  solution.configurationOrCreate("Debug").setNodeAttribute("inherited_configurations", "A;;B");
  solution.configurationOrCreate("Release").setNodeAttribute("inherited_configurations", "");
  solution.rebuildInheritedConfigurations();
  EXPECT_EQ(*solution.inheritedConfigurations("Debug"), (std::vector<std::string>{"A", "B"}));
  EXPECT_TRUE(solution.inheritedConfigurations("Release")->empty());
  EXPECT_EQ(solution.inheritedConfigurations("Common"), nullptr);
  EXPECT_EQ(ProjectElement("widget").projectKind(), ProjectElementKind::Other);
}

}  // namespace
}  // namespace tidewater
