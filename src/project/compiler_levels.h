#pragma once

// The optimisation and debugging levels, each written once: the catalogue's
// value, the command-line character that selects it and the compiler
// options it gives. The catalogue's value lists, the option parser and the
// compile lists all read these tables.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace tidewater {

struct OptimizationLevel {
  std::string_view value;   ///< as the catalogue writes it ("Level 2")
  char letter;              ///< the character after "-O" that selects it (letters in either case)
  std::string_view gnu;     ///< the GNU compiler's option ("-O2"); empty for none
  std::string_view clang;   ///< Clang's; "Debug" has no counterpart there
  bool smallLibraries;      ///< also selects the libraries built for size
};

inline constexpr OptimizationLevel kOptimizationLevels[] = {
    {"None", '0', "", "", false},
    {"Debug", 'g', "-Og", "", false},
    {"Level 1", '1', "-O1", "-O1", false},
    {"Level 2", '2', "-O2", "-O2", false},
    {"Level 3", '3', "-O3", "-O3", false},
    {"Optimize For Size", 's', "-Os", "-Os", true},
};

struct DebuggingLevel {
  std::string_view value;       ///< "Level 1"; the option "-g<digit>" names it by its digit
  char digit;                   ///< in the GNU option "-g<digit>"
  std::string_view clangKind;   ///< Clang's -debug-info-kind=
};

inline constexpr DebuggingLevel kDebuggingLevels[] = {
    {"None", '0', ""},
    {"Level 1", '1', "line-tables-only"},
    {"Level 2", '2', "limited"},
    {"Level 3", '3', "standalone"},
};

/// The level "-O<c>..." selects, or null for a character that selects none.
const OptimizationLevel* optimizationLevelOfLetter(char letter);
/// The row of a catalogue value, or null.
const OptimizationLevel* optimizationLevel(std::string_view value);
const DebuggingLevel* debuggingLevel(std::string_view value);

/// "Level <n>" for the option "-g<c>", with n = c - '0': a character that is
/// not a level's digit gives a value the validated write refuses.
std::string debuggingLevelOfOption(char digit);

template <typename Row, size_t N>
constexpr std::array<std::string_view, N> levelValuesOf(const Row (&rows)[N]) {
  std::array<std::string_view, N> values;
  for (size_t i = 0; i < N; ++i) values[i] = rows[i].value;
  return values;
}

/// The catalogue's value lists, in table order.
inline constexpr auto kOptimizationLevelValues = levelValuesOf(kOptimizationLevels);
inline constexpr auto kDebuggingLevelValues = levelValuesOf(kDebuggingLevels);

}  // namespace tidewater
