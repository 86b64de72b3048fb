#pragma once

#include <cstdint>
#include <ostream>
#include <string>

namespace tidewater {

/// Writes and counts command-line errors. One per process; every line it
/// starts reads "<program name>: error: " with the name exactly as invoked
/// (warnings and notes say so instead of "error", and are not counted).
class ErrorReporter {
 public:
  ErrorReporter(std::string programName, std::ostream& stream)
      : programName_(std::move(programName)), stream_(&stream) {}

  /// Counts one error, writes the line's prefix and returns the stream for
  /// the message; the caller ends the line with "\n" and a flush (std::endl).
  std::ostream& error();
  /// The same for a line that is not an error and is not counted:
  /// "<program name>: warning: " or "<program name>: note: ".
  std::ostream& warning();
  std::ostream& note();

  const std::string& programName() const { return programName_; }
  std::ostream& stream() const { return *stream_; }
  int32_t errorCount() const { return errorCount_; }

 private:
  std::string programName_;
  std::ostream* stream_;
  int32_t errorCount_ = 0;
};

}  // namespace tidewater
