// Property-group files through the installed driver: an entry chosen with
// -z<group>=<entry> must reach the compile and link lines, and a program
// built for a QEMU board must see the entry's definitions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/environment.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace tidewater {
namespace {

constexpr const char* kProgram = R"(#include <stdio.h>
int main(void) {
#ifdef TRACE
  printf("trace on\n");
#endif
  printf("%s uart 0x%08X led 0x%08X\n", BOARD_NAME, (unsigned)UART_BASE, (unsigned)LED_GPIO_BASE);
  return 0;
}
)";

struct BoardCase {
  const char* board;
  const char* trace;
  const char* output;
};

class PropertyGroupsTest : public ::testing::Test {
 protected:
  test::ProgramResult cc(std::vector<std::string> options) {
    options.insert(options.begin(), "cc");
    return test::runProgram(test::distDirectory() + "/bin/cc", options, dir.path());
  }

  static std::string sampleFile() { return "-zproperty_groups_file_path=" + test::distDirectory() + "/targets/property_groups.xml"; }

  test::TempDir dir;
};

TEST_F(PropertyGroupsTest, TheSelectedBoardEntryDecidesWhatTheFirmwarePrints) {
  dir.write("board.c", kProgram);
  const BoardCase cases[] = {
      {"lm3s6965evb", "Off", "lm3s6965evb uart 0x4000C000 led 0x40025000\n"},
      {"mps2-an386", "On", "trace on\nmps2-an386 uart 0x40004000 led 0x40028000\n"},
  };
  for (const BoardCase& c : cases) {
    const auto built = cc({std::string("-y") + c.board, sampleFile(), std::string("-zBoard=") + c.board,
                           std::string("-zTrace=") + c.trace, "-DUART_BASE=$(UartBase)", "-o", "board.elf",
                           "board.c"});
    ASSERT_EQ(built.exitStatus, 0) << c.board << built.standardOutput << built.standardError;
    const auto ran = test::runProgram("/usr/bin/timeout",
                                      {"timeout", "-k", "5", "20", "qemu-system-arm", "-M", c.board, "-nographic",
                                       "-monitor", "none", "-serial", "none", "-semihosting-config",
                                       "enable=on,target=native", "-kernel", "board.elf"},
                                      dir.path());
    EXPECT_EQ(ran.standardOutput, c.output) << c.board << ran.standardError;
    EXPECT_EQ(ran.exitStatus, 0) << c.board;
  }
}

TEST_F(PropertyGroupsTest, EntryIncludesDefinesAndLibrariesReachTheCommandLines) {
  dir.write("groups.xml", R"(<propertyGroups>
  <group name="Target" default="M3"><groupEntry name="M3"/><groupEntry name="M4"/></group>
  <group name="Flavour" default="plain">
    <groupEntry name="plain"/>
    <groupEntry name="extra">
      <cinclude value="extra/include"/>
      <cdefine name="EXTRA" value="2"/>
      <library name="libextra.a"/>
      <library name="missing.a"/>
      <library name="libdebug.a" configuration="Debug"/>
    </groupEntry>
  </group>
</propertyGroups>)");
  dir.write("libextra.a", "!<arch>\n");
  dir.write("main.c", "int main(void) { return 0; }\n");
  const auto shown = cc({"-ylm3s6965evb", "-zproperty_groups_file_path=groups.xml", "-zFlavour=EXTRA", "-zTarget=m4",
                         "-n", "-o", "app.elf", "main.c"});
  ASSERT_EQ(shown.exitStatus, 0) << shown.standardOutput << shown.standardError;
  const std::string& out = shown.standardOutput;
  for (const char* expected : {" -Iextra/include ", " -D__TARGET_PROCESSOR=M4 ", " -DEXTRA=2 ", "/libextra.a "}) {
    EXPECT_NE(out.find(expected), std::string::npos) << expected << " in\n" << out;
  }
  EXPECT_EQ(out.find("libdebug.a"), std::string::npos) << out;
  EXPECT_EQ(out.find("missing.a "), std::string::npos) << "only existing libraries are linked\n" << out;
}

TEST_F(PropertyGroupsTest, GroupOptionsAreCheckedAgainstTheFileNamedBeforeThem) {
  struct Case {
    std::vector<std::string> options;
    const char* error;
  };
  const Case cases[] = {
      {{"-zBoard=mps2-an386", sampleFile()}, "cc: error: Board=mps2-an386 unable to find property\n"},
      {{sampleFile(), "-zBoard=nowhere"}, "cc: error: nowhere unsupported - choose from:\nlm3s6965evb\nmps2-an386\n"},
      {{"-zproperty_groups_file_path=absent.xml", "-zBoard=x"}, "cc: error: Board=x unable to find property\n"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> options = c.options;
    options.insert(options.end(), {"-c", "a.c"});
    const auto result = cc(options);
    EXPECT_EQ(result.exitStatus, 1) << c.error;
    EXPECT_NE(result.standardError.find(c.error), std::string::npos) << result.standardError;
  }
}

}  // namespace
}  // namespace tidewater
