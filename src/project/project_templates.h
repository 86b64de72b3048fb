#pragma once

#include <memory>
#include <string>
#include <vector>

#include "xml/qxml_document.h"

namespace tidewater {

class ProjectElement;
class ProjectSystem;

/// Project templates: named starting points that give a project its type,
/// properties, configurations, folders and files. They are read from XML
/// files like this one:
///
///   <!DOCTYPE Project_Templates_File>
///   <projects>
///     <project name="cortex_m3" type="Executable" description="...">
///       <property name="arm_core_type" value="Cortex-M3"/>
///       <configuration Name="Debug" gcc_optimization_level="None"/>
///       <solutionproperty name="inherited_configurations" value="Common"/>
///       <propertygroup name="Board" value="lm3s6965"/>
///       <folder Name="Source Files"><file file_name="main.c"/></folder>
///     </project>
///   </projects>
class ProjectTemplates {
 public:
  /// Reads every file matched by the ";"-separated patterns ("*" and "?"
  /// wildcards), after expanding them with the process-wide macros. A file
  /// that cannot be parsed throws SolutionLoadError naming it and the line.
  void load(ProjectSystem& system, const std::string& searchList);

  /// The template of that name, or null; the first file loaded wins.
  const XMLElement* find(const std::string& name) const;

  /// Writes the template's "type" as the project type and adds its content.
  static void apply(ProjectSystem& system, ProjectElement& project, const XMLElement& projectTemplate);

 private:
  std::vector<std::unique_ptr<QXMLDocument>> documents_;
};

}  // namespace tidewater
