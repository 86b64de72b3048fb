#include "driver/scratch_directory.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "base/path.h"
#include "build/step_files.h"

namespace tidewater {

bool ScratchDirectory::create() {
  const char* temporary = std::getenv("TMPDIR");
  std::string pattern = joinPath(temporary != nullptr && *temporary != '\0' ? temporary : "/tmp", "cc-XXXXXX");
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (::mkdtemp(name.data()) == nullptr) return false;
  path_ = name.data();
  return true;
}

void ScratchDirectory::remove() {
  if (path_.empty()) return;
  if (DIR* directory = ::opendir(path_.c_str())) {
    while (const dirent* entry = ::readdir(directory)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") removeRegularFile(joinPath(path_, name));
    }
    ::closedir(directory);
  }
  ::rmdir(path_.c_str());
  path_.clear();
}

}  // namespace tidewater
