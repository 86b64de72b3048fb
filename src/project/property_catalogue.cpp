#include "project/property_catalogue.h"

namespace tidewater {

const PropertyClass* PropertyCatalogue::find(const std::string& name) const {
  const auto found = byName_.find(name);
  return found == byName_.end() ? nullptr : found->second;
}

PropertyClass* PropertyCatalogue::find(const std::string& name) {
  const auto found = byName_.find(name);
  return found == byName_.end() ? nullptr : found->second;
}

std::vector<const PropertyClass*> PropertyCatalogue::definitions(const std::string& name) const {
  std::vector<const PropertyClass*> found;
  for (const auto& owned : owned_) {
    if (owned->name() == name) found.push_back(owned.get());
  }
  return found;
}

}  // namespace tidewater
