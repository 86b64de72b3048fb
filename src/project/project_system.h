#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "macro/macro_table.h"
#include "project/build_step_sets.h"
#include "project/change_log.h"
#include "project/general_catalogue.h"
#include "project/project_element.h"
#include "project/property_catalogue.h"
#include "project/property_lookup.h"

namespace tidewater {

class MemoryMap;
class PropertyValueGroupFile;
template <typename References>
struct CatalogueRow;
struct MacroDescriptionRow;

/// The base of the project system: owns the catalogue (registering the
/// general properties and node-macro descriptions itself), the build-step
/// sets, the solution tree and the change log; builds the tree's skeleton,
/// resolves node paths, types files and builds the macro map of a node.
/// Toolchain layers above it register their own tables and supply the file
/// extensions and their macros through the virtual hooks.
class ProjectSystem {
 public:
  /// "projectTemplateSearchList" is a ";"-separated list of template file
  /// patterns (macro-expanded when read); "propertyDefinitionFiles" names
  /// files of further property definitions (the driver passes none).
  explicit ProjectSystem(MacroTable& macros, std::string projectTemplateSearchList = {},
                         std::vector<std::string> propertyDefinitionFiles = {});
  virtual ~ProjectSystem();
  ProjectSystem(const ProjectSystem&) = delete;
  ProjectSystem& operator=(const ProjectSystem&) = delete;

  PropertyCatalogue& catalogue() { return catalogue_; }
  const PropertyCatalogue& catalogue() const { return catalogue_; }
  MacroTable& macroTable() const { return macros_; }
  ChangeLog& changeLog() { return changeLog_; }
  ProjectElement* solution() const { return solution_.get(); }
  const std::string& projectTemplateSearchList() const { return projectTemplateSearchList_; }
  const std::vector<std::string>& propertyDefinitionFiles() const { return propertyDefinitionFiles_; }

  /// The general properties, by direct reference.
  const GeneralCatalogue& general() const { return general_; }

  /// The properties whose change puts the outputs of a build step out of date.
  const std::set<const PropertyClass*>& buildStepProperties(BuildKind kind) const {
    return buildSteps_.of(kind);
  }

  // The tree's skeleton.

  /// Makes the root: a solution whose file is "<directory>/<name>.twp".
  ProjectElement& newSolution(const std::string& name, const std::string& directory);
  /// Adds a project with its "Common" configuration, its directory stored
  /// relative to the solution's and its type.
  ProjectElement& newProject(ProjectElement& solution, const std::string& name,
                             const std::string& directory, const std::string& type);
  /// Links a child node (configurations are indexed by name).
  ProjectElement& addChild(ProjectElement& parent, std::unique_ptr<ProjectElement> child);
  /// The project of that name, or null.
  ProjectElement* findProject(const std::string& name) const;

  // Properties, through the catalogue.

  std::string lookUp(const ProjectElement* node, const PropertyClass& property,
                     const std::string& configuration,
                     std::vector<LookupTraceEntry>* trace = nullptr) const;
  /// The same by name; "" for a name the catalogue does not know.
  std::string lookUp(const ProjectElement* node, const std::string& propertyName,
                     const std::string& configuration) const;
  void write(ProjectElement& node, const PropertyClass& property, const std::string& configuration,
             const std::string& value);

  // Paths and names.

  /// Fills the node's path fields for a configuration (which only matters
  /// for file names with macros: those are resolved again on every call).
  void resolvePath(ProjectElement& node, const std::string& configuration);
  /// Drops everything computed from property values (resolved paths), so
  /// that what is read next sees the values written since.
  void invalidateCaches();
  /// "Name", else the file name of "file_name", else "<NULL>".
  std::string nodeName(ProjectElement& node);

  /// The file type of a node in a configuration: its file_type value unless
  /// "Default", else its override, else detection from the lower-case
  /// suffix (and the DOCTYPE of an XML file); "" when the file takes no part
  /// in the build. Detection can answer "Header".
  std::string fileType(ProjectElement& node, const std::string& configuration);

  // Macros.

