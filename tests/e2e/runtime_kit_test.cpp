// The runtime kit as a program sees it: the formatter the -printf=/-scanf=
// options choose is the only one linked, sections placed to run in RAM are
// copied there and zeroed ones cleared, CMSIS-named handlers take their
// exceptions, and the new boards run C and C++ firmware.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <map>

#include "e2e/e2e_fixture.h"

namespace tidewater::test {
namespace {

class RuntimeKitTest : public E2ETest {
 protected:
  /// The size of an image's code and constants, as arm-none-eabi-size counts "text".
  long codeSize(const std::string& image) {
    const std::string table = crossTool("size", {image});
    return table.find('\n') == std::string::npos ? -1 : std::stol(table.substr(table.find('\n') + 1));
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

// Each row builds a program with one formatter choice: it prints the same
// text save what the choice leaves out and carries only the chosen formatter;
// hello.c, which needs nothing else, shows what each integer printf variant
// pulls in and that it shrinks with each part of the format it leaves out.
TEST_F(RuntimeKitTest, EachFormattedIOVariantLinksOnlyItsFormatterAndShrinksWithWhatItLeavesOut) {
  dir.write("io.c", kFormattedIO);
  dir.write("hello.c", "#include <stdio.h>\nint main(void) { printf(\"hello %d\\n\", 42); return 0; }\n");
  const std::string common = "snprintf 13 [123456-]\n   42|ff  |70000\nfprintf ok\nsscanf 3 17 -4 word\n";
  const Strings noFloatScanf{"-zlinker_scanf_fp_enabled=No"};
  // The small C library's single formatter converts floating point only
  // with its conversion module.
  const Strings small{"-zarm_library_optimization=Small"};
  const std::string lm3s = "lm3s6965evb";
  // "variant": the integer printf formatter the row links, "" for none of
  // ours ("long" is as wide as "int" here); hello.c calls no scanf.
  const struct { std::string board, source; Strings options; std::string variant; bool floatPrintf, floatScanf; } cases[] = {
      {lm3s, "io.c", {}, "", true, true},
      {lm3s, "io.c", Strings{"-printf=i", "-scanf=i"} + noFloatScanf, "int_nwp", false, false},
      {lm3s, "io.c", Strings{"-printf=ipw", "-scanf=ic"} + noFloatScanf, "int_wchar", false, false},
      {lm3s, "io.c", Strings{"-printf=llp", "-scanf=ll"} + noFloatScanf, "long_long", false, false},
      {lm3s, "io.c", Strings{"-zlinker_printf_fp_enabled=No", "-zlinker_printf_fmt_level=long",
                             "-zlinker_scanf_fmt_level=long"} + noFloatScanf, "int", false, false},
      {lm3s, "io.c", {"-printf=f", "-scanf=d"}, "", true, true},
      {lm3s, "io.c", Strings{"-printf=dllw"} + noFloatScanf, "", true, false},
      {lm3s, "io.c", {"-printf=i", "-scanf=dllc"}, "int_nwp", false, true},
      {"microbit", "io.c", small, "", true, true},
      {"microbit", "io.c", small + Strings{"-printf=ip", "-scanf=i"} + noFloatScanf, "", false, false},
      {"microbit", "io.c", small + Strings{"-printf=f"} + noFloatScanf, "", true, false},
      {lm3s, "hello.c", {}, "", true, false},
      {lm3s, "hello.c", {"-printf=i"}, "int_nwp", false, false},
      {lm3s, "hello.c", {"-printf=ip"}, "int", false, false},
      {lm3s, "hello.c", {"-printf=iw"}, "int_nwp_wchar", false, false},
      {lm3s, "hello.c", {"-printf=ipw"}, "int_wchar", false, false},
      {lm3s, "hello.c", {"-printf=ll"}, "long_long_nwp", false, false},
      {lm3s, "hello.c", {"-printf=llp"}, "long_long", false, false},
      {lm3s, "hello.c", {"-printf=llw"}, "long_long_nwp_wchar", false, false},
      {lm3s, "hello.c", {"-printf=llpw"}, "long_long_wchar", false, false},
  };
  long full = 0;
  std::map<std::string, long> sizes;
  for (const auto& [board, source, options, variant, floatPrintf, floatScanf] : cases) {
    SCOPED_TRACE(board + " " + joined(options) + " " + source);
    const bool hello = source == "hello.c";
    Strings switches;
    if (floatPrintf && !hello) switches.push_back("-DFLOAT_PRINTF");
    if (floatScanf) switches.push_back("-DFLOAT_SCANF");
    // A formatter without width and precision ignores both.
    std::string expected = common;
    if (variant.find("nwp") != std::string::npos) expected.replace(expected.find("   42|ff  |"), 11, "42|ff|");
    expected += std::string(floatPrintf ? "0.667\n" : "") + (floatScanf ? "9\n" : "");
    EXPECT_EQ(buildAndRun(board, options + switches + Strings{source}), hello ? "hello 42\n" : expected);
    const std::string symbols = crossTool("nm", {"f.elf"});
    if (board == "microbit") {
      EXPECT_EQ(defines(symbols, "_printf_float"), floatPrintf);
      EXPECT_EQ(defines(symbols, "_scanf_float"), floatScanf);
      continue;
    }
    EXPECT_EQ(defines(symbols, "_vfscanf_r"), floatScanf);
    EXPECT_EQ(defines(symbols, "_vfprintf_r"), floatPrintf);
    EXPECT_EQ(defines(symbols, "__vfprintf_floating"), floatPrintf);
    EXPECT_FALSE(!floatPrintf && defines(symbols, "_vfiprintf_r"));
    for (const auto& other : cases) {
      if (!other.variant.empty()) {
        EXPECT_EQ(defines(symbols, "__vfprintf_" + other.variant), other.variant == variant) << other.variant;
      }
    }
    if (!hello) continue;
    (variant.empty() ? full : sizes[variant]) = codeSize("f.elf");
    if (variant.empty()) continue;
    EXPECT_EQ(defines(symbols, "_wcrtomb_r"), variant.ends_with("_wchar"));
    EXPECT_EQ(defines(symbols, "__aeabi_uldivmod"), variant.starts_with("long_long"));
  }
  for (const std::string level : {"int", "long_long"}) {
    for (const std::string wide : {"", "_wchar"}) {
      EXPECT_LT(sizes[level + "_nwp" + wide], sizes[level + wide]) << level << wide;
    }
    for (const std::string nwp : {"", "_nwp"}) {
      EXPECT_LT(sizes[level + nwp], sizes[level + nwp + "_wchar"]) << level << nwp;
    }
  }
  for (const std::string rest : {"", "_nwp", "_wchar", "_nwp_wchar"}) {
    EXPECT_LT(sizes["int" + rest], sizes["long_long" + rest]) << rest;
  }
  EXPECT_LE(sizes["int_nwp"] * 10, full * 6) << sizes["int_nwp"] << " of " << full;
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

// Our formatters against the C library's own integer-only formatter, which
// reaches the program through vasniprintf (no member of our printf family
// replaces it): every format this C library converts must come out the
// same. C99's modifiers and wide strings, which it does not convert, are
// compared with the host's printf.
constexpr const char* kFormatTable = R"(#include <limits.h>
#include <stdarg.h>
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <wchar.h>

/* The oracle: the C library's own integer-only string formatter, which no
   member of our printf family replaces. */
char *vasniprintf(char *text, size_t *length, const char *format, va_list arguments);

static int checked, differ;

/* An _nwp formatter ignores flags, width and precision: the oracle gets the
   format without them. */
static void without_width_precision(const char *format, char *out) {
  while (*format) {
    const char c = *out++ = *format++;
    if (c != '%') continue;
    while (*format && strchr("-+ #0123456789.", *format)) ++format;
    if (*format) *out++ = *format++;
  }
  *out = '\0';
}

static void check(const char *format, ...) {
  char ours[128], oracle[128], stripped[64];
  va_list arguments, again;
  va_start(arguments, format);
  va_copy(again, arguments);
  const int length = vsnprintf(ours, sizeof ours, format, arguments);
#ifdef WIDTH_PRECISION
  strcpy(stripped, format);
#else
  without_width_precision(format, stripped);
#endif
  size_t expected = sizeof oracle;
  const char *text = vasniprintf(oracle, &expected, stripped, again);
  va_end(again);
  va_end(arguments);
  ++checked;
  if (length != (int)expected || strcmp(ours, text) != 0) {
    ++differ;
    printf("DIFFERS %s: %d [%s], expected %d [%s]\n", format, length, ours, (int)expected, text);
  }
}

int main(void) {
  check("%d|%i|%u|%d|%x", -42, 0, 4294967295u, INT_MIN, INT_MIN);
  check("%x|%X|%o|%u", 0xbeefu, 0xbeefu, 8u, 0u);
  check("%5d|%-5d|%05d|%-05d|", 42, 42, -42, 7);
  check("%+d|% d|%+d|% +d|%+u", 7, 7, -7, 7, 7u);
  check("%.3d|%.0d|%5.3d|%-6.2x|%08.3d", 7, 0, -7, 10u, 5);
  check("%#x|%#X|%#o|%#x|%#.0o|%#5o|%#08x|%#.3o", 255u, 255u, 8u, 0u, 0u, 8u, 255u, 8u);
  check("%p|%12p", (void *)0x20001234, (void *)0x10);
  check("%c|%3c|%-3c|%03c", 'a', 'b', 'c', 'd');
  check("%s|%5s|%-5s|%.2s|%5.1s|%05s|%.0s|", "abc", "abc", "abc", "abc", "abc", "ab", "abc");
#ifndef SMALL_C_LIBRARY
  /* The small C library's formatter prints "00" and "0" here and reads
     through the null pointer; ours prints what the full one does. */
  check("%#o|%p|%s|%.3s|%8s", 0u, (void *)0, (char *)0, (char *)0, (char *)0);
#endif
  check("%ld|%lu|%lx|%li", -70000L, 4000000000ul, 0xdeadbeeful, LONG_MIN);
  check("100%%|%5%|%-3%|%y|%d", 9);
  check("%hd|%hu|%hx|%lc|%3lc|%-2lc|", 70000, -1, 0x1ffff, (wint_t)L'w', (wint_t)L'v', (wint_t)L'u');
  check("%d %s %c %x %o %u %p", 1, "two", '3', 4u, 5u, 6u, (void *)7);
#ifdef LONG_LONG
  check("%lld|%llu|%llx|%llo|%lli", -9000000000000000000LL, 18446744073709551615ull, 0x123456789abcdefull,
        01777777777777777777777ull, LLONG_MIN);
  check("%20lld|%-24llo|%+.19lld|%#llX", 42LL, 01777777777777777777777ull, 1LL, 0xabcdef0123ull);
  check("%qd|%lld|%d", 6LL, 0LL, 7);
#endif
#ifdef WIDTH_PRECISION
  check("%*d|%-*d|%.*d|%*.*s|%.*d", 5, 42, -5, 42, 3, 7, 4, 1, "xyz", -1, 8);
#endif
  /* C99's modifiers and wide strings, which this C library's formatter
     does not convert: the test compares them with the host's printf. */
  char text[64];
  snprintf(text, sizeof text, "%hhd|%hhx|%hhu|%zu|%td|%zx|%jd", 300, 0x1ff, -1, (size_t)12, (ptrdiff_t)-3,
           (size_t)255, (intmax_t)-5);
  printf("c99 [%s]\n", text);
  snprintf(text, sizeof text, "%ls|%S|%C|%d", L"wide", L"S", (wint_t)L'C', 3);
  printf("wide [%s]\n", text);
#ifdef WIDTH_PRECISION
  snprintf(text, sizeof text, "%5ls|%.2ls|%-3ls|%3lc", L"ab", L"wide", L"x", (wint_t)L'y');
  printf("wide width [%s]\n", text);
#endif
  int at = 0;
  short short_at = 0;
  snprintf(text, sizeof text, "ab%nc%hn", &at, &short_at);
  printf("formats %d differ %d\n", checked, differ);
  printf("n %d %d\n", at, short_at);
  const int truncated = snprintf(text, 4, "%d", 123456);
  printf("truncated %d [%s]\n", truncated, text);
  snprintf(text, sizeof text, "%lld|%d", 0x100000005LL, 9);
  printf("ll [%s]\n", text);
  snprintf(text, sizeof text, "%*d|%.*s|%d", 5, 42, 2, "abc", 1);
  printf("star [%s]\n", text);
  return 0;
}
)";

/// The host's printf of one format.
template <typename... Arguments>
std::string hostFormat(const char* format, Arguments... arguments) {
  char text[128];
  std::snprintf(text, sizeof text, format, arguments...);
  return text;
}

TEST_F(RuntimeKitTest, IntegerFormattersPrintWhatTheCLibraryPrints) {
  dir.write("table.c", kFormatTable);
  const Strings small{"-zarm_library_optimization=Small", "-DSMALL_C_LIBRARY"};
  const struct { std::string board; Strings options; bool longLong, widthPrecision; } cases[] = {
      {"lm3s6965evb", {"-printf=i"}, false, false},
      {"lm3s6965evb", {"-printf=ip"}, false, true},
      {"lm3s6965evb", {"-printf=iw"}, false, false},
      {"lm3s6965evb", {"-printf=ipw"}, false, true},
      {"lm3s6965evb", {"-printf=ll"}, true, false},
      {"lm3s6965evb", {"-printf=llp"}, true, true},
      {"lm3s6965evb", {"-printf=llw"}, true, false},
      {"lm3s6965evb", {"-printf=llpw"}, true, true},
      {"lm3s6965evb", {"-zlinker_printf_fp_enabled=No", "-zlinker_printf_fmt_level=long"}, false, true},
      {"microbit", small + Strings{"-printf=i"}, false, false},
      {"microbit", small + Strings{"-printf=ipw"}, false, true},
  };
  for (const auto& [board, options, longLong, widthPrecision] : cases) {
    SCOPED_TRACE(board + " " + joined(options));
    Strings switches;
    if (longLong) switches.push_back("-DLONG_LONG");
    if (widthPrecision) switches.push_back("-DWIDTH_PRECISION");
    const bool smallLibrary = board == "microbit";
    const int rows = (smallLibrary ? 13 : 14) + (longLong ? 3 : 0) + (widthPrecision ? 1 : 0);
    std::string expected =
        "c99 [" + hostFormat("%hhd|%hhx|%hhu|%zu|%td|%zx|%jd", 300, 0x1ff, -1, size_t{12}, ptrdiff_t{-3},
                             size_t{255}, intmax_t{-5}) + "]\n" +
        "wide [" + hostFormat("%ls|%ls|%lc|%d", L"wide", L"S", wint_t{L'C'}, 3) + "]\n";
    if (widthPrecision) {
      expected += "wide width [" + hostFormat("%5ls|%.2ls|%-3ls|%3lc", L"ab", L"wide", L"x", wint_t{L'y'}) + "]\n";
    }
    expected += "formats " + std::to_string(rows) + " differ 0\nn 2 3\ntruncated 6 [123]\n";
    // Below "long long" a 64-bit argument is taken whole and its low 32 bits converted.
    expected += std::string("ll [") + (longLong ? "4294967301" : "5") + "|9]\n";
    // Without width and precision a "*" still takes its argument.
    expected += std::string("star [") + (widthPrecision ? "   42|ab" : "42|abc") + "|1]\n";
    EXPECT_EQ(buildAndRun(board, options + switches + Strings{"table.c"}), expected);
  }
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
}

}  // namespace
}  // namespace tidewater::test
