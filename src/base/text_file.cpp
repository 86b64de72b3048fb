#include "base/text_file.h"

#include <sys/stat.h>

#include <cerrno>

namespace tidewater {

UniqueFile openTextFileForReading(const std::string& name, int& reason) {
  UniqueFile file(std::fopen(name.c_str(), "r"));
  if (!file) {
    reason = errno;
    return file;
  }
  struct stat status {};
  if (fstat(fileno(file.get()), &status) == 0 && S_ISDIR(status.st_mode)) {
    reason = EISDIR;
    file.reset();
    return file;
  }
  reason = 0;
  return file;
}

}  // namespace tidewater
