// The project system's property-group files, cached by path for as long as
// their file stays unchanged on disk, and what their selected entries add
// to a node's macros.
#include "base/h_exception.h"
#include "base/path.h"
#include "project/project_system.h"
#include "project/property_value_group_file.h"
#include "target/memory_map.h"

namespace tidewater {

PropertyValueGroupFile* ProjectSystem::propertyGroupFile(ProjectElement* node, const std::string& configuration) {
  const std::string file = macros_.expandGlobally(lookUp(node, "property_groups_file_path", configuration));
  if (file.empty() || file == "None") return nullptr;
  std::string base;
  if (ProjectElement* project = node != nullptr ? node->nearestProject() : nullptr) {
    resolvePath(*project, "Common");
    base = project->directory;
  }
  const std::string path = absolutePath(file, base);
  const auto cached = propertyGroupFiles_.find(path);
  if (cached != propertyGroupFiles_.end()) {
    if (cached->second->fileTime() == fileModificationTime(path)) return cached->second.get();
    replacedPropertyGroupFiles_.push_back(std::move(cached->second));
    propertyGroupFiles_.erase(cached);
  }
  auto loaded = std::make_unique<PropertyValueGroupFile>(macroTable());
  // A file the project names but that cannot be used fails the run: going
  // on without its groups would build with definitions silently missing.
  if (!loaded->load(path)) throw HException(loaded->errorText());
  return (propertyGroupFiles_[path] = std::move(loaded)).get();
}

std::vector<std::string> ProjectSystem::propertyGroupItems(ProjectElement* node, const std::string& configuration,
                                                           std::string_view tag, std::string_view attribute) {
  std::vector<std::string> values;
  const PropertyValueGroupFile* file = propertyGroupFile(node, configuration);
  if (file == nullptr) return values;
  for (const XMLElement* item : file->selectedItems(*this, node, configuration, tag)) {
    const std::string* value = item->attribute(attribute);
    values.push_back(value != nullptr ? *value : std::string());
  }
  return values;
}

void ProjectSystem::addPropertyGroupMacros(MacroMap& map, ProjectElement* node, const std::string& configuration) {
  const PropertyValueGroupFile* file = propertyGroupFile(node, configuration);
  if (file == nullptr) return;
  for (const XMLElement* macro : file->selectedItems(*this, node, configuration, "macro")) {
    const std::string* name = macro->attribute("name");
    const std::string* value = macro->attribute("value");
    if (name != nullptr) map[*name] = value != nullptr ? *value : std::string();
  }
}

}  // namespace tidewater
