#include "build/kilnmark_builder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "build/builtin_commands.h"
#include "project/project_element.h"
#include "support/environment.h"
#include "support/fake_tool_log.h"
#include "support/temp_dir.h"

namespace tidewater {
namespace {

namespace fs = std::filesystem;
using test::FakeToolCall;

using test::ScopedVariable;

// A builder writing into strings, with a scratch directory holding a bin
// directory of fake tools and their call log.
class KilnmarkBuilderTest : public ::testing::Test {
 protected:
  KilnmarkBuilderTest()
      : bin_(dir_.path() + "/bin"), log_(dir_.path() + "/calls.log"), logVariable_(test::kFakeToolLogVariable, log_) {
    for (const char* tool : {"cc1", "as", "ld", "rm", "cp", "chmod", "regwright", "docwright"}) {
      test::installFakeTool(bin_, tool);
    }
  }

  std::unique_ptr<KilnmarkBuilder> makeBuilder(KilnmarkBuilderSettings settings = {}) {
    settings.binDirectory = bin_;
    settings.standardOutput = &out_;
    settings.standardError = &err_;
    auto builder = std::make_unique<KilnmarkBuilder>(std::move(settings));
    builder->attachStatus(&status_);
    return builder;
  }

  std::string tool(const std::string& name) const { return bin_ + "/" + name; }
  std::vector<FakeToolCall> calls() const { return test::readFakeToolLog(log_); }

