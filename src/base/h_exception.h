#pragma once

#include <stdexcept>
#include <string>

namespace tidewater {

/// The one error the system throws: a message that travels up to the top
/// level of the program, which prints it after the program's prefix and
/// its heading ("error: <message>") and exits with status 1. Kinds of
/// error that read differently derive from it, so that a single handler
/// sees them all.
class HException : public std::runtime_error {
 public:
  explicit HException(const std::string& message) : std::runtime_error(message) {}
  std::string message() const { return what(); }
  /// The word the error line starts with, before ": " and the message.
  virtual const char* heading() const noexcept { return "error"; }
};

}  // namespace tidewater
