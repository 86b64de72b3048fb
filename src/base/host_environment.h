#pragma once

#include <string>

namespace tidewater {

/// The user's directories, read from the environment (HOME and
/// TIDEWATER_ROOT_USER_DIR). An unset HOME gives "" for the home directory,
/// so the documents directory becomes "/Documents".
std::string homeDirectory();
std::string documentsDirectory();
std::string desktopDirectory();

/// The root of the per-user data: TIDEWATER_ROOT_USER_DIR when set, else a
/// hidden directory in HOME named after the company in lower case with every
/// blank of the whole path turned into "_". Either argument may be null.
std::string userDataRootFor(const char* rootVariable, const char* home);

/// userDataRootFor the process environment, kept once it is not empty.
const std::string& userDataRoot();

/// "<root>/Tidewater for ARM/v4".
std::string userDataDirectory();

}  // namespace tidewater
