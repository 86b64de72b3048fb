#include "project/property_class.h"

#include <gtest/gtest.h>

#include "project/property_catalogue.h"

namespace tidewater {
namespace {

using Strings = std::vector<std::string>;

TEST(PropertyClassTest, CategoryAndGroupAreNormalised) {
  const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
      {"Code Generation Options", "C/C++", "Code Generation", "Code"},
      {"Build Options", "General", "Build", "Code"},
      {"Debugger Settings", "Debugging", "Debugger", "Debug"},
      {"Settings Options", "Linker", "Settings", "Code"},
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

TEST(PropertyClassTest, ValuesWithGroupsAreSplitOnlyWhenTheFirstHasOne) {
  PropertyClass codec({.name = "file_codec",
                       .type = PropertyType::Enumeration,
                       .values = {"Default~~Common", "UTF-8~~Common", "Latin", "CP 850~~Code Pages"}});
  EXPECT_EQ(codec.values(), (Strings{"Default", "UTF-8", "Latin", "CP 850"}));
  EXPECT_EQ(codec.valueGroups(), (Strings{"Common", "Common", "", "Code Pages"}));

  PropertyClass plain({.name = "e", .type = PropertyType::Enumeration, .values = {"a", "b~~c"}});
  EXPECT_EQ(plain.values(), (Strings{"a", "b~~c"}));
  EXPECT_TRUE(plain.valueGroups().empty());
}

TEST(PropertyClassTest, BooleansAcceptYesAndNoAndDefaultToNo) {
  PropertyClass flag({.name = "f", .type = PropertyType::Boolean});
  EXPECT_EQ(flag.defaultValue(), "No");
  EXPECT_EQ(flag.legalValues(), (Strings{"Yes", "No"}));
  PropertyClass text({.name = "t"});
  EXPECT_TRUE(text.legalValues().empty());
  EXPECT_EQ(PropertyClass::booleanDefault(true), "Yes");
}

TEST(PropertyClassTest, IntegerDefaultsPrintAsManyHexDigitsAsTheMaximumNeeds) {
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
}

TEST(PropertyClassTest, TypeNamesCoverTheFixedCodesOnly) {
  EXPECT_EQ(propertyTypeName(0), "Boolean");
  EXPECT_EQ(propertyTypeName(7), "StringList");
  EXPECT_EQ(propertyTypeName(15), "JavaScript");
  EXPECT_EQ(propertyTypeName(16), "Unknown");
  EXPECT_EQ(propertyTypeName(-1), "Unknown");
}

TEST(PropertyCatalogueTest, LaterRegistrationTakesTheNameAndTheEarlierStaysUsable) {
  PropertyCatalogue catalogue;
  auto& executable = catalogue.add(std::make_unique<PropertyClass>(PropertyDefinition{
      .name = "build_output_file_name", .defaultValue = "$(OutDir)/$(ProjectName)$(EXE)"}));
  auto& library = catalogue.add(std::make_unique<PropertyClass>(PropertyDefinition{
      .name = "build_output_file_name", .defaultValue = "$(OutDir)/$(ProjectName)$(LIB)"}));
  EXPECT_EQ(catalogue.find("build_output_file_name"), &library);
  EXPECT_EQ(executable.defaultValue(), "$(OutDir)/$(ProjectName)$(EXE)");
  EXPECT_EQ(catalogue.find("missing"), nullptr);

  auto& macro = catalogue.add(std::make_unique<MacroPropertyClass>(
      "StudioDir", "The install directory of the product.", "System Macro Values"));
  EXPECT_EQ(catalogue.find("$(StudioDir)"), &macro);
  EXPECT_EQ(macro.displayName(), "$(StudioDir)");
  EXPECT_EQ(macro.group(), "Properties");
  EXPECT_EQ(macro.category(), "System Macro Values");
  EXPECT_EQ(macro.defaultValue(), "");
}

}  // namespace
}  // namespace tidewater
