#pragma once

#include <cstdio>
#include <memory>
#include <string>

namespace tidewater {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

/// Opens a file for reading in text mode. A directory is refused with EISDIR
/// (fopen accepts one on Linux and only the first read fails). On failure
/// the result is null and "reason" holds the error number.
UniqueFile openTextFileForReading(const std::string& name, int& reason);

}  // namespace tidewater
