// The installed tree's links to the cross tools and its merged header
// directory are enough to compile and assemble C with -nostdinc, the way
// the build runs them.
#include <gtest/gtest.h>
#include <unistd.h>

#include "support/environment.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace tidewater {
namespace {

TEST(InstallationTreeTest, CompilerAndAssemblerLinksBuildAnArmObjectFromTheMergedHeaders) {
  test::TempDir dir;
  const std::string dist = test::distDirectory();
  const std::string bin = dist + "/gcc/arm-none-eabi/bin";
  dir.write("probe.c",
            "#include <stdio.h>\n#include <stdint.h>\n#include <stddef.h>\n#include <stdarg.h>\n"
            "#include <stdbool.h>\n#include <limits.h>\n#include <float.h>\n#include <string.h>\n"
            "#include <inttypes.h>\n#include <arm_acle.h>\n"
            "uint32_t probe(const char *format, ...) {\n"
            "  va_list arguments; va_start(arguments, format);\n"
            "  int written = vprintf(format, arguments); va_end(arguments);\n"
            "  return written + CHAR_BIT + sizeof(size_t) + (bool)FLT_DIG + UINT8_MAX + strlen(format);\n"
            "}\n");

  const auto compile = test::runProgram(
      bin + "/cc1", {"cc1", "-quiet", "-nostdinc", "-isystem", dist + "/include", "-mcpu=cortex-m3",
                     "-mthumb", "probe.c", "-o", "probe.s"},
      dir.path());
  ASSERT_EQ(compile.exitStatus, 0) << compile.standardError;
  const auto assemble = test::runProgram(bin + "/as", {"as", "-mcpu=cortex-m3", "probe.s", "-o", "probe.o"},
                                         dir.path());
  ASSERT_EQ(assemble.exitStatus, 0) << assemble.standardError;

  const auto header = test::runProgram("/usr/bin/arm-none-eabi-readelf", {"readelf", "-h", "-s", "probe.o"},
                                       dir.path());
  ASSERT_EQ(header.exitStatus, 0) << header.standardError;
  EXPECT_NE(header.standardOutput.find("Machine:                           ARM"), std::string::npos)
      << header.standardOutput;
  EXPECT_NE(header.standardOutput.find(" probe\n"), std::string::npos) << header.standardOutput;
}

TEST(InstallationTreeTest, BuiltInCommandNamesAndClangAreInstalled) {
  const std::string dist = test::distDirectory();
  test::TempDir dir;
  const auto file = dir.write("gone.txt", "x");
  EXPECT_EQ(test::runProgram(dist + "/bin/rm", {"rm", file}).exitStatus, 0);
  EXPECT_NE(access(file.c_str(), F_OK), 0);
  const auto clang = test::runProgram(dist + "/llvm/bin/clang", {"clang", "--version"});
  EXPECT_EQ(clang.exitStatus, 0);
  EXPECT_NE(clang.standardOutput.find("clang version"), std::string::npos);
}

}  // namespace
}  // namespace tidewater
