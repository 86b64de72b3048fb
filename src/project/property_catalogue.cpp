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

}  // namespace tidewater
