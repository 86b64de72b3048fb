#pragma once

#include <cstdint>

namespace tidewater {

class MemoryMap;
class MemoryMapElement;

// The register groups of the Cortex-M system control space. Each function
// adds its RegisterGroup under the map's root only when the map has no
// RegisterGroup of that name, resolves the new group's addresses, and
// returns it (null when the map has no root or already has the group).

/// "NVIC", one register set per 32 interrupts of the map's vector table,
/// with "priorityBits" implemented priority bits (at most 8).
MemoryMapElement* addNVICGroup(MemoryMap& map, uint32_t priorityBits);
/// "SysTick", the 24-bit system timer.
MemoryMapElement* addSysTickGroup(MemoryMap& map);
/// "SCB", the system control block.
MemoryMapElement* addSCBGroup(MemoryMap& map);
/// "FPU", the floating-point unit's control registers.
MemoryMapElement* addFPUGroup(MemoryMap& map);

/// NVIC, SysTick and SCB, and FPU when the core has one.
void addCortexMRegisterGroups(MemoryMap& map, uint32_t priorityBits, bool hasFPU);

}  // namespace tidewater
