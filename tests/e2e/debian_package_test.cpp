// The Debian package of the installation tree: made with CPack from this
// build, it installs under a directory of its own, depends on the packages
// its links point into, and the driver extracted from it builds firmware
// that runs.
#include "e2e/e2e_fixture.h"

namespace tidewater::test {
namespace {

constexpr const char* kPrefix = "./opt/tidewater-arm/";

class DebianPackageTest : public E2ETest {
 protected:
  ProgramResult dpkgDeb(const Strings& arguments) {
    return runProgram("/usr/bin/dpkg-deb", Strings{"dpkg-deb"} + arguments, dir.path());
  }
};

TEST_F(DebianPackageTest, InstallsUnderItsOwnDirectoryAndItsDriverBuildsRunningFirmware) {
  const ProgramResult packed =
      runProgram("/usr/bin/cpack", {"cpack", "--config", TW_CPACK_CONFIG, "-B", dir.path() + "/package"});
  ASSERT_EQ(packed.exitStatus, 0) << packed.standardOutput << packed.standardError;
  const ProgramResult found = runProgram("/usr/bin/find", {"find", dir.path() + "/package", "-maxdepth", "1",
                                                           "-name", "tidewater-arm_*.deb"});
  const std::string deb = found.standardOutput.substr(0, found.standardOutput.find('\n'));
  ASSERT_FALSE(deb.empty()) << packed.standardOutput;

  const std::string depends = dpkgDeb({"-f", deb, "Depends"}).standardOutput;
  for (const char* package : {"gcc-arm-none-eabi", "binutils-arm-none-eabi", "clang", "lld"}) {
    EXPECT_TRUE(contains(depends, package));
  }

  // Every entry lies in the package's own directory: nothing named cc (or
  // anything else) lands on the default PATH.
  const std::string listing = dpkgDeb({"--contents", deb}).standardOutput;
  size_t entries = 0;
  for (size_t start = 0; start < listing.size();) {
    const size_t end = listing.find('\n', start);
    const std::string line = listing.substr(start, end - start);
    start = end == std::string::npos ? listing.size() : end + 1;
    const std::string path = line.substr(line.find("./"));
    if (path == "./" || path == "./opt/" || path == "./opt/tidewater-arm/") continue;
    EXPECT_EQ(path.rfind(kPrefix, 0), 0u) << line;
    ++entries;
  }
  EXPECT_TRUE(contains(listing, std::string(kPrefix) + "bin/cc"));
  EXPECT_TRUE(contains(listing, std::string(kPrefix) + "share/cmake/tidewater-arm.cmake"));
  EXPECT_GT(entries, 50u);

  ASSERT_EQ(dpkgDeb({"-x", deb, "root"}).exitStatus, 0);
  dir.write("hello.cpp", "#include <cstdio>\nint main() { std::printf(\"packaged %d\\n\", 6 * 7); }\n");
  const ProgramResult built =
      runProgram(dir.path() + "/root/opt/tidewater-arm/bin/cc", {"cc", "-ymps2-an386", "-o", "hello.elf", "hello.cpp"},
                 dir.path());
  ASSERT_EQ(built.exitStatus, 0) << built.standardOutput << built.standardError;
  const ProgramResult run = qemu("mps2-an386", "hello.elf");
  EXPECT_EQ(run.standardOutput, "packaged 42\n") << run.standardError;
}

}  // namespace
}  // namespace tidewater::test
