#include "base/strings.h"

#include <gtest/gtest.h>

#include <string_view>
#include <utility>

namespace tidewater {
namespace {

// Option values are compared ignoring case: only ASCII letters fold, so a
// UTF-8 name never turns into other bytes.
TEST(StringsTest, LowerCaseFoldsAsciiLettersOnly) {
  EXPECT_EQ(lowerCase("FPv4-SP-D16"), "fpv4-sp-d16");
  EXPECT_EQ(lowerCase("\xC3\x89t\xC3\xA9 \xFF@[`{"), "\xC3\x89t\xC3\xA9 \xFF@[`{");
}

// The six C-locale white-space bytes and nothing else, whatever the locale.
TEST(StringsTest, TrimmedDropsAsciiSpaceAtBothEndsOnly) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {" \t\n\v\f\ra b\r\f\v\n\t ", "a b"},
      {"\x08x\x0E", "\x08x\x0E"},  // the neighbours of \t and \r
      {"\xA0x\x85", "\xA0x\x85"},  // Latin-1 and C1 spaces are not ASCII
      {" \t ", ""},
      {"", ""},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(trimmed(text), expected) << '"' << text << '"';
}

}  // namespace
}  // namespace tidewater
