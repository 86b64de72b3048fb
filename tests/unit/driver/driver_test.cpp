#include "driver/driver.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tidewater {
namespace {

struct Outcome {
  int status;
  std::string errors;
};

Outcome runWith(std::vector<const char*> arguments) {
  std::ostringstream errors;
  const int status = runDriver(static_cast<int>(arguments.size()), arguments.data(), errors);
  return {status, errors.str()};
}

// The help text is checked byte for byte end to end (driver_cli_test).
TEST(DriverTest, NoArgumentsAndHelpPrintTheSameTextWithStatusZero) {
  const auto bare = runWith({"cc"});
  EXPECT_EQ(bare.status, 0);
  EXPECT_EQ(bare.errors, runWith({"cc", "-help"}).errors);
  EXPECT_TRUE(bare.errors.starts_with("Tidewater for ARM cc - Release 4.0.6.2017111300.34238\n"));
}

TEST(DriverTest, LinkingWithoutAnOutputNameIsAnErrorReportedAfterParseErrors) {
  const auto outcome = runWith({"/usr/local/bin/cc", "-nonsense", "a.c"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.errors, "/usr/local/bin/cc: error: unrecognised option -nonsense\n"
                            "/usr/local/bin/cc: error: -o option required\n");
  // An empty object-file project builds nothing and succeeds.
  EXPECT_EQ(runWith({"cc", "-c"}).status, 0);
}

TEST(DriverTest, AllArgumentsAreExaminedBeforeTheRunStops) {
  const auto outcome = runWith({"cc", "-bogus", "-c", "-xq", "a.c", "-Ri,text", "-o"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.errors,
            "cc: error: unrecognised option -bogus\n"
            "cc: error: q unsupported file type\n"
            "cc: error: unrecognised option -Ri,text\n"
            "cc: error: expected argument for option -o\n");
}

}  // namespace
}  // namespace tidewater
