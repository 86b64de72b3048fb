#include "build/kilnmark_builder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "project/project_element.h"
#include "support/environment.h"
#include "support/fake_tool_log.h"
#include "support/temp_dir.h"

namespace tidewater {
namespace {

namespace fs = std::filesystem;
using test::FakeToolCall;
using test::ScopedVariable;

// Builders write into strings; the scratch directory holds the fake tools' bin directory and their call log.
class KilnmarkBuilderTest : public ::testing::Test {
 protected:
  KilnmarkBuilderTest() {
    for (const char* name : {"as", "ld", "rm", "cp", "chmod", "regwright", "docwright"}) {
      test::installFakeTool(bin_, name);
    }
  }
  std::unique_ptr<KilnmarkBuilder> makeBuilder(KilnmarkBuilderSettings settings = {}) {
    settings.binDirectory = bin_;
    settings.standardOutput = &out_;
    settings.standardError = &err_;
    return std::make_unique<KilnmarkBuilder>(std::move(settings));
  }
  std::string tool(const std::string& name) const { return bin_ + "/" + name; }
  std::string path(const std::string& name) const { return dir_.path() + "/" + name; }
  std::vector<FakeToolCall> calls() const { return test::readFakeToolLog(path("calls.log")); }

  test::TempDir dir_;
  std::string bin_ = path("bin");
  ScopedVariable logVariable_{test::kFakeToolLogVariable, path("calls.log")};
  std::ostringstream out_;
  std::ostringstream err_;
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
    // Redirections in the argument list capture the tool's output.
    EXPECT_TRUE(builder->runCommand(dir_.path(), {"/bin/sh", "-c", "echo x; echo y >&2", "2>", "err.txt"}, ""));
    EXPECT_EQ(test::readFile(path("err.txt")), "y\n");
    EXPECT_EQ(err_.str(), noStderr ? "" : "err\n") << noStderr;
    EXPECT_EQ(builder->errorCount(), 0);
    EXPECT_FALSE(builder->stopped());
  }
}

TEST_F(KilnmarkBuilderTest, MessageLinesAreIndentedByStepAndKeepOnlyPrintableText) {
  ProjectElement solution("solution");
  auto& project = solution.addChild(std::make_unique<ProjectElement>("project"));
  auto& file = project.addChild(std::make_unique<ProjectElement>("file"));
  auto builder = makeBuilder({.verbose = true});
  builder->beginStep(&file, "Compiling 'a.c'", "Common");  // unnamed project: no step line
  EXPECT_TRUE(builder->runCommand(dir_.path(), {"printf", "%s\\n", "tab\there"}, ""));
  project.setNodeName("app");
  builder->beginStep(&file, "inner", "Debug");
  builder->errorMessage("nested\x01 message\xc3\xa9");
  builder->upToDateMessage("'a.o' is up to date");
  builder->endStep(nullptr, "Common");
  builder->endStep(nullptr, "Common");
  builder->detailMessage("outside");
  EXPECT_EQ(out_.str(),
            "  printf %s\\n tabhere\n"
            "tab\there\n"  // the tool's own line is relayed unchanged
            "    inner from project 'app' in configuration 'Debug'\n"
            "    nested message\n"
            "    'a.o' is up to date\n"
            "outside\n");

  // A job number prefixes every line, without indentation.
  out_.str("");
  auto job = makeBuilder({.jobNumber = 3, .verbose = true});
  job->beginStep(nullptr, "step", "Common");
  EXPECT_TRUE(job->runCommand(dir_.path(), {"/bin/sh", "-c", "echo; echo x >&2"}, ""));
  job->errorMessage("tab\tkept");
  EXPECT_EQ(out_.str(), "3>/bin/sh -c echo; echo x >&2\n3>\n3>tab\tkept\n");
  EXPECT_EQ(err_.str(), "3>x\n");
}

TEST_F(KilnmarkBuilderTest, ShowOnlyPrintsAndRunsNothingButCreatesOutputDirectories) {
  // The printed lines are pinned through the driver's "-n" output.
  auto builder = makeBuilder({.verbose = true, .showOnly = true});
  EXPECT_TRUE(builder->runCommand(dir_.path(), {tool("as"), "-o", "out/sub/a.o", "a.s"}, "out/sub/a.o"));
  EXPECT_TRUE(fs::is_directory(path("out/sub")));
  EXPECT_FALSE(fs::exists(path("out/sub/a.o")));
  EXPECT_TRUE(calls().empty());
}

TEST_F(KilnmarkBuilderTest, FailedCommandsAreCountedAndTheirOutputRemoved) {
  ScopedVariable fail(test::kFakeToolFailVariable, "ld");
  auto builder = makeBuilder();
  // A relative output name is taken from the working directory.
  dir_.write("a.elf", "old");
  EXPECT_FALSE(builder->runCommand(dir_.path(), {tool("ld"), "-o", "x.elf"}, "a.elf"));
  EXPECT_FALSE(fs::exists(path("a.elf")));
  EXPECT_EQ(err_.str(), "ld: failing as asked\n");
  EXPECT_EQ(out_.str(), "");  // not a start failure
  EXPECT_EQ(builder->errorCount(), 1);
  EXPECT_TRUE(builder->status().failed);

  // A command that cannot start, or exits with 255, is reported as such.
  const std::string stale = dir_.write("stale.o", "old");
  EXPECT_FALSE(builder->runCommand(dir_.path(), {"tw-no-such-tool", "-o", stale}, stale));
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_FALSE(builder->runCommand(dir_.path(), {"/bin/sh", "-c", "exit 255"}, ""));
  EXPECT_EQ(out_.str(), "can't execute command \"tw-no-such-tool\"\ncan't execute command \"/bin/sh\"\n");
  EXPECT_EQ(builder->errorCount(), 3);

}

TEST_F(KilnmarkBuilderTest, BuiltinCommandNamesRunTheInstallationsPrograms) {
  auto builder = makeBuilder({.verbose = true});
  EXPECT_TRUE(builder->runCommand(dir_.path(), {"rm", "-f", "x.o", "cp", "rmdir", "RM", "cp ", "regwright"}, ""));
  EXPECT_TRUE(builder->runCommand(dir_.path(), {"chmod", "-w", "app.elf"}, ""));
  EXPECT_TRUE(builder->runCommand(dir_.path(), {"docwright", "Cp"}, ""));
  // Printed as written, run from the bin directory.
  EXPECT_EQ(out_.str(), "rm -f x.o cp rmdir RM cp  regwright\nchmod -w app.elf\ndocwright Cp\n");
  const std::vector<FakeToolCall> expected = {
      {"rm", {"-f", "x.o", tool("cp"), "rmdir", "RM", "cp ", tool("regwright")}},
      {"chmod", {"-w", "app.elf"}}, {"docwright", {"Cp"}}};
  EXPECT_EQ(calls(), expected);
}

TEST_F(KilnmarkBuilderTest, RemovalOfPlainPathsIsDoneInProcessWithRmsMessages) {
  auto builder = makeBuilder();
  const std::string kept = dir_.write("sub/kept.o", "x");
  for (const char* name : {"a.asm", "b.asm"}) dir_.write(name, "x");
  EXPECT_TRUE(builder->runCommand(dir_.path(), {"rm", "a.asm", path("b.asm")}, ""));
  EXPECT_FALSE(fs::exists(path("a.asm")) || fs::exists(path("b.asm")));
  EXPECT_EQ(builder->errorCount(), 0);
  // Every path is tried; each failure is reported as rm reports it.
  EXPECT_FALSE(builder->runCommand(dir_.path(), {"rm", "missing.asm", "sub", "sub/kept.o"}, ""));
  EXPECT_FALSE(fs::exists(kept));
  EXPECT_TRUE(fs::is_directory(path("sub")));
  EXPECT_EQ(err_.str(),
            "rm: cannot remove 'missing.asm': No such file or directory\nrm: cannot remove 'sub': Is a directory\n");
  EXPECT_EQ(builder->errorCount(), 1);
  EXPECT_TRUE(calls().empty());
}

}  // namespace
}  // namespace tidewater
