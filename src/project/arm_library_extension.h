#pragma once

#include <string>
#include <string_view>

namespace tidewater {

/// The target properties that name a runtime library variant, as looked up
/// for one node. instructionSet is the library instruction set for an
/// executable and the code's instruction set otherwise.
struct ARMLibraryTarget {
  std::string architecture = "v4T";
  std::string coreType = "None";
  std::string libraryArchitecture = "Default";
  std::string interwork = "Default";
  std::string divideInstructions = "No";
  std::string instructionSet = "ARM";
  std::string fpABI = "Soft";
  std::string fpuType = "None";
  std::string endian = "Little";
  std::string libraryOptimization = "Fast";
  std::string wcharSize = "32-Bit";
  std::string shortEnum = "Minimal Container Size";
};

/// The architecture a core implements ("v7EM" for "Cortex-M4"); "" for
/// "None" or an unknown core.
std::string_view architectureOfCore(std::string_view core);

/// True for the architectures of the Cortex-M profile.
bool isCortexMArchitecture(std::string_view architecture);

/// The suffix that names the runtime library variant for a target, e.g.
/// "_v4t_a_le_eabi" (the value of the LibExt macro).
std::string armLibraryExtension(const ARMLibraryTarget& target);

}  // namespace tidewater
