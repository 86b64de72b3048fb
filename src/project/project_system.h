#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "macro/macro_table.h"
#include "project/change_log.h"
#include "project/project_element.h"
#include "project/property_catalogue.h"
#include "project/property_lookup.h"

namespace tidewater {

/// The base of the project system: owns the catalogue, the solution tree and
/// the change log, builds the tree's skeleton, resolves node paths and
/// builds the macro map of a node. Toolchain layers above it supply the file
/// extensions and add their macros through the virtual hooks.
class ProjectSystem {
 public:
  explicit ProjectSystem(MacroTable& macros);
  virtual ~ProjectSystem();
  ProjectSystem(const ProjectSystem&) = delete;
  ProjectSystem& operator=(const ProjectSystem&) = delete;

  PropertyCatalogue& catalogue() { return catalogue_; }
  const PropertyCatalogue& catalogue() const { return catalogue_; }
  MacroTable& macroTable() const { return macros_; }
  ChangeLog& changeLog() { return changeLog_; }
  ProjectElement* solution() const { return solution_.get(); }

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
  /// "Name", else the file name of "file_name", else "<NULL>".
  std::string nodeName(ProjectElement& node);

  // Macros.

  /// The macros that describe a node and its surroundings in a configuration.
  MacroMap nodeMacroMap(ProjectElement* node, const std::string& configuration);
  /// Expands with the node's macros, then the global and system ones. Text
  /// without "$" comes back unchanged without building the map.
  std::string expandForNode(ProjectElement* node, const std::string& configuration,
                            std::string_view text);
  std::string expandGlobally(std::string_view text) const { return macros_.expandGlobally(text); }

 protected:
  /// The toolchain's file extensions ("" when the layer has none).
  virtual std::string objectExtension() const { return {}; }
  virtual std::string executableExtension() const { return {}; }
  virtual std::string libraryExtension() const { return {}; }
  /// Adds the macros of a loaded property-group file.
  virtual void addPropertyGroupMacros(MacroMap&, ProjectElement*, const std::string&) {}
  /// Adds the toolchain's own macros.
  virtual void addToolchainMacros(MacroMap&, ProjectElement*, const std::string&) {}

 private:
  void addProjectMacros(MacroMap& map, ProjectElement* node, const std::string& configuration);
  void addNodeMacros(MacroMap& map, ProjectElement& node, const std::string& configuration);
  void addDirectoryMacros(MacroMap& map, ProjectElement* node, const std::string& configuration);
  std::string solutionFilePath(const ProjectElement& node) const;

  MacroTable& macros_;
  PropertyCatalogue catalogue_;
  ChangeLog changeLog_;
  std::unique_ptr<ProjectElement> solution_;
  std::map<std::string, ProjectElement*> projects_;
};

}  // namespace tidewater
