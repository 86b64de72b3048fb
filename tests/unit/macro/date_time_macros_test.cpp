#include "macro/date_time_macros.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace tidewater {
namespace {

TEST(DateTimeMacrosTest, FormatsEachMacroInLocalTime) {
  ASSERT_EQ(setenv("TZ", "UTC", 1), 0);
  tzset();
  const std::time_t moment = 1780038245;  // 2026-05-29 07:04:05 UTC
  const std::pair<const char*, const char*> cases[] = {
      {"Date", "29 May 2026"}, {"DateYear", "2026"},   {"DateMonth", "05"},  {"DateDay", "29"},
      {"Time", "07:04:05"},    {"TimeHour", "07"},     {"TimeMinute", "04"}, {"TimeSecond", "05"},
  };
  for (const auto& [name, expected] : cases) {
    EXPECT_EQ(dateTimeMacroValue(name, moment), expected) << name;
  }
  // The day in Date has no leading zero or blank.
  EXPECT_EQ(dateTimeMacroValue("Date", 1772352000), "1 March 2026");
  EXPECT_EQ(dateTimeMacroValue("StudioDir", moment), std::nullopt);
}

}  // namespace
}  // namespace tidewater