  test::TempDir dir_;
  std::string bin_;
  std::string log_;
  ScopedVariable logVariable_;
  std::ostringstream out_;
  std::ostringstream err_;
  BuildStatus status_;
};

TEST_F(KilnmarkBuilderTest, RelaysToolLinesToTheirStreamsOrAllToStandardOutput) {
  const char* script = "echo out; sleep 0.2; echo err >&2; printf 'tail'";
  for (const bool noStderr : {false, true}) {
    out_.str("");
    err_.str("");
    auto builder = makeBuilder({.outputToStandardOutput = noStderr});
    EXPECT_TRUE(builder->runCommand(dir_.path(), {"/bin/sh", "-c", script}, ""));
    EXPECT_EQ(out_.str(), noStderr ? "out\nerr\ntail\n" : "out\ntail\n") << noStderr;
    EXPECT_EQ(err_.str(), noStderr ? "" : "err\n") << noStderr;
    EXPECT_EQ(builder->errorCount(), 0);
  }
  EXPECT_FALSE(status_.failed);
}

TEST_F(KilnmarkBuilderTest, VerboseCommandLinesAreIndentedByStepAndKeepOnlyPrintableText) {
  auto builder = makeBuilder({.verbose = true});
  builder->beginStep(nullptr, "Compiling 'a.c'", "Common");  // no project: no step line
  EXPECT_EQ(builder->indentation(), 2);
  EXPECT_TRUE(builder->runCommand(dir_.path(), {"printf", "%s\\n", "tab\there"}, ""));
  builder->beginStep(nullptr, "inner", "Common");
  builder->errorMessage("nested\x01 message\xc3\xa9");
  builder->endStep(nullptr, "Common");
  builder->endStep(nullptr, "Common");
  builder->informationMessage("outside");
  EXPECT_EQ(out_.str(),
            "  printf %s\\n tabhere\n"
            "tab\there\n"  // the tool's own line is relayed unchanged
            "    nested message\n"
            "outside\n");
  EXPECT_EQ(builder->indentation(), 0);
}

TEST_F(KilnmarkBuilderTest, BeginStepNamesANamedProjectOnly) {
  ProjectElement solution("solution");
  auto& project = solution.addChild(std::make_unique<ProjectElement>("project"));
  auto& file = project.addChild(std::make_unique<ProjectElement>("file"));
  auto builder = makeBuilder();

  builder->beginStep(&file, "Compiling 'a.c'", "Common");  // unnamed project
  builder->endStep(&file, "Common");
  project.setNodeName("app");
  builder->beginStep(&file, "Compiling 'a.c'", "Debug");
  builder->upToDateMessage("'a.o' is up to date");
  builder->detailMessage("a.c does not exist.");
  EXPECT_EQ(out_.str(),
            "  Compiling 'a.c' from project 'app' in configuration 'Debug'\n"
            "  'a.o' is up to date\n"
            "  a.c does not exist.\n");
}

TEST_F(KilnmarkBuilderTest, JobNumberPrefixesEveryLineWithoutIndentation) {
  auto builder = makeBuilder({.jobNumber = 3, .verbose = true});
  builder->beginStep(nullptr, "step", "Common");
  EXPECT_TRUE(builder->runCommand(dir_.path(), {"/bin/sh", "-c", "echo; echo x >&2"}, ""));
  builder->errorMessage("tab\tkept");
  EXPECT_EQ(out_.str(), "3>/bin/sh -c echo; echo x >&2\n3>\n3>tab\tkept\n");
  EXPECT_EQ(err_.str(), "3>x\n");
}

TEST_F(KilnmarkBuilderTest, ShowOnlyPrintsAndRunsNothingButCreatesOutputDirectories) {
  auto builder = makeBuilder({.verbose = true, .showOnly = true});
  builder->beginStep(nullptr, "Compiling", "Common");
  EXPECT_TRUE(builder->runCommand(dir_.path(), {"cc1", "-o", "out/sub/a.s", "a.c"}, "out/sub/a.s"));
  EXPECT_EQ(out_.str(), "  cc1 -o out/sub/a.s a.c\n");
  EXPECT_TRUE(fs::is_directory(dir_.path() + "/out/sub"));
  EXPECT_FALSE(fs::exists(dir_.path() + "/out/sub/a.s"));
  EXPECT_TRUE(calls().empty());
  EXPECT_EQ(builder->errorCount(), 0);
}

TEST_F(KilnmarkBuilderTest, RunsToolsInTheWorkingDirectoryAndCreatesTheOutputDirectory) {
  auto builder = makeBuilder();
  EXPECT_TRUE(builder->runCommand(dir_.path(), {tool("cc1"), "-o", "obj/a.s", "a.c"}, dir_.path() + "/obj/a.s"));
  EXPECT_EQ(test::readFile(dir_.path() + "/obj/a.s"), "cc1 output\n");
  EXPECT_EQ(calls(), (std::vector<FakeToolCall>{{"cc1", {"-o", "obj/a.s", "a.c"}}}));
}

TEST_F(KilnmarkBuilderTest, FailedCommandIsCountedAndItsOutputRemoved) {
  ScopedVariable fail(test::kFakeToolFailVariable, "as");
  ScopedVariable status(test::kFakeToolStatusVariable, "2");
  auto builder = makeBuilder();
  // The fake tool writes its output before failing; a relative output name
  // is taken from the working directory.
  EXPECT_FALSE(builder->runCommand(dir_.path(), {tool("as"), "-o", "a.o", "a.s"}, "a.o"));
  EXPECT_FALSE(fs::exists(dir_.path() + "/a.o"));
  EXPECT_EQ(err_.str(), "as: failing as asked\n");
  EXPECT_EQ(out_.str(), "");  // not a start failure
  EXPECT_EQ(builder->errorCount(), 1);
  EXPECT_TRUE(status_.failed);

  EXPECT_TRUE(builder->runCommand(dir_.path(), {tool("cc1"), "-o", "b.s"}, "b.s"));
  EXPECT_TRUE(fs::exists(dir_.path() + "/b.s"));
  EXPECT_EQ(builder->errorCount(), 1);
}

TEST_F(KilnmarkBuilderTest, CommandThatCannotStartIsReportedCountedAndItsOutputRemoved) {
  const std::string output = dir_.write("stale.o", "old");
  auto builder = makeBuilder();
  EXPECT_FALSE(builder->runCommand(dir_.path(), {"tw-no-such-tool", "-o", output}, output));
  EXPECT_EQ(out_.str(), "can't execute command \"tw-no-such-tool\"\n");
  EXPECT_FALSE(fs::exists(output));
  EXPECT_EQ(builder->errorCount(), 1);
  EXPECT_TRUE(status_.failed);

  // Exit code 255 reads as "could not start" too.
  EXPECT_FALSE(builder->runCommand(dir_.path(), {"/bin/sh", "-c", "exit 255"}, ""));
  EXPECT_EQ(out_.str(), "can't execute command \"tw-no-such-tool\"\ncan't execute command \"/bin/sh\"\n");
  EXPECT_EQ(builder->errorCount(), 2);
}

TEST_F(KilnmarkBuilderTest, BuiltinCommandNamesRunTheInstallationsPrograms) {
  auto builder = makeBuilder({.verbose = true});
  EXPECT_TRUE(builder->runCommand(dir_.path(), {"rm", "-f", "x.o", "cp", "rmdir", "RM", "regwright"}, ""));
  EXPECT_TRUE(builder->runCommand(dir_.path(), {"chmod", "-w", "app.elf"}, ""));
  EXPECT_TRUE(builder->runCommand(dir_.path(), {"docwright", "cp"}, ""));
  // Printed as written, run from the bin directory.
  EXPECT_EQ(out_.str(), "rm -f x.o cp rmdir RM regwright\nchmod -w app.elf\ndocwright cp\n");
  EXPECT_EQ(calls(), (std::vector<FakeToolCall>{
                         {"rm", {"-f", "x.o", tool("cp"), "rmdir", "RM", tool("regwright")}},
                         {"chmod", {"-w", "app.elf"}},
                         {"docwright", {tool("cp")}},
                     }));
}

TEST(BuiltinCommandsTest, MapsExactNamesOnlyAndNothingWithoutABinDirectory) {
  std::vector<std::string> arguments = {"cp", "a", "cp ", "Cp", "/bin/rm", "chmod", "docwright", "regwright"};
  mapBuiltinCommands(arguments, "/opt/tw/bin");
  EXPECT_EQ(arguments, (std::vector<std::string>{"/opt/tw/bin/cp", "a", "cp ", "Cp", "/bin/rm", "/opt/tw/bin/chmod",
                                                 "/opt/tw/bin/docwright", "/opt/tw/bin/regwright"}));
  std::vector<std::string> unmapped = {"rm", "x"};
  mapBuiltinCommands(unmapped, "");
  EXPECT_EQ(unmapped, (std::vector<std::string>{"rm", "x"}));
}

TEST_F(KilnmarkBuilderTest, RedirectionsInTheArgumentListCaptureToolOutput) {
  auto builder = makeBuilder({.verbose = true});
  EXPECT_TRUE(builder->runCommand(dir_.path(), {"/bin/sh", "-c", "echo out; echo err >&2", "2>", "err.txt"}, ""));
  EXPECT_EQ(out_.str(), "/bin/sh -c echo out; echo err >&2 2> err.txt\nout\n");
  EXPECT_EQ(err_.str(), "");
  EXPECT_EQ(test::readFile(dir_.path() + "/err.txt"), "err\n");
}

TEST_F(KilnmarkBuilderTest, CommandStartedWithoutWaitingIsCountedWhenPolledToItsEnd) {
  ScopedVariable fail(test::kFakeToolFailVariable, "*");
  auto builder = makeBuilder();
  EXPECT_TRUE(builder->pollCommand());  // nothing started: finished, nothing counted
  EXPECT_TRUE(builder->startCommand(dir_.path(), {tool("ld"), "-o", "app.elf"}, "app.elf"));
  while (!builder->pollCommand()) {
  }
  EXPECT_EQ(builder->errorCount(), 1);
  EXPECT_TRUE(status_.failed);
  EXPECT_FALSE(fs::exists(dir_.path() + "/app.elf"));
  EXPECT_TRUE(builder->pollCommand());
  EXPECT_EQ(builder->errorCount(), 1);

  // The next command first lets the pending one end and counts it.
  EXPECT_TRUE(builder->startCommand(dir_.path(), {tool("ld"), "-o", "second.elf"}, "second.elf"));
  EXPECT_TRUE(builder->runCommand(dir_.path(), {"true"}, ""));
  EXPECT_EQ(builder->errorCount(), 2);
  EXPECT_FALSE(fs::exists(dir_.path() + "/second.elf"));
  EXPECT_EQ(err_.str(), "ld: failing as asked\nld: failing as asked\n");
}

TEST_F(KilnmarkBuilderTest, WaitForOutputReportsATimeOutOnlyWhileACommandRuns) {
  auto builder = makeBuilder();
  Builder* builders[] = {builder.get()};
  builder->waitForOutput(builders);  // nothing running: returns at once
  builder->nodeStarted(nullptr, "Common");
  EXPECT_EQ(out_.str(), "");

  EXPECT_TRUE(builder->startCommand(dir_.path(), {"sleep", "1.5"}, ""));
  builder->waitForOutput(builders);
  EXPECT_EQ(out_.str(), "poll timeout\n");
  while (!builder->pollCommand()) {
  }
  EXPECT_EQ(builder->errorCount(), 0);

  auto stopped = makeBuilder({.runningAllowed = false});
  EXPECT_TRUE(stopped->startCommand(dir_.path(), {"sleep", "0.2"}, ""));
  Builder* stoppedBuilders[] = {stopped.get()};
  stopped->waitForOutput(stoppedBuilders);
  EXPECT_EQ(out_.str(), "poll timeout\n");
  while (!stopped->pollCommand()) {
  }
}

TEST_F(KilnmarkBuilderTest, RemovalOfPlainPathsIsDoneInProcessWithRmsMessages) {
  auto builder = makeBuilder({.verbose = true});
  const std::string kept = dir_.write("sub/kept.o", "x");
  dir_.write("a.asm", "x");
  dir_.write("b.asm", "x");
  EXPECT_TRUE(builder->runCommand(dir_.path(), {"rm", "a.asm", dir_.path() + "/b.asm"}, ""));
  EXPECT_FALSE(std::filesystem::exists(dir_.path() + "/a.asm"));
  EXPECT_FALSE(std::filesystem::exists(dir_.path() + "/b.asm"));
  EXPECT_EQ(builder->errorCount(), 0);

  // Every path is tried; each failure is reported as rm reports it.
  EXPECT_FALSE(builder->runCommand(dir_.path(), {"rm", "missing.asm", "sub", "sub/kept.o"}, ""));
  EXPECT_FALSE(std::filesystem::exists(kept));
  EXPECT_TRUE(std::filesystem::is_directory(dir_.path() + "/sub"));
  EXPECT_EQ(err_.str(),
            "rm: cannot remove 'missing.asm': No such file or directory\nrm: cannot remove 'sub': Is a directory\n");
  EXPECT_EQ(builder->errorCount(), 1);
  EXPECT_TRUE(calls().empty());
}

}  // namespace
}  // namespace tidewater
