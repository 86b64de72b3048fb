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

/// No system or global macros: file names are taken as written.
const MacroTable kNoMacros;

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
  MemoryMap map(kNoMacros, &warnings);
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
    MemoryMap map(kNoMacros, &warnings);
    SVDFile svd(kNoMacros, &warnings);
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
  MacroTable macros;
  macros.setGlobalMacro("TW_TEST_PERIPH", "periph");
  std::ostringstream warnings;
  MemoryMap map(macros, &warnings);
  const bool loaded = map.load(top, "", false);
  ASSERT_TRUE(loaded) << map.errorText();

  EXPECT_EQ(map.doctypeName(), "Board_Memory_Definition_File");
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
    MemoryMap map(kNoMacros, &warnings);
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
  MemoryMap map(kNoMacros);
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
  std::string attributes;
  for (const XMLAttribute& attribute : added->attributes()) {
    attributes += attribute.name + "=" + attribute.value.value_or("") + ";";
  }
  EXPECT_EQ(attributes, "name=CTRL2;start=0x40000000;size=4;description=Control;");
  map.resolveAddresses(*root, 0);
  EXPECT_EQ(added->start(), 0x40000000u);
  EXPECT_EQ(added->size(), 4u);
}

/// The element "name" in group "group" of the model, checked for its
/// resolved start and size; null (and a failure) when there is none.
MemoryMapElement* expectPlaced(SVDFile& svd, const std::string& group, const std::string& name, uint32_t start,
                               uint32_t size) {
  const std::string shown = group + " / " + name;
  MemoryMapElement* element = named(named(svd.rootElement(), group), name);
  EXPECT_NE(element, nullptr) << shown << " in\n" << svd.writeToString(2, 0);
  if (!element) return nullptr;
  EXPECT_EQ(element->start(), start) << shown;
  EXPECT_EQ(element->size(), size) << shown;
  return element;
}

const char* const kDevice = R"(<device><name>DEV</name><size>8</size><access>writeOnce</access>
<cpu><name>CM4</name><mpuPresent>true</mpuPresent><fpuPresent>1</fpuPresent><nvicPrioBits>3</nvicPrioBits></cpu>
<peripherals><peripheral><name>P</name><baseAddress>0x40001000</baseAddress><description>Timer</description>
 <size>16</size><interrupt><name>INT_UART0</name><value>5</value></interrupt>
 <interrupt><name>TIMER1_IRQ</name><value>7</value></interrupt><interrupt><name>ADC</name><value>9</value></interrupt>
 <interrupt><name>FAR</name><value>256</value></interrupt><registers>
 <register><dim>4</dim><dimIncrement>4</dimIncrement><name>CH%s</name><addressOffset>0x10</addressOffset></register>
 <register><dim>2</dim><dimIncrement>8</dimIncrement><dimIndex>A,B</dimIndex><name>L%s</name>
  <addressOffset>0x20</addressOffset></register>
 <register><dim>2</dim><dimIncrement>4</dimIncrement><dimIndex>6-7</dimIndex><name>N%s</name>
  <addressOffset>0x30</addressOffset></register>
 <register><name>CR</name><addressOffset>0x8</addressOffset><size>32</size><access>read-only</access><fields>
  <field><name>EN</name><bitOffset>3</bitOffset><bitWidth>2</bitWidth></field>
  <field><name>ONE</name><bitOffset>31</bitOffset><readAction>clear</readAction></field>
  <field><name>RANGE</name><bitRange>[7:5]</bitRange><enumeratedValues><name>modes</name>
   <enumeratedValue><name>FAST</name><value>#101</value></enumeratedValue>
   <enumeratedValue><name>SLOW</name><value>0x2</value><description>d</description></enumeratedValue>
  </enumeratedValues></field>
  <field><name>LM</name><lsb>16</lsb><msb>23</msb><enumeratedValues derivedFrom="modes"/></field>
  <field derivedFrom="EN"><name>EN2</name></field></fields></register>
 <register derivedFrom="CR"><name>CR2</name><addressOffset>0xC</addressOffset></register>
 <register><name>WO</name><addressOffset>0x40</addressOffset><access>write-only</access></register>
 <register><name>RC</name><addressOffset>0x44</addressOffset><access>read-write</access>
  <readAction>clear</readAction></register>
 <register><name>RWO</name><addressOffset>0x48</addressOffset><access>read-writeOnce</access></register>
 <cluster><dim>2</dim><dimIncrement>0x20</dimIncrement><name>RAM[%s]</name><addressOffset>0x900</addressOffset>
  <size>24</size><register><name>STATUS</name><addressOffset>0x4</addressOffset></register>
  <cluster><name>SUB</name><addressOffset>0x10</addressOffset>
   <register><name>CTRL</name><addressOffset>0x8</addressOffset></register></cluster></cluster>
 </registers></peripheral>
