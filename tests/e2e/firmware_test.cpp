// Firmware for the sample boards, built by the installed driver from a board
// template and run in QEMU: the start-up code, the runtime libraries and the
// generated linker script together must give main a working C and C++
// environment, with GNU ld and with LLD.
#include <gtest/gtest.h>

#include <ostream>

#include "support/environment.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace tidewater {
namespace {

struct FirmwareCase {
  const char* board;  // the template name, also QEMU's machine name
  const char* linker;
  bool hardFloat;
};

void PrintTo(const FirmwareCase& firmware, std::ostream* out) {
  *out << firmware.board << " with " << firmware.linker;
}

constexpr FirmwareCase kCases[] = {
    {"lm3s6965evb", "ld", false},  {"lm3s6965evb", "lld", false}, {"mps2-an386", "ld", true},
    {"mps2-an386", "lld", true},   {"mps2-an505", "ld", false},   {"mps2-an505", "lld", false},
};

// Runs its start-up twice: the first pass changes the initialised and the
// zeroed data and re-enters reset_handler, so the second pass only sees the
// values main expects if the start-up copied and cleared them itself (QEMU
// hands over zeroed RAM, so a single pass would prove nothing). The mark
// that tells the passes apart sits at the stack's far end, which the
// start-up never writes.
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
    initialised = -1;
    word[0] = 'X';
    for (int i = 0; i < 32; ++i) zeroed[i] = i + 1;
    *mark = 0x5EC0AD;
    fflush(stdout);
    reset_handler();
  }
  char *block = malloc(200);
  printf("heap %d\n", block && block >= __heap_start__ && block + 200 <= __heap_end__);
  printf("stack %ld\n", (long)(__stack_end__ - __stack_start__));
  printf("double %.3f\n", 2.0 / 3.0 * 3.5);
  return 7;
}
)";

constexpr const char* kCProgramOutput =
    "pass 1: data 1234 copied, zeroed sum 0\n"
    "pass 2: data 1234 copied, zeroed sum 0\n"
    "heap 1\n"
    "stack 2048\n"
    "double 2.333\n";

constexpr const char* kCppProgram = R"(#include <stdio.h>

struct Counter {
  Counter() : value(41) { ++value; }
  int value;
};
Counter counter;

struct Shape {
  virtual ~Shape() = default;
  virtual double area() const = 0;
};
struct Square : Shape {
  explicit Square(double side) : side(side) {}
  double area() const override { return side * side; }
  double side;
};

int main() {
  const Square square(1.5);
  const Shape& shape = square;
  printf("constructed %d, area %.2f\n", counter.value, shape.area());
  try {
    throw 7;
  } catch (int thrown) {
    printf("caught %d\n", thrown);
  }
  return 0;
}
)";

class FirmwareTest : public ::testing::TestWithParam<FirmwareCase> {
 protected:
  // Builds one image with the board's template and the case's linker.
  void build(std::vector<std::string> options) {
    std::vector<std::string> arguments = {"cc", std::string("-y") + GetParam().board,
                                          std::string("-zarm_linker_variant=") + GetParam().linker};
    arguments.insert(arguments.end(), options.begin(), options.end());
    const auto result = test::runProgram(test::distDirectory() + "/bin/cc", arguments, dir.path());
    ASSERT_EQ(result.exitStatus, 0) << result.standardOutput << result.standardError;
  }

  // Runs the image with semihosting; a hung image is stopped after 20 s and
  // shows as exit status 124.
  test::ProgramResult run(const std::string& image) {
    return test::runProgram("/usr/bin/timeout",
                            {"timeout", "-k", "5", "20", "qemu-system-arm", "-M", GetParam().board,
                             "-nographic", "-monitor", "none", "-serial", "none", "-semihosting-config",
                             "enable=on,target=native", "-kernel", image},
                            dir.path());
  }

  std::string readelf(const std::string& option, const std::string& file) {
    const auto result = test::runProgram("/usr/bin/arm-none-eabi-readelf", {"readelf", option, file}, dir.path());
    EXPECT_EQ(result.exitStatus, 0) << result.standardError;
    return result.standardOutput;
  }

  test::TempDir dir;
};

TEST_P(FirmwareTest, StartupPreparesDataHeapAndStackForC) {
  dir.write("firmware.c", kCProgram);
  ASSERT_NO_FATAL_FAILURE(build({"-d__STACKSIZE__=2048", "-o", "firmware.elf", "firmware.c"}));
  const auto result = run("firmware.elf");
  EXPECT_EQ(result.standardOutput, kCProgramOutput) << result.standardError;
  EXPECT_EQ(result.exitStatus, 7) << "main's status must reach the host";
  // LLD keeps fewer attributes than ld; both keep the FPU's.
  const std::string attributes = readelf("-A", "firmware.elf");
  EXPECT_EQ(attributes.find("Tag_FP_arch: VFPv4-D16") != std::string::npos, GetParam().hardFloat) << attributes;
}

TEST_P(FirmwareTest, ConstructorsVirtualCallsAndExceptionsWorkInCpp) {
  dir.write("firmware.cpp", kCppProgram);
  ASSERT_NO_FATAL_FAILURE(build({"-exceptions", "-o", "firmware.elf", "firmware.cpp"}));
  const auto result = run("firmware.elf");
  EXPECT_EQ(result.standardOutput, "constructed 42, area 2.25\ncaught 7\n") << result.standardError;
  EXPECT_EQ(result.exitStatus, 0);
}

INSTANTIATE_TEST_SUITE_P(Boards, FirmwareTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<FirmwareCase>& info) {
                           std::string name = std::string(info.param.board) + "_" + info.param.linker;
                           for (char& c : name) {
                             if (c == '-') c = '_';
                           }
                           return name;
                         });

}  // namespace
}  // namespace tidewater
