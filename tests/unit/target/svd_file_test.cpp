#include "target/svd_file.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "support/temp_dir.h"

namespace tidewater {
namespace {

using Kind = MemoryMapElement::Kind;

/// The first element below "from" (of any kind) whose name attribute is "name".
MemoryMapElement* named(MemoryMapElement* from, const std::string& name) {
  for (int kind = 0; from && kind <= static_cast<int>(Kind::Other); ++kind) {
    if (auto* found = MemoryMap::findElement(from, static_cast<Kind>(kind), "name", name)) return found;
  }
  return nullptr;
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
  test::TempDir dir;
  const std::string path = dir.write("device.svd", kDevice);
  std::ostringstream warnings;
  SVDFile svd(&warnings);
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
    MemoryMapElement* element = named(named(root, c.group), c.name);
    ASSERT_NE(element, nullptr) << shown << " in\n" << svd.writeToString(2, 0);
    EXPECT_EQ(element->start(), c.start) << shown;
    EXPECT_EQ(element->size(), c.size) << shown;
    if (!*c.attribute) continue;
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
  test::TempDir dir;
  std::ostringstream warnings;
  SVDFile svd(&warnings);
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
