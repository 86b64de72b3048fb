// A program of several C files, an assembly file and a static library,
// built as makefiles build it (one "cc -c" per file, "cc -ar", a link of the
// objects and the library) and in one call, with each compiler family and
// linker, and run in QEMU; links with a board template also in parallel.
#include "e2e/e2e_fixture.h"

namespace tidewater::test {
namespace {

constexpr const char* kMain = R"(#include <stdio.h>
#include "ring.h"
int scale(int value);
float blend(float from, float to, float amount);
extern const short table[8];
unsigned checksum(const unsigned char *bytes, unsigned count);

int main(void) {
  struct ring ring;
  ring_init(&ring);
  for (int i = 0; i < 8; ++i) ring_push(&ring, scale(table[i]));
  int sum = 0;
  while (!ring_empty(&ring)) sum += ring_pop(&ring);
  static const unsigned char text[] = "tidewater";
  printf("sum %d checksum %u blend %.3f\n", sum, checksum(text, sizeof text - 1), (double)blend(1.0f, 3.0f, 0.25f));
  return 3;
}
)";

constexpr const char* kUtil = R"(int scale(int value) { return value * 3; }
float blend(float from, float to, float amount) { return from + (to - from) * amount; }
)";

constexpr const char* kTable = "const short table[8] = {1, 2, 3, 4, 5, 6, 7, 8};\n";

// The sum of the bytes, in code every Cortex-M runs.
constexpr const char* kChecksum = R"(  .syntax unified
  .thumb
  .text
  .global checksum
  .type checksum, %function
  .thumb_func
checksum:
  movs r2, #0
1:
  cmp r1, #0
  beq 2f
  ldrb r3, [r0]
  adds r2, r2, r3
  adds r0, r0, #1
  subs r1, r1, #1
  b 1b
2:
  movs r0, r2
  bx lr
  .size checksum, . - checksum
)";

constexpr const char* kRingHeader = R"(struct ring { int items[16]; unsigned head, tail; };
void ring_init(struct ring *ring);
void ring_push(struct ring *ring, int value);
int ring_pop(struct ring *ring);
int ring_empty(const struct ring *ring);
)";

constexpr const char* kRing = R"(#include "ring.h"
void ring_init(struct ring *ring) { ring->head = ring->tail = 0; }
void ring_push(struct ring *ring, int value) { ring->items[ring->tail++ % 16] = value; }
int ring_pop(struct ring *ring) { return ring->items[ring->head++ % 16]; }
int ring_empty(const struct ring *ring) { return ring->head == ring->tail; }
)";

constexpr const char* kOutput = "sum 108 checksum 969 blend 1.500\n";

class RealBuildsTest : public E2ETest {
 protected:
  void writeProgram() {
    dir.write("main.c", kMain);
    dir.write("util.c", kUtil);
    dir.write("table.c", kTable);
    dir.write("checksum.s", kChecksum);
    dir.write("ring.h", kRingHeader);
    dir.write("ring.c", kRing);
  }

  /// Builds with "options"; a failure fails the test and shows the output.
  bool built(const Strings& options) {
    const auto result = cc(options);
    EXPECT_EQ(result.exitStatus, 0) << joined(options) << "\n" << result.standardOutput << result.standardError;
    return result.exitStatus == 0;
  }

  /// Runs an image on the FPU board and checks what it printed and returned.
  void runs(const std::string& image) {
    const auto ran = qemu("mps2-an386", image);
    EXPECT_EQ(ran.standardOutput, kOutput) << image << "\n" << ran.standardError;
    EXPECT_EQ(ran.exitStatus, 3) << image;
  }
};

TEST_F(RealBuildsTest, AProgramOfObjectsAndALibraryBuildsPerFileAndInOneCallWithEitherFamilyAndLinker) {
  writeProgram();
  for (const Strings& family : {Strings{}, Strings{"-clang"}}) {
    for (const std::string linker : {"ld", "lld"}) {
      SCOPED_TRACE(joined(family) + " " + linker);
      const Strings board = Strings{"-ymps2-an386", "-O1"} + family;
      const Strings link = board + Strings{"-zarm_linker_variant=" + linker};
      for (const char* source : {"main.c", "util.c", "table.c", "checksum.s", "ring.c"}) {
        ASSERT_TRUE(built(board + Strings{"-c", source}));
      }
      ASSERT_TRUE(built({"-ar", "-o", "libring.a", "ring.o"}));
      // Any object or library name works with -xo and -xa.
      ASSERT_EQ(std::rename((dir.path() + "/util.o").c_str(), (dir.path() + "/util.obj").c_str()), 0);
      ASSERT_TRUE(built(link + Strings{"-o", "perfile.elf", "main.o", "table.o", "checksum.o", "-xo", "util.obj", "-xa",
                                       "libring.a"}));
      runs("perfile.elf");
      ASSERT_TRUE(built(link + Strings{"-o", "onecall.elf", "main.c", "util.c", "checksum.s", "table.c",
                                       "libring.a"}));
      runs("onecall.elf");
      const std::string symbols = readelf({"-s", "onecall.elf"});
      for (const char* symbol : {" checksum\n", " ring_pop\n", " table\n", " _vectors\n"}) {
        EXPECT_TRUE(contains(symbols, symbol));
      }
    }
  }
  // A link whose inputs come from a list file, written through an indirect file.
  ASSERT_EQ(std::rename((dir.path() + "/util.obj").c_str(), (dir.path() + "/util.o").c_str()), 0);
  dir.write("inputs.txt", "main.o\ntable.o\nchecksum.o\nutil.o\nlibring.a\n");
  ASSERT_TRUE(built({"-ymps2-an386", "-o", "listed.elf", "-inputfiles", "inputs.txt"}));
  runs("listed.elf");
  EXPECT_TRUE(contains(read("listed.ind"), "\"libring.a\"\n"));

  // Links with a board template run at once in one directory.
  std::string script;
  for (const std::string i : {"1", "2", "3", "4"}) {
    dir.write("main" + i + ".c", kMain);
    script += distDirectory() + "/bin/cc -ymps2-an386 -o app" + i + ".elf main" + i +
              ".c util.o table.o checksum.o libring.a > log" + i + " 2>&1 || echo failed" + i + " & ";
  }
  EXPECT_EQ(runProgram("/bin/sh", {"sh", "-c", script + "wait"}, dir.path()).standardOutput, "");
  for (const std::string i : {"1", "2", "3", "4"}) EXPECT_EQ(read("log" + i), "") << i;
  runs("app4.elf");
}

}  // namespace
}  // namespace tidewater::test
