#include "target/cortex_m_registers.h"

#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "target/memory_map.h"

namespace tidewater {
namespace {

using Kind = MemoryMapElement::Kind;

constexpr uint32_t kNVICBase = 0xE000E100;
constexpr uint32_t kNVICPriorityOffset = 0x300;

struct FieldRow {
  const char* name;
  uint32_t bit;
  uint32_t width;
  const char* description;
};

struct RegisterRow {
  const char* name;
  uint32_t address;
  uint32_t bytes;
  bool readOnly;
  const char* description;
  std::span<const FieldRow> fields;
};

// ---- SysTick ----

constexpr FieldRow kSystCsr[] = {
    {"ENABLE", 0, 1, "Counter enable"},
    {"TICKINT", 1, 1, "SysTick exception request enable"},
    {"CLKSOURCE", 2, 1, "Clock source: 0 external reference clock, 1 processor clock"},
    {"COUNTFLAG", 16, 1, "Counter has counted to 0 since last read"},
};
constexpr FieldRow kSystRvr[] = {{"RELOAD", 0, 24, "Value loaded when the counter reaches 0"}};
constexpr FieldRow kSystCvr[] = {{"CURRENT", 0, 24, "Current counter value"}};
constexpr FieldRow kSystCalib[] = {
    {"TENMS", 0, 24, "Reload value for 10ms timing"},
    {"SKEW", 30, 1, "TENMS is not exact"},
    {"NOREF", 31, 1, "No external reference clock"},
};
constexpr RegisterRow kSysTick[] = {
    {"SYST_CSR", 0xE000E010, 4, false, "SysTick Control and Status Register", kSystCsr},
    {"SYST_RVR", 0xE000E014, 4, false, "SysTick Reload Value Register", kSystRvr},
    {"SYST_CVR", 0xE000E018, 4, false, "SysTick Current Value Register", kSystCvr},
    {"SYST_CALIB", 0xE000E01C, 4, true, "SysTick Calibration Value Register", kSystCalib},
};

// ---- SCB ----

constexpr FieldRow kActlr[] = {
    {"DISMCYCINT", 0, 1, "Disable interruption of multi-cycle instructions"},
    {"DISDEFWBUF", 1, 1, "Disable write buffer use for default memory map accesses"},
    {"DISFOLD", 2, 1, "Disable IT folding"},
    {"DISFPCA", 8, 1, "Disable automatic update of CONTROL.FPCA"},
    {"DISOOFP", 9, 1, "Disable out-of-order floating-point execution"},
};
constexpr FieldRow kCpuid[] = {
    {"Revision", 0, 4, "Revision number"},
    {"PartNo", 4, 12, "Part number of the processor"},
    {"Architecture", 16, 4, "Architecture"},
    {"Variant", 20, 4, "Variant number"},
    {"Implementer", 24, 8, "Implementer code"},
};
constexpr FieldRow kIcsr[] = {
    {"VECTACTIVE", 0, 9, "Active exception number"},
    {"RETTOBASE", 11, 1, "No preempted active exceptions"},
    {"VECTPENDING", 12, 9, "Highest priority pending exception number"},
    {"ISRPENDING", 22, 1, "External interrupt pending"},
    {"ISRPREEMPT", 23, 1, "Pending exception will be serviced on exit from debug halt"},
    {"PENDSTCLR", 25, 1, "Clear pending SysTick"},
    {"PENDSTSET", 26, 1, "Set pending SysTick"},
    {"PENDSVCLR", 27, 1, "Clear pending PendSV"},
    {"PENDSVSET", 28, 1, "Set pending PendSV"},
    {"NMIPENDSET", 31, 1, "Set pending NMI"},
};
constexpr FieldRow kVtor[] = {{"TBLOFF", 7, 25, "Vector table base offset"}};
constexpr FieldRow kAircr[] = {
    {"VECTRESET", 0, 1, "Local system reset"},
    {"VECTCLRACTIVE", 1, 1, "Clear all active state information"},
    {"SYSRESETREQ", 2, 1, "System reset request"},
    {"PRIGROUP", 8, 3, "Priority grouping"},
    {"ENDIANNESS", 15, 1, "Data endianness: 0 little, 1 big"},
    {"VECTKEY", 16, 16, "Register key: write 0x05FA, reads 0xFA05"},
};
constexpr FieldRow kScr[] = {
    {"SLEEPONEXIT", 1, 1, "Sleep on return to Thread mode"},
    {"SLEEPDEEP", 2, 1, "Deep sleep"},
    {"SEVONPEND", 4, 1, "Send event on pending interrupt"},
};
constexpr FieldRow kCcr[] = {
    {"NONBASETHRDENA", 0, 1, "Enter Thread mode with exceptions active"},
    {"USERSETMPEND", 1, 1, "Unprivileged access to STIR"},
    {"UNALIGN_TRP", 3, 1, "Trap unaligned halfword and word accesses"},
    {"DIV_0_TRP", 4, 1, "Trap divide by 0"},
    {"BFHFNMIGN", 8, 1, "Ignore precise data access faults at priority -1 and -2"},
    {"STKALIGN", 9, 1, "8-byte stack alignment on exception entry"},
};
constexpr FieldRow kShpr1[] = {
    {"PRI_4", 0, 8, "Priority of MemManage"},
    {"PRI_5", 8, 8, "Priority of BusFault"},
    {"PRI_6", 16, 8, "Priority of UsageFault"},
};
constexpr FieldRow kShpr2[] = {{"PRI_11", 24, 8, "Priority of SVCall"}};
constexpr FieldRow kShpr3[] = {
    {"PRI_14", 16, 8, "Priority of PendSV"},
    {"PRI_15", 24, 8, "Priority of SysTick"},
};
constexpr FieldRow kShcsr[] = {
    {"MEMFAULTACT", 0, 1, "MemManage is active"},
    {"BUSFAULTACT", 1, 1, "BusFault is active"},
    {"USGFAULTACT", 3, 1, "UsageFault is active"},
    {"SVCALLACT", 7, 1, "SVCall is active"},
    {"MONITORACT", 8, 1, "DebugMonitor is active"},
    {"PENDSVACT", 10, 1, "PendSV is active"},
    {"SYSTICKACT", 11, 1, "SysTick is active"},
    {"USGFAULTPENDED", 12, 1, "UsageFault is pending"},
    {"MEMFAULTPENDED", 13, 1, "MemManage is pending"},
    {"BUSFAULTPENDED", 14, 1, "BusFault is pending"},
    {"SVCALLPENDED", 15, 1, "SVCall is pending"},
    {"MEMFAULTENA", 16, 1, "MemManage enable"},
    {"BUSFAULTENA", 17, 1, "BusFault enable"},
    {"USGFAULTENA", 18, 1, "UsageFault enable"},
};
constexpr FieldRow kMmsr[] = {
    {"IACCVIOL", 0, 1, "Instruction access violation"},
    {"DACCVIOL", 1, 1, "Data access violation"},
    {"MUNSTKERR", 3, 1, "MemManage fault on unstacking for a return from exception"},
    {"MSTKERR", 4, 1, "MemManage fault on stacking for exception entry"},
    {"MLSPERR", 5, 1, "MemManage fault during floating-point lazy state preservation"},
    {"MMARVALID", 7, 1, "MMAR holds a valid fault address"},
};
constexpr FieldRow kBfsr[] = {
    {"IBUSERR", 0, 1, "Instruction bus error"},
    {"PRECISERR", 1, 1, "Precise data bus error"},
    {"IMPRECISERR", 2, 1, "Imprecise data bus error"},
    {"UNSTKERR", 3, 1, "BusFault on unstacking for a return from exception"},
    {"STKERR", 4, 1, "BusFault on stacking for exception entry"},
    {"LSPERR", 5, 1, "BusFault during floating-point lazy state preservation"},
    {"BFARVALID", 7, 1, "BFAR holds a valid fault address"},
};
constexpr FieldRow kUfsr[] = {
    {"UNDEFINSTR", 0, 1, "Undefined instruction"},
    {"INVSTATE", 1, 1, "Invalid state"},
    {"INVPC", 2, 1, "Invalid PC load"},
    {"NOCP", 3, 1, "No coprocessor"},
    {"UNALIGNED", 8, 1, "Unaligned access"},
    {"DIVBYZERO", 9, 1, "Divide by zero"},
};
constexpr FieldRow kHfsr[] = {
    {"VECTTBL", 1, 1, "BusFault on vector table read"},
    {"FORCED", 30, 1, "Forced HardFault"},
    {"DEBUGEVT", 31, 1, "Debug event"},
};
constexpr FieldRow kDfsr[] = {
    {"HALTED", 0, 1, "Halt request debug event"},
    {"BKPT", 1, 1, "Breakpoint debug event"},
    {"DWTTRAP", 2, 1, "Data watchpoint and trace debug event"},
    {"VCATCH", 3, 1, "Vector catch debug event"},
    {"EXTERNAL", 4, 1, "External debug request"},
};
constexpr FieldRow kMmar[] = {{"ADDRESS", 0, 32, "Data address of the MemManage fault"}};
constexpr FieldRow kBfar[] = {{"ADDRESS", 0, 32, "Data address of the precise BusFault"}};
constexpr RegisterRow kSCB[] = {
    {"ACTLR", 0xE000E008, 4, false, "Auxiliary Control Register", kActlr},
    {"CPUID", 0xE000ED00, 4, true, "CPUID Base Register", kCpuid},
    {"ICSR", 0xE000ED04, 4, false, "Interrupt Control and State Register", kIcsr},
    {"VTOR", 0xE000ED08, 4, false, "Vector Table Offset Register", kVtor},
    {"AIRCR", 0xE000ED0C, 4, false, "Application Interrupt and Reset Control Register", kAircr},
    {"SCR", 0xE000ED10, 4, false, "System Control Register", kScr},
    {"CCR", 0xE000ED14, 4, false, "Configuration and Control Register", kCcr},
    {"SHPR1", 0xE000ED18, 4, false, "System Handler Priority Register 1", kShpr1},
    {"SHPR2", 0xE000ED1C, 4, false, "System Handler Priority Register 2", kShpr2},
    {"SHPR3", 0xE000ED20, 4, false, "System Handler Priority Register 3", kShpr3},
    {"SHCSR", 0xE000ED24, 4, false, "System Handler Control and State Register", kShcsr},
    {"MMSR", 0xE000ED28, 1, false, "MemManage Status Register", kMmsr},
    {"BFSR", 0xE000ED29, 1, false, "BusFault Status Register", kBfsr},
    {"UFSR", 0xE000ED2A, 2, false, "UsageFault Status Register", kUfsr},
    {"HFSR", 0xE000ED2C, 4, false, "HardFault Status Register", kHfsr},
    {"DFSR", 0xE000ED30, 4, false, "Debug Fault Status Register", kDfsr},
    {"MMAR", 0xE000ED34, 4, false, "MemManage Fault Address Register", kMmar},
    {"BFAR", 0xE000ED38, 4, false, "BusFault Address Register", kBfar},
    {"AFSR", 0xE000ED3C, 4, false, "Auxiliary Fault Status Register", {}},
};

// ---- FPU ----

constexpr FieldRow kCpacr[] = {
    {"CP10", 20, 2, "Access privileges for coprocessor 10"},
    {"CP11", 22, 2, "Access privileges for coprocessor 11"},
};
constexpr FieldRow kFpccr[] = {
    {"LSPACT", 0, 1, "Lazy state preservation is active"},
    {"USER", 1, 1, "Privilege level was user when the stack frame was allocated"},
    {"THREAD", 3, 1, "Mode was Thread when the stack frame was allocated"},
    {"HFRDY", 4, 1, "HardFault could be set pending when the frame was allocated"},
    {"MMRDY", 5, 1, "MemManage could be set pending when the frame was allocated"},
    {"BFRDY", 6, 1, "BusFault could be set pending when the frame was allocated"},
    {"MONRDY", 8, 1, "DebugMonitor could be set pending when the frame was allocated"},
    {"LSPEN", 30, 1, "Lazy state preservation enable"},
    {"ASPEN", 31, 1, "Automatic state preservation enable"},
};
constexpr FieldRow kFpcar[] = {{"ADDRESS", 3, 29, "Address of the unpopulated floating-point register space"}};
constexpr FieldRow kFpdscr[] = {
    {"RMode", 22, 2, "Default rounding mode"},
    {"FZ", 24, 1, "Default flush-to-zero mode"},
    {"DN", 25, 1, "Default NaN mode"},
    {"AHP", 26, 1, "Default alternative half-precision mode"},
};
constexpr RegisterRow kFPU[] = {
    {"CPACR", 0xE000ED88, 4, false, "Coprocessor Access Control Register", kCpacr},
    {"FPCCR", 0xE000EF34, 4, false, "Floating-point Context Control Register", kFpccr},
    {"FPCAR", 0xE000EF38, 4, false, "Floating-point Context Address Register", kFpcar},
    {"FPDSCR", 0xE000EF3C, 4, false, "Floating-point Default Status Control Register", kFpdscr},
};

// ---- NVIC ----

struct NVICBitRegister {
  const char* name;
  uint32_t offset;
  bool readOnly;
  const char* description;
};
constexpr NVICBitRegister kNVICBitRegisters[] = {
    {"ISER", 0x000, false, "Interrupt Set-Enable Register"},
    {"ICER", 0x080, false, "Interrupt Clear-Enable Register"},
    {"ISPR", 0x100, false, "Interrupt Set-Pending Register"},
    {"ICPR", 0x180, false, "Interrupt Clear-Pending Register"},
    {"IABR", 0x200, true, "Interrupt Active Bit Register"},
};

std::string hexAddress(uint32_t address) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", address);
  return text;
}

/// Null when the map has no root or already has a group of that name;
/// otherwise the new, empty group.
MemoryMapElement* newGroup(MemoryMap& map, const char* name, uint32_t start,
                           const char* description) {
  MemoryMapElement* root = map.rootElement();
  if (!root || MemoryMap::findElement(root, Kind::RegisterGroup, "name", name)) return nullptr;
  return map.addElement(*root, "RegisterGroup", name, hexAddress(start), {}, {}, description);
}

MemoryMapElement* addRegister(MemoryMap& map, MemoryMapElement& group, const std::string& name,
                              uint32_t address, uint32_t bytes, bool readOnly,
                              const std::string& description) {
  return map.addElement(group, "Register", name, hexAddress(address), std::to_string(bytes),
                        readOnly ? "ReadOnly" : "", description);
}

void addField(MemoryMap& map, MemoryMapElement& reg, const std::string& name, uint32_t bit,
              uint32_t width, const std::string& description) {
  map.addElement(reg, "BitField", name, std::to_string(bit), std::to_string(width), {},
                 description);
}

MemoryMapElement* addTableGroup(MemoryMap& map, const char* name, uint32_t start,
                                const char* description, std::span<const RegisterRow> registers) {
  MemoryMapElement* group = newGroup(map, name, start, description);
  if (!group) return nullptr;
  for (const RegisterRow& row : registers) {
    MemoryMapElement* reg = addRegister(map, *group, row.name, row.address, row.bytes,
                                        row.readOnly, row.description);
    for (const FieldRow& field : row.fields) {
      addField(map, *reg, field.name, field.bit, field.width, field.description);
    }
  }
  map.resolveAddresses(*group, 0);
  return group;
}

/// The name an interrupt's fields carry.
std::string interruptName(const MemoryMapElement& vector, uint32_t number) {
  std::string name = vector.nameAttribute();
  return name.empty() ? "IRQ" + std::to_string(number) : name;
}

std::string numbered(const char* format, const char* name, uint32_t number) {
  char text[64];
  std::snprintf(text, sizeof text, format, name, number);
  return text;
}

}  // namespace

