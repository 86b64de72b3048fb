#pragma once

#include <string_view>

namespace tidewater {

/// The project types, in order: the values of project_type. The build
/// decides from a project's type which steps it runs.
inline constexpr std::string_view kProjectTypes[] = {
    "Executable", "Library", "Object file", "Staging", "Combining", "Externally Built Executable",
};

}  // namespace tidewater
