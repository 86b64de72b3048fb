#include "target/memory_map.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <array>
#include <sstream>
#include <string>

#include "macro/macro_table.h"
#include "support/temp_dir.h"

namespace tidewater {
namespace {

using test::TempDir;
using Kind = MemoryMapElement::Kind;
using Access = MemoryMapElement::Access;

constexpr std::array<Kind, 10> kAllKinds{Kind::MemorySegment, Kind::Register,
                                         Kind::ProgramSection, Kind::Root,
                                         Kind::RegisterGroup,  Kind::BitField,
                                         Kind::Enum,           Kind::Processor,
                                         Kind::Vector,         Kind::Other};

/// The first element of any kind whose name attribute is "name".
MemoryMapElement* named(MemoryMap& map, const std::string& name) {
  for (Kind kind : kAllKinds) {
    if (MemoryMapElement* found = MemoryMap::findElement(map.rootElement(), kind, "name", name)) {
      return found;
    }
  }
  return nullptr;
}

TEST(MemoryMapTest, TagNamesGiveKinds) {
  const std::pair<const char*, Kind> cases[] = {
      {"MemorySegment", Kind::MemorySegment}, {"Register", Kind::Register},
      {"ProgramSection", Kind::ProgramSection}, {"Root", Kind::Root},
      {"RegisterGroup", Kind::RegisterGroup}, {"BitField", Kind::BitField},
      {"Enum", Kind::Enum}, {"Processor", Kind::Processor}, {"Vector", Kind::Vector},
      {"memorysegment", Kind::Other}, {"Registers", Kind::Other}, {"", Kind::Other},
  };
  for (const auto& [tag, kind] : cases) {
    EXPECT_EQ(MemoryMapElement(tag).elementKind(), kind) << tag;
  }
  MemoryMapElement element("Import");
  element.setName("BitField");
  EXPECT_EQ(element.elementKind(), Kind::BitField) << "renaming changes the kind";
}

TEST(MemoryMapTest, AccessIsReadWriteUnlessSpelledExactly) {
  const std::pair<const char*, Access> cases[] = {
      {"ReadOnly", Access::ReadOnly}, {"WriteOnly", Access::WriteOnly},
      {"None", Access::None},         {"ReadWrite", Access::ReadWrite},
      {"readonly", Access::ReadWrite}, {"", Access::ReadWrite},
  };
  for (const auto& [text, access] : cases) {
    MemoryMapElement reg("Register");
    reg.setAttribute("access", text);
    EXPECT_EQ(reg.access(), access) << text;
  }
  EXPECT_EQ(MemoryMapElement("Register").access(), Access::ReadWrite);
}

TEST(MemoryMapTest, ResolvesStartsAndSizes) {
  struct Case {
    const char* body;  // inside <Root>
    const char* element;
    uint32_t start;
    uint32_t size;
  };
  const Case cases[] = {
      // "+" starts count from the enclosing segment, section or group.
      {R"(<MemorySegment name="RAM" start="0x20000000" size="0x8000">
            <ProgramSection name=".data" start="+0x100"/></MemorySegment>)",
       ".data", 0x20000100, 0},
      {R"(<MemorySegment name="RAM" start="0x20000000" size="0x8000"/>)", "RAM", 0x20000000,
       0x8000},
      {R"(<RegisterGroup name="G" start="0x40000000"><Register name="R" start="+4">
            <BitField name="F" start="3" size="2"/></Register></RegisterGroup>)",
       "R", 0x40000004, 0},
      {R"(<RegisterGroup name="G" start="0x40000000"><Register name="R" start="+4">
            <BitField name="F" start="3" size="2"/></Register></RegisterGroup>)",
       "F", 3, 2},
      // A field's start is a bit number: "+" adds nothing.
      {R"(<RegisterGroup name="G" start="0x40000000"><Register name="R" start="+4">
            <BitField name="F" start="+5"><Enum name="E" start="+1" size="1"/></BitField>
            </Register></RegisterGroup>)",
       "E", 1, 1},
      {R"(<RegisterGroup name="G" start="0x40000000"><Register name="R" start="+4">
            <BitField name="F" start="+5"/></Register></RegisterGroup>)",
       "F", 5, 0},
      // A register passes on its own base, not its start.
      {R"(<RegisterGroup name="G" start="0x1000"><Register name="R" start="+4">
            <Register name="Inner" start="+8"/></Register></RegisterGroup>)",
       "Inner", 0x1008, 0},
      // An absolute start ignores the base.
      {R"(<RegisterGroup name="G" start="0x1000"><Register name="R" start="0x50000000"/>
          </RegisterGroup>)",
       "R", 0x50000000, 0},
      // Sections nest: each one is the base of the next.
      {R"(<MemorySegment name="S" start="0x100"><ProgramSection name="A" start="+0x10">
            <ProgramSection name="B" start="+0x1"/></ProgramSection></MemorySegment>)",
       "B", 0x111, 0},
      // Other elements pass the base through unchanged and keep 0.
      {R"(<MemorySegment name="S" start="0x100"><Folder name="F" start="0x5" size="3">
            <ProgramSection name="P" start="+4"/></Folder></MemorySegment>)",
       "P", 0x104, 0},
      {R"(<MemorySegment name="S" start="0x100"><Folder name="F" start="0x5" size="3"/>
          </MemorySegment>)",
       "F", 0, 0},
      // Sizes: expressions for containers, literals for registers, fields, enums.
      {R"(<MemorySegment name="S" start="0" size="4*1024"/>)", "S", 0, 4096},
      {R"(<Register name="R" start="0" size="4*1024"/>)", "R", 0, 4},
      {R"(<RegisterGroup name="G" start="1 &lt;&lt; 4" size="(2+2)*4"/>)", "G", 16, 16},
      {R"(<Register name="R" size="0x10"/>)", "R", 0, 16},
      {R"(<BitField name="F" size="0b101"/>)", "F", 0, 5},
      {R"(<Enum name="E" size="010"/>)", "E", 0, 8},
      {R"(<Register name="R" size="12u"/>)", "R", 0, 12},
      {R"(<Register name="R" size="99999999999999999999999"/>)", "R", 0, 0},
      // Failures store 0; results are cut to 32 bits.
      {R"(<MemorySegment name="S" start="nonsense(" size="1/0"/>)", "S", 0, 0},
      {R"(<MemorySegment name="S" start="0x100000004" size="0x100000008"/>)", "S", 4, 8},
      {R"(<MemorySegment name="S" start="0x10"><ProgramSection name="P" start="+junk("/>
          </MemorySegment>)",
       "P", 0, 0},
      {R"(<MemorySegment name="S" start="0xFFFFFFF0"><ProgramSection name="P" start="+0x20"/>
          </MemorySegment>)",
       "P", 0x10, 0},
  };
  for (const Case& c : cases) {
    TempDir dir;
    std::ostringstream warnings;
    MemoryMap map(&warnings);
    const std::string text = std::string("<Root name=\"Device\">") + c.body + "</Root>";
    ASSERT_TRUE(map.load(dir.write("map.xml", text), "", false)) << text << map.errorText();
    const MemoryMapElement* element = named(map, c.element);
    ASSERT_NE(element, nullptr) << c.element << " in " << text;
    EXPECT_EQ(element->start(), c.start) << c.element << " in " << text;
    EXPECT_EQ(element->size(), c.size) << c.element << " in " << text;
  }
}

