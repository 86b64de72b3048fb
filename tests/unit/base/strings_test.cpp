#include "base/strings.h"

#include <gtest/gtest.h>

namespace tidewater {
namespace {

// Option values are compared ignoring case: only ASCII letters fold, so a
// UTF-8 name never turns into other bytes.
TEST(StringsTest, LowerCaseFoldsAsciiLettersOnly) {
  EXPECT_EQ(lowerCase("FPv4-SP-D16"), "fpv4-sp-d16");
  EXPECT_EQ(lowerCase("\xC3\x89t\xC3\xA9 \xFF@[`{"), "\xC3\x89t\xC3\xA9 \xFF@[`{");
}

}  // namespace
}  // namespace tidewater
