// The runtime kit as a program sees it: the formatter the -printf=/-scanf=
// options choose is the only one linked, sections placed to run in RAM are
// copied there and zeroed ones cleared, CMSIS-named handlers take their
// exceptions, and the new boards run C and C++ firmware.
#include "e2e/e2e_fixture.h"

namespace tidewater::test {
namespace {

class RuntimeKitTest : public E2ETest {
 protected:
  /// nm's output for an image; a failing nm fails the test.
  std::string nm(const std::string& image) {
    const auto result = runProgram("/usr/bin/arm-none-eabi-nm", {"nm", image}, dir.path());
    EXPECT_EQ(result.exitStatus, 0) << result.standardError;
    return result.standardOutput;
  }

  /// The size of an image's code and constants, as arm-none-eabi-size counts "text".
  long codeSize(const std::string& image) {
    const auto result = runProgram("/usr/bin/arm-none-eabi-size", {"size", image}, dir.path());
    EXPECT_EQ(result.exitStatus, 0) << result.standardError;
    const auto line = result.standardOutput.find('\n');
    return line == std::string::npos ? -1 : std::stol(result.standardOutput.substr(line + 1));
  }

  /// Builds "options" into f.elf and runs it on "board"; the output, or a failure note.
  std::string buildAndRun(const std::string& board, const Strings& options) {
    const auto built = cc(Strings{"-y" + board, "-o", "f.elf"} + options);
    if (built.exitStatus != 0) return "build failed: " + built.standardOutput + built.standardError;
    const auto ran = qemu(board, "f.elf");
    if (ran.exitStatus != 0) return "status " + std::to_string(ran.exitStatus) + ": " + ran.standardOutput;
    return ran.standardOutput;
  }
};

/// Whether nm lists "symbol" as defined in the image.
bool defines(const std::string& symbols, const std::string& symbol) {
  for (const char* type : {" T ", " W ", " t "}) {
    if (symbols.find(type + symbol + "\n") != std::string::npos) return true;
  }
  return false;
}

constexpr const char* kFormattedIO = R"(#include <stdio.h>
int main(void) {
  char text[32];
  const int length = snprintf(text, 8, "%d-%s", 123456, "abcdef");
  printf("snprintf %d [%s]\n", length, text);
  sprintf(text, "%5d|%-4x|%ld", 42, 255u, 70000L);
  puts(text);
  fprintf(stdout, "fprintf %c%c\n", 'o', 'k');
  int a = 0, b = 0;
  char word[16];
  const int got = sscanf("17 -4 word", "%d %d %15s", &a, &b, word);
  printf("sscanf %d %d %d %s\n", got, a, b, word);
#ifdef FLOAT_PRINTF
  printf("%.3f\n", 2.0 / 3.0);
#endif
#ifdef FLOAT_SCANF
  double x = 0;
  sscanf("2.25", "%lf", &x);
  printf("%d\n", (int)(x * 4));
#endif
  return 0;
}
)";

TEST_F(RuntimeKitTest, EachFormattedIOVariantLinksOnlyItsFormatter) {
  dir.write("io.c", kFormattedIO);
  const std::string common = "snprintf 13 [123456-]\n   42|ff  |70000\nfprintf ok\nsscanf 3 17 -4 word\n";
  const Strings noFloatScanf{"-zlinker_scanf_fp_enabled=No"};
  // The small C library's single formatter converts floating point only
  // with its conversion module.
  const Strings small{"-zarm_library_optimization=Small"};
  const struct { std::string board; Strings options; bool floatPrintf, floatScanf; } cases[] = {
      {"lm3s6965evb", {}, true, true},
      {"lm3s6965evb", Strings{"-printf=i", "-scanf=i"} + noFloatScanf, false, false},
      {"lm3s6965evb", Strings{"-printf=ipw", "-scanf=ic"} + noFloatScanf, false, false},
      {"lm3s6965evb", Strings{"-printf=llp", "-scanf=ll"} + noFloatScanf, false, false},
      {"lm3s6965evb", Strings{"-zlinker_printf_fp_enabled=No", "-zlinker_printf_fmt_level=long",
                              "-zlinker_scanf_fmt_level=long"} + noFloatScanf, false, false},
      {"lm3s6965evb", {"-printf=f", "-scanf=d"}, true, true},
      {"lm3s6965evb", Strings{"-printf=dllw"} + noFloatScanf, true, false},
      {"lm3s6965evb", {"-printf=i", "-scanf=dllc"}, false, true},
      {"microbit", small, true, true},
      {"microbit", small + Strings{"-printf=ip", "-scanf=i"} + noFloatScanf, false, false},
      {"microbit", small + Strings{"-printf=f"} + noFloatScanf, true, false},
  };
  for (const auto& [board, options, floatPrintf, floatScanf] : cases) {
    SCOPED_TRACE(board + " " + joined(options));
    Strings defines_;
    if (floatPrintf) defines_.push_back("-DFLOAT_PRINTF");
    if (floatScanf) defines_.push_back("-DFLOAT_SCANF");
    EXPECT_EQ(buildAndRun(board, options + defines_ + Strings{"io.c"}),
              common + (floatPrintf ? "0.667\n" : "") + (floatScanf ? "9\n" : ""));
    const std::string symbols = nm("f.elf");
    if (board == "microbit") {
      EXPECT_EQ(defines(symbols, "_printf_float"), floatPrintf);
      EXPECT_EQ(defines(symbols, "_scanf_float"), floatScanf);
    } else {
      EXPECT_EQ(defines(symbols, "_vfprintf_r"), floatPrintf);
      EXPECT_EQ(defines(symbols, "_vfscanf_r"), floatScanf);
      EXPECT_TRUE(defines(symbols, floatPrintf ? "__vfprintf_floating" : "__vfprintf_integer"));
    }
  }
}

// The micro:bit keeps the default 1 KB heap; the full C library's allocator
// would otherwise ask for 4 KB steps once its first block is used up.
TEST_F(RuntimeKitTest, OneKilobyteHeapServesFloatingPointPrintfInEitherCLibrary) {
  dir.write("heap.c", R"(#include <stdio.h>
#include <stdlib.h>
extern char __heap_start__[], __heap_end__[];
int main(void) {
  char *block = malloc(200);
  printf("%ld %d %f %.3e\n", (long)(__heap_end__ - __heap_start__), block != 0, 3.14159265, 12345.678);
  return 0;
}
)");
  for (const Strings& library : {Strings{}, Strings{"-zarm_library_optimization=Small"}}) {
    SCOPED_TRACE(joined(library));
    EXPECT_EQ(buildAndRun("microbit", library + Strings{"heap.c"}), "1024 1 3.141593 1.235e+04\n");
  }
}

TEST_F(RuntimeKitTest, IntegerOnlyHelloIsAtMostSixtyPercentOfTheDefault) {
  dir.write("hello.c", "#include <stdio.h>\nint main(void) { printf(\"hello %d\\n\", 42); return 0; }\n");
  EXPECT_EQ(buildAndRun("lm3s6965evb", {"hello.c"}), "hello 42\n");
  const long full = codeSize("f.elf");
  EXPECT_EQ(buildAndRun("lm3s6965evb", {"-printf=i", "hello.c"}), "hello 42\n");
  const long integer = codeSize("f.elf");
  EXPECT_GT(integer, 0);
  EXPECT_LE(integer * 10, full * 6) << integer << " of " << full;
}

// The first pass spoils the RAM copies and the cleared section, then
// re-enters reset_handler; the second pass sees the right values only if
// the start-up code copied and cleared them again.
constexpr const char* kPlacedProgram = R"(#include <stdio.h>
extern char __stack_start__[];
void reset_handler(void);
__attribute__((section(".fast"), noinline)) int twice(int x) { return 2 * x; }
__attribute__((section(".fast_data"))) int table[4] = {1, 2, 3, 4};
__attribute__((section(".cleared"))) int cleared[4];
volatile unsigned ticks;
volatile int svc_calls;
void SysTick_Handler(void) { ++ticks; }
void SVC_Handler(void) { ++svc_calls; }

int main(void) {
  volatile unsigned *const mark = (volatile unsigned *)__stack_start__;
  const int second = *mark == 0x5EC0AD;
  printf("pass %d: %d %d %d in RAM %d\n", second + 1, twice(table[3]), table[0], cleared[1],
         (unsigned)&twice >= 0x20000000u && (unsigned)table >= 0x20000000u);
  if (!second) {
    table[0] = 99, cleared[1] = 5, *mark = 0x5EC0AD;
    fflush(stdout);
    reset_handler();
  }
  volatile unsigned *const systick = (volatile unsigned *)0xE000E010;
  systick[1] = 10000, systick[2] = 0, systick[0] = 7;
  while (ticks < 3) {}
  systick[0] = 0;
  __asm__ volatile("svc 0");
  __asm__ volatile("svc 1");
  printf("ticks %d svc %d\n", ticks >= 3, svc_calls);
  return 0;
}
)";

