#pragma once

#include <cstdint>
#include <ctime>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "xml/xml_element.h"

namespace tidewater {

/// What a project node is, fixed by its tag.
enum class ProjectElementKind : int32_t {
  Other = -1,
  Solution = 0,       ///< "solution"
  Configuration = 1,  ///< "configuration": carries property values as attributes
  Project = 2,        ///< "project"
  Folder = 3,         ///< "folder"
  File = 4,           ///< "file"
};

/// A node of the project tree. Its own attributes (a name-ordered map, apart
/// from the XML attribute list) hold "Name", "file_name" and, on
/// configuration nodes, property values. Configuration children are also
/// indexed by name. The path fields are filled by the project system's path
/// resolution and stay valid while pathResolved is set.
class ProjectElement : public XMLElement {
 public:
  explicit ProjectElement(std::string tag);
  ~ProjectElement() override;

  static ProjectElementKind kindOfTag(std::string_view tag);
  ProjectElementKind projectKind() const { return projectKind_; }
  bool isFile() const { return projectKind_ == ProjectElementKind::File; }
  bool isFolder() const { return projectKind_ == ProjectElementKind::Folder; }

  // Attributes. A missing attribute reads as null; an empty one is a value.
  void setNodeAttribute(std::string_view name, std::string value);
  const std::string* nodeAttribute(std::string_view name) const;
  bool hasNodeAttribute(std::string_view name) const { return nodeAttribute(name) != nullptr; }
  const std::map<std::string, std::string, std::less<>>& nodeAttributes() const { return attributes_; }

  /// Sets "Name".
  void setNodeName(std::string name) { setNodeAttribute("Name", std::move(name)); }
  /// Sets "file_name", then the modified flag to "modified".
  void setFileName(std::string path, bool modified);

  bool isModified() const { return modified_; }
  void setModified(bool modified) { modified_ = modified; }

  /// Links a child at the end of the child list. A configuration child is
  /// indexed under its "Name" (replacing an entry of that name); any other
  /// child marks this node modified.
  ProjectElement& addChild(std::unique_ptr<ProjectElement> child);

  /// The configuration child of that name, or null.
  ProjectElement* configuration(const std::string& name) const;
  /// The configuration child of that name, made and added when absent.
  ProjectElement& configurationOrCreate(const std::string& name);
  const std::map<std::string, ProjectElement*>& configurations() const { return configurations_; }

  // Navigation through project-node parents only.
  ProjectElement* parentElement() const;
  ProjectElement* nearestProject() const;
  ProjectElement* nearestSolution() const;
  /// The direct parent when it is a folder, else null.
  ProjectElement* parentFolder() const;

  /// Rebuilds the configuration name to inherited names map from each
  /// configuration child's "inherited_configurations" (";"-separated, empty
  /// parts dropped).
  void rebuildInheritedConfigurations();
  /// The names configuration "name" inherits, or null when it has no list.
  const std::vector<std::string>* inheritedConfigurations(const std::string& name) const;

  /// Clears pathResolved here and on every project node below.
  void invalidateResolvedPaths();

  // Path state written by path resolution.
  bool pathResolved = false;
  bool pathHasMacros = false;
  std::string absoluteFilePath;  ///< the resolved file (solution file, or a file node's input)
  std::string directory;         ///< project directory, or the base of a file's relative path
  std::string relativePath;      ///< "file_name" after expansion, as written
  std::string fileTypeOverride;  ///< a file type that wins over detection by extension
  std::optional<std::time_t> timestamp;

 private:
  ProjectElementKind projectKind_;
  bool modified_ = false;
  std::map<std::string, ProjectElement*> configurations_;
  std::map<std::string, std::string, std::less<>> attributes_;
  std::map<std::string, std::vector<std::string>> inheritedConfigurations_;
};

}  // namespace tidewater
