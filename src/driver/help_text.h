#pragma once

#include <ostream>

namespace tidewater {

/// Writes the driver's help: the banner for "cc", the usage line and one
/// line per option synopsis, each as two spaces, the synopsis in a field of
/// 27 characters (or followed by one blank when longer) and the description.
void writeHelpText(std::ostream& stream);

}  // namespace tidewater
