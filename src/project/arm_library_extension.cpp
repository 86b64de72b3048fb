#include "project/arm_library_extension.h"

namespace tidewater {

namespace {

// The architecture the libraries are built for: the library architecture
// unless it is "Default", then the core's, then the code's.
std::optional<Architecture> libraryArchitecture(const ARMLibraryTarget& target) {
  if (target.libraryArchitecture) return target.libraryArchitecture;
  return effectiveArchitecture(target.core, target.architecture);
}

std::string architectureToken(Architecture architecture, const ARMLibraryTarget& target) {
  const bool divide = target.divideInstructions == "Yes";
  const std::string token(info(architecture).libraryToken);
  switch (architecture) {
    case Architecture::v4T: return target.interwork == "No" ? "v4" : token;
    case Architecture::v7R: return divide && target.instructionSet == "ARM" ? token + "_idiv" : token;
    case Architecture::v7A: return divide ? token + "_idiv" : token;
    default: return token;
  }
}

}  // namespace

std::string armLibraryExtension(const ARMLibraryTarget& target) {
  const std::optional<Architecture> architecture = libraryArchitecture(target);
  std::string extension = "_" + (architecture ? architectureToken(*architecture, target) : std::string());
  if (target.fpABI == "SoftFP" || target.fpABI == "Hard") {
    extension += info(target.fpu).libraryToken;
    if (target.fpABI == "Hard") extension += "_hard";
  }
  const bool cortexM = architecture && info(*architecture).cortexM;
  extension += cortexM || target.instructionSet == "Thumb" ? "_t" : "_a";
  extension += target.endian == "Little" ? "_le" : "_be";
  extension += "_eabi";
  if (target.libraryOptimization == "Small") extension += "_small";
  if (target.wcharSize == "16-Bit") extension += "_swc";
  if (target.shortEnum == "Int Size") extension += "_ienum";
  return extension;
}

}  // namespace tidewater
