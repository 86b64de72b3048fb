#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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
  /// How bytes that are not printable ASCII are written.
  ///  - Bytes: each as a reference to its own value, which the parser's
  ///    LowByte reading turns back into the same byte.
  ///  - Unicode: for readers of the XML standard. A well-formed UTF-8
  ///    sequence becomes a reference to its character; any other byte from
  ///    0x80 up is read as Latin-1; a character XML forbids (control bytes,
  ///    U+FFFE, U+FFFF) becomes U+FFFD. Names, the declaration, comments and
  ///    CDATA sections are made well-formed too, so the output is XML
  ///    whatever bytes the tree holds. The output is plain ASCII, and
  ///    indentation stops growing 64 levels deep, so the text of a deep
  ///    tree stays linear in its size.
  enum class Characters : uint8_t { Bytes, Unicode };

  XMLWriter(uint32_t indent, uint32_t lineWidth, std::FILE* file = nullptr,
            Characters characters = Characters::Bytes)
      : indent_(indent), lineWidth_(lineWidth), file_(file), characters_(characters) {}

  /// Attributes worked out while the tree is written rather than stored in
  /// it. For each element, "compute" fills one value per name and returns
  /// whether the element has them at all. A stored attribute of one of the
  /// names is written with the computed value in its place; the other names
  /// follow the stored attributes in their order here.
  struct ComputedAttributes {
    std::span<const std::string_view> names;
    bool (*compute)(const XMLElement& element, std::span<std::string> values) = nullptr;
  };
  void setComputedAttributes(ComputedAttributes computed);

  void writeDocument(const XMLDocument& document);
  /// Hands the rest of the buffer to the file; false when the file reports
  /// an error.
  bool finish();
  std::string& text() { return out_; }

  /// Appends "text" escaped for data and attribute values: the double quote,
  /// "&", "<" and ">" as entity references, printable ASCII as is and every
  /// other byte as a lower-case hexadecimal character reference.
  static void appendEscaped(std::string& out, std::string_view text,
                            Characters characters = Characters::Bytes);

 private:
  void writeTree(const XMLElement& root);
  /// Returns whether the element was written with attributes.
  bool writeStartTag(const XMLElement& element, uint32_t depth);
  /// Whether the start tag's attributes go one per line.
  bool wraps(const XMLElement& element, uint32_t depth, bool computed) const;
  /// Writes name="value"; a missing value as name="".
  void writeAttribute(std::string_view name, std::optional<std::string_view> value, bool wrap, uint32_t depth);
  /// The computed value for a stored attribute of that name, or null.
  const std::string* computedValue(std::string_view name) const;
  void writeEndTag(const XMLElement& element);
  void writeLeaf(const XMLNode& node);
  void writeName(std::string_view name);
  void writeComment(std::string_view text);
  void indentTo(uint32_t depth);
  void newline();
  void flushIfLarge();

  uint32_t indent_;
  uint32_t lineWidth_;
  std::FILE* file_;
  Characters characters_;
  bool failed_ = false;
  ComputedAttributes computed_;
  std::vector<std::string> computedValues_;
  /// Per computed name: whether the element being written stores it already.
  std::vector<bool> computedStored_;
  std::string out_;
};

}  // namespace tidewater
