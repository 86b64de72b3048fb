#include "project/property_lookup.h"

#include "project/project_element.h"
#include "project/property_class.h"

namespace tidewater {

namespace {

const std::string kCommon = "Common";

// Accumulates one level's hit into the result; returns whether the lookup
// is final.
bool tryLevel(const ProjectElement& node, const std::string& configuration,
              std::string_view propertyName, bool accumulate, std::optional<std::string>& result,
              std::vector<LookupTraceEntry>* trace) {
  const ProjectElement* configurationNode = node.configuration(configuration);
  if (configurationNode == nullptr) return false;
  const std::string* value = configurationNode->nodeAttribute(propertyName);
  if (value == nullptr) return false;
  if (trace != nullptr) trace->push_back({*value, configuration, &node});
  if (!result || result->empty()) {
    result = *value;
  } else {
    result = *value + ";" + *result;
  }
  return !accumulate;
}

}  // namespace

std::vector<std::string> inheritedConfigurationsFor(const ProjectElement& node,
                                                    const std::string& configuration) {
  if (configuration == kCommon) return {};
  const ProjectElement* holder = node.nearestSolution();
  for (; holder != nullptr; holder = holder->parentElement()) {
    const auto* list = holder->inheritedConfigurations(configuration);
    if (list != nullptr && !list->empty()) return *list;
  }
  return {};
}

std::string lookUpProperty(const ProjectElement* node, const PropertyClass& property,
                           const std::string& configuration, std::vector<LookupTraceEntry>* trace) {
  const bool accumulate = property.type() == PropertyType::StringList;
  const bool isCommon = configuration == kCommon;
  const std::string_view name = property.name();
  std::optional<std::string> result;

  for (const ProjectElement* x = node; x != nullptr; x = x->parentElement()) {
    if (x->configurations().empty()) continue;
    if (tryLevel(*x, configuration, name, accumulate, result, trace)) return *result;
    if (isCommon) continue;
    for (const auto& inherited : inheritedConfigurationsFor(*x, configuration)) {
      if (tryLevel(*x, inherited, name, accumulate, result, trace)) return *result;
    }
    if (tryLevel(*x, kCommon, name, accumulate, result, trace)) return *result;
  }
  if (result) return *result;
  if (trace != nullptr) trace->push_back({std::string(property.defaultValue()), "", nullptr});
  return std::string(property.defaultValue());
}

const std::string* ownPropertyValue(const ProjectElement& node, const PropertyClass& property,
                                    const std::string& configuration) {
  const ProjectElement* configurationNode = node.configuration(configuration);
  return configurationNode == nullptr ? nullptr : configurationNode->nodeAttribute(property.name());
}

void writeProperty(ChangeLog& log, ProjectElement& node, const PropertyClass& property,
                   const std::string& configuration, const std::string& value) {
  ChangeRecord record;
  record.node = &node;
  record.property = &property;
  record.configuration = configuration;
  if (const std::string* previous = ownPropertyValue(node, property, configuration)) {
    record.previousValue = *previous;
  }
  record.nodeWasModified = node.isModified();
  ProjectElement& configurationNode = node.configurationOrCreate(configuration);
  record.configurationWasModified = configurationNode.isModified();
  configurationNode.setNodeAttribute(property.name(), value);
  record.time = std::chrono::system_clock::now();
  log.add(std::move(record));
}

}  // namespace tidewater
