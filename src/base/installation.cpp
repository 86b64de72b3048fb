#include "base/installation.h"

#include <unistd.h>

#include "base/path.h"

namespace tidewater {

namespace {

InstallationDirectories& processDirectories() {
  static InstallationDirectories directories;
  return directories;
}

}  // namespace

std::string executablePath(const char* firstArgument) {
  char buffer[1024];
  const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer);
  if (length >= 1 && length <= 1023) return std::string(buffer, static_cast<size_t>(length));
  return firstArgument != nullptr ? firstArgument : "";
}

InstallationDirectories locateInstallation(const std::string& executablePath, int levels) {
  InstallationDirectories directories;
  directories.binDirectory = canonicalPath(directoryPart(absolutePath(executablePath)));
  if (directories.binDirectory.empty()) return directories;
  std::string up = directories.binDirectory;
  for (int i = 0; i < levels; ++i) up += "/..";
  directories.installationDirectory = canonicalPath(up);
  return directories;
}

void setUpDirectories(const std::string& executablePath, int levels) {
  processDirectories() = locateInstallation(executablePath, levels);
}

const std::string& binDirectory() { return processDirectories().binDirectory; }
const std::string& installationDirectory() { return processDirectories().installationDirectory; }

}  // namespace tidewater
