#pragma once

#include <string>
#include <vector>

#include "project/standard_project_system.h"

namespace tidewater {

/// The GNU toolchain properties, by direct reference.
struct GCCCatalogue : LayerCatalogue {
  const PropertyClass* gccOptimizationLevel = nullptr;
  const PropertyClass* gccEnableAllWarnings = nullptr;
  const PropertyClass* gccOmitFramePointer = nullptr;
  const PropertyClass* gccEntryPoint = nullptr;
  const PropertyClass* gccStripSymbols = nullptr;
  const PropertyClass* gccEmitAssemblerCfi = nullptr;
  const PropertyClass* gccNoCommon = nullptr;
  const PropertyClass* gccDebuggingLevel = nullptr;
  const PropertyClass* gccDwarfVersion = nullptr;
  const PropertyClass* gccCLanguageStandard = nullptr;
  const PropertyClass* gccCplusplusLanguageStandard = nullptr;
  const PropertyClass* gccWcharSize = nullptr;
  const PropertyClass* gccShortEnum = nullptr;
  const PropertyClass* gccAllWarningsCommandLineOptions = nullptr;
  const PropertyClass* gccEnforceAnsiCheckingCommandLineOptions = nullptr;
  const PropertyClass* linkerStripDebugInformation = nullptr;
};

/// The GNU toolchain layer: compiler and linker properties of the GNU tools,
/// the toolchain's file extensions (".o", the executable extension it is
/// given, ".a"), its tool prefix and directory, and the GCCTarget macro.
/// Overrides the additional output formats and the tool directory default.
class GCCProjectSystem : public StandardProjectSystem {
 public:
  /// "toolDirectory" becomes the default of build_toolchain_directory.
  GCCProjectSystem(MacroTable& macros, std::string projectTemplateSearchList,
                   std::vector<std::string> propertyDefinitionFiles, std::string executableExtension,
                   std::string toolPrefix, std::string toolDirectory);

  const GCCCatalogue& gcc() const { return gcc_; }
  /// The text put before each tool's name (may hold macros).
  const std::string& toolPrefix() const { return toolPrefix_; }
  const std::string& toolDirectory() const { return toolDirectory_; }

  /// The target name of the GNU tools.
  static constexpr const char* kTarget = "arm-none-eabi";

 protected:
  std::string objectExtension() const override { return ".o"; }
  std::string executableExtension() const override { return executableExtension_; }
  std::string libraryExtension() const override { return ".a"; }
  void addToolchainMacros(MacroMap& map, ProjectElement* node, const std::string& configuration) override;

 private:
  GCCCatalogue gcc_;
  std::string executableExtension_;
  std::string toolPrefix_;
  std::string toolDirectory_;
};

}  // namespace tidewater
