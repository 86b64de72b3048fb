#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sectwright/memory_segments.h"
#include "sectwright/symbol_assignments.h"

namespace tidewater {

class MemoryMapElement;

/// What the command line adds to the memory segments and the placement.
struct ScriptSettings {
  /// Assigned at the top of the script; placement expressions may use them.
  std::vector<SymbolAssignment> symbols;
  /// Fill value for loaded sections without a fill of their own.
  std::optional<uint32_t> defaultFill;
  /// Adds ASSERTs that fail the link when a section (or the load image of
  /// one that runs elsewhere) ends past the end of its segment.
  bool checkSegmentOverflow = false;
};

/// The GNU ld script (also read by LLD) that declares "segments" as MEMORY
/// regions and places the ProgramSection elements of the placement rooted
/// at "placement" into them, in order, with the start, end, size and load
/// symbols the start-up code relies on. A placement MemorySegment whose
/// segment is absent is skipped. Throws HException, naming "placementName"
/// and the line where there is one, for a placement the script cannot
/// express or one that names no known segment at all.
std::string generateLinkerScript(const std::vector<MemorySegmentSpec>& segments,
                                 const MemoryMapElement& placement,
                                 const std::string& placementName, const ScriptSettings& settings);

}  // namespace tidewater
