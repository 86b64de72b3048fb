#include "xml/lexer.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "xml/parser_exception.h"

namespace tidewater {
namespace {

struct Lexed {
  TokenCode code;
  std::string text;
  int32_t precedence;
};

std::vector<Lexed> lex(Lexer& lexer, const std::string& text) {
  lexer.setInput(text);
  std::vector<Lexed> tokens;
  for (Token token = lexer.next(); token.code != TokenCode::End; token = lexer.next()) {
    tokens.push_back({token.code, token.text, token.precedence});
  }
  return tokens;
}

std::string describe(const std::vector<Lexed>& tokens) {
  std::string result;
  for (const Lexed& token : tokens) {
    result += std::to_string(static_cast<int>(token.code)) + ":" + token.text + " ";
  }
  return result;
}

TEST(ExpressionLexerTest, FirstMatchingRowWinsNotTheLongest) {
  CStyleLexer lexer;
  const struct {
    const char* input;
    const char* expected;
  } cases[] = {
      // Literals: hex and binary before decimal, float before decimal.
      {"0x1fUL 0b102 12.5 12. 010u", "4:0x1fUL 5:0b10 3:2 6:12.5 3:12 19:. 3:010u "},
      // "0X" is not hexadecimal: a decimal 0 and an identifier.
      {"0X10", "3:0 8:X10 "},
      // Suffix letters in the fixed order U L L u l l only.
      {"1ULLull 1LU", "3:1ULLull 3:1L 8:U "},
      // A decimal run stops at a letter, which starts an identifier.
      {"123abc $x _a$1", "3:123 8:abc 8:$x 8:_a$1 "},
      {"@r0 @ @_x9", "9:@r0 9:@ 9:@_x9 "},
      {"\"a b\"\"\"", "7:\"a b\" 7:\"\" "},
      {":: : ;", "12::: 11:: 10:; "},
      {"-> -- - -= ++ +=", "20:-> 22:-- 29:- 47:-= 21:++ 46:+= "},
      {"!= ! ~ == =", "38:!= 24:! 23:~ 37:== 45:= "},
      {"<<= << <= < >>>= >>> >>= >> >= >", "52:<<= 30:<< 34:<= 33:< 53:>>>= 32:>>> 51:>>= 31:>> 36:>= 35:> "},
      {"^= ^ &= && & |= || |", "55:^= 40:^ 54:&= 42:&& 39:& 56:|= 43:|| 41:| "},
      {"*= * /= / %= % ? ,", "48:*= 25:* 49:/= 26:/ 50:%= 27:% 44:? 57:, "},
      {"()[]{}.", "13:( 14:) 15:[ 16:] 17:{ 18:} 19:. "},
      {" \t\n\v\f\r1\r\n", "3:1 "},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(describe(lex(lexer, c.input)), c.expected) << c.input;
  }
}

TEST(ExpressionLexerTest, BinaryOperatorPrecedences) {
  CStyleLexer lexer;
  const std::map<std::string, int32_t> expected = {
      {"*", 9},   {"/", 9},    {"%", 9},    {"+", 8},    {"-", 8},   {"<<", 7},  {">>", 7},
      {">>>", 7}, {"<", 6},    {"<=", 6},   {">", 6},    {">=", 6},  {"==", 5},  {"!=", 5},
      {"&", 4},   {"^", 3},    {"|", 2},    {"&&", 1},   {"||", 0},  {"?", -1},  {"=", -2},
      {"+=", -3}, {">>>=", -3}, {"|=", -3}, {",", -4},   {"!", 10},  {"~", 10},  {"(", 10},
      {"x", 10},  {"1", 10},
  };
  for (const auto& [text, precedence] : expected) {
    const auto tokens = lex(lexer, text);
    ASSERT_EQ(tokens.size(), 1u) << text;
    EXPECT_EQ(tokens[0].precedence, precedence) << text;
  }
}

TEST(ExpressionLexerTest, UnrecognisedTokenReportsTheRestOfTheInput) {
  CStyleLexer lexer;
  for (const auto& [input, message] : std::map<std::string, std::string>{
           {"1 + # 2", "unrecognised token: # 2"},
           {"\"open", "unrecognised token: \"open"},
           {"a\xC3\xA9", "unrecognised token: \xC3\xA9"},
           {"`", "unrecognised token: `"},
       }) {
    try {
      lex(lexer, input);
      ADD_FAILURE() << input << " lexed without error";
    } catch (const ParserException& error) {
      EXPECT_EQ(error.message(), message) << input;
    }
  }
}

/// Replaces names from a table; everything else stays an identifier.
class TableLexer : public CStyleLexer {
 public:
  explicit TableLexer(std::map<std::string, std::string> table) : table_(std::move(table)) {}
  int calls = 0;

 protected:
  std::string expandMacro(const std::string& identifier) override {
    ++calls;
    const auto found = table_.find(identifier);
    return found == table_.end() ? std::string() : found->second;
  }

 private:
  std::map<std::string, std::string> table_;
};

TEST(ExpressionLexerTest, MacroHookReplacesIdentifiersWithNestedInput) {
  TableLexer lexer({{"N", "2 * M"}, {"M", "(3)"}, {"EMPTY", ""}});
  EXPECT_EQ(describe(lex(lexer, "N+EMPTY")), "3:2 25:* 13:( 3:3 14:) 28:+ 8:EMPTY ");
  EXPECT_EQ(lexer.calls, 3);

  // Positions of tokens from a replacement point after the replaced name.
  lexer.setInput("N  1");
  EXPECT_EQ(lexer.next().position, 1u);
  lexer.next();
  lexer.next();
  lexer.next();
  lexer.next();
  EXPECT_EQ(lexer.next().position, 3u);
}

TEST(ExpressionLexerTest, MacroHookThatNeverStopsIsBounded) {
  const struct {
    std::map<std::string, std::string> table;
    const char* input;
    const char* message;
  } cases[] = {
      {{{"A", "A"}}, "A", "macro replacement nested too deeply at 'A'"},
      {{{"A", "B"}, {"B", "A"}}, "A", "macro replacement nested too deeply at 'B'"},
      {{{"A", "1 A"}}, "A", "macro replacement nested too deeply at 'A'"},
      // Shallow but endless: each replacement finishes before the next.
      {{{"A", "1"}}, "", "too many macro replacements at 'A'"},
  };
  for (const auto& c : cases) {
    TableLexer lexer(c.table);
    std::string input = c.input;
    if (input.empty()) {
      for (std::size_t i = 0; i <= Lexer::kMaxReplacements; ++i) input += "A ";
    }
    try {
      lex(lexer, input);
      ADD_FAILURE() << c.message << " not raised";
    } catch (const ParserException& error) {
      EXPECT_EQ(error.message(), c.message);
    }
  }
}

}  // namespace
}  // namespace tidewater
