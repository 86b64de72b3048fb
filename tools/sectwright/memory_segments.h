#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tidewater {

class ExpressionParser;
class MemoryMapElement;

/// One memory segment of the target as the script's MEMORY command declares
/// it. The name is a script identifier and start + size stays within the
/// 32-bit address space. The symbol names are extra names for its start,
/// end and size (empty when not asked for).
struct MemorySegmentSpec {
  std::string name;
  uint64_t start = 0;
  uint64_t size = 0;
  bool readOnly = false;
  std::string addressSymbol;
  std::string endSymbol;
  std::string sizeSymbol;
};

/// Parses the -memory-map-segments text: ";"-separated items "NAME START
/// SIZE", START and SIZE integer literals. Throws HException naming the bad
/// item; at least one segment is required and names must be unique.
std::vector<MemorySegmentSpec> parseMemorySegmentList(std::string_view text);

/// The MemorySegment elements of a loaded memory map, in document order,
/// with their resolved start and size. "fileName" names the map in the
/// messages of the HException thrown for a segment without a usable name,
/// start or size, a duplicate name, or a map without segments. Start and
/// size texts are evaluated again with "evaluator" (see the definition).
std::vector<MemorySegmentSpec> memorySegmentsOfMap(const MemoryMapElement& root,
                                                   const std::string& fileName,
                                                   ExpressionParser& evaluator);

/// "FILE:LINE" of an element, naming the imported file it came from when
/// it came from one.
std::string elementLocation(const MemoryMapElement& element, const std::string& fileName);

}  // namespace tidewater
