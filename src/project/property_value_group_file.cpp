#include "project/property_value_group_file.h"

#include <algorithm>
#include <cstring>
#include <iostream>

#include "base/text_file.h"

#include "project/project_system.h"
#include "target/memory_map.h"

namespace tidewater {

namespace {

const std::string kCommon = "Common";

std::string attributeOr(const XMLElement& element, std::string_view name, std::string fallback = {}) {
  const std::string* value = element.attribute(name);
  return value != nullptr ? *value : fallback;
}

// "name", or "name~~family" so that the property model keeps the family as
// the value's group.
std::string legalValueOf(const XMLElement& entry) {
  std::string value = attributeOr(entry, "name");
  if (const std::string* family = entry.attribute("family")) value += "~~" + *family;
  return value;
}

std::unique_ptr<PropertyValueGroupClass> groupClassOf(const XMLElement& group) {
  OwnedPropertyTexts texts{.name = attributeOr(group, "name"),
                           .defaultValue = attributeOr(group, "default"),
                           .group = attributeOr(group, "page", "General"),
                           .category = attributeOr(group, "group"),
                           .displayName = attributeOr(group, "short"),
                           .description = attributeOr(group, "long")};
  for (const XMLElement* entry = group.firstChildElement(); entry != nullptr; entry = entry->nextSiblingElement()) {
    if (entry->name() == "groupEntry") texts.values.push_back(legalValueOf(*entry));
  }
  return std::make_unique<PropertyValueGroupClass>(std::move(texts), group);
}

const XMLElement* entryNamed(const XMLElement& group, const std::string& name) {
  for (const XMLElement* entry = group.firstChildElement(); entry != nullptr; entry = entry->nextSiblingElement()) {
    if (entry->name() == "groupEntry" && attributeOr(*entry, "name") == name) return entry;
  }
  return nullptr;
}

}  // namespace

PropertyValueGroupFile::PropertyValueGroupFile(const MacroTable& macros, std::ostream* warnings)
    : XMLPP2(macros), warnings_(warnings ? warnings : &std::cerr) {}

void PropertyValueGroupFile::reportError(const std::string& message) {
  XMLPP2::reportError(message);
  *warnings_ << "warning: " << message << '\n';
}

bool PropertyValueGroupFile::load(const std::string& path) {
  groups_.clear();
  fileTime_ = fileModificationTime(path);
  const std::string failure = "cannot load the property-group file " + path + ": ";
  if (!XMLPP2::load(path, {}, false)) {
    if (errorLine() == 0 && errorText().starts_with("couldn't read")) {
      // The reader does not keep the system's reason; opening again finds it.
      int reason = 0;
      const UniqueFile file = openTextFileForReading(path, reason);
      setError(failure + (file ? std::string("read error") : std::strerror(reason)), 0);
    } else {
      setError(failure + "line " + std::to_string(errorLine() + 1) + ": " + errorText(), errorLine());
    }
    return false;
  }
  if (root() == nullptr) {
    setError(failure + "it holds no element", 0);
    return false;
  }
  for (const XMLElement* child = root()->firstChildElement(); child != nullptr; child = child->nextSiblingElement()) {
    if (child->name() == "group") groups_.push_back(groupClassOf(*child));
  }
  return true;
}

const PropertyValueGroupClass* PropertyValueGroupFile::group(std::string_view name) const {
  const auto found = std::find_if(groups_.begin(), groups_.end(),
                                  [&](const auto& group) { return group->name() == name; });
  return found == groups_.end() ? nullptr : found->get();
}

std::string PropertyValueGroupFile::lookUp(const ProjectSystem& system, const ProjectElement* node,
                                           const std::string& name, const std::string& configuration) const {
  if (const PropertyClass* property = system.catalogue().find(name)) {
    return system.lookUp(node, *property, configuration);
  }
  const PropertyValueGroupClass* property = group(name);
  return property != nullptr ? system.lookUp(node, *property, configuration) : std::string();
}

std::vector<const XMLElement*> PropertyValueGroupFile::selectedItems(const ProjectSystem& system,
                                                                     const ProjectElement* node,
                                                                     const std::string& configuration,
                                                                     std::string_view tag) const {
  std::vector<std::string> configurations{kCommon, configuration};
  if (node != nullptr) {
    for (std::string& inherited : inheritedConfigurationsFor(*node, configuration)) {
      configurations.push_back(std::move(inherited));
    }
  }
  const auto applies = [&](const XMLElement& item) {
    if (const std::string* only = item.attribute("configuration");
        only != nullptr && std::find(configurations.begin(), configurations.end(), *only) == configurations.end()) {
      return false;
    }
    const std::string* property = item.attribute("property");
    return property == nullptr || lookUp(system, node, *property, configuration) == attributeOr(item, "property_value");
  };

  std::vector<const XMLElement*> items;
  for (const auto& group : groups_) {
    const XMLElement* entry = entryNamed(group->element(), system.lookUp(node, *group, configuration));
    if (entry == nullptr) continue;
    for (const XMLElement* item = entry->firstChildElement(); item != nullptr; item = item->nextSiblingElement()) {
      if (item->name() == tag && applies(*item)) items.push_back(item);
    }
  }
  return items;
}

}  // namespace tidewater
