#pragma once

#include <stdexcept>
#include <string>

namespace tidewater {

/// The general error of the system: a message text that the driver's top
/// level prints as "error: <message>" before exiting with status 1.
class HException : public std::runtime_error {
 public:
  explicit HException(const std::string& message) : std::runtime_error(message) {}
  std::string message() const { return what(); }
};

}  // namespace tidewater
