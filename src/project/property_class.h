#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tidewater {

class XMLElement;

/// How a property's value is meant; every value is stored as text whatever
/// the type. Codes are fixed: they are the ones property files use.
enum class PropertyType : int32_t {
  Boolean = 0,
  Integer = 1,
  IntegerHex = 2,
  IntegerRange = 3,
  String = 4,
  FileName = 5,
  ProjFileName = 6,
  StringList = 7,  ///< ";"-separated items that accumulate over the lookup levels
  DirPath = 8,
  DirPathList = 9,
  Enumeration = 10,
  Color = 11,
  Font = 12,
  FixedPitchFont = 13,
  Custom = 14,
  JavaScript = 15,
  Command = 16,  ///< a command line, expanded before it runs; prints as "Unknown"
};

/// "Boolean", "Integer", ... for codes 0 to 15; "Unknown" for any other.
std::string_view propertyTypeName(int32_t code);

/// What a property is made from. Category and group are normalised when the
/// class is built; values given as "value~~group" are split.
struct PropertyDefinition {
  std::string name;
  PropertyType type = PropertyType::String;
  std::string defaultValue;
  std::string group;
  std::string category;
  std::string displayName;
  std::string description;
  std::vector<std::string> values;
  std::string units;
  uint32_t minimum = 0;
  uint32_t maximum = 0;
  int32_t order = 0;
  bool informational = false;
  bool perConfiguration = true;
};

/// One property definition of the catalogue: name, type, legal values,
/// default and display data. Immutable after registration except for the
/// normalised category and group setters.
class PropertyClass {
 public:
  explicit PropertyClass(PropertyDefinition definition);
  virtual ~PropertyClass() = default;

  /// The text of an integer default: decimal, or for IntegerHex "0x" and as
  /// many lower-case digits as the maximum needs.
  static std::string integerDefault(PropertyType type, uint32_t value, uint32_t maximum);
  /// "Yes" or "No".
  static std::string booleanDefault(bool value);

  const std::string& description() const { return description_; }
  /// The values an option may take: "Yes", "No" for a Boolean without a
  /// list of its own, else the values list.
  std::vector<std::string> legalValues() const;

  const std::string& name() const { return name_; }
  const std::string& category() const { return category_; }
  const std::string& group() const { return group_; }
  const std::string& displayName() const { return displayName_; }
  const std::string& units() const { return units_; }
  const std::string& defaultValue() const { return defaultValue_; }
  PropertyType type() const { return type_; }
  const std::vector<std::string>& values() const { return values_; }
  const std::vector<std::string>& valueGroups() const { return valueGroups_; }
  uint32_t minimum() const { return minimum_; }
  uint32_t maximum() const { return maximum_; }
  int32_t order() const { return order_; }
  bool isInformational() const { return informational_; }
  bool isPerConfiguration() const { return perConfiguration_; }

  void setCategory(std::string category);
  void setGroup(std::string group);
  void setDefaultValue(std::string value) { defaultValue_ = std::move(value); }
  void setValues(std::vector<std::string> values);
  void setDescription(std::string description) { description_ = std::move(description); }

 private:
  std::string name_;
  std::string category_;
  std::string displayName_;
  std::string description_;
  std::string units_;
  std::string defaultValue_;
  std::string group_;
  bool informational_;
  bool perConfiguration_;
  PropertyType type_;
  std::vector<std::string> values_;
  std::vector<std::string> valueGroups_;
  uint32_t minimum_;
  uint32_t maximum_;
  int32_t order_;
};

/// The display entry of a macro: named "$(<macro>)", a String in group
/// "Properties", with the macro's description.
class MacroPropertyClass : public PropertyClass {
 public:
  MacroPropertyClass(const std::string& macroName, std::string description, std::string category);
  const std::string& macroName() const { return macroName_; }

 private:
  std::string macroName_;
};

/// A property whose legal values come from a property-group file. It keeps
/// its "group" element (owned by the file's document) so that the selected
/// entry can be found again.
class PropertyValueGroupClass : public PropertyClass {
 public:
  PropertyValueGroupClass(PropertyDefinition definition, const XMLElement& element)
      : PropertyClass(std::move(definition)), element_(&element) {}
  const XMLElement& element() const { return *element_; }

 private:
  const XMLElement* element_;
};

}  // namespace tidewater
