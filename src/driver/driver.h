#pragma once

#include <ostream>

namespace tidewater {

/// One run of the driver, from the arguments to the exit status (0 or 1).
/// Error lines, the help text and the top-level failure messages go to
/// "errorStream" (standard error in the program).
int runDriver(int argc, const char* const* argv, std::ostream& errorStream);

}  // namespace tidewater
