// The small text formats of the build: dependency files, options files and
// user command lines.
#include <gtest/gtest.h>

#include "build/command_line_split.h"
#include "build/dependency_file.h"
#include "build/options_file.h"
#include "support/temp_dir.h"

namespace tidewater {
namespace {

using Strings = std::vector<std::string>;

TEST(BuildTextParsersTest, DependencyFilesGiveRulesContinuationsAndEscapedSpaces) {
  const struct { const char* text; Strings expected; } cases[] = {
      {"a.o: a.c b.h \\\n  c\\ d.h\n", {"a.c", "b.h", "c\\ d.h"}}, {"a.o: a.c \\\n\tx.h\n\nb.h:\n", {"a.c", "x.h"}},
      {"no rule here\n", {}}, {"a.o:a.c\n", {}},  // needs ": "
      {"\\ lead: x\n", {"x"}}, {"a.o: a.c\r\n  b.h\r\n", {"a.c", "b.h"}}, {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(parseDependencyText(c.text), c.expected) << c.text;
  // Reading drops the source, and falls back to it alone.
  test::TempDir dir;
  EXPECT_EQ(readDependencyFile(dir.write("a.d", "a.o: a.c b.h\n"), "a.c"), Strings{"b.h"});
  EXPECT_EQ(readDependencyFile(dir.path() + "/missing.d", "/p/a.c"), Strings{"/p/a.c"});
  EXPECT_EQ(readDependencyFile(dir.write("e.d", "garbage\n"), "/p/a.c"), Strings{"/p/a.c"});
  EXPECT_EQ(readDependencyFile(dir.write("s.d", "a.o: a.c\n"), "/p/a.c"), Strings{});
}

TEST(BuildTextParsersTest, OptionsFilesSkipCommentsAndShortOrUnterminatedLines) {
  const struct { std::string text; Strings expected; } cases[] = {
      {"/* one */\n-x\n", {"-x"}}, {"-a /* open\n-hidden\nclose */ -b\n-c\n", {"-c"}},
      {" #not a comment\n", {" #not a comment"}}, {"a\n\nb c\n", {"a", "b c"}},  // "a" and its newline make two
      {std::string(1023, 'x') + "yz\n", {"yz"}},  // long lines are read in pieces
  };
  for (const auto& c : cases) EXPECT_EQ(parseOptionsText(c.text), c.expected) << c.text;
}

TEST(BuildTextParsersTest, CommandLinesSplitAtSpacesOutsideQuotes) {
  const struct { const char* line; Strings expected; } cases[] = {
      {"cp \"a b\" c", {"cp", "a b", "c"}}, {"  x   y ", {"x", "y"}}, {"echo \\\"hi\\\"", {"echo", "\"hi\""}},
      {"a\"b c\"d", {"ab cd"}}, {"\"\"", {}}, {"tool \"unterminated arg", {"tool", "unterminated arg"}}, {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(splitCommandLine(c.line), c.expected) << c.line;
}

}  // namespace
}  // namespace tidewater
