#pragma once

#include <string>

namespace tidewater::test {

/// A fresh directory under $TMPDIR (or /tmp), removed with its content when
/// the object goes out of scope.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }

  /// Writes "content" to "relativeName" (creating directories on the way)
  /// and returns the file's full path.
  std::string write(const std::string& relativeName, const std::string& content) const;

 private:
  std::string path_;
};

}  // namespace tidewater::test
