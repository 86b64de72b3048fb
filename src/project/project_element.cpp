#include "project/project_element.h"

#include "base/split_list.h"

namespace tidewater {

ProjectElement::ProjectElement(std::string tag)
    : XMLElement(std::move(tag)), projectKind_(kindOfTag(name())) {}

ProjectElement::~ProjectElement() = default;

ProjectElementKind ProjectElement::kindOfTag(std::string_view tag) {
  static constexpr std::pair<std::string_view, ProjectElementKind> kTags[] = {
      {"solution", ProjectElementKind::Solution}, {"configuration", ProjectElementKind::Configuration},
      {"project", ProjectElementKind::Project},   {"folder", ProjectElementKind::Folder},
      {"file", ProjectElementKind::File},
  };
  for (const auto& [name, kind] : kTags) {
    if (name == tag) return kind;
  }
  return ProjectElementKind::Other;
}

void ProjectElement::setNodeAttribute(std::string_view name, std::string value) {
  if (const auto found = attributes_.find(name); found != attributes_.end()) {
    found->second = std::move(value);
  } else {
    attributes_.emplace(name, std::move(value));
  }
  modified_ = true;
}

const std::string* ProjectElement::nodeAttribute(std::string_view name) const {
  const auto found = attributes_.find(name);
  return found == attributes_.end() ? nullptr : &found->second;
}

void ProjectElement::setFileName(std::string path, bool modified) {
  setNodeAttribute("file_name", std::move(path));
  modified_ = modified;
}

ProjectElement& ProjectElement::addChild(std::unique_ptr<ProjectElement> child) {
  ProjectElement& added = *child;
  appendChild(std::move(child));
  if (added.projectKind() == ProjectElementKind::Configuration) {
    const std::string* name = added.nodeAttribute("Name");
    configurations_[name != nullptr ? *name : std::string()] = &added;
  } else {
    modified_ = true;
  }
  return added;
}

ProjectElement* ProjectElement::configuration(const std::string& name) const {
  const auto found = configurations_.find(name);
  return found == configurations_.end() ? nullptr : found->second;
}

ProjectElement& ProjectElement::configurationOrCreate(const std::string& name) {
  if (ProjectElement* existing = configuration(name)) return *existing;
  auto created = std::make_unique<ProjectElement>("configuration");
  created->setNodeName(name);
  return addChild(std::move(created));
}

ProjectElement* ProjectElement::parentElement() const {
  return dynamic_cast<ProjectElement*>(parent());
}

// Tree nodes are navigated freely: the walk hands out the parents it meets.
ProjectElement* ProjectElement::nearestProject() const {
  for (ProjectElement* node = const_cast<ProjectElement*>(this); node != nullptr; node = node->parentElement()) {
    if (node->projectKind() == ProjectElementKind::Project) return node;
  }
  return nullptr;
}

ProjectElement* ProjectElement::nearestSolution() const {
  for (ProjectElement* node = const_cast<ProjectElement*>(this); node != nullptr; node = node->parentElement()) {
    if (node->projectKind() == ProjectElementKind::Solution) return node;
  }
  return nullptr;
}

ProjectElement* ProjectElement::parentFolder() const {
  ProjectElement* parent = parentElement();
  return parent != nullptr && parent->isFolder() ? parent : nullptr;
}

void ProjectElement::invalidateResolvedPaths() {
  std::vector<XMLNode*> pending{this};
  while (!pending.empty()) {
    XMLNode* node = pending.back();
    pending.pop_back();
    if (auto* element = dynamic_cast<ProjectElement*>(node)) element->pathResolved = false;
    for (XMLNode* child = node->firstChild(); child != nullptr; child = child->nextSibling()) {
      pending.push_back(child);
    }
  }
}

void ProjectElement::rebuildInheritedConfigurations() {
  inheritedConfigurations_.clear();
  for (const auto& [name, configurationNode] : configurations_) {
    const std::string* list = configurationNode->nodeAttribute("inherited_configurations");
    if (list == nullptr) continue;
    inheritedConfigurations_[name] = splitList(*list);
  }
}

const std::vector<std::string>* ProjectElement::inheritedConfigurations(const std::string& name) const {
  const auto found = inheritedConfigurations_.find(name);
  return found == inheritedConfigurations_.end() ? nullptr : &found->second;
}

}  // namespace tidewater
