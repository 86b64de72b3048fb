#include "driver/installation.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "driver/host_environment.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace tidewater {
namespace {

namespace fs = std::filesystem;

TEST(InstallationTest, BinAndInstallationDirectoriesAreCanonical) {
  test::TempDir dir;
  dir.write("opt/t/bin/cc", "");
  ASSERT_EQ(symlink((dir.path() + "/opt/t").c_str(), (dir.path() + "/alias").c_str()), 0);

  auto located = locateInstallation(dir.path() + "/alias/bin/./cc");
  EXPECT_EQ(located.binDirectory, dir.path() + "/opt/t/bin");
  EXPECT_EQ(located.installationDirectory, dir.path() + "/opt/t");

  located = locateInstallation(dir.path() + "/opt/t/bin/cc", 2);
  EXPECT_EQ(located.installationDirectory, dir.path() + "/opt");

  located = locateInstallation(dir.path() + "/gone/bin/cc");
  EXPECT_EQ(located.binDirectory, "");
  EXPECT_EQ(located.installationDirectory, "");
}

TEST(InstallationTest, ProgramStartedThroughALinkElsewhereFindsTheRealInstallation) {
  test::TempDir dir;
  const fs::path bin = fs::path(dir.path()) / "install" / "bin";
  fs::create_directories(bin);
  fs::create_directories(fs::path(dir.path()) / "elsewhere");
  fs::copy_file(PRINT_INSTALLATION_PATH, bin / "cc");
  const std::string link = dir.path() + "/elsewhere/mycc";
  ASSERT_EQ(symlink((bin / "cc").c_str(), link.c_str()), 0);

  const auto result = test::runProgram(link, {"mycc"}, dir.path() + "/elsewhere");
  EXPECT_EQ(result.exitStatus, 0) << result.standardError;
  EXPECT_EQ(result.standardOutput, bin.string() + "\n" + dir.path() + "/install\n");
}

TEST(HostEnvironmentTest, UserDataRootComesFromTheVariableOrAHiddenCompanyDirectory) {
  EXPECT_EQ(userDataRootFor("/data/u", "/home/x"), "/data/u");
  EXPECT_EQ(userDataRootFor(nullptr, "/home/x"), "/home/x/.kilnmark_software");
  // Every blank of the whole path is replaced, the home directory's too.
  EXPECT_EQ(userDataRootFor(nullptr, "/home/my user"), "/home/my_user/.kilnmark_software");
  EXPECT_EQ(userDataRootFor(nullptr, nullptr), "/.kilnmark_software");
}

TEST(HostEnvironmentTest, DirectoriesFollowTheEnvironment) {
  ASSERT_EQ(setenv("HOME", "/home/tester", 1), 0);
  ASSERT_EQ(setenv("TIDEWATER_ROOT_USER_DIR", "/data/u", 1), 0);
  EXPECT_EQ(homeDirectory(), "/home/tester");
  EXPECT_EQ(documentsDirectory(), "/home/tester/Documents");
  EXPECT_EQ(desktopDirectory(), "/home/tester/Desktop");
  EXPECT_EQ(userDataDirectory(), "/data/u/Tidewater for ARM/v4");
  // The root is kept once known, whatever the environment does later.
  ASSERT_EQ(unsetenv("TIDEWATER_ROOT_USER_DIR"), 0);
  EXPECT_EQ(userDataRoot(), "/data/u");
  ASSERT_EQ(unsetenv("HOME"), 0);
  EXPECT_EQ(documentsDirectory(), "/Documents");
}

}  // namespace
}  // namespace tidewater
