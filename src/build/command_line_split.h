#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tidewater {

/// Splits one user command line into arguments: at spaces outside double
/// quotes; a double quote toggles quoting and is dropped; \" stands for a
/// double quote. Empty arguments (runs of spaces) are dropped, so "" alone
/// gives nothing.
std::vector<std::string> splitCommandLine(std::string_view line);

}  // namespace tidewater
