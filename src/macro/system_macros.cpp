#include "macro/system_macros.h"

#include "base/host_environment.h"
#include "base/installation.h"
#include "base/product_identity.h"

namespace tidewater {

namespace {

// The interactive environment of the family; the driver shares its macro
// names and reports the product name with its own brand in place.
const std::string kStudioName = "Lanternhall for ARM";
const std::string kStudioNameShort = "Lanternhall";

std::string productName() {
  std::string name = kStudioName;
  const std::string from = kStudioNameShort;
  const auto at = name.find(from);
  if (at != std::string::npos) name.replace(at, from.size(), ProductIdentity::kProductShortName);
  return name;
}

}  // namespace

void registerSystemMacros(MacroTable& table, const SystemMacroDirectories& directories) {
  const std::string& shortName = kStudioNameShort;
  const struct {
    std::string name;
    std::string value;
    std::string description;
  } macros[] = {
      {"Date", "", "The current date, for example 5 December 2026."},
      {"DateYear", "", "The current year as four digits."},
      {"DateMonth", "", "The current month as two digits."},
      {"DateDay", "", "The current day of the month as two digits."},
      {"Time", "", "The current time as hours, minutes and seconds."},
      {"TimeHour", "", "The current hour as two digits, 00 to 23."},
      {"TimeMinute", "", "The current minute as two digits."},
      {"TimeSecond", "", "The current second as two digits."},
      {"HostArch", "x64", "The CPU architecture that " + shortName + " is running on e.g. x86."},
      {"HostOS", "linux", "The operating system that " + shortName + " is running on e.g. linux."},
      {"Micro", "ARM", "The target processor family."},
      {"TargetID", "8", "The number that identifies the target processor family."},
      {"HostEXE", "", "The file extension of host executables, empty on this host."},
      {"HostDLLExt", ".so", "The file extension of host shared libraries."},
      {"HostDLL", ".so_x64", "The file suffix of host shared libraries for this CPU architecture."},
      {"StudioMajorVersion", std::to_string(ProductIdentity::kMajorRelease),
       "The major version number of " + shortName + "."},
      {"StudioMinorVersion", std::string(ProductIdentity::kMinorRelease),
       "The minor version number of " + shortName + "."},
      {"StudioRevision", std::to_string(ProductIdentity::kRevision),
       "The revision number of " + shortName + "."},
      {"StudioName", kStudioName, "The full name of " + shortName + "."},
      {"StudioNameShort", kStudioNameShort, "The short name of " + shortName + "."},
      {"Platform", "arm", "The target platform name in lower case."},
      {"ProductName", productName(), "The full name of the product."},
      {"ProductNameShort", std::string(ProductIdentity::kProductShortName),
       "The short name of the product."},
      {"StudioDir", directories.installation, "The install directory of the product."},
      {"StudioUserDir", directories.userData,
       "The directory that holds the user's settings and packages."},
      {"HomeDir", directories.home, "The user's home directory."},
      {"DesktopDir", directories.home + "/Desktop", "The user's desktop directory."},
      {"DocumentsDir", directories.home + "/Documents", "The user's documents directory."},
      {"StudioExeName", "lanternhall", "The file name of the " + shortName + " executable."},
      {"StudioBuildToolExeName", "kilnmark", "The file name of the command-line build tool."},
      {"StudioBuildToolName", "Kilnmark", "The name of the command-line build tool."},
      {"StudioScriptToolExeName", "quillrun", "The file name of the script runner."},
      {"StudioScriptToolName", "Quillrun", "The name of the script runner."},
      {"StudioArchiveFileExt", "twr", "The file extension of archive files."},
      {"StudioPackageFileExt", "twq", "The file extension of package files."},
      {"StudioProjectFileExt", "twp", "The file extension of project files."},
      {"StudioSessionFileExt", "tws", "The file extension of session files."},
  };
  for (const auto& macro : macros) {
    table.registerSystemMacro(macro.name, macro.value, macro.description);
  }
}

void setInstallationMacros(MacroTable& table, const std::string& installationDirectory) {
  table.registerSystemMacro("StudioDir", installationDirectory, "");
}

void defineSystemMacros(MacroTable& table, const char* firstArgument) {
  registerSystemMacros(table, {"", userDataDirectory(), homeDirectory()});
  setUpDirectories(executablePath(firstArgument));
  setInstallationMacros(table, installationDirectory());
}

}  // namespace tidewater
