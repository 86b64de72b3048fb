#include "driver/error_reporter.h"

namespace tidewater {

std::ostream& ErrorReporter::error() {
  ++errorCount_;
  *stream_ << programName_ << ": error: ";
  return *stream_;
}

}  // namespace tidewater
