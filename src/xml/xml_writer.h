#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace tidewater {

class XMLDocument;
class XMLElement;
class XMLNode;

/// Prints a document as text: the XML declaration, the DOCTYPE and the tree
/// from the root, walked with an explicit stack so depth is never a problem.
/// Output collects in one buffer, handed to the file (when given) in large
/// chunks; without a file the whole text stays in text().
class XMLWriter {
 public:
  XMLWriter(uint32_t indent, uint32_t lineWidth, std::FILE* file = nullptr)
      : indent_(indent), lineWidth_(lineWidth), file_(file) {}

  void writeDocument(const XMLDocument& document);
  /// Hands the rest of the buffer to the file; false when the file reports
  /// an error.
  bool finish();
  std::string& text() { return out_; }

  /// Appends "text" escaped for data and attribute values: the double quote,
  /// "&", "<" and ">" as entity references, printable ASCII as is and every
  /// other byte as a lower-case hexadecimal character reference.
  static void appendEscaped(std::string& out, std::string_view text);

 private:
  void writeTree(const XMLElement& root);
  void writeStartTag(const XMLElement& element, uint32_t depth);
  void writeEndTag(const XMLElement& element);
  void writeLeaf(const XMLNode& node);
  void indentTo(uint32_t depth);
  void newline();
  void flushIfLarge();

  uint32_t indent_;
  uint32_t lineWidth_;
  std::FILE* file_;
  bool failed_ = false;
  std::string out_;
};

}  // namespace tidewater
