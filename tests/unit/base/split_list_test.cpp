#include "base/split_list.h"

#include <gtest/gtest.h>

namespace tidewater {
namespace {

using Items = std::vector<std::string>;

TEST(SplitListTest, SplitsAtSeparatorsHonouringBackslashesAndDroppingEmptyItems) {
  EXPECT_EQ(splitEscapedList(";a;b;;c;"), (Items{"a", "b", "c"}));
  EXPECT_EQ(splitEscapedList("x=1\\;2;y\\\\;z"), (Items{"x=1;2", "y\\", "z"}));
  EXPECT_EQ(splitEscapedList("trailing\\"), (Items{"trailing\\"}));
  EXPECT_EQ(splitEscapedList(""), Items{});
  EXPECT_EQ(splitEscapedList("a,b", ','), (Items{"a", "b"}));
}

// Plain lists (include directories, inherited configurations, filters) have
// no escapes: a backslash ending a Windows-style directory stays with it.
TEST(SplitListTest, PlainListsDropEmptyItemsAndKeepBackslashes) {
  EXPECT_EQ(splitList(";a;;b\\;c\\d;"), (std::vector<std::string>{"a", "b\\", "c\\d"}));
  EXPECT_EQ(splitList(""), std::vector<std::string>{});
  EXPECT_EQ(splitList("x|y", '|'), (std::vector<std::string>{"x", "y"}));
}

}  // namespace
}  // namespace tidewater
