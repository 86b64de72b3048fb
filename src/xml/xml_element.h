#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "xml/xml_name_table.h"
#include "xml/xml_node.h"
#include "xml/xml_node_pool.h"

namespace tidewater {

/// One attribute of an element. A value may be absent (written as "").
struct XMLAttribute {
  std::string name;
  std::optional<std::string> value;
};

/// An element's attributes in order, kept in the node pool beside the element.
using XMLAttributeList = std::vector<XMLAttribute, xml_node_pool::Allocator<XMLAttribute>>;

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
  void setAttribute(std::string name, std::optional<std::string> value);
  /// Appends an attribute the element does not have yet, without looking
  /// for it first: for code that builds new elements with distinct names.
  void appendAttribute(std::string name, std::optional<std::string> value);
  /// The same, building the texts in place.
  void appendAttribute(std::string_view name, std::string_view value);
  /// Returns whether there was such an attribute.
  bool removeAttribute(std::string_view name);
  bool hasAttribute(std::string_view name) const;
  /// The attribute's value; null when there is no such attribute or it has no value.
  const std::string* attribute(std::string_view name) const;
  const XMLAttributeList& attributes() const;
  /// Makes room for "count" attributes in all, for code that builds elements in bulk.
  void reserveAttributes(size_t count) { list().reserve(count); }

 private:
  /// The attribute list with its index. Most elements of a text-bearing
  /// document have no attributes: they keep a null pointer instead.
  struct AttributeStore {
    static void* operator new(std::size_t size) { return xml_node_pool::allocate(size); }
    static void operator delete(void* block, std::size_t size) noexcept { xml_node_pool::release(block, size); }

    XMLAttributeList list;
    // Long attribute lists get a hash index (name hash to position), built
    // on first use and dropped when an attribute is removed, so that setting
    // n distinct attributes stays linear.
    std::unique_ptr<std::unordered_multimap<size_t, size_t>> index;
  };

  /// Position of the attribute in the list, or -1.
  std::ptrdiff_t find(std::string_view name) const;
  /// The list, made on first use.
  XMLAttributeList& list();

  const std::string* name_;
  std::unique_ptr<AttributeStore> attributes_;
};

}  // namespace tidewater