<peripheral derivedFrom="P"><name>Q</name><baseAddress>0X40002000</baseAddress><prependToName>Q_</prependToName>
 <appendToName>_X</appendToName></peripheral>
<peripheral><name>D</name><baseAddress>0</baseAddress><registers>
 <register><name>DEVSIZE</name><addressOffset>0</addressOffset></register></registers></peripheral>
</peripherals></device>)";

TEST(SVDFileTest, ConvertsPeripheralsRegistersFieldsAndEnums) {
  TempDir dir;
  const std::string path = dir.write("device.svd", kDevice);
  std::ostringstream warnings;
  SVDFile svd(kNoMacros, &warnings);
  ASSERT_TRUE(svd.load(path, 0)) << svd.errorText();
  MemoryMapElement* root = svd.rootElement();
  EXPECT_EQ(root->name() + " " + root->nameAttribute(), "Processor DEV");
  EXPECT_EQ(svd.cpuName() + " " + svd.mpuPresent() + " " + std::to_string(svd.priorityBits()) +
                (svd.hasFPU() ? " FPU" : ""), "CM4 true 3 FPU");

  const struct {
    const char *group, *name;
    uint32_t start, size;
    const char* attribute;  // "NAME=VALUE" that must be set, or ""
  } cases[] = {
      // Sizes in bytes: the register's own, else the peripheral's or cluster's, else the device's.
      {"P", "CH0", 0x40001010, 2, "access=writeOnce"}, {"P", "CH3", 0x4000101C, 2, ""}, {"P", "LA", 0x40001020, 2, ""},
      {"P", "LB", 0x40001028, 2, ""}, {"P", "N6", 0x40001030, 2, ""}, {"P", "N7", 0x40001034, 2, ""},
      {"P", "CR", 0x40001008, 4, "access=ReadOnly"}, {"P", "EN", 3, 2, ""}, {"P", "ONE", 31, 1, "access=None"},
      {"P", "RANGE", 5, 3, ""}, {"P", "LM", 16, 8, ""}, {"P", "EN2", 3, 2, ""}, {"P", "FAST", 5, 0, "start=0b101"},
      {"P", "SLOW", 2, 0, "description=d"}, {"LM", "FAST", 5, 0, "start=0b101"}, {"CR2", "EN", 3, 2, ""},
      {"CR2", "CR2", 0x4000100C, 4, "access=ReadOnly"}, {"P", "WO", 0x40001040, 2, "access=WriteOnly"},
      {"P", "RC", 0x40001044, 2, "access=None"}, {"P", "RWO", 0x40001048, 2, "access=read-writeOnce"},
      {"P (RAM[0])", "STATUS", 0x40001904, 3, ""}, {"P (RAM[1])", "STATUS", 0x40001924, 3, ""},
      {"P (RAM[1].SUB)", "CTRL", 0x40001938, 3, ""}, {"D", "DEVSIZE", 0, 1, ""},
      // A derived peripheral without registers copies its base's at its own address.
      {"Q", "Q", 0x40002000, 0, "description=Timer"}, {"Q", "Q_CH1_X", 0x40002014, 2, ""},
      {"Q", "Q_CR_X", 0x40002008, 4, ""}, {"Q", "EN", 3, 2, ""}, {"Q (RAM[1].SUB)", "Q_CTRL_X", 0x40002938, 3, ""},
  };
  for (const auto& c : cases) {
    const std::string shown = std::string(c.group) + " / " + c.name;
    MemoryMapElement* element = expectPlaced(svd, c.group, c.name, c.start, c.size);
    if (!element || !*c.attribute) continue;
    const std::string wanted = c.attribute;
    const std::string* value = element->attribute(wanted.substr(0, wanted.find('=')));
    EXPECT_EQ(value ? wanted.substr(0, wanted.find('=') + 1) + *value : "(none)", wanted) << shown;
  }
  EXPECT_EQ(*named(root, "Q")->attribute("start"), "0x40002000") << "upper-case 0X is rewritten";

  const std::vector<MemoryMapElement*>& vectors = svd.interruptVectors();
  ASSERT_EQ(vectors.size(), SVDFile::kVectorTableLength);
  std::string table;
  for (size_t i = 0; i < 10; ++i) table += vectors[i] ? vectors[i]->nameAttribute() + " " : "- ";
  EXPECT_EQ(table, "- - - - - UART0 - TIMER1 - ADC ");
  EXPECT_EQ(svd.highestInterrupt(), 9) << "256 is beyond the table";
  EXPECT_EQ(warnings.str(), "");

  ASSERT_TRUE(svd.load(path, SVDFile::KeepSizeInBits));
  const std::pair<const char*, uint32_t> bitSizes[] = {{"CR", 32}, {"CH0", 16}, {"STATUS", 24}, {"DEVSIZE", 8}};
  for (const auto& [name, bits] : bitSizes) {
    EXPECT_EQ(named(svd.rootElement(), name)->size(), bits) << name << " with sizes kept in bits";
  }
}

