#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tidewater {

/// Stands for a character that a text cannot hold.
inline constexpr uint32_t kReplacementCharacter = 0xFFFD;

/// Whether XML 1.0 allows the code point in a document: tab, line feed,
/// carriage return and everything from the space up, except the surrogates
/// and U+FFFE/U+FFFF.
bool isXMLCharacter(uint32_t codePoint);

/// Appends the UTF-8 form of a code point below 0x110000.
void appendUTF8(uint32_t codePoint, std::string& out);

/// The length of the well-formed UTF-8 sequence at [p, end), with its code
/// point in "codePoint"; 0 when the bytes there are not one (an overlong
/// form, a surrogate, a stray continuation byte, a sequence cut short).
size_t decodeUTF8(const char* p, const char* end, uint32_t& codePoint);

}  // namespace tidewater
