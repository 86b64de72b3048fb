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

}  // namespace
}  // namespace tidewater