TEST(SVDFileTest, FieldArraysNumberFormsDerivedClustersAndInheritedAccess) {
  const char* const device = R"(<device><name>DEV</name><size>32</size><access>read-write</access>
<peripherals><peripheral><name>P</name><baseAddress>#0100000000000000000000000000000</baseAddress>
 <access>read-only</access><registers>
 <register><name>CH</name><addressOffset>0040</addressOffset><description>channel&#8217;s &#x19;</description><fields>
  <field><dim>3</dim><dimIncrement>4</dimIncrement><dimIndex>A-C</dimIndex><name>ERR_%s</name>
   <description>error of %s</description><bitOffset>2</bitOffset><bitWidth>2</bitWidth><access>write-only</access>
   <enumeratedValues><enumeratedValue><name>SET</name><value>010</value></enumeratedValue></enumeratedValues></field>
  <field><dim>2</dim><dimIncrement>1</dimIncrement><name>F%s</name><bitOffset>0</bitOffset></field></fields></register>
 <register><dim>2</dim><dimIncrement>1k</dimIncrement><dimIndex>x-z</dimIndex><name>L%s</name>
  <description>line %s</description><addressOffset>0x08</addressOffset></register>
 <cluster><name>BASE</name><addressOffset>0x100</addressOffset><access>write-only</access>
  <register><name>R</name><addressOffset>4</addressOffset></register></cluster>
 <cluster derivedFrom="BASE"><dim>2</dim><dimIncrement>0x20</dimIncrement><name>COPY%s</name>
  <addressOffset>2K</addressOffset></cluster>
 <cluster derivedFrom="P.BASE"><name>OTHER</name><addressOffset>0x4000</addressOffset><access>read-write</access>
  <register><name>OWN</name><addressOffset>0</addressOffset></register></cluster>
 </registers></peripheral>
<peripheral><name>M</name><baseAddress>1M</baseAddress><registers>
 <register><name>DEV</name><addressOffset>+010</addressOffset></register></registers></peripheral>
</peripherals></device>)";
  TempDir dir;
  std::ostringstream warnings;
  SVDFile svd(kNoMacros, &warnings);
  ASSERT_TRUE(svd.load(dir.write("device.svd", device), 0)) << svd.errorText();
  MemoryMapElement* root = svd.rootElement();
  const struct {
    const char *group, *name;
    uint32_t start, size;
    const char* access;  // "" when none is written
    const char* description;
  } cases[] = {
      // Binary base, decimal offset with a leading zero, scaled numbers.
      {"P", "CH", 0x20000028, 4, "ReadOnly", "channel\xE2\x80\x99s \xEF\xBF\xBD"},
      {"CH", "ERR_A", 2, 2, "WriteOnly", "error of A"}, {"CH", "ERR_B", 6, 2, "WriteOnly", "error of B"},
      {"CH", "ERR_C", 10, 2, "WriteOnly", "error of C"}, {"CH", "F0", 0, 1, "", ""}, {"CH", "F1", 1, 1, "", ""},
      {"ERR_C", "SET", 10, 0, "", ""},
      {"P", "Lx", 0x20000008, 4, "ReadOnly", "line x"}, {"P", "Ly", 0x20000408, 4, "ReadOnly", "line y"},
      // Access comes from the nearest cluster, else the peripheral, else the device.
      {"P (BASE)", "R", 0x20000104, 4, "WriteOnly", ""},
      {"P (COPY0)", "R", 0x20000804, 4, "WriteOnly", ""}, {"P (COPY1)", "R", 0x20000824, 4, "WriteOnly", ""},
      {"P (OTHER)", "OWN", 0x20004000, 4, "read-write", ""}, {"M", "DEV", 0x0010000A, 4, "read-write", ""},
  };
  for (const auto& c : cases) {
    const std::string shown = std::string(c.group) + " / " + c.name;
    MemoryMapElement* element = expectPlaced(svd, c.group, c.name, c.start, c.size);
    if (!element) continue;
    const std::string* access = element->attribute("access");
    EXPECT_EQ(access ? *access : "", c.access) << shown;
    EXPECT_EQ(element->hasDescription() ? element->description() : "", c.description) << shown;
  }
  EXPECT_EQ(named(named(root, "CH"), "ERR_%s"), nullptr);
  EXPECT_EQ(named(named(root, "CH"), "ERR_D"), nullptr);
  EXPECT_EQ(named(named(root, "P (OTHER)"), "R"), nullptr) << "a cluster with registers of its own keeps them";
  EXPECT_EQ(warnings.str(), "");
}

