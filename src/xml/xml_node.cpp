#include "xml/xml_node.h"

#include <vector>

#include "xml/xml_element.h"
#include "xml/xml_node_pool.h"

namespace tidewater {

void* XMLNode::operator new(std::size_t size) { return xml_node_pool::allocate(size); }

void XMLNode::operator delete(void* block, std::size_t size) noexcept { xml_node_pool::release(block, size); }

// Over-aligned node classes bypass the pool.
void* XMLNode::operator new(std::size_t size, std::align_val_t alignment) {
  return ::operator new(size, alignment);
}

void XMLNode::operator delete(void* block, std::size_t, std::align_val_t alignment) noexcept {
  ::operator delete(block, alignment);
}

XMLNode::~XMLNode() {
  if (!firstChild_ && !nextSibling_) return;
  // Take the subtree and the following chain apart with an explicit stack,
  // so that no destructor ever recurses, however deep or long the tree.
  // Nodes go in document order (a node, then its subtree, then its later
  // siblings), the order a parse made them in, so the walk runs through
  // memory in one direction.
  std::vector<XMLNode*> pending;
  if (nextSibling_) pending.push_back(nextSibling_.release());
  if (firstChild_) pending.push_back(firstChild_.release());
  while (!pending.empty()) {
    XMLNode* node = pending.back();
    pending.pop_back();
    if (node->nextSibling_) pending.push_back(node->nextSibling_.release());
    if (node->firstChild_) pending.push_back(node->firstChild_.release());
    delete node;  // childless and unlinked by now, so it ends here
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
