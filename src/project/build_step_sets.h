#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "project/build_kind.h"

namespace tidewater {

class PropertyClass;

/// For each build step, the properties whose change puts that step's outputs
/// out of date. A property may be in several sets or in none; classes are
/// held by identity, so two definitions of one name are two members. A set
/// is formed when first asked for: a forced build never asks.
class BuildStepSets {
 public:
  /// Enters the property in the set of every kind whose bit is in "steps".
  void add(const PropertyClass& property, uint32_t steps);

  /// The set of a step; empty for a step that no property joined.
  const std::set<const PropertyClass*>& of(BuildKind kind) const;
  bool contains(BuildKind kind, const PropertyClass& property) const;

 private:
  /// Each property with its step mask, in registration order.
  std::vector<std::pair<const PropertyClass*, uint32_t>> entries_;
  /// The sets formed so far; cleared when a property joins.
  mutable std::map<BuildKind, std::set<const PropertyClass*>> sets_;
};

}  // namespace tidewater
