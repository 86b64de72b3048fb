#include "project/compiler_levels.h"

#include <gtest/gtest.h>

#include <cctype>

namespace tidewater {
namespace {

// The parser reads the tables by option character and the compile lists by
// catalogue value: each direction must find the row the other wrote.
TEST(CompilerLevelsTest, EachLevelIsFoundBothWaysAndOptionCharactersAreUnique) {
  for (const OptimizationLevel& row : kOptimizationLevels) {
    EXPECT_EQ(optimizationLevelOfLetter(row.letter), &row) << row.value;
    EXPECT_EQ(optimizationLevelOfLetter(static_cast<char>(std::toupper(row.letter))), &row) << row.value;
    EXPECT_EQ(optimizationLevel(row.value), &row);
    if (!row.gnu.empty()) {
      EXPECT_EQ(row.gnu.back(), row.letter) << row.gnu;
    }
  }
  for (const DebuggingLevel& row : kDebuggingLevels) {
    EXPECT_EQ(debuggingLevel(row.value), &row);
    if (row.digit != '0') {
      EXPECT_EQ(debuggingLevelOfOption(row.digit), row.value);
    }
  }
  EXPECT_EQ(optimizationLevelOfLetter('x'), nullptr);
  EXPECT_EQ(debuggingLevel("Level 4"), nullptr);
  EXPECT_EQ(debuggingLevelOfOption('x'), "Level 72");
}

}  // namespace
}  // namespace tidewater