TEST_F(RuntimeKitTest, RamPlacedSectionsAreCopiedAndClearedAndCmsisHandlersTakeExceptions) {
  std::string placement = readFile(distDirectory() + "/targets/section_placement.xml");
  const auto data = placement.find("    <ProgramSection name=\".data\"");
  ASSERT_NE(data, std::string::npos);
  placement.insert(data, R"(    <ProgramSection name=".fast" runin="RAM" alignment="4"/>
    <ProgramSection name=".fast_data" runin="RAM" alignment="4"/>
)");
  const auto heap = placement.find("    <ProgramSection name=\".heap\"");
  ASSERT_NE(heap, std::string::npos);
  placement.insert(heap, "    <ProgramSection name=\".cleared\" load=\"No\" alignment=\"4\"/>\n");
  dir.write("placement.xml", placement);
  dir.write("placed.c", kPlacedProgram);
  for (const std::string board : {"lm3s6965evb", "microbit"}) {
    SCOPED_TRACE(board);
    EXPECT_EQ(buildAndRun(board, {"placement.xml", "placed.c"}),
              "pass 1: 8 1 0 in RAM 1\npass 2: 8 1 0 in RAM 1\nticks 1 svc 2\n");
  }
}

TEST_F(RuntimeKitTest, SectionOptionsMoveCodeDataConstantsAndZeroedDataOfCAndCpp) {
  const std::string source = R"(int counter = 3;
int zeroed[4];
const int table[3] = {1, 2, 3};
int twice(int x) { return 2 * x + table[x & 1] + zeroed[x & 3]; }
)";
  dir.write("placed.c", source);
  // In C++ a const object has internal linkage, and a mangled name, unless declared extern.
  dir.write("placed.cpp", "extern \"C\" {\nextern const int table[3];\n" + source + "}\n");
  const Strings options{"-ylm3s6965evb", "-Rc,.fast", "-Rd,.fdata", "-Rk,.fconst", "-Rz,.fzero", "-c", "-o", "placed.o"};
  for (const auto& [family, file] : {std::pair{"", "placed.c"}, {"", "placed.cpp"}, {"-clang", "placed.c"}}) {
    SCOPED_TRACE(std::string(family) + " " + file);
    const auto built = cc(options + (*family ? Strings{family} : Strings{}) + Strings{file});
    ASSERT_EQ(built.exitStatus, 0) << built.standardOutput << built.standardError;
    const std::string sections = readelf({"-S", "placed.o"});
    // Each moved section's name and type, as readelf lists them.
    const std::pair<std::string, std::string> moved[] = {
        {".fast.twice", "PROGBITS"}, {".fdata.counter", "PROGBITS"}, {".fzero.zeroed", "NOBITS"},
        {".fconst.table", "PROGBITS"}};
    for (const auto& [name, type] : moved) {
      const auto at = sections.find(" " + name + " ");
      ASSERT_NE(at, std::string::npos) << name << " not in\n" << sections;
      const auto typeAt = sections.find_first_not_of(' ', at + name.size() + 1);
      EXPECT_EQ(sections.substr(typeAt, type.size()), type) << name;
    }
    for (const char* left : {".text.twice", ".data.counter", ".bss.zeroed", ".rodata.table"}) {
      EXPECT_EQ(sections.find(left), std::string::npos) << left;
    }
  }
  // The compiler's list keeps the options; the installed compilers' launchers carry them out.
  const auto shown = cc(Strings{"-n"} + options + Strings{"placed.c"});
  EXPECT_TRUE(contains(shown.standardOutput, " -mtext=.fast -mdata=.fdata -mbss=.fzero -mrodata=.fconst "));
}

}  // namespace
}  // namespace tidewater::test
