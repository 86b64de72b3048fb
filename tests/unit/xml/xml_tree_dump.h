#pragma once
// A compact one-line picture of an XML tree for test expectations:
// element   name[attr=value,flag=~](children...)   (~: attribute without value)
// data      "text"      comment  <!text>      CDATA  <[text]>
// Bytes outside printable ASCII show as \xNN.

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "xml/xml_element.h"

namespace tidewater::test {

inline std::string visibleBytes(std::string_view text) {
  std::string out;
  for (const char c : text) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
    out += c >= 0x20 && c < 0x7F ? std::string(1, c) : hex;
  }
  return out;
}

inline std::string dumpTree(const XMLNode* node) {
  if (!node) return "null";
  using Kind = XMLNode::Kind;
  if (node->kind() == Kind::Data) return "\"" + visibleBytes(static_cast<const XMLData*>(node)->text()) + "\"";
  if (node->kind() == Kind::Comment) return "<!" + visibleBytes(static_cast<const XMLComment*>(node)->text()) + ">";
  if (node->kind() == Kind::CDATASection) {
    return "<[" + visibleBytes(static_cast<const XMLCDATASection*>(node)->text()) + "]>";
  }
  const XMLElement* element = node->asElement();
  std::string out = element->name();
  for (const XMLAttribute& attribute : element->attributes()) {
    out += (&attribute == &element->attributes().front() ? "[" : ",") + attribute.name + "=" +
           (attribute.value ? visibleBytes(attribute.value.view()) : "~");
  }
  if (!element->attributes().empty()) out += ']';
  for (const XMLNode* child = element->firstChild(); child; child = child->nextSibling()) {
    out += (child == element->firstChild() ? "(" : " ") + dumpTree(child);
  }
  if (element->firstChild()) out += ')';
  return out;
}

/// An element class of its own, as description-file documents make, to see which factory made a node.
class TaggedElement : public XMLElement {
 public:
  using XMLElement::XMLElement;
};

/// Whether every element of the chain starting at "node", and below, is tagged.
inline bool allTagged(const XMLNode* node) {
  for (; node; node = node->nextSibling()) {
    if (node->isElement() && !dynamic_cast<const TaggedElement*>(node)) return false;
    if (!allTagged(node->firstChild())) return false;
  }
  return true;
}

/// "Base" whose elements are all tagged.
template <class Base>
class Tagged : public Base {
 public:
  using Base::Base;
  std::unique_ptr<XMLElement> createElement(std::string name) override {
    return std::make_unique<TaggedElement>(std::move(name));
  }
};

}  // namespace tidewater::test
