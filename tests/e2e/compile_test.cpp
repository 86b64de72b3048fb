// The installed driver compiling with the real cross tools; the objects are
// inspected with readelf as a user would.
#include <algorithm>
#include <filesystem>

#include "e2e/e2e_fixture.h"

namespace tidewater::test {
namespace {

using CompileTest = E2ETest;

// Each target also compiles against the C++ library's headers, whose
// configuration has atomic builtins from ARMv7 on only.
TEST_F(CompileTest, EachTargetReachesTheObjectsAttributes) {
  dir.write("m.c", "int counter;\nint mul(int a, int b) { counter++; return a * b; }\n");
  dir.write("l.cpp", R"(#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>
#ifdef _GLIBCXX_ATOMIC_BUILTINS
int library_atomic;
#else
int library_plain;
#endif
int measure(const std::vector<std::string>& words) { return std::abs(-int(words.size())) + int(std::sqrt(4.0)); }
)");
  const struct { Strings options; Strings attributes; const char* library; } targets[] = {
      {{}, {"Tag_CPU_name: \"4T\"", "Tag_ARM_ISA_use: Yes", "little endian"}, "plain"},
      {{"-cpu=Cortex-M0+", "-hassmallmultiplier"}, {"Tag_CPU_name: \"6S-M\"", "Tag_THUMB_ISA_use: Thumb-1"}, "plain"},
      {{"-cpu=Cortex-M3", "-thumb"}, {"Tag_CPU_name: \"7-M\"", "Tag_THUMB_ISA_use: Thumb-2"}, "atomic"},
      {{"-cpu=Cortex-M4", "-fpu=FPv4-SP-D16", "-fpabi=hard"},
       {"Tag_CPU_name: \"7E-M\"", "Tag_FP_arch: VFPv4-D16", "Tag_ABI_VFP_args: VFP registers"}, "atomic"},
      {{"-cpu=Cortex-M33", "-hascmse"}, {"Tag_CPU_name: \"8-M.MAIN\""}, "atomic"},
      {{"-arch=v7A", "-be"}, {"Tag_CPU_name: \"7-A\"", "big endian"}, "atomic"},
  };
  for (const auto& target : targets) {
    SCOPED_TRACE(joined(target.options));
    const auto result = cc(Strings{"-c"} + target.options + Strings{"m.c", "-o", "t.o"});
    ASSERT_EQ(result.exitStatus, 0) << result.standardError << result.standardOutput;
    const std::string header = readelf({"-h", "-A", "-s", "t.o"});
    for (const auto& expected : target.attributes + Strings{" mul\n", " counter\n"}) {
      EXPECT_TRUE(contains(header, expected)) << expected;
    }
    if (!target.library) continue;
    const auto cxx = cc(Strings{"-c", "-std=gnu++14"} + target.options + Strings{"l.cpp"});
    ASSERT_EQ(cxx.exitStatus, 0) << cxx.standardError << cxx.standardOutput;
    const std::string symbols = readelf({"-s", "l.o"});
    EXPECT_TRUE(contains(symbols, std::string(" library_") + target.library + "\n")) << symbols;
    EXPECT_TRUE(contains(symbols, "_Z7measureRKSt6vectorINSt7__cxx1112basic_string")) << symbols;
  }
}

TEST_F(CompileTest, PreprocessOnlyWritesToStandardOutputAndLeavesNoFile) {
  dir.write("p.c", "#define TWICE(x) ((x) * 2)\nint value = TWICE(VALUE);\n");
  const auto result = cc({"-E", "-DVALUE=21", "p.c"});
  ASSERT_EQ(result.exitStatus, 0) << result.standardError;
  EXPECT_TRUE(contains(result.standardOutput, "int value = ((21) * 2);"));
  for (const char* leftover : {"p.o", "p.i", "p_PP.c"}) EXPECT_FALSE(exists(leftover)) << leftover;
}

// The tool's messages go to standard error, or with "-nostderr" to standard
// output; the driver's own count stays on standard error.
TEST_F(CompileTest, AFailingCompileShowsTheToolsMessagesAndStops) {
  dir.write("bad.c", "int broken( { return; }\n");
  dir.write("good.c", "int good(void) { return 0; }\n");
  for (const bool moved : {false, true}) {
    SCOPED_TRACE(moved ? "-nostderr" : "");
    const auto result = cc(moved ? Strings{"-c", "-nostderr", "bad.c", "good.c"} : Strings{"-c", "bad.c", "good.c"});
    EXPECT_EQ(result.exitStatus, 1);
    const std::string& messages = moved ? result.standardOutput : result.standardError;
    EXPECT_TRUE(messages.starts_with("bad.c:1:")) << messages;
    EXPECT_TRUE(result.standardError.ends_with("There were 1 build errors\n")) << result.standardError;
    EXPECT_EQ(moved ? result.standardError : result.standardOutput, moved ? "There were 1 build errors\n" : "");
    EXPECT_FALSE(exists("bad.o") || exists("good.o"));
    EXPECT_EQ(read("bad.c"), "int broken( { return; }\n");
  }
}

// Without section options the compile starts the installation's
// libexec/cc1 itself, with the arguments -n shows; with them it starts the
// cc1 launcher, which renames the sections. The run uses a tree of links to
// the installed one, with its own copy of the driver (which finds its tree
// from its real path) and a libexec/cc1 that records each start.
TEST_F(CompileTest, TheCompilerStartsDirectlyUnlessSectionOptionsNeedTheLauncher) {
  namespace fs = std::filesystem;
  const fs::path installed = distDirectory();
  const fs::path tree = dir.path() + "/tree";
  const fs::path tools = tree / "gcc/arm-none-eabi/bin";
  fs::create_directories(tools);
  fs::create_directories(tree / "gcc/arm-none-eabi/libexec");
  fs::create_directories(tree / "bin");
  for (const auto& entry : fs::directory_iterator(installed)) {
    if (entry.path().filename() != "bin" && entry.path().filename() != "gcc") {
      fs::create_directory_symlink(entry.path(), tree / entry.path().filename());
    }
  }
  for (const auto& entry : fs::directory_iterator(installed / "bin")) {
    if (entry.path().filename() != "cc") fs::create_symlink(entry.path(), tree / "bin" / entry.path().filename());
  }
  fs::copy_file(installed / "bin/cc", tree / "bin/cc");
  for (const auto& entry : fs::directory_iterator(installed / "gcc/arm-none-eabi/bin")) {
    fs::create_symlink(entry.path(), tools / entry.path().filename());
  }
  const fs::path compiler = fs::read_symlink(installed / "gcc/arm-none-eabi/libexec/cc1");
  dir.write("tree/gcc/arm-none-eabi/libexec/cc1",
            "#!/bin/sh\necho \"$*\" >> " + dir.path() + "/started\nexec " + compiler.string() + " \"$@\"\n");
  fs::permissions(tree / "gcc/arm-none-eabi/libexec/cc1", fs::perms::owner_all);
  dir.write("f.c", "int twice(int x) { return 2 * x; }\n");
  const auto run = [&](const Strings& arguments) {
    return runProgram((tree / "bin/cc").string(), Strings{"cc"} + arguments, dir.path());
  };

  const Strings compile = {"-c", "-cpu=Cortex-M3", "-thumb", "f.c", "-o", "f.o"};
  const auto shown = run(Strings{"-n"} + compile);
  ASSERT_EQ(shown.exitStatus, 0) << shown.standardError;
  const std::string firstCommand = shown.standardOutput.substr(0, shown.standardOutput.find('\n'));
  const std::string launcher = (tools / "cc1").string();
  ASSERT_TRUE(contains(firstCommand, "  " + launcher + " "));
  const auto direct = run(compile);
  ASSERT_EQ(direct.exitStatus, 0) << direct.standardError;
  EXPECT_EQ(read("started"), firstCommand.substr(firstCommand.find(launcher) + launcher.size() + 1) + "\n");
  EXPECT_TRUE(contains(readelf({"-S", "f.o"}), " .text.twice "));

  const auto renamed = run(compile + Strings{"-Rc,.fast"});
  ASSERT_EQ(renamed.exitStatus, 0) << renamed.standardError;
  const std::string starts = read("started");
  EXPECT_EQ(std::count(starts.begin(), starts.end(), '\n'), 1) << starts;
  EXPECT_TRUE(contains(readelf({"-S", "f.o"}), " .fast.twice "));
}

}  // namespace
}  // namespace tidewater::test
