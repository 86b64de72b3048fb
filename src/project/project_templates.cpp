#include "project/project_templates.h"

#include <glob.h>

#include "base/solution_load_error.h"
#include "base/split_list.h"
#include "project/project_system.h"

namespace tidewater {

namespace {

const std::string kCommon = "Common";

std::vector<std::string> matchingFiles(const std::string& pattern) {
  std::vector<std::string> files;
  glob_t matches{};
  if (glob(pattern.c_str(), 0, nullptr, &matches) == 0) {
    for (size_t i = 0; i < matches.gl_pathc; ++i) files.emplace_back(matches.gl_pathv[i]);
  }
  globfree(&matches);
  return files;
}

std::string attributeOr(const XMLElement& element, const char* name) {
  const std::string* value = element.attribute(name);
  return value != nullptr ? *value : std::string();
}

// Writes through the catalogue when it knows the property (so the write is
// logged), else stores the attribute as it is (property-group values).
void setProperty(ProjectSystem& system, ProjectElement& node, const std::string& configuration,
                 const std::string& name, const std::string& value) {
  if (const PropertyClass* property = system.catalogue().find(name)) {
    system.write(node, *property, configuration, value);
  } else {
    node.configurationOrCreate(configuration).setNodeAttribute(name, value);
  }
}

void addContent(ProjectSystem& system, ProjectElement& solution, ProjectElement& node,
                const XMLElement& source);

void addNode(ProjectSystem& system, ProjectElement& solution, ProjectElement& parent,
             const XMLElement& source) {
  auto created = std::make_unique<ProjectElement>(source.name());
  for (const auto& attribute : source.attributes()) {
    created->setNodeAttribute(attribute.name, attribute.value.value_or(""));
  }
  ProjectElement& added = system.addChild(parent, std::move(created));
  addContent(system, solution, added, source);
}

void addContent(ProjectSystem& system, ProjectElement& solution, ProjectElement& node,
                const XMLElement& source) {
  for (const XMLElement* child = source.firstChildElement(); child != nullptr;
       child = child->nextSiblingElement()) {
    const std::string& tag = child->name();
    if (tag == "property" || tag == "propertygroup") {
      setProperty(system, node, kCommon, attributeOr(*child, "name"), attributeOr(*child, "value"));
    } else if (tag == "solutionproperty") {
      setProperty(system, solution, kCommon, attributeOr(*child, "name"), attributeOr(*child, "value"));
    } else if (tag == "configuration") {
      const std::string configuration = attributeOr(*child, "Name");
      node.configurationOrCreate(configuration);
      for (const auto& attribute : child->attributes()) {
        if (attribute.name == "Name") continue;
        setProperty(system, node, configuration, attribute.name, attribute.value.value_or(""));
      }
    } else if (tag == "folder" || tag == "file") {
      addNode(system, solution, node, *child);
    }
  }
}

}  // namespace

void ProjectTemplates::load(ProjectSystem& system, const std::string& searchList) {
  documents_.clear();
  for (const auto& pattern : splitEscapedList(system.expandGlobally(searchList))) {
    for (const auto& path : matchingFiles(pattern)) {
      auto document = std::make_unique<QXMLDocument>();
      if (!document->load(path)) {
        throw SolutionLoadError(path, true,
                                path + ":" + std::to_string(document->errorLine() + 1) + ": " +
                                    document->errorText());
      }
      if (document->root() != nullptr) documents_.push_back(std::move(document));
    }
  }
}

const XMLElement* ProjectTemplates::find(const std::string& name) const {
  for (const auto& document : documents_) {
    for (const XMLElement* candidate = document->root()->firstChildElement(); candidate != nullptr;
         candidate = candidate->nextSiblingElement()) {
      if (candidate->name() == "project" && attributeOr(*candidate, "name") == name) return candidate;
    }
  }
  return nullptr;
}

void ProjectTemplates::apply(ProjectSystem& system, ProjectElement& project,
                             const XMLElement& projectTemplate) {
  ProjectElement* solution = project.nearestSolution();
  if (solution == nullptr) solution = &project;
  setProperty(system, project, kCommon, "project_type", attributeOr(projectTemplate, "type"));
  addContent(system, *solution, project, projectTemplate);
}

}  // namespace tidewater
