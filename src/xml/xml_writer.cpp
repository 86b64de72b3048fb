#include "xml/xml_writer.h"

#include <algorithm>
#include <bit>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "xml/xml_char_class.h"
#include "xml/unicode_text.h"
#include "xml/xml_document.h"

namespace tidewater {

namespace {
// The buffer goes to the file whenever it grows past this.
constexpr size_t kChunkSize = 64 * 1024;

/// The end of the run of verbatim bytes that starts at "p". Attribute values
/// and texts are mostly long plain runs: sixteen bytes a step where the
/// machine has SSE2, then the class table for the tail.
const char* verbatimRunEnd(const char* p, const char* end) {
#if defined(__SSE2__)
  const __m128i space = _mm_set1_epi8(' ');
  const __m128i del = _mm_set1_epi8(0x7f);
  const __m128i quote = _mm_set1_epi8('"');
  const __m128i ampersand = _mm_set1_epi8('&');
  const __m128i less = _mm_set1_epi8('<');
  const __m128i greater = _mm_set1_epi8('>');
  while (end - p >= 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    // Signed comparison: bytes from 0x80 up count as below the space too.
    __m128i escaped = _mm_or_si128(_mm_cmplt_epi8(bytes, space), _mm_cmpeq_epi8(bytes, del));
    escaped = _mm_or_si128(escaped, _mm_or_si128(_mm_cmpeq_epi8(bytes, quote),
                                                 _mm_cmpeq_epi8(bytes, ampersand)));
    escaped = _mm_or_si128(escaped, _mm_or_si128(_mm_cmpeq_epi8(bytes, less),
                                                 _mm_cmpeq_epi8(bytes, greater)));
    const auto bits = static_cast<unsigned>(_mm_movemask_epi8(escaped));
    if (bits != 0) return p + std::countr_zero(bits);
    p += 16;
  }
#endif
  while (p < end && xml_char::is(*p, xml_char::kVerbatim)) ++p;
  return p;
}
}  // namespace

void XMLWriter::appendEscaped(std::string& out, std::string_view text, Characters characters) {
  static constexpr char kHex[] = "0123456789abcdef";
  const auto reference = [&out](uint32_t value) {
    out += "&#x";
    char digits[8];
    size_t count = 0;
    do {
      digits[count++] = kHex[value & 15];
      value >>= 4;
    } while (value != 0);
    while (count != 0) out += digits[--count];
    out += ';';
  };
  const char* p = text.data();
  const char* end = p + text.size();
  while (p < end) {
    const char* run = p;
    p = verbatimRunEnd(p, end);
    out.append(run, p);
    if (p == end) break;
    const auto byte = static_cast<unsigned char>(*p);
    switch (byte) {
      case '"': out += "&quot;"; ++p; continue;
      case '&': out += "&amp;"; ++p; continue;
      case '<': out += "&lt;"; ++p; continue;
      case '>': out += "&gt;"; ++p; continue;
      default: break;
    }
    if (characters == Characters::Bytes) {
      reference(byte);
      ++p;
      continue;
    }
    uint32_t codePoint = byte;
    const size_t length = decodeUTF8(p, end, codePoint);
    p += length == 0 ? 1 : length;
    if (length == 0) codePoint = byte;  // not UTF-8: the byte as Latin-1
    reference(isXMLCharacter(codePoint) ? codePoint : kReplacementCharacter);
  }
}

void XMLWriter::writeName(std::string_view name) {
  if (characters_ == Characters::Bytes) {
    out_ += name;
    return;
  }
  // The parser's names may start with a digit, "-" or ":" and may hold
  // colons, which a namespace-aware reader takes for an undeclared prefix.
  const auto fits = [](char c) { return xml_char::is(c, xml_char::kPlainName); };
  const bool goodStart = !name.empty() && xml_char::is(name[0], xml_char::kNameStart) && name[0] != '-' &&
                         name[0] != ':';
  if (goodStart && std::all_of(name.begin() + 1, name.end(), fits)) {
    out_ += name;
    return;
  }
  if (!goodStart) out_ += '_';
  for (const char c : name) out_ += fits(c) ? c : '_';
}

void XMLWriter::writeComment(std::string_view text) {
  out_ += "<!--";
  if (characters_ == Characters::Bytes) {
    out_ += text;
  } else {
    // A comment holds no references: what XML forbids in it, a byte that is
    // not printable ASCII and "--", becomes "?".
    for (size_t i = 0; i < text.size(); ++i) {
      const char c = text[i];
      const bool dash = c == '-' && (i + 1 == text.size() || text[i + 1] == '-');
      out_ += (c >= ' ' && c <= '~' && !dash) || c == '\n' || c == '\t' ? c : '?';
    }
  }
  out_ += "-->";
}

void XMLWriter::setComputedAttributes(ComputedAttributes computed) {
  computed_ = computed;
  computedValues_.assign(computed.names.size(), std::string());
  computedStored_.assign(computed.names.size(), false);
}

void XMLWriter::writeDocument(const XMLDocument& document) {
  if (characters_ == Characters::Unicode) {
    // The output is ASCII, readable as any encoding the file might have named.
    if (document.version() || document.encoding()) out_ += "<?xml  version=\"1.0\" ?>\n";
    if (document.doctype()) {
      out_ += "<!DOCTYPE ";
      writeName(*document.doctype());
      out_ += ">\n";
    }
    if (document.root()) writeTree(*document.root());
    return;
  }
  if (document.version() || document.encoding()) {
    // The declaration has two spaces between "xml" and its first pseudo-attribute.
    out_ += "<?xml ";
    if (document.version()) out_.append(" version=\"").append(*document.version()) += '"';
    if (document.encoding()) out_.append(" encoding=\"").append(*document.encoding()) += '"';
    out_ += " ?>\n";
  }
  if (document.doctype()) out_.append("<!DOCTYPE ").append(*document.doctype()) += ">\n";
  if (document.root()) writeTree(*document.root());
}

bool XMLWriter::finish() {
  if (file_ && !out_.empty()) {
    if (std::fwrite(out_.data(), 1, out_.size(), file_) != out_.size()) failed_ = true;
    out_.clear();
  }
  if (file_ && std::fflush(file_) != 0) failed_ = true;
  return !failed_;
}

void XMLWriter::flushIfLarge() {
  if (file_ && out_.size() >= kChunkSize) {
    if (std::fwrite(out_.data(), 1, out_.size(), file_) != out_.size()) failed_ = true;
    out_.clear();
  }
}

void XMLWriter::indentTo(uint32_t depth) {
  // Indentation that grows with the depth makes the text quadratic in it;
  // past this depth a reader gains nothing from more of it.
  constexpr uint32_t kDeepestIndent = 64;
  if (characters_ == Characters::Unicode) depth = std::min(depth, kDeepestIndent);
  out_.append(static_cast<size_t>(indent_) * depth, ' ');
}

void XMLWriter::newline() {
  if (indent_ != 0) out_ += '\n';
}

void XMLWriter::writeTree(const XMLElement& root) {
  // "open" holds the elements whose children are being written; the depth of
  // a node is the stack's size.
  std::vector<const XMLElement*> open;
  const XMLNode* node = &root;
  for (;;) {
    const auto depth = static_cast<uint32_t>(open.size());
    indentTo(depth);
    if (const XMLElement* element = node->asElement()) {
      const bool hasAttributes = writeStartTag(*element, depth);
      const XMLNode* first = element->firstChild();
      if (!first) {
        out_ += hasAttributes ? " />" : "/>";
        newline();
      } else if (first->kind() == XMLNode::Kind::Data) {
        // Text as first child: the element is written on one line with
        // that text only, and its other children are left out.
        out_ += '>';
        appendEscaped(out_, static_cast<const XMLData*>(first)->text(), characters_);
        writeEndTag(*element);
      } else {
        out_ += '>';
        newline();
        open.push_back(element);
        node = first;
        continue;
      }
    } else {
      writeLeaf(*node);
    }
    flushIfLarge();

    // Next: the following sibling, or close the enclosing elements.
    for (;;) {
      if (open.empty()) return;
      if (node->nextSibling()) {
        node = node->nextSibling();
        break;
      }
      const XMLElement* parent = open.back();
      open.pop_back();
      indentTo(static_cast<uint32_t>(open.size()));
      writeEndTag(*parent);
      node = parent;
    }
  }
}

bool XMLWriter::writeStartTag(const XMLElement& element, uint32_t depth) {
  out_ += '<';
  writeName(element.name());
  const bool computed = computed_.compute && computed_.compute(element, computedValues_);
  if (computed) {
    computedStored_.assign(computedStored_.size(), false);
    for (const XMLAttribute& attribute : element.attributes()) {
      for (size_t i = 0; i < computedStored_.size(); ++i) {
        if (computed_.names[i] == attribute.name) computedStored_[i] = true;
      }
    }
  }
  const bool wrap = wraps(element, depth, computed);
  for (const XMLAttribute& attribute : element.attributes()) {
    const std::string* value = computed ? computedValue(attribute.name) : nullptr;
    if (value) {
      writeAttribute(attribute.name, *value, wrap, depth);
    } else {
      writeAttribute(attribute.name, attribute.value ? std::optional(attribute.value.view()) : std::nullopt, wrap, depth);
    }
  }
  if (!computed) return !element.attributes().empty();
  for (size_t i = 0; i < computedValues_.size(); ++i) {
    if (!computedStored_[i]) writeAttribute(computed_.names[i], computedValues_[i], wrap, depth);
  }
  return true;
}

bool XMLWriter::wraps(const XMLElement& element, uint32_t depth, bool computed) const {
  if (lineWidth_ == 0) return false;
  const XMLAttributeList attributes = element.attributes();
  size_t count = attributes.size();
  uint64_t length = uint64_t{indent_} * depth + element.name().size() + 1;
  for (const XMLAttribute& attribute : attributes) {
    const std::string* value = computed ? computedValue(attribute.name) : nullptr;
    length += attribute.name.size() + (value ? value->size() : attribute.value.view().size()) + 4;
  }
  for (size_t i = 0; computed && i < computedValues_.size(); ++i) {
    if (computedStored_[i]) continue;
    ++count;
    length += computed_.names[i].size() + computedValues_[i].size() + 4;
  }
  return count > 1 && length > lineWidth_;
}

const std::string* XMLWriter::computedValue(std::string_view name) const {
  for (size_t i = 0; i < computedValues_.size(); ++i) {
    if (computed_.names[i] == name) return &computedValues_[i];
  }
  return nullptr;
}

void XMLWriter::writeAttribute(std::string_view name, std::optional<std::string_view> value, bool wrap,
                               uint32_t depth) {
  if (!value) {
    out_ += ' ';
    writeName(name);
    out_ += "=\"\"";
    return;
  }
  if (wrap) {
    out_ += '\n';
    indentTo(depth + 1);
  } else {
    out_ += ' ';
  }
  writeName(name);
  out_ += "=\"";
  appendEscaped(out_, *value, characters_);
  out_ += '"';
}

void XMLWriter::writeEndTag(const XMLElement& element) {
  out_ += "</";
  writeName(element.name());
  out_ += '>';
  newline();
}

void XMLWriter::writeLeaf(const XMLNode& node) {
  switch (node.kind()) {
    case XMLNode::Kind::Data:
      appendEscaped(out_, static_cast<const XMLData&>(node).text(), characters_);
      break;
    case XMLNode::Kind::Comment:
      writeComment(static_cast<const XMLComment&>(node).text());
      break;
    case XMLNode::Kind::CDATASection:
      // Its bytes can be anything; as escaped text a reader gets the same characters.
      if (characters_ == Characters::Unicode) {
        appendEscaped(out_, static_cast<const XMLCDATASection&>(node).text(), characters_);
        break;
      }
      out_.append("<![CDATA[").append(static_cast<const XMLCDATASection&>(node).text()) += "]]>";
      break;
    case XMLNode::Kind::Element:
      break;
  }
}

}  // namespace tidewater
