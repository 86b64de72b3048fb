#include "target/cortex_m_registers.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "target/memory_map.h"

namespace tidewater {
namespace {

using Kind = MemoryMapElement::Kind;
using Access = MemoryMapElement::Access;

/// A map with an empty root and one Vector element per interrupt number given.
struct MapWithVectors {
  explicit MapWithVectors(const std::vector<uint32_t>& numbers) {
    map.setRoot(map.createElement("Root"));
    for (uint32_t number : numbers) {
      MemoryMapElement* vector =
          map.addElement(*map.rootElement(), "Vector", "IRQ_" + std::to_string(number));
      if (map.interruptVectors().size() <= number) map.interruptVectors().resize(number + 1);
      map.interruptVectors()[number] = vector;
    }
  }
  MemoryMap map;
};

std::vector<std::string> registerNames(MemoryMapElement& group) {
  std::vector<std::string> names;
  for (XMLElement* reg = group.firstChildElement(); reg; reg = reg->nextSiblingElement()) {
    names.push_back(*reg->attribute("name"));
  }
  return names;
}

MemoryMapElement* reg(MemoryMapElement& group, const std::string& name) {
  return MemoryMap::findElement(&group, Kind::Register, "name", name);
}

TEST(CortexMRegistersTest, NVICCoversTheVectorTable) {
  std::vector<uint32_t> numbers;
  for (uint32_t i = 0; i < 40; ++i) numbers.push_back(i);
  MapWithVectors fixture(numbers);
  MemoryMapElement* nvic = addNVICGroup(fixture.map, 3);
  ASSERT_NE(nvic, nullptr);
  EXPECT_EQ(*nvic->attribute("start"), "0xE000E100");
  EXPECT_EQ(*nvic->attribute("description"), "Nested Vectored Interrupt Controller");

  std::vector<std::string> expected;
  for (const char* kind : {"ISER", "ICER", "ISPR", "ICPR", "IABR"}) {
    expected.push_back(std::string("NVIC_") + kind + "0");
    expected.push_back(std::string("NVIC_") + kind + "1");
  }
  for (int i = 0; i < 10; ++i) expected.push_back("NVIC_IPR" + std::to_string(i));
  EXPECT_EQ(registerNames(*nvic), expected);

  struct Case {
    const char* name;
    uint32_t address;
    Access access;
    const char* description;
    size_t fields;
  };
  const Case cases[] = {
      {"NVIC_ISER0", 0xE000E100, Access::ReadWrite, "Interrupt Set-Enable Register", 32},
      {"NVIC_ISER1", 0xE000E104, Access::ReadWrite, "Interrupt Set-Enable Register", 8},
      {"NVIC_ICER1", 0xE000E184, Access::ReadWrite, "Interrupt Clear-Enable Register", 8},
      {"NVIC_ISPR0", 0xE000E200, Access::ReadWrite, "Interrupt Set-Pending Register", 32},
      {"NVIC_ICPR1", 0xE000E284, Access::ReadWrite, "Interrupt Clear-Pending Register", 8},
      {"NVIC_IABR0", 0xE000E300, Access::ReadOnly, "Interrupt Active Bit Register", 32},
      {"NVIC_IABR1", 0xE000E304, Access::ReadOnly, "Interrupt Active Bit Register", 8},
      {"NVIC_IPR0", 0xE000E400, Access::ReadWrite, "Interrupt Priority Register 0", 4},
      {"NVIC_IPR9", 0xE000E424, Access::ReadWrite, "Interrupt Priority Register 9", 4},
  };
  for (const Case& c : cases) {
    MemoryMapElement* r = reg(*nvic, c.name);
    ASSERT_NE(r, nullptr) << c.name;
    EXPECT_EQ(r->start(), c.address) << c.name;
    EXPECT_EQ(r->size(), 4u) << c.name;
    EXPECT_EQ(r->access(), c.access) << c.name;
    EXPECT_EQ(r->description(), c.description) << c.name;
    EXPECT_EQ(registerNames(*r).size(), c.fields) << c.name;
  }

  // Enable bits: interrupt 33 is bit 1 of the second register.
  MemoryMapElement* iser1 = reg(*nvic, "NVIC_ISER1");
  MemoryMapElement* bit = MemoryMap::findElement(iser1, Kind::BitField, "name", "IRQ_33");
  ASSERT_NE(bit, nullptr);
  EXPECT_EQ(bit->start(), 1u);
  EXPECT_EQ(bit->size(), 1u);

  // Priorities: with 3 bits each field holds the top 3 bits of its byte.
  MemoryMapElement* ipr9 = reg(*nvic, "NVIC_IPR9");
  std::vector<std::string> fields;
  for (XMLElement* f = ipr9->firstChildElement(); f; f = f->nextSiblingElement()) {
    auto* field = static_cast<MemoryMapElement*>(f);
    fields.push_back(field->nameAttribute() + "@" + std::to_string(field->start()) + ":" +
                     std::to_string(field->size()));
  }
  EXPECT_EQ(fields, (std::vector<std::string>{"IRQ_36@5:3", "IRQ_37@13:3", "IRQ_38@21:3",
                                              "IRQ_39@29:3"}));
}

TEST(CortexMRegistersTest, NVICFieldsOnlyForPresentVectors) {
  struct Case {
    std::vector<uint32_t> numbers;
    uint32_t priorityBits;
    size_t enableRegisters;  // per kind
    size_t priorityRegisters;
    uint32_t firstPriorityBit;  // of the first field of the last IPR
  };
  const Case cases[] = {
      {{0, 33}, 4, 2, 9, 12},  // 33 is the second interrupt of IPR8: bit 8 + (8 - 4)
      {{31}, 8, 1, 8, 24},
      {{32}, 2, 2, 9, 6},
      {{5}, 12, 1, 2, 8},  // more than 8 bits count as 8
  };
  for (const Case& c : cases) {
    MapWithVectors fixture(c.numbers);
    MemoryMapElement* nvic = addNVICGroup(fixture.map, c.priorityBits);
    ASSERT_NE(nvic, nullptr);
    const std::string shown = "highest " + std::to_string(c.numbers.back()) + ", " +
                              std::to_string(c.priorityBits) + " bits";
    EXPECT_EQ(registerNames(*nvic).size(), 5 * c.enableRegisters + c.priorityRegisters) << shown;
    MemoryMapElement* last =
        reg(*nvic, "NVIC_IPR" + std::to_string(c.priorityRegisters - 1));
    ASSERT_NE(last, nullptr) << shown;
    auto* field = static_cast<MemoryMapElement*>(last->firstChildElement());
    ASSERT_NE(field, nullptr) << shown;
    EXPECT_EQ(field->start(), c.firstPriorityBit) << shown;
    // Every enable register holds exactly the present interrupts it covers.
    size_t enableFields = 0;
    for (XMLElement* r = nvic->firstChildElement(); r; r = r->nextSiblingElement()) {
      if (r->attribute("name")->starts_with("NVIC_ISER")) enableFields += registerNames(*static_cast<MemoryMapElement*>(r)).size();
    }
    EXPECT_EQ(enableFields, c.numbers.size()) << shown;
  }

  MapWithVectors empty({});
  MemoryMapElement* nvic = addNVICGroup(empty.map, 4);
  ASSERT_NE(nvic, nullptr);
  EXPECT_TRUE(registerNames(*nvic).empty());
}

TEST(CortexMRegistersTest, SystemRegistersSitAtTheirArchitecturalAddresses) {
  MapWithVectors fixture({});
  addCortexMRegisterGroups(fixture.map, 4, true);
  struct Case {
    const char* group;
    const char* name;
    uint32_t address;
    uint32_t size;
    Access access;
    const char* field;  // with its bit and width
    uint32_t bit;
    uint32_t width;
  };
  const Case cases[] = {
      {"SysTick", "SYST_CSR", 0xE000E010, 4, Access::ReadWrite, "COUNTFLAG", 16, 1},
      {"SysTick", "SYST_RVR", 0xE000E014, 4, Access::ReadWrite, "RELOAD", 0, 24},
      {"SysTick", "SYST_CVR", 0xE000E018, 4, Access::ReadWrite, "CURRENT", 0, 24},
      {"SysTick", "SYST_CALIB", 0xE000E01C, 4, Access::ReadOnly, "NOREF", 31, 1},
      {"SCB", "ACTLR", 0xE000E008, 4, Access::ReadWrite, "DISFOLD", 2, 1},
      {"SCB", "CPUID", 0xE000ED00, 4, Access::ReadOnly, "PartNo", 4, 12},
      {"SCB", "ICSR", 0xE000ED04, 4, Access::ReadWrite, "VECTPENDING", 12, 9},
      {"SCB", "VTOR", 0xE000ED08, 4, Access::ReadWrite, "TBLOFF", 7, 25},
      {"SCB", "AIRCR", 0xE000ED0C, 4, Access::ReadWrite, "PRIGROUP", 8, 3},
      {"SCB", "SCR", 0xE000ED10, 4, Access::ReadWrite, "SLEEPDEEP", 2, 1},
      {"SCB", "CCR", 0xE000ED14, 4, Access::ReadWrite, "STKALIGN", 9, 1},
      {"SCB", "SHPR1", 0xE000ED18, 4, Access::ReadWrite, "PRI_6", 16, 8},
      {"SCB", "SHPR2", 0xE000ED1C, 4, Access::ReadWrite, "PRI_11", 24, 8},
      {"SCB", "SHPR3", 0xE000ED20, 4, Access::ReadWrite, "PRI_15", 24, 8},
      {"SCB", "SHCSR", 0xE000ED24, 4, Access::ReadWrite, "USGFAULTENA", 18, 1},
      {"SCB", "MMSR", 0xE000ED28, 1, Access::ReadWrite, "MMARVALID", 7, 1},
      {"SCB", "BFSR", 0xE000ED29, 1, Access::ReadWrite, "BFARVALID", 7, 1},
      {"SCB", "UFSR", 0xE000ED2A, 2, Access::ReadWrite, "DIVBYZERO", 9, 1},
      {"SCB", "HFSR", 0xE000ED2C, 4, Access::ReadWrite, "FORCED", 30, 1},
      {"SCB", "DFSR", 0xE000ED30, 4, Access::ReadWrite, "EXTERNAL", 4, 1},
      {"SCB", "MMAR", 0xE000ED34, 4, Access::ReadWrite, "ADDRESS", 0, 32},
      {"SCB", "BFAR", 0xE000ED38, 4, Access::ReadWrite, "ADDRESS", 0, 32},
      {"SCB", "AFSR", 0xE000ED3C, 4, Access::ReadWrite, nullptr, 0, 0},
      {"FPU", "CPACR", 0xE000ED88, 4, Access::ReadWrite, "CP11", 22, 2},
      {"FPU", "FPCCR", 0xE000EF34, 4, Access::ReadWrite, "ASPEN", 31, 1},
      {"FPU", "FPCAR", 0xE000EF38, 4, Access::ReadWrite, "ADDRESS", 3, 29},
      {"FPU", "FPDSCR", 0xE000EF3C, 4, Access::ReadWrite, "AHP", 26, 1},
  };
  MemoryMapElement* root = fixture.map.rootElement();
  for (const Case& c : cases) {
    MemoryMapElement* group = MemoryMap::findElement(root, Kind::RegisterGroup, "name", c.group);
    ASSERT_NE(group, nullptr) << c.group;
    MemoryMapElement* r = reg(*group, c.name);
    ASSERT_NE(r, nullptr) << c.name;
    EXPECT_EQ(r->start(), c.address) << c.name;
    EXPECT_EQ(r->size(), c.size) << c.name;
    EXPECT_EQ(r->access(), c.access) << c.name;
    EXPECT_FALSE(r->description().empty()) << c.name;
    if (!c.field) {
      EXPECT_EQ(r->firstChildElement(), nullptr) << c.name;
      continue;
    }
    MemoryMapElement* field = MemoryMap::findElement(r, Kind::BitField, "name", c.field);
    ASSERT_NE(field, nullptr) << c.name << "." << c.field;
    EXPECT_EQ(field->start(), c.bit) << c.name << "." << c.field;
    EXPECT_EQ(field->size(), c.width) << c.name << "." << c.field;
    // Fields never overlap one another or run past their register.
    uint64_t used = 0;
    for (XMLElement* f = r->firstChildElement(); f; f = f->nextSiblingElement()) {
      auto* bits = static_cast<MemoryMapElement*>(f);
      ASSERT_LE(bits->start() + bits->size(), 8 * r->size()) << c.name << "." << bits->nameAttribute();
      const uint64_t mask = ((uint64_t{1} << bits->size()) - 1) << bits->start();
      EXPECT_EQ(used & mask, 0u) << c.name << "." << bits->nameAttribute();
      used |= mask;
    }
  }
  for (const char* group : {"SysTick", "SCB", "FPU"}) {
    EXPECT_EQ(*MemoryMap::findElement(root, Kind::RegisterGroup, "name", group)->attribute("start"),
              std::string(group) == "SysTick" ? "0xE000E010"
              : std::string(group) == "SCB"   ? "0xE000E008"
                                              : "0xE000ED88")
        << group;
  }
  EXPECT_EQ(*MemoryMap::findElement(root, Kind::RegisterGroup, "name", "SysTick")
                 ->attribute("description"),
            "24-bit System Timer");
}

TEST(CortexMRegistersTest, GroupsAreAddedOnlyWhenMissing) {
  MapWithVectors fixture({0});
  MemoryMapElement* root = fixture.map.rootElement();
  MemoryMapElement* own = fixture.map.addElement(*root, "RegisterGroup", "SCB");
  fixture.map.addElement(*root, "RegisterGroup", "systick");

  addCortexMRegisterGroups(fixture.map, 4, false);
  std::vector<std::string> groups;
  for (XMLElement* child = root->firstChildElement(); child; child = child->nextSiblingElement()) {
    if (child->name() == "RegisterGroup") groups.push_back(*child->attribute("name"));
  }
  // The map's own SCB stays; names compare exactly, so "systick" does not
  // stand for SysTick; without a floating-point unit there is no FPU.
  EXPECT_EQ(groups, (std::vector<std::string>{"SCB", "systick", "NVIC", "SysTick"}));
  EXPECT_EQ(own->firstChildElement(), nullptr);

  addCortexMRegisterGroups(fixture.map, 4, true);
  groups.clear();
  for (XMLElement* child = root->firstChildElement(); child; child = child->nextSiblingElement()) {
    if (child->name() == "RegisterGroup") groups.push_back(*child->attribute("name"));
  }
  EXPECT_EQ(groups, (std::vector<std::string>{"SCB", "systick", "NVIC", "SysTick", "FPU"}));

  MemoryMap noRoot;
  EXPECT_EQ(addSysTickGroup(noRoot), nullptr);
  EXPECT_EQ(addNVICGroup(noRoot, 4), nullptr);
}

}  // namespace
}  // namespace tidewater
