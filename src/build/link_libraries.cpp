#include "build/link_libraries.h"

#include <string_view>

#include "project/arm_library_extension.h"
#include "project/arm_project_system.h"

namespace tidewater {
namespace {

std::string_view printfIntegerLevel(const std::string& level) {
  if (level == "long") return "long";
  if (level == "long long") return "long_long";
  return "int";
}

// The architectures whose runtime is "libarm"; the Cortex-M ones with a
// hardware divider get "libcm", and v6M/v8M Baseline neither.
constexpr std::string_view kLibArmArchitectures[] = {"v4T", "v5TE", "v6", "v7R", "v7A"};
constexpr std::string_view kLibCmArchitectures[] = {"v7M", "v7EM", "v8M_Mainline"};

template <size_t N>
bool isOneOf(std::string_view value, const std::string_view (&table)[N]) {
  for (std::string_view entry : table) {
    if (entry == value) return true;
  }
  return false;
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

bool coreHasDCC(const TargetSettings& target) { return !isCortexMArchitecture(effectiveArchitecture(target)); }

std::string debugIOImplementation(const CompileContext& context) {
  const std::string type = context.value(context.system->arm().armLinkDebugioType);
  for (const DebugIORow& row : kDebugIO) {
    if (type == row.propertyValue) return row.implementation;
  }
  const std::string architecture = effectiveArchitecture(context.target);
  if (isCortexMArchitecture(architecture)) return "mempoll";
  if (isOneOf(architecture, kLibArmArchitectures)) return "dcc";
  return "bkpt";
}

std::vector<std::string> standardLibraryInputs(const CompileContext& context, bool withDebugIOTransport) {
  const std::string directory = context.value(context.system->standard().linkStandardLibrariesDirectory);
  const auto library = [&](const std::string& name, const char* extension) {
    return context.expand(directory + "/" + name + "$(LibExt)" + extension);
  };
  std::vector<std::string> inputs;
  const std::string architecture = effectiveArchitecture(context.target);
  if (isOneOf(architecture, kLibArmArchitectures)) inputs.push_back(library("libarm", ".a"));
  else if (isOneOf(architecture, kLibCmArchitectures)) inputs.push_back(library("libcm", ".a"));
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
