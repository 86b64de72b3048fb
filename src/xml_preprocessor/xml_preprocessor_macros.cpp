#include "xml_preprocessor/xml_preprocessor_macros.h"

#include <cstdio>

#include "base/split_list.h"

namespace tidewater {
namespace {

/// UTF-8 of the 16-bit character "code"; a lone surrogate becomes U+FFFD.
std::string characterText(uint32_t code) {
  code &= 0xFFFF;
  if (code >= 0xD800 && code <= 0xDFFF) code = 0xFFFD;
  std::string text;
  if (code < 0x80) {
    text += static_cast<char>(code);
  } else if (code < 0x800) {
    text += static_cast<char>(0xC0 | (code >> 6));
    text += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    text += static_cast<char>(0xE0 | (code >> 12));
    text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (code & 0x3F));
  }
  return text;
}

}  // namespace

std::vector<std::string> splitPlainList(std::string_view text, char separator) {
  std::vector<std::string> items;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(separator, start);
    if (end == std::string_view::npos) end = text.size();
    if (end > start) items.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return items;
}

MacroMap mergeMacroList(MacroMap macros, std::string_view list) {
  std::string joined;
  joined.reserve(list.size());
  for (const char c : list) {
    if (c != '\n' && c != '\r') joined += c;
  }
  for (std::string& item : splitEscapedList(joined, ';')) {
    const size_t equals = item.find('=');
    if (equals == std::string::npos) {
      macros[std::move(item)].clear();
    } else {
      macros[item.substr(0, equals)] = item.substr(equals + 1);
    }
  }
  return macros;
}

std::string upperHex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(value));
  return text;
}

MacroMap forIterationMacros(const std::string& index, uint32_t i, int64_t mul, int64_t add) {
  // Two's-complement wrap-around, kept to 32 bits like the loop index.
  const auto progression =
      static_cast<uint32_t>(static_cast<uint64_t>(mul) * i + static_cast<uint64_t>(add));
  return {
      {index, std::to_string(i)},
      {index + "_alpha", characterText(65 + i)},
      {index + "_hex", upperHex(i)},
      {index + "_ap", std::to_string(progression)},
      {index + "_ap_hex", upperHex(progression)},
  };
}

}  // namespace tidewater
