#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tidewater {

// Names and numbers as they may appear in a generated linker script. Each
// check is strict: whatever passes can be written into the script as is.

/// A plain integer literal: decimal, "0x" hexadecimal, "0b" binary or
/// leading-0 octal, with nothing else but surrounding blanks. Empty when the
/// text is not one or the value needs more than 64 bits.
std::optional<uint64_t> parseIntegerLiteral(std::string_view text);

/// [A-Za-z_][A-Za-z0-9_]*: a name usable as a symbol and as a memory region.
bool isScriptIdentifier(std::string_view text);

/// An output section name: letters, digits and "._$-" only.
bool isSectionName(std::string_view text);

/// The section's name without its leading "." and with every character
/// other than [A-Za-z0-9_] replaced by "_" (".ARM.exidx" gives "ARM_exidx").
std::string sectionIdentifier(std::string_view sectionName);

/// "0x" and at least eight upper-case hexadecimal digits.
std::string hexText(uint64_t value);

/// A fill value as a four-byte pattern, so that ld and LLD fill alike: a
/// value up to 0xFF repeats that byte, up to 0xFFFF that halfword, otherwise
/// the word itself is the pattern.
uint32_t fillPattern(uint32_t value);

}  // namespace tidewater
