#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tidewater {

/// Token codes of the C-like expression language. The numbers are the
/// codes of the token table and must not change.
enum class TokenCode : int32_t {
  None = 0,
  End = 1,
  Whitespace = 2,
  Decimal = 3,
  Hex = 4,
  Binary = 5,
  Float = 6,
  String = 7,
  Identifier = 8,
  Register = 9,
  Semicolon = 10,
  Colon = 11,
  ColonColon = 12,
  LeftParen = 13,
  RightParen = 14,
  LeftBracket = 15,
  RightBracket = 16,
  LeftBrace = 17,
  RightBrace = 18,
  Dot = 19,
  Arrow = 20,
  PlusPlus = 21,
  MinusMinus = 22,
  Tilde = 23,
  Bang = 24,
  Star = 25,
  Slash = 26,
  Percent = 27,
  Plus = 28,
  Minus = 29,
  Lshift = 30,
  Rshift = 31,
  UnsignedRshift = 32,
  Lt = 33,
  Le = 34,
  Gt = 35,
  Ge = 36,
  EqEq = 37,
  Ne = 38,
  Amp = 39,
  Caret = 40,
  Pipe = 41,
  AmpAmp = 42,
  PipePipe = 43,
  Question = 44,
  Assign = 45,
  PlusAssign = 46,
  MinusAssign = 47,
  StarAssign = 48,
  SlashAssign = 49,
  PercentAssign = 50,
  RshiftAssign = 51,
  LshiftAssign = 52,
  UnsignedRshiftAssign = 53,
  AmpAssign = 54,
  CaretAssign = 55,
  PipeAssign = 56,
  Comma = 57,
};

/// Precedence of a token that is not a binary operator.
constexpr int32_t kNoPrecedence = 10;

/// One token as the parser sees it: its code, its binary precedence
/// (kNoPrecedence for everything that is not a binary operator) and its text.
struct Token {
  TokenCode code = TokenCode::End;
  int32_t precedence = kNoPrecedence;
  std::string text;
  /// Where the token starts in the outermost input; for a token read from a
  /// macro replacement, where the outermost input continues.
  std::size_t position = 0;
};

/// Length of the match of a token pattern that starts exactly at `position`
/// of `text`, or 0 when it does not match there (no pattern matches empty).
using TokenMatcher = std::size_t (*)(std::string_view text, std::size_t position);

/// One row of the token table: a pattern (a matcher function, or the exact
/// text `literal` when the matcher is null), its code and its precedence.
struct TokenRule {
  TokenMatcher matcher = nullptr;
  std::string_view literal;
  TokenCode code = TokenCode::None;
  int32_t precedence = kNoPrecedence;
};

/// A table-driven tokenizer over a stack of inputs. At each position the
/// rules are tried in table order and the first that matches wins (not the
/// longest). Whitespace is skipped; an identifier for which the macro hook
/// returns text is replaced by that text, read as a nested input.
class Lexer {
 public:
  /// Nested macro replacements beyond this raise a ParserException, so that
  /// a hook that keeps returning identifiers cannot loop forever.
  static constexpr std::size_t kMaxInputDepth = 64;
  /// Replacements allowed during one input, for hooks whose texts fan out.
  static constexpr std::size_t kMaxReplacements = 10000;

  Lexer() = default;
  virtual ~Lexer() = default;
  Lexer(const Lexer&) = delete;
  Lexer& operator=(const Lexer&) = delete;

  /// Starts reading `text`, forgetting any previous input.
  void setInput(std::string text);
  /// The next token other than whitespace; End at the end of the outermost
  /// input. Raises "unrecognised token: " with the rest of the input when no
  /// rule matches.
  Token next();

  const std::vector<TokenRule>& rules() const { return rules_; }

 protected:
  void addRule(TokenMatcher matcher, TokenCode code, int32_t precedence = kNoPrecedence);
  void addRule(std::string_view literal, TokenCode code, int32_t precedence = kNoPrecedence);
  /// Replacement text for an identifier; empty means none (the default).
  virtual std::string expandMacro(const std::string& identifier);

 private:
  struct Input {
    std::string text;
    std::size_t position = 0;
  };

  const TokenRule* match(std::string_view text, std::size_t position, std::size_t& length) const;

  std::vector<TokenRule> rules_;
  std::vector<Input> inputs_;
  std::size_t replacements_ = 0;
};

/// The lexer of the C-like expression language: literals, identifiers,
/// registers ("@name"), punctuation and the operators with their binary
/// precedences (-4 for "," up to 9 for "*", "/", "%").
class CStyleLexer : public Lexer {
 public:
  CStyleLexer();
};

}  // namespace tidewater
