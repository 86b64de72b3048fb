#include "project/build_step_sets.h"

namespace tidewater {

void BuildStepSets::add(const PropertyClass& property, uint32_t steps) {
  for (int32_t kind = 0; kind < 32; ++kind) {
    if ((steps & (1u << kind)) != 0) sets_[static_cast<BuildKind>(kind)].insert(&property);
  }
}

const std::set<const PropertyClass*>& BuildStepSets::of(BuildKind kind) const {
  static const std::set<const PropertyClass*> kNone;
  const auto found = sets_.find(kind);
  return found == sets_.end() ? kNone : found->second;
}

bool BuildStepSets::contains(BuildKind kind, const PropertyClass& property) const {
  return of(kind).count(&property) != 0;
}

}  // namespace tidewater
