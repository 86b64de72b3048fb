#include "project/property_class.h"

#include <array>

namespace tidewater {

namespace {

constexpr std::array<std::string_view, 16> kTypeNames = {
    "Boolean", "Integer",     "IntegerHex", "IntegerRange", "String", "FileName",
    "ProjFileName", "StringList", "DirPath", "DirPathList", "Enumeration", "Color",
    "Font",    "FixedPitchFont", "Custom", "JavaScript",
};

int hexDigitsFor(uint32_t maximum) {
  int digits = 1;
  for (uint64_t limit = 16; digits < 8 && maximum >= limit; limit *= 16) ++digits;
  return digits;
}

constexpr std::string_view kGroupSeparator = "~~";

}  // namespace

std::string_view propertyTypeName(int32_t code) {
  return code >= 0 && code < static_cast<int32_t>(kTypeNames.size()) ? kTypeNames[code] : "Unknown";
}

PropertyClass::PropertyClass(const PropertyDefinition& definition)
    : name_(definition.name),
      category_(definition.sectionIsNormal ? definition.category : normalisedCategory(definition.category)),
      displayName_(definition.displayName),
      description_(definition.description),
      units_(definition.units),
      defaultValue_(definition.defaultValue),
      group_(definition.sectionIsNormal ? definition.group : normalisedGroup(definition.group)),
      informational_(definition.informational),
      perConfiguration_(definition.perConfiguration),
      type_(definition.type),
      values_(definition.values),
      minimum_(definition.minimum),
      maximum_(definition.maximum),
      order_(definition.order) {
  if (type_ == PropertyType::Boolean && defaultValue_.empty()) defaultValue_ = "No";
}

std::string PropertyClass::integerDefault(PropertyType type, uint32_t value, uint32_t maximum) {
  if (type != PropertyType::IntegerHex) return std::to_string(value);
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string digits;
  for (uint32_t rest = value; rest != 0; rest /= 16) digits.insert(digits.begin(), kDigits[rest % 16]);
  const size_t width = static_cast<size_t>(hexDigitsFor(maximum));
  if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
  return "0x" + digits;
}

bool PropertyClass::valuesHaveGroups() const {
  return !values_.empty() && values_.front().find(kGroupSeparator) != std::string_view::npos;
}

std::vector<std::string> PropertyClass::values() const {
  const bool grouped = valuesHaveGroups();
  std::vector<std::string> values;
  values.reserve(values_.size());
  for (const std::string_view entry : values_) {
    values.emplace_back(grouped ? entry.substr(0, entry.find(kGroupSeparator)) : entry);
  }
  return values;
}

std::vector<std::string> PropertyClass::valueGroups() const {
  std::vector<std::string> groups;
  if (!valuesHaveGroups()) return groups;
  groups.reserve(values_.size());
  for (const std::string_view entry : values_) {
    const auto separator = entry.find(kGroupSeparator);
    groups.emplace_back(separator == std::string_view::npos ? std::string_view()
                                                            : entry.substr(separator + kGroupSeparator.size()));
  }
  return groups;
}

std::vector<std::string> PropertyClass::legalValues() const {
  if (type_ == PropertyType::Boolean && values_.empty()) return {"Yes", "No"};
  return values();
}

void PropertyClass::setCategory(std::string_view category) { category_ = normalisedCategory(category); }

void PropertyClass::setGroup(std::string_view group) { group_ = normalisedGroup(group); }

MacroPropertyClass::MacroPropertyClass(std::string_view reference, std::string_view description,
                                       std::string_view category)
    : PropertyClass(PropertyDefinition{.name = reference,
                                       .type = PropertyType::String,
                                       .group = "Properties",
                                       .category = category,
                                       .displayName = reference,
                                       .description = description}) {}

namespace {

// The views a group class is made from, into the texts its store keeps.
PropertyDefinition viewsOf(const OwnedPropertyTexts& texts, std::vector<std::string_view>& valueViews) {
  valueViews.assign(texts.values.begin(), texts.values.end());
  return {.name = texts.name,
          .type = PropertyType::Enumeration,
          .defaultValue = texts.defaultValue,
          .group = texts.group,
          .category = texts.category,
          .displayName = texts.displayName,
          .description = texts.description,
          .values = valueViews};
}

}  // namespace

PropertyValueGroupClass::PropertyValueGroupClass(OwnedPropertyTexts texts, const XMLElement& element)
    : OwnedPropertyTextStore{std::move(texts), {}},
      PropertyClass(viewsOf(ownedTexts, ownedValueViews)),
      element_(&element) {}

}  // namespace tidewater
