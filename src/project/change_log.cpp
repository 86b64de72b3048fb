#include "project/change_log.h"

#include <algorithm>

#include "project/project_element.h"

namespace tidewater {

namespace {

bool isSelfOrAncestor(const ProjectElement* candidate, const ProjectElement& node) {
  for (const ProjectElement* x = &node; x != nullptr; x = x->parentElement()) {
    if (x == candidate) return true;
  }
  return false;
}

}  // namespace

bool ChangeLog::hasChanged(const ProjectElement& node, const std::string& configuration,
                           const std::vector<std::string>& inheritedConfigurations,
                           const std::set<const PropertyClass*>& properties,
                           std::chrono::system_clock::time_point since) const {
  return std::any_of(records_.begin(), records_.end(), [&](const ChangeRecord& record) {
    if (record.time <= since || properties.count(record.property) == 0) return false;
    const bool configurationApplies =
        record.configuration == configuration || record.configuration == "Common" ||
        std::find(inheritedConfigurations.begin(), inheritedConfigurations.end(),
                  record.configuration) != inheritedConfigurations.end();
    return configurationApplies && isSelfOrAncestor(record.node, node);
  });
}

}  // namespace tidewater
