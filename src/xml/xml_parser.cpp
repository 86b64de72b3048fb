#include "xml/xml_parser.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "xml/xml_char_class.h"
#include "xml/xml_document.h"
#include "xml/xml_tree_builder.h"
#include "xml/unicode_text.h"

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

/// Decodes the reference at "at" (an "&") within [at, end) into the code
/// point it names. Returns the byte after it, or null when it is not a
/// reference (the "&" then stands for itself).
const char* decodeReference(const char* at, const char* end, uint32_t& value) {
  const std::string_view rest(at + 1, static_cast<size_t>(end - at - 1));
  if (rest.empty()) return nullptr;
  if (rest[0] != '#') {
    for (const NamedReference& named : kNamedReferences) {
      if (rest.substr(0, named.text.size()) == named.text) {
        value = static_cast<unsigned char>(named.value);
        return at + 1 + named.text.size();
      }
    }
    return nullptr;
  }
  const char* p = at + 2;
  const bool hex = p < end && *p == 'x';
  if (hex) ++p;
  // Anything past the last code point stays past it, however many digits follow.
  constexpr uint32_t kPastUnicode = 0x110000;
  uint32_t number = 0;
  for (; p < end; ++p) {
    const int digit = hex ? hexDigitValue(*p) : decimalDigitValue(*p);
    if (digit < 0) break;
    number = std::min(number * (hex ? 16 : 10) + static_cast<uint32_t>(digit), kPastUnicode);
  }
  if (p == end || *p != ';') return nullptr;
  value = number;
  return p + 1;
}

/// Appends a referenced character in the document's reading.
void appendReferenced(uint32_t value, ReferenceReading reading, std::string& out) {
  if (reading == ReferenceReading::LowByte) {
    out += static_cast<char>(value & 0xFF);
  } else {
    appendUTF8(isXMLCharacter(value) ? value : kReplacementCharacter, out);
  }
}

/// Whether [begin, end) is all white space; bytes up to "limit" may be read.
/// The runs between tags are a line break and indentation, mostly shorter
/// than sixteen bytes: where the machine has SSE2 a run is tested sixteen
/// bytes a step, reading on past its end when the buffer allows.
bool isBlank(const char* begin, const char* end, const char* limit) {
#if defined(__SSE2__)
  const __m128i space = _mm_set1_epi8(' ');
  const __m128i belowTab = _mm_set1_epi8('\t' - 1);
  const __m128i aboveReturn = _mm_set1_epi8('\r' + 1);
  while (begin < end && limit - begin >= 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(begin));
    const __m128i control = _mm_and_si128(_mm_cmpgt_epi8(bytes, belowTab), _mm_cmplt_epi8(bytes, aboveReturn));
    const auto blank = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, space), control)));
    const ptrdiff_t length = end - begin;
    if (length < 16) {
      const unsigned wanted = (1u << length) - 1;
      return (blank & wanted) == wanted;
    }
    if (blank != 0xFFFF) return false;
    begin += 16;
  }
#else
  (void)limit;
#endif
  for (; begin < end; ++begin) {
    if (!xml_char::is(*begin, xml_char::kSpace)) return false;
  }
  return true;
}

/// Number of set bits; the masks here have at most one or two. Not
/// std::popcount: without -mpopcnt that becomes a libgcc call in the middle
/// of the scan loop, where this loop runs once or twice.
unsigned bitCount(unsigned bits) {
  unsigned count = 0;
  for (; bits != 0; bits &= bits - 1) ++count;
  return count;
}

