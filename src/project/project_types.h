#pragma once

#include <string>
#include <vector>

namespace tidewater {

/// The project types, in order: the values of project_type. The build
/// decides from a project's type which steps it runs.
const std::vector<std::string>& projectTypes();

}  // namespace tidewater
