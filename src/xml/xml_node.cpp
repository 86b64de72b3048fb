#include "xml/xml_node.h"

#include <vector>

#include "xml/xml_element.h"

namespace tidewater {

XMLNode::~XMLNode() {
  if (!firstChild_ && !nextSibling_) return;
  // Take the subtree and the following chain apart with an explicit stack:
  // each node is destroyed only after its own links were moved out, so no
  // destructor ever recurses, however deep or long the tree.
  std::vector<std::unique_ptr<XMLNode>> pending;
  if (firstChild_) pending.push_back(std::move(firstChild_));
  if (nextSibling_) pending.push_back(std::move(nextSibling_));
  while (!pending.empty()) {
    std::unique_ptr<XMLNode> node = std::move(pending.back());
    pending.pop_back();
    if (node->firstChild_) pending.push_back(std::move(node->firstChild_));
    if (node->nextSibling_) pending.push_back(std::move(node->nextSibling_));
  }
}

XMLElement* XMLNode::asElement() { return isElement() ? static_cast<XMLElement*>(this) : nullptr; }

const XMLElement* XMLNode::asElement() const {
  return isElement() ? static_cast<const XMLElement*>(this) : nullptr;
}

XMLElement* XMLNode::firstChildElement() const {
  XMLNode* node = firstChild();
  while (node && !node->isElement()) node = node->nextSibling();
  return node ? node->asElement() : nullptr;
}

XMLElement* XMLNode::nextSiblingElement() const {
  XMLNode* node = nextSibling();
  while (node && !node->isElement()) node = node->nextSibling();
  return node ? node->asElement() : nullptr;
}

XMLNode* XMLNode::adopt(XMLNode* chain) {
  XMLNode* tail = chain;
  for (;;) {
    tail->parent_ = this;
    if (!tail->nextSibling_) return tail;
    tail = tail->nextSibling_.get();
  }
}

void XMLNode::appendChild(std::unique_ptr<XMLNode> chain) {
  if (!chain) return;
  XMLNode* tail = adopt(chain.get());
  if (lastChild_) {
    lastChild_->nextSibling_ = std::move(chain);
  } else {
    firstChild_ = std::move(chain);
  }
  lastChild_ = tail;
}

XMLNode* XMLNode::prependChild(std::unique_ptr<XMLNode> chain) {
  XMLNode* previous = firstChild_.get();
  if (!chain) return previous;
  XMLNode* tail = adopt(chain.get());
  tail->nextSibling_ = std::move(firstChild_);
  firstChild_ = std::move(chain);
  if (!lastChild_) lastChild_ = tail;
  return previous;
}

std::unique_ptr<XMLNode> XMLNode::removeChild(XMLNode* child) {
  if (!child) return nullptr;
  std::unique_ptr<XMLNode>* link = &firstChild_;
  XMLNode* previous = nullptr;
  while (*link && link->get() != child) {
    previous = link->get();
    link = &previous->nextSibling_;
  }
  if (!*link) return nullptr;
  std::unique_ptr<XMLNode> removed = std::move(*link);
  *link = std::move(removed->nextSibling_);
  if (lastChild_ == child) lastChild_ = previous;
  return removed;
}

std::unique_ptr<XMLNode> XMLNode::replaceChild(XMLNode* oldChild, std::unique_ptr<XMLNode> replacement) {
  if (!replacement) return XMLNode::removeChild(oldChild);
  std::unique_ptr<XMLNode>* link = &firstChild_;
  while (*link && link->get() != oldChild) link = &(*link)->nextSibling_;
  if (!*link || !oldChild) return replacement;
  XMLNode* tail = adopt(replacement.get());
  std::unique_ptr<XMLNode> removed = std::move(*link);
  tail->nextSibling_ = std::move(removed->nextSibling_);
  *link = std::move(replacement);
  if (lastChild_ == oldChild) lastChild_ = tail;
  return removed;
}

void XMLNode::insertAfter(XMLNode* ref, std::unique_ptr<XMLNode> chain) {
  if (!chain) return;
  if (!ref) {
    XMLNode::prependChild(std::move(chain));
    return;
  }
  XMLNode* tail = adopt(chain.get());
  tail->nextSibling_ = std::move(ref->nextSibling_);
  ref->nextSibling_ = std::move(chain);
  if (lastChild_ == ref) lastChild_ = tail;
}

std::unique_ptr<XMLNode> XMLNode::takeChildren() {
  lastChild_ = nullptr;
  return std::move(firstChild_);
}

}  // namespace tidewater
