#include "project/property_value.h"

#include <algorithm>

#include "project/project_element.h"
#include "project/project_system.h"
#include "project/property_class.h"

namespace tidewater {

namespace {

const std::string& boundConfiguration(const PropertyClass& propertyClass,
                                      const std::string& configuration) {
  static const std::string kCommon = "Common";
  return propertyClass.isPerConfiguration() ? configuration : kCommon;
}

}  // namespace

PropertyValue::PropertyValue(const PropertyClass* propertyClass)
    : class_(propertyClass), informational_(propertyClass != nullptr && propertyClass->isInformational()) {}

std::string PropertyValue::description() const {
  return class_ != nullptr ? std::string(class_->description()) : std::string();
}

SimplePropertyValue::SimplePropertyValue(const PropertyClass* propertyClass, std::string value)
    : PropertyValue(propertyClass), value_(std::move(value)) {}

bool SimplePropertyValue::isDefault() const {
  return propertyClass() == nullptr || value_ == propertyClass()->defaultValue();
}

ProjectPropertyValue::ProjectPropertyValue(ProjectSystem& system, ProjectElement& node,
                                           const PropertyClass& propertyClass,
                                           const std::string& configuration)
    : PropertyValue(&propertyClass),
      system_(system),
      node_(node),
      configuration_(boundConfiguration(propertyClass, configuration)) {}

bool ProjectPropertyValue::isDefault() const {
  return ownPropertyValue(node_, *propertyClass(), configuration_) == nullptr;
}

void ProjectPropertyValue::setValue(const std::string& value) {
  system_.write(node_, *propertyClass(), configuration_, value);
  afterWrite();
}

std::string ProjectPropertyValue::value() const {
  if (propertyClass()->type() == PropertyType::StringList) {
    const std::string* own = ownPropertyValue(node_, *propertyClass(), configuration_);
    return own != nullptr ? *own : std::string();
  }
  return system_.lookUp(&node_, *propertyClass(), configuration_);
}

// Paths below a node are cached per node; a change of what they are built
// from (project directory, macros) must drop those caches.
void ProjectDirectoryProjectPropertyValue::afterWrite() { node().invalidateResolvedPaths(); }

void ProjectMacrosProjectPropertyValue::afterWrite() { node().invalidateResolvedPaths(); }

void InheritedConfigurationsProjectPropertyValue::afterWrite() {
  node().rebuildInheritedConfigurations();
}

void PropertyValueList::append(PropertyValue* value) {
  const auto displayName = [](const PropertyValue* v) {
    return v != nullptr && v->propertyClass() != nullptr ? v->propertyClass()->displayName() : std::string_view();
  };
  const auto position = std::upper_bound(
      values_.begin(), values_.end(), value,
      [&](const PropertyValue* a, const PropertyValue* b) { return displayName(a) < displayName(b); });
  values_.insert(position, value);
}

void PropertyValueList::append(std::unique_ptr<PropertyValue> value) {
  value->ownedByList = true;
  append(value.get());
  owned_.push_back(std::move(value));
}

bool PropertyValueList::acceptable(const PropertyValue* value) const {
  if (value == nullptr || value->propertyClass() == nullptr) {
    *warnings_ << "Bad property value in PropertyValueList::appendUnique" << std::endl;
    return false;
  }
  return find(value->propertyClass()) == nullptr;
}

bool PropertyValueList::appendUnique(PropertyValue* value) {
  if (!acceptable(value)) return false;
  append(value);
  return true;
}

bool PropertyValueList::appendUnique(std::unique_ptr<PropertyValue> value) {
  if (!acceptable(value.get())) return false;
  append(std::move(value));
  return true;
}

PropertyValue* PropertyValueList::find(const PropertyClass* propertyClass) const {
  const auto found = std::find_if(values_.begin(), values_.end(), [&](const PropertyValue* v) {
    return v != nullptr && v->propertyClass() == propertyClass;
  });
  return found == values_.end() ? nullptr : *found;
}

}  // namespace tidewater
