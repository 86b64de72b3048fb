#pragma once

#include <string>
#include <utility>

#include "base/h_exception.h"

namespace tidewater {

/// A solution, project or template file that cannot be loaded. The detail
/// starts with a blank so that it reads on from the file name
/// (" does not exist"); with the XML flag set the file itself is malformed
/// and the detail says where. Its error line is a "load error".
class SolutionLoadError : public HException {
 public:
  SolutionLoadError(std::string fileName, bool xmlError, const std::string& detail)
      : HException(xmlError ? "bad XML file - " + detail : fileName + detail),
        fileName_(std::move(fileName)),
        xmlError_(xmlError) {}

  const std::string& fileName() const { return fileName_; }
  bool isXmlError() const { return xmlError_; }
  const char* heading() const noexcept override { return "load error"; }

 private:
  std::string fileName_;
  bool xmlError_;
};

}  // namespace tidewater
