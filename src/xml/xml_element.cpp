#include "xml/xml_element.h"

#include <cassert>
#include <cstring>
#include <functional>
#include <new>

namespace tidewater {

namespace {
// Below this many attributes a linear scan beats hashing.
constexpr size_t kIndexThreshold = 16;

size_t hashName(std::string_view name) { return std::hash<std::string_view>{}(name); }

/// A string in the node pool, where the values live beside their elements.
std::string* newString(std::string text) {
  return new (xml_node_pool::allocate(sizeof(std::string))) std::string(std::move(text));
}
}  // namespace

const void* XMLValue::pointer() const {
  const void* pointer = nullptr;
  std::memcpy(&pointer, bytes_, sizeof pointer);
  return pointer;
}

void XMLValue::setPointer(const void* pointer, uint32_t size) const {
  std::memcpy(bytes_, &pointer, sizeof pointer);
  std::memcpy(bytes_ + sizeof pointer, &size, sizeof size);
}

XMLValue XMLValue::owned(std::string text) {
  XMLValue value;
  if (text.size() <= kShortSize) {
    // Most values are numbers and names: no string of their own.
    if (!text.empty()) std::memcpy(value.bytes_, text.data(), text.size());
    value.shortSize_ = static_cast<uint8_t>(text.size());
    value.state_ = State::Short;
  } else {
    value.setPointer(newString(std::move(text)), 0);
    value.state_ = State::Owned;
  }
  return value;
}

XMLValue XMLValue::viewing(std::string_view text) {
  assert(text.size() <= UINT32_MAX);
  XMLValue value;
  value.setPointer(text.data(), static_cast<uint32_t>(text.size()));
  value.state_ = State::View;
  return value;
}

std::string_view XMLValue::view() const {
  switch (state_) {
    case State::Short:
      return {bytes_, shortSize_};
    case State::Owned:
      return *static_cast<const std::string*>(pointer());
    case State::View: {
      uint32_t size = 0;
      std::memcpy(&size, bytes_ + sizeof(void*), sizeof size);
      return {static_cast<const char*>(pointer()), size};
    }
    case State::None:
      break;
  }
  return {};
}

const std::string& XMLValue::string() const {
  assert(has_value());
  if (state_ != State::Owned) {
    setPointer(newString(std::string(view())), 0);
    state_ = State::Owned;
  }
  return *static_cast<const std::string*>(pointer());
}

void XMLValue::release() {
  if (state_ == State::Owned) {
    auto* owned = static_cast<std::string*>(const_cast<void*>(pointer()));
    owned->~basic_string();
    xml_node_pool::release(owned, sizeof(std::string));
  }
  shortSize_ = 0;
  state_ = State::None;
}

XMLElement::~XMLElement() {
  if (!attributes_) return;
  for (XMLAttribute& attribute : std::span(attributes_->items(), attributes_->size)) attribute.value.release();
  dropIndex();
  xml_node_pool::release(attributes_, sizeof(AttributeBlock) + attributes_->capacity * sizeof(XMLAttribute));
}

XMLAttributeList XMLElement::attributes() const {
  if (!attributes_) return {};
  return {attributes_->items(), attributes_->size};
}

void XMLElement::reserveAttributes(size_t count) {
  const size_t capacity = attributes_ ? attributes_->capacity : 0;
  if (count <= capacity) return;
  auto* block = static_cast<AttributeBlock*>(
      xml_node_pool::allocate(sizeof(AttributeBlock) + count * sizeof(XMLAttribute)));
  block->size = 0;
  block->capacity = static_cast<uint32_t>(count);
  block->index = nullptr;
  if (attributes_) {
    // Attributes are plain data: the values move with them.
    std::memcpy(static_cast<void*>(block->items()), attributes_->items(), attributes_->size * sizeof(XMLAttribute));
    block->size = attributes_->size;
    block->index = attributes_->index;
    xml_node_pool::release(attributes_, sizeof(AttributeBlock) + capacity * sizeof(XMLAttribute));
  }
  attributes_ = block;
}

void XMLElement::dropIndex() {
  delete attributes_->index;
  attributes_->index = nullptr;
}

std::ptrdiff_t XMLElement::find(std::string_view name) const {
  if (!attributes_) return -1;
  const XMLAttributeList attributes = this->attributes();
  if (attributes.size() < kIndexThreshold) {
    for (size_t i = 0; i < attributes.size(); ++i) {
      if (attributes[i].name == name) return static_cast<std::ptrdiff_t>(i);
    }
    return -1;
  }
  std::unordered_multimap<size_t, size_t>*& index = attributes_->index;
  if (!index) {
    index = new std::unordered_multimap<size_t, size_t>();
    index->reserve(attributes.size() * 2);
    for (size_t i = 0; i < attributes.size(); ++i) index->emplace(hashName(attributes[i].name), i);
  }
  auto [first, last] = index->equal_range(hashName(name));
  for (; first != last; ++first) {
    if (attributes[first->second].name == name) return static_cast<std::ptrdiff_t>(first->second);
  }
  return -1;
}

void XMLElement::setAttribute(std::string_view name, std::optional<std::string> value) {
  const std::ptrdiff_t position = find(name);
  if (position < 0) {
    appendAttribute(name, std::move(value));
    return;
  }
  XMLValue& stored = at(position).value;
  stored.release();
  if (value) stored = XMLValue::owned(std::move(*value));
}

void XMLElement::append(XMLAttribute attribute) {
  const size_t size = attributes_ ? attributes_->size : 0;
  if (!attributes_ || size == attributes_->capacity) reserveAttributes(size < 2 ? 2 : size * 2);
  if (attributes_->index) attributes_->index->emplace(hashName(attribute.name), size);
  new (attributes_->items() + size) XMLAttribute(attribute);
  ++attributes_->size;
}

void XMLElement::appendAttribute(std::string_view name, std::optional<std::string> value) {
  assert(find(name) < 0);
  append(XMLAttribute{XMLName(internName(name)), value ? XMLValue::owned(std::move(*value)) : XMLValue()});
}

void XMLElement::appendAttributeView(const std::string& name, std::string_view value) {
  assert(find(name) < 0);
  append(XMLAttribute{XMLName(name), XMLValue::viewing(value)});
}

bool XMLElement::removeAttribute(std::string_view name) {
  const std::ptrdiff_t position = find(name);
  if (position < 0) return false;
  at(position).value.release();
  XMLAttribute* items = attributes_->items();
  std::memmove(static_cast<void*>(items + position), items + position + 1,
               (attributes_->size - static_cast<size_t>(position) - 1) * sizeof(XMLAttribute));
  --attributes_->size;
  dropIndex();
  return true;
}

bool XMLElement::hasAttribute(std::string_view name) const { return find(name) >= 0; }

const std::string* XMLElement::attribute(std::string_view name) const {
  const std::ptrdiff_t position = find(name);
  if (position < 0) return nullptr;
  const XMLValue& value = at(position).value;
  return value ? &*value : nullptr;
}

std::optional<std::string_view> XMLElement::attributeView(std::string_view name) const {
  const std::ptrdiff_t position = find(name);
  if (position < 0) return std::nullopt;
  const XMLValue& value = at(position).value;
  return value ? std::optional(value.view()) : std::nullopt;
}

}  // namespace tidewater
