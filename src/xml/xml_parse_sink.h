#pragma once

#include <cstdint>
#include <string_view>

namespace tidewater {

/// Receives what XMLParser finds, in document order. The tree of
/// XMLDocument is one receiver (XMLTreeBuilder); a reader that needs only
/// part of a large file can keep a model of its own instead of the tree.
/// Every view and pointer handed over points into the parsed buffer and is
/// valid as long as the buffer is.
class XMLParseSink {
 public:
  virtual ~XMLParseSink() = default;

  /// A start tag: the element stays open until endElement().
  virtual void startElement(std::string_view name, uint32_t line) = 0;
  /// An attribute of the element just started, its value as it stands
  /// between the quotes; "references" says it holds a "&" and needs
  /// decodeReferences() (xml_parser.h).
  virtual void attribute(std::string_view name, std::string_view raw, bool references) = 0;
  /// Whether a closing tag of this name closes the innermost open element
  /// (compared over the closing name's length); false when none is open.
  virtual bool closes(std::string_view closingName) const = 0;
  /// Closes the innermost open element.
  virtual void endElement() = 0;
  /// Whether an element is open: character data, comments and CDATA
  /// outside every element are dropped.
  virtual bool isOpen() const = 0;
  /// A run of character data of the open element; "references" as for
  /// attribute(), here counting carriage returns too (they are dropped).
  virtual void characterData(const char* begin, const char* end, bool references, uint32_t line) = 0;
  virtual void comment(const char* begin, const char* end, uint32_t line) = 0;
  virtual void cdataSection(const char* begin, const char* end, uint32_t line) = 0;
};

}  // namespace tidewater
