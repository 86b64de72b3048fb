#include "build/output_channel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tidewater {
namespace {

// Feeds the chunks in order, then finishes; returns every delivered line.
std::vector<std::string> splitChunks(const std::vector<std::string>& chunks) {
  OutputChannel channel;
  std::vector<std::string> lines;
  auto collect = [&lines](std::string_view line) { lines.emplace_back(line); };
  for (const std::string& chunk : chunks) channel.append(chunk, collect);
  channel.finish(collect);
  return lines;
}

std::string show(const std::vector<std::string>& chunks) {
  std::string text;
  for (const std::string& chunk : chunks) {
    text += '[';
    for (const char c : chunk) text += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
    text += ']';
  }
  return text;
}

TEST(OutputChannelTest, SplitsAtLineFeedAndCarriageReturnAcrossChunks) {
  struct Case {
    std::vector<std::string> chunks;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {{"a\nb\n"}, {"a", "b"}}, {{"a\r\nb\n"}, {"a", "b"}},
      // The byte after a CR is skipped as if it were the LF of a pair.
      {{"a\rb\n"}, {"a", ""}}, {{"oops"}, {"oops"}}, {{""}, {}}, {{"x\n\ny"}, {"x", "", "y"}}, {{"a\r"}, {"a"}},
      // The LF of a CR LF pair arriving with the next read is still skipped.
      {{"a\r", "\nb\n"}, {"a", "b"}}, {{"a\r", "b\n"}, {"a", ""}}, {{"a\r", "", "\nb"}, {"a", "b"}},
      {{"par", "tial", "\nrest"}, {"partial", "rest"}}, {{"one\n", "two\nthr", "ee"}, {"one", "two", "three"}},
      {{"\r\n\r\n"}, {"", ""}}, {{"\n"}, {""}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(splitChunks(c.chunks), c.lines) << "input " << show(c.chunks);
  }
}

TEST(OutputChannelTest, KeepsEveryByteUntilFinishedThenStartsAfresh) {
  OutputChannel channel;
  std::vector<std::string> lines;
  auto collect = [&lines](std::string_view line) { lines.emplace_back(line); };
  channel.append("a\nb", collect);
  channel.append("c\r", collect);
  EXPECT_EQ(channel.bytes(), "a\nbc\r");
  channel.finish(collect);
  EXPECT_EQ(channel.bytes(), "");
  // A CR at the very end of the last command must not eat the next
  // command's first byte.
  channel.append("next\n", collect);
  EXPECT_EQ(lines, (std::vector<std::string>{"a", "bc", "next"}));
}

}  // namespace
}  // namespace tidewater
