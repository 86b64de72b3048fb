#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <string>

namespace tidewater {

class XMLElement;

/// One node of an XML tree: an element, or a data, comment or CDATA node.
/// A node owns its child list: the first child through firstChild and every
/// further child through its predecessor's nextSibling, so a node that owns a
/// chain destroys the whole chain (iteratively, so depth never matters).
/// parent and lastChild are non-owning links kept by the list operations.
class XMLNode {
 public:
  enum class Kind : uint8_t { Element, Data, Comment, CDATASection };

  virtual ~XMLNode();
  XMLNode(const XMLNode&) = delete;
  XMLNode& operator=(const XMLNode&) = delete;

  // Every node, of whatever derived class, lives in the node pool
  // (xml_node_pool.h); the virtual destructor hands back the dynamic size.
  static void* operator new(std::size_t size);
  static void operator delete(void* block, std::size_t size) noexcept;
  static void* operator new(std::size_t size, std::align_val_t alignment);
  static void operator delete(void* block, std::size_t size, std::align_val_t alignment) noexcept;

  Kind kind() const { return kind_; }
  bool isElement() const { return kind_ == Kind::Element; }
  XMLElement* asElement();
  const XMLElement* asElement() const;

  XMLNode* parent() const { return parent_; }
  XMLNode* nextSibling() const { return nextSibling_.get(); }
  XMLNode* firstChild() const { return firstChild_.get(); }
  XMLNode* lastChild() const { return lastChild_; }
  /// The first element among the children, and the next element after this
  /// node among its siblings (other node kinds are stepped over).
  XMLElement* firstChildElement() const;
  XMLElement* nextSiblingElement() const;

  /// Line (from 0) at which the parser met the node's start; 0 when made in code.
  uint32_t line() const { return line_; }
  void setLine(uint32_t line) { line_ = line; }

  // The list operations below take a chain: a node together with the
  // siblings it owns through nextSibling (usually just one node). Every node
  // of a chain that is linked in gets this node as its parent.

  /// Links the chain at the end of the child list.
  void appendChild(std::unique_ptr<XMLNode> chain);
  /// Links the chain at the front; returns the previous first child.
  XMLNode* prependChild(std::unique_ptr<XMLNode> chain);
  /// Unlinks a child and hands it back; its parent link is left as it was
  /// (its next-sibling link is cleared, as the list owned the rest).
  /// Returns null when "child" is not in this node's child list.
  std::unique_ptr<XMLNode> removeChild(XMLNode* child);
  /// Puts "replacement" in oldChild's place (taking its parent and next
  /// sibling) and returns the node left out: oldChild, whose parent link is
  /// left as it was, or "replacement" itself when oldChild is not a child.
  std::unique_ptr<XMLNode> replaceChild(XMLNode* oldChild, std::unique_ptr<XMLNode> replacement);
  /// Splices the chain in after "ref", which must be a child of this node;
  /// with a null "ref" the chain goes to the front (it becomes the child
  /// list when there is none).
  void insertAfter(XMLNode* ref, std::unique_ptr<XMLNode> chain);
  /// Detaches the whole child list and returns it as one chain. The
  /// detached nodes keep their parent links until they are linked again.
  std::unique_ptr<XMLNode> takeChildren();

 protected:
  explicit XMLNode(Kind kind) : kind_(kind) {}

 private:
  /// Makes this node the parent of every node of "chain"; returns its last node.
  XMLNode* adopt(XMLNode* chain);

  std::unique_ptr<XMLNode> firstChild_;
  std::unique_ptr<XMLNode> nextSibling_;
  XMLNode* lastChild_ = nullptr;
  XMLNode* parent_ = nullptr;
  uint32_t line_ = 0;
  Kind kind_;
};

/// Character data: text between tags, after reference decoding. May hold any
/// byte, NUL included.
class XMLData : public XMLNode {
 public:
  explicit XMLData(std::string text = {}) : XMLNode(Kind::Data), text_(std::move(text)) {}
  /// Takes the text [begin, end) straight into the node.
  XMLData(const char* begin, const char* end) : XMLNode(Kind::Data), text_(begin, end) {}
  void setText(std::string text) { text_ = std::move(text); }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

/// The text between "<!--" and "-->", unescaped.
class XMLComment : public XMLNode {
 public:
  explicit XMLComment(std::string text = {}) : XMLNode(Kind::Comment), text_(std::move(text)) {}
  /// Takes the text [begin, end) straight into the node.
  XMLComment(const char* begin, const char* end) : XMLNode(Kind::Comment), text_(begin, end) {}
  void setText(std::string text) { text_ = std::move(text); }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

/// The raw content of a CDATA section.
class XMLCDATASection : public XMLNode {
 public:
  explicit XMLCDATASection(std::string text = {}) : XMLNode(Kind::CDATASection), text_(std::move(text)) {}
  /// Takes the text [begin, end) straight into the node.
  XMLCDATASection(const char* begin, const char* end) : XMLNode(Kind::CDATASection), text_(begin, end) {}
  void setText(std::string text) { text_ = std::move(text); }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

}  // namespace tidewater
