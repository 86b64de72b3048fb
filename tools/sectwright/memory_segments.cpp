#include "sectwright/memory_segments.h"

#include <algorithm>
#include <sstream>

#include "base/h_exception.h"
#include "base/split_list.h"
#include "base/strings.h"
#include "expression/expression_parser.h"
#include "sectwright/script_values.h"
#include "target/memory_map_element.h"

namespace tidewater {
namespace {

constexpr uint64_t kAddressSpaceEnd = uint64_t{1} << 32;

/// Throws when the segment cannot be declared: a bad name, a duplicate, or
/// an end past the 32-bit address space.
void checkSegment(const MemorySegmentSpec& segment, const std::vector<MemorySegmentSpec>& before,
                  const std::string& where) {
  if (!isScriptIdentifier(segment.name)) {
    throw HException(where + "bad segment name \"" + segment.name + "\"");
  }
  const bool duplicate = std::any_of(before.begin(), before.end(), [&](const MemorySegmentSpec& s) {
    return s.name == segment.name;
  });
  if (duplicate) throw HException(where + "segment " + segment.name + " is defined twice");
  if (segment.start >= kAddressSpaceEnd || segment.size > kAddressSpaceEnd - segment.start) {
    throw HException(where + "segment " + segment.name +
                     " extends past the end of the 32-bit address space");
  }
}

MemorySegmentSpec segmentOf(const MemoryMapElement& element, const std::string& where,
                            ExpressionParser& evaluator) {
  MemorySegmentSpec segment{element.nameAttribute(), element.start(), element.size(),
                            element.access() == MemoryMapElement::Access::ReadOnly,
                            element.addressSymbol(), element.endSymbol(), element.sizeSymbol()};
  // The resolved values are cut to 32 bits and are 0 when the text does not
  // evaluate, which would silently declare a wrong region: evaluate again.
  for (uint64_t* value : {&segment.start, &segment.size}) {
    const char* attribute = value == &segment.start ? "start" : "size";
    const std::string* text = element.attribute(attribute);
    bool ok = false;
    const uint64_t evaluated =
        text ? evaluator.evaluateUnsigned(*text, &ok) : 0;
    if (!ok) {
      throw HException(where + "segment " + segment.name + " has no usable " + attribute +
                       (text ? " \"" + *text + "\"" : std::string()));
    }
    if (!text->starts_with('+')) *value = evaluated;
  }
  for (const std::string* symbol :
       {&segment.addressSymbol, &segment.endSymbol, &segment.sizeSymbol}) {
    if (!symbol->empty() && !isScriptIdentifier(*symbol)) {
      throw HException(where + "bad symbol name \"" + *symbol + "\"");
    }
  }
  return segment;
}

}  // namespace

std::string elementLocation(const MemoryMapElement& element, const std::string& fileName) {
  std::string file = fileName;
  // The root of an imported file remembers the Import element that named it.
  for (const XMLNode* node = &element; node; node = node->parent()) {
    const MemoryMapElement* mapElement = asMapElement(node);
    if (mapElement && mapElement->importedBy()) {
      if (const std::string* name = mapElement->importedBy()->attribute("filename")) file = *name;
      break;
    }
  }
  return file + ":" + std::to_string(element.line() + 1);
}

std::vector<MemorySegmentSpec> parseMemorySegmentList(std::string_view text) {
  std::vector<MemorySegmentSpec> segments;
  for (const std::string& item : splitEscapedList(text)) {
    if (trimmed(item).empty()) continue;
    const std::string where = "bad -memory-map-segments item \"" + item + "\": ";
    std::istringstream fields(item);
    std::string name, start, size, extra;
    fields >> name >> start >> size >> extra;
    if (size.empty() || !extra.empty()) throw HException(where + "expected NAME START SIZE");
    const std::optional<uint64_t> startValue = parseIntegerLiteral(start);
    const std::optional<uint64_t> sizeValue = parseIntegerLiteral(size);
    if (!startValue || !sizeValue) throw HException(where + "START and SIZE must be integers");
    MemorySegmentSpec segment{name, *startValue, *sizeValue};
    checkSegment(segment, segments, where);
    segments.push_back(std::move(segment));
  }
  if (segments.empty()) throw HException("-memory-map-segments names no segment");
  return segments;
}

std::vector<MemorySegmentSpec> memorySegmentsOfMap(const MemoryMapElement& root,
                                                   const std::string& fileName,
                                                   ExpressionParser& evaluator) {
  std::vector<MemorySegmentSpec> segments;
  // Document order with an explicit stack: a map may nest deeper than the
  // call stack allows.
  std::vector<const MemoryMapElement*> pending{&root};
  while (!pending.empty()) {
    const MemoryMapElement* element = pending.back();
    pending.pop_back();
    if (element->elementKind() == MemoryMapElement::Kind::MemorySegment) {
      const std::string where = elementLocation(*element, fileName) + ": ";
      MemorySegmentSpec segment = segmentOf(*element, where, evaluator);
      checkSegment(segment, segments, where);
      segments.push_back(std::move(segment));
    }
    const std::size_t firstChild = pending.size();
    for (const XMLElement* child = element->firstChildElement(); child;
         child = child->nextSiblingElement()) {
      if (const MemoryMapElement* mapChild = asMapElement(child)) pending.push_back(mapChild);
    }
    std::reverse(pending.begin() + static_cast<std::ptrdiff_t>(firstChild), pending.end());
  }
  if (segments.empty()) throw HException(fileName + ": the memory map has no MemorySegment");
  return segments;
}

}  // namespace tidewater
