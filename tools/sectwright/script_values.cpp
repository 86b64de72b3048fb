#include "sectwright/script_values.h"

#include <cinttypes>
#include <cstdio>
#include <limits>

#include "base/strings.h"

namespace tidewater {
namespace {

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isWordCharacter(char c) { return isLetter(c) || isDigit(c) || c == '_'; }

int digitValue(char c) {
  if (isDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<uint64_t> parseIntegerLiteral(std::string_view text) {
  text = trimmed(text);
  unsigned base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'b' || text[1] == 'B')) {
    base = 2;
    text.remove_prefix(2);
  } else if (text.size() > 1 && text[0] == '0') {
    base = 8;
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  uint64_t value = 0;
  for (const char c : text) {
    const int digit = digitValue(c);
    if (digit < 0 || static_cast<unsigned>(digit) >= base) return std::nullopt;
    if (value > (std::numeric_limits<uint64_t>::max() - static_cast<uint64_t>(digit)) / base) {
      return std::nullopt;
    }
    value = value * base + static_cast<uint64_t>(digit);
  }
  return value;
}

bool isScriptIdentifier(std::string_view text) {
  if (text.empty() || isDigit(text.front())) return false;
  for (const char c : text) {
    if (!isWordCharacter(c)) return false;
  }
  return true;
}

bool isSectionName(std::string_view text) {
  if (text.empty()) return false;
  for (const char c : text) {
    if (!isWordCharacter(c) && c != '.' && c != '$' && c != '-') return false;
  }
  return true;
}

std::string sectionIdentifier(std::string_view sectionName) {
  if (sectionName.starts_with('.')) sectionName.remove_prefix(1);
  std::string id(sectionName);
  for (char& c : id) {
    if (!isWordCharacter(c)) c = '_';
  }
  return id;
}

std::string hexText(uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%08" PRIX64, value);
  return text;
}

uint32_t fillPattern(uint32_t value) {
  if (value <= 0xFF) return value * 0x01010101u;
  if (value <= 0xFFFF) return value * 0x00010001u;
  return value;
}

}  // namespace tidewater
