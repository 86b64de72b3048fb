// The installed driver run as a user runs it: exit status and every byte it
// writes on each stream.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "support/environment.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace tidewater {
namespace {

namespace fs = std::filesystem;

std::string driverPath() { return test::distDirectory() + "/bin/cc"; }

TEST(DriverCliTest, HelpTextIsExactOnStandardErrorWithStatusZero) {
  const std::string expected = test::readFile(test::testDataDirectory() + "/help.txt");
  for (const auto& arguments : {std::vector<std::string>{}, std::vector<std::string>{"-help"}}) {
    const auto result = test::runDriver(arguments);
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.standardError, expected);
    EXPECT_EQ(result.standardOutput, "");
  }
}

TEST(DriverCliTest, ErrorLinesCarryTheProgramNameExactlyAsTyped) {
  test::TempDir dir;
  fs::create_symlink(driverPath(), fs::path(dir.path()) / "armcc");
  const auto viaLink = test::runProgram(dir.path() + "/armcc", {"./armcc", "-q", "a.c"}, dir.path());
  EXPECT_EQ(viaLink.exitStatus, 1);
  EXPECT_EQ(viaLink.standardError,
            "./armcc: error: unrecognised option -q\n./armcc: error: -o option required\n");

  const auto odd = test::runProgram(driverPath(), {"my cc", "-o"});
  EXPECT_EQ(odd.standardError,
            "my cc: error: expected argument for option -o\nmy cc: error: -o option required\n");
}

TEST(DriverCliTest, SelfNamingIndirectFileFailsOnceAfterOneHundredLevels) {
  test::TempDir dir;
  dir.write("self.txt", "# includes itself\n@self.txt\n");
  const auto result = test::runDriver({"-c", "@self.txt"}, dir.path());
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.standardError, "cc: error: too many indirect files\n");
}

TEST(DriverCliTest, IndirectFileErrorsNameTheFileTheLineAndTheReason) {
  test::TempDir dir;
  dir.write("opts", "-c\n# comment\n\"broken a.c\nb.c\n");
  const auto result = test::runDriver({"@opts", "@", "@missing.txt"}, dir.path());
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.standardError,
            "cc: error: unterminated string in indirect file opts(3)\n"
            "cc: error: can't open indirect file : No such file or directory\n"
            "cc: error: can't open indirect file missing.txt: No such file or directory\n");
}

TEST(DriverCliTest, ValidCommandLinesEndWithStatusZeroAndLeaveInputsAlone) {
  test::TempDir dir;
  const auto source = dir.write("a.c", "int main(void) { return 0; }\n");
  dir.write("opts", "-c -o x.o\n-xc\n");
  for (const auto& arguments : {std::vector<std::string>{"-c"},
                                std::vector<std::string>{"-c", "a.c", "-o", "x.o"},
                                std::vector<std::string>{"@opts", "a.c"}}) {
    const auto result = test::runDriver(arguments, dir.path());
    EXPECT_EQ(result.exitStatus, 0) << result.standardError;
    EXPECT_EQ(result.standardError, "");
  }
  EXPECT_EQ(test::readFile(source), "int main(void) { return 0; }\n");
}

}  // namespace
}  // namespace tidewater