TEST(SVDFileTest, ExpansionStaysWithinItsBounds) {
  // A dim of 70000, clusters nested 33 deep and a derivedFrom chain of 17
  // links are cut to 65536 copies, 32 levels and 16 links; cycles end.
  std::string clusters;
  for (int depth = 0; depth < 33; ++depth) clusters = "<cluster><name>N</name>" + clusters + "</cluster>";
  std::string text = "<device><peripherals><peripheral><name>B</name><baseAddress>0</baseAddress><registers>"
                     "<register><dim>70000</dim><dimIncrement>4</dimIncrement><name>R%s</name>"
                     "<addressOffset>0</addressOffset></register>" + clusters + "</registers></peripheral>"
                     "<peripheral><name>C0</name><description>base</description></peripheral>"
                     "<peripheral derivedFrom=\"LOOP_B\"><name>LOOP_A</name></peripheral>"
                     "<peripheral derivedFrom=\"LOOP_A\"><name>LOOP_B</name></peripheral>";
  for (int i = 1; i <= 17; ++i) {
    text += "<peripheral derivedFrom=\"C" + std::to_string(i - 1) + "\"><name>C" + std::to_string(i) +
            "</name></peripheral>";
  }
  TempDir dir;
  std::ostringstream warnings;
  SVDFile svd(kNoMacros, &warnings);
  ASSERT_TRUE(svd.load(dir.write("device.svd", text + "</peripherals></device>"), 0)) << svd.errorText();
  MemoryMapElement* root = svd.rootElement();
  EXPECT_NE(MemoryMap::findElement(root, Kind::Register, "name", "R65535"), nullptr);
  EXPECT_EQ(MemoryMap::findElement(root, Kind::Register, "name", "R65536"), nullptr);
  const auto group = [root](const std::string& name) {
    return MemoryMap::findElement(root, Kind::RegisterGroup, "name", name);
  };
  std::string deepest = "B (N";
  for (int depth = 1; depth < 32; ++depth) deepest += ".N";
  EXPECT_NE(group(deepest + ")"), nullptr) << deepest;
  EXPECT_EQ(group(deepest + ".N)"), nullptr) << deepest;
  EXPECT_EQ(group("C16")->description(), "base");
  EXPECT_FALSE(group("C17")->hasDescription());
  EXPECT_EQ(warnings.str(), "warning: dim 70000 of R%s cut to 65536\n"
                            "warning: clusters nested deeper than 32 are left out\n");

  // The total number of elements is bounded too.
  svd.setSVDLimits({.maxDim = 8, .maxElements = 12});
  ASSERT_TRUE(svd.load(dir.write("small.svd", "<device><peripherals><peripheral><name>P</name><registers>"
                                              "<register><dim>20</dim><name>R%s</name></register>"
                                              "<register><dim>5</dim><name>S%s</name></register>"
                                              "</registers></peripheral></peripherals></device>"), 0));
  EXPECT_NE(named(svd.rootElement(), "R7"), nullptr);
  EXPECT_EQ(named(svd.rootElement(), "R8"), nullptr);
  EXPECT_NE(named(svd.rootElement(), "S2"), nullptr);
  EXPECT_EQ(named(svd.rootElement(), "S3"), nullptr);
  EXPECT_NE(warnings.str().find("cut to 8\nwarning: register description too large: stopped after 12 elements"),
            std::string::npos) << warnings.str();
}

}  // namespace
}  // namespace tidewater