TEST(MemoryMapTest, MalformedOrMissingFilesGiveNoMap) {
  struct Case {
    const char* text;  // null: no file at all
    const char* error;
    uint32_t line;
  };
  const Case cases[] = {
      {"<Root>\n<MemorySegment name=\"S\">\n</Root>", "tagName mismatch", 2},
      {"<Root>\n  <Register name=\"R\" start=0x10/>\n</Root>", "bad tagName", 1},
      {"", "holds no element", 0},
      {"<!-- only a comment -->", "holds no element", 0},
      {nullptr, "couldn't read", 0},
  };
  for (const Case& c : cases) {
    TempDir dir;
    const std::string path = c.text ? dir.write("map.xml", c.text) : dir.path() + "/none.xml";
    std::ostringstream warnings;
    MemoryMap map(&warnings);
    const std::string shown = c.text ? c.text : "(no file)";
    EXPECT_FALSE(map.load(path, "", false)) << shown;
    EXPECT_NE(map.errorText().find(c.error), std::string::npos) << shown << ": " << map.errorText();
    EXPECT_EQ(map.errorLine(), c.line) << shown;
    EXPECT_EQ(map.rootElement(), nullptr) << shown;
  }
}

TEST(MemoryMapTest, ReplacesImportsByTheFilesTheyName) {
  TempDir dir;
  dir.write("empty.xml", "");
  dir.write("periph/uart.xml",
            "<!DOCTYPE Register_Definition_File>\n"
            "<Root name=\"UART\"><RegisterGroup name=\"UART0\" start=\"0x40001000\">"
            "<Register name=\"DR\" start=\"+8\"/></RegisterGroup></Root>");
  const std::string top = dir.write(
      "board.xml",
      "<!DOCTYPE Board_Memory_Definition_File>\n"
      "<Root name=\"Board\">\n"
      "  <MemorySegment name=\"FLASH\" start=\"0\" size=\"0x1000\"/>\n"
      "  <Import filename=\"$(TW_TEST_PERIPH)/uart.xml\"/>\n"
      "  <Import filename=\"missing.xml\"/>\n"
      "  <Import filename=\"empty.xml\"/>\n"
      "  <Import name=\"no file name\"/>\n"
      "</Root>");
  MacroTable::instance().setGlobalMacro("TW_TEST_PERIPH", "periph");
  std::ostringstream warnings;
  MemoryMap map(&warnings);
  const bool loaded = map.load(top, "", false);
  MacroTable::instance().setGlobalMacro("TW_TEST_PERIPH", "");
  ASSERT_TRUE(loaded) << map.errorText();

  EXPECT_EQ(map.doctypeName(), "Board_Memory_Definition_File");
  EXPECT_EQ(map.path(), top);
  MemoryMapElement* root = map.rootElement();
  ASSERT_NE(root, nullptr);
  // The children in order: the segment, the imported root, and the two
  // imports that could not be replaced.
  std::vector<std::string> children;
  for (XMLElement* child = root->firstChildElement(); child; child = child->nextSiblingElement()) {
    const std::string* name = child->attribute("name");
    const std::string* file = child->attribute("filename");
    children.push_back(child->name() + ":" + (name ? *name : file ? *file : ""));
  }
  EXPECT_EQ(children, (std::vector<std::string>{"MemorySegment:FLASH", "Root:UART",
                                                "Import:missing.xml", "Import:empty.xml",
                                                "Import:no file name"}));

  MemoryMapElement* uart = MemoryMap::findElement(root, Kind::Root, "name", "UART");
  ASSERT_NE(uart, nullptr);
  ASSERT_NE(uart->importedBy(), nullptr);
  EXPECT_EQ(*uart->importedBy()->attribute("filename"), "$(TW_TEST_PERIPH)/uart.xml");
  EXPECT_EQ(root->importedBy(), nullptr);
  MemoryMapElement* dr = named(map, "DR");
  ASSERT_NE(dr, nullptr);
  EXPECT_EQ(dr->start(), 0x40001008u);

  EXPECT_NE(warnings.str().find("warning: couldn't import missing.xml: couldn't read"),
            std::string::npos)
      << warnings.str();
  EXPECT_NE(warnings.str().find("warning: couldn't import empty.xml: the file holds no element\n"),
            std::string::npos)
      << warnings.str();
  EXPECT_EQ(map.reports().size(), 2u);
}

