#pragma once

#include <string_view>

namespace tidewater {

/// The file types a file node can be given, in order. The values of
/// file_type are "Default" followed by these. Detection by extension can
/// also answer "Header", which is not one of them.
inline constexpr std::string_view kFileTypes[] = {
    "C",           "C++",           "Assembly",     "Section Placement", "Memory Map",
    "Register Definitions",         "Threads Script", "Target Script",   "Reset Script",
    "Linker Script", "Executable",  "Library",      "Object file",
};

}  // namespace tidewater
