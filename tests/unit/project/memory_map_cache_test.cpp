#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <string>

#include "project/arm_project_system.h"
#include "support/temp_dir.h"
#include "target/memory_map.h"
#include "target/svd_file.h"

namespace tidewater {
namespace {

using Kind = MemoryMapElement::Kind;

class MemoryMapCacheTest : public ::testing::Test {
 protected:
  MemoryMapCacheTest() {
    ProjectElement& solution = system.newSolution("", directory.path());
    project = &system.newProject(solution, "", directory.path(), "Executable");
  }

  void set(const char* property, const std::string& value) {
    system.write(*project, *system.catalogue().find(property), "Common", value);
  }

  /// Writes a file with the given modification time (seconds since the epoch).
  std::string writeAt(const std::string& name, const std::string& content, time_t seconds) {
    const std::string path = directory.write(name, content);
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    EXPECT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
    return path;
  }

  static bool hasGroup(MemoryMap& map, const char* name) {
    return MemoryMap::findElement(map.rootElement(), Kind::RegisterGroup, "name", name) != nullptr;
  }

  test::TempDir directory;
  MacroTable macros;
  ARMProjectSystem system{macros, "", {}};
  ProjectElement* project;
};

std::string mapWithGroup(const char* group) {
  return std::string("<Root><RegisterGroup name=\"") + group + "\" start=\"0x40000000\"/></Root>";
}

TEST_F(MemoryMapCacheTest, KeepsAMapUntilItsFileTimeChanges) {
  writeAt("board.xml", mapWithGroup("FIRST"), 1'000'000);
  set("linker_memory_map_file", "board.xml");
  MemoryMap* first = system.memoryMap(*project, "Common");
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(hasGroup(*first, "FIRST"));
  // Same time: the cached map, even though the content changed behind it.
  writeAt("board.xml", mapWithGroup("SECOND"), 1'000'000);
  EXPECT_EQ(system.memoryMap(*project, "Common"), first);
  EXPECT_TRUE(hasGroup(*first, "FIRST"));

  writeAt("board.xml", mapWithGroup("SECOND"), 1'000'001);
  MemoryMap* second = system.memoryMap(*project, "Common");
  ASSERT_NE(second, nullptr);
  EXPECT_TRUE(hasGroup(*second, "SECOND"));
  EXPECT_TRUE(hasGroup(*second, "SysTick")) << "the core's groups are added";
  EXPECT_FALSE(hasGroup(*second, "FPU")) << "no FPU is set";
}

TEST_F(MemoryMapCacheTest, AFailedLoadGivesNullAndKeepsNothing) {
  set("linker_memory_map_file", "board.xml");
  EXPECT_EQ(system.memoryMap(*project, "Common"), nullptr) << "missing file";
  writeAt("board.xml", "<Root><RegisterGroup></Root>", 1'000'000);
  EXPECT_EQ(system.memoryMap(*project, "Common"), nullptr) << "malformed file";
  writeAt("board.xml", mapWithGroup("GOOD"), 1'000'000);
  MemoryMap* map = system.memoryMap(*project, "Common");
  ASSERT_NE(map, nullptr) << "a failure at the same file time is not remembered";
  EXPECT_TRUE(hasGroup(*map, "GOOD"));
}

TEST_F(MemoryMapCacheTest, ReadsSVDBySuffixOrBySetting) {
  const std::string svd =
      "<device><name>D</name><cpu><fpuPresent>true</fpuPresent><nvicPrioBits>3</nvicPrioBits></cpu>"
      "<peripherals><peripheral><name>UART</name><baseAddress>0x40002000</baseAddress>"
      "<interrupt><name>UART_IRQ</name><value>2</value></interrupt></peripheral></peripherals></device>";
  const std::pair<const char*, const char*> cases[] = {{"chip.SVD", "Default"}, {"chip.xml", "SVD"}};
  for (const auto& [file, type] : cases) {
    writeAt(file, svd, 1'000'000);
    set("debug_register_definition_file", file);
    set("debug_register_definition_file_type", type);
    MemoryMap* map = system.memoryMap(*project, "Common");
    ASSERT_NE(map, nullptr) << file;
    EXPECT_NE(dynamic_cast<SVDFile*>(map), nullptr) << file;
    EXPECT_TRUE(hasGroup(*map, "UART")) << file;
    EXPECT_TRUE(hasGroup(*map, "FPU")) << file;
    MemoryMapElement* priority =
        MemoryMap::findElement(map->rootElement(), Kind::Register, "name", "NVIC_IPR0");
    ASSERT_NE(priority, nullptr) << file;
    MemoryMapElement* field = MemoryMap::findElement(priority, Kind::BitField, "name", "UART");
    ASSERT_NE(field, nullptr) << file;
    EXPECT_EQ(field->start(), 21u) << "interrupt 2 with 3 priority bits";
  }
}

}  // namespace
}  // namespace tidewater
