#include "support/fake_tool_log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/environment.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace tidewater::test {
namespace {

std::string variable(const char* name, const std::string& value) { return std::string(name) + "=" + value; }

TEST(FakeToolTest, RecordsEachCallUnderItsNameAndWritesTheOutput) {
  TempDir dir;
  const std::string log = dir.path() + "/calls.log";
  const std::string cc1 = installFakeTool(dir.path() + "/bin", "cc1");
  const std::string as = installFakeTool(dir.path() + "/bin", "as");
  const std::vector<std::string> environment = {variable(kFakeToolLogVariable, log), kFakeToolFailVariable};

  ProgramResult compile = runProgram(cc1, {cc1, "-quiet", "", "a b.c", "-o", "a.s"}, dir.path(), environment);
  EXPECT_EQ(compile.exitStatus, 0);
  EXPECT_EQ(compile.standardError, "");
  ProgramResult assemble = runProgram(as, {"as", "a.s"}, dir.path(), environment);  // no -o: no output
  EXPECT_EQ(assemble.exitStatus, 0);

  EXPECT_EQ(readFile(dir.path() + "/a.s"), "cc1 output\n");
  EXPECT_EQ(readFakeToolLog(log), (std::vector<FakeToolCall>{
                                      {"cc1", {"-quiet", "", "a b.c", "-o", "a.s"}},
                                      {"as", {"a.s"}},
                                  }));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3);  // bin, log, a.s
}

TEST(FakeToolTest, FailsWhenItsNameIsListed) {
  TempDir dir;
  const std::string log = dir.path() + "/calls.log";
  const std::string ld = installFakeTool(dir.path(), "ld");
  struct Case {
    const char* failList;
    const char* status;
    int expectedStatus;
  };
  const Case cases[] = {
      {"ld", "", 1},       {"cc1;ld", "7", 7}, {"*", "3", 3},
      {"cc1;as", "7", 0},  {"", "", 0},        {"l", "5", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("fail list '") + c.failList + "' status '" + c.status + "'");
    ProgramResult result =
        runProgram(ld, {"ld", "-o", "app.elf", "a.o"}, dir.path(),
                   {variable(kFakeToolLogVariable, log), variable(kFakeToolFailVariable, c.failList),
                    variable(kFakeToolStatusVariable, c.status)});
    EXPECT_EQ(result.exitStatus, c.expectedStatus);
    EXPECT_EQ(result.standardError, c.expectedStatus != 0 ? "ld: failing as asked\n" : "");
    // The output is written either way, so that removal of a failed
    // command's output can be seen.
    EXPECT_EQ(readFile(dir.path() + "/app.elf"), "ld output\n");
    std::filesystem::remove(dir.path() + "/app.elf");
  }
  EXPECT_EQ(readFakeToolLog(log).size(), std::size(cases));
}

TEST(FakeToolTest, WithoutALogItOnlyWritesItsOutput) {
  TempDir dir;
  const std::string objcopy = installFakeTool(dir.path(), "objcopy");
  ProgramResult result = runProgram(objcopy, {"objcopy", "-o", "out.bin"}, dir.path(),
                                    {kFakeToolLogVariable, kFakeToolFailVariable});
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(readFile(dir.path() + "/out.bin"), "objcopy output\n");
  EXPECT_TRUE(readFakeToolLog(dir.path() + "/calls.log").empty());
}

}  // namespace
}  // namespace tidewater::test
