#include "project/property_class.h"

#include <array>

namespace tidewater {

namespace {

constexpr std::array<std::string_view, 16> kTypeNames = {
    "Boolean", "Integer",     "IntegerHex", "IntegerRange", "String", "FileName",
    "ProjFileName", "StringList", "DirPath", "DirPathList", "Enumeration", "Color",
    "Font",    "FixedPitchFont", "Custom", "JavaScript",
};

// "Build Options" and "Debugger Settings" are shown as "Build" and "Debugger".
std::string normaliseCategory(std::string category) {
  for (const std::string_view suffix : {" Options", " Settings"}) {
    if (const auto at = category.find(suffix); at != std::string::npos) {
      category.erase(at);
      break;
    }
  }
  return category;
}

std::string normaliseGroup(std::string group) {
  if (group == "General" || group == "C/C++" || group == "Linker") return "Code";
  if (group == "Debugging") return "Debug";
  return group;
}

int hexDigitsFor(uint32_t maximum) {
  int digits = 1;
  for (uint64_t limit = 16; digits < 8 && maximum >= limit; limit *= 16) ++digits;
  return digits;
}

}  // namespace

std::string_view propertyTypeName(int32_t code) {
  return code >= 0 && code < static_cast<int32_t>(kTypeNames.size()) ? kTypeNames[code] : "Unknown";
}

PropertyClass::PropertyClass(PropertyDefinition definition)
    : name_(std::move(definition.name)),
      category_(normaliseCategory(std::move(definition.category))),
      displayName_(std::move(definition.displayName)),
      description_(std::move(definition.description)),
      units_(std::move(definition.units)),
      defaultValue_(std::move(definition.defaultValue)),
      group_(normaliseGroup(std::move(definition.group))),
      informational_(definition.informational),
      perConfiguration_(definition.perConfiguration),
      type_(definition.type),
      minimum_(definition.minimum),
      maximum_(definition.maximum),
      order_(definition.order) {
  if (type_ == PropertyType::Boolean && defaultValue_.empty()) defaultValue_ = "No";
  setValues(std::move(definition.values));
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

std::string PropertyClass::booleanDefault(bool value) { return value ? "Yes" : "No"; }

std::vector<std::string> PropertyClass::legalValues() const {
  if (type_ == PropertyType::Boolean && values_.empty()) return {"Yes", "No"};
  return values_;
}

void PropertyClass::setCategory(std::string category) {
  category_ = normaliseCategory(std::move(category));
}

void PropertyClass::setGroup(std::string group) { group_ = normaliseGroup(std::move(group)); }

void PropertyClass::setValues(std::vector<std::string> values) {
  valueGroups_.clear();
  if (!values.empty() && values.front().find("~~") != std::string::npos) {
    for (auto& value : values) {
      const auto separator = value.find("~~");
      if (separator == std::string::npos) {
        valueGroups_.emplace_back();
      } else {
        valueGroups_.push_back(value.substr(separator + 2));
        value.erase(separator);
      }
    }
  }
  values_ = std::move(values);
}

MacroPropertyClass::MacroPropertyClass(const std::string& macroName, std::string description,
                                       std::string category)
    : PropertyClass(PropertyDefinition{.name = "$(" + macroName + ")",
                                       .type = PropertyType::String,
                                       .group = "Properties",
                                       .category = std::move(category),
                                       .displayName = "$(" + macroName + ")",
                                       .description = std::move(description)}),
      macroName_(macroName) {}

}  // namespace tidewater
