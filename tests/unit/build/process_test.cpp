#include "build/process.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "support/environment.h"
#include "support/temp_dir.h"

namespace tidewater {
namespace {

using Lines = std::vector<std::string>;
using StreamLines = std::vector<std::pair<bool, std::string>>;  // (is standard output, line)

// A Process whose line sink records every line in arrival order, with its
// stream.
class RecordingProcess {
 public:
  StreamLines lines;
  Process process{[this](bool isStandardOutput, std::string_view line) {
    lines.emplace_back(isStandardOutput, std::string(line));
  }};

  Lines linesOf(bool standardOutput) const {
    Lines result;
    for (const auto& line : lines) {
      if (line.first == standardOutput) result.push_back(line.second);
    }
    return result;
  }
  int run(Lines arguments, const std::string& directory = {}) { return process.run(std::move(arguments), directory); }
};

TEST(ProcessTest, SplitsBothStreamsIntoLinesKeptApartAndInOrder) {
  RecordingProcess process;
  // The pauses make the arrival order certain. After a CR the next byte is
  // skipped as the LF of a pair, also when it arrives with the next read.
  EXPECT_EQ(process.run({"/bin/sh", "-c",
                                "printf 'o1\\r\\n\\na\\rb\\n'; sleep 0.2; printf 'c\\r'; sleep 0.2; printf '\\nd\\n';"
                                "sleep 0.2; echo e1 >&2; sleep 0.2; printf 'e2' >&2; sleep 0.2; printf 'o3'"}),
            0);
  // The unterminated rests come last, standard output first.
  EXPECT_EQ(process.lines, (StreamLines{{true, "o1"}, {true, ""}, {true, "a"}, {true, ""}, {true, "c"}, {true, "d"},
                                        {false, "e1"}, {true, "o3"}, {false, "e2"}}));
  // A CR that ended the last command does not eat the next one's first byte.
  process.lines.clear();
  EXPECT_EQ(process.run({"printf", "x\\r"}), 0);
  EXPECT_EQ(process.run({"printf", "yz\\n"}), 0);
  EXPECT_EQ(process.lines, (StreamLines{{true, "x"}, {true, "yz"}}));
}

TEST(ProcessTest, StatusIsTheExitCodeAsASignedByte) {
  test::TempDir directory;
  const struct { Lines arguments; int status; std::string directory; } cases[] = {
      {{"/bin/sh", "-c", "exit 3"}, 3, ""}, {{"/bin/sh", "-c", "exit 200"}, -56, ""},
      {{"/bin/sh", "-c", "exit 255"}, -1, ""}, {{"/bin/sh", "-c", "kill -9 $$"}, -1, ""},
      {{"tw-no-such-program-anywhere"}, -1, ""}, {{}, -1, ""}, {{">", "only-a-redirection.txt"}, -1, ""},
      {{"pwd"}, -1, "/absent"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.arguments));
    RecordingProcess process;
    EXPECT_EQ(process.run(c.arguments, directory.path() + c.directory), c.status);
    EXPECT_TRUE(process.lines.empty());
  }
  RecordingProcess process;
  EXPECT_EQ(process.run({"pwd"}, directory.path()), 0);
  EXPECT_EQ(process.lines, (StreamLines{{true, directory.path()}}));
}

// Found as execvp finds a program, but never handed to a shell: a script
// without an interpreter line does not start.
TEST(ProcessTest, ProgramsAreFoundOnThePathOrFromTheWorkingDirectoryAndNeverRunByAShell) {
  test::TempDir directory;
  const auto executable = [&directory](const std::string& name, const std::string& content) {
    std::filesystem::permissions(directory.write(name, content), std::filesystem::perms::owner_all);
  };
  executable("bin/tw-on-path", "#!/bin/sh\necho on path \"$@\"\n");
  executable("work/tool", "#!/bin/sh\necho here\n");
  executable("work/no-interpreter-line", "echo run by a shell\n");
  directory.write("work/not-executable", "#!/bin/sh\necho no\n");
  const std::string path = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
  setenv("PATH", (directory.path() + "/bin:" + path).c_str(), 1);
  const struct { Lines arguments; int status; StreamLines lines; } cases[] = {
      {{"tw-on-path", "a  b"}, 0, {{true, "on path a  b"}}},
      {{"./tool"}, 0, {{true, "here"}}},
      {{"tool"}, -1, {}},  // a name without "/" is looked for on the PATH only
      {{"./no-interpreter-line"}, -1, {}},
      {{"./not-executable"}, -1, {}},
  };
  for (const auto& c : cases) {
    RecordingProcess process;
    EXPECT_EQ(process.run(c.arguments, directory.path() + "/work"), c.status) << c.arguments.front();
    EXPECT_EQ(process.lines, c.lines) << c.arguments.front();
  }
  setenv("PATH", path.c_str(), 1);
}

TEST(ProcessTest, LargeOutputOnBothStreamsAtOnceDoesNotBlock) {
  // Several pipe buffers' worth on each stream, alternating, so a runner that
  // read one stream to its end first would never finish.
  RecordingProcess process;
  EXPECT_EQ(process.run({"/bin/sh", "-c",
                                "for n in 1 2 3 4; do yes 0123456789abcdefghij | head -n 5000;"
                                "  yes ERR-0123456789abcdefghij | head -n 5000 >&2; done"}),
            0);
  EXPECT_EQ(process.linesOf(true), Lines(20000, "0123456789abcdefghij"));
  EXPECT_EQ(process.linesOf(false), Lines(20000, "ERR-0123456789abcdefghij"));
}

TEST(ProcessTest, RedirectionsWriteStreamsIntoFilesRelativeToTheWorkingDirectory) {
  test::TempDir directory;
  const std::string& dir = directory.path();
  auto run = [&dir](const Lines& arguments) {
    RecordingProcess process;
    EXPECT_EQ(process.run(arguments, dir), 0) << ::testing::PrintToString(arguments);
    return process.lines;
  };
  const char* bothStreams = "echo out1; sleep 0.2; echo err1 >&2; sleep 0.2; printf out2";
  EXPECT_EQ(run({"/bin/sh", "-c", bothStreams, "2>", "err.txt"}), (StreamLines{{true, "out1"}, {true, "out2"}}));
  EXPECT_EQ(test::readFile(dir + "/err.txt"), "err1\n");
  EXPECT_TRUE(run({"/bin/sh", "-c", bothStreams, "&>", "log.txt"}).empty());
  EXPECT_EQ(test::readFile(dir + "/log.txt"), "out1\nerr1\nout2\n");
  // Append; the same stream redirected twice keeps the first file.
  EXPECT_TRUE(run({"printf", "x\\n", "1>>", "log.txt", ">", "other.txt"}).empty());
  EXPECT_EQ(test::readFile(dir + "/log.txt"), "out1\nerr1\nout2\nx\n");
  EXPECT_FALSE(std::filesystem::exists(dir + "/other.txt"));
  // Truncation; the operators never reach the tool.
  EXPECT_TRUE(run({"printf", "%s;", "a", "b", "1>", "log.txt"}).empty());
  EXPECT_EQ(test::readFile(dir + "/log.txt"), "a;b;\n");
  // A capture file that cannot be opened leaves the stream printed.
  EXPECT_EQ(run({"printf", "x\\n", ">", "no/such/dir/out.txt"}), (StreamLines{{true, "x"}}));
  // Appending modes; a pair whose first element is no operator is skipped, a
  // stream already captured is not taken again, and an operator without a
  // file name ends the list. Text that merely holds an operator is kept.
  directory.write("e.txt", "e\n");
  directory.write("o.txt", "o\n");
  EXPECT_TRUE(run({"printf", "%s|", "a>b", "2>&1", ">o", "3>", "2>>", "e.txt", "junk", "j.txt", ">>", "o.txt", "&>",
                   "b.txt", "2>"})
                  .empty());
  EXPECT_EQ(test::readFile(dir + "/e.txt"), "e\n");
  EXPECT_EQ(test::readFile(dir + "/o.txt"), "o\na>b|2>&1|>o|3>|\n");
  EXPECT_FALSE(std::filesystem::exists(dir + "/j.txt") || std::filesystem::exists(dir + "/b.txt"));
}

}  // namespace
}  // namespace tidewater
