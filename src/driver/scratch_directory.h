#pragma once

#include <string>

namespace tidewater {

/// A private directory for the intermediate files of a run whose output has
/// no directory to hold them beside it: a device such as /dev/null. The
/// directory and the regular files in it are removed by remove() or at the
/// object's end.
class ScratchDirectory {
 public:
  ScratchDirectory() = default;
  ~ScratchDirectory() { remove(); }
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  /// Makes the directory below $TMPDIR (or /tmp); false when it cannot.
  bool create();
  void remove();
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace tidewater
