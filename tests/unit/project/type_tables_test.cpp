#include <gtest/gtest.h>

#include "project/file_filters.h"
#include "project/file_types.h"
#include "project/project_types.h"
#include "project/text_encodings.h"

namespace tidewater {
namespace {

using Strings = std::vector<std::string>;

TEST(TypeTablesTest, ProjectAndFileTypesAreInTheirFixedOrder) {
  EXPECT_EQ(projectTypes().size(), 6u);
  EXPECT_EQ(projectTypes()[2], "Object file");
  ASSERT_EQ(fileTypes().size(), 13u);
  EXPECT_EQ(fileTypes().front(), "C");
  EXPECT_EQ(fileTypes().back(), "Object file");
}

TEST(TypeTablesTest, FileFiltersSplitTheirExtensionLists) {
  const std::vector<FileFilter>& filters = fileFilters();
  ASSERT_EQ(filters.size(), 17u);
  const std::pair<size_t, FileFilter> cases[] = {
      {0, {"C Source Files", {"c"}}},
      {3, {"C and C++ Files", {"c", "cpp", "cxx", "cc", "h", "hpp", "hxx"}}},
      {8, {"Assembly Source Files", {"asm", "s", "inc"}}},
      {15, {"Project Files", {"twp"}}},
      {16, {"All Files", {"*"}}},
  };
  for (const auto& [index, expected] : cases) {
    EXPECT_EQ(filters[index].description, expected.description) << index;
    EXPECT_EQ(filters[index].extensions, expected.extensions) << index;
  }
}

TEST(TypeTablesTest, TextEncodingsComeWithOrWithoutDefaultAndGroups) {
  const Strings full = textEncodings(true, true);
  ASSERT_EQ(full.size(), 44u);
  EXPECT_EQ(full[0], "Default~~Common");
  EXPECT_EQ(full[11], "ISO-8859-10~~ISO");
  EXPECT_EQ(full[12], "ISO-8859-13~~ISO");
  EXPECT_EQ(full[19], "CP 1250~~Code Pages");
  EXPECT_EQ(full[27], "CP 1258~~Code Pages");
  EXPECT_EQ(full.back(), "HP-Roman8~~Others");

  const Strings bare = textEncodings(false, false);
  ASSERT_EQ(bare.size(), 43u);
  EXPECT_EQ(bare.front(), "UTF-8");
  EXPECT_EQ(bare[17], "CP 874");
  for (const std::string& name : bare) EXPECT_EQ(name.find("~~"), std::string::npos) << name;
  EXPECT_EQ(textEncodings(true, false).front(), "Default");
  EXPECT_EQ(textEncodings(false, true).front(), "UTF-8~~Common");
}

}  // namespace
}  // namespace tidewater
