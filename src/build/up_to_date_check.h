#pragma once

#include <string>
#include <vector>

#include "project/build_kind.h"

namespace tidewater {

class Builder;
class ProjectElement;
class ProjectSystem;

/// One step's question "is the output still up to date?". Relative names
/// are taken from the project directory.
struct UpToDateQuery {
  BuildKind kind = BuildKind::None;
  std::string output;
  std::vector<std::string> inputs;
  std::vector<std::string> optionsFiles;    ///< must not be newer than the output
  std::vector<std::string> requiredFiles;   ///< must exist (extra outputs of a link)
  bool forced = false;
  bool quiet = false;
};

/// Applies the up-to-date rule, reporting why a step must run (unless
/// quiet) and, when it need not, the up-to-date line.
bool isUpToDate(ProjectSystem& system, ProjectElement& node, const std::string& configuration,
                const std::string& projectDirectory, const UpToDateQuery& query, Builder& builder);

/// "dd.MM.yyyy hh:mm:ss" in local time.
std::string formatFileTime(long long secondsSinceEpoch);

}  // namespace tidewater
