#include <gtest/gtest.h>

#include "project/file_filters.h"
#include "project/text_encodings.h"

namespace tidewater {
namespace {

using Strings = std::vector<std::string>;

// The tables' contents show in the catalogue tests and in the value lists
// the driver prints; these check what is computed from them.
TEST(TypeTablesTest, FileFiltersSplitTheirExtensionLists) {
  const std::vector<FileFilter>& filters = fileFilters();
  ASSERT_EQ(filters.size(), 17u);
  EXPECT_EQ(filters[3].description, "C and C++ Files");
  EXPECT_EQ(filters[3].extensions, (Strings{"c", "cpp", "cxx", "cc", "h", "hpp", "hxx"}));
  EXPECT_EQ(filters.back().extensions, Strings{"*"});
}

TEST(TypeTablesTest, TextEncodingsComeWithOrWithoutDefaultAndGroups) {
  const Strings full = textEncodings(true, true);
  ASSERT_EQ(full.size(), 44u);
  EXPECT_EQ(full[0], "Default~~Common");
  EXPECT_EQ(full[19], "CP 1250~~Code Pages");
  EXPECT_EQ(full.back(), "HP-Roman8~~Others");
  const Strings bare = textEncodings(false, false);
  ASSERT_EQ(bare.size(), 43u);
  EXPECT_EQ(bare.front(), "UTF-8");
  for (const std::string& name : bare) EXPECT_EQ(name.find("~~"), std::string::npos) << name;
  EXPECT_EQ(textEncodings(true, false).front(), "Default");
  EXPECT_EQ(textEncodings(false, true).front(), "UTF-8~~Common");
}

}  // namespace
}  // namespace tidewater
