#pragma once

#include "project/layer_catalogue.h"

namespace tidewater {

/// The general properties that the base project system registers and that
/// code reads directly. Both definitions of the two names registered twice
/// are kept: the catalogue's name map holds only the later one.
struct GeneralCatalogue : LayerCatalogue {
  const PropertyClass* fileName = nullptr;
  const PropertyClass* fileCodec = nullptr;
  const PropertyClass* fileType = nullptr;
  const PropertyClass* folderFilter = nullptr;         ///< "filter", StringList
  const PropertyClass* dynamicFolderFilter = nullptr;  ///< "filter", String (the name map's)
  const PropertyClass* projectType = nullptr;
  const PropertyClass* projectDirectory = nullptr;
  const PropertyClass* projectDependencies = nullptr;
  const PropertyClass* macros = nullptr;
  const PropertyClass* inheritedConfigurations = nullptr;
  const PropertyClass* buildToolchainDirectory = nullptr;
  const PropertyClass* buildTreatWarningsAsErrors = nullptr;
  const PropertyClass* buildSuppressWarnings = nullptr;
  const PropertyClass* buildIntermediateDirectory = nullptr;
  const PropertyClass* buildOutputDirectory = nullptr;
  const PropertyClass* buildRootOutputDirectory = nullptr;
  const PropertyClass* buildObjectFileName = nullptr;
  const PropertyClass* executableOutputFileName = nullptr;  ///< "build_output_file_name", "$(EXE)"
  const PropertyClass* libraryOutputFileName = nullptr;     ///< "build_output_file_name", "$(LIB)"
  const PropertyClass* buildQuietly = nullptr;
  const PropertyClass* buildDebugInformation = nullptr;
  const PropertyClass* buildExcludeFromBuild = nullptr;
  const PropertyClass* buildAlwaysRebuild = nullptr;
  const PropertyClass* stageOutputFilepath = nullptr;
  const PropertyClass* stageCommand = nullptr;
  const PropertyClass* stageCommandWd = nullptr;
  const PropertyClass* stageSetReadonly = nullptr;
  const PropertyClass* stagePostBuildCommand = nullptr;
  const PropertyClass* stagePostBuildCommandWd = nullptr;
  const PropertyClass* combineOutputFilepath = nullptr;
  const PropertyClass* combineCommand = nullptr;
  const PropertyClass* combineCommandWd = nullptr;
  const PropertyClass* combineSetReadonly = nullptr;
  const PropertyClass* propertyGroupsFilePath = nullptr;
  const PropertyClass* preBuildCommand = nullptr;
  const PropertyClass* preBuildCommandWd = nullptr;
  const PropertyClass* preBuildCommandControl = nullptr;
  const PropertyClass* postBuildCommand = nullptr;
  const PropertyClass* postBuildCommandWd = nullptr;
  const PropertyClass* postBuildCommandControl = nullptr;
};

}  // namespace tidewater
