#include "build/link_libraries.h"

#include <string_view>

#include "project/arm_project_system.h"

namespace tidewater {
namespace {

std::string_view printfIntegerLevel(const std::string& level) {
  if (level == "long") return "long";
  if (level == "long long") return "long_long";
  return "int";
}

RuntimeLibrary runtimeLibrary(const TargetSettings& target) {
  const std::optional<Architecture> architecture = effectiveArchitecture(target);
  return architecture ? info(*architecture).runtime : RuntimeLibrary::None;
}

struct DebugIORow {
  const char* propertyValue;
  const char* implementation;
};
constexpr DebugIORow kDebugIO[] = {{"Breakpoint", "bkpt"}, {"DCC", "dcc"}, {"Memory Poll", "mempoll"}};

}  // namespace

std::string printfVariant(const CompileContext& context) {
  const StandardCatalogue& standard = context.system->standard();
  const std::string level = context.value(standard.linkerPrintfFmtLevel);
  const std::string floating = context.value(standard.linkerPrintfFpEnabled);
  std::string variant;
  if (floating == "No") {
    variant = printfIntegerLevel(level);
    if (context.value(standard.linkerPrintfWidthPrecisionSupported) == "No") variant += "_nwp";
  } else {
    variant = floating == "Float" ? "short_float_long" : "float_long";
    if (level == "long long") variant += "_long";
  }
  if (context.yes(standard.linkerPrintfWcharEnabled)) variant += "_wchar";
  return variant;
}

std::string scanfVariant(const CompileContext& context) {
  const StandardCatalogue& standard = context.system->standard();
  const std::string level = context.value(standard.linkerScanfFmtLevel);
  std::string variant;
  if (context.yes(standard.linkerScanfFpEnabled)) {
    variant = level == "long long" ? "float_long_long" : "float_long";
  } else {
    variant = printfIntegerLevel(level);
  }
  if (context.yes(standard.linkerScanfCharacterGroupMatchingEnabled)) variant += "_cc";
  return variant;
}

bool coreHasDCC(const TargetSettings& target) { return !isCortexMTarget(target); }

std::string debugIOImplementation(const CompileContext& context) {
  const std::string type = context.value(context.system->arm().armLinkDebugioType);
  for (const DebugIORow& row : kDebugIO) {
    if (type == row.propertyValue) return row.implementation;
  }
  if (isCortexMTarget(context.target)) return "mempoll";
  if (runtimeLibrary(context.target) == RuntimeLibrary::Arm) return "dcc";
  return "bkpt";
}

std::vector<std::string> standardLibraryInputs(const CompileContext& context, bool withDebugIOTransport) {
  const std::string directory = context.value(context.system->standard().linkStandardLibrariesDirectory);
  const auto library = [&](const std::string& name, const char* extension) {
    return context.expand(directory + "/" + name + "$(LibExt)" + extension);
  };
  std::vector<std::string> inputs;
  switch (runtimeLibrary(context.target)) {
    case RuntimeLibrary::Arm: inputs.push_back(library("libarm", ".a")); break;
    case RuntimeLibrary::CortexM: inputs.push_back(library("libcm", ".a")); break;
    case RuntimeLibrary::None: break;
  }
  if (withDebugIOTransport) inputs.push_back(library("libdebugio_" + debugIOImplementation(context), ".a"));
  const StandardCatalogue& standard = context.system->standard();
  const bool exceptions = context.yes(standard.cppEnableExceptions);
  inputs.push_back(library("libm", ".a"));
  inputs.push_back(library("libc", ".a"));
  inputs.push_back(library(exceptions ? "libcpp_throws" : "libcpp", ".a"));
  inputs.push_back(library("libdebugio", ".a"));
  if (context.yes(context.system->ambervale().armUseGccLibraries) &&
      (exceptions || context.yes(standard.cppEnableRtti))) {
    inputs.push_back(library("libgccxceptrtti", ".a"));
  }
  inputs.push_back(library("libvfprintf", ".o"));
  inputs.push_back(library("libvfscanf", ".o"));
  return inputs;
}

}  // namespace tidewater
