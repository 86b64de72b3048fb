#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace tidewater {

class ProjectElement;
class ProjectSystem;
class PropertyClass;

/// One property bound to where its value lives, passed around as a unit
/// (property lists, option writers). Copies the class's informational flag.
class PropertyValue {
 public:
  explicit PropertyValue(const PropertyClass* propertyClass);
  virtual ~PropertyValue() = default;

  const PropertyClass* propertyClass() const { return class_; }
  bool isInformational() const { return informational_; }
  virtual bool isDefault() const = 0;
  std::string description() const;
  virtual void setValue(const std::string& value) = 0;
  virtual std::string value() const = 0;

  bool ownedByList = false;
  bool enabled = true;

 private:
  const PropertyClass* class_;
  bool informational_;
};

/// A value that holds its own text.
class SimplePropertyValue : public PropertyValue {
 public:
  SimplePropertyValue(const PropertyClass* propertyClass, std::string value);
  bool isDefault() const override;
  void setValue(const std::string& value) override { value_ = value; }
  std::string value() const override { return value_; }

 private:
  std::string value_;
};

/// Settings of a dynamic folder, kept with the folder rather than in a
/// configuration.
class DynamicFolderPropertyValue : public SimplePropertyValue {
 public:
  using SimplePropertyValue::SimplePropertyValue;
};

/// A property of a node in a configuration. A property that is not stored
/// per configuration is bound to "Common" whatever was asked. Reading a
/// StringList gives this level's own items, not the accumulated list.
class ProjectPropertyValue : public PropertyValue {
 public:
  ProjectPropertyValue(ProjectSystem& system, ProjectElement& node, const PropertyClass& propertyClass,
                       const std::string& configuration);

  bool isDefault() const override;
  void setValue(const std::string& value) override;
  std::string value() const override;

  ProjectElement& node() const { return node_; }
  const std::string& configuration() const { return configuration_; }

 protected:
  /// Runs after a write, for values that other state depends on.
  virtual void afterWrite() {}
  ProjectSystem& system() const { return system_; }

 private:
  ProjectSystem& system_;
  ProjectElement& node_;
  std::string configuration_;
};

/// `project_directory`: a write makes the paths below the node stale.
class ProjectDirectoryProjectPropertyValue : public ProjectPropertyValue {
 public:
  using ProjectPropertyValue::ProjectPropertyValue;

 protected:
  void afterWrite() override;
};

/// `macros`: a write makes the paths below the node stale.
class ProjectMacrosProjectPropertyValue : public ProjectPropertyValue {
 public:
  using ProjectPropertyValue::ProjectPropertyValue;

 protected:
  void afterWrite() override;
};

/// `public_configurations`: nothing else depends on it here.
class PublicConfigurationsProjectPropertyValue : public ProjectPropertyValue {
 public:
  using ProjectPropertyValue::ProjectPropertyValue;
};

/// `private_configurations`: nothing else depends on it here.
class PrivateConfigurationsProjectPropertyValue : public ProjectPropertyValue {
 public:
  using ProjectPropertyValue::ProjectPropertyValue;
};

/// `inherited_configurations`: a write rebuilds the node's inheritance map.
class InheritedConfigurationsProjectPropertyValue : public ProjectPropertyValue {
 public:
  using ProjectPropertyValue::ProjectPropertyValue;

 protected:
  void afterWrite() override;
};

/// A property whose values come from a property-group file.
class PropertyValueGroupValue : public ProjectPropertyValue {
 public:
  using ProjectPropertyValue::ProjectPropertyValue;
};

/// Values ordered by their property's display name. A value handed over as
/// a unique_ptr is owned by the list (and marked ownedByList); a plain
/// pointer is only referred to. appendUnique keeps one value per class.
class PropertyValueList {
 public:
  explicit PropertyValueList(std::ostream& warnings) : warnings_(&warnings) {}

  /// Inserts in display-name order (after values with an equal name).
  void append(PropertyValue* value);
  void append(std::unique_ptr<PropertyValue> value);
  /// Appends unless a value of the same class is present; refuses (with a
  /// warning) a null value or one without a class. Returns whether added;
  /// a refused owned value is destroyed.
  bool appendUnique(PropertyValue* value);
  bool appendUnique(std::unique_ptr<PropertyValue> value);
  /// The value of that class, or null.
  PropertyValue* find(const PropertyClass* propertyClass) const;

  const std::vector<PropertyValue*>& values() const { return values_; }

 private:
  bool acceptable(const PropertyValue* value) const;

  std::vector<PropertyValue*> values_;
  std::vector<std::unique_ptr<PropertyValue>> owned_;
  std::ostream* warnings_;
};

}  // namespace tidewater
