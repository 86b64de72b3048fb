#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "project/arm_project_system.h"
#include "project/property_catalogue.h"

// Every allocation of this test program is counted, so that a test can see
// how many a piece of work makes.
namespace {
size_t allocationCount = 0;
}  // namespace

void* operator new(size_t size) {
  ++allocationCount;
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, size_t) noexcept { std::free(memory); }

namespace tidewater {
namespace {

TEST(PropertyCatalogueTest, ALookupBetweenRegistrationsSeesEveryDefinitionInOrder) {
  PropertyCatalogue catalogue;
  const auto block = [](std::initializer_list<std::string_view> names) {
    std::vector<PropertyClass> classes;
    for (const std::string_view name : names) classes.emplace_back(PropertyDefinition{.name = name});
    return classes;
  };
  const std::span<PropertyClass> first = catalogue.add(block({"m", "a", "z", "a"}));
  EXPECT_EQ(catalogue.find("a"), &first[3]);
  EXPECT_EQ(catalogue.find("b"), nullptr);
  // Names added after a lookup, before, between and after the sorted ones.
  const std::span<PropertyClass> second = catalogue.add(block({"zz", "a", "0", "n"}));
  const std::pair<std::string_view, const PropertyClass*> cases[] = {
      {"a", &second[1]}, {"zz", &second[0]}, {"0", &second[2]}, {"n", &second[3]}, {"m", &first[0]},
      {"z", &first[2]},  {"", nullptr},      {"nn", nullptr},
  };
  for (const auto& [name, expected] : cases) EXPECT_EQ(catalogue.find(name), expected) << name;
  EXPECT_EQ(catalogue.definitions("a"), (std::vector<const PropertyClass*>{&first[1], &first[3], &second[1]}));
  EXPECT_TRUE(catalogue.definitions("b").empty());

  // Far more names than the project system registers: the index grows and
  // keeps every name and its definitions.
  std::vector<std::string> many;
  for (int i = 0; i < 3000; ++i) many.push_back("p" + std::to_string(i % 1500));
  std::vector<PropertyClass> manyClasses;
  for (const std::string& name : many) manyClasses.emplace_back(PropertyDefinition{.name = name});
  const std::span<PropertyClass> third = catalogue.add(std::move(manyClasses));
  for (const size_t i : {0u, 1499u, 777u}) {
    EXPECT_EQ(catalogue.find(many[i]), &third[i + 1500]) << many[i];
    EXPECT_EQ(catalogue.definitions(many[i]), (std::vector<const PropertyClass*>{&third[i], &third[i + 1500]}));
  }
  EXPECT_EQ(catalogue.find("a"), &second[1]);
  EXPECT_EQ(catalogue.find("p1500"), nullptr);
}

TEST(PropertyCatalogueTest, TheProjectSystemRegistersItsTablesWithoutAnAllocationPerProperty) {
  MacroTable macros;
  const size_t before = allocationCount;
  const ARMProjectSystem system(macros, "", {});
  const size_t allocations = allocationCount - before;
  size_t classes = 0;
  const LayerCatalogue* layers[] = {&system.general(), &system.standard(), &system.gcc(), &system.ambervale(),
                                    &system.arm()};
  for (const LayerCatalogue* layer : layers) classes += layer->properties.size() + layer->macroDescriptions.size();
  ASSERT_GT(classes, 250u);
  // Blocks, layer records and a few kept lists grow with the tables, not
  // with the classes in them.
  EXPECT_LT(allocations, classes / 4) << allocations << " allocations for " << classes << " classes";
}

}  // namespace
}  // namespace tidewater
