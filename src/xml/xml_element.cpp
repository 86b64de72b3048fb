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

std::ptrdiff_t XMLElement::find(std::string_view name) const {
  if (attributes_.size() < kIndexThreshold) {
    for (size_t i = 0; i < attributes_.size(); ++i) {
      if (attributes_[i].name == name) return static_cast<std::ptrdiff_t>(i);
    }
    return -1;
  }
  if (!index_) {
    index_ = std::make_unique<std::unordered_multimap<size_t, size_t>>();
    index_->reserve(attributes_.size() * 2);
    for (size_t i = 0; i < attributes_.size(); ++i) index_->emplace(hashName(attributes_[i].name), i);
  }
  auto [first, last] = index_->equal_range(hashName(name));
  for (; first != last; ++first) {
    if (attributes_[first->second].name == name) return static_cast<std::ptrdiff_t>(first->second);
  }
  return -1;
}

void XMLElement::setAttribute(std::string name, std::optional<std::string> value) {
  const std::ptrdiff_t position = find(name);
  if (position >= 0) {
    attributes_[static_cast<size_t>(position)].value = std::move(value);
    return;
  }
  appendAttribute(std::move(name), std::move(value));
}

void XMLElement::appendAttribute(std::string name, std::optional<std::string> value) {
  assert(find(name) < 0);
  if (index_) index_->emplace(hashName(name), attributes_.size());
  attributes_.push_back(XMLAttribute{std::move(name), std::move(value)});
}

void XMLElement::appendAttribute(std::string_view name, std::string_view value) {
  assert(find(name) < 0);
  if (index_) index_->emplace(hashName(name), attributes_.size());
  XMLAttribute& attribute = attributes_.emplace_back();
  attribute.name.assign(name);
  attribute.value.emplace(value);
}

bool XMLElement::removeAttribute(std::string_view name) {
  const std::ptrdiff_t position = find(name);
  if (position < 0) return false;
  attributes_.erase(attributes_.begin() + position);
  index_.reset();
  return true;
}

bool XMLElement::hasAttribute(std::string_view name) const { return find(name) >= 0; }

const std::string* XMLElement::attribute(std::string_view name) const {
  const std::ptrdiff_t position = find(name);
  if (position < 0) return nullptr;
  const std::optional<std::string>& value = attributes_[static_cast<size_t>(position)].value;
  return value ? &*value : nullptr;
}

}  // namespace tidewater
