// The project system's memory maps, cached by path for as long as their
// file stays unchanged on disk.
#include "base/path.h"
#include "project/project_system.h"
#include "target/memory_map.h"

namespace tidewater {

MemoryMap* ProjectSystem::memoryMap(ProjectElement& project, const std::string& configuration) {
  const std::string path = memoryMapFile(project, configuration);
  if (path.empty()) return nullptr;
  const auto cached = memoryMaps_.find(path);
  if (cached != memoryMaps_.end()) {
    const MemoryMapElement* root = cached->second->rootElement();
    if (root && root->fileTime() == fileModificationTime(path)) return cached->second.get();
    // A map that no longer matches its file is never handed out again.
    memoryMaps_.erase(cached);
  }
  std::unique_ptr<MemoryMap> map = loadMemoryMap(path, project, configuration);
  if (!map) return nullptr;
  return (memoryMaps_[path] = std::move(map)).get();
}

std::string ProjectSystem::memoryMapFile(ProjectElement& project, const std::string& configuration) {
  const std::string file =
      expandForNode(&project, configuration, lookUp(&project, "linker_memory_map_file", configuration));
  if (file.empty()) return {};
  resolvePath(project, configuration);
  return absolutePath(file, project.directory);
}

std::unique_ptr<MemoryMap> ProjectSystem::loadMemoryMap(const std::string& path, ProjectElement&,
                                                        const std::string&) {
  auto map = std::make_unique<MemoryMap>(macroTable());
  if (!map->load(path, {}, false)) return nullptr;
  return map;
}

}  // namespace tidewater