TEST(MemoryMapTest, FileRootsRecordTimeAndWritability) {
  TempDir dir;
  const std::string part = dir.write("part.xml", "<Root name=\"Part\"><Register name=\"P\"/></Root>");
  const std::string top = dir.write(
      "top.xml", "<Root name=\"Top\"><Import filename=\"part.xml\"/><Register name=\"T\"/></Root>");
  const timeval times[2] = {{1600000000, 0}, {1600000000, 0}};
  ASSERT_EQ(::utimes(top.c_str(), times), 0);
  ASSERT_EQ(::chmod(part.c_str(), 0444), 0);

  std::ostringstream warnings;
  MemoryMap map(&warnings);
  ASSERT_TRUE(map.load(top, "", false)) << map.errorText();
  const auto expected = std::chrono::system_clock::time_point(std::chrono::seconds(1600000000));
  EXPECT_EQ(map.rootElement()->fileTime(), expected);
  EXPECT_EQ(map.fileTime(), expected);
  EXPECT_FALSE(named(map, "T")->readOnly());
  // Root may write anything, so a read-only mode says nothing there.
  if (::geteuid() != 0) {
    EXPECT_TRUE(named(map, "Part")->readOnly());
    EXPECT_TRUE(named(map, "P")->readOnly());
  }
}

TEST(MemoryMapTest, PreprocessesWhenAskedAndPrintsReportsAsWarnings) {
  TempDir dir;
  dir.write("part.xml",
            "<Root name=\"Part\"><MemorySegment name=\"Imported\" start=\"$(BASE)+2\"/>"
            "<xmlput name=\"Seg\"/></Root>");
  const std::string top = dir.write(
      "top.xml",
      "<Root name=\"Top\">"
      "<xmldef name=\"Seg\"><MemorySegment name=\"Defined\" start=\"0x30\"/></xmldef>"
      "<MemorySegment name=\"S\" start=\"$(BASE)\"/>"
      "<if><a/></if>"
      "<Import filename=\"part.xml\"/></Root>");
  {
    std::ostringstream warnings;
    MemoryMap map(&warnings);
    ASSERT_TRUE(map.load(top, "BASE=0x1000", true)) << map.errorText();
    EXPECT_EQ(named(map, "S")->start(), 0x1000u);
    EXPECT_EQ(named(map, "Imported")->start(), 0x1002u);
    // A definition made in the top file reaches the imported one.
    ASSERT_NE(named(map, "Defined"), nullptr);
    EXPECT_EQ(named(map, "Defined")->start(), 0x30u);
    EXPECT_EQ(warnings.str(),
              "warning: XmlPP::processConditionals(): one condition required for <if[not]>\n");
  }
  {
    std::ostringstream warnings;
    MemoryMap map(&warnings);
    ASSERT_TRUE(map.load(top, "BASE=0x1000", false)) << map.errorText();
    EXPECT_EQ(named(map, "S")->start(), 0u) << "unexpanded text does not evaluate";
    // Directives stay ordinary elements.
    ASSERT_NE(named(map, "Defined"), nullptr);
    EXPECT_EQ(named(map, "Defined")->parent()->asElement()->name(), "xmldef");
    EXPECT_EQ(warnings.str(), "");
  }
}