/// Returns the first byte at or after "p" that is "terminator" or the NUL at
/// "end", counting the newlines before it into "lines" and setting
/// "references" when it passes a "&" (or, with dropsReturns, a carriage
/// return): the run then needs decoding. "stop" is the class of those bytes
/// and of newline and NUL. Sixteen bytes a step where the machine has SSE2,
/// four bytes a step through the class table otherwise and for the tail.
/// Inlined into its two callers: a call per run of text costs more than the
/// scan of most runs.
template <uint8_t stop, bool dropsReturns>
[[gnu::always_inline]] inline const char* scanRun(const char* p, const char* end, char terminator, uint32_t& lines, bool& references) {
  uint32_t newlines = 0;
#if defined(__SSE2__)
  const __m128i terminators = _mm_set1_epi8(terminator);
  const __m128i ampersands = _mm_set1_epi8('&');
  const __m128i returns = _mm_set1_epi8('\r');
  const __m128i newlineBytes = _mm_set1_epi8('\n');
  // [p, end) holds no NUL, so only these bytes can stop the run here.
  while (end - p >= 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i stops = _mm_or_si128(_mm_cmpeq_epi8(bytes, terminators), _mm_cmpeq_epi8(bytes, ampersands));
    if (dropsReturns) stops = _mm_or_si128(stops, _mm_cmpeq_epi8(bytes, returns));
    const auto stopBits = static_cast<unsigned>(_mm_movemask_epi8(stops));
    const auto newlineBits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, newlineBytes)));
    if (stopBits == 0) {
      newlines += bitCount(newlineBits);
      p += 16;
      continue;
    }
    const int at = std::countr_zero(stopBits);
    newlines += bitCount(newlineBits & ((1u << at) - 1));
    p += at;
    if (*p == terminator) {
      lines += newlines;
      return p;
    }
    references = true;
    ++p;
  }
#endif
  for (;;) {
    for (;;) {
      if (xml_char::is(p[0], stop)) break;
      if (xml_char::is(p[1], stop)) {
        p += 1;
        break;
      }
      if (xml_char::is(p[2], stop)) {
        p += 2;
        break;
      }
      if (xml_char::is(p[3], stop)) {
        p += 3;
        break;
      }
      p += 4;
    }
    const char c = *p;
    if (c == '\n') {
      ++newlines;
    } else if (c == terminator || c == '\0') {
      break;
    } else {
      references = true;
    }
    ++p;
  }
  lines += newlines;
  return p;
}

}  // namespace

void decodeReferences(const char* begin, const char* end, bool dropReturns, ReferenceReading reading,
                      std::string& out) {
  out.reserve(out.size() + static_cast<size_t>(end - begin));
  // Jump from one "&" (or carriage return) to the next, copying the plain
  // stretches between them whole.
  const auto next = [end](const char* from, char c) {
    const void* found = std::memchr(from, c, static_cast<size_t>(end - from));
    return found ? static_cast<const char*>(found) : end;
  };
  const char* run = begin;
  const char* ampersand = next(begin, '&');
  const char* carriageReturn = dropReturns ? next(begin, '\r') : end;
  while (ampersand < end || carriageReturn < end) {
    if (carriageReturn < ampersand) {
      out.append(run, carriageReturn);
      run = carriageReturn + 1;
      carriageReturn = next(run, '\r');
      continue;
    }
    uint32_t value = 0;
    const char* after = decodeReference(ampersand, end, value);
    if (!after) {  // not a reference: the "&" stands for itself
      ampersand = next(ampersand + 1, '&');
      continue;
    }
    out.append(run, ampersand);
    appendReferenced(value, reading, out);
    run = after;
    ampersand = next(run, '&');
    if (carriageReturn < run) carriageReturn = next(run, '\r');
  }
  out.append(run, end);
}

template <typename Sink>
const char* XMLParser<Sink>::Terminator::findFrom(const char* from) {
  const bool known = searchedFrom_ && from >= searchedFrom_ && (!found_ || from <= found_);
  if (!known) {
    searchedFrom_ = from;
    found_ = std::strstr(from, text_);
  }
  return found_;
}

template <typename Sink>
void XMLParser<Sink>::skipSpace() {
  const char* p = cursor_;
  while (xml_char::is(*p, xml_char::kSpace)) {
    if (*p == '\n') ++line_;
    ++p;
  }
  cursor_ = p;
}

template <typename Sink>
std::string_view XMLParser<Sink>::readName() {
  // A local cursor, four bytes a step: names are the most scanned bytes
  // after character data.
  const char* start = cursor_;
  const char* p = start;
  for (;;) {
    if (!xml_char::is(p[0], xml_char::kName)) break;
    if (!xml_char::is(p[1], xml_char::kName)) {
      p += 1;
      break;
    }
    if (!xml_char::is(p[2], xml_char::kName)) {
      p += 2;
      break;
    }
    if (!xml_char::is(p[3], xml_char::kName)) {
      p += 3;
      break;
    }
    p += 4;
  }
  cursor_ = p;
  if (xml_char::is(*p, xml_char::kSpace)) skipSpace();
  return std::string_view(start, static_cast<size_t>(p - start));
}

