#pragma once

#include <string>
#include <vector>

#include "project/project_system.h"

namespace tidewater {

/// The general properties that the standard layer registers and that code
/// reads directly (the debugging properties are stored and shown only).
struct StandardCatalogue : LayerCatalogue {
  const PropertyClass* linkIncludeStandardLibraries = nullptr;
  const PropertyClass* linkStandardLibrariesDirectory = nullptr;
  const PropertyClass* linkUseMultiThreadedLibraries = nullptr;
  const PropertyClass* linkSymbolDefinitions = nullptr;
  const PropertyClass* linkerKeepSymbols = nullptr;
  const PropertyClass* cEnforceAnsiChecking = nullptr;
  const PropertyClass* cUndefineAllPreprocessorDefinitions = nullptr;
  const PropertyClass* cPreprocessorDefinitions = nullptr;
  const PropertyClass* cPreprocessorUndefinitions = nullptr;
  const PropertyClass* cIgnoreIncludes = nullptr;
  const PropertyClass* cSystemIncludeDirectories = nullptr;
  const PropertyClass* cUserIncludeDirectories = nullptr;
  const PropertyClass* cAdditionalOptions = nullptr;
  const PropertyClass* cAdditionalOptionsFromFile = nullptr;
  const PropertyClass* cOnlyAdditionalOptions = nullptr;
  const PropertyClass* cOnlyAdditionalOptionsFromFile = nullptr;
  const PropertyClass* cppOnlyAdditionalOptions = nullptr;
  const PropertyClass* cppOnlyAdditionalOptionsFromFile = nullptr;
  const PropertyClass* cppEnableExceptions = nullptr;
  const PropertyClass* cppEnableRtti = nullptr;
  const PropertyClass* asmAdditionalOptions = nullptr;
  const PropertyClass* asmAdditionalOptionsFromFile = nullptr;
  const PropertyClass* defaultCodeSection = nullptr;
  const PropertyClass* defaultDataSection = nullptr;
  const PropertyClass* defaultZeroedSection = nullptr;
  const PropertyClass* defaultConstSection = nullptr;
  const PropertyClass* defaultVectorSection = nullptr;
  const PropertyClass* defaultIsrSection = nullptr;
  const PropertyClass* linkerAdditionalFiles = nullptr;
  const PropertyClass* linkerAdditionalOptions = nullptr;
  const PropertyClass* linkerAdditionalOptionsFromFile = nullptr;
  const PropertyClass* linkerMemoryMapFile = nullptr;
  const PropertyClass* linkerMemoryMapMacros = nullptr;
  const PropertyClass* linkerSectionPlacementFile = nullptr;
  const PropertyClass* linkerSectionPlacementMacros = nullptr;
  const PropertyClass* linkerSectionPlacementsSegments = nullptr;
  const PropertyClass* linkerOutputFormat = nullptr;
  const PropertyClass* linkerMapFile = nullptr;
  const PropertyClass* linkerPrintfFmtLevel = nullptr;
  const PropertyClass* linkerPrintfWidthPrecisionSupported = nullptr;
  const PropertyClass* linkerPrintfFpEnabled = nullptr;
  const PropertyClass* linkerPrintfWcharEnabled = nullptr;
  const PropertyClass* linkerScanfFmtLevel = nullptr;
  const PropertyClass* linkerScanfFpEnabled = nullptr;
  const PropertyClass* linkerScanfCharacterGroupMatchingEnabled = nullptr;
  const PropertyClass* compilePreBuildCommand = nullptr;
  const PropertyClass* compilePreBuildCommandOutputFileName = nullptr;
  const PropertyClass* compilePreBuildCommandWd = nullptr;
  const PropertyClass* compilePostBuildCommand = nullptr;
  const PropertyClass* compilePostBuildCommandWd = nullptr;
  const PropertyClass* linkerPreBuildCommand = nullptr;
  const PropertyClass* linkerPreBuildCommandWd = nullptr;
  const PropertyClass* linkerPatchBuildCommand = nullptr;
  const PropertyClass* linkerPatchBuildCommandWd = nullptr;
  const PropertyClass* linkerPostBuildCommand = nullptr;
  const PropertyClass* linkerPostBuildCommandWd = nullptr;
  const PropertyClass* linkerPostBuildCommandOutputFile = nullptr;
  const PropertyClass* archivePostBuildCommand = nullptr;
  const PropertyClass* archivePostBuildCommandWd = nullptr;
  const PropertyClass* externalBuildFileName = nullptr;
  const PropertyClass* externalBuildCommand = nullptr;
  const PropertyClass* externalCleanCommand = nullptr;
  const PropertyClass* externalCCompileCommand = nullptr;
  const PropertyClass* externalCppCompileCommand = nullptr;
  const PropertyClass* externalAssembleCommand = nullptr;
  const PropertyClass* externalLinkCommand = nullptr;
  const PropertyClass* externalArchiveCommand = nullptr;
  const PropertyClass* externalObjectsFileName = nullptr;
  const PropertyClass* doubleIsFloat = nullptr;
  const PropertyClass* unityBuildFileName = nullptr;
  const PropertyClass* unityBuildExcludeFilter = nullptr;
  const PropertyClass* buildDependencyFileName = nullptr;
  const PropertyClass* buildRemoveUnusedSymbols = nullptr;
};

/// The second layer of the project system: the properties every toolchain
/// shares (libraries and linker inputs, preprocessor and compiler options,
/// section names, printf/scanf support, compile/link/archive build steps,
/// external build commands, debugging and loading) and the descriptions of
/// the macros a build step defines.
class StandardProjectSystem : public ProjectSystem {
 public:
  explicit StandardProjectSystem(MacroTable& macros, std::string projectTemplateSearchList = {},
                                 std::vector<std::string> propertyDefinitionFiles = {});

  const StandardCatalogue& standard() const { return standard_; }

 private:
  StandardCatalogue standard_;
};

}  // namespace tidewater
