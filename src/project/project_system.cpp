#include "project/project_system.h"

#include <sys/stat.h>

#include "base/h_exception.h"
#include "base/path.h"
#include "project/catalogue_table.h"
#include "project/property_value_group_file.h"
#include "target/memory_map.h"

namespace tidewater {

namespace {

const std::string kCommon = "Common";

}  // namespace

ProjectSystem::ProjectSystem(MacroTable& macros, std::string projectTemplateSearchList,
                             std::vector<std::string> propertyDefinitionFiles)
    : macros_(macros),
      projectTemplateSearchList_(std::move(projectTemplateSearchList)),
      propertyDefinitionFiles_(std::move(propertyDefinitionFiles)) {
  registerGeneralCatalogue();
}

ProjectSystem::~ProjectSystem() = default;

ProjectElement& ProjectSystem::newSolution(const std::string& name, const std::string& directory) {
  solution_ = std::make_unique<ProjectElement>("solution");
  projects_.clear();
  solution_->setNodeName(name);
  solution_->setNodeAttribute("version", "2");
  solution_->absoluteFilePath = absolutePath(directory + "/" + name + ".twp");
  struct stat status {};
  if (stat(solution_->absoluteFilePath.c_str(), &status) == 0) solution_->timestamp = status.st_mtime;
  resolvePath(*solution_, kCommon);
  return *solution_;
}

ProjectElement& ProjectSystem::newProject(ProjectElement& solution, const std::string& name,
                                          const std::string& directory, const std::string& type) {
  auto created = std::make_unique<ProjectElement>("project");
  created->setNodeName(name);
  ProjectElement& project = addChild(solution, std::move(created));
  projects_[name] = &project;
  ProjectElement& common = project.configurationOrCreate(kCommon);
  resolvePath(solution, kCommon);
  const std::string solutionDirectory = directoryPart(solution.absoluteFilePath);
  const std::string relative =
      isAbsolutePath(directory) ? relativePath(solutionDirectory, directory) : directory;
  common.setNodeAttribute("project_directory", relative.empty() ? directory : relative);
  common.setNodeAttribute("project_type", type);
  return project;
}

ProjectElement& ProjectSystem::addChild(ProjectElement& parent, std::unique_ptr<ProjectElement> child) {
  return parent.addChild(std::move(child));
}

ProjectElement* ProjectSystem::findProject(const std::string& name) const {
  const auto found = projects_.find(name);
  return found == projects_.end() ? nullptr : found->second;
}

void ProjectSystem::registerMacroDescriptions(LayerCatalogue& layer,
                                              std::span<const MacroDescriptionRow> rows) {
  std::vector<MacroPropertyClass> block;
  block.reserve(rows.size());
  for (const MacroDescriptionRow& row : rows) block.emplace_back(row.reference, row.description, "(Build Macro Values)");
  const std::span<MacroPropertyClass> added = catalogue_.add(std::move(block));
  layer.macroDescriptions.reserve(layer.macroDescriptions.size() + added.size());
  for (const MacroPropertyClass& macro : added) layer.macroDescriptions.push_back(&macro);
}

PropertyClass& ProjectSystem::registeredProperty(std::string_view name) {
  PropertyClass* found = catalogue_.find(name);
  if (found == nullptr) throw HException("property " + std::string(name) + " is not registered");
  return *found;
}

std::string ProjectSystem::lookUp(const ProjectElement* node, const PropertyClass& property,
                                  const std::string& configuration,
                                  std::vector<LookupTraceEntry>* trace) const {
  return lookUpProperty(node, property, configuration, trace);
}

std::string ProjectSystem::lookUp(const ProjectElement* node, const std::string& propertyName,
                                  const std::string& configuration) const {
  const PropertyClass* property = catalogue_.find(propertyName);
  return property == nullptr ? std::string() : lookUpProperty(node, *property, configuration);
}

void ProjectSystem::write(ProjectElement& node, const PropertyClass& property,
                          const std::string& configuration, const std::string& value) {
  writeProperty(changeLog_, node, property, configuration, value);
}

std::string ProjectSystem::solutionFilePath(const ProjectElement& node) const {
  const ProjectElement* solution = node.nearestSolution();
  if (solution == nullptr) solution = solution_.get();
  return solution == nullptr ? std::string() : solution->absoluteFilePath;
}

void ProjectSystem::resolvePath(ProjectElement& node, const std::string& configuration) {
  if (node.pathResolved) return;
  const ProjectElementKind kind = node.projectKind();
  const std::string* fileName = node.nodeAttribute("file_name");

  if (kind == ProjectElementKind::File || (kind == ProjectElementKind::Folder && fileName != nullptr)) {
    ProjectElement* project = node.nearestProject();
    if (project != nullptr) {
      resolvePath(*project, kCommon);
      node.directory = project->directory;
    } else {
      node.directory = directoryPart(solutionFilePath(node));
    }
    std::string path = fileName != nullptr ? *fileName : std::string();
    node.pathHasMacros = path.find('$') != std::string::npos;
    if (node.pathHasMacros) path = expandForNode(project, configuration, path);
    node.relativePath = path;
    node.absoluteFilePath = isAbsolutePath(path) ? path : node.directory + "/" + path;
    node.pathResolved = !node.pathHasMacros;
    return;
  }

  if (kind == ProjectElementKind::Project) {
    const std::string solutionDirectory = directoryPart(solutionFilePath(node));
    const ProjectElement* common = node.configuration(kCommon);
    const std::string* stored = common != nullptr ? common->nodeAttribute("project_directory") : nullptr;
    if (stored != nullptr && !stored->empty()) {
      const std::string expanded = macros_.expandGlobally(*stored);
      node.directory = cleanPath(isAbsolutePath(expanded) ? expanded : solutionDirectory + "/" + expanded);
    } else {
      node.directory = solutionDirectory;
    }
    node.pathResolved = true;
    return;
  }

  node.pathHasMacros = false;
  if (kind != ProjectElementKind::Solution) node.absoluteFilePath.clear();
  node.directory.clear();
  node.relativePath.clear();
  node.pathResolved = true;
}

void ProjectSystem::invalidateCaches() {
  if (solution_) solution_->invalidateResolvedPaths();
}

std::string ProjectSystem::nodeName(ProjectElement& node) {
  if (const std::string* name = node.nodeAttribute("Name"); name != nullptr && !name->empty()) {
    return *name;
  }
  if (const std::string* fileName = node.nodeAttribute("file_name")) {
    resolvePath(node, kCommon);
    return node.pathHasMacros ? tidewater::fileName(*fileName) : tidewater::fileName(node.absoluteFilePath);
  }
  return "<NULL>";
}

std::string ProjectSystem::expandForNode(ProjectElement* node, const std::string& configuration,
                                         std::string_view text) {
  if (text.find('$') == std::string_view::npos) return std::string(text);
  return expandWith(nodeMacroMap(node, configuration), text);
}

}  // namespace tidewater
