#include "target/svd_file.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "support/temp_dir.h"

namespace tidewater {
namespace {

using Kind = MemoryMapElement::Kind;

/// Loads an SVD device made of "body" (the device's children) and keeps the warnings.
class SVDFileTest : public ::testing::Test {
 protected:
  SVDFile& load(const std::string& body, uint32_t options = 0) {
    const std::string path = directory.write("device.svd", "<device><name>DEV</name>" + body + "</device>");
    EXPECT_TRUE(svd.load(path, options)) << svd.errorText() << "\n" << body;
    return svd;
  }

  /// The first element of "kind" named "name"; fails the test when there is none.
  MemoryMapElement& named(Kind kind, const std::string& name) {
    MemoryMapElement* found = MemoryMap::findElement(svd.rootElement(), kind, "name", name);
    static MemoryMapElement missing("missing");
    EXPECT_NE(found, nullptr) << name << " in\n" << svd.writeToString(2, 0);
    return found ? *found : missing;
  }

  std::string attribute(MemoryMapElement& element, const char* name) {
    const std::string* value = element.attribute(name);
    return value ? *value : "(none)";
  }

  test::TempDir directory;
  std::ostringstream warnings;
  SVDFile svd{&warnings};
};

std::string peripheral(const std::string& name, const std::string& base, const std::string& registers,
                       const std::string& extra = {}) {
  return "<peripheral><name>" + name + "</name><baseAddress>" + base + "</baseAddress>" + extra +
         "<registers>" + registers + "</registers></peripheral>";
}

TEST_F(SVDFileTest, DimensionedRegistersStepThroughTheirIndexes) {
  const std::pair<const char*, const char*> cases[] = {
      {"", "CH0 CH1 CH2 CH3"}, {"<dimIndex>A,B,C,D</dimIndex>", "CHA CHB CHC CHD"},
      {"<dimIndex>4-7</dimIndex>", "CH4 CH5 CH6 CH7"}};
  for (const auto& [index, names] : cases) {
    load("<peripherals>" +
         peripheral("P", "0x40001000",
                    std::string("<register><dim>4</dim><dimIncrement>4</dimIncrement>") + index +
                        "<name>CH%s</name><addressOffset>0x10</addressOffset></register>") +
         "</peripherals>");
    std::istringstream expected(names);
    uint32_t address = 0x40001010;
    for (std::string name; expected >> name; address += 4) {
      EXPECT_EQ(named(Kind::Register, name).start(), address) << name << " with " << index;
    }
  }
}

TEST_F(SVDFileTest, DerivedPeripheralCopiesItsBaseAtItsOwnAddress) {
  load("<size>32</size><peripherals>" +
       peripheral("TIMER0", "0x40010000",
                  "<register><name>CR</name><addressOffset>0x8</addressOffset>"
                  "<fields><field><name>EN</name><bitOffset>3</bitOffset><bitWidth>2</bitWidth></field>"
                  "</fields></register>",
                  "<description>Timer</description>") +
       "<peripheral derivedFrom=\"TIMER0\"><name>TIMER1</name><baseAddress>0X40010100</baseAddress>"
       "</peripheral>"
       // Derivation cycles end; the names simply find nothing to copy.
       "<peripheral derivedFrom=\"LOOP_B\"><name>LOOP_A</name></peripheral>"
       "<peripheral derivedFrom=\"LOOP_A\"><name>LOOP_B</name></peripheral>"
       "</peripherals>");
  MemoryMapElement& timer1 = named(Kind::RegisterGroup, "TIMER1");
  EXPECT_EQ(attribute(timer1, "start"), "0x40010100") << "upper-case 0X is rewritten";
  EXPECT_EQ(attribute(timer1, "description"), "Timer");
  MemoryMapElement* copy = MemoryMap::findElement(&timer1, Kind::Register, "name", "CR");
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->start(), 0x40010108u);
  EXPECT_EQ(copy->size(), 4u);
  EXPECT_EQ(MemoryMap::findElement(copy, Kind::BitField)->start(), 3u);
  EXPECT_EQ(MemoryMap::findElement(&named(Kind::RegisterGroup, "LOOP_A"), Kind::Register), nullptr);
}

TEST_F(SVDFileTest, FieldPositionsComeFromAnyOfTheThreeForms) {
  struct Case {
    const char* position;
    uint32_t start;
    uint32_t size;
  };
  const Case cases[] = {
      {"<bitRange>[7:4]</bitRange>", 4, 4},
      {"<bitOffset>8</bitOffset><bitWidth>3</bitWidth>", 8, 3},
      {"<bitOffset>31</bitOffset>", 31, 1},
      {"<lsb>16</lsb><msb>23</msb>", 16, 8},
  };
  for (const Case& c : cases) {
    load("<peripherals>" +
         peripheral("P", "0", std::string("<register><name>R</name><addressOffset>0</addressOffset>"
                                           "<fields><field><name>F</name>") +
                                   c.position + "</field></fields></register>") +
         "</peripherals>");
    MemoryMapElement& field = named(Kind::BitField, "F");
    EXPECT_EQ(field.start(), c.start) << c.position;
    EXPECT_EQ(field.size(), c.size) << c.position;
  }
}

TEST_F(SVDFileTest, InterruptNamesLoseTheirPrefixOrSuffix) {
  load("<peripherals>" +
       peripheral("P", "0", "",
                  "<interrupt><name>INT_UART0</name><value>5</value></interrupt>"
                  "<interrupt><name>TIMER1_IRQ</name><value>7</value></interrupt>"
                  "<interrupt><name>ADC</name><value>9</value></interrupt>"
                  "<interrupt><name>FAR</name><value>256</value></interrupt>") +
       "</peripherals>");
  const std::vector<MemoryMapElement*>& vectors = svd.interruptVectors();
  ASSERT_EQ(vectors.size(), SVDFile::kVectorTableLength);
  const std::pair<size_t, const char*> stored[] = {{5, "UART0"}, {7, "TIMER1"}, {9, "ADC"}};
  for (const auto& [number, name] : stored) {
    ASSERT_NE(vectors[number], nullptr) << number;
    EXPECT_EQ(vectors[number]->nameAttribute(), name);
  }
  EXPECT_EQ(vectors[6], nullptr);
  EXPECT_EQ(svd.highestInterrupt(), 9) << "256 is beyond the table";
}

TEST_F(SVDFileTest, RegisterSizesAreBytesUnlessBitsAreKept) {
  // Own size, the peripheral's, the device's.
  const std::string body =
      "<size>8</size><peripherals>" +
      peripheral("P", "0",
                 "<register><name>OWN</name><addressOffset>0</addressOffset><size>32</size></register>"
                 "<register><name>PER</name><addressOffset>4</addressOffset></register>",
                 "<size>16</size>") +
      peripheral("Q", "0", "<register><name>DEV</name><addressOffset>0</addressOffset></register>") +
      "</peripherals>";
  const std::pair<uint32_t, const char*> options[] = {{0, "4 2 1"}, {SVDFile::KeepSizeInBits, "32 16 8"}};
  for (const auto& [option, sizes] : options) {
    load(body, option);
    std::istringstream expected(sizes);
    for (const char* name : {"OWN", "PER", "DEV"}) {
      uint32_t size = 0;
      expected >> size;
      EXPECT_EQ(named(Kind::Register, name).size(), size) << name << " with options " << option;
    }
  }
}

TEST_F(SVDFileTest, AccessIsMappedToTheMapsNames) {
  const std::pair<const char*, const char*> cases[] = {
      {"<access>read-only</access>", "ReadOnly"},
      {"<access>write-only</access>", "WriteOnly"},
      {"<access>read-write</access><readAction>clear</readAction>", "None"},
      {"<access>read-writeOnce</access>", "read-writeOnce"},
      {"", "writeOnce"},  // the device's default
  };
  for (const auto& [access, expected] : cases) {
    load("<access>writeOnce</access><peripherals>" +
         peripheral("P", "0",
                    std::string("<register><name>R</name><addressOffset>0</addressOffset>") + access +
                        "</register>") +
         "</peripherals>");
    EXPECT_EQ(attribute(named(Kind::Register, "R"), "access"), expected) << access;
  }
}

TEST_F(SVDFileTest, ClustersBecomeGroupsAtTheSumOfTheirOffsets) {
  load("<peripherals>" +
       peripheral("POWER", "0x40000000",
                  "<cluster><dim>2</dim><dimIncrement>0x20</dimIncrement><name>RAM[%s]</name>"
                  "<addressOffset>0x900</addressOffset><size>16</size>"
                  "<register><name>STATUS</name><addressOffset>0x4</addressOffset></register>"
                  "<cluster><name>SUB</name><addressOffset>0x10</addressOffset>"
                  "<register><name>CTRL</name><addressOffset>0x8</addressOffset></register>"
                  "</cluster></cluster>") +
       "</peripherals>");
  const std::tuple<const char*, uint32_t, const char*, uint32_t> cases[] = {
      {"POWER (RAM[0])", 0x40000900, "STATUS", 0x40000904},
      {"POWER (RAM[1])", 0x40000920, "STATUS", 0x40000924},
      {"POWER (RAM[1].SUB)", 0x40000930, "CTRL", 0x40000938},
  };
  for (const auto& [groupName, groupStart, registerName, registerStart] : cases) {
    MemoryMapElement& group = named(Kind::RegisterGroup, groupName);
    EXPECT_EQ(group.start(), groupStart) << groupName;
    MemoryMapElement* reg = MemoryMap::findElement(&group, Kind::Register, "name", registerName);
    ASSERT_NE(reg, nullptr) << groupName;
    EXPECT_EQ(reg->start(), registerStart) << groupName;
    EXPECT_EQ(reg->size(), 2u) << "the cluster's size passes down";
  }
}

TEST_F(SVDFileTest, EnumeratedValuesKeepBinaryValuesAndFollowDerivation) {
  load("<peripherals>" +
       peripheral("P", "0",
                  "<register><name>R</name><addressOffset>0</addressOffset><fields>"
                  "<field><name>MODE</name><bitRange>[2:0]</bitRange><enumeratedValues><name>modes</name>"
                  "<enumeratedValue><name>FAST</name><value>#101</value></enumeratedValue>"
                  "<enumeratedValue><name>SLOW</name><value>0x2</value><description>d</description>"
                  "</enumeratedValue></enumeratedValues></field>"
                  "<field><name>MODE2</name><bitRange>[6:4]</bitRange>"
                  "<enumeratedValues derivedFrom=\"modes\"/></field>"
                  "</fields></register>") +
       "</peripherals>");
  for (const char* field : {"MODE", "MODE2"}) {
    MemoryMapElement* fast = MemoryMap::findElement(&named(Kind::BitField, field), Kind::Enum);
    ASSERT_NE(fast, nullptr) << field;
    EXPECT_EQ(attribute(*fast, "start"), "0b101") << field;
    EXPECT_EQ(fast->start(), 5u) << field;
  }
  EXPECT_EQ(attribute(named(Kind::Enum, "SLOW"), "description"), "d");
}

TEST_F(SVDFileTest, KeepsTheCoresTexts) {
  load("<cpu><name>CM4</name><mpuPresent>true</mpuPresent><fpuPresent>1</fpuPresent>"
       "<nvicPrioBits>3</nvicPrioBits></cpu>");
  EXPECT_EQ(svd.rootElement()->nameAttribute(), "DEV");
  EXPECT_EQ(svd.rootElement()->name(), "Processor");
  EXPECT_EQ(svd.cpuName(), "CM4");
  EXPECT_EQ(svd.mpuPresent(), "true");
  EXPECT_TRUE(svd.hasFPU());
  EXPECT_EQ(svd.priorityBits(), 3u);
}

TEST_F(SVDFileTest, ExpansionStaysWithinItsLimits) {
  // One group, R0 to R7, then S0 to S2 spend the budget of 12 elements.
  svd.setSVDLimits({.maxDim = 8, .maxElements = 12});
  load("<peripherals>" +
       peripheral("P", "0",
                  "<register><dim>4000000000</dim><dimIncrement>4</dimIncrement><name>R%s</name>"
                  "<addressOffset>0</addressOffset></register>"
                  "<register><dim>5</dim><dimIncrement>4</dimIncrement><name>S%s</name>"
                  "<addressOffset>0</addressOffset></register>") +
       "</peripherals>");
  const std::string model = svd.writeToString(0, 0);
  for (const char* name : {"\"R7\"", "\"S2\""}) EXPECT_NE(model.find(name), std::string::npos) << model;
  for (const char* name : {"\"R8\"", "\"S3\""}) EXPECT_EQ(model.find(name), std::string::npos) << model;
  EXPECT_NE(warnings.str().find("cut to 8"), std::string::npos) << warnings.str();
  EXPECT_NE(warnings.str().find("stopped after 12 elements"), std::string::npos) << warnings.str();
}

TEST_F(SVDFileTest, UnreadableOrMalformedFilesGiveNoModel) {
  const std::pair<std::string, const char*> cases[] = {
      {directory.path() + "/missing.svd", "couldn't read"},
      {directory.write("bad.svd", "<device><name>X</nome></device>"), "mismatch"},
  };
  for (const auto& [path, reason] : cases) {
    EXPECT_FALSE(svd.load(path, 0)) << path;
    EXPECT_EQ(svd.root(), nullptr) << path;
    EXPECT_NE(svd.errorText().find(reason), std::string::npos) << svd.errorText();
  }
}

}  // namespace
}  // namespace tidewater
