#include "build/up_to_date_check.h"

#include <sys/stat.h>

#include <chrono>
#include <ctime>
#include <optional>

#include "base/path.h"
#include "build/builder.h"
#include "project/project_system.h"
#include "project/property_lookup.h"

namespace tidewater {
namespace {

struct FileTime {
  std::time_t seconds;
  std::chrono::system_clock::time_point precise;
};

std::optional<FileTime> modificationTime(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::nullopt;
  const auto precise = std::chrono::system_clock::from_time_t(info.st_mtim.tv_sec) +
                       std::chrono::duration_cast<std::chrono::system_clock::duration>(
                           std::chrono::nanoseconds(info.st_mtim.tv_nsec));
  return FileTime{info.st_mtim.tv_sec, precise};
}

bool isAncestorOrSelf(const ProjectElement* candidate, const ProjectElement& node) {
  for (const ProjectElement* at = &node; at != nullptr; at = at->parentElement()) {
    if (at == candidate) return true;
  }
  return false;
}

// The first property write after "since" that puts this step out of date.
const PropertyClass* changedProperty(ProjectSystem& system, ProjectElement& node, const std::string& configuration,
                                     BuildKind kind, std::chrono::system_clock::time_point since) {
  const std::vector<std::string> inherited = inheritedConfigurationsFor(node, configuration);
  const auto& properties = system.buildStepProperties(kind);
  for (const ChangeRecord& record : system.changeLog().records()) {
    if (record.time <= since || record.property == nullptr) continue;
    const bool inSet = properties.count(record.property) != 0 ||
                       dynamic_cast<const PropertyValueGroupClass*>(record.property) != nullptr;
    if (!inSet || !isAncestorOrSelf(record.node, node)) continue;
    bool configurationMatches = record.configuration == configuration || record.configuration == "Common";
    for (const std::string& name : inherited) configurationMatches = configurationMatches || record.configuration == name;
    if (configurationMatches) return record.property;
  }
  return nullptr;
}

}  // namespace

std::string formatFileTime(long long secondsSinceEpoch) {
  const std::time_t time = static_cast<std::time_t>(secondsSinceEpoch);
  std::tm local{};
  localtime_r(&time, &local);
  char text[32];
  std::strftime(text, sizeof text, "%d.%m.%Y %H:%M:%S", &local);
  return text;
}

bool isUpToDate(ProjectSystem& system, ProjectElement& node, const std::string& configuration,
                const std::string& projectDirectory, const UpToDateQuery& query, Builder& builder) {
  const auto detail = [&](const std::string& text) {
    if (!query.quiet) builder.detailMessage(text);
  };
  const std::string output = absolutePath(query.output, projectDirectory);
  const std::optional<FileTime> outputTime = modificationTime(output);
  if (!outputTime) {
    detail(output + " does not exist.");
    return false;
  }
  if (query.forced) return false;

  const std::time_t now = std::time(nullptr);
  for (const std::string& name : query.inputs) {
    const std::string input = absolutePath(name, projectDirectory);
    const std::optional<FileTime> inputTime = modificationTime(input);
    if (!inputTime) {
      detail(input + " does not exist.");
      return false;
    }
    if (inputTime->seconds > now) detail("clock skew detected on " + input + ".");
    if (inputTime->seconds > outputTime->seconds) {
      detail(input + " (" + formatFileTime(inputTime->seconds) + ") is newer than " + output + " (" +
             formatFileTime(outputTime->seconds) + ").");
      return false;
    }
  }

  if (const PropertyClass* changed = changedProperty(system, node, configuration, query.kind, outputTime->precise)) {
    if (!query.quiet) builder.informationMessage(std::string(changed->displayName()) + " property has changed.");
    return false;
  }

  for (const std::string& name : query.optionsFiles) {
    const std::string path = absolutePath(name, projectDirectory);
    const std::optional<FileTime> time = modificationTime(path);
    if (time && time->seconds > outputTime->seconds) {
      detail(path + " has been modified.");
      return false;
    }
  }

  for (const std::string& name : query.requiredFiles) {
    const std::string path = absolutePath(name, projectDirectory);
    if (!modificationTime(path)) {
      detail(path + " does not exist.");
      return false;
    }
  }

  if (!query.quiet) {
    builder.upToDateMessage("'" + output + (query.kind == BuildKind::Stage ? "' is up to date." : "' is up to date"));
  }
  return true;
}

}  // namespace tidewater
