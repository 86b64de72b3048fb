#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "xml/xml_element.h"

namespace tidewater {

/// One element of a memory map, section placement or register definition
/// file. Its kind follows the tag name (and changes with it); start and size
/// are the resolved values, 0 until MemoryMap resolves them. The attribute
/// getters return the attribute text, or "" when the attribute is absent.
class MemoryMapElement : public XMLElement {
 public:
  enum class Kind : int32_t {
    MemorySegment = 0,
    Register = 1,
    ProgramSection = 2,
    Root = 3,
    RegisterGroup = 4,
    BitField = 5,
    Enum = 6,
    Processor = 7,
    Vector = 8,
    Other = 9
  };
  enum class Access : uint8_t { ReadWrite, ReadOnly, WriteOnly, None };

  explicit MemoryMapElement(std::string name);
  ~MemoryMapElement() override;

  /// The kind a tag name gives (names compare exactly).
  static Kind kindOf(std::string_view tag);

  void setName(std::string name) override;

  Kind elementKind() const { return kind_; }
  /// Segments, sections and groups: their start is the base of their children.
  bool isContainer() const;

  uint32_t start() const { return start_; }
  void setStart(uint32_t start) { start_ = start; }
  uint32_t size() const { return size_; }
  void setSize(uint32_t size) { size_ = size; }

  /// For the root of an imported file: the Import element it replaced.
  MemoryMapElement* importedBy() const { return importedBy_; }
  void setImportedBy(MemoryMapElement* element) { importedBy_ = element; }
  /// Last-modified time of the file the element is the root of.
  std::chrono::system_clock::time_point fileTime() const { return fileTime_; }
  void setFileTime(std::chrono::system_clock::time_point time) { fileTime_ = time; }
  /// Set when the element came from a file that is not writable.
  bool readOnly() const { return readOnly_; }
  void setReadOnly(bool readOnly) { readOnly_ = readOnly; }

  /// "ReadOnly", "WriteOnly" and "None" as written; anything else is read-write.
  Access access() const;

#define TW_MEMORY_MAP_ATTRIBUTE(getter, presence, attributeName)       \
  bool presence() const { return hasAttribute(attributeName); }        \
  std::string getter() const { return text(attributeName); }
  TW_MEMORY_MAP_ATTRIBUTE(nameAttribute, hasNameAttribute, "name")
  TW_MEMORY_MAP_ATTRIBUTE(description, hasDescription, "description")
  TW_MEMORY_MAP_ATTRIBUTE(startAttribute, hasStartAttribute, "start")
  TW_MEMORY_MAP_ATTRIBUTE(sizeAttribute, hasSizeAttribute, "size")
  TW_MEMORY_MAP_ATTRIBUTE(accessAttribute, hasAccessAttribute, "access")
  TW_MEMORY_MAP_ATTRIBUTE(addressSymbol, hasAddressSymbol, "address_symbol")
  TW_MEMORY_MAP_ATTRIBUTE(endSymbol, hasEndSymbol, "end_symbol")
  TW_MEMORY_MAP_ATTRIBUTE(sizeSymbol, hasSizeSymbol, "size_symbol")
  TW_MEMORY_MAP_ATTRIBUTE(alignment, hasAlignment, "alignment")
  TW_MEMORY_MAP_ATTRIBUTE(runIn, hasRunIn, "runin")
  TW_MEMORY_MAP_ATTRIBUTE(runOffset, hasRunOffset, "runoffset")
  TW_MEMORY_MAP_ATTRIBUTE(endian, hasEndian, "endian")
  TW_MEMORY_MAP_ATTRIBUTE(inputSections, hasInputSections, "inputsections")
  TW_MEMORY_MAP_ATTRIBUTE(loadAttribute, hasLoadAttribute, "load")
  TW_MEMORY_MAP_ATTRIBUTE(addressSpace, hasAddressSpace, "addressSpace")
  TW_MEMORY_MAP_ATTRIBUTE(fill, hasFill, "fill")
  TW_MEMORY_MAP_ATTRIBUTE(keep, hasKeep, "keep")
#undef TW_MEMORY_MAP_ATTRIBUTE

  /// The alignment attribute as a plain integer literal; 0 when absent or unreadable.
  uint32_t alignmentValue() const;

 private:
  std::string text(std::string_view attributeName) const;

  // Pointers first, then the narrow fields together: 96 bytes instead of
  // 104, one pool size class less per element of a large register model.
  MemoryMapElement* importedBy_ = nullptr;
  std::chrono::system_clock::time_point fileTime_{};
  Kind kind_;
  uint32_t start_ = 0;
  uint32_t size_ = 0;
  bool readOnly_ = false;
};

/// The node as a map element, or null. Nearly every node of a map is
/// exactly a MemoryMapElement, which a type comparison finds far faster than
/// the general cast.
MemoryMapElement* asMapElement(XMLNode* node);
inline const MemoryMapElement* asMapElement(const XMLNode* node) {
  return asMapElement(const_cast<XMLNode*>(node));
}

/// A plain integer literal (decimal, "0x", "0b", leading-0 octal) cut to 32
/// bits; 0 when it cannot be read.
uint32_t memoryMapLiteral(std::string_view text);

}  // namespace tidewater
