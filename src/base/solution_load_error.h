#pragma once

#include <string>
#include <utility>

namespace tidewater {

/// A solution, project or template file that cannot be loaded. The message
/// starts with a blank so that it reads on from the file name
/// (" does not exist"); with the XML flag set the file itself is malformed.
class SolutionLoadError {
 public:
  SolutionLoadError(std::string fileName, bool xmlError, std::string message)
      : fileName_(std::move(fileName)), xmlError_(xmlError), message_(std::move(message)) {}

  const std::string& fileName() const { return fileName_; }
  bool isXmlError() const { return xmlError_; }
  const std::string& message() const { return message_; }

 private:
  std::string fileName_;
  bool xmlError_;
  std::string message_;
};

}  // namespace tidewater
