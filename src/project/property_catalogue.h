#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "project/property_class.h"

namespace tidewater {

/// Every property definition of the project system, by name. A later
/// registration under a name already present takes the name, but the earlier
/// class stays alive: the layer that made it keeps using it directly.
class PropertyCatalogue {
 public:
  /// Registers a class and returns it, for the registering layer to keep.
  template <typename Class>
  Class& add(std::unique_ptr<Class> propertyClass) {
    Class& added = *propertyClass;
    byName_[added.name()] = &added;
    owned_.push_back(std::move(propertyClass));
    return added;
  }

  /// The class registered last under "name", or null.
  const PropertyClass* find(const std::string& name) const;
  PropertyClass* find(const std::string& name);

  /// Every class registered under "name", earliest first (a name can have
  /// more than one definition, all storing under the same attribute).
  std::vector<const PropertyClass*> definitions(const std::string& name) const;

  const std::map<std::string, PropertyClass*>& byName() const { return byName_; }

 private:
  std::vector<std::unique_ptr<PropertyClass>> owned_;
  std::map<std::string, PropertyClass*> byName_;
};

}  // namespace tidewater
