#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace tidewater {

class MacroTable;

/// The command line of sectwright, as the link step passes it. Exactly one
/// of memoryMapFile and memoryMapSegments is set and scriptPath is not empty.
struct SectwrightOptions {
  std::optional<std::string> memoryMapFile;
  std::optional<std::string> memoryMapSegments;
  std::optional<std::string> placementFile;
  bool checkSegmentOverflow = false;
  std::optional<std::string> symbols;
  std::optional<std::string> memoryMapMacros;
  std::optional<std::string> placementMacros;
  std::optional<std::string> defaultFillPattern;
  std::string scriptPath;
};

/// Parses the arguments after the program name; throws HException for an
/// unknown option, a missing value, a missing or second script path, or no
/// (or two kinds of) memory description.
SectwrightOptions parseSectwrightArguments(const std::vector<std::string>& arguments);

/// The whole run: reads the memory description and the placement (the
/// built-in default when none is named), writes the script through a
/// temporary file beside it and renames it into place, so an existing
/// script is never left half-written. Errors go to "errors" as
/// "sectwright: error: ..." and give 1; success gives 0. File names in the
/// descriptions are expanded against "macros".
int runSectwright(const std::vector<std::string>& arguments, const MacroTable& macros,
                  std::ostream& errors);

}  // namespace tidewater
