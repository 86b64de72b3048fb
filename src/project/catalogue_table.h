#pragma once
// The row form in which each project-system layer writes down its part of
// the property catalogue, and the registration of such a table.

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "project/build_kind.h"
#include "project/project_system.h"
#include "project/property_class.h"

namespace tidewater {

/// Group and category of a row, normalised when the table is compiled.
struct PropertySection {
  constexpr PropertySection(std::string_view registeredGroup, std::string_view registeredCategory)
      : group(normalisedGroup(registeredGroup)), category(normalisedCategory(registeredCategory)) {}
  std::string_view group;
  std::string_view category;
};

/// Row flags: the informational properties describe a node rather than
/// configure it; the Common-only ones are never stored per configuration.
inline constexpr uint32_t kInformational = 1u << 0;
inline constexpr uint32_t kCommonOnly = 1u << 1;

/// A string literal as a template argument, so that a list of literals can
/// be a constant array of its own (see "choices").
template <size_t N>
struct TextLiteral {
  char text[N];
  constexpr TextLiteral(const char (&literal)[N]) { std::copy_n(literal, N, text); }  // NOLINT: implicit by design
  constexpr std::string_view view() const { return {text, N - 1}; }
};

/// A constant value list written in place in a row: choices<"Yes", "No">.
template <TextLiteral... Texts>
inline constexpr std::array<std::string_view, sizeof...(Texts)> choices{Texts.view()...};

/// One property of a layer's table. "reference" names the member of the
/// layer's catalogue record that keeps the class (null when no code reads
/// the property directly). Integer defaults are written as numbers; an
/// IntegerHex default is printed in hexadecimal when registered. Rows are
/// constant: the classes keep views of their texts and value lists.
template <typename References>
struct CatalogueRow {
  std::string_view name;
  PropertyType type;
  PropertySection section;
  std::string_view displayName;
  std::string_view defaultValue;
  uint32_t steps;  ///< build-step mask (kStepC, ...)
  int32_t order;
  const PropertyClass* References::*reference;
  std::string_view description;
  TextList values = {};
  uint32_t flags = 0;
  uint32_t minimum = 0;
  uint32_t maximum = 0;
  std::string_view units = {};
};

/// One description of a macro that the build defines, named by its
/// reference as the catalogue shows it ("$(InputName)").
struct MacroDescriptionRow {
  std::string_view reference;
  std::string_view description;
};

template <typename References>
void ProjectSystem::registerTable(References& layer, std::span<const CatalogueRow<References>> rows) {
  std::vector<PropertyClass> block;
  block.reserve(rows.size());
  for (const CatalogueRow<References>& row : rows) {
    std::string_view defaultValue = row.defaultValue;
    if (row.type == PropertyType::IntegerHex) {
      uint32_t value = 0;
      std::from_chars(row.defaultValue.data(), row.defaultValue.data() + row.defaultValue.size(), value);
      defaultValue = catalogue_.keep(PropertyClass::integerDefault(row.type, value, row.maximum));
    }
    block.emplace_back(PropertyDefinition{.name = row.name,
                                          .type = row.type,
                                          .defaultValue = defaultValue,
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
                                          .perConfiguration = (row.flags & kCommonOnly) == 0,
                                          .sectionIsNormal = true});
  }
  const std::span<PropertyClass> added = catalogue_.add(std::move(block));
  layer.properties.reserve(layer.properties.size() + added.size());
  for (size_t i = 0; i < added.size(); ++i) {
    layer.properties.push_back(&added[i]);
    buildSteps_.add(added[i], rows[i].steps);
    if (rows[i].reference != nullptr) layer.*rows[i].reference = &added[i];
  }
}

}  // namespace tidewater