template <typename Sink>
std::string_view XMLParser<Sink>::readQuoted(bool& references) {
  const char* start = cursor_;
  cursor_ = scanRun<xml_char::kValueStop, false>(cursor_, end_, '"', line_, references);
  const std::string_view text(start, static_cast<size_t>(cursor_ - start));
  if (*cursor_ == '"') ++cursor_;
  return text;
}

template <typename Sink>
void XMLParser<Sink>::countLines(const char* begin, const char* end) {
  line_ += static_cast<uint32_t>(std::count(begin, end, '\n'));
}

template <typename Sink>
bool XMLParser<Sink>::fail(const char* message) {
  document_.setError(message, line_);
  return false;
}

template <typename Sink>
bool XMLParser<Sink>::run() {
  skipSpace();
  // Any byte other than "<" where markup is expected ends the document.
  while (*cursor_ == '<') {
    ++cursor_;
    if (!markup()) return false;
    characterData();
  }
  // Elements still open here were never closed: the sink drops them, and
  // the parse counts as a success.
  return true;
}

template <typename Sink>
bool XMLParser<Sink>::markup() {
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

template <typename Sink>
void XMLParser<Sink>::processingInstruction() {
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
    bool references = false;  // the declaration's values are taken as they stand
    const std::string_view value = readQuoted(references);
    if (name == "version") {
      document_.setVersion(std::string(value));
    } else if (name == "encoding") {
      document_.setEncoding(std::string(value));
    }
  }
  if (*cursor_ == '?') ++cursor_;
  if (*cursor_ == '>') ++cursor_;
}

template <typename Sink>
void XMLParser<Sink>::declaration() {
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

template <typename Sink>
void XMLParser<Sink>::comment() {
  const uint32_t startLine = line_;
  const char* end = commentEnd_.findFrom(cursor_);
  if (!end) return;  // unterminated: unknown markup
  if (document_.keepText() && sink_.isOpen()) sink_.comment(cursor_, end, startLine);
  countLines(cursor_, end);
  cursor_ = end + 3;
}

template <typename Sink>
void XMLParser<Sink>::cdataSection() {
  const uint32_t startLine = line_;
  readName();  // "CDATA", normally
  if (*cursor_ != '\0') {
    if (*cursor_ == '\n') ++line_;
    ++cursor_;  // the second "["
  }
  const char* end = cdataEnd_.findFrom(cursor_);
  if (!end) return;  // unterminated: unknown markup
  // Kept whatever keepText says: CDATA is content, not layout.
  if (sink_.isOpen()) sink_.cdataSection(cursor_, end, startLine);
  countLines(cursor_, end);
  cursor_ = end + 3;
}

template <typename Sink>
bool XMLParser<Sink>::startTag() {
  const uint32_t startLine = line_;
  sink_.startElement(readName(), startLine);

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
      sink_.endElement();
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
    bool references = false;
    const std::string_view raw = readQuoted(references);
    sink_.attribute(name, raw, references);
    skipSpace();
  }
}

template <typename Sink>
bool XMLParser<Sink>::endTag() {
  const std::string_view name = readName();
  if (*cursor_ == '>') ++cursor_;
  // Only the closing name's length is compared, so "</>" closes anything
  // and "</a>" closes "abc".
  if (!sink_.closes(name)) return fail("tagName mismatch");
  sink_.endElement();
  return true;
}

template <typename Sink>
void XMLParser<Sink>::characterData() {
  const uint32_t startLine = line_;
  const char* start = cursor_;
  bool references = false;
  cursor_ = scanRun<xml_char::kTextStop, true>(cursor_, end_, '<', line_, references);
  if (!document_.keepText() || !sink_.isOpen()) return;
  if (!document_.keepBlankText() && isBlank(start, cursor_, end_)) return;
  // Even an empty run is handed on: two adjacent tags have one between them.
  sink_.characterData(start, cursor_, references, startLine);
}

// The tree builder's calls are resolved at compile time; other sinks go
// through the interface.
template class XMLParser<XMLTreeBuilder>;
template class XMLParser<XMLParseSink>;

}  // namespace tidewater
