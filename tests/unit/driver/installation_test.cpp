#include "base/installation.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "driver/driver.h"
#include "base/host_environment.h"
#include "support/environment.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace tidewater {
namespace {

TEST(InstallationTest, BinAndInstallationDirectoriesAreCanonicalAndFoundThroughLinks) {
  test::TempDir dir;
  const std::string t = dir.path() + "/opt/t";
  std::filesystem::create_directories(t + "/bin");
  std::filesystem::create_directories(dir.path() + "/elsewhere");
  std::filesystem::copy_file(PRINT_INSTALLATION_PATH, t + "/bin/cc");
  ASSERT_EQ(symlink(t.c_str(), (dir.path() + "/alias").c_str()), 0);
  ASSERT_EQ(symlink((t + "/bin/cc").c_str(), (dir.path() + "/elsewhere/mycc").c_str()), 0);
  auto located = locateInstallation(dir.path() + "/alias/bin/./cc");
  EXPECT_EQ(located.binDirectory, t + "/bin");
  EXPECT_EQ(located.installationDirectory, t);
  EXPECT_EQ(locateInstallation(t + "/bin/cc", 2).installationDirectory, dir.path() + "/opt");
  located = locateInstallation(dir.path() + "/gone/bin/cc");
  EXPECT_EQ(located.binDirectory + located.installationDirectory, "");
  // A program started through a link elsewhere finds the real installation.
  const auto result = test::runProgram(dir.path() + "/elsewhere/mycc", {"mycc"}, dir.path() + "/elsewhere");
  EXPECT_EQ(result.exitStatus, 0) << result.standardError;
  EXPECT_EQ(result.standardOutput, t + "/bin\n" + t + "\n");
}

TEST(HostEnvironmentTest, UserDataRootComesFromTheVariableOrAHiddenCompanyDirectory) {
  EXPECT_EQ(userDataRootFor("/data/u", "/home/x"), "/data/u");
  EXPECT_EQ(userDataRootFor(nullptr, "/home/x"), "/home/x/.kilnmark_software");
  // Every blank of the whole path is replaced, the home directory's too.
  EXPECT_EQ(userDataRootFor(nullptr, "/home/my user"), "/home/my_user/.kilnmark_software");
  EXPECT_EQ(userDataRootFor(nullptr, nullptr), "/.kilnmark_software");
}

// Runs before any driver run in this program, which would fix the root first.
TEST(HostEnvironmentTest, DirectoriesFollowTheEnvironment) {
  ASSERT_EQ(setenv("HOME", "/home/tester", 1), 0);
  ASSERT_EQ(setenv("TIDEWATER_ROOT_USER_DIR", "/data/u", 1), 0);
  EXPECT_EQ(documentsDirectory() + " " + desktopDirectory(), "/home/tester/Documents /home/tester/Desktop");
  EXPECT_EQ(userDataDirectory(), "/data/u/Tidewater for ARM/v4");
  // The root is kept once known, whatever the environment does later.
  ASSERT_EQ(unsetenv("TIDEWATER_ROOT_USER_DIR"), 0);
  EXPECT_EQ(userDataRoot(), "/data/u");
}

TEST(DriverTest, RunsEndWithTheirStatusAfterEveryArgumentIsExamined) {
  const std::string help = test::readFile(test::testDataDirectory() + "/help.txt");
  const std::tuple<std::vector<const char*>, int, std::string> cases[] = {
      {{"cc", "-c", "-help", "never.c", "-bogus"}, 0, help},  // nothing after -help is examined
      {{"cc", "-bogus", "-c", "-xq", "a.c", "-Ri,text", "-o"}, 1,
       "cc: error: unrecognised option -bogus\ncc: error: q unsupported file type\n"
       "cc: error: unrecognised option -Ri,text\ncc: error: expected argument for option -o\n"},
  };
  for (const auto& [arguments, status, messages] : cases) {
    std::ostringstream errors;
    EXPECT_EQ(runDriver(static_cast<int>(arguments.size()), arguments.data(), errors), status) << arguments.back();
    EXPECT_EQ(errors.str(), messages) << arguments.back();
  }
}

}  // namespace
}  // namespace tidewater
