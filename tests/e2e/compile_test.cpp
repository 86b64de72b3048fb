// The installed driver compiling with the real arm-none-eabi tools; the
// objects are inspected with readelf as a user would.
#include <gtest/gtest.h>
#include <unistd.h>

#include "support/environment.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace tidewater {
namespace {

class CompileTest : public ::testing::Test {
 protected:
  test::ProgramResult cc(const std::vector<std::string>& arguments) { return test::runDriver(arguments, dir.path()); }

  std::string readelf(const std::string& option, const std::string& file) {
    const auto result = test::runProgram("/usr/bin/arm-none-eabi-readelf", {"readelf", option, file}, dir.path());
    EXPECT_EQ(result.exitStatus, 0) << result.standardError;
    return result.standardOutput;
  }

  bool exists(const std::string& name) const { return access((dir.path() + "/" + name).c_str(), F_OK) == 0; }

  test::TempDir dir;
};

// The target attributes themselves are checked in target_matrix_test.
TEST_F(CompileTest, OptimizedDebugCompileKeepsFunctionSectionsAndDebugInformation) {
  dir.write("filter.c",
            "#include <stdint.h>\n#include <math.h>\n"
            "float gain(float x, int32_t shift) { return x * 0.5f + (float)(shift >> 1); }\n");
  const auto result = cc({"-c", "-cpu=cortex-m4", "-fpu=fpv4-sp-d16", "-fpabi=hard", "-thumb", "-O2", "-g",
                          "filter.c"});
  ASSERT_EQ(result.exitStatus, 0) << result.standardError;
  EXPECT_EQ(result.standardError, "");
  const std::string sections = readelf("-S", "filter.o");
  EXPECT_NE(sections.find(".text.gain"), std::string::npos) << sections;  // one section per function
  EXPECT_NE(sections.find(".debug_info"), std::string::npos) << sections;
  EXPECT_FALSE(exists("filter.asm"));  // the intermediate assembly is removed
}

TEST_F(CompileTest, OutputNamesFollowTheInputOrTheOption) {
  dir.write("one.c", "int one(void) { return 1; }\n");
  dir.write("two.s", "  .syntax unified\n  .thumb\n  .global two\ntwo:\n  movs r0, #2\n  bx lr\n");
  ASSERT_EQ(cc({"-c", "-cpu=cortex-m0", "one.c", "two.s"}).exitStatus, 0);
  EXPECT_TRUE(exists("one.o"));
  EXPECT_TRUE(exists("two.o"));
  EXPECT_NE(readelf("-s", "two.o").find(" two\n"), std::string::npos);

  ASSERT_EQ(cc({"-c", "-cpu=cortex-m0", "one.c", "-o", "renamed.o"}).exitStatus, 0);
  EXPECT_TRUE(exists("renamed.o"));
  EXPECT_NE(readelf("-s", "renamed.o").find(" one\n"), std::string::npos);
}

TEST_F(CompileTest, AFailingCompileReportsTheToolsMessagesAndStops) {
  dir.write("bad.c", "int broken( { return; }\n");
  dir.write("good.c", "int good(void) { return 0; }\n");
  const auto result = cc({"-c", "bad.c", "good.c"});
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_NE(result.standardError.find("bad.c:1:"), std::string::npos) << result.standardError;
  EXPECT_TRUE(result.standardError.ends_with("There were 1 build errors\n")) << result.standardError;
  EXPECT_FALSE(exists("bad.o"));
  EXPECT_FALSE(exists("good.o"));
  EXPECT_EQ(test::readFile(dir.path() + "/bad.c"), "int broken( { return; }\n");
}

TEST_F(CompileTest, PreprocessOnlyWritesToStandardOutputAndLeavesNoFile) {
  dir.write("p.c", "#define TWICE(x) ((x) * 2)\nint value = TWICE(VALUE);\n");
  const auto result = cc({"-E", "-DVALUE=21", "p.c"});
  ASSERT_EQ(result.exitStatus, 0) << result.standardError;
  EXPECT_NE(result.standardOutput.find("int value = ((21) * 2);"), std::string::npos) << result.standardOutput;
  for (const char* leftover : {"p.o", "p.i", "p_PP.c"}) EXPECT_FALSE(exists(leftover)) << leftover;
}

TEST_F(CompileTest, ALinkWithoutAnyMemoryDescriptionStopsWithItsMessage) {
  dir.write("main.c", "int main(void) { return 0; }\n");
  const auto result = cc({"-o", "app.elf", "main.c"});
  EXPECT_EQ(result.exitStatus, 1);
  // Builder messages are message lines on standard output.
  EXPECT_NE(result.standardOutput.find("no linker script, memory map file or section placement segments specified"),
            std::string::npos)
      << result.standardOutput;
  EXPECT_TRUE(exists("main.o"));
  EXPECT_FALSE(exists("app.elf"));
}

}  // namespace
}  // namespace tidewater
