#include "target/cortex_m_registers.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "macro/macro_table.h"
#include "target/memory_map.h"

namespace tidewater {
namespace {

/// No system or global macros: file names are taken as written.
const MacroTable kNoMacros;

using Kind = MemoryMapElement::Kind;

/// A map with an empty root and one Vector element per interrupt number given.
struct MapWithVectors {
  explicit MapWithVectors(const std::vector<uint32_t>& numbers) {
    map.setRoot(map.createElement("Root"));
    for (uint32_t number : numbers) {
      if (map.interruptVectors().size() <= number) map.interruptVectors().resize(number + 1);
      map.interruptVectors()[number] = map.addElement(*map.rootElement(), "Vector", "IRQ_" + std::to_string(number));
    }
  }
  MemoryMap map{kNoMacros};
};

/// "ADDRESS/SIZE [RO] FIELD@BIT:WIDTH..." of a register of "group", or "missing".
std::string layout(MemoryMapElement* group, const std::string& name) {
  MemoryMapElement* reg = group ? MemoryMap::findElement(group, Kind::Register, "name", name) : nullptr;
  if (!reg) return "missing";
  char text[32];
  std::snprintf(text, sizeof text, "%08X/%u", reg->start(), reg->size());
  std::string result = text;
  if (reg->access() == MemoryMapElement::Access::ReadOnly) result += " RO";
  for (XMLElement* f = reg->firstChildElement(); f; f = f->nextSiblingElement()) {
    auto* field = static_cast<MemoryMapElement*>(f);
    result += " " + field->nameAttribute() + "@" + std::to_string(field->start()) + ":" + std::to_string(field->size());
  }
  return result;
}

std::string childNames(MemoryMapElement& parent, const char* tag) {
  std::string names;
  for (XMLElement* child = parent.firstChildElement(); child; child = child->nextSiblingElement()) {
    if (child->name() == tag) names += *child->attribute("name") + " ";
  }
  return names;
}

TEST(CortexMRegistersTest, NVICCoversTheVectorTableWithItsPriorityBits) {
  const struct {
    std::vector<uint32_t> numbers;
    uint32_t priorityBits;
    const char* reg;
    const char* layout;
  } cases[] = {
      {{0, 5, 33, 38}, 3, "NVIC_ISER0", "E000E100/4 IRQ_0@0:1 IRQ_5@5:1"},
      {{0, 5, 33, 38}, 3, "NVIC_ICER1", "E000E184/4 IRQ_33@1:1 IRQ_38@6:1"},
      {{0, 5, 33, 38}, 3, "NVIC_ISPR1", "E000E204/4 IRQ_33@1:1 IRQ_38@6:1"},
      {{0, 5, 33, 38}, 3, "NVIC_ICPR0", "E000E280/4 IRQ_0@0:1 IRQ_5@5:1"},
      {{0, 5, 33, 38}, 3, "NVIC_IABR1", "E000E304/4 RO IRQ_33@1:1 IRQ_38@6:1"},
      {{0, 5, 33, 38}, 3, "NVIC_IPR1", "E000E404/4 IRQ_5@13:3"},
      {{0, 5, 33, 38}, 3, "NVIC_IPR9", "E000E424/4 IRQ_38@21:3"},
      {{0, 33}, 4, "NVIC_IPR8", "E000E420/4 IRQ_33@12:4"},
      {{31}, 8, "NVIC_IPR7", "E000E41C/4 IRQ_31@24:8"},
      {{31}, 8, "NVIC_ISER1", "missing"},
      {{32}, 2, "NVIC_ISER1", "E000E104/4 IRQ_32@0:1"},
      {{5}, 12, "NVIC_IPR1", "E000E404/4 IRQ_5@8:8"},  // more than 8 bits count as 8
      {{5}, 0, "NVIC_IPR1", "E000E404/4"},
      {{}, 4, "NVIC_ISER0", "missing"},
  };
  for (const auto& c : cases) {
    MapWithVectors fixture(c.numbers);
    MemoryMapElement* nvic = addNVICGroup(fixture.map, c.priorityBits);
    ASSERT_NE(nvic, nullptr);
    EXPECT_EQ(layout(nvic, c.reg), c.layout)
        << c.reg << " with highest interrupt " << (c.numbers.empty() ? -1 : int(c.numbers.back())) << ", "
        << c.priorityBits << " bits";
  }
  MapWithVectors fixture({39});
  MemoryMapElement* nvic = addNVICGroup(fixture.map, 3);
  EXPECT_EQ(childNames(*nvic, "Register"),
            "NVIC_ISER0 NVIC_ISER1 NVIC_ICER0 NVIC_ICER1 NVIC_ISPR0 NVIC_ISPR1 NVIC_ICPR0 NVIC_ICPR1 NVIC_IABR0 "
            "NVIC_IABR1 NVIC_IPR0 NVIC_IPR1 NVIC_IPR2 NVIC_IPR3 NVIC_IPR4 NVIC_IPR5 NVIC_IPR6 NVIC_IPR7 NVIC_IPR8 "
            "NVIC_IPR9 ");
  std::string descriptions;
  for (const char* name : {"NVIC_ICER0", "NVIC_IABR1", "NVIC_IPR9"}) {
    descriptions += MemoryMap::findElement(nvic, Kind::Register, "name", name)->description() + ";";
  }
  EXPECT_EQ(descriptions,
            "Interrupt Clear-Enable Register;Interrupt Active Bit Register;Interrupt Priority Register 9;");
}

TEST(CortexMRegistersTest, SystemGroupsSitAtTheirArchitecturalAddressesOnlyWhenMissing) {
  MapWithVectors fixture({0});
  MemoryMapElement* root = fixture.map.rootElement();
  fixture.map.addElement(*root, "RegisterGroup", "SCB");
  fixture.map.addElement(*root, "RegisterGroup", "systick");
  addCortexMRegisterGroups(fixture.map, 4, false);
  // The map's own SCB stays; "systick" is not SysTick; no FPU without one.
  EXPECT_EQ(childNames(*root, "RegisterGroup"), "SCB systick NVIC SysTick ");
  addCortexMRegisterGroups(fixture.map, 4, true);
  EXPECT_EQ(childNames(*root, "RegisterGroup"), "SCB systick NVIC SysTick FPU ");

  MapWithVectors fresh({});
  addCortexMRegisterGroups(fresh.map, 4, true);
  const auto group = [&](const char* name) {
    return MemoryMap::findElement(fresh.map.rootElement(), Kind::RegisterGroup, "name", name);
  };
  // An empty register name stands for the group's start and description.
  const struct { const char *group, *reg, *layout; } cases[] = {
      {"NVIC", "", "0xE000E100 Nested Vectored Interrupt Controller"},
      {"SysTick", "", "0xE000E010 24-bit System Timer"},
      {"SCB", "", "0xE000E008 System Control Block"},
      {"FPU", "", "0xE000ED88 Floating Point Unit"},
      {"SysTick", "SYST_CSR", "E000E010/4 ENABLE@0:1 TICKINT@1:1 CLKSOURCE@2:1 COUNTFLAG@16:1"},
      {"SysTick", "SYST_CALIB", "E000E01C/4 RO TENMS@0:24 SKEW@30:1 NOREF@31:1"},
      {"SCB", "CPUID", "E000ED00/4 RO Revision@0:4 PartNo@4:12 Architecture@16:4 Variant@20:4 Implementer@24:8"},
      {"SCB", "VTOR", "E000ED08/4 TBLOFF@7:25"},
      {"SCB", "BFSR", "E000ED29/1 IBUSERR@0:1 PRECISERR@1:1 IMPRECISERR@2:1 UNSTKERR@3:1 STKERR@4:1 LSPERR@5:1 "
                      "BFARVALID@7:1"},
      {"SCB", "UFSR", "E000ED2A/2 UNDEFINSTR@0:1 INVSTATE@1:1 INVPC@2:1 NOCP@3:1 UNALIGNED@8:1 DIVBYZERO@9:1"},
      {"FPU", "CPACR", "E000ED88/4 CP10@20:2 CP11@22:2"},
      {"FPU", "FPCAR", "E000EF38/4 ADDRESS@3:29"},
  };
  for (const auto& c : cases) {
    MemoryMapElement* g = group(c.group);
    ASSERT_NE(g, nullptr) << c.group;
    EXPECT_EQ(*c.reg ? layout(g, c.reg) : *g->attribute("start") + " " + g->description(), c.layout)
        << c.group << " " << c.reg;
  }
  // Every built-in register is described and its fields stay inside it without overlapping.
  for (const char* name : {"SysTick", "SCB", "FPU"}) {
    for (XMLElement* r = group(name)->firstChildElement(); r; r = r->nextSiblingElement()) {
      auto* reg = static_cast<MemoryMapElement*>(r);
      EXPECT_FALSE(reg->description().empty()) << reg->nameAttribute();
      uint64_t used = 0;
      for (XMLElement* f = reg->firstChildElement(); f; f = f->nextSiblingElement()) {
        auto* bits = static_cast<MemoryMapElement*>(f);
        const uint64_t mask = ((uint64_t{1} << bits->size()) - 1) << bits->start();
        EXPECT_TRUE(bits->start() + bits->size() <= 8 * reg->size() && (used & mask) == 0)
            << reg->nameAttribute() << "." << bits->nameAttribute();
        used |= mask;
      }
    }
  }
  MemoryMap noRoot(kNoMacros);
  EXPECT_EQ(addSysTickGroup(noRoot), nullptr);
  EXPECT_EQ(addNVICGroup(noRoot, 4), nullptr);
}

}  // namespace
}  // namespace tidewater
