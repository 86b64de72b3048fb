#pragma once

#include <chrono>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tidewater {

class ProjectElement;
class PropertyClass;

/// One property write: enough to tell later which outputs it made stale.
struct ChangeRecord {
  ProjectElement* node = nullptr;
  const PropertyClass* property = nullptr;
  std::string configuration;
  std::chrono::system_clock::time_point time;
  std::optional<std::string> previousValue;  ///< the node's own value before, if any
  bool nodeWasModified = false;
  bool configurationWasModified = false;
};

/// Every property write of the run, in order. Only grows.
class ChangeLog {
 public:
  void add(ChangeRecord record) { records_.push_back(std::move(record)); }
  const std::vector<ChangeRecord>& records() const { return records_; }
  size_t count() const { return records_.size(); }

  /// Whether a write later than "since" changed one of "properties" on
  /// "node" or an ancestor, in "configuration", "Common" or one of the
  /// configurations it inherits.
  bool hasChanged(const ProjectElement& node, const std::string& configuration,
                  const std::vector<std::string>& inheritedConfigurations,
                  const std::set<const PropertyClass*>& properties,
                  std::chrono::system_clock::time_point since) const;

 private:
  std::vector<ChangeRecord> records_;
};

}  // namespace tidewater
