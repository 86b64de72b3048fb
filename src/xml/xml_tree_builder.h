#pragma once

#include <memory>
#include <vector>

#include "xml/xml_document.h"
#include "xml/xml_parse_sink.h"

namespace tidewater {

/// Builds the node tree of an XMLDocument from a parse: elements made
/// through the document's createElement, texts copied (and decoded) into
/// nodes of their own, so the tree outlives the buffer.
class XMLTreeBuilder final : public XMLParseSink {
 public:
  explicit XMLTreeBuilder(XMLDocument& document) : document_(document) {}

  /// The last top-level element closed; null when none was. Elements still
  /// open are not part of it.
  std::unique_ptr<XMLElement> takeRoot() { return std::move(root_); }

  void startElement(std::string_view name, uint32_t line) override;
  void attribute(std::string_view name, std::string_view raw, bool references) override;
  bool closes(std::string_view closingName) const override;
  void endElement() override;
  bool isOpen() const override { return !open_.empty(); }
  void characterData(const char* begin, const char* end, bool references, uint32_t line) override;
  void comment(const char* begin, const char* end, uint32_t line) override;
  void cdataSection(const char* begin, const char* end, uint32_t line) override;

 private:
  XMLDocument& document_;
  std::vector<std::unique_ptr<XMLElement>> open_;
  std::unique_ptr<XMLElement> root_;
};

}  // namespace tidewater
