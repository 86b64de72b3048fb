#pragma once

#include <memory>
#include <vector>

#include "xml/xml_document.h"
#include "xml/xml_parse_sink.h"
#include "xml/xml_parser.h"

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

// Defined here so that the parser's instance for this sink inlines them.

inline void XMLTreeBuilder::startElement(std::string_view name, uint32_t line) {
  std::unique_ptr<XMLElement> created = document_.createElement(std::string(name));
  if (!created) created = std::make_unique<XMLElement>(std::string());
  created->setLine(line);
  open_.push_back(std::move(created));
}

inline void XMLTreeBuilder::attribute(std::string_view name, std::string_view raw, bool references) {
  std::string value;
  if (references) {
    decodeReferences(raw.data(), raw.data() + raw.size(), false, document_.referenceReading(), value);
  } else {
    value.assign(raw);
  }
  open_.back()->setAttribute(std::string(name), std::move(value));
}

inline bool XMLTreeBuilder::closes(std::string_view closingName) const {
  return !open_.empty() && open_.back()->name().compare(0, closingName.size(), closingName) == 0;
}

inline void XMLTreeBuilder::endElement() {
  std::unique_ptr<XMLElement> element = std::move(open_.back());
  open_.pop_back();
  if (!open_.empty()) {
    open_.back()->appendChild(std::move(element));
  } else {
    root_ = std::move(element);  // a later top-level element replaces an earlier one
  }
}

inline void XMLTreeBuilder::characterData(const char* begin, const char* end, bool references, uint32_t line) {
  std::unique_ptr<XMLData> node;
  if (references) {
    std::string text;
    decodeReferences(begin, end, true, document_.referenceReading(), text);
    node = std::make_unique<XMLData>(std::move(text));
  } else {
    node = std::make_unique<XMLData>(begin, end);
  }
  node->setLine(line);
  open_.back()->appendChild(std::move(node));
}

inline void XMLTreeBuilder::comment(const char* begin, const char* end, uint32_t line) {
  auto node = std::make_unique<XMLComment>(begin, end);
  node->setLine(line);
  open_.back()->appendChild(std::move(node));
}

inline void XMLTreeBuilder::cdataSection(const char* begin, const char* end, uint32_t line) {
  auto node = std::make_unique<XMLCDATASection>(begin, end);
  node->setLine(line);
  open_.back()->appendChild(std::move(node));
}

}  // namespace tidewater
