// Firmware for the sample boards, built by the installed driver from a board
// template and run in QEMU: start-up code, runtime libraries and generated
// linker script must give main a working C and C++ environment.
#include "e2e/e2e_fixture.h"

namespace tidewater::test {
namespace {

// Runs its start-up twice: the first pass spoils the initialised and zeroed
// data and re-enters reset_handler, so the second pass sees the expected
// values only if the start-up copied and cleared them (QEMU's RAM starts
// zeroed). The pass mark sits at the stack's far end, never written by it.
constexpr const char* kCProgram = R"(#include <stdio.h>
#include <stdlib.h>
extern char __stack_start__[], __stack_end__[], __heap_start__[], __heap_end__[];
void reset_handler(void);
int initialised = 1234;
static char word[] = "copied";
int zeroed[32];

int main(void) {
  volatile unsigned *const mark = (volatile unsigned *)__stack_start__;
  const int second = *mark == 0x5EC0AD;
  int sum = 0;
  for (int i = 0; i < 32; ++i) sum += zeroed[i];
  printf("pass %d: data %d %s, zeroed sum %d\n", second + 1, initialised, word, sum);
  if (!second) {
    initialised = -1, word[0] = 'X', *mark = 0x5EC0AD;
    for (int i = 0; i < 32; ++i) zeroed[i] = i + 1;
    fflush(stdout);
    reset_handler();
  }
  char *block = malloc(200);
  printf("heap %d\nstack %ld\ndouble %.3f\n", block && block >= __heap_start__ && block + 200 <= __heap_end__,
         (long)(__stack_end__ - __stack_start__), 2.0 / 3.0 * 3.5);
  return 7;
}
)";
constexpr const char* kCProgramOutput =
    "pass 1: data 1234 copied, zeroed sum 0\npass 2: data 1234 copied, zeroed sum 0\nheap 1\nstack 2048\n"
    "double 2.333\n";

constexpr const char* kCppProgram = R"(#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>
struct Counter { Counter() : value(41) { ++value; } int value; } counter;
struct Shape { virtual ~Shape() = default; virtual double area() const = 0; };
struct Square : Shape {
  explicit Square(double side) : side(side) {}
  double area() const override { return side * side; }
  double side;
};

int main() {
  const Square square(1.5);
  const Shape& shape = square;
  std::printf("constructed %d, area %.2f, cast %d\n", counter.value, shape.area(),
              dynamic_cast<const Square*>(&shape) != 0);
  try { throw 7; } catch (int thrown) { std::printf("caught %d\n", thrown); }
  std::vector<int> values{3, 1, 2};
  std::sort(values.begin(), values.end());
  const auto name = std::make_shared<std::string>("square");
  std::printf("sorted %d%d%d, %s of %u, used %ld\n", values[0], values[1], values[2], name->c_str(),
              static_cast<unsigned>(name->size()), name.use_count());
  return 0;
}
)";

using FirmwareTest = E2ETest;

// Clang's objects carry .note.GNU-stack and the runtime's do not: GNU ld
// links them with --fatal-warnings all the same (LLD does in the real-builds
// test).
TEST_F(FirmwareTest, EveryBoardRunsCAndCppWithEitherLinkerAndFamily) {
  dir.write("firmware.c", kCProgram);
  dir.write("firmware.cpp", kCppProgram);
  const struct { Strings options; const char* output; int status; } programs[] = {
      {{"-d__STACKSIZE__=2048", "firmware.c"}, kCProgramOutput, 7},
      {{"-exceptions", "-rtti", "-std=gnu++14", "firmware.cpp"},
       "constructed 42, area 2.25, cast 1\ncaught 7\nsorted 123, square of 6, used 1\n", 0}};
  // Each board with the FPU architecture its code is built for ("" for none).
  const std::pair<std::string, std::string> boards[] = {{"lm3s6965evb", ""},
                                                        {"mps2-an386", "VFPv4-D16"},
                                                        {"mps2-an505", ""},
                                                        {"microbit", ""},
                                                        {"mps2-an500", "FPv5/FP-D16 for ARMv8"}};
  for (const auto& [board, fpArchitecture] : boards) {
    for (const auto& [family, linker] : {std::pair{"", "ld"}, {"", "lld"}, {"-clang", "ld"}}) {
      for (const auto& program : programs) {
        SCOPED_TRACE(board + " " + family + " " + linker + " " + program.options.back());
        const Strings options = Strings{"-y" + board, "-zarm_linker_variant=" + std::string(linker), "-o", "f.elf"} +
                                (*family ? Strings{family} : Strings{}) + program.options;
        const auto built = cc(options);
        ASSERT_EQ(built.exitStatus, 0) << built.standardOutput << built.standardError;
        EXPECT_EQ(readelf({"-p", ".comment", "f.elf"}).find("clang version") != std::string::npos, *family != 0);
        const auto ran = qemu(board, "f.elf");
        EXPECT_EQ(ran.standardOutput, program.output) << ran.standardError;
        EXPECT_EQ(ran.exitStatus, program.status);
        // Only the boards with an FPU build for it; LLD keeps that attribute too.
        const std::string attributes = readelf({"-A", "f.elf"});
        if (fpArchitecture.empty()) EXPECT_EQ(attributes.find("Tag_FP_arch:"), std::string::npos);
        else EXPECT_TRUE(contains(attributes, "Tag_FP_arch: " + fpArchitecture + "\n"));
      }
    }
  }
}

TEST_F(FirmwareTest, TheSelectedPropertyGroupEntriesDecideWhatTheFirmwarePrints) {
  dir.write("board.c", R"(#include <stdio.h>
int main(void) {
#ifdef TRACE
  printf("trace on\n");
#endif
  printf("%s uart 0x%08X led 0x%08X\n", BOARD_NAME, (unsigned)UART_BASE, (unsigned)LED_GPIO_BASE);
  return 0;
}
)");
  const std::string groups = "-zproperty_groups_file_path=" + distDirectory() + "/targets/property_groups.xml";
  // The first board is the file's default entry; entry names match in any case.
  const std::pair<Strings, std::string> cases[] = {
      {{"-ylm3s6965evb", groups}, "lm3s6965evb uart 0x4000C000 led 0x40025000\n"},
      {{"-ymps2-an386", groups, "-zBoard=MPS2-an386", "-zTrace=on"},
       "trace on\nmps2-an386 uart 0x40004000 led 0x40028000\n"},
  };
  for (const auto& [options, output] : cases) {
    SCOPED_TRACE(joined(options));
    const auto built = cc(options + Strings{"-DUART_BASE=$(UartBase)", "-o", "board.elf", "board.c"});
    ASSERT_EQ(built.exitStatus, 0) << built.standardOutput << built.standardError;
    const auto ran = qemu(options[0].substr(2), "board.elf");
    EXPECT_EQ(ran.standardOutput, output) << ran.standardError;
    EXPECT_EQ(ran.exitStatus, 0);
  }
}

}  // namespace
}  // namespace tidewater::test
