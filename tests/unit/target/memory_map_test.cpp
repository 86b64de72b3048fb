#include "target/memory_map.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <sstream>
#include <string>

#include "macro/macro_table.h"
#include "support/temp_dir.h"
#include "target/svd_file.h"

namespace tidewater {
namespace {

using test::TempDir;
using Kind = MemoryMapElement::Kind;
using Access = MemoryMapElement::Access;

/// The first element below "from" (of any kind) whose name attribute is "name".
MemoryMapElement* named(MemoryMapElement* from, const std::string& name) {
  for (int kind = 0; kind <= static_cast<int>(Kind::Other); ++kind) {
    if (auto* found = MemoryMap::findElement(from, static_cast<Kind>(kind), "name", name)) return found;
  }
  return nullptr;
}

TEST(MemoryMapTest, TagNamesGiveKindsAndAccessIsReadWriteUnlessSpelledExactly) {
  const char* const tags[] = {"MemorySegment", "Register", "ProgramSection", "Root", "RegisterGroup",
                              "BitField", "Enum", "Processor", "Vector", "memorysegment", "Registers", ""};
  for (int i = 0; i < 12; ++i) EXPECT_EQ(MemoryMapElement(tags[i]).elementKind(), Kind(std::min(i, 9))) << tags[i];
  MemoryMapElement element("Import");
  element.setName("BitField");
  EXPECT_EQ(element.elementKind(), Kind::BitField) << "renaming changes the kind";

  const std::pair<const char*, Access> cases[] = {
      {"ReadOnly", Access::ReadOnly}, {"WriteOnly", Access::WriteOnly}, {"None", Access::None},
      {"readonly", Access::ReadWrite}, {"", Access::ReadWrite}};
  for (const auto& [text, access] : cases) {
    element.setAttribute("access", text);
    EXPECT_EQ(element.access(), access) << text;
  }
  EXPECT_EQ(MemoryMapElement("Register").access(), Access::ReadWrite);
}

TEST(MemoryMapTest, ResolvesStartsAndSizes) {
  // "+" starts count from the enclosing container; a register passes on the base it got; fields and enums
  // count bits. Sizes are expressions for containers, literals for the rest; failures store 0.
  const std::string text = R"(<Root name="Device">
    <MemorySegment name="RAM" start="0x20000000" size="0x8000"><ProgramSection name=".data" start="+0x100"/>
    </MemorySegment>
    <RegisterGroup name="G" start="0x40000000"><Register name="R" start="+4">
      <BitField name="F" start="3" size="2"/><BitField name="F5" start="+5"><Enum name="E" start="+1" size="1"/>
      </BitField><Register name="Inner" start="+8"/></Register><Register name="Abs" start="0x50000000"/>
    </RegisterGroup>
    <MemorySegment name="S" start="0x100"><ProgramSection name="A" start="+0x10"><ProgramSection name="B"
      start="+0x1"/></ProgramSection><Folder name="Fo" start="0x5" size="3"><ProgramSection name="P" start="+4"/>
      </Folder></MemorySegment>
    <MemorySegment name="S4k" start="0" size="4*1024"/><Register name="R4k" start="0" size="4*1024"/>
    <RegisterGroup name="Shift" start="1 &lt;&lt; 4" size="(2+2)*4"/><Register name="Hex" size="0x10"/>
    <BitField name="Bin" size="0b101"/><Enum name="Oct" size="010"/><Register name="Suffix" size="12u"/>
    <Register name="Huge" size="99999999999999999999999"/><MemorySegment name="Bad" start="nonsense(" size="1/0"/>
    <MemorySegment name="Wide" start="0x100000004" size="0x100000008"/>
    <MemorySegment name="Top" start="0xFFFFFFF0"><ProgramSection name="Wrap" start="+0x20"/>
      <ProgramSection name="Junk" start="+junk("/></MemorySegment></Root>)";
  const struct { const char* name; uint32_t start, size; } cases[] = {
      {".data", 0x20000100, 0}, {"RAM", 0x20000000, 0x8000}, {"R", 0x40000004, 0}, {"F", 3, 2}, {"F5", 5, 0},
      {"E", 1, 1}, {"Inner", 0x40000008, 0}, {"Abs", 0x50000000, 0}, {"B", 0x111, 0}, {"P", 0x104, 0},
      {"Fo", 0, 0}, {"S4k", 0, 4096}, {"R4k", 0, 4}, {"Shift", 16, 16}, {"Hex", 0, 16}, {"Bin", 0, 5},
      {"Oct", 0, 8}, {"Suffix", 0, 12}, {"Huge", 0, 0}, {"Bad", 0, 0}, {"Wide", 4, 8}, {"Wrap", 0x10, 0},
      {"Junk", 0, 0}};
  TempDir dir;
  std::ostringstream warnings;
  MemoryMap map(&warnings);
  ASSERT_TRUE(map.load(dir.write("map.xml", text), "", false)) << map.errorText();
  for (const auto& c : cases) {
    const MemoryMapElement* element = named(map.rootElement(), c.name);
    ASSERT_NE(element, nullptr) << c.name;
    EXPECT_EQ(element->start(), c.start) << c.name;
    EXPECT_EQ(element->size(), c.size) << c.name;
  }
}

TEST(MemoryMapTest, MalformedOrMissingFilesGiveNoMapAndNoRegisterModel) {
  const struct { const char *text, *error; uint32_t line; } cases[] = {  // text null: no file at all
      {"<Root>\n<MemorySegment name=\"S\">\n</Root>", "tagName mismatch", 2},
      {"<!-- only a comment -->", "holds no element", 0}, {nullptr, "couldn't read", 0}};
  for (const auto& c : cases) {
    TempDir dir;
    const std::string path = c.text ? dir.write("map.xml", c.text) : dir.path() + "/none.xml";
    std::ostringstream warnings;
    MemoryMap map(&warnings);
    SVDFile svd(&warnings);
    for (MemoryMap* loaded : {&map, static_cast<MemoryMap*>(&svd)}) {
      const std::string shown = std::string(loaded == &map ? "map " : "SVD ") + (c.text ? c.text : "(no file)");
      EXPECT_FALSE(loaded == &map ? map.load(path, "", false) : svd.load(path, 0)) << shown;
      EXPECT_NE(loaded->errorText().find(c.error), std::string::npos) << shown << ": " << loaded->errorText();
      EXPECT_EQ(loaded->errorLine(), c.line) << shown;
      EXPECT_EQ(loaded->root(), nullptr) << shown;
    }
  }
}

TEST(MemoryMapTest, ReplacesImportsByTheFilesTheyNameAndRecordsTheirFiles) {
  TempDir dir;
  dir.write("empty.xml", "");
  const std::string part = dir.write("periph/uart.xml",
                                     "<Root name=\"UART\"><RegisterGroup name=\"UART0\" start=\"0x40001000\">"
                                     "<Register name=\"DR\" start=\"+8\"/></RegisterGroup></Root>");
  const std::string top = dir.write("board.xml", R"(<!DOCTYPE Board_Memory_Definition_File>
<Root name="Board"><MemorySegment name="FLASH" start="0" size="0x1000"/>
  <Import filename="$(TW_TEST_PERIPH)/uart.xml"/><Import filename="missing.xml"/>
  <Import filename="empty.xml"/><Import name="no file name"/></Root>)");
  const timeval times[2] = {{1600000000, 0}, {1600000000, 0}};
  ASSERT_EQ(::utimes(top.c_str(), times), 0);
  ASSERT_EQ(::chmod(part.c_str(), 0444), 0);
  MacroTable::instance().setGlobalMacro("TW_TEST_PERIPH", "periph");
  std::ostringstream warnings;
  MemoryMap map(&warnings);
  const bool loaded = map.load(top, "", false);
  MacroTable::instance().setGlobalMacro("TW_TEST_PERIPH", "");
  ASSERT_TRUE(loaded) << map.errorText();

  EXPECT_EQ(map.doctypeName(), "Board_Memory_Definition_File");
  EXPECT_EQ(map.path(), top);
  MemoryMapElement* root = map.rootElement();
  // The imports that could not be replaced stay in place.
  std::string children;
  for (XMLElement* child = root->firstChildElement(); child; child = child->nextSiblingElement()) {
    const std::string* name = child->attribute("name");
    const std::string* file = child->attribute("filename");
    children += child->name() + ":" + (name ? *name : *file) + ";";
  }
  EXPECT_EQ(children, "MemorySegment:FLASH;Root:UART;Import:missing.xml;Import:empty.xml;Import:no file name;");
  MemoryMapElement* uart = named(root, "UART");
  ASSERT_NE(uart->importedBy(), nullptr);
  EXPECT_EQ(*uart->importedBy()->attribute("filename"), "$(TW_TEST_PERIPH)/uart.xml");
  EXPECT_EQ(root->importedBy(), nullptr);
  EXPECT_EQ(named(root, "DR")->start(), 0x40001008u);
  EXPECT_EQ(warnings.str(),
            "warning: couldn't import missing.xml: couldn't read " + dir.path() + "/missing.xml\n"
            "warning: couldn't import empty.xml: the file holds no element\n");
  EXPECT_EQ(map.reports().size(), 2u);

  const auto expected = std::chrono::system_clock::time_point(std::chrono::seconds(1600000000));
  EXPECT_EQ(root->fileTime(), expected);
  EXPECT_EQ(map.fileTime(), expected);
  EXPECT_FALSE(named(root, "FLASH")->readOnly());
  if (::geteuid() != 0) {  // root may write anything
    EXPECT_TRUE(uart->readOnly());
    EXPECT_TRUE(named(root, "DR")->readOnly());
  }
}

TEST(MemoryMapTest, PreprocessesWhenAskedAndPrintsReportsAsWarnings) {
  TempDir dir;
  dir.write("part.xml", R"(<Root name="Part"><MemorySegment name="Imported" start="$(BASE)+2"/>
    <xmlput name="Seg"/></Root>)");
  const std::string top = dir.write("top.xml", R"x(<Root name="Top">
    <xmldef name="Seg"><MemorySegment name="Defined" start="0x30"/></xmldef>
    <MemorySegment name="S" start="$(BASE)"/><if><a/></if><Import filename="part.xml"/></Root>)x");
  for (const bool preprocess : {true, false}) {
    SCOPED_TRACE(preprocess ? "preprocessed" : "plain");
    std::ostringstream warnings;
    MemoryMap map(&warnings);
    ASSERT_TRUE(map.load(top, "BASE=0x1000", preprocess)) << map.errorText();
    MemoryMapElement* root = map.rootElement();
    EXPECT_EQ(named(root, "S")->start(), preprocess ? 0x1000u : 0u);
    // A definition in the top file reaches the imported one; unprocessed directives are plain elements.
    ASSERT_NE(named(root, "Defined"), nullptr);
    EXPECT_EQ(named(root, "Defined")->parent()->asElement()->name(), preprocess ? "Root" : "xmldef");
    EXPECT_EQ(named(root, "Imported")->start(), preprocess ? 0x1002u : 0u);
    EXPECT_EQ(warnings.str(),
              preprocess ? "warning: XmlPP::processConditionals(): one condition required for <if[not]>\n" : "");
  }
}

TEST(MemoryMapTest, FindElementSearchesDepthFirstFromItselfAndAddElementWritesGivenAttributes) {
  MemoryMap map;
  ASSERT_TRUE(map.parse(R"(<Root name="Top"><RegisterGroup name="A"><Register name="Ctrl" id="1">
    <BitField name="EN"/></Register></RegisterGroup><RegisterGroup name="B"><Register name="CTRL" id="2"/>
    <Register name="Ctrl" id="3"/></RegisterGroup></Root>)"));
  MemoryMapElement* root = map.rootElement();
  MemoryMapElement* groupB = MemoryMap::findElement(root, Kind::RegisterGroup, "name", "B");
  ASSERT_NE(groupB, nullptr);
  const struct { MemoryMapElement* from; const char *attribute, *value; bool exact; const char* id; } cases[] = {
      {root, "name", "Ctrl", true, "1"}, {root, "name", "CTRL", true, "2"}, {root, "name", "ctrl", true, "none"},
      {root, "name", "ctrl", false, "1"}, {root, "", "", true, "1"}, {groupB, "name", "Ctrl", true, "3"},
      {groupB, "", "", true, "2"}, {root, "id", "3", true, "3"}, {root, "missing", "", true, "none"},
      {root, "name", "Ctr", false, "none"}};
  for (const auto& c : cases) {
    MemoryMapElement* found = MemoryMap::findElement(c.from, Kind::Register, c.attribute, c.value, c.exact);
    EXPECT_EQ(found ? *found->attribute("id") : "none", c.id)
        << c.attribute << "=" << c.value << (c.exact ? "" : " (any case)") << (c.from == root ? "" : " in B");
  }
  EXPECT_EQ(MemoryMap::findElement(groupB, Kind::BitField), nullptr);
  EXPECT_EQ(MemoryMap::findElement(groupB, Kind::RegisterGroup, "name", "B"), groupB);
  EXPECT_EQ(MemoryMap::findElement(groupB, Kind::RegisterGroup, "name", "A"), nullptr) << "stays in the subtree";
  EXPECT_EQ(MemoryMap::findElement(nullptr, Kind::Root), nullptr);

  MemoryMapElement* added = map.addElement(*groupB, "Register", "CTRL2", "0x40000000", "4", "", "Control");
  EXPECT_EQ(added->parent(), groupB);
  EXPECT_EQ(added->elementKind(), Kind::Register);
  std::string attributes;
  for (const XMLAttribute& attribute : added->attributes()) {
    attributes += attribute.name + "=" + attribute.value.value_or("") + ";";
  }
  EXPECT_EQ(attributes, "name=CTRL2;start=0x40000000;size=4;description=Control;");
  MemoryMap::resolveAddresses(*root, 0);
  EXPECT_EQ(added->start(), 0x40000000u);
  EXPECT_EQ(added->size(), 4u);
}

}  // namespace
}  // namespace tidewater
