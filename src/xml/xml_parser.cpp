#include "xml/xml_parser.h"

#include <algorithm>
#include <cstring>

#include "xml/xml_char_class.h"
#include "xml/xml_document.h"

namespace tidewater {

namespace {

int hexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  // Upper-case digits are accepted too: files written by other tools use them.
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

int decimalDigitValue(char c) { return c >= '0' && c <= '9' ? c - '0' : -1; }

struct NamedReference {
  std::string_view text;  // after the "&"
  char value;
};

constexpr NamedReference kNamedReferences[] = {
    {"lt;", '<'}, {"gt;", '>'}, {"amp;", '&'}, {"apos;", '\''}, {"quot;", '"'},
};

/// Decodes the reference at "at" (an "&") within [at, end). Returns the byte
/// after it, or null when it is not a reference (the "&" then stands for itself).
const char* decodeReference(const char* at, const char* end, char& value) {
  const std::string_view rest(at + 1, static_cast<size_t>(end - at - 1));
  if (rest.empty()) return nullptr;
  if (rest[0] != '#') {
    for (const NamedReference& named : kNamedReferences) {
      if (rest.substr(0, named.text.size()) == named.text) {
        value = named.value;
        return at + 1 + named.text.size();
      }
    }
    return nullptr;
  }
  const char* p = at + 2;
  const bool hex = p < end && *p == 'x';
  if (hex) ++p;
  // Only the low 8 bits of the value are kept, so accumulate modulo 256.
  unsigned byte = 0;
  for (; p < end; ++p) {
    const int digit = hex ? hexDigitValue(*p) : decimalDigitValue(*p);
    if (digit < 0) break;
    byte = (byte * (hex ? 16 : 10) + static_cast<unsigned>(digit)) & 0xFF;
  }
  if (p == end || *p != ';') return nullptr;
  value = static_cast<char>(byte);
  return p + 1;
}

}  // namespace

void decodeReferences(const char* begin, const char* end, bool dropReturns, std::string& out) {
  out.reserve(out.size() + static_cast<size_t>(end - begin));
  const char* run = begin;
  for (const char* p = begin; p < end;) {
    const char c = *p;
    if (c == '&') {
      char value = 0;
      if (const char* next = decodeReference(p, end, value)) {
        out.append(run, p);
        out += value;
        p = run = next;
        continue;
      }
    } else if (c == '\r' && dropReturns) {
      out.append(run, p);
      run = ++p;
      continue;
    }
    ++p;
  }
  out.append(run, end);
}

const char* XMLParser::Terminator::findFrom(const char* from) {
  const bool known = searchedFrom_ && from >= searchedFrom_ && (!found_ || from <= found_);
  if (!known) {
    searchedFrom_ = from;
    found_ = std::strstr(from, text_);
  }
  return found_;
}

void XMLParser::skipSpace() {
  while (xml_char::is(*cursor_, xml_char::kSpace)) {
    if (*cursor_ == '\n') ++line_;
    ++cursor_;
  }
}

std::string_view XMLParser::readName() {
  const char* start = cursor_;
  while (xml_char::is(*cursor_, xml_char::kName)) ++cursor_;
  const std::string_view name(start, static_cast<size_t>(cursor_ - start));
  skipSpace();
  return name;
}

std::string_view XMLParser::readQuoted() {
  const char* start = cursor_;
  cursor_ += std::strcspn(cursor_, "\"");
  const std::string_view text(start, static_cast<size_t>(cursor_ - start));
  countLines(start, cursor_);
  if (*cursor_ == '"') ++cursor_;
  return text;
}

void XMLParser::countLines(const char* begin, const char* end) {
  line_ += static_cast<uint32_t>(std::count(begin, end, '\n'));
}

bool XMLParser::fail(const char* message) {
  document_.setError(message, line_);
  return false;
}

bool XMLParser::run() {
  skipSpace();
  // Any byte other than "<" where markup is expected ends the document.
  while (*cursor_ == '<') {
    ++cursor_;
    if (!markup()) return false;
    characterData();
  }
  // Elements still open here were never closed: they are dropped with the
  // parser (destroyed, not reported), and the parse counts as a success.
  document_.setRoot(std::move(root_));
  return true;
}

bool XMLParser::markup() {
  const char c = *cursor_;
  if (c == '?') {
    ++cursor_;
    processingInstruction();
  } else if (c == '!') {
    ++cursor_;
    declaration();
  } else if (c == '/') {
    ++cursor_;
    return endTag();
  } else if (xml_char::is(c, xml_char::kName)) {
    return startTag();
  }
  // Anything else is unknown markup: the bytes up to the next "<" are
  // handled as character data.
  return true;
}

void XMLParser::processingInstruction() {
  // Instructions other than the XML declaration are skipped as far as the
  // next "<" (through characterData).
  if (readName() != "xml") return;
  for (;;) {
    skipSpace();
    if (*cursor_ == '\0' || *cursor_ == '?') break;
    const std::string_view name = readName();
    if (name.empty()) {
      ++cursor_;  // a stray byte (never a newline: space was skipped)
      continue;
    }
    if (*cursor_ != '=') continue;
    ++cursor_;
    skipSpace();
    if (*cursor_ != '"') continue;
    ++cursor_;
    const std::string_view value = readQuoted();
    if (name == "version") {
      document_.setVersion(std::string(value));
    } else if (name == "encoding") {
      document_.setEncoding(std::string(value));
    }
  }
  if (*cursor_ == '?') ++cursor_;
  if (*cursor_ == '>') ++cursor_;
}

void XMLParser::declaration() {
  if (cursor_[0] == '-' && cursor_[1] == '-') {
    cursor_ += 2;
    comment();
  } else if (cursor_[0] == '[') {
    ++cursor_;
    cdataSection();
  } else if (readName() == "DOCTYPE") {
    // Only the plain form "<!DOCTYPE name>"; an internal subset or anything
    // else is skipped like unknown markup.
    const std::string_view name = readName();
    if (!name.empty() && *cursor_ == '>') {
      document_.setDoctype(std::string(name));
      ++cursor_;
    }
  }
}

void XMLParser::comment() {
  const uint32_t startLine = line_;
  const char* end = commentEnd_.findFrom(cursor_);
  if (!end) return;  // unterminated: unknown markup
  if (document_.keepText() && !open_.empty()) {
    auto node = std::make_unique<XMLComment>(std::string(cursor_, end));
    node->setLine(startLine);
    open_.back()->appendChild(std::move(node));
  }
  countLines(cursor_, end);
  cursor_ = end + 3;
}

void XMLParser::cdataSection() {
  const uint32_t startLine = line_;
  readName();  // "CDATA", normally
  if (*cursor_ != '\0') {
    if (*cursor_ == '\n') ++line_;
    ++cursor_;  // the second "["
  }
  const char* end = cdataEnd_.findFrom(cursor_);
  if (!end) return;  // unterminated: unknown markup
  // Kept whatever keepText says: CDATA is content, not layout.
  if (!open_.empty()) {
    auto node = std::make_unique<XMLCDATASection>(std::string(cursor_, end));
    node->setLine(startLine);
    open_.back()->appendChild(std::move(node));
  }
  countLines(cursor_, end);
  cursor_ = end + 3;
}

bool XMLParser::startTag() {
  const uint32_t startLine = line_;
  std::unique_ptr<XMLElement> created = document_.createElement(std::string(readName()));
  if (!created) created = std::make_unique<XMLElement>(std::string());
  XMLElement* element = created.get();
  element->setLine(startLine);
  open_.push_back(std::move(created));

  for (;;) {
    const char c = *cursor_;
    if (c == '\0') return true;
    if (c == '>') {
      ++cursor_;
      return true;
    }
    if (c == '/') {
      ++cursor_;
      if (*cursor_ == '>') ++cursor_;
      closeElement();
      return true;
    }
    if (!xml_char::is(c, xml_char::kNameStart)) return fail("bad tagName");
    const std::string_view name = readName();
    if (*cursor_ == '=') {
      ++cursor_;
      skipSpace();
    }
    // Without a double-quoted value the attribute is dropped and scanning
    // goes on at this byte.
    if (*cursor_ != '"') continue;
    ++cursor_;
    const std::string_view raw = readQuoted();
    std::string value;
    decodeReferences(raw.data(), raw.data() + raw.size(), false, value);
    element->setAttribute(std::string(name), std::move(value));
    skipSpace();
  }
}

bool XMLParser::endTag() {
  const std::string_view name = readName();
  if (*cursor_ == '>') ++cursor_;
  // Only the closing name's length is compared, so "</>" closes anything
  // and "</a>" closes "abc".
  if (open_.empty()) return fail("tagName mismatch");
  const std::string& openName = open_.back()->name();
  if (openName.compare(0, name.size(), name) != 0) return fail("tagName mismatch");
  closeElement();
  return true;
}

void XMLParser::closeElement() {
  std::unique_ptr<XMLElement> element = std::move(open_.back());
  open_.pop_back();
  if (!open_.empty()) {
    open_.back()->appendChild(std::move(element));
  } else {
    root_ = std::move(element);  // a later top-level element replaces an earlier one
  }
}

void XMLParser::characterData() {
  const uint32_t startLine = line_;
  const char* start = cursor_;
  cursor_ += std::strcspn(cursor_, "<");
  countLines(start, cursor_);
  if (!document_.keepText() || open_.empty()) return;
  // Even an empty run becomes a node: two adjacent tags have one between them.
  std::string text;
  decodeReferences(start, cursor_, true, text);
  auto node = std::make_unique<XMLData>(std::move(text));
  node->setLine(startLine);
  open_.back()->appendChild(std::move(node));
}

}  // namespace tidewater
