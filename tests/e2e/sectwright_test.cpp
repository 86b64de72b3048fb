// The installed sectwright writing scripts that the real ld and LLD link a
// Cortex-M3 program with; the images are inspected with readelf.
#include <cstdint>
#include <map>
#include <sstream>

#include "e2e/e2e_fixture.h"

namespace tidewater::test {
namespace {

const std::string kSymbols =
    "__STACKSIZE__=1024;__STACKSIZE_PROCESS__=0;__STACKSIZE_IRQ__=0;__STACKSIZE_FIQ__=0;"
    "__STACKSIZE_SVC__=0;__STACKSIZE_ABT__=0;__STACKSIZE_UND__=0;__HEAPSIZE__=";

/// argv[0] and the installed path of each linker (LLD needs its GNU name).
const std::pair<const char*, const char*> kLinkers[] = {{"ld", "gcc/arm-none-eabi/bin/ld"}, {"ld.lld", "llvm/bin/lld"}};

class SectwrightTest : public E2ETest {
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
    const auto compile = runProgram(
        "/usr/bin/arm-none-eabi-gcc", {"arm-none-eabi-gcc", "-mcpu=cortex-m3", "-mthumb", "-O1", "-c", "app.c"},
        dir.path());
    ASSERT_EQ(compile.exitStatus, 0) << compile.standardError;
  }

  ProgramResult sectwright(const Strings& arguments) { return installed("bin/sectwright", "sectwright", arguments); }
  ProgramResult link(const std::pair<const char*, const char*>& linker) {
    return installed(linker.second, linker.first,
                     {"-e", "reset_handler", "-u_vectors", "-T", "app.ld", "app.o", "-o", "app.elf"});
  }

