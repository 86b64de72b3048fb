#include "build/output_redirection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tidewater {
namespace {

std::string describe(const std::vector<OutputRedirection>& redirections) {
  std::string text;
  for (const OutputRedirection& r : redirections) {
    text += r.target == RedirectionTarget::StandardOutput ? "out"
            : r.target == RedirectionTarget::StandardError ? "err"
                                                            : "both";
    text += r.append ? "+" : "=";
    text += r.fileName + ";";
  }
  return text;
}

std::string join(const std::vector<std::string>& arguments) {
  std::string text;
  for (const std::string& argument : arguments) text += argument + "|";
  return text;
}

TEST(OutputRedirectionTest, OperatorTableGivesTargetAndMode) {
  struct Case {
    const char* text;
    bool isOperator;
    RedirectionTarget target;
    bool append;
  };
  const Case cases[] = {
      {">", true, RedirectionTarget::StandardOutput, false}, {"1>", true, RedirectionTarget::StandardOutput, false},
      {">>", true, RedirectionTarget::StandardOutput, true}, {"1>>", true, RedirectionTarget::StandardOutput, true},
      {"2>", true, RedirectionTarget::StandardError, false}, {"2>>", true, RedirectionTarget::StandardError, true},
      {"&>", true, RedirectionTarget::Both, false}, {"&>>", true, RedirectionTarget::Both, true},
      {">out.txt", false, {}, false}, {"2>&1", false, {}, false}, {"3>", false, {}, false}, {"", false, {}, false},
      {"<", false, {}, false},
  };
  for (const Case& c : cases) {
    const auto meaning = redirectionOperator(c.text);
    ASSERT_EQ(meaning.has_value(), c.isOperator) << c.text;
    if (!meaning) continue;
    EXPECT_EQ(meaning->target, c.target) << c.text;
    EXPECT_EQ(meaning->append, c.append) << c.text;
  }
}

TEST(OutputRedirectionTest, TakesTheTailFromTheFirstOperatorInPairs) {
  struct Case {
    std::vector<std::string> arguments;
    std::string remaining;
    std::string redirections;
  };
  const Case cases[] = {
      {{"tool", "a"}, "tool|a|", ""},
      {{"tool", ">", "o.txt"}, "tool|", "out=o.txt;"},
      {{"tool", "2>>", "e.txt", "&>", "b.txt"}, "tool|", "err+e.txt;both=b.txt;"},
      // A pair whose first element is no operator is skipped.
      {{"tool", ">", "o.txt", "junk", "x", "2>", "e.txt"}, "tool|", "out=o.txt;err=e.txt;"},
      // An operator without a file name is dropped with everything after it.
      {{"tool", "a", ">"}, "tool|a|", ""},
      {{"tool", ">", "o.txt", "2>"}, "tool|", "out=o.txt;"},
      {{">", "o.txt"}, "", "out=o.txt;"},
      // Text that merely contains an operator is an ordinary argument.
      {{"tool", "a>b", "2>&1"}, "tool|a>b|2>&1|", ""},
  };
  for (const Case& c : cases) {
    std::vector<std::string> arguments = c.arguments;
    const auto redirections = takeRedirections(arguments);
    EXPECT_EQ(join(arguments), c.remaining) << join(c.arguments);
    EXPECT_EQ(describe(redirections), c.redirections) << join(c.arguments);
  }
}

}  // namespace
}  // namespace tidewater
