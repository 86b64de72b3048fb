#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
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

/// How a category is shown: cut at its first " Options", else at its first
/// " Settings" ("Build Options" is "Build"). A cut keeps it a view of the
/// text given.
constexpr std::string_view normalisedCategory(std::string_view category) {
  for (const std::string_view suffix : {std::string_view(" Options"), std::string_view(" Settings")}) {
    if (const auto at = category.find(suffix); at != std::string_view::npos) return category.substr(0, at);
  }
  return category;
}

/// How a group is shown: "General", "C/C++" and "Linker" are "Code",
/// "Debugging" is "Debug".
constexpr std::string_view normalisedGroup(std::string_view group) {
  if (group == "General" || group == "C/C++" || group == "Linker") return "Code";
  if (group == "Debugging") return "Debug";
  return group;
}

/// A list of texts held elsewhere: a constant table, or storage kept beside
/// the class that views it.
using TextList = std::span<const std::string_view>;

/// What a property is made from. Every text is a view that the class keeps
/// as it is, so the texts must outlive the class: the catalogue's constant
/// tables do, and classes made at run time keep theirs beside them.
struct PropertyDefinition {
  std::string_view name;
  PropertyType type = PropertyType::String;
  std::string_view defaultValue;
  std::string_view group;
  std::string_view category;
  std::string_view displayName;
  std::string_view description;
  TextList values;  ///< "value" or "value~~group" entries
  std::string_view units;
  uint32_t minimum = 0;
  uint32_t maximum = 0;
  int32_t order = 0;
  bool informational = false;
  bool perConfiguration = true;
  bool sectionIsNormal = false;  ///< group and category are normalised already (constant tables are)
};

/// One property definition of the catalogue: name, type, legal values,
/// default and display data, all views of text it does not own. Category
/// and group are normalised when set; a values list whose first entry holds
/// "~~" is read as "value~~group" entries. Immutable after registration
/// except for the setters, which layers use to override a lower layer.
class PropertyClass {
 public:
  explicit PropertyClass(const PropertyDefinition& definition);
  virtual ~PropertyClass() = default;
  PropertyClass(const PropertyClass&) = default;
  PropertyClass& operator=(const PropertyClass&) = delete;

  /// The text of an integer default: decimal, or for IntegerHex "0x" and as
  /// many lower-case digits as the maximum needs.
  static std::string integerDefault(PropertyType type, uint32_t value, uint32_t maximum);

  std::string_view description() const { return description_; }
  /// The values an option may take: "Yes", "No" for a Boolean without a
  /// list of its own, else the values list.
  std::vector<std::string> legalValues() const;

  std::string_view name() const { return name_; }
  std::string_view category() const { return category_; }
  std::string_view group() const { return group_; }
  std::string_view displayName() const { return displayName_; }
  std::string_view units() const { return units_; }
  std::string_view defaultValue() const { return defaultValue_; }
  PropertyType type() const { return type_; }
  /// The values, each cut before "~~" when the list has groups.
  std::vector<std::string> values() const;
  /// For each value the group after its "~~"; empty when the list has none.
  std::vector<std::string> valueGroups() const;
  uint32_t minimum() const { return minimum_; }
  uint32_t maximum() const { return maximum_; }
  int32_t order() const { return order_; }
  bool isInformational() const { return informational_; }
  bool isPerConfiguration() const { return perConfiguration_; }

  void setCategory(std::string_view category);
  void setGroup(std::string_view group);
  void setDefaultValue(std::string_view value) { defaultValue_ = value; }
  void setValues(TextList values) { values_ = values; }
  void setDescription(std::string_view description) { description_ = description; }

 private:
  bool valuesHaveGroups() const;

  std::string_view name_;
  std::string_view category_;
  std::string_view displayName_;
  std::string_view description_;
  std::string_view units_;
  std::string_view defaultValue_;
  std::string_view group_;
  bool informational_;
  bool perConfiguration_;
  PropertyType type_;
  TextList values_;
  uint32_t minimum_;
  uint32_t maximum_;
  int32_t order_;
};

/// The display entry of a macro: named by its reference "$(<macro>)", a
/// String in group "Properties", with the macro's description.
class MacroPropertyClass : public PropertyClass {
 public:
  /// "reference" is the whole "$(<macro>)"; the tables write it so, which
  /// keeps the class a view of constant text.
  MacroPropertyClass(std::string_view reference, std::string_view description, std::string_view category);
  std::string_view macroName() const { return name().substr(2, name().size() - 3); }
};

/// The texts of a class made at run time, owned by the class beside it.
struct OwnedPropertyTexts {
  std::string name;
  std::string defaultValue;
  std::string group;
  std::string category;
  std::string displayName;
  std::string description;
  std::vector<std::string> values;
};

/// Keeps the texts of a class made at run time; a base of such a class, so
/// that the texts exist before the class's views of them are made.
struct OwnedPropertyTextStore {
  OwnedPropertyTexts ownedTexts;
  std::vector<std::string_view> ownedValueViews;
};

/// A property whose legal values come from a property-group file. It owns
/// its texts, read from the file, and keeps its "group" element (owned by
/// the file's document) so that the selected entry can be found again. It
/// never moves: its views point into its own texts.
class PropertyValueGroupClass : private OwnedPropertyTextStore, public PropertyClass {
 public:
  PropertyValueGroupClass(OwnedPropertyTexts texts, const XMLElement& element);
  PropertyValueGroupClass(const PropertyValueGroupClass&) = delete;
  const XMLElement& element() const { return *element_; }

 private:
  const XMLElement* element_;
};

}  // namespace tidewater
