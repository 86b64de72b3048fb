#include "project/build_step_sets.h"

namespace tidewater {

void BuildStepSets::add(const PropertyClass& property, uint32_t steps) {
  if (steps == 0) return;
  entries_.emplace_back(&property, steps);
  sets_.clear();
}

const std::set<const PropertyClass*>& BuildStepSets::of(BuildKind kind) const {
  const auto found = sets_.find(kind);
  if (found != sets_.end()) return found->second;
  std::set<const PropertyClass*>& set = sets_[kind];
  const uint32_t bit = stepBit(kind);
  for (const auto& entry : entries_) {
    if ((entry.second & bit) != 0) set.insert(entry.first);
  }
  return set;
}

bool BuildStepSets::contains(BuildKind kind, const PropertyClass& property) const {
  return of(kind).count(&property) != 0;
}

}  // namespace tidewater
