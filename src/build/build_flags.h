#pragma once

#include <cstdint>

namespace tidewater {

/// The bits of the flag set passed down a build walk. 0x100 is passed by the
/// driver but read by nobody.
enum BuildFlag : uint32_t {
  kBuildClean = 0x1,                ///< remove a step's outputs before running it
  kBuildForced = 0x2,               ///< every step runs
  kBuildNoCommands = 0x4,           ///< decide and report only
  kBuildQuiet = 0x8,                ///< no up-to-date lines, no timestamp diagnostics
  kBuildNoChildren = 0x10,          ///< do not visit the node's children
  kBuildNoDependencyOutput = 0x200, ///< the compiler writes no dependency file
  kBuildNoUnity = 0x400,            ///< build unity folders file by file
};

}  // namespace tidewater