MemoryMapElement* addNVICGroup(MemoryMap& map, uint32_t priorityBits) {
  MemoryMapElement* group = newGroup(map, "NVIC", kNVICBase, "Nested Vectored Interrupt Controller");
  if (!group) return nullptr;
  const std::vector<MemoryMapElement*>& vectors = map.interruptVectors();
  // The table covers interrupt numbers up to its highest entry.
  uint32_t count = 0;
  for (uint32_t i = 0; i < vectors.size(); ++i) {
    if (vectors[i]) count = i + 1;
  }
  for (const NVICBitRegister& kind : kNVICBitRegisters) {
    for (uint32_t first = 0; first < count; first += 32) {
      MemoryMapElement* reg =
          addRegister(map, *group, numbered("NVIC_%s%u", kind.name, first / 32),
                      kNVICBase + kind.offset + first / 8, 4, kind.readOnly, kind.description);
      for (uint32_t i = first; i < count && i < first + 32; ++i) {
        if (vectors[i]) addField(map, *reg, interruptName(*vectors[i], i), i % 32, 1, {});
      }
    }
  }
  const uint32_t bits = priorityBits > 8 ? 8 : priorityBits;
  for (uint32_t first = 0; first < count; first += 4) {
    const std::string number = std::to_string(first / 4);
    MemoryMapElement* reg =
        addRegister(map, *group, "NVIC_IPR" + number, kNVICBase + kNVICPriorityOffset + first, 4,
                    false, "Interrupt Priority Register " + number);
    for (uint32_t i = first; bits > 0 && i < count && i < first + 4; ++i) {
      if (vectors[i]) {
        addField(map, *reg, interruptName(*vectors[i], i), 8 * (i % 4) + (8 - bits), bits, {});
      }
    }
  }
  map.resolveAddresses(*group, 0);
  return group;
}

MemoryMapElement* addSysTickGroup(MemoryMap& map) {
  return addTableGroup(map, "SysTick", 0xE000E010, "24-bit System Timer", kSysTick);
}

MemoryMapElement* addSCBGroup(MemoryMap& map) {
  return addTableGroup(map, "SCB", 0xE000E008, "System Control Block", kSCB);
}

MemoryMapElement* addFPUGroup(MemoryMap& map) {
  return addTableGroup(map, "FPU", 0xE000ED88, "Floating Point Unit", kFPU);
}

void addCortexMRegisterGroups(MemoryMap& map, uint32_t priorityBits, bool hasFPU) {
  addNVICGroup(map, priorityBits);
  addSysTickGroup(map);
  addSCBGroup(map);
  if (hasFPU) addFPUGroup(map);
}

}  // namespace tidewater
