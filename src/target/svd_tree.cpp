#include "target/svd_tree.h"

#include <algorithm>
#include <cstring>

#include "xml/xml_document.h"
#include "xml/xml_name_table.h"
#include "xml/xml_parse_sink.h"
#include "xml/xml_parser.h"

namespace tidewater {

namespace {

// "=" cannot appear in a tag, so no element of the file is taken for it.
const std::string& derivedFromTag() {
  static const std::string& tag = internName("derivedFrom=");
  return tag;
}

constexpr size_t kTextBlockSize = 16 * 1024;

}  // namespace

std::optional<std::string_view> SVDElement::derivedFrom() const {
  const SVDElement* first = firstChild();
  if (!first || first->name_ != &derivedFromTag()) return std::nullopt;
  return first->text();
}

const SVDElement* findElement(const SVDElement* first, std::string_view tag) {
  for (const SVDElement* element = first; element; element = element->nextSibling()) {
    if (element->name() == tag) return element;
  }
  return nullptr;
}

const SVDElement* findElementWithChildText(const SVDElement* top, std::string_view tag,
                                           std::string_view childTag, std::string_view text) {
  if (!top) return nullptr;
  // Pre-order walk with an explicit stack: a popped element's next sibling
  // is pushed below its first child, so the child's subtree comes first.
  std::vector<const SVDElement*> pending{top};
  while (!pending.empty()) {
    const SVDElement* element = pending.back();
    pending.pop_back();
    if (element->name() == tag) {
      const SVDElement* child = findElement(element->firstChild(), childTag);
      if (child ? child->text() == text : text.empty()) return element;
    }
    if (element != top && element->nextSibling()) pending.push_back(element->nextSibling());
    if (element->firstChild()) pending.push_back(element->firstChild());
  }
  return nullptr;
}

/// Fills the tree from the parse. Each open element keeps its last child,
/// to link the next one to, and, once its text takes more than one plain
/// run, the text joined so far.
class SVDTree::Builder final : public XMLParseSink {
 public:
  Builder(SVDTree& tree, ReferenceReading reading) : tree_(tree), reading_(reading) {}

  void startElement(std::string_view name, uint32_t) override {
    open_.push_back({add(internName(name)), kNone, {}, false});
  }

  void attribute(std::string_view name, std::string_view raw, bool references) override {
    if (name != "derivedFrom") return;
    std::string_view value = raw;
    if (references) {
      std::string decoded;
      decodeReferences(raw.data(), raw.data() + raw.size(), false, reading_, decoded);
      value = tree_.keep(decoded);
    }
    // A repeated attribute replaces the value, as in the XML tree.
    const uint32_t element = open_.back().index;
    const SVDElement* existing = tree_.elements_[element].firstChild();
    const uint32_t record = existing ? element + 1 : add(derivedFromTag());
    setText(tree_.elements_[record], value);
  }

  bool closes(std::string_view closingName) const override {
    return !open_.empty() &&
           tree_.elements_[open_.back().index].name().compare(0, closingName.size(), closingName) == 0;
  }

  void endElement() override {
    Open& element = open_.back();
    if (element.joined) {
      setText(tree_.elements_[element.index], tree_.keep(element.text));
    }
    const uint32_t index = element.index;
    open_.pop_back();
    if (open_.empty()) tree_.root_ = index;  // a later top-level element replaces an earlier one
  }

  bool isOpen() const override { return !open_.empty(); }

  void characterData(const char* begin, const char* end, bool references, uint32_t) override {
    Open& open = open_.back();
    SVDElement& element = tree_.elements_[open.index];
    if (!open.joined && !references && !open.hasText) {
      // Nearly every text is one plain run: viewed where it stands.
      setText(element, std::string_view(begin, static_cast<size_t>(end - begin)));
      open.hasText = true;
      return;
    }
    if (!open.joined) {
      open.text.assign(element.text());
      open.joined = true;
    }
    if (references) {
      decodeReferences(begin, end, true, reading_, open.text);
    } else {
      open.text.append(begin, end);
    }
  }

  void comment(const char*, const char*, uint32_t) override {}
  void cdataSection(const char*, const char*, uint32_t) override {}

 private:
  struct Open {
    uint32_t index;
    uint32_t lastChild;
    std::string text;
    bool joined;
    bool hasText = false;
  };

  static void setText(SVDElement& element, std::string_view text) {
    // Longer texts are cut; only a file past the input limit could hold one.
    const auto size = static_cast<uint32_t>(std::min<size_t>(text.size(), SVDElement::kHasChildren - 1));
    element.text_ = text.data();
    element.textSize_ = (element.textSize_ & SVDElement::kHasChildren) | size;
  }

  /// Appends a record as the last child of the open element (or at the top).
  uint32_t add(const std::string& name) {
    const auto index = static_cast<uint32_t>(tree_.elements_.size());
    SVDElement& element = tree_.elements_.emplace_back();
    element.name_ = &name;
    if (!open_.empty()) {
      Open& parent = open_.back();
      if (parent.lastChild == kNone) {
        tree_.elements_[parent.index].textSize_ |= SVDElement::kHasChildren;
      } else {
        tree_.elements_[parent.lastChild].nextSibling_ = index - parent.lastChild;
      }
      parent.lastChild = index;
    }
    return index;
  }

  SVDTree& tree_;
  ReferenceReading reading_;
  std::vector<Open> open_;
};

SVDTree::SVDTree() = default;
SVDTree::~SVDTree() = default;

std::string_view SVDTree::keep(std::string_view text) {
  if (text.size() > textRoom_) {
    const size_t size = std::max(kTextBlockSize, text.size());
    textBlocks_.push_back(std::make_unique_for_overwrite<char[]>(size));
    textTail_ = textBlocks_.back().get();
    textRoom_ = size;
  }
  if (!text.empty()) std::memcpy(textTail_, text.data(), text.size());
  const std::string_view kept(textTail_, text.size());
  textTail_ += text.size();
  textRoom_ -= text.size();
  return kept;
}

bool SVDTree::load(XMLDocument& document, const std::string& path) {
  elements_.clear();
  root_ = kNone;
  if (!document.read(path, source_)) return false;
  // One record per start tag, and start tags are fewer than "<" bytes:
  // room made once, of which only the pages used become resident.
  const char* text = source_.text();
  size_t openings = 0;
  for (const char* at = std::strchr(text, '<'); at; at = std::strchr(at + 1, '<')) ++openings;
  elements_.reserve(openings + 1);
  Builder builder(*this, document.referenceReading());
  return document.parse(text, builder);
}

}  // namespace tidewater
