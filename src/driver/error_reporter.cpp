#include "driver/error_reporter.h"

namespace tidewater {

std::ostream& ErrorReporter::error() {
  ++errorCount_;
  *stream_ << programName_ << ": error: ";
  return *stream_;
}

std::ostream& ErrorReporter::warning() {
  *stream_ << programName_ << ": warning: ";
  return *stream_;
}

std::ostream& ErrorReporter::note() {
  *stream_ << programName_ << ": note: ";
  return *stream_;
}

}  // namespace tidewater
