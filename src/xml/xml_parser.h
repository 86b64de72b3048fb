#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "xml/xml_document.h"
#include "xml/xml_parse_sink.h"

namespace tidewater {

/// One parse of a NUL-terminated byte buffer: a single forward pass with a
/// line counter, handing elements, attributes and texts to a sink, which
/// keeps the open elements (so nesting depth costs heap, never call stack).
/// The document gives the settings (keepText, keepBlankText) and takes the
/// declarations and the error. Used by XMLDocument::parse; instantiated
/// for XMLTreeBuilder and for XMLParseSink (any other sink).
template <typename Sink>
class XMLParser {
 public:
  XMLParser(XMLDocument& document, Sink& sink, const char* buffer)
      : document_(document), sink_(sink), cursor_(buffer), end_(buffer + std::strlen(buffer)) {}

  /// Parses the whole buffer; on failure the document's error text and line
  /// are set.
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
  Sink& sink_;
  const char* cursor_;
  const char* end_;  // the terminating NUL
  uint32_t line_ = 0;
  Terminator commentEnd_{"-->"};
  Terminator cdataEnd_{"]]>"};
};

/// Decodes the character references of [begin, end) and appends the result
/// to "out", each in the given reading; with dropReturns, carriage-return
/// bytes are left out.
void decodeReferences(const char* begin, const char* end, bool dropReturns, ReferenceReading reading,
                      std::string& out);

}  // namespace tidewater
