#pragma once

namespace tidewater {

class ARMProjectSystem;
class KilnmarkArgParse;
class ProjectElement;

/// What the run writes into the project once parsing has succeeded: the
/// intermediate directory, the project type and output names chosen by
/// -c, -E, -ar and -o, and the flag-like properties (after the options, so
/// they win over "-z"); then the project system's caches are dropped.
void writeParsedSettings(ARMProjectSystem& system, ProjectElement& project,
                         const KilnmarkArgParse& parser);

}  // namespace tidewater
