#pragma once

#include <string>
#include <vector>

namespace tidewater {

class ARMProjectSystem;
class Builder;
class ProjectElement;
struct BuildStatus;

/// Runs the archiver for a library project: any old archive at the output
/// is removed first, so the archive holds exactly "objects".
bool runArchiveTool(ARMProjectSystem& system, ProjectElement& project, const std::string& configuration,
                    const std::string& output, const std::vector<std::string>& objects, Builder& builder,
                    BuildStatus& status);

}  // namespace tidewater
