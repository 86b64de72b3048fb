// The installed sectwright writing scripts that the real ld and LLD link a
// Cortex-M3 program with; the images are inspected with readelf.
#include <gtest/gtest.h>

#include <cstdint>
#include <iomanip>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/environment.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace tidewater {
namespace {

const char* const kSymbols =
    "__STACKSIZE__=1024;__STACKSIZE_PROCESS__=0;__STACKSIZE_IRQ__=0;__STACKSIZE_FIQ__=0;"
    "__STACKSIZE_SVC__=0;__STACKSIZE_ABT__=0;__STACKSIZE_UND__=0;__HEAPSIZE__=";

/// argv[0] and the installed path of each linker (LLD needs its GNU name).
const std::pair<const char*, const char*> kLinkers[] = {{"ld", "/gcc/arm-none-eabi/bin/ld"},
                                                        {"ld.lld", "/llvm/bin/lld"}};

class SectwrightTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.write("map.xml",
              "<!DOCTYPE Board_Memory_Definition_File>\n<Root name=\"lm3s6965\">\n"
              "  <MemorySegment name=\"FLASH\" start=\"0x00000000\" size=\"0x40000\" access=\"ReadOnly\"/>\n"
              "  <MemorySegment name=\"RAM\" start=\"0x20000000\" size=\"0x10000\"/>\n</Root>\n");
    dir.write("app.c",
              "int counter = 5;\nint zeroed;\nconst int table[4] = {1, 2, 3, 4};\n"
              "void reset_handler(void) { for (;;) { counter++; zeroed = table[counter & 3]; } }\n"
              "__attribute__((section(\".vectors\"))) void (*const _vectors[2])(void) = {0, reset_handler};\n");
    const auto compile = test::runProgram("/usr/bin/arm-none-eabi-gcc",
                                          {"arm-none-eabi-gcc", "-mcpu=cortex-m3", "-mthumb", "-O1", "-c", "app.c"},
                                          dir.path());
    ASSERT_EQ(compile.exitStatus, 0) << compile.standardError;
  }

  test::ProgramResult sectwright(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "sectwright");
    return test::runProgram(test::distDirectory() + "/bin/sectwright", arguments, dir.path());
  }

  test::ProgramResult link(const std::pair<const char*, const char*>& linker) {
    return test::runProgram(test::distDirectory() + linker.second,
                            {linker.first, "-e", "reset_handler", "-u_vectors", "-T", "app.ld", "app.o", "-o", "app.elf"},
                            dir.path());
  }

  std::string readelf(const std::string& option) {
    const auto result =
        test::runProgram("/usr/bin/arm-none-eabi-readelf", {"readelf", "-W", option, "app.elf"}, dir.path());
    EXPECT_EQ(result.exitStatus, 0) << result.standardError;
    return result.standardOutput;
  }

  /// Symbol name to value, from readelf -s.
  std::map<std::string, uint64_t> symbols() {
    std::map<std::string, uint64_t> values;
    std::istringstream lines(readelf("-s"));
    for (std::string line; std::getline(lines, line);) {
      std::istringstream fields(line);
      std::string number, value, size, type, bind, visibility, index, name;
      if (fields >> number >> value >> size >> type >> bind >> visibility >> index >> name && number.back() == ':' &&
          number != "Num:") {
        values[name] = std::stoull(value, nullptr, 16);
      }
    }
    return values;
  }

  test::TempDir dir;
};

TEST_F(SectwrightTest, DefaultPlacementLinksWithLdAndLld) {
  const auto generated = sectwright({"-memory-map-file", "map.xml", "-check-segment-overflow", "-symbols",
                                     std::string(kSymbols) + "2048", "app.ld"});
  ASSERT_EQ(generated.exitStatus, 0) << generated.standardError;
  EXPECT_EQ(generated.standardError, "");
  for (const auto& linker : kLinkers) {
    SCOPED_TRACE(linker.first);
    const auto linked = link(linker);
    ASSERT_EQ(linked.exitStatus, 0) << linked.standardError;
    const std::string sections = readelf("-S");
    EXPECT_NE(sections.find(".vectors          PROGBITS        00000000"), std::string::npos) << sections;
    EXPECT_NE(sections.find(".data             PROGBITS        20000000"), std::string::npos) << sections;
    auto s = symbols();
    EXPECT_EQ(s["__vectors_start__"], 0u);
    EXPECT_EQ(s["__data_start__"], 0x20000000u);
    EXPECT_EQ(s["__data_end__"], 0x20000004u);
    EXPECT_GE(s["__data_load_start__"], s["__rodata_end__"]);
    EXPECT_LT(s["__data_load_start__"], 0x40000u);
    EXPECT_EQ(s["__data_load_end__"], s["__data_load_start__"] + 4);
    EXPECT_EQ(s["__bss_start__"], 0x20000004u);
    EXPECT_EQ(s["end"], s["__bss_end__"]);
    EXPECT_EQ(s["__heap_end__"] - s["__heap_start__"], 2048u);
    EXPECT_EQ(s["__stack_end__"] - s["__stack_start__"], 1024u);
    EXPECT_EQ(s["__stack_end__"] % 8, 0u);
    EXPECT_EQ(s["__RAM_segment_end__"], 0x20010000u);
    EXPECT_EQ(s["__HEAPSIZE__"], 2048u);
    // .data is loaded in FLASH right where its load symbol says.
    std::ostringstream load;
    load << "0x20000000 0x" << std::hex << std::setw(8) << std::setfill('0') << s["__data_load_start__"]
         << " 0x00004 ";
    const std::string segments = readelf("-l");
    EXPECT_NE(segments.find(load.str()), std::string::npos) << load.str() << "\n" << segments;
  }
}

