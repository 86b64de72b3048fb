// Feeds arbitrary bytes to the XML parser, with and without keepText, and
// checks the writer and the parser against each other.
//
// Property: when the first parse succeeds, its written text W1 parses again
// and writes back as exactly W1 (for indent 0 and for indent 2 with a line
// width taken from the input), and a clone of the tree writes as W1 too.
// With keepText clear the second tree must even equal the first node for
// node: such trees hold only elements and CDATA sections, whose names,
// attribute values and raw content the writer preserves.
//
// The parsed tree itself does not survive a round trip when keepText is set,
// which is why the check is on the written text there:
// - an element with children always starts with a data node (the run right
//   after its start tag, empty or not), and an element whose first child is
//   text is written as that text alone: comments, CDATA and later children
//   are cut, and the indentation added by the writer would come back as data;
// - empty data nodes write nothing, and carriage returns are dropped from
//   raw data (a reference to one survives).
// The written text is a fixed point all the same: each element is written
// with its first text only, which parses back to one data child with the
// same bytes (non-printable bytes and markup characters are written as
// references). Null attribute values, comments holding "-->" and CDATA
// holding "]]>" cannot come out of the parser, so they never reach the
// writer here.
//
// The same bytes are also read with references as characters and written
// in the writer's Unicode mode, whose text must be printable ASCII (with
// newlines) in which every numeric reference names a character XML allows,
// and must parse again.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "xml/unicode_text.h"
#include "xml/xml_document.h"
#include "xml/xml_writer.h"

namespace {

using tidewater::XMLAttribute;
using tidewater::XMLAttributeList;
using tidewater::XMLCDATASection;
using tidewater::XMLDocument;
using tidewater::XMLElement;
using tidewater::XMLNode;

void require(bool condition) {
  if (!condition) std::abort();
}

bool sameNode(const XMLNode& a, const XMLNode& b) {
  if (a.kind() != b.kind()) return false;
  if (const XMLElement* element = a.asElement()) {
    const XMLElement* other = b.asElement();
    if (element->name() != other->name()) return false;
    const XMLAttributeList& x = element->attributes();
    const XMLAttributeList& y = other->attributes();
    if (x.size() != y.size()) return false;
    for (size_t i = 0; i < x.size(); ++i) {
      if (x[i].name != y[i].name || x[i].value != y[i].value) return false;
    }
    return true;
  }
  if (a.kind() == XMLNode::Kind::CDATASection) {
    return static_cast<const XMLCDATASection&>(a).text() == static_cast<const XMLCDATASection&>(b).text();
  }
  return false;  // no other kind is kept without keepText
}

/// Node-for-node comparison, walked with an explicit stack.
bool sameTree(const XMLNode* a, const XMLNode* b) {
  std::vector<std::pair<const XMLNode*, const XMLNode*>> pending{{a, b}};
  while (!pending.empty()) {
    auto [x, y] = pending.back();
    pending.pop_back();
    if (!x || !y) {
      if (x != y) return false;
      continue;
    }
    if (!sameNode(*x, *y)) return false;
    if (x != a) pending.emplace_back(x->nextSibling(), y->nextSibling());
    pending.emplace_back(x->firstChild(), y->firstChild());
  }
  return true;
}

void checkRoundTrip(XMLDocument& first, bool keepText, uint32_t indent, uint32_t lineWidth) {
  const std::string written = first.writeToString(indent, lineWidth);

  XMLDocument second(keepText);
  require(second.parse(written));
  require(second.writeToString(indent, lineWidth) == written);
  if (!keepText) require(sameTree(first.root(), second.root()));

  XMLDocument copy(keepText);
  copy.setVersion(first.version());
  copy.setEncoding(first.encoding());
  copy.setDoctype(first.doctype());
  if (first.root()) {
    std::unique_ptr<XMLNode> root = XMLDocument::clone(copy, *first.root());
    copy.setRoot(std::unique_ptr<XMLElement>(root.release()->asElement()));
  }
  require(copy.writeToString(indent, lineWidth) == written);
}

void checkUnicodeOutput(const std::string& text, bool keepText) {
  XMLDocument document(keepText);
  document.setReferenceReading(tidewater::ReferenceReading::UTF8);
  if (!document.parse(text)) return;
  tidewater::XMLWriter writer(2, 0, nullptr, tidewater::XMLWriter::Characters::Unicode);
  writer.writeDocument(document);
  const std::string& written = writer.text();
  for (size_t i = 0; i < written.size(); ++i) {
    const char c = written[i];
    require((c >= ' ' && c <= '~') || c == '\n');
    if (written.compare(i, 3, "&#x") != 0) continue;
    const size_t end = written.find(';', i);
    require(end != std::string::npos);
    const unsigned long value = std::strtoul(written.substr(i + 3, end - i - 3).c_str(), nullptr, 16);
    require(tidewater::isXMLCharacter(static_cast<uint32_t>(value)));
  }
  XMLDocument again(keepText);
  require(again.parse(written));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const uint32_t lineWidth = size > 0 ? data[0] % 64 : 0;
  for (const bool keepText : {false, true}) {
    XMLDocument document(keepText);
    if (!document.parse(text)) {
      require(document.errorText() == "bad tagName" || document.errorText() == "tagName mismatch");
      require(document.root() == nullptr);
      continue;
    }
    checkRoundTrip(document, keepText, 0, 0);
    checkRoundTrip(document, keepText, 2, lineWidth);
    checkUnicodeOutput(text, keepText);
  }
  return 0;
}
