// The installed CMake toolchain file: examples/cmake (C and C++ libraries,
// an assembly file, an executable) configured with CMake's own compiler
// checks, built by Ninja with the driver for every board template and run in
// QEMU; Ninja's dependency tracking through the driver's dependency files.
#include <utime.h>

#include <regex>
#include <set>

#include "e2e/e2e_fixture.h"

namespace tidewater::test {
namespace {

constexpr const char* kExpectedOutput = "samples 8, mean 25.50, max 36\n";

class CMakeToolchainTest : public E2ETest {
 protected:
  void SetUp() override {
    source = dir.path() + "/source";
    ASSERT_EQ(runProgram("/bin/cp", {"cp", "-R", examplesDirectory() + "/cmake", source}).exitStatus, 0);
  }

  ProgramResult cmake(const Strings& arguments) { return runProgram("/usr/bin/cmake", Strings{"cmake"} + arguments); }

  ProgramResult configure(const std::string& build, const Strings& settings) {
    return cmake(Strings{"-G", "Ninja", "-S", source, "-B", dir.path() + "/" + build,
                         "-DCMAKE_TOOLCHAIN_FILE=" + distDirectory() + "/share/cmake/tidewater-arm.cmake"} +
                 settings);
  }

  /// The objects Ninja compiled in a verbose build, by the name of their source.
  std::set<std::string> rebuiltSources(const std::string& build) {
    const ProgramResult result = cmake({"--build", dir.path() + "/" + build, "-v"});
    EXPECT_EQ(result.exitStatus, 0) << result.standardOutput << result.standardError;
    std::set<std::string> sources;
    const std::regex compile(R"(-c \S*/source/(\S+))");
    for (std::sregex_iterator it(result.standardOutput.begin(), result.standardOutput.end(), compile), end;
         it != end; ++it) {
      sources.insert((*it)[1]);
    }
    return sources;
  }

  /// Makes a file newer than every output Ninja has written so far (Ninja
  /// compares times in nanoseconds).
  void touch(const std::string& relative) {
    const std::string path = source + "/" + relative;
    ASSERT_EQ(utime(path.c_str(), nullptr), 0) << path;
  }

  /// The board templates: each names a QEMU machine and brings a memory map.
  std::vector<std::string> boardTemplates() {
    const std::string templates = readFile(distDirectory() + "/targets/project_templates.xml");
    std::vector<std::string> boards;
    const std::regex project(R"re(<project name="([^"]+)"[\s\S]*?</project>)re");
    for (std::sregex_iterator it(templates.begin(), templates.end(), project), end; it != end; ++it) {
      if (it->str().find("_memory_map.xml") != std::string::npos) boards.push_back((*it)[1]);
    }
    return boards;
  }

  std::string source;
};

TEST_F(CMakeToolchainTest, BuildsAndRunsTheExampleForEveryBoardTemplate) {
  const std::vector<std::string> boards = boardTemplates();
  ASSERT_GE(boards.size(), 3u);
  for (const std::string& board : boards) {
    SCOPED_TRACE(board);
    const ProgramResult configured = configure(board, {"-DTIDEWATER_BOARD=" + board});
    ASSERT_EQ(configured.exitStatus, 0) << configured.standardOutput << configured.standardError;
    EXPECT_TRUE(contains(configured.standardOutput, "The C compiler identification is GNU"));
    EXPECT_TRUE(contains(configured.standardOutput, "The ASM compiler identification is GNU"));
    EXPECT_EQ(configured.standardError, "");

    const std::set<std::string> built = rebuiltSources(board);
    EXPECT_EQ(built, (std::set<std::string>{"app/main.c", "ring/ring.c", "ring/ring_sum.s", "stats/stats.cpp"}));
    // The libraries are the driver's archives, with their symbol index.
    EXPECT_TRUE(contains(crossTool("nm", {"-s", board + "/libring.a"}), "ring_sum in ring_sum.s.o"));

    const ProgramResult run = qemu(board, board + "/app.elf");
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_EQ(run.standardOutput, kExpectedOutput);
  }
}

TEST_F(CMakeToolchainTest, NinjaRebuildsExactlyTheObjectsThatIncludeATouchedHeader) {
  ASSERT_EQ(configure("build", {"-DTIDEWATER_BOARD=lm3s6965evb"}).exitStatus, 0);
  ASSERT_EQ(rebuiltSources("build").size(), 4u);

  const ProgramResult again = cmake({"--build", dir.path() + "/build"});
  EXPECT_TRUE(contains(again.standardOutput, "ninja: no work to do."));

  touch("stats/stats.h");
  EXPECT_EQ(rebuiltSources("build"), (std::set<std::string>{"app/main.c", "stats/stats.cpp"}));
  touch("ring/ring.h");
  EXPECT_EQ(rebuiltSources("build"), (std::set<std::string>{"app/main.c", "ring/ring.c", "stats/stats.cpp"}));
  touch("ring/ring_sum.s");
  EXPECT_EQ(rebuiltSources("build"), (std::set<std::string>{"ring/ring_sum.s"}));
  EXPECT_EQ(qemu("lm3s6965evb", "build/app.elf").standardOutput, kExpectedOutput);
}

TEST_F(CMakeToolchainTest, WithoutABoardTheProjectsOwnTargetAndMemoryDescriptionApply) {
  const std::string dist = distDirectory();
  const ProgramResult configured = configure(
      "build", {"-DCMAKE_C_FLAGS=-cpu=Cortex-M3 -thumb", "-DCMAKE_CXX_FLAGS=-cpu=Cortex-M3 -thumb",
                "-DCMAKE_ASM_FLAGS=-cpu=Cortex-M3 -thumb",
                "-DCMAKE_EXE_LINKER_FLAGS=-memorymap " + dist + "/targets/lm3s6965evb_memory_map.xml " +
                    "-debugio=bkpt -d__HEAPSIZE__=8192 " + dist + "/lib/cortex_m_startup_v7m_t_le_eabi.o"});
  ASSERT_EQ(configured.exitStatus, 0) << configured.standardOutput << configured.standardError;
  ASSERT_EQ(rebuiltSources("build").size(), 4u);
  EXPECT_TRUE(contains(readelf({"-A", "build/app.elf"}), "Tag_CPU_arch: v7\n"));
  EXPECT_EQ(qemu("lm3s6965evb", "build/app.elf").standardOutput, kExpectedOutput);
}

TEST_F(CMakeToolchainTest, AnUnknownBoardStopsTheConfigurationNamingTheTemplates) {
  const ProgramResult configured = configure("build", {"-DTIDEWATER_BOARD=lm3s"});
  EXPECT_NE(configured.exitStatus, 0);
  EXPECT_TRUE(contains(configured.standardError, "TIDEWATER_BOARD 'lm3s' is not a template of"));
  EXPECT_TRUE(contains(configured.standardError, "lm3s6965evb"));
}

}  // namespace
}  // namespace tidewater::test
