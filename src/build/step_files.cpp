#include "build/step_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "build/builder.h"

namespace tidewater {

bool removeRegularFile(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) return errno == ENOENT;
  if (!S_ISREG(info.st_mode)) return false;
  return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

StepFilesGuard::StepFilesGuard(const Builder& builder, const std::vector<StepFile>& files) {
  if (!builder.runsCommands()) return;
  paths_.reserve(files.size());
  for (const StepFile& file : files) paths_.push_back(file.path);
}

StepFilesGuard::~StepFilesGuard() {
  for (const std::string& path : paths_) removeRegularFile(path);
}

}  // namespace tidewater
