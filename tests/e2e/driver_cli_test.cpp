// The installed driver run as a user runs it: its exit status and all it
// writes, and an installation tree that works wherever it is copied to.
#include <filesystem>

#include "e2e/e2e_fixture.h"

namespace tidewater::test {
namespace {

using DriverCliTest = E2ETest;

TEST_F(DriverCliTest, EachCommandLineEndsWithItsStatusAndMessages) {
  const std::string help = readFile(testDataDirectory() + "/help.txt");
  dir.write("a.c", "int main(void) { return 0; }\n");
  dir.write("opts", "-c -o x.o\n-xc\n");
  dir.write("broken", "-c\n# comment\n\"broken a.c\nb.c\n");
  dir.write("self.txt", "# includes itself\n@self.txt\n");
  const std::string unrecognised = "cc: error: unrecognised option -bogus\n";
  const struct { const char* argv0; Strings arguments; int status; std::string errors; } cases[] = {
      {"cc", {}, 0, help},
      {"cc", {"-help"}, 0, help},
      {"cc", {"-c"}, 0, ""},
      {"cc", {"-c", "a.c", "-o", "x.o"}, 0, ""},
      {"cc", {"@opts", "a.c"}, 0, ""},
      {"cc", {"-c", "-ycortex_m4f"}, 0, ""},
      {"./armcc", {"-q", "a.c"}, 1, "./armcc: error: unrecognised option -q\n./armcc: error: -o option required\n"},
      {"my cc", {"-o"}, 1, "my cc: error: expected argument for option -o\nmy cc: error: -o option required\n"},
      {"cc", {"-c", "@self.txt"}, 1, "cc: error: too many indirect files\n"},
      {"cc", {"@broken", "@", "@missing.txt"}, 1,
       "cc: error: unterminated string in indirect file broken(3)\n"
       "cc: error: can't open indirect file : No such file or directory\n"
       "cc: error: can't open indirect file missing.txt: No such file or directory\n"},
      {"cc", {"-c", "-ycortex_m99"}, 1, "cc: error: cortex_m99 can't find template\n"},
      {"cc", {"-c", "-fpu=vfp4", "-fpabi=hard", "-std=c17"}, 1,
       "cc: error: vfp4 unsupported - choose from:\nVFP\nVFP9\nVFPv3-D32\nVFPv3-D16\nVFPv4-D32\nVFPv4-D16\n"
       "FPv4-SP-D16\nFPv5-SP-D16\nFPv5-D16\nNone\n"
       "cc: error: c17 unsupported - choose from:\nc89\nc90\nc99\nc11\ngnu89\ngnu90\ngnu99\ngnu11\n"},
      // A value list ends the run with status 0 whatever was counted before
      // it, and nothing after it is examined.
      {"cc", {"-bogus", "-arch=list", "-alsobogus"}, 0,
       unrecognised + "\nv4T, v5TE, v6, v6M, v7M, v7EM, v7R, v7A, v8M_Baseline, v8M_Mainline\n"},
      {"cc", {"-bogus", "-cpu=list"}, 0,
       unrecognised +
           "\nARM7TDMI, ARM7TDMI-S, ARM720T, ARM920T, ARM946E-S, ARM966E-S, ARM968E-S, ARM926EJ-S, ARM1136J-S, "
           "ARM1136JF-S, ARM1176JZ-S, ARM1176JZF-S, Cortex-M0, Cortex-M0+, Cortex-M1, Cortex-M23, Cortex-M3, "
           "Cortex-M33, Cortex-M4, Cortex-M7, Cortex-R4, Cortex-R4F, Cortex-R5, Cortex-A5, Cortex-A7, Cortex-A8, "
           "Cortex-A9, XScale, None\n"},
      {"cc", {"-bogus", "-fpu=list"}, 0,
       unrecognised +
           "\nVFP, VFP9, VFPv3-D32, VFPv3-D16, VFPv4-D32, VFPv4-D16, FPv4-SP-D16, FPv5-SP-D16, FPv5-D16, None\n"},
      {"cc", {"-bogus", "-std=list"}, 0,
       unrecognised +
           "\nc89, c90, c99, c11, gnu89, gnu90, gnu99, gnu11\n\nc++98, c++11, c++14, c++1y, gnu++98, gnu++11, "
           "gnu++14, gnu++1y\n"},
      {"cc", {"-bogus", "-codec=list"}, 0,
       unrecognised +
           "\nDefault, UTF-8, ISO-8859-1, ISO-8859-2, ISO-8859-3, ISO-8859-4, ISO-8859-5, ISO-8859-6, ISO-8859-7, "
           "ISO-8859-8, ISO-8859-9, ISO-8859-10, ISO-8859-13, ISO-8859-14, ISO-8859-15, ISO-8859-16, CP 850, "
           "CP 866, CP 874, CP 1250, CP 1251, CP 1252, CP 1253, CP 1254, CP 1255, CP 1256, CP 1257, CP 1258, "
           "BIG-5, BIG5-HKSCS, EUC-JP, EUC-KR, GB2312, GBK, GB18030, ISO-2022-JP, Shift-JIS, TSCII, KOI8-R, "
           "KOI8-U, TIS-620, UTF-16, Apple Roman, HP-Roman8\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.argv0) + " " + joined(c.arguments));
    const auto result = runProgram(distDirectory() + "/bin/cc", Strings{c.argv0} + c.arguments, dir.path());
    EXPECT_EQ(result.exitStatus, c.status);
    EXPECT_EQ(result.standardError, c.errors);
    EXPECT_EQ(result.standardOutput, "");
  }
  EXPECT_EQ(read("a.c"), "int main(void) { return 0; }\n");
}

// The copy compiles with its own links to the cross tools (the driver names
// the copy's cc1 once it is gone), its merged headers and its "rm".
TEST_F(DriverCliTest, ACopiedTreeBuildsWithItsOwnToolsAndHeaders) {
  const std::string copy = dir.path() + "/tree";
  ASSERT_EQ(runProgram("/bin/cp", {"cp", "-a", distDirectory(), copy}).exitStatus, 0);
  dir.write("work/probe.c",
            "#include <stdio.h>\n#include <stdint.h>\n#include <stddef.h>\n#include <stdarg.h>\n"
            "#include <stdbool.h>\n#include <limits.h>\n#include <float.h>\n#include <string.h>\n"
            "#include <inttypes.h>\n#include <arm_acle.h>\n"
            "uint32_t probe(const char *format, ...) {\n"
            "  va_list arguments; va_start(arguments, format);\n"
            "  int written = vprintf(format, arguments); va_end(arguments);\n"
            "  return written + CHAR_BIT + sizeof(size_t) + (bool)FLT_DIG + UINT8_MAX + strlen(format);\n"
            "}\n");
  auto result = runProgram(copy + "/bin/cc", {"cc", "-c", "-cpu=Cortex-M3", "probe.c"}, dir.path() + "/work");
  ASSERT_EQ(result.exitStatus, 0) << result.standardError;
  EXPECT_FALSE(exists("work/probe.asm"));
  const std::string object = readelf({"-h", "-s", "work/probe.o"});
  EXPECT_TRUE(contains(object, "Machine:                           ARM"));
  EXPECT_TRUE(contains(object, " probe\n"));

  const std::string compiler = copy + "/gcc/arm-none-eabi/bin/cc1";
  ASSERT_TRUE(std::filesystem::remove(compiler));
  dir.write("work/a.c", "int a;\n");
  result = runProgram(copy + "/bin/cc", {"cc", "-c", "a.c"}, dir.path() + "/work");
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_TRUE(contains(result.standardOutput, "can't execute command \"" + compiler + "\""));
  EXPECT_EQ(result.standardError, "There were 1 build errors\n");
  EXPECT_FALSE(exists("work/a.o"));
}

}  // namespace
}  // namespace tidewater::test