  /// Symbol name to value, from nm (the image has no undefined symbols).
  std::map<std::string, uint64_t> symbols() {
    std::map<std::string, uint64_t> values;
    std::istringstream lines(crossTool("nm", {"app.elf"}));
    for (std::string value, type, name; lines >> value >> type >> name;) values[name] = std::stoull(value, nullptr, 16);
    return values;
  }
};

TEST_F(SectwrightTest, InstalledPlacementLinksWithLdAndLldAndAnOverflowNamesTheSegment) {
  const auto generated = sectwright(
      {"-memory-map-file", "map.xml", "-check-segment-overflow", "-symbols", kSymbols + "2048", "app.ld"});
  ASSERT_EQ(generated.exitStatus, 0) << generated.standardError;
  EXPECT_EQ(generated.standardError, "");
  const Strings common = {"-memory-map-file", "map.xml", "-symbols", kSymbols + "0"};
  ASSERT_EQ(sectwright(common + Strings{"builtin.ld"}).exitStatus, 0);
  const std::string placement = distDirectory() + "/targets/section_placement.xml";
  ASSERT_EQ(sectwright(common + Strings{"-section-placement-file", placement, "installed.ld"}).exitStatus, 0);
  EXPECT_EQ(read("builtin.ld"), read("installed.ld"));
  for (const auto& linker : kLinkers) {
    SCOPED_TRACE(linker.first);
    const auto linked = link(linker);
    ASSERT_EQ(linked.exitStatus, 0) << linked.standardError;
    auto s = symbols();
    const std::pair<const char*, uint64_t> values[] = {{"__vectors_start__", 0}, {"__data_start__", 0x20000000},
        {"__data_end__", 0x20000004}, {"__bss_start__", 0x20000004}, {"__RAM_segment_end__", 0x20010000},
        {"__HEAPSIZE__", 2048}, {"_vectors", 0}};
    for (const auto& [name, value] : values) EXPECT_EQ(s[name], value) << name;
    EXPECT_GE(s["__data_load_start__"], s["__rodata_end__"]);
    EXPECT_LT(s["__data_load_start__"], 0x40000u);
    EXPECT_EQ(s["__heap_end__"] - s["__heap_start__"], 2048u);
    EXPECT_EQ(s["__stack_end__"] - s["__stack_start__"], 1024u);
    EXPECT_EQ(s["__stack_end__"] % 8, 0u);
    // .data is loaded in FLASH right where its load symbol says.
    char load[64];
    std::snprintf(load, sizeof load, "0x20000000 0x%08llx 0x00004 ",
                  static_cast<unsigned long long>(s["__data_load_start__"]));
    EXPECT_TRUE(contains(readelf({"-l", "app.elf"}), load));
  }
  // A heap as large as RAM fails both links, naming the segment.
  const auto overflowing = sectwright({"-memory-map-segments", "FLASH 0x0 0x40000;RAM 0x20000000 0x10000",
                                       "-check-segment-overflow", "-symbols", kSymbols + "0x10000", "app.ld"});
  ASSERT_EQ(overflowing.exitStatus, 0) << overflowing.standardError;
  for (const auto& linker : kLinkers) {
    SCOPED_TRACE(linker.first);
    const auto linked = link(linker);
    EXPECT_NE(linked.exitStatus, 0);
    EXPECT_TRUE(contains(linked.standardError, "section placement overflows segment RAM"));
  }
}

TEST_F(SectwrightTest, MapsNamingStudioDirLoadAsInTheDriver) {
  // The installed board map by its path, by an import and by a preprocessor
  // include naming $(StudioDir) give the same script.
  const std::string board = "$(StudioDir)/targets/lm3s6965evb_memory_map.xml";
  dir.write("imports.xml", "<!DOCTYPE Board_Memory_Definition_File>\n<Root name=\"lm3s6965evb\">"
                           "<Import filename=\"" + board + "\"/></Root>\n");
  dir.write("includes.xml", "<!DOCTYPE Board_Memory_Definition_File>\n<Root name=\"lm3s6965evb\">"
                            "<include filename=\"" + board + "\" no_root=\"1\"/></Root>\n");
  const std::string installedMap = distDirectory() + "/targets/lm3s6965evb_memory_map.xml";
  for (const std::string& map : {installedMap, std::string("imports.xml"), std::string("includes.xml")}) {
    const auto generated = sectwright({"-memory-map-file", map, "-symbols", kSymbols + "0", map == installedMap ? "direct.ld" : "app.ld"});
    ASSERT_EQ(generated.exitStatus, 0) << map << generated.standardError;
    EXPECT_EQ(generated.standardError, "") << map;
    if (map != installedMap) { EXPECT_EQ(read("app.ld"), read("direct.ld")) << map; }
  }
  EXPECT_TRUE(contains(read("app.ld"), "0x00040000"));
}

TEST_F(SectwrightTest, BadInputFailsAndLeavesTheScriptAlone) {
  dir.write("app.ld", "/* kept */\n");
  dir.write("broken.xml", "<Root>\n<MemorySegment name=\"RAM\">\n</Root>\n");
  dir.write("place.xml", "<Root><MemorySegment name=\"SDRAM\"/></Root>");
  const std::pair<Strings, std::string> cases[] = {
      {{"-memory-map-file", "missing.xml", "app.ld"}, "cannot read missing.xml: No such file or directory"},
      {{"-memory-map-file", "broken.xml", "app.ld"}, "broken.xml:3: "},
      {{"-memory-map-file", "map.xml", "-section-placement-file", "place.xml", "app.ld"},
       "place.xml: the placement names no segment of the memory map"},
      {{"-memory-map-file", "map.xml", "-frobnicate", "app.ld"}, "unknown option -frobnicate"},
      {{"-memory-map-file", "map.xml", "app.ld", "-symbols"}, "missing argument to -symbols"},
      {{"-memory-map-file", "map.xml", "-symbols", "__HEAPSIZE__=1", "app.ld"}, "size: __STACKSIZE__ symbol not found"},
  };
  for (const auto& [arguments, message] : cases) {
    const auto result = sectwright(arguments);
    EXPECT_EQ(result.exitStatus, 1) << message;
    EXPECT_TRUE(result.standardError.starts_with("sectwright: error: ")) << result.standardError;
    EXPECT_TRUE(contains(result.standardError, message));
    EXPECT_EQ(read("app.ld"), "/* kept */\n") << message;
  }
  EXPECT_EQ(sectwright({"-memory-map-file", "map.xml", "map.xml"}).exitStatus, 1);
  EXPECT_TRUE(contains(read("map.xml"), "lm3s6965"));
}

}  // namespace
}  // namespace tidewater::test
