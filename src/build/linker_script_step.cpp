#include "build/linker_script_step.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <set>

#include "base/path.h"
#include "build/build_flags.h"
#include "build/builder.h"
#include "build/link_libraries.h"
#include "project/arm_library_extension.h"
#include "project/arm_project_system.h"
#include "project/property_lookup.h"

namespace tidewater {
namespace {

using Arguments = std::vector<std::string>;

std::optional<std::chrono::system_clock::time_point> modificationTime(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::nullopt;
  return std::chrono::system_clock::from_time_t(info.st_mtim.tv_sec) +
         std::chrono::duration_cast<std::chrono::system_clock::duration>(
             std::chrono::nanoseconds(info.st_mtim.tv_nsec));
}

/// A description file as the tools are given it: relative to the project
/// directory when it lies below it, else absolute (an installation file
/// reached through "../.." would only hide where it is).
std::string descriptionPath(const CompileContext& context, const std::string& path) {
  if (context.absolutePaths) return path;
  const std::string relative = relativePath(context.projectDirectory, path);
  if (relative.rfind("..", 0) == 0) return path;
  return relative;
}

std::string sizeOrZero(const std::string& value) { return value.empty() ? "0" : value; }

// The properties a generated script depends on besides its files.
std::set<const PropertyClass*> scriptProperties(const ARMProjectSystem& system) {
  const StandardCatalogue& standard = system.standard();
  const ARMCatalogue& arm = system.arm();
  return {standard.linkerSectionPlacementsSegments,
          standard.linkerMemoryMapFile,
          standard.linkerMemoryMapMacros,
          system.ambervale().armLibraryCheckMemorySegmentOverflow,
          standard.linkerSectionPlacementFile,
          standard.linkerSectionPlacementMacros,
          arm.armLinkerStackSize,
          arm.armLinkerMainStackSize,
          arm.armLinkerIrqStackSize,
          arm.armLinkerFiqStackSize,
          arm.armLinkerSvcStackSize,
          arm.armLinkerAbtStackSize,
          arm.armLinkerUndStackSize,
          arm.armLinkerProcessStackSize,
          arm.armLinkerHeapSize};
}

std::string joinSymbols(const Arguments& symbols) {
  std::string text;
  for (const std::string& symbol : symbols) text += (text.empty() ? "" : ";") + symbol;
  return text;
}

}  // namespace

Arguments linkerScriptSymbols(const CompileContext& context) {
  const ARMCatalogue& arm = context.system->arm();
  const auto size = [&](const PropertyClass* property) { return sizeOrZero(context.value(property)); };
  Arguments symbols;
  if (isCortexMTarget(context.target)) {
    symbols = {"__STACKSIZE__=" + size(arm.armLinkerMainStackSize),
               "__STACKSIZE_PROCESS__=" + size(arm.armLinkerProcessStackSize),
               "__STACKSIZE_IRQ__=0",
               "__STACKSIZE_FIQ__=0",
               "__STACKSIZE_SVC__=0",
               "__STACKSIZE_ABT__=0",
               "__STACKSIZE_UND__=0"};
  } else {
    symbols = {"__STACKSIZE__=" + size(arm.armLinkerStackSize),    "__STACKSIZE_IRQ__=" + size(arm.armLinkerIrqStackSize),
               "__STACKSIZE_FIQ__=" + size(arm.armLinkerFiqStackSize), "__STACKSIZE_SVC__=" + size(arm.armLinkerSvcStackSize),
               "__STACKSIZE_ABT__=" + size(arm.armLinkerAbtStackSize), "__STACKSIZE_UND__=" + size(arm.armLinkerUndStackSize)};
  }
  symbols.push_back("__HEAPSIZE__=" + size(arm.armLinkerHeapSize));
  return symbols;
}

Arguments linkerScriptCommand(const CompileContext& context, const LinkDescriptions& descriptions,
                              const std::string& script) {
  const StandardCatalogue& standard = context.system->standard();
  const AmbervaleGCCCatalogue& ambervale = context.system->ambervale();
  Arguments list = {context.expand("$(StudioDir)/bin/sectwright")};
  if (!descriptions.memoryMap.empty()) {
    list.insert(list.end(), {"-memory-map-file", descriptionPath(context, descriptions.memoryMap)});
  } else {
    list.insert(list.end(), {"-memory-map-segments", descriptions.memorySegments});
  }
  if (!descriptions.sectionPlacement.empty()) {
    list.insert(list.end(), {"-section-placement-file", descriptionPath(context, descriptions.sectionPlacement)});
  }
  if (context.yes(ambervale.armLibraryCheckMemorySegmentOverflow)) list.push_back("-check-segment-overflow");
  list.insert(list.end(), {"-symbols", joinSymbols(linkerScriptSymbols(context))});
  const auto optional = [&](const char* option, const PropertyClass* property) {
    if (std::string value = context.value(property); !value.empty()) list.insert(list.end(), {option, value});
  };
  optional("-memory-map-macros", standard.linkerMemoryMapMacros);
  optional("-section-placement-macros", standard.linkerSectionPlacementMacros);
  optional("-default-fill-pattern", ambervale.armLinkerScriptGeneratorDefaultFillPattern);
  list.push_back(script);
  return list;
}

bool linkerScriptIsCurrent(const CompileContext& context, const LinkDescriptions& descriptions,
                           const std::string& scriptPath, uint32_t flags) {
  if ((flags & (kBuildForced | kBuildClean)) != 0) return false;
  const std::optional<std::chrono::system_clock::time_point> scriptTime = modificationTime(scriptPath);
  if (!scriptTime) return false;
  for (const std::string* file : {&descriptions.memoryMap, &descriptions.sectionPlacement}) {
    if (file->empty()) continue;
    const std::optional<std::chrono::system_clock::time_point> time = modificationTime(*file);
    if (!time || *time > *scriptTime) return false;
  }
  ARMProjectSystem& system = *context.system;
  return !system.changeLog().hasChanged(*context.node, context.configuration,
                                        inheritedConfigurationsFor(*context.node, context.configuration),
                                        scriptProperties(system), *scriptTime);
}

bool runLinkerScriptStep(const CompileContext& context, const LinkDescriptions& descriptions,
                         const std::string& script, uint32_t flags, Builder& builder) {
  const auto fail = [&](const std::string& message) {
    builder.errorMessage(message);
    builder.markFailed();
    return false;
  };
  if (descriptions.memoryMap.empty() && descriptions.memorySegments.empty()) {
    return fail("no linker script, memory map file or section placement segments specified");
  }
  if (!descriptions.memoryMap.empty() && ::access(descriptions.memoryMap.c_str(), F_OK) != 0) {
    return fail("memory map file does not exist: " + descriptions.memoryMap);
  }
  if (!descriptions.sectionPlacement.empty() && ::access(descriptions.sectionPlacement.c_str(), F_OK) != 0) {
    return fail("section placement file does not exist: " + descriptions.sectionPlacement);
  }
  const std::string scriptPath = absolutePath(script, context.projectDirectory);
  if (linkerScriptIsCurrent(context, descriptions, scriptPath, flags)) return true;
  builder.beginStep(context.node, "Generating linker script '" + fileName(script) + "'", context.configuration);
  if (!builder.runCommand(context.projectDirectory, linkerScriptCommand(context, descriptions, script), scriptPath) ||
      builder.stopped()) {
    return false;
  }
  builder.endStep(context.node, context.configuration);
  return true;
}

}  // namespace tidewater
