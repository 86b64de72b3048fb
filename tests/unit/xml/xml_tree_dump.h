#pragma once
// A compact one-line picture of an XML tree for test expectations:
// element   name[attr=value,flag=~](children...)   (~: attribute without value)
// data      "text"      comment  <!text>      CDATA  <[text]>
// Bytes outside printable ASCII show as \xNN.
// Also an element class of its own, to see which factory made a node.

#include <cstdio>
#include <string>

#include "xml/xml_element.h"

namespace tidewater::test {

inline std::string visibleBytes(const std::string& text) {
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F) {
      out += c;
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", byte);
      out += hex;
    }
  }
  return out;
}

inline std::string dumpTree(const XMLNode* node) {
  if (!node) return "null";
  switch (node->kind()) {
    case XMLNode::Kind::Data:
      return "\"" + visibleBytes(static_cast<const XMLData*>(node)->text()) + "\"";
    case XMLNode::Kind::Comment:
      return "<!" + visibleBytes(static_cast<const XMLComment*>(node)->text()) + ">";
    case XMLNode::Kind::CDATASection:
      return "<[" + visibleBytes(static_cast<const XMLCDATASection*>(node)->text()) + "]>";
    case XMLNode::Kind::Element:
      break;
  }
  const auto* element = node->asElement();
  std::string out = element->name();
  if (!element->attributes().empty()) {
    out += '[';
    for (const XMLAttribute& attribute : element->attributes()) {
      if (out.back() != '[') out += ',';
      out += attribute.name + "=" + (attribute.value ? visibleBytes(*attribute.value) : "~");
    }
    out += ']';
  }
  if (element->firstChild()) {
    out += '(';
    for (const XMLNode* child = element->firstChild(); child; child = child->nextSibling()) {
      if (child != element->firstChild()) out += ' ';
      out += dumpTree(child);
    }
    out += ')';
  }
  return out;
}

/// An element class of its own, as description-file documents make.
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

}  // namespace tidewater::test
