// The ARM layer's memory maps: register descriptions may come as SVD files,
// and every map gets the Cortex-M core's own register groups.
#include <algorithm>
#include <optional>
#include <cctype>
#include <string_view>

#include "base/path.h"
#include "base/strings.h"
#include "project/arm_project_system.h"
#include "target/arm_targets.h"
#include "target/cortex_m_registers.h"
#include "target/svd_file.h"

namespace tidewater {
std::string ARMProjectSystem::memoryMapFile(ProjectElement& project, const std::string& configuration) {
  const std::string file = expandForNode(&project, configuration,
                                         lookUp(&project, "debug_register_definition_file", configuration));
  if (file.empty()) return AmbervaleGCCProjectSystem::memoryMapFile(project, configuration);
  resolvePath(project, configuration);
  return absolutePath(file, project.directory);
}

std::unique_ptr<MemoryMap> ARMProjectSystem::loadMemoryMap(const std::string& path, ProjectElement& project,
                                                           const std::string& configuration) {
  const bool svd = lookUp(&project, "debug_register_definition_file_type", configuration) == "SVD" ||
                   lowerCase(suffix(path)) == "svd";
  // Only a Cortex-M FPU has its control registers in the system control space.
  const std::optional<FPU> fpu = fpuNamed(lookUp(&project, "arm_fpu_type", configuration));
  bool hasFPU = fpu && info(*fpu).cortexM;
  uint32_t priorityBits = 0;
  std::unique_ptr<MemoryMap> map;
  if (svd) {
    auto svdFile = std::make_unique<SVDFile>(macroTable());
    if (!svdFile->load(path, 0)) return nullptr;
    priorityBits = svdFile->priorityBits();
    // The description knows the core best; the project's setting stands in when it is silent.
    if (!svdFile->fpuPresent().empty()) hasFPU = svdFile->hasFPU();
    map = std::move(svdFile);
  } else {
    map = AmbervaleGCCProjectSystem::loadMemoryMap(path, project, configuration);
    if (!map) return nullptr;
  }
  // Each group added is resolved as it is added; the rest of the map already is.
  addCortexMRegisterGroups(*map, priorityBits, hasFPU);
  return map;
}

}  // namespace tidewater