TEST_F(SectwrightTest, OverflowingARamSegmentFailsBothLinksNamingIt) {
  ASSERT_EQ(sectwright({"-memory-map-segments", "FLASH 0x0 0x40000;RAM 0x20000000 0x10000",
                        "-check-segment-overflow", "-symbols", std::string(kSymbols) + "0x10000", "app.ld"})
                .exitStatus,
            0);
  for (const auto& linker : kLinkers) {
    const auto linked = link(linker);
    EXPECT_NE(linked.exitStatus, 0) << linker.first;
    EXPECT_NE(linked.standardError.find("section placement overflows segment RAM"), std::string::npos)
        << linker.first << ": " << linked.standardError;
  }
}

TEST_F(SectwrightTest, BadInputFailsAndLeavesTheScriptAlone) {
  dir.write("app.ld", "/* kept */\n");
  dir.write("broken.xml", "<Root>\n<MemorySegment name=\"RAM\">\n</Root>\n");
  dir.write("place.xml", "<Root><MemorySegment name=\"SDRAM\"/></Root>");
  const struct {
    std::vector<std::string> arguments;
    std::string message;
  } cases[] = {
      {{"-memory-map-file", "missing.xml", "app.ld"}, "cannot read missing.xml: No such file or directory"},
      {{"-memory-map-file", "broken.xml", "app.ld"}, "broken.xml:3: "},
      {{"-memory-map-file", "map.xml", "-section-placement-file", "place.xml", "app.ld"},
       "place.xml: the placement names no segment of the memory map"},
      {{"-memory-map-segments", "RAM 0x20000000", "app.ld"}, "bad -memory-map-segments item \"RAM 0x20000000\""},
      {{"-memory-map-file", "map.xml", "-frobnicate", "app.ld"}, "unknown option -frobnicate"},
      {{"-memory-map-file", "map.xml", "app.ld", "-symbols"}, "missing argument to -symbols"},
      {{"-memory-map-file", "map.xml", "-symbols", "__HEAPSIZE__=1", "app.ld"},
       "size: __STACKSIZE__ symbol not found"},
  };
  for (const auto& c : cases) {
    const auto result = sectwright(c.arguments);
    EXPECT_EQ(result.exitStatus, 1) << c.message;
    EXPECT_TRUE(result.standardError.starts_with("sectwright: error: ")) << result.standardError;
    EXPECT_NE(result.standardError.find(c.message), std::string::npos) << result.standardError;
    EXPECT_EQ(test::readFile(dir.path() + "/app.ld"), "/* kept */\n") << c.message;
  }
  EXPECT_EQ(sectwright({"-memory-map-file", "map.xml", "map.xml"}).exitStatus, 1);
  EXPECT_NE(test::readFile(dir.path() + "/map.xml").find("lm3s6965"), std::string::npos);
}

TEST_F(SectwrightTest, InstalledDefaultPlacementGivesTheBuiltInScript) {
  const std::string symbols = std::string(kSymbols) + "0";
  ASSERT_EQ(sectwright({"-memory-map-file", "map.xml", "-symbols", symbols, "builtin.ld"}).exitStatus, 0);
  ASSERT_EQ(sectwright({"-memory-map-file", "map.xml", "-section-placement-file",
                        test::distDirectory() + "/targets/section_placement.xml", "-symbols", symbols, "installed.ld"})
                .exitStatus,
            0);
  EXPECT_EQ(test::readFile(dir.path() + "/builtin.ld"), test::readFile(dir.path() + "/installed.ld"));
}

}  // namespace
}  // namespace tidewater
