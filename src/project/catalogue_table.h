#pragma once
// The row form in which each project-system layer writes down its part of
// the property catalogue, and the registration of such a table.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "project/build_kind.h"
#include "project/project_system.h"
#include "project/property_class.h"

namespace tidewater {

/// Group and category of a row as registered (the class normalises them).
struct PropertySection {
  const char* group;
  const char* category;
};

/// Row flags: the informational properties describe a node rather than
/// configure it; the Common-only ones are never stored per configuration.
inline constexpr uint32_t kInformational = 1u << 0;
inline constexpr uint32_t kCommonOnly = 1u << 1;

/// One property of a layer's table. "reference" names the member of the
/// layer's catalogue record that keeps the class (null when no code reads
/// the property directly). Integer defaults are written as numbers; an
/// IntegerHex default is printed in hexadecimal when registered.
template <typename References>
struct CatalogueRow {
  const char* name;
  PropertyType type;
  PropertySection section;
  const char* displayName;
  const char* defaultValue;
  uint32_t steps;  ///< build-step mask (kStepC, ...)
  int32_t order;
  const PropertyClass* References::*reference;
  const char* description;
  std::vector<std::string> values = {};
  uint32_t flags = 0;
  uint32_t minimum = 0;
  uint32_t maximum = 0;
  const char* units = "";
};

/// One description of a macro that the build defines.
struct MacroDescriptionRow {
  const char* name;
  const char* description;
};

template <typename References>
void ProjectSystem::registerTable(References& layer, std::span<const CatalogueRow<References>> rows) {
  for (const CatalogueRow<References>& row : rows) {
    std::string defaultValue = row.defaultValue;
    if (row.type == PropertyType::IntegerHex) {
      defaultValue = PropertyClass::integerDefault(row.type, static_cast<uint32_t>(std::stoul(defaultValue)),
                                                   row.maximum);
    }
    const PropertyClass& added = registerProperty(
        layer,
        PropertyDefinition{.name = row.name,
                           .type = row.type,
                           .defaultValue = std::move(defaultValue),
                           .group = row.section.group,
                           .category = row.section.category,
                           .displayName = row.displayName,
                           .description = row.description,
                           .values = row.values,
                           .units = row.units,
                           .minimum = row.minimum,
                           .maximum = row.maximum,
                           .order = row.order,
                           .informational = (row.flags & kInformational) != 0,
                           .perConfiguration = (row.flags & kCommonOnly) == 0},
        row.steps);
    if (row.reference != nullptr) layer.*row.reference = &added;
  }
}

}  // namespace tidewater
