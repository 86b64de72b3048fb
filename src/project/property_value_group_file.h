#pragma once

#include <chrono>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "project/property_class.h"
#include "xml_preprocessor/xml_preprocessor.h"

namespace tidewater {

class ProjectElement;
class ProjectSystem;

/// A property-group file read through the preprocessor: one Enumeration
/// property (a PropertyValueGroupClass) per "group" child of the root, in
/// file order. Each class points at its element in this document, so the
/// document must outlive every reference to its classes.
class PropertyValueGroupFile : public XMLPP2 {
 public:
  /// Directive errors are printed to "warnings" (standard error when null)
  /// as "warning: " lines, as memory maps print theirs.
  explicit PropertyValueGroupFile(const MacroTable& macros, std::ostream* warnings = nullptr);

  using XMLPP2::load;
  /// Reads "path" and builds the groups. False when the file cannot be
  /// read, is malformed or holds no element; errorText then names the file
  /// and the reason.
  bool load(const std::string& path) override;

  const std::vector<std::unique_ptr<PropertyValueGroupClass>>& groups() const { return groups_; }
  /// The group property of that name, or null.
  const PropertyValueGroupClass* group(std::string_view name) const;
  /// The file's last-modified time when it was read.
  std::chrono::system_clock::time_point fileTime() const { return fileTime_; }

  /// The children tagged "tag" of each group's selected entry for (node,
  /// configuration), in file order, that pass the "configuration" and
  /// "property"/"property_value" filters.
  std::vector<const XMLElement*> selectedItems(const ProjectSystem& system, const ProjectElement* node,
                                               const std::string& configuration, std::string_view tag) const;
  /// A property's value for (node, configuration): a catalogue property, else
  /// a group of this file; "" when neither knows the name.
  std::string lookUp(const ProjectSystem& system, const ProjectElement* node, const std::string& name,
                     const std::string& configuration) const;

 protected:
  void reportError(const std::string& message) override;

 private:
  std::ostream* warnings_;
  std::vector<std::unique_ptr<PropertyValueGroupClass>> groups_;
  std::chrono::system_clock::time_point fileTime_{};
};

}  // namespace tidewater
