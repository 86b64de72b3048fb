#include "expression/lexer.h"

#include <gtest/gtest.h>

#include <map>

#include "expression/parser_exception.h"
#include "expression/simple_expression_parser.h"

namespace tidewater {
namespace {

/// "code:text " for each token of "text", or the message of the error raised.
std::string lex(Lexer& lexer, const std::string& text) {
  lexer.setInput(text);
  std::string result;
  try {
    for (Token token = lexer.next(); token.code != TokenCode::End; token = lexer.next())
      result += std::to_string(static_cast<int>(token.code)) + ":" + token.text + " ";
  } catch (const ParserException& error) {
    return error.message();
  }
  return result;
}

TEST(ExpressionLexerTest, FirstMatchingRowWinsNotTheLongest) {
  CStyleLexer lexer;
  const std::pair<const char*, const char*> cases[] = {
      // Hex and binary before decimal, float before decimal; "0X" is not hexadecimal but a 0 and an identifier.
      {"0x1fUL 0b102 12.5 12. 010u", "4:0x1fUL 5:0b10 3:2 6:12.5 3:12 19:. 3:010u "}, {"0X10", "3:0 8:X10 "},
      // Suffixes in the fixed order U L L u l l only; a decimal run stops at a letter, which starts an identifier.
      {"1ULLull 1LU", "3:1ULLull 3:1L 8:U "}, {"123abc $x _a$1", "3:123 8:abc 8:$x 8:_a$1 "},
      {"@r0 @ @_x9", "9:@r0 9:@ 9:@_x9 "}, {"\"a b\"\"\"", "7:\"a b\" 7:\"\" "}, {":: : ;", "12::: 11:: 10:; "},
      {"-> -- - -= ++ +=", "20:-> 22:-- 29:- 47:-= 21:++ 46:+= "}, {"!= ! ~ == =", "38:!= 24:! 23:~ 37:== 45:= "},
      {"<<= << <= < >>>= >>> >>= >> >= >", "52:<<= 30:<< 34:<= 33:< 53:>>>= 32:>>> 51:>>= 31:>> 36:>= 35:> "},
      {"^= ^ &= && & |= || |", "55:^= 40:^ 54:&= 42:&& 39:& 56:|= 43:|| 41:| "},
      {"*= * /= / %= % ? ,", "48:*= 25:* 49:/= 26:/ 50:%= 27:% 44:? 57:, "},
      {"()[]{}.", "13:( 14:) 15:[ 16:] 17:{ 18:} 19:. "}, {" \t\n\v\f\r1\r\n", "3:1 "},
  };
  for (const auto& [input, expected] : cases) EXPECT_EQ(lex(lexer, input), expected) << input;
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
  EXPECT_EQ(lex(lexer, "N+EMPTY"), "3:2 25:* 13:( 3:3 14:) 28:+ 8:EMPTY ");
  EXPECT_EQ(lexer.calls, 3);
  // Positions of tokens from a replacement point after the replaced name.
  lexer.setInput("N  1");
  EXPECT_EQ(lexer.next().position, 1u);
  for (int i = 0; i < 4; ++i) lexer.next();
  EXPECT_EQ(lexer.next().position, 3u);

  // The parser reads through the hook.
  SimpleExpressionParser parser(std::make_unique<TableLexer>(std::map<std::string, std::string>{{"N", "3"}}));
  EXPECT_TRUE(parser.evaluateBool("N > 2 && 0x100 == 256"));
  EXPECT_EQ(parser.evaluateSigned("N*N"), 9);
  EXPECT_EQ(parser.parse("-N+x")->toString(), "PlusExpression(NegateExpression(3), x)");
}

TEST(ExpressionLexerTest, MacroHookThatNeverStopsIsBounded) {
  std::string endless;
  for (std::size_t i = 0; i <= Lexer::kMaxReplacements; ++i) endless += "A ";
  const struct { std::map<std::string, std::string> table; std::string input; const char* message; } cases[] = {
      {{{"A", "A"}}, "A", "macro replacement nested too deeply at 'A'"},
      {{{"A", "B"}, {"B", "A"}}, "A", "macro replacement nested too deeply at 'B'"},
      {{{"A", "1 A"}}, "A", "macro replacement nested too deeply at 'A'"},
      // Shallow but endless: each replacement finishes before the next.
      {{{"A", "1"}}, endless, "too many macro replacements at 'A'"},
  };
  for (const auto& c : cases) {
    TableLexer lexer(c.table);
    EXPECT_EQ(lex(lexer, c.input), c.message) << c.input.substr(0, 8);
  }
}

}  // namespace
}  // namespace tidewater
