#include "build/process.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "support/environment.h"
#include "support/temp_dir.h"

namespace tidewater {
namespace {

// Records every line in arrival order, with its stream.
class RecordingProcess : public Process {
 public:
  std::vector<std::pair<bool, std::string>> lines;

  std::vector<std::string> linesOf(bool standardOutput) const {
    std::vector<std::string> result;
    for (const auto& line : lines) {
      if (line.first == standardOutput) result.push_back(line.second);
    }
    return result;
  }

 protected:
  void outputLine(bool isStandardOutput, std::string_view line) override {
    lines.emplace_back(isStandardOutput, std::string(line));
  }
};

using Lines = std::vector<std::string>;

int runWaiting(RecordingProcess& process, std::vector<std::string> arguments,
               const std::string& directory = {}) {
  return process.run(std::move(arguments), true, directory, true, true);
}

// The splitting rules themselves are OutputChannel's (output_channel_test).
TEST(ProcessTest, SplitsToolOutputIntoLines) {
  RecordingProcess process;
  EXPECT_EQ(runWaiting(process, {"printf", "a\\r\\nb\\n\\nc"}), 0);
  EXPECT_EQ(process.linesOf(true), (Lines{"a", "b", "", "c"}));
  EXPECT_TRUE(process.linesOf(false).empty());
}

TEST(ProcessTest, CarriageReturnPairSplitAcrossWritesIsOneLineEnd) {
  RecordingProcess process;
  EXPECT_EQ(runWaiting(process, {"/bin/sh", "-c", "printf 'a\\r'; sleep 0.2; printf '\\nb\\n'"}), 0);
  EXPECT_EQ(process.linesOf(true), (Lines{"a", "b"}));
}

TEST(ProcessTest, StatusIsTheExitCodeAsASignedByte) {
  struct Case {
    std::vector<std::string> arguments;
    int status;
  };
  const Case cases[] = {
      {{"/bin/sh", "-c", "exit 0"}, 0}, {{"/bin/sh", "-c", "exit 3"}, 3}, {{"/bin/sh", "-c", "exit 200"}, -56},
      {{"/bin/sh", "-c", "exit 255"}, -1}, {{"/bin/sh", "-c", "kill -9 $$"}, -1},
      {{"tw-no-such-program-anywhere"}, -1}, {{}, -1}, {{">", "only-a-redirection.txt"}, -1},
  };
  for (const Case& c : cases) {
    RecordingProcess process;
    std::string shown;
    for (const auto& argument : c.arguments) shown += argument + " ";
    test::TempDir directory;
    EXPECT_EQ(runWaiting(process, c.arguments, directory.path()), c.status) << shown;
    EXPECT_FALSE(process.running()) << shown;
  }
}

TEST(ProcessTest, KeepsBothStreamsApartAndInOrder) {
  RecordingProcess process;
  // The pauses make the arrival order certain.
  const char* script =
      "echo o1; sleep 0.2; echo e1 >&2; sleep 0.2; echo o2; sleep 0.2; printf 'e2' >&2; sleep 0.2; printf 'o3'";
  EXPECT_EQ(runWaiting(process, {"/bin/sh", "-c", script}), 0);
  const std::vector<std::pair<bool, std::string>> expected = {
      {true, "o1"}, {false, "e1"}, {true, "o2"}, {true, "o3"}, {false, "e2"}};
  // The unterminated rests come last, standard output first.
  EXPECT_EQ(process.lines, expected);
}

TEST(ProcessTest, LargeOutputOnBothStreamsAtOnceDoesNotBlock) {
  // Several pipe buffers' worth on each stream, the streams alternating, so
  // a runner that read one stream to its end first would never finish.
  const char* script =
      "for n in 1 2 3 4; do"
      "  yes 0123456789abcdefghijklmnopqrstuvwxyz | head -n 5000;"
      "  yes ERR-0123456789abcdefghijklmnopqrstuvwxyz | head -n 5000 >&2;"
      "done";
  RecordingProcess process;
  EXPECT_EQ(runWaiting(process, {"/bin/sh", "-c", script}), 0);
  const Lines out = process.linesOf(true);
  const Lines err = process.linesOf(false);
  ASSERT_EQ(out.size(), 20000u);
  ASSERT_EQ(err.size(), 20000u);
  for (const std::string& line : out) ASSERT_EQ(line, "0123456789abcdefghijklmnopqrstuvwxyz");
  for (const std::string& line : err) ASSERT_EQ(line, "ERR-0123456789abcdefghijklmnopqrstuvwxyz");
}

TEST(ProcessTest, RunsInTheWorkingDirectory) {
  test::TempDir directory;
  RecordingProcess process;
  EXPECT_EQ(runWaiting(process, {"pwd"}, directory.path()), 0);
  EXPECT_EQ(process.linesOf(true), Lines{directory.path()});

  RecordingProcess missing;
  EXPECT_EQ(runWaiting(missing, {"pwd"}, directory.path() + "/absent"), -1);
  EXPECT_TRUE(missing.lines.empty());
}

TEST(ProcessTest, RedirectionsWriteStreamsIntoFilesRelativeToTheWorkingDirectory) {
  test::TempDir directory;
  const std::string& dir = directory.path();
  const char* bothStreams = "echo out1; sleep 0.2; echo err1 >&2; sleep 0.2; printf out2";

  RecordingProcess errorsOnly;
  EXPECT_EQ(runWaiting(errorsOnly, {"/bin/sh", "-c", bothStreams, "2>", "err.txt"}, dir), 0);
  EXPECT_EQ(test::readFile(dir + "/err.txt"), "err1\n");
  EXPECT_EQ(errorsOnly.lines, (std::vector<std::pair<bool, std::string>>{{true, "out1"}, {true, "out2"}}));

  RecordingProcess both;
  EXPECT_EQ(runWaiting(both, {"/bin/sh", "-c", bothStreams, "&>", "log.txt"}, dir), 0);
  EXPECT_EQ(test::readFile(dir + "/log.txt"), "out1\nerr1\nout2\n");
  EXPECT_TRUE(both.lines.empty());

  // Append, and the same stream redirected twice keeps the first file.
  directory.write("log.txt", "before\n");
  RecordingProcess appending;
  EXPECT_EQ(runWaiting(appending, {"printf", "x\\n", "1>>", "log.txt", ">", "other.txt"}, dir), 0);
  EXPECT_EQ(test::readFile(dir + "/log.txt"), "before\nx\n");
  EXPECT_FALSE(std::filesystem::exists(dir + "/other.txt"));

  // Truncation; the operators never reach the tool.
  RecordingProcess truncating;
  EXPECT_EQ(runWaiting(truncating, {"printf", "%s;", "a", "b", "1>", "log.txt"}, dir), 0);
  EXPECT_EQ(test::readFile(dir + "/log.txt"), "a;b;\n");
}

TEST(ProcessTest, UnopenableCaptureFileLeavesTheStreamPrinted) {
  test::TempDir directory;
  RecordingProcess process;
  EXPECT_EQ(runWaiting(process, {"printf", "x\\n", ">", "no/such/dir/out.txt"}, directory.path()), 0);
  EXPECT_EQ(process.linesOf(true), Lines{"x"});
}

TEST(ProcessTest, WithoutCaptureOperatorsAreOrdinaryArguments) {
  RecordingProcess process;
  EXPECT_EQ(process.run({"printf", "%s|", "x", ">", "f.txt"}, true, {}, false, true), 0);
  EXPECT_EQ(process.linesOf(true), Lines{"x|>|f.txt|"});
}

TEST(ProcessTest, WithoutPipesTheChildWritesCaptureFilesItself) {
  test::TempDir directory;
  RecordingProcess process;
  EXPECT_EQ(process.run({"printf", "direct\\n", ">", "out.txt"}, true, directory.path(), true, false), 0);
  EXPECT_EQ(test::readFile(directory.path() + "/out.txt"), "direct\n");
  EXPECT_TRUE(process.lines.empty());
}

TEST(ProcessTest, CommandStartedWithoutWaitingIsFollowedByPollCheck) {
  RecordingProcess process;
  EXPECT_EQ(process.run({"/bin/sh", "-c", "echo first; sleep 0.3; echo second >&2; exit 4"}, false, {}, true,
                        true),
            0);
  EXPECT_TRUE(process.running());
  int status = 0;
  int polls = 0;
  while (process.pollCheck(status)) ++polls;
  EXPECT_GT(polls, 0);  // the child was still sleeping at the first check
  EXPECT_EQ(status, 4);
  EXPECT_FALSE(process.running());
  EXPECT_EQ(process.lines, (std::vector<std::pair<bool, std::string>>{{true, "first"}, {false, "second"}}));
  EXPECT_FALSE(process.pollCheck(status));  // nothing runs any more
}

TEST(ProcessTest, NextCommandWaitsForTheOneStartedWithoutWaiting) {
  RecordingProcess process;
  EXPECT_EQ(process.run({"/bin/sh", "-c", "sleep 0.2; echo late"}, false, {}, true, true), 0);
  EXPECT_EQ(runWaiting(process, {"printf", "next\\n"}), 0);
  EXPECT_EQ(process.linesOf(true), (Lines{"late", "next"}));
}

TEST(ProcessTest, WaitForOutputSeesOnlyRunningChildren) {
  RecordingProcess idle;
  Process* none[] = {&idle};
  EXPECT_EQ(Process::waitForOutput(none, 10), Process::WaitOutcome::NothingRunning);

  RecordingProcess talking;
  ASSERT_EQ(talking.run({"/bin/sh", "-c", "echo hello; sleep 0.2"}, false, {}, true, true), 0);
  Process* running[] = {&idle, &talking};
  EXPECT_EQ(Process::waitForOutput(running, 5000), Process::WaitOutcome::Ready);
  int status = -1;
  while (talking.pollCheck(status)) {
  }
  EXPECT_EQ(status, 0);
  EXPECT_EQ(talking.linesOf(true), Lines{"hello"});
}

}  // namespace
}  // namespace tidewater
