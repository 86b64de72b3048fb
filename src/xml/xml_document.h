#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "xml/xml_element.h"
#include "xml/xml_node.h"

namespace tidewater {

class XMLParseSink;
class XMLSource;

/// An XML document: owns its root element and the names of its XML and
/// DOCTYPE declarations, parses byte buffers and files into a tree and writes
/// the tree back. Failures never throw: the call returns false and leaves
/// errorText (at most 1023 characters) and errorLine. Derived documents
/// override createElement to make their own element class.
/// What a numeric character reference stands for.
///  - LowByte: the byte with the low 8 bits of its value. The files this
///    program writes itself (projects, memory maps, placements, property
///    groups) hold each byte that is not printable ASCII as a reference of
///    its own, so they read back byte for byte.
///  - UTF8: the character with that code point, in UTF-8; one that XML does
///    not allow (a control character, a surrogate, past U+10FFFF) reads as
///    U+FFFD. CMSIS-SVD files are written by other tools, whose references
///    name characters (&#8217;), not bytes.
enum class ReferenceReading : uint8_t { LowByte, UTF8 };

class XMLDocument {
 public:
  /// With keepText clear the parser drops character data and comments.
  explicit XMLDocument(bool keepText = false) : keepText_(keepText) {}
  virtual ~XMLDocument();
  XMLDocument(const XMLDocument&) = delete;
  XMLDocument& operator=(const XMLDocument&) = delete;

  /// The factory the parser and the cloner use for every element.
  virtual std::unique_ptr<XMLElement> createElement(std::string name);

  /// Parses a NUL-terminated buffer. On success the root is the last
  /// top-level element closed (null if none was); on failure the tree is
  /// discarded, the root is null and errorText/errorLine say why. Version,
  /// encoding and doctype are set when the buffer declares them and are
  /// otherwise left as they were.
  bool parse(const char* buffer);
  bool parse(const std::string& text) { return parse(text.c_str()); }
  /// Parses a NUL-terminated buffer into "sink" instead of the tree, with
  /// this document's settings; the root is left null. Failures as for parse().
  bool parse(const char* buffer, XMLParseSink& sink);
  /// Reads the whole stream, skips a UTF-8 byte-order mark and parses it.
  bool parseFile(std::FILE* file);
  /// Opens "path" and parses it; "couldn't read <path>" when it cannot be read.
  virtual bool load(const std::string& path);
  /// The first half of load(): reads "path" into "source" under inputLimit(),
  /// for a reader that parses into a sink of its own and keeps the text.
  bool read(const std::string& path, XMLSource& source);

  /// Writes the document with "indent" spaces per level (0: all on one line)
  /// and attributes wrapped when an element's line exceeds lineWidth (0:
  /// never). Returns false only when the stream reports a write error.
  bool write(std::FILE* file, uint32_t indent, uint32_t lineWidth);
  /// The text that write() would produce.
  std::string writeToString(uint32_t indent, uint32_t lineWidth);
  /// Writes the document to "path"; "couldn't write <path>" on failure. The
  /// text is formed before the file is opened.
  bool save(const std::string& path, uint32_t indent, uint32_t lineWidth);

  /// The DOCTYPE name of a file, read from its first 1024 bytes without
  /// parsing; empty when the file has none (or cannot be read).
  static std::optional<std::string> doctypeOf(const std::string& path);

  /// Deep copy of the subtree at "node" (without its siblings), elements made
  /// through document.createElement. Line numbers are not copied.
  static std::unique_ptr<XMLNode> clone(XMLDocument& document, const XMLNode& node);
  /// The same, appended to "parent"; returns the copy.
  static XMLNode* clone(XMLDocument& document, const XMLNode& node, XMLNode& parent);

  bool keepText() const { return keepText_; }
  /// With keepBlankText clear, runs of character data that hold nothing but
  /// white space are dropped too: the layout between the elements of a file
  /// that is only read, never written back.
  bool keepBlankText() const { return keepBlankText_; }
  void setKeepBlankText(bool keep) { keepBlankText_ = keep; }
  /// Unset: load() reads whatever the path names, as long as it lasts. Set:
  /// load() takes regular files of at most that many bytes only and refuses
  /// others, naming the file and the reason.
  const std::optional<uint64_t>& inputLimit() const { return inputLimit_; }
  void setInputLimit(std::optional<uint64_t> limit) { inputLimit_ = limit; }
  ReferenceReading referenceReading() const { return referenceReading_; }
  void setReferenceReading(ReferenceReading reading) { referenceReading_ = reading; }
  uint32_t indent() const { return indent_; }
  void setIndent(uint32_t indent) { indent_ = indent; }
  uint32_t lineWidth() const { return lineWidth_; }
  void setLineWidth(uint32_t lineWidth) { lineWidth_ = lineWidth; }

  const std::optional<std::string>& doctype() const { return doctype_; }
  void setDoctype(std::optional<std::string> doctype) { doctype_ = std::move(doctype); }
  const std::optional<std::string>& version() const { return version_; }
  void setVersion(std::optional<std::string> version) { version_ = std::move(version); }
  const std::optional<std::string>& encoding() const { return encoding_; }
  void setEncoding(std::optional<std::string> encoding) { encoding_ = std::move(encoding); }

  XMLElement* root() const { return root_.get(); }
  void setRoot(std::unique_ptr<XMLElement> root) { root_ = std::move(root); }
  std::unique_ptr<XMLElement> takeRoot() { return std::move(root_); }

  const std::string& errorText() const { return errorText_; }
  uint32_t errorLine() const { return errorLine_; }

 protected:
  /// Records a failure; the text is cut to 1023 bytes.
  void setError(std::string_view text, uint32_t line);
  /// Clears the root and the last error before a parse.
  void startParse();

 private:
  template <typename Sink>
  friend class XMLParser;

  bool keepText_;
  bool keepBlankText_ = true;
  ReferenceReading referenceReading_ = ReferenceReading::LowByte;
  std::optional<uint64_t> inputLimit_;
  uint32_t indent_ = 0;
  uint32_t lineWidth_ = 0;
  std::optional<std::string> doctype_;
  std::optional<std::string> version_;
  std::optional<std::string> encoding_;
  std::unique_ptr<XMLElement> root_;
  std::string errorText_;
  uint32_t errorLine_ = 0;
};

}  // namespace tidewater