TEST(MemoryMapTest, FindElementSearchesDepthFirstFromItself) {
  TempDir dir;
  std::ostringstream warnings;
  MemoryMap map(&warnings);
  ASSERT_TRUE(map.load(dir.write("map.xml",
                                 "<Root name=\"Top\">"
                                 "<RegisterGroup name=\"A\"><Register name=\"Ctrl\" id=\"1\">"
                                 "<BitField name=\"EN\"/></Register></RegisterGroup>"
                                 "<RegisterGroup name=\"B\"><Register name=\"CTRL\" id=\"2\"/>"
                                 "<Register name=\"Ctrl\" id=\"3\"/></RegisterGroup>"
                                 "</Root>"),
                       "", false));
  MemoryMapElement* root = map.rootElement();
  MemoryMapElement* groupB = MemoryMap::findElement(root, Kind::RegisterGroup, "name", "B");
  ASSERT_NE(groupB, nullptr);
  struct Case {
    MemoryMapElement* from;
    Kind kind;
    const char* attribute;
    const char* value;
    bool caseSensitive;
    const char* expectedId;  // null: nothing found
  };
  const Case cases[] = {
      {root, Kind::Register, "name", "Ctrl", true, "1"},
      {root, Kind::Register, "name", "CTRL", true, "2"},
      {root, Kind::Register, "name", "ctrl", true, nullptr},
      {root, Kind::Register, "name", "ctrl", false, "1"},
      {root, Kind::Register, "", "", true, "1"},
      {groupB, Kind::Register, "name", "Ctrl", true, "3"},
      {groupB, Kind::Register, "", "", true, "2"},
      {groupB, Kind::BitField, "", "", true, nullptr},
      {root, Kind::Register, "id", "3", true, "3"},
      {root, Kind::Register, "missing", "", true, nullptr},
      {root, Kind::Register, "name", "Ctr", false, nullptr},
  };
  for (const Case& c : cases) {
    const std::string shown = std::string(c.attribute) + "=" + c.value +
                              (c.caseSensitive ? "" : " (any case)") +
                              (c.from == groupB ? " from B" : " from root");
    MemoryMapElement* found = MemoryMap::findElement(c.from, c.kind, c.attribute, c.value,
                                                     c.caseSensitive);
    if (!c.expectedId) {
      EXPECT_EQ(found, nullptr) << shown;
    } else {
      ASSERT_NE(found, nullptr) << shown;
      EXPECT_EQ(*found->attribute("id"), c.expectedId) << shown;
    }
  }
  EXPECT_EQ(MemoryMap::findElement(groupB, Kind::RegisterGroup, "name", "B"), groupB);
  EXPECT_EQ(MemoryMap::findElement(groupB, Kind::RegisterGroup, "name", "A"), nullptr)
      << "the search stays inside the subtree";
  EXPECT_EQ(MemoryMap::findElement(nullptr, Kind::Root), nullptr);
}

TEST(MemoryMapTest, AddElementWritesOnlyTheGivenAttributes) {
  MemoryMap map;
  map.setRoot(map.createElement("Root"));
  MemoryMapElement* added = map.addElement(*map.rootElement(), "Register", "CTRL", "0x40000000",
                                           "4", "", "Control");
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->parent(), map.rootElement());
  EXPECT_EQ(added->elementKind(), Kind::Register);
  std::string attributes;
  for (const XMLAttribute& attribute : added->attributes()) {
    attributes += attribute.name + "=" + attribute.value.value_or("") + ";";
  }
  EXPECT_EQ(attributes, "name=CTRL;start=0x40000000;size=4;description=Control;");
  MemoryMap::resolveAddresses(*map.rootElement(), 0);
  EXPECT_EQ(added->start(), 0x40000000u);
  EXPECT_EQ(added->size(), 4u);
}

}  // namespace
}  // namespace tidewater
