#include "xml/xml_element.h"

#include <cassert>
#include <functional>

namespace tidewater {

namespace {
// Below this many attributes a linear scan beats hashing.
constexpr size_t kIndexThreshold = 16;

size_t hashName(std::string_view name) { return std::hash<std::string_view>{}(name); }
}  // namespace

XMLElement::~XMLElement() = default;

const XMLAttributeList& XMLElement::attributes() const {
  static const XMLAttributeList kNone;
  return attributes_ ? attributes_->list : kNone;
}

XMLAttributeList& XMLElement::list() {
  if (!attributes_) attributes_ = std::make_unique<AttributeStore>();
  return attributes_->list;
}

std::ptrdiff_t XMLElement::find(std::string_view name) const {
  if (!attributes_) return -1;
  const XMLAttributeList& attributes = attributes_->list;
  if (attributes.size() < kIndexThreshold) {
    for (size_t i = 0; i < attributes.size(); ++i) {
      if (attributes[i].name == name) return static_cast<std::ptrdiff_t>(i);
    }
    return -1;
  }
  std::unique_ptr<std::unordered_multimap<size_t, size_t>>& index = attributes_->index;
  if (!index) {
    index = std::make_unique<std::unordered_multimap<size_t, size_t>>();
    index->reserve(attributes.size() * 2);
    for (size_t i = 0; i < attributes.size(); ++i) index->emplace(hashName(attributes[i].name), i);
  }
  auto [first, last] = index->equal_range(hashName(name));
  for (; first != last; ++first) {
    if (attributes[first->second].name == name) return static_cast<std::ptrdiff_t>(first->second);
  }
  return -1;
}

void XMLElement::setAttribute(std::string name, std::optional<std::string> value) {
  const std::ptrdiff_t position = find(name);
  if (position >= 0) {
    attributes_->list[static_cast<size_t>(position)].value = std::move(value);
    return;
  }
  appendAttribute(std::move(name), std::move(value));
}

void XMLElement::appendAttribute(std::string name, std::optional<std::string> value) {
  assert(find(name) < 0);
  XMLAttributeList& attributes = list();
  if (attributes_->index) attributes_->index->emplace(hashName(name), attributes.size());
  attributes.push_back(XMLAttribute{std::move(name), std::move(value)});
}

void XMLElement::appendAttribute(std::string_view name, std::string_view value) {
  assert(find(name) < 0);
  XMLAttributeList& attributes = list();
  if (attributes_->index) attributes_->index->emplace(hashName(name), attributes.size());
  XMLAttribute& attribute = attributes.emplace_back();
  attribute.name.assign(name);
  attribute.value.emplace(value);
}

bool XMLElement::removeAttribute(std::string_view name) {
  const std::ptrdiff_t position = find(name);
  if (position < 0) return false;
  attributes_->list.erase(attributes_->list.begin() + position);
  attributes_->index.reset();
  return true;
}

bool XMLElement::hasAttribute(std::string_view name) const { return find(name) >= 0; }

const std::string* XMLElement::attribute(std::string_view name) const {
  const std::ptrdiff_t position = find(name);
  if (position < 0) return nullptr;
  const std::optional<std::string>& value = attributes_->list[static_cast<size_t>(position)].value;
  return value ? &*value : nullptr;
}

}  // namespace tidewater
