#pragma once

#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "project/property_class.h"

namespace tidewater {

/// Every property definition of the project system, by name. Classes come
/// in blocks (one per registered table), so a class never moves and costs
/// no allocation of its own. A later registration under a name already
/// present takes the name, but the earlier class stays alive: the layer
/// that made it keeps using it directly.
class PropertyCatalogue {
 public:
  PropertyCatalogue();
  PropertyCatalogue(const PropertyCatalogue&) = delete;
  PropertyCatalogue& operator=(const PropertyCatalogue&) = delete;

  /// Registers a block of classes, in order, and returns them for the
  /// registering layer to keep.
  std::span<PropertyClass> add(std::vector<PropertyClass> block);
  std::span<MacroPropertyClass> add(std::vector<MacroPropertyClass> block);

  /// Keeps a text or a value list made at run time for as long as the
  /// catalogue lives, for classes to view.
  std::string_view keep(std::string text);
  TextList keep(std::vector<std::string_view> list);

  /// The class registered last under "name", or null.
  const PropertyClass* find(std::string_view name) const;
  PropertyClass* find(std::string_view name);

  /// Every class registered under "name", earliest first (a name can have
  /// more than one definition, all storing under the same attribute).
  std::vector<const PropertyClass*> definitions(std::string_view name) const;

 private:
  static constexpr uint32_t kNone = UINT32_MAX;

  /// One registration; "earlier" links the definitions of one name.
  struct Definition {
    PropertyClass* property;
    uint32_t earlier;
  };

  void index(PropertyClass& property);
  /// The position of "name" in the open-addressed table: the slot holding
  /// its latest definition, or the empty slot where it would go.
  size_t slotOf(std::string_view name) const;
  /// The latest definition of "name", or kNone.
  uint32_t latest(std::string_view name) const { return table_[slotOf(name)]; }
  void growTable();

  std::vector<std::vector<PropertyClass>> propertyBlocks_;
  std::vector<std::vector<MacroPropertyClass>> macroBlocks_;
  std::deque<std::string> texts_;
  std::deque<std::vector<std::string_view>> lists_;
  std::vector<Definition> definitions_;
  std::vector<uint32_t> table_;  ///< indices into definitions_; a power of two, at most half full
};

}  // namespace tidewater
