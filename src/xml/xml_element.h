#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

#include "xml/xml_name_table.h"
#include "xml/xml_node.h"
#include "xml/xml_node_pool.h"

namespace tidewater {

/// An attribute's name: a pointer to its interned copy (xml_name_table.h),
/// so that a model of tens of thousands of attributes holds each name once.
/// Reads as the name's string.
class XMLName {
 public:
  explicit XMLName(const std::string& interned) : name_(&interned) {}

  const std::string& str() const { return *name_; }
  operator const std::string&() const { return *name_; }
  operator std::string_view() const { return *name_; }
  size_t size() const { return name_->size(); }

  friend bool operator==(const XMLName& a, const XMLName& b) { return a.name_ == b.name_; }
  friend bool operator==(const XMLName& a, std::string_view b) { return *a.name_ == b; }
  // Joined into texts as the string it stands for.
  friend std::string operator+(const XMLName& a, std::string_view b) { return a.str() + std::string(b); }
  friend std::string operator+(std::string a, const XMLName& b) { return std::move(a) + b.str(); }
  friend std::string operator+(const char* a, const XMLName& b) { return a + b.str(); }

 private:
  const std::string* name_;
};

/// An attribute's value, read like an optional string: none (written as
/// ""), a short text held in place, a string of the element's own, or a view
/// into a text that outlives the element (XMLElement::appendAttributeView),
/// which a model built from a large file uses to hold its texts without
/// copies. Reading a value as a std::string (operator*, ->,
/// XMLElement::attribute) makes it a string of the element's own, once; a
/// view() of a short text held in place is valid until then. view() itself
/// never copies. The element that holds the value frees it.
class XMLValue {
 public:
  XMLValue() = default;

  bool has_value() const { return state_ != State::None; }
  explicit operator bool() const { return has_value(); }
  const std::string& operator*() const { return string(); }
  const std::string* operator->() const { return &string(); }
  std::string value_or(std::string_view fallback) const { return std::string(has_value() ? view() : fallback); }
  /// The text; "" when there is none.
  std::string_view view() const;

  friend bool operator==(const XMLValue& a, const XMLValue& b) {
    return a.has_value() == b.has_value() && a.view() == b.view();
  }

 private:
  friend class XMLElement;
  enum class State : uint8_t { None, Short, Owned, View };
  static constexpr size_t kShortSize = 14;

  static XMLValue owned(std::string text);
  static XMLValue viewing(std::string_view text);
  const std::string& string() const;
  /// Frees an owned string; the value is none afterwards.
  void release();

  const void* pointer() const;
  void setPointer(const void* pointer, uint32_t size) const;

  // As the state says: the short text; or the owned string's address; or
  // the viewed bytes' address and their count. Mutable: a value becomes an
  // owned string when it is first read as one.
  alignas(8) mutable char bytes_[kShortSize] = {};
  mutable uint8_t shortSize_ = 0;
  mutable State state_ = State::None;
};

/// One attribute of an element, 24 bytes.
struct XMLAttribute {
  XMLName name;
  XMLValue value;
};

static_assert(sizeof(XMLAttribute) == 24);

/// An element's attributes in order, kept in the node pool beside the
/// element. Valid until the element's attributes change.
using XMLAttributeList = std::span<const XMLAttribute>;

/// An element: a tag name and an ordered list of attributes with unique
/// names. Setting an existing attribute replaces its value in place, so the
/// list keeps insertion order. Document classes derive their own elements
/// from this one through XMLDocument::createElement.
class XMLElement : public XMLNode {
 public:
  explicit XMLElement(std::string_view name) : XMLNode(Kind::Element), name_(&internName(name)) {}
  ~XMLElement() override;

  virtual void setName(std::string name) { name_ = &internName(name); }
  const std::string& name() const { return *name_; }

  /// Replaces the value of an existing attribute, or appends a new one.
  void setAttribute(std::string_view name, std::optional<std::string> value);
  /// Appends an attribute the element does not have yet, without looking
  /// for it first: for code that builds new elements with distinct names.
  void appendAttribute(std::string_view name, std::optional<std::string> value);
  /// The same with a value that is not copied: "value" must outlive the
  /// element (a text its document keeps). "name" is an interned name.
  void appendAttributeView(const std::string& name, std::string_view value);
  /// Returns whether there was such an attribute.
  bool removeAttribute(std::string_view name);
  bool hasAttribute(std::string_view name) const;
  /// The attribute's value; null when there is no such attribute or it has
  /// no value. Valid until the attribute is set again or removed.
  const std::string* attribute(std::string_view name) const;
  /// The same as a view, which leaves the value as it is held: for readers
  /// that go over a large model once.
  std::optional<std::string_view> attributeView(std::string_view name) const;
  XMLAttributeList attributes() const;
  /// Makes room for "count" attributes in all, for code that builds elements in bulk.
  void reserveAttributes(size_t count);

 private:
  /// The attributes of an element that has some: one pool block of this
  /// header and room for "capacity" attributes after it. Most elements of a
  /// text-bearing document have none and keep a null pointer.
  struct AttributeBlock {
    uint32_t size;
    uint32_t capacity;
    // Long attribute lists get a hash index (name hash to position), built
    // on first use and dropped when an attribute is removed, so that setting
    // n distinct attributes stays linear.
    std::unordered_multimap<size_t, size_t>* index;

    XMLAttribute* items() { return reinterpret_cast<XMLAttribute*>(this + 1); }
    const XMLAttribute* items() const { return reinterpret_cast<const XMLAttribute*>(this + 1); }
  };

  /// Position of the attribute in the list, or -1.
  std::ptrdiff_t find(std::string_view name) const;
  XMLAttribute& at(std::ptrdiff_t position) const { return attributes_->items()[position]; }
  void append(XMLAttribute attribute);
  /// Drops the index of a long list (it is rebuilt on the next lookup).
  void dropIndex();

  const std::string* name_;
  AttributeBlock* attributes_ = nullptr;
};

}  // namespace tidewater
