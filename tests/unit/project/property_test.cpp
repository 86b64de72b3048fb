#include <gtest/gtest.h>

#include <sstream>

#include "project/project_element.h"
#include "project/property_class.h"
#include "project/property_lookup.h"
#include "project/property_value.h"

namespace tidewater {
namespace {

using Strings = std::vector<std::string>;

TEST(PropertyClassTest, CategoryAndGroupAreNormalised) {
  const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
      {"Code Generation Options", "C/C++", "Code Generation", "Code"}, {"Build Options", "General", "Build", "Code"},
      {"Debugger Settings", "Debugging", "Debugger", "Debug"}, {"Settings Options", "Linker", "Settings", "Code"},
      {"Runtime Memory Area Options", "Other", "Runtime Memory Area", "Other"},
      {"Loader", "debugging", "Loader", "debugging"},
  };
  for (const auto& [category, group, expectedCategory, expectedGroup] : cases) {
    PropertyClass property({.name = "p", .group = group, .category = category});
    EXPECT_EQ(property.category(), expectedCategory) << category;
    EXPECT_EQ(property.group(), expectedGroup) << group;
  }
  PropertyClass property({.name = "p"});
  property.setCategory("Linker Options");
  EXPECT_EQ(property.category(), "Linker");
}

TEST(PropertyClassTest, LegalValuesSplitOffGroupsOnlyWhenTheFirstHasOneAndBooleansOfferYesAndNo) {
  constexpr std::string_view kCodecs[] = {"Default~~Common", "UTF-8~~Common", "Latin", "CP 850~~Code Pages"};
  PropertyClass codec({.name = "file_codec", .type = PropertyType::Enumeration, .values = kCodecs});
  EXPECT_EQ(codec.values(), (Strings{"Default", "UTF-8", "Latin", "CP 850"}));
  EXPECT_EQ(codec.valueGroups(), (Strings{"Common", "Common", "", "Code Pages"}));
  constexpr std::string_view kPlain[] = {"a", "b~~c"};
  PropertyClass plain({.name = "e", .type = PropertyType::Enumeration, .values = kPlain});
  EXPECT_EQ(plain.values(), (Strings{"a", "b~~c"}));
  EXPECT_TRUE(plain.valueGroups().empty());
  // Booleans accept Yes and No and default to No.
  PropertyClass flag({.name = "f", .type = PropertyType::Boolean});
  EXPECT_EQ(flag.defaultValue(), "No");
  EXPECT_EQ(flag.legalValues(), (Strings{"Yes", "No"}));
  EXPECT_TRUE(PropertyClass({.name = "t"}).legalValues().empty());
}

TEST(PropertyClassTest, IntegerDefaultsPrintAsManyHexDigitsAsTheMaximumNeedsAndTypesHaveNames) {
  const std::tuple<uint32_t, uint32_t, const char*> cases[] = {
      {0, 15, "0x0"},          {0, 255, "0x00"},        {0xab, 4095, "0x0ab"},
      {1, 65535, "0x0001"},    {1, 1048575, "0x00001"}, {1, 16777215, "0x000001"},
      {1, 268435455, "0x0000001"}, {1, 268435456, "0x00000001"}, {0xdeadbeef, 0, "0xdeadbeef"},
  };
  for (const auto& [value, maximum, expected] : cases) {
    EXPECT_EQ(PropertyClass::integerDefault(PropertyType::IntegerHex, value, maximum), expected)
        << value << " up to " << maximum;
  }
  EXPECT_EQ(PropertyClass::integerDefault(PropertyType::Integer, 2048, 65535), "2048");
  // Type names cover the fixed codes only.
  const std::pair<int, const char*> names[] = {{0, "Boolean"}, {15, "JavaScript"}, {16, "Unknown"}, {-1, "Unknown"}};
  for (const auto& [code, name] : names) EXPECT_EQ(propertyTypeName(code), name) << code;
}

TEST(PropertyValueListTest, KeepsDisplayOrderAndOneValuePerProperty) {
  const PropertyClass b({.name = "b", .displayName = "Beta"});
  const PropertyClass a({.name = "a", .displayName = "Alpha"});
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

  EXPECT_FALSE(list.appendUnique(static_cast<PropertyValue*>(nullptr)));
  SimplePropertyValue classless(nullptr, "v");
  EXPECT_FALSE(list.appendUnique(&classless));
  EXPECT_EQ(warnings.str(),
            "Bad property value in PropertyValueList::appendUnique\n"
            "Bad property value in PropertyValueList::appendUnique\n");
}

// solution > project > folder > file; configuration Debug inherits A and B
// (a solution-wide list).
class PropertyLookupTest : public ::testing::Test {
 protected:
  PropertyLookupTest() {
    solution.configurationOrCreate("Debug").setNodeAttribute("inherited_configurations", "A;;B");
    solution.rebuildInheritedConfigurations();
  }

