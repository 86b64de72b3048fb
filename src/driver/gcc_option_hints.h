#pragma once

#include <string>
#include <string_view>

namespace tidewater {

/// For an option the driver does not know but a GNU compiler driver does,
/// the text of one hint line: "for <option> use <the driver's way>".
/// Empty when the option is not one of the common GNU spellings.
std::string gccOptionHint(std::string_view option);

}  // namespace tidewater
