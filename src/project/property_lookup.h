#pragma once

#include <string>
#include <vector>

#include "project/change_log.h"

namespace tidewater {

class ProjectElement;
class PropertyClass;

/// One level of a lookup that supplied a value; the default appears with an
/// empty configuration and no node.
struct LookupTraceEntry {
  std::string value;
  std::string configuration;
  const ProjectElement* node = nullptr;
};

/// The configuration names that "configuration" inherits for "node": the
/// list held by its nearest solution, or by the nearest ancestor above that
/// has a non-empty one. Empty for "Common".
std::vector<std::string> inheritedConfigurationsFor(const ProjectElement& node,
                                                    const std::string& configuration);

/// The value of a property for a node in a configuration. Levels are tried
/// in order: the node's configuration, the configurations it inherits, its
/// "Common", then the same on each parent; the first hit wins, except that
/// StringList values of all levels are joined with ";", outermost first.
/// With no hit at all the property's default is returned. A null node gives
/// the default.
std::string lookUpProperty(const ProjectElement* node, const PropertyClass& property,
                           const std::string& configuration,
                           std::vector<LookupTraceEntry>* trace = nullptr);

/// The node's own value in that configuration, or null (no inheritance).
const std::string* ownPropertyValue(const ProjectElement& node, const PropertyClass& property,
                                    const std::string& configuration);

/// Stores a value on the node's configuration child (made when absent) and
/// records the write in the change log.
void writeProperty(ChangeLog& log, ProjectElement& node, const PropertyClass& property,
                   const std::string& configuration, const std::string& value);

}  // namespace tidewater
