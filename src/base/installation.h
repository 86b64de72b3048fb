#pragma once

#include <string>

namespace tidewater {

/// Where the running program and its installation tree are. The tree is
/// found from the executable alone, so it can be moved without any setting.
struct InstallationDirectories {
  std::string binDirectory;           ///< canonical directory of the executable
  std::string installationDirectory;  ///< canonical directory "levels" above it
};

/// The running program's absolute path from /proc/self/exe, which names the
/// target of any symbolic link it was started through; the first argument
/// when the link cannot be read.
std::string executablePath(const char* firstArgument);

/// The bin and installation directories for an executable path; a directory
/// that cannot be made canonical is "".
InstallationDirectories locateInstallation(const std::string& executablePath, int levels = 1);

/// Computes and keeps the process-wide directories (once, at start-up).
void setUpDirectories(const std::string& executablePath, int levels = 1);
const std::string& binDirectory();
const std::string& installationDirectory();

}  // namespace tidewater
