#pragma once

#include <optional>
#include <string>

#include "target/arm_targets.h"

namespace tidewater {

/// The target properties that name a runtime library variant, as looked up
/// for one node. instructionSet is the library instruction set for an
/// executable and the code's instruction set otherwise.
struct ARMLibraryTarget {
  std::optional<Architecture> architecture = Architecture::v4T;
  Core core = Core::None;
  std::optional<Architecture> libraryArchitecture;  ///< none for "Default": the core's, else the code's
  std::string interwork = "Default";
  std::string divideInstructions = "No";
  std::string instructionSet = "ARM";
  std::string fpABI = "Soft";
  FPU fpu = FPU::None;
  std::string endian = "Little";
  std::string libraryOptimization = "Fast";
  std::string wcharSize = "32-Bit";
  std::string shortEnum = "Minimal Container Size";
};

/// The suffix that names the runtime library variant for a target, e.g.
/// "_v4t_a_le_eabi" (the value of the LibExt macro).
std::string armLibraryExtension(const ARMLibraryTarget& target);

}  // namespace tidewater
