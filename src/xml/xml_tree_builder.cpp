#include "xml/xml_tree_builder.h"

#include "xml/xml_parser.h"

namespace tidewater {

void XMLTreeBuilder::startElement(std::string_view name, uint32_t line) {
  std::unique_ptr<XMLElement> created = document_.createElement(std::string(name));
  if (!created) created = std::make_unique<XMLElement>(std::string());
  created->setLine(line);
  open_.push_back(std::move(created));
}

void XMLTreeBuilder::attribute(std::string_view name, std::string_view raw, bool references) {
  std::string value;
  if (references) {
    decodeReferences(raw.data(), raw.data() + raw.size(), false, document_.referenceReading(), value);
  } else {
    value.assign(raw);
  }
  open_.back()->setAttribute(std::string(name), std::move(value));
}

bool XMLTreeBuilder::closes(std::string_view closingName) const {
  return !open_.empty() && open_.back()->name().compare(0, closingName.size(), closingName) == 0;
}

void XMLTreeBuilder::endElement() {
  std::unique_ptr<XMLElement> element = std::move(open_.back());
  open_.pop_back();
  if (!open_.empty()) {
    open_.back()->appendChild(std::move(element));
  } else {
    root_ = std::move(element);  // a later top-level element replaces an earlier one
  }
}

void XMLTreeBuilder::characterData(const char* begin, const char* end, bool references, uint32_t line) {
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

void XMLTreeBuilder::comment(const char* begin, const char* end, uint32_t line) {
  auto node = std::make_unique<XMLComment>(begin, end);
  node->setLine(line);
  open_.back()->appendChild(std::move(node));
}

void XMLTreeBuilder::cdataSection(const char* begin, const char* end, uint32_t line) {
  auto node = std::make_unique<XMLCDATASection>(begin, end);
  node->setLine(line);
  open_.back()->appendChild(std::move(node));
}

}  // namespace tidewater
