#pragma once

#include <string>
#include <vector>

#include "build/step_files.h"

namespace tidewater {

class ARMProjectSystem;
class Builder;
class ProjectElement;
struct CompileContext;

/// Every file the archive step of "output" writes: the library and the
/// indirect file when one is used.
std::vector<StepFile> archiveStepFiles(const CompileContext& context, const std::string& output);

/// Runs the archiver for a library project: any old archive at the output
/// is removed first, so the archive holds exactly "objects".
bool runArchiveTool(ARMProjectSystem& system, ProjectElement& project, const std::string& configuration,
                    const std::string& output, const std::vector<std::string>& objects, Builder& builder);

}  // namespace tidewater
