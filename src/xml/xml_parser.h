#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "xml/xml_document.h"
#include "xml/xml_element.h"

namespace tidewater {

class XMLDocument;

/// One parse of a NUL-terminated byte buffer into an XMLDocument: a single
/// forward pass with a line counter and an explicit stack of open elements,
/// so nesting depth costs heap, never call stack. Used by XMLDocument::parse.
class XMLParser {
 public:
  XMLParser(XMLDocument& document, const char* buffer)
      : document_(document), cursor_(buffer), end_(buffer + std::strlen(buffer)) {}

  /// Parses the whole buffer. On success the document's root is set; on
  /// failure the document's error text and line are.
  bool run();

 private:
  /// First occurrence of a terminator ("-->", "]]>") at or after a position,
  /// remembered so that many unterminated openers cost one scan in total.
  class Terminator {
   public:
    explicit Terminator(const char* text) : text_(text) {}
    const char* findFrom(const char* from);

   private:
    const char* text_;
    const char* searchedFrom_ = nullptr;
    const char* found_ = nullptr;
  };

  bool markup();
  void processingInstruction();
  void declaration();
  void comment();
  void cdataSection();
  bool startTag();
  bool endTag();
  void closeElement();
  void characterData();

  void skipSpace();
  /// A maximal run of name bytes, then the white space after it.
  std::string_view readName();
  /// Moves past a double-quoted run's closing quote (or to the end) and
  /// returns the run; sets "references" when it holds a "&".
  std::string_view readQuoted(bool& references);
  void countLines(const char* begin, const char* end);
  bool fail(const char* message);

  XMLDocument& document_;
  const char* cursor_;
  const char* end_;  // the terminating NUL
  uint32_t line_ = 0;
  std::vector<std::unique_ptr<XMLElement>> open_;
  std::unique_ptr<XMLElement> root_;
  Terminator commentEnd_{"-->"};
  Terminator cdataEnd_{"]]>"};
};

/// Decodes the character references of [begin, end) and appends the result
/// to "out", each in the given reading; with dropReturns, carriage-return
/// bytes are left out.
void decodeReferences(const char* begin, const char* end, bool dropReturns, ReferenceReading reading,
                      std::string& out);

}  // namespace tidewater
