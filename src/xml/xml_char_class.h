#pragma once
// Byte classes of the XML parser, as 256-entry tables so that each test is
// one load and one mask in the scanning loops.

#include <array>
#include <cstdint>

namespace tidewater::xml_char {

enum : uint8_t {
  kName = 1 << 0,       // ASCII letters and digits, "-", ":" and "_"
  kNameStart = 1 << 1,  // what may begin an attribute name: letters, "-", ":", "_"
  kSpace = 1 << 2,      // the C locale's white space
  kDoctype = 1 << 3,    // letters, digits and "_": a DOCTYPE name seen without parsing
  kVerbatim = 1 << 4,   // written unescaped: printable ASCII except '"', '&', '<', '>'
  kTextStop = 1 << 5,   // ends a plain stretch of character data: "<", NUL, newline, "&", CR
  kValueStop = 1 << 6,  // ends a plain stretch of an attribute value: '"', NUL, newline, "&"
  kPlainName = 1 << 7,  // a name byte for every reader: kName without ":", which means a namespace
};

inline constexpr std::array<uint8_t, 256> kClass = [] {
  std::array<uint8_t, 256> table{};
  for (int c = 0; c < 256; ++c) {
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    const bool digit = c >= '0' && c <= '9';
    uint8_t bits = 0;
    if (letter || digit || c == '-' || c == ':' || c == '_') bits |= kName;
    if (letter || digit || c == '-' || c == '_') bits |= kPlainName;
    if (letter || c == '-' || c == ':' || c == '_') bits |= kNameStart;
    if (c == ' ' || (c >= '\t' && c <= '\r')) bits |= kSpace;
    if (letter || digit || c == '_') bits |= kDoctype;
    if (c >= ' ' && c <= '~' && c != '"' && c != '&' && c != '<' && c != '>') bits |= kVerbatim;
    if (c == '<' || c == '\0' || c == '\n' || c == '&' || c == '\r') bits |= kTextStop;
    if (c == '"' || c == '\0' || c == '\n' || c == '&') bits |= kValueStop;
    table[static_cast<size_t>(c)] = bits;
  }
  return table;
}();

inline bool is(char c, uint8_t bits) { return (kClass[static_cast<unsigned char>(c)] & bits) != 0; }

}  // namespace tidewater::xml_char
