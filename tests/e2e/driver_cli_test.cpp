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
  dir.write("x.c++", "int f(void) { return 1; }\n");
  dir.write("help", "-help\n-bogus\n");
  dir.write("list", "-bogus\n-arch=list -alsobogus\n-bogus\n");
  const std::string unrecognised = "cc: error: unrecognised option -bogus\n";
  const struct { const char* argv0; Strings arguments; int status; std::string errors; } cases[] = {
      {"cc", {}, 0, help},
      {"cc", {"-help"}, 0, help},
      {"cc", {"-c", "@help", "-bogus"}, 0, help},
      {"cc", {"-c"}, 0, ""},
      {"cc", {"@opts", "a.c"}, 0, ""},
      {"cc", {"-c", "-ycortex_m4f"}, 0, ""},
      {"./armcc", {"-q", "a.c"}, 1, "./armcc: error: unrecognised option -q\n./armcc: error: -o option required\n"},
      {"my cc", {"-o"}, 1, "my cc: error: expected argument for option -o\nmy cc: error: -o option required\n"},
      // Files the build would leave out are named (and the others built); a GNU spelling gets a note.
      {"cc", {"-c", "x.c++", "a.c", "cr.c\r"}, 0,
       "cc: warning: 'x.c++': file type not recognised, so the build leaves it out (-x gives a file its type)\n"
       "cc: warning: 'cr.c\\r': file type not recognised, so the build leaves it out (-x gives a file its type)\n"},
      {"cc", {"-c", "-xc++", "x.c++", "-mcpu=cortex-m4"}, 1,
       "cc: error: unrecognised option -mcpu=cortex-m4\n"
       "cc: note: for -mcpu=cortex-m4 use -cpu=cortex-m4 (-cpu=list shows the cores)\n"},
      {"cc", {"-c", "-fpu=vfp4", "-fpabi=hard"}, 1,
       "cc: error: vfp4 unsupported - choose from:\nVFP\nVFP9\nVFPv3-D32\nVFPv3-D16\nVFPv4-D32\nVFPv4-D16\n"
       "FPv4-SP-D16\nFPv5-SP-D16\nFPv5-D16\nNone\n"},
      // A value list ends the run with status 0 whatever was counted before
      // it, and nothing after it is examined.
      {"cc", {"-bogus", "-arch=list", "-alsobogus"}, 0,
       unrecognised + "\nv4T, v5TE, v6, v6M, v7M, v7EM, v7R, v7A, v8M_Baseline, v8M_Mainline\n"},
      {"cc", {"@list", "-alsobogus"}, 0,
       unrecognised + "\nv4T, v5TE, v6, v6M, v7M, v7EM, v7R, v7A, v8M_Baseline, v8M_Mainline\n"},
      {"cc", {"-bogus", "-std=list"}, 0,
       unrecognised +
           "\nc89, c90, c99, c11, gnu89, gnu90, gnu99, gnu11\n\nc++98, c++11, c++14, c++1y, gnu++98, gnu++11, "
           "gnu++14, gnu++1y\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.argv0) + " " + joined(c.arguments));
    const auto result = runProgram(distDirectory() + "/bin/cc", Strings{c.argv0} + c.arguments, dir.path());
    EXPECT_EQ(result.exitStatus, c.status);
    EXPECT_EQ(result.standardError, c.errors);
    EXPECT_EQ(result.standardOutput, "");
  }
}

// The copy compiles with its own links to the cross tools (the driver names
// the copy's cc1 once it is gone), its merged headers and its "rm".
TEST_F(DriverCliTest, ACopiedTreeBuildsWithItsOwnToolsAndHeaders) {
  const std::string copy = dir.path() + "/tree";
  ASSERT_EQ(runProgram("/bin/cp", {"cp", "-a", distDirectory(), copy}).exitStatus, 0);
  dir.write("work/probe.c",
            "#include <stdio.h>\n#include <stdint.h>\n#include <stddef.h>\n#include <stdarg.h>\n#include <stdbool.h>\n"
            "#include <limits.h>\n#include <float.h>\n#include <string.h>\n#include <inttypes.h>\n"
            "#include <arm_acle.h>\n"
            "uint32_t probe(const char *format, ...) {\n"
            "  va_list arguments; va_start(arguments, format);\n"
            "  int written = vprintf(format, arguments); va_end(arguments);\n"
            "  return written + CHAR_BIT + sizeof(size_t) + (bool)FLT_DIG + UINT8_MAX + strlen(format);\n"
            "}\n");
  auto result = runProgram(copy + "/bin/cc", {"cc", "-c", "-cpu=Cortex-M3", "probe.c"}, dir.path() + "/work");
  ASSERT_EQ(result.exitStatus, 0) << result.standardError;
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

// A template file that is not well-formed ends the run before any tool,
// naming the file and its bad line.
TEST_F(DriverCliTest, AMalformedTemplateFileIsALoadError) {
  const std::string templates =
      dir.write("tree/targets/project_templates.xml", "<projects>\n<project name=\"m4\"></projet>\n</projects>\n");
  std::filesystem::create_directories(dir.path() + "/tree/bin");
  std::filesystem::copy_file(distDirectory() + "/bin/cc", dir.path() + "/tree/bin/cc");
  dir.write("work/a.c", "int a;\n");
  const auto result = runProgram(dir.path() + "/tree/bin/cc", {"cc", "-c", "-ym4", "a.c"}, dir.path() + "/work");
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.standardError, "load error: bad XML file - " + std::filesystem::canonical(templates).string() +
                                      ":2: tagName mismatch\n");
  EXPECT_FALSE(exists("work/a.o"));
}

}  // namespace
}  // namespace tidewater::test