  void set(ProjectElement& node, const std::string& configuration, const PropertyClass& property,
           const std::string& value) {
    writeProperty(log, node, property, configuration, value);
  }

  ProjectElement solution{"solution"};
  ProjectElement* project = &solution.addChild(std::make_unique<ProjectElement>("project"));
  ProjectElement* folder = &project->addChild(std::make_unique<ProjectElement>("folder"));
  ProjectElement* file = &folder->addChild(std::make_unique<ProjectElement>("file"));
  ChangeLog log;
  PropertyClass text{{.name = "text", .defaultValue = "default"}};
  PropertyClass list{{.name = "list", .type = PropertyType::StringList, .defaultValue = "d"}};
};

TEST_F(PropertyLookupTest, NodeConfigurationThenInheritedThenCommonThenParentThenDefault) {
  EXPECT_EQ(lookUpProperty(file, text, "Debug") + lookUpProperty(nullptr, text, "Debug"), "defaultdefault");
  // Each write takes precedence over all before it; an empty value hides the others.
  const std::tuple<ProjectElement*, const char*, const char*> writes[] = {{&solution, "Common", "from solution"},
      {folder, "B", "from folder B"}, {folder, "A", "from folder A"}, {folder, "Debug", "from folder Debug"},
      {file, "Common", "from file"}, {file, "Debug", ""}};
  for (const auto& [node, configuration, value] : writes) {
    set(*node, configuration, text, value);
    EXPECT_EQ(lookUpProperty(file, text, "Debug"), value) << configuration << " " << value;
  }
  EXPECT_EQ(lookUpProperty(file, text, "Release"), "from file");
  // "Common" never consults inheritance lists.
  EXPECT_EQ(lookUpProperty(folder, text, "Common"), "from solution");
  // Inheritance is one level deep: Debug does not follow A's own list.
  solution.configurationOrCreate("A").setNodeAttribute("inherited_configurations", "C");
  solution.rebuildInheritedConfigurations();
  set(*project, "C", text, "from project C");
  EXPECT_EQ(lookUpProperty(project, text, "Debug"), "from solution");
  EXPECT_EQ(lookUpProperty(project, text, "A"), "from project C");
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
  EXPECT_EQ(lookUpProperty(file, list, "Nothing"), "s");
  ProjectElement detached("file");
  EXPECT_EQ(lookUpProperty(&detached, list, "Y", &trace), "d");
  EXPECT_EQ(trace.back().configuration, "");
  EXPECT_EQ(trace.back().node, nullptr);
}

TEST_F(PropertyLookupTest, StringListsInCommonTakeEachLevelsItemsOnce) {
  // "Common" is looked up once per level, never again as its own inherited
  // configuration, so no item comes twice.
  set(solution, "Common", list, "s");
  set(*project, "Common", list, "p1;p2");
  set(*file, "Common", list, "f");
  set(*folder, "Debug", list, "d");
  const std::pair<ProjectElement*, const char*> cases[] = {
      {file, "s;p1;p2;f"}, {folder, "s;p1;p2"}, {project, "s;p1;p2"}, {&solution, "s"}};
  for (const auto& [node, expected] : cases) {
    std::vector<LookupTraceEntry> trace;
    EXPECT_EQ(lookUpProperty(node, list, "Common", &trace), expected) << node->name();
    for (const LookupTraceEntry& entry : trace) EXPECT_EQ(entry.configuration, "Common") << node->name();
  }
  EXPECT_EQ(lookUpProperty(file, list, "Debug"), "s;p1;p2;d;f");
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
  ProjectElement* latest = nullptr;
  for (int i = 0; i < 2; ++i) {
    auto configuration = std::make_unique<ProjectElement>("configuration");
    configuration->setNodeName("Debug");
    latest = &project.addChild(std::move(configuration));
  }
  EXPECT_EQ(project.configuration("Debug"), latest);
  EXPECT_EQ(&project.configurationOrCreate("Debug"), latest);
  EXPECT_FALSE(project.isModified());
  project.addChild(std::make_unique<ProjectElement>("file"));
  EXPECT_TRUE(project.isModified());
  EXPECT_EQ(ProjectElement("widget").projectKind(), ProjectElementKind::Other);

  project.configurationOrCreate("Debug").setNodeAttribute("inherited_configurations", "A;;B");
  project.configurationOrCreate("Release").setNodeAttribute("inherited_configurations", "");
  project.rebuildInheritedConfigurations();
  EXPECT_EQ(*project.inheritedConfigurations("Debug"), (Strings{"A", "B"}));
  EXPECT_TRUE(project.inheritedConfigurations("Release")->empty());
  EXPECT_EQ(project.inheritedConfigurations("Common"), nullptr);
}

}  // namespace
}  // namespace tidewater
