#include "build/output_conflicts.h"

#include <sys/stat.h>

#include <map>
#include <optional>
#include <utility>

#include "base/path.h"

namespace tidewater {
namespace {

using FileId = std::pair<dev_t, ino_t>;

std::optional<FileId> fileId(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::nullopt;
  return FileId{info.st_dev, info.st_ino};
}

/// The names seen so far, by clean path and by file identity.
class FileIndex {
 public:
  /// The index given with the first name of the same file, or -1.
  long lookUp(const std::string& path) const {
    const std::string clean = cleanPath(path);
    if (auto found = byPath_.find(clean); found != byPath_.end()) return found->second;
    const std::optional<FileId> id = fileId(clean);
    if (!id) return -1;
    const auto found = byId_.find(*id);
    return found != byId_.end() ? found->second : -1;
  }

  /// Registers a name unless its file is known already.
  void add(const std::string& path, long index) {
    const std::string clean = cleanPath(path);
    byPath_.emplace(clean, index);
    if (const std::optional<FileId> id = fileId(clean)) byId_.emplace(*id, index);
  }

 private:
  std::map<std::string, long> byPath_;
  std::map<FileId, long> byId_;
};

std::string shown(const std::string& path, const std::string& directory) {
  const std::string relative = relativePath(directory, path);
  return relative.starts_with("..") ? cleanPath(path) : relative;
}

}  // namespace

std::vector<std::string> outputConflicts(const BuildPlan& plan, const std::string& directory) {
  std::vector<std::string> messages;
  FileIndex inputs;
  for (size_t i = 0; i < plan.inputs.size(); ++i) inputs.add(plan.inputs[i], static_cast<long>(i));
  FileIndex outputs;
  for (size_t i = 0; i < plan.outputs.size(); ++i) {
    const StepFile& output = plan.outputs[i];
    const std::string name = "'" + shown(output.path, directory) + "'";
    if (const long input = inputs.lookUp(output.path); input >= 0) {
      messages.push_back("the " + output.role + ", " + name + ", would overwrite the input file '" +
                         shown(plan.inputs[static_cast<size_t>(input)], directory) + "'");
    } else if (const long earlier = outputs.lookUp(output.path); earlier >= 0) {
      messages.push_back(name + " would be written twice: as the " + plan.outputs[static_cast<size_t>(earlier)].role +
                         " and as the " + output.role);
    }
    outputs.add(output.path, static_cast<long>(i));
  }
  return messages;
}

}  // namespace tidewater
