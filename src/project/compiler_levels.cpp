#include "project/compiler_levels.h"

#include <cctype>

namespace tidewater {

namespace {

template <typename Row, size_t N>
const Row* rowOf(const Row (&rows)[N], std::string_view value) {
  for (const Row& row : rows) {
    if (row.value == value) return &row;
  }
  return nullptr;
}

}  // namespace

const OptimizationLevel* optimizationLevelOfLetter(char letter) {
  const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
  for (const OptimizationLevel& row : kOptimizationLevels) {
    if (row.letter == lower) return &row;
  }
  return nullptr;
}

const OptimizationLevel* optimizationLevel(std::string_view value) { return rowOf(kOptimizationLevels, value); }
const DebuggingLevel* debuggingLevel(std::string_view value) { return rowOf(kDebuggingLevels, value); }

std::string debuggingLevelOfOption(char digit) { return "Level " + std::to_string(digit - '0'); }

}  // namespace tidewater
