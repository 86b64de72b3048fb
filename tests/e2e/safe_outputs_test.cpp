// What the driver refuses to overwrite, and what a failed, interrupted or
// odd run leaves behind: never a destroyed input, a stale object, a partial
// file or a removed device.
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "e2e/e2e_fixture.h"

extern char** environ;

namespace tidewater::test {
namespace {

namespace fs = std::filesystem;

using SafeOutputsTest = E2ETest;

std::vector<std::string> listing(const std::string& directory) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(directory)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

TEST_F(SafeOutputsTest, ARunThatWouldOverwriteAnInputOrWriteAFileTwiceRunsNothing) {
  dir.write("a.c", "int a;\n");
  dir.write("b.c", "int b;\n");
  dir.write("main.o", "an object");
  dir.write("lib.a", "!<arch>\n");
  dir.write("args", "-c\n-o args\n");
  dir.write("s.s", "");
  dir.write("opts", "");
  fs::create_symlink("main.o", dir.path() + "/link.o");
  fs::create_hard_link(dir.path() + "/lib.a", dir.path() + "/hard.a");
  const std::vector<std::string> before = listing(dir.path());
  const struct { Strings arguments; std::string errors; } cases[] = {
      {{"-c", "a.c", "-o", "a.c"}, "cc: error: the object file of a.c, 'a.c', would overwrite the input file 'a.c'\n"},
      {{"-ylm3s6965evb", "-o", "./a.c", "a.c"}, "cc: error: the image, 'a.c', would overwrite the input file 'a.c'\n"},
      {{"-ylm3s6965evb", "-o", "main.o", "main.o"},
       "cc: error: the image, 'main.o', would overwrite the input file 'main.o'\n"},
      {{"-c", "-o", "both.o", "a.c", "b.c"},
       "cc: error: 'both.o' would be written twice: as the object file of a.c and as the object file of b.c\n"
       "cc: error: 'both.asm' would be written twice: as the assembly file of a.c and as the assembly file of b.c\n"},
      {{"@args", "a.c"}, "cc: error: the object file of a.c, 'args', would overwrite the input file 'args'\n"},
      {{"-ar", "-o", "all.a", "main.o", "lib.a"},
       "cc: error: cannot put the library lib.a into a library: name its object files instead\n"},
      // The same file by another name: through a symbolic or a hard link.
      {{"-ylm3s6965evb", "-o", "link.o", "main.o"},
       "cc: error: the image, 'link.o', would overwrite the input file 'main.o'\n"},
      {{"-ar", "-o", "hard.a", "main.o", "-xo", "lib.a"},
       "cc: error: the library, 'hard.a', would overwrite the input file 'lib.a'\n"},
      // Intermediate and options files count too.
      {{"-c", "s.s", "-o", "s_PP.s"},
       "cc: error: 's_PP.s' would be written twice: as the object file of s.s and as the preprocessed file of s.s\n"},
      {{"-c", "-zc_additional_options_from_file=opts", "a.c", "-o", "opts"},
       "cc: error: the object file of a.c, 'opts', would overwrite the input file 'opts'\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(joined(c.arguments));
    const auto result = cc(c.arguments);
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.standardError, c.errors);
    EXPECT_EQ(result.standardOutput, "");
    EXPECT_EQ(listing(dir.path()), before);
    EXPECT_EQ(read("a.c"), "int a;\n");
    EXPECT_EQ(read("main.o"), "an object");
  }
}

// A failed compile leaves neither the object it was to replace nor its
// intermediate files; a device output is written to and never removed.
TEST_F(SafeOutputsTest, FailuresLeaveNoStaleOrPartialFilesAndDevicesStay) {
  dir.write("bad.c", "int broken(void) { return }\n");
  dir.write("bad.s", "  bogus instruction\n");
  dir.write("good.c", "int good(void) { return 1; }\n");
  dir.write("-dash.c", "int dash(void) { return 2; }\n");
  const struct { Strings arguments; Strings files; } failures[] = {
      {{"-c", "bad.c"}, {"bad.o", "bad.asm"}},
      {{"-c", "-kasm", "bad.c"}, {"bad.o", "bad.asm"}},
      {{"-c", "bad.s"}, {"bad.o", "bad_PP.s"}},
  };
  for (const auto& failure : failures) {
    SCOPED_TRACE(joined(failure.arguments));
    for (const std::string& name : failure.files) dir.write(name, "from an earlier build");
    EXPECT_EQ(cc(failure.arguments).exitStatus, 1);
    for (const std::string& name : failure.files) EXPECT_FALSE(exists(name)) << name;
  }

  // A device output is written to, never removed, and gets no file beside it.
  dir.write("main.c", "int main(void) { return 0; }\n");
  const std::vector<std::string> before = listing(dir.path());
  const struct { Strings arguments; int status; } deviceOutputs[] = {
      {{"-c", "bad.s", "-o", "/dev/null"}, 1},
      {{"-c", "good.c", "-o", "/dev/null"}, 0},
      {{"-ylm3s6965evb", "-o", "/dev/null", "main.c"}, 0},
  };
  for (const auto& run : deviceOutputs) {
    SCOPED_TRACE(joined(run.arguments));
    const auto result = cc(run.arguments);
    EXPECT_EQ(result.exitStatus, run.status) << result.standardOutput << result.standardError;
    struct stat info {};
    ASSERT_EQ(stat("/dev/null", &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));
    EXPECT_EQ(listing(dir.path()), before);
  }

  // A name a tool would read as an option reaches it as a file.
  const auto dash = cc({"-c", "./-dash.c"});
  ASSERT_EQ(dash.exitStatus, 0) << dash.standardError;
  EXPECT_TRUE(contains(readelf({"-s", "./-dash.o"}), " dash\n"));
  EXPECT_FALSE(exists("-dash.asm"));

  // Standard output that cannot take the preprocessed text fails the run.
  const auto full = runProgram("/bin/sh", {"sh", "-c", distDirectory() + "/bin/cc -E good.c > /dev/full"}, dir.path());
  EXPECT_EQ(full.exitStatus, 1);
  EXPECT_TRUE(contains(full.standardError, "error: cannot write the preprocessed text to standard output"));
  EXPECT_FALSE(exists("good_PP.c"));
}

// The tool gets the signal and is waited for; the step's files go, and the
// driver ends by the same signal, as make expects of an interrupted command.
TEST_F(SafeOutputsTest, AnInterruptedRunStopsItsToolAndRemovesWhatItWasWriting) {
  // A compiler that writes part of its output, says where it is, and waits.
  dir.write("tools/cc1", "#!/bin/sh\nfor last; do :; done\nprintf partial > \"$last\"\n"
                        "echo $$ > \"$PWD/started\"\nexec sleep 300\n");
  ASSERT_EQ(chmod((dir.path() + "/tools/cc1").c_str(), 0755), 0);
  dir.write("a.c", "int a;\n");
  const std::string cc = distDirectory() + "/bin/cc";
  const std::string toolchain = "-zbuild_toolchain_directory=" + dir.path() + "/tools";
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signal);
    dir.write("a.o", "the object of an earlier build");
    fs::remove(dir.path() + "/started");
    const char* argv[] = {"cc", toolchain.c_str(), "-c", "a.c", nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, dir.path().c_str());
    pid_t driver = 0;
    ASSERT_EQ(posix_spawn(&driver, cc.c_str(), &actions, nullptr, const_cast<char**>(argv), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    for (int wait = 0; wait < 500 && !exists("started"); ++wait) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(exists("started"));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const pid_t tool = std::stoi(read("started"));
    kill(driver, signal);
    int status = 0;
    pid_t ended = 0;
    for (int wait = 0; wait < 500 && (ended = waitpid(driver, &status, WNOHANG)) == 0; ++wait) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (ended != driver) {
      kill(tool, SIGKILL);
      kill(driver, SIGKILL);
      waitpid(driver, &status, 0);
      FAIL() << "the driver did not end within 5 s of the signal";
    }
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
    EXPECT_NE(kill(tool, 0), 0) << "the compiler still runs";
    EXPECT_FALSE(exists("a.asm"));
    EXPECT_FALSE(exists("a.o"));
  }
}

// Appending to a list option is not quadratic in memory or time.
TEST_F(SafeOutputsTest, FortyThousandDefinitionsTakeLittleMemory) {
  std::string definitions;
  for (int i = 0; i < 40000; ++i) definitions += "-DSYMBOL_" + std::to_string(i) + "=" + std::to_string(i) + "\n";
  dir.write("definitions", definitions);
  dir.write("a.c", "int a;\n");
  const auto result = cc({"-n", "-c", "@definitions", "a.c"});
  ASSERT_EQ(result.exitStatus, 0) << result.standardError;
  EXPECT_TRUE(contains(result.standardOutput, " -DSYMBOL_0=0 -DSYMBOL_1=1 "));
  EXPECT_TRUE(contains(result.standardOutput, " -DSYMBOL_39998=39998 -DSYMBOL_39999=39999 "));
  rusage usage {};
  getrusage(RUSAGE_CHILDREN, &usage);
  EXPECT_LT(usage.ru_maxrss, 100 * 1024) << "kilobytes";
}

}  // namespace
}  // namespace tidewater::test
