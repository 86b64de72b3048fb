#pragma once

#include <cstdlib>
#include <string>

namespace tidewater::test {

/// Sets an environment variable for the children started while it lives.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const std::string& value) : name_(name) { setenv(name, value.c_str(), 1); }
  ~ScopedVariable() { unsetenv(name_); }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  const char* name_;
};

/// The installed tree the end-to-end tests drive.
std::string distDirectory();

/// The directory of checked-in test inputs.
std::string testDataDirectory();

/// The sample projects of the source tree.
std::string examplesDirectory();

/// A whole file's bytes; fails the calling test when it cannot be read.
std::string readFile(const std::string& path);

}  // namespace tidewater::test
