#pragma once

#include <string>
#include <vector>

#include "project/ambervale_gcc_project_system.h"

namespace tidewater {

/// The ARM processor, FPU, ABI, library and runtime-memory properties, by
/// direct reference. arm_linker_stack_size is registered twice: the
/// per-mode "Stack Size (User/System Mode)" first, then "Main Stack Size",
/// which the catalogue's name map keeps.
struct ARMCatalogue : LayerCatalogue {
  const PropertyClass* armInstructionSet = nullptr;
  const PropertyClass* armArchitecture = nullptr;
  const PropertyClass* armCoreType = nullptr;
  const PropertyClass* armFpuType = nullptr;
  const PropertyClass* armAdvancedSIMDType = nullptr;
  const PropertyClass* armFpABI = nullptr;
  const PropertyClass* armEndian = nullptr;
  const PropertyClass* armCm0HasSmallMultiplier = nullptr;
  const PropertyClass* armV7HasDivideInstructions = nullptr;
  const PropertyClass* armV8MHasCmse = nullptr;
  const PropertyClass* armLongCalls = nullptr;
  const PropertyClass* armInterwork = nullptr;
  const PropertyClass* armLibraryInstructionSet = nullptr;
  const PropertyClass* armLibraryOptimization = nullptr;
  const PropertyClass* armLibraryArchitecture = nullptr;
  const PropertyClass* armLinkerStackSize = nullptr;  ///< "Stack Size (User/System Mode)"
  const PropertyClass* armLinkerIrqStackSize = nullptr;
  const PropertyClass* armLinkerFiqStackSize = nullptr;
  const PropertyClass* armLinkerSvcStackSize = nullptr;
  const PropertyClass* armLinkerAbtStackSize = nullptr;
  const PropertyClass* armLinkerUndStackSize = nullptr;
  const PropertyClass* armLinkerHeapSize = nullptr;
  const PropertyClass* armLinkDebugioType = nullptr;
  const PropertyClass* armLinkerMainStackSize = nullptr;  ///< "Main Stack Size"
  const PropertyClass* armLinkerProcessStackSize = nullptr;
  const PropertyClass* armLinkerCmseImportLibraryFileName = nullptr;
  const PropertyClass* armLinkerNoEnumSizeWarning = nullptr;
  const PropertyClass* armLinkerNoWcharSizeWarning = nullptr;
};

/// The project system of the driver: the ARM target layer on top of the
/// GNU-for-ARM toolchain. Registers the processor and runtime properties,
/// sets the target macros (GCCTarget, LibExt, CoreType, Arch, Endian, FPU,
/// FPU2, FPU3, FPABI) of every node macro map, and overrides the entry
/// point, frame pointer and kept-symbol defaults.
class ARMProjectSystem : public AmbervaleGCCProjectSystem {
 public:
  /// With "cortexMOnly" the target properties offer only Cortex-M choices
  /// (the driver leaves it off).
  ARMProjectSystem(MacroTable& macros, std::string projectTemplateSearchList,
                   std::vector<std::string> propertyDefinitionFiles, bool cortexMOnly = false);

  const ARMCatalogue& arm() const { return arm_; }
  bool cortexMOnly() const { return cortexMOnly_; }

 protected:
  void addToolchainMacros(MacroMap& map, ProjectElement* node, const std::string& configuration) override;
  /// The register definition file when the project names one, else the memory map file.
  std::string memoryMapFile(ProjectElement& project, const std::string& configuration) override;
  /// Reads SVD register descriptions as well as memory maps, and adds the
  /// Cortex-M core's register groups the map lacks.
  std::unique_ptr<MemoryMap> loadMemoryMap(const std::string& path, ProjectElement& project,
                                           const std::string& configuration) override;

 private:
  ARMCatalogue arm_;
  bool cortexMOnly_;
};

}  // namespace tidewater
