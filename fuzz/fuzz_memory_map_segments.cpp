// Feeds arbitrary bytes to sectwright's -memory-map-segments parser and, when
// they form a segment list, writes the script of the built-in placement for
// it, so that every accepted list is also one the generator can use.
#include <cstdint>
#include <string>

#include "base/h_exception.h"
#include "macro/macro_table.h"
#include "sectwright/default_placement.h"
#include "sectwright/linker_script_generator.h"
#include "sectwright/memory_segments.h"
#include "target/memory_map.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const tidewater::MacroTable macros;
  static tidewater::MemoryMap placement(macros);
  static tidewater::ScriptSettings settings;
  static const bool ready = [] {
    settings.symbols = tidewater::parseSymbolAssignments(
        "__STACKSIZE__=1024;__STACKSIZE_IRQ__=0;__STACKSIZE_FIQ__=0;__STACKSIZE_SVC__=0;"
        "__STACKSIZE_ABT__=0;__STACKSIZE_UND__=0;__HEAPSIZE__=256");
    settings.checkSegmentOverflow = true;
    return placement.parse(tidewater::defaultPlacementText());
  }();
  if (!ready) __builtin_trap();

  const std::string text(reinterpret_cast<const char*>(data), size);
  try {
    const auto segments = tidewater::parseMemorySegmentList(text);
    if (segments.empty()) __builtin_trap();
    for (const auto& segment : segments) {
      if (segment.start + segment.size > (uint64_t{1} << 32)) __builtin_trap();
    }
    (void)tidewater::generateLinkerScript(segments, *placement.rootElement(), "placement", settings);
  } catch (const tidewater::HException&) {
  }
  return 0;
}