  /// The macros that describe a node and its surroundings in a configuration.
  MacroMap nodeMacroMap(ProjectElement* node, const std::string& configuration);
  /// Expands with the node's macros, then the global and system ones. Text
  /// without "$" comes back unchanged without building the map.
  std::string expandForNode(ProjectElement* node, const std::string& configuration,
                            std::string_view text);
  /// The same with a node's macro map made beforehand, for a caller that
  /// expands many texts of one node.
  std::string expandWith(const MacroMap& nodeMacros, std::string_view text) const {
    return macros_.expand(text, nodeMacros, true, true);
  }
  std::string expandGlobally(std::string_view text) const { return macros_.expandGlobally(text); }

  // Target descriptions.

  /// The memory map of a project in a configuration. A map stays cached by
  /// path while its root's file time matches the file on disk, and is loaded
  /// again (replacing the old one) when the file changes. Null when the
  /// project names no map or it cannot be loaded; nothing is cached then.
  MemoryMap* memoryMap(ProjectElement& project, const std::string& configuration);

  // Property groups.

  /// The property-group file that property_groups_file_path names for a
  /// node in a configuration (relative to the project directory), cached by
  /// path and read again when the file's time changes. Null for an empty
  /// path or "None"; a file that cannot be loaded throws an HException
  /// naming the file and the reason.
  PropertyValueGroupFile* propertyGroupFile(ProjectElement* node, const std::string& configuration);
  /// The "attribute" values of the "tag" children of the selected group
  /// entries (see PropertyValueGroupFile::selectedItems), in file order.
  std::vector<std::string> propertyGroupItems(ProjectElement* node, const std::string& configuration,
                                              std::string_view tag, std::string_view attribute);

 protected:
  /// The absolute path of the file memoryMap() reads ("" for none): here
  /// the expanded linker_memory_map_file, relative to the project directory.
  virtual std::string memoryMapFile(ProjectElement& project, const std::string& configuration);
  /// Reads the map at "path" for the cache: a plain memory map, not
  /// preprocessed. Null when it cannot be loaded.
  virtual std::unique_ptr<MemoryMap> loadMemoryMap(const std::string& path, ProjectElement& project,
                                                   const std::string& configuration);

  /// Registers the rows as one block: in the catalogue, the layer's record,
  /// the build-step sets of each row's steps and the member the row names.
  template <typename References>
  void registerTable(References& layer, std::span<const CatalogueRow<References>> rows);
  /// Registers descriptions of build macros (category "(Build Macro Values)").
  void registerMacroDescriptions(LayerCatalogue& layer, std::span<const MacroDescriptionRow> rows);
  /// The class the catalogue holds under "name", for a layer overriding a
  /// lower layer's default; throws HException when there is none.
  PropertyClass& registeredProperty(std::string_view name);

  /// The toolchain's file extensions ("" when the layer has none).
  virtual std::string objectExtension() const { return {}; }
  virtual std::string executableExtension() const { return {}; }
  virtual std::string libraryExtension() const { return {}; }
  /// Adds the macros of the node's property-group file, if it has one.
  void addPropertyGroupMacros(MacroMap& map, ProjectElement* node, const std::string& configuration);
  /// Adds the toolchain's own macros.
  virtual void addToolchainMacros(MacroMap&, ProjectElement*, const std::string&) {}

 private:
  void registerGeneralCatalogue();
  void addProjectMacros(MacroMap& map, ProjectElement* node, const std::string& configuration);
  void addNodeMacros(MacroMap& map, ProjectElement& node, const std::string& configuration);
  void addDirectoryMacros(MacroMap& map, ProjectElement* node, const std::string& configuration);
  std::string solutionFilePath(const ProjectElement& node) const;

  MacroTable& macros_;
  std::string projectTemplateSearchList_;
  std::vector<std::string> propertyDefinitionFiles_;
  PropertyCatalogue catalogue_;
  BuildStepSets buildSteps_;
  GeneralCatalogue general_;
  ChangeLog changeLog_;
  std::unique_ptr<ProjectElement> solution_;
  std::map<std::string, ProjectElement*> projects_;
  std::map<std::string, std::unique_ptr<MemoryMap>> memoryMaps_;
  std::map<std::string, std::unique_ptr<PropertyValueGroupFile>> propertyGroupFiles_;
  // Files replaced by a newer version on disk. The change log may still
  // point at their group classes, so they live as long as the system does.
  std::vector<std::unique_ptr<PropertyValueGroupFile>> replacedPropertyGroupFiles_;
};

}  // namespace tidewater
