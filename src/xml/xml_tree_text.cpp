#include "xml/xml_tree_text.h"

namespace tidewater {

std::string elementText(const XMLElement* element) {
  std::string text;
  if (!element) return text;
  for (const XMLNode* child = element->firstChild(); child; child = child->nextSibling()) {
    if (child->kind() == XMLNode::Kind::Data) text += static_cast<const XMLData*>(child)->text();
  }
  return text;
}

XMLElement* findElement(XMLNode* first, std::string_view tag) {
  for (XMLNode* node = first; node; node = node->nextSibling()) {
    XMLElement* element = node->asElement();
    if (element && element->name() == tag) return element;
  }
  return nullptr;
}

std::string childText(const XMLElement* element, std::string_view tag) {
  if (!element) return {};
  return elementText(findElement(element->firstChild(), tag));
}

std::string childText(const XMLElement* first, const XMLElement* second, std::string_view tag) {
  std::string text = childText(first, tag);
  return text.empty() ? childText(second, tag) : text;
}

}  // namespace tidewater
