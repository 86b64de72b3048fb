#pragma once

#include <string>

namespace tidewater::test {

/// The installed tree the end-to-end tests drive (TW_DIST overrides it).
std::string distDirectory();

/// The directory of checked-in test inputs (TW_TEST_DATA overrides it).
std::string testDataDirectory();

/// A whole file's bytes; fails the calling test when it cannot be read.
std::string readFile(const std::string& path);

}  // namespace tidewater::test
