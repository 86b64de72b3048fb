#pragma once

#include <string>
#include <vector>

#include "project/gcc_project_system.h"

namespace tidewater {

/// The properties of the GNU-for-ARM layer, by direct reference.
struct AmbervaleGCCCatalogue : LayerCatalogue {
  const PropertyClass* armSupplyAbsoluteFilePath = nullptr;
  const PropertyClass* armArchiverIndirectFile = nullptr;
  const PropertyClass* armLibraryCheckMemorySegmentOverflow = nullptr;
  const PropertyClass* armLinkerAdditionalOutputFileGapFill = nullptr;
  const PropertyClass* armLinkerScriptGeneratorDefaultFillPattern = nullptr;
  const PropertyClass* armKeepAssembly = nullptr;
  const PropertyClass* armKeepPreprocessorOutput = nullptr;
  const PropertyClass* armLinkerVariant = nullptr;
  const PropertyClass* armCompilerVariant = nullptr;
  const PropertyClass* armAssemblerVariant = nullptr;
  const PropertyClass* armUseGccLibraries = nullptr;
  const PropertyClass* armLinkerTreatWarningsAsErrors = nullptr;
  const PropertyClass* armLinkerNoWarnOnMismatch = nullptr;
  const PropertyClass* armLinkerAllowMultipleDefinition = nullptr;
  const PropertyClass* armLinkerEmitRelocations = nullptr;
  const PropertyClass* armLinkerIndirectFile = nullptr;
  const PropertyClass* keepLinkerScriptFile = nullptr;
  const PropertyClass* armLinkerGapFill = nullptr;
  const PropertyClass* armLinkerSymbolsFiles = nullptr;
  const PropertyClass* armInstrumentFunctions = nullptr;
  const PropertyClass* clangMergeGlobals = nullptr;
  const PropertyClass* armUseBuiltins = nullptr;
  const PropertyClass* armMathErrno = nullptr;
};

/// The GNU-for-ARM layer: the choice between GNU and Clang/LLD tools,
/// linker-script generation and the additional output files. It fixes the
/// executable extension, tool prefix and tool directory of the GNU layer.
class AmbervaleGCCProjectSystem : public GCCProjectSystem {
 public:
  /// With "alternateToolchain" the executable extension is ".axf" and the
  /// tool directory "$(ARMGCCDIR)"; the driver leaves it off, giving ".elf"
  /// and "$(StudioDir)/gcc/$(GCCTarget)/bin".
  AmbervaleGCCProjectSystem(MacroTable& macros, std::string projectTemplateSearchList,
                            std::vector<std::string> propertyDefinitionFiles, bool alternateToolchain = false);

  const AmbervaleGCCCatalogue& ambervale() const { return ambervale_; }

 private:
  AmbervaleGCCCatalogue ambervale_;
};

}  // namespace tidewater
