#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace tidewater {

/// The product's fixed identity: names, release numbers and the build stamp
/// that every banner and user-data path is made from.
struct ProductIdentity {
  static constexpr std::string_view kProductName = "Tidewater for ARM";
  static constexpr std::string_view kProductShortName = "Tidewater";
  static constexpr std::string_view kCompanyName = "Kilnmark Software";
  static constexpr int kMajorRelease = 4;
  static constexpr std::string_view kMinorRelease = "0";
  static constexpr int kRevision = 6;
  static constexpr std::string_view kBuildDateCode = "2017111300";
  static constexpr std::string_view kBuildDate = "2017-11-13";
  static constexpr std::string_view kBuildTime = "20:12:00";
  static constexpr std::string_view kBuildNumber = "34238";
  static constexpr std::string_view kDriverToolName = "cc";
  static constexpr std::string_view kNotices[] = {
      "Copyright (c) 2004-2017 Kilnmark Software Ltd. All rights reserved.",
      "The GNU and LLVM tools that this program runs are free software under their own licences.",
  };
};

/// "4.0.6": major, minor and revision joined by ".".
const std::string& shortReleaseText();

/// "4.0.6.2017111300.34238": the short text, the build date code and the
/// build number.
const std::string& longReleaseText();

/// Writes "<product> <tool> - Release <long release>", then one line per
/// notice, and flushes.
void writeBanner(std::string_view toolName, std::ostream& stream);

}  // namespace tidewater
