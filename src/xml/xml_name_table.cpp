#include "xml/xml_name_table.h"

#include <array>
#include <functional>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace tidewater {

namespace {

struct NameTable {
  std::mutex mutex;
  // The keys view the strings they map to, whose addresses never change.
  std::unordered_map<std::string_view, std::unique_ptr<const std::string>> names;
};

NameTable& table() {
  // Never destroyed: elements that static destructors take apart still read their names.
  static NameTable* const instance = new NameTable;
  return *instance;
}

}  // namespace

const std::string& internName(std::string_view name) {
  // A parse asks for the same few tags over and over: a small per-thread
  // cache answers those without taking the lock.
  constexpr size_t kSlots = 64;
  thread_local std::array<const std::string*, kSlots> recent{};
  const size_t hash = std::hash<std::string_view>{}(name);
  const std::string*& slot = recent[hash % kSlots];
  if (slot && *slot == name) return *slot;

  NameTable& names = table();
  const std::lock_guard lock(names.mutex);
  auto found = names.names.find(name);
  if (found == names.names.end()) {
    auto stored = std::make_unique<const std::string>(name);
    const std::string_view key = *stored;
    found = names.names.emplace(key, std::move(stored)).first;
  }
  slot = found->second.get();
  return *slot;
}

}  // namespace tidewater
