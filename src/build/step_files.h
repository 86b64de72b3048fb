#pragma once

#include <string>
#include <vector>

namespace tidewater {

class Builder;

/// A file a build step writes, with the words that name it in messages
/// ("object file of a.c"). The path is absolute.
struct StepFile {
  std::string path;
  std::string role;
};

/// Removes "path" only when it is a regular file: a device, a directory or
/// a symbolic link is never removed. False when it existed and is still
/// there.
bool removeRegularFile(const std::string& path);

/// The files of the running step. Until commit() they are partial: when the
/// step fails or is interrupted, the guard's end removes those that are
/// regular files, so that no stale or truncated output outlives the step
/// (the object a failed compile was to replace included). A builder that
/// runs no commands touches no file, so then nothing is removed.
class StepFilesGuard {
 public:
  StepFilesGuard(const Builder& builder, const std::vector<StepFile>& files);
  ~StepFilesGuard();
  StepFilesGuard(const StepFilesGuard&) = delete;
  StepFilesGuard& operator=(const StepFilesGuard&) = delete;

  /// The step succeeded: its files stay.
  void commit() { paths_.clear(); }

 private:
  std::vector<std::string> paths_;
};

}  // namespace tidewater
