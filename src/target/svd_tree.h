#pragma once
// A register description held the way the SVD import reads it. A CMSIS-SVD
// file is tens of thousands of small elements, each holding one short text;
// the XML tree would spend two nodes and a string on every one of them, and
// hold several times the file. Here an element is one small record in a
// flat array, and its text a view into the file, which the tree keeps.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "xml/xml_source.h"

namespace tidewater {

class XMLDocument;

/// One element: its tag, its character data, and links to its first child
/// and next sibling element. Records lie in document order in one array, so
/// the first child is the next record and the next sibling a forward
/// distance. The derivedFrom attribute is kept as a first child whose tag no
/// XML element can have, so a record needs no room for attributes.
class SVDElement {
 public:
  const std::string& name() const { return *name_; }
  /// The element's own character data, its runs joined (texts of child
  /// elements, comments and CDATA sections are not part of it).
  std::string_view text() const { return {text_, textSize_ & ~kHasChildren}; }
  const SVDElement* firstChild() const { return (textSize_ & kHasChildren) != 0 ? this + 1 : nullptr; }
  const SVDElement* nextSibling() const { return nextSibling_ != 0 ? this + nextSibling_ : nullptr; }
  /// The derivedFrom attribute, the one attribute the import reads.
  std::optional<std::string_view> derivedFrom() const;

 private:
  friend class SVDTree;

  // The top bit of textSize_ says whether the element has children, which
  // keeps a record at 24 bytes; texts are shorter than 2 GiB (input limit).
  static constexpr uint32_t kHasChildren = 1u << 31;

  const std::string* name_;
  const char* text_ = "";
  uint32_t textSize_ = 0;
  uint32_t nextSibling_ = 0;
};

/// The first element named "tag" in the sibling chain that starts at
/// "first" ("first" included); null when there is none.
const SVDElement* findElement(const SVDElement* first, std::string_view tag);

/// The first element, in document order within the subtree at "top", that is
/// named "tag" and whose first child element "childTag" has the text "text".
const SVDElement* findElementWithChildText(const SVDElement* top, std::string_view tag,
                                           std::string_view childTag, std::string_view text);

/// A parsed register description: the element records, the file's text they
/// view and the texts that had to be decoded or joined.
class SVDTree {
 public:
  SVDTree();
  ~SVDTree();
  SVDTree(const SVDTree&) = delete;
  SVDTree& operator=(const SVDTree&) = delete;

  /// Reads and parses "path" with the settings of "document" (input limit,
  /// reference reading, blank text), which takes the error on failure.
  bool load(XMLDocument& document, const std::string& path);

  /// The last top-level element closed; null when none was.
  const SVDElement* root() const { return root_ == kNone ? nullptr : &elements_[root_]; }

  /// A copy of "text" that lasts as long as the tree.
  std::string_view keep(std::string_view text);

 private:
  class Builder;
  static constexpr uint32_t kNone = UINT32_MAX;

  XMLSource source_;
  std::vector<SVDElement> elements_;
  /// Room for the texts that are not in the file as they read: decoded, or
  /// joined from several runs. Blocks never move, so views stay valid.
  std::vector<std::unique_ptr<char[]>> textBlocks_;
  char* textTail_ = nullptr;
  size_t textRoom_ = 0;
  uint32_t root_ = kNone;
};

}  // namespace tidewater
