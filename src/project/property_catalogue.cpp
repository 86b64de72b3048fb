#include "project/property_catalogue.h"

#include <algorithm>
#include <cstring>

namespace tidewater {

namespace {

// Enough for every table the project-system layers register, so that the
// block lists, the definitions and the name table never grow at start-up.
constexpr size_t kExpectedBlocks = 32;
constexpr size_t kExpectedDefinitions = 512;

// Eight bytes at a time: names are a few dozen characters long, many of
// them sharing long prefixes, so every byte takes part.
uint32_t hashOf(std::string_view name) {
  uint64_t hash = 0x9e3779b97f4a7c15u ^ name.size();
  size_t at = 0;
  for (; at + 8 <= name.size(); at += 8) {
    uint64_t word = 0;
    std::memcpy(&word, name.data() + at, 8);
    hash = (hash ^ word) * 0xff51afd7ed558ccdu;
  }
  uint64_t tail = 0;
  std::memcpy(&tail, name.data() + at, name.size() - at);
  hash = (hash ^ tail) * 0xc4ceb9fe1a85ec53u;
  return static_cast<uint32_t>(hash ^ (hash >> 32));
}

}  // namespace

PropertyCatalogue::PropertyCatalogue() : table_(2 * kExpectedDefinitions, kNone) {
  propertyBlocks_.reserve(kExpectedBlocks);
  macroBlocks_.reserve(kExpectedBlocks);
  definitions_.reserve(kExpectedDefinitions);
}

std::span<PropertyClass> PropertyCatalogue::add(std::vector<PropertyClass> block) {
  // Moving a vector keeps its elements where they are.
  std::vector<PropertyClass>& added = propertyBlocks_.emplace_back(std::move(block));
  for (PropertyClass& property : added) index(property);
  return added;
}

std::span<MacroPropertyClass> PropertyCatalogue::add(std::vector<MacroPropertyClass> block) {
  std::vector<MacroPropertyClass>& added = macroBlocks_.emplace_back(std::move(block));
  for (MacroPropertyClass& property : added) index(property);
  return added;
}

std::string_view PropertyCatalogue::keep(std::string text) { return texts_.emplace_back(std::move(text)); }

TextList PropertyCatalogue::keep(std::vector<std::string_view> list) { return lists_.emplace_back(std::move(list)); }

size_t PropertyCatalogue::slotOf(std::string_view name) const {
  const size_t mask = table_.size() - 1;
  for (size_t at = hashOf(name) & mask;; at = (at + 1) & mask) {
    const uint32_t slot = table_[at];
    if (slot == kNone || definitions_[slot].property->name() == name) return at;
  }
}

void PropertyCatalogue::growTable() {
  table_.assign(table_.size() * 2, kNone);
  // In registration order, so that a later definition takes its name's slot.
  for (uint32_t at = 0; at < definitions_.size(); ++at) table_[slotOf(definitions_[at].property->name())] = at;
}

void PropertyCatalogue::index(PropertyClass& property) {
  if (2 * (definitions_.size() + 1) > table_.size()) growTable();
  const size_t slot = slotOf(property.name());
  definitions_.push_back({&property, table_[slot]});
  table_[slot] = static_cast<uint32_t>(definitions_.size() - 1);
}

const PropertyClass* PropertyCatalogue::find(std::string_view name) const {
  const uint32_t at = latest(name);
  return at == kNone ? nullptr : definitions_[at].property;
}

PropertyClass* PropertyCatalogue::find(std::string_view name) {
  const uint32_t at = latest(name);
  return at == kNone ? nullptr : definitions_[at].property;
}

std::vector<const PropertyClass*> PropertyCatalogue::definitions(std::string_view name) const {
  std::vector<const PropertyClass*> found;
  for (uint32_t at = latest(name); at != kNone; at = definitions_[at].earlier) {
    found.push_back(definitions_[at].property);
  }
  std::reverse(found.begin(), found.end());
  return found;
}

}  // namespace tidewater
