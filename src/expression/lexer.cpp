#include "expression/lexer.h"

#include "base/strings.h"
#include "expression/parser_exception.h"

namespace tidewater {

namespace {

// Character classes of the token patterns, ASCII only ("\s" is isAsciiSpace).
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHexDigit(char c) {
  return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isIdentifierStart(char c) { return isLetter(c) || c == '_' || c == '$'; }
bool isIdentifierPart(char c) { return isIdentifierStart(c) || isDigit(c); }
bool isRegisterPart(char c) { return isLetter(c) || c == '_' || isDigit(c); }

template <typename Predicate>
std::size_t skipWhile(std::string_view text, std::size_t position, Predicate predicate) {
  while (position < text.size() && predicate(text[position])) ++position;
  return position;
}

// "U?L?L?u?l?l?": each optional letter is taken when it is next.
std::size_t skipIntegerSuffix(std::string_view text, std::size_t position) {
  for (char letter : {'U', 'L', 'L', 'u', 'l', 'l'}) {
    if (position < text.size() && text[position] == letter) ++position;
  }
  return position;
}

bool startsWith(std::string_view text, std::size_t position, std::string_view prefix) {
  return text.substr(position, prefix.size()) == prefix;
}

// [\s]+
std::size_t matchWhitespace(std::string_view text, std::size_t position) {
  return skipWhile(text, position, isAsciiSpace) - position;
}

// "[^"]*" : no escapes, so the first quote after the opening one closes it.
std::size_t matchString(std::string_view text, std::size_t position) {
  if (text[position] != '"') return 0;
  const std::size_t close = text.find('"', position + 1);
  return close == std::string_view::npos ? 0 : close + 1 - position;
}

// 0x[0-9A-Fa-f]*U?L?L?u?l?l?
std::size_t matchHex(std::string_view text, std::size_t position) {
  if (!startsWith(text, position, "0x")) return 0;
  return skipIntegerSuffix(text, skipWhile(text, position + 2, isHexDigit)) - position;
}

// 0b[0-1]*
std::size_t matchBinary(std::string_view text, std::size_t position) {
  if (!startsWith(text, position, "0b")) return 0;
  return skipWhile(text, position + 2, [](char c) { return c == '0' || c == '1'; }) - position;
}

// \d+\.\d+
std::size_t matchFloat(std::string_view text, std::size_t position) {
  const std::size_t point = skipWhile(text, position, isDigit);
  if (point == position || point >= text.size() || text[point] != '.') return 0;
  const std::size_t end = skipWhile(text, point + 1, isDigit);
  return end == point + 1 ? 0 : end - position;
}

// \d+U?L?L?u?l?l?
std::size_t matchDecimal(std::string_view text, std::size_t position) {
  const std::size_t end = skipWhile(text, position, isDigit);
  return end == position ? 0 : skipIntegerSuffix(text, end) - position;
}

// [A-Za-z_$][A-Za-z_0-9$]*
std::size_t matchIdentifier(std::string_view text, std::size_t position) {
  if (!isIdentifierStart(text[position])) return 0;
  return skipWhile(text, position + 1, isIdentifierPart) - position;
}

// @[A-Za-z_0-9]*
std::size_t matchRegister(std::string_view text, std::size_t position) {
  if (text[position] != '@') return 0;
  return skipWhile(text, position + 1, isRegisterPart) - position;
}

}  // namespace

void Lexer::addRule(TokenMatcher matcher, TokenCode code, int32_t precedence) {
  rules_.push_back(TokenRule{matcher, {}, code, precedence});
}

void Lexer::addRule(std::string_view literal, TokenCode code, int32_t precedence) {
  rules_.push_back(TokenRule{nullptr, literal, code, precedence});
}

std::string Lexer::expandMacro(const std::string&) { return {}; }

void Lexer::setInput(std::string text) {
  inputs_.clear();
  inputs_.push_back(Input{std::move(text), 0});
  replacements_ = 0;
}

const TokenRule* Lexer::match(std::string_view text, std::size_t position,
                              std::size_t& length) const {
  for (const TokenRule& rule : rules_) {
    length = rule.matcher != nullptr ? rule.matcher(text, position)
             : startsWith(text, position, rule.literal) ? rule.literal.size()
                                                         : 0;
    if (length > 0) return &rule;
  }
  return nullptr;
}

Token Lexer::next() {
  for (;;) {
    if (inputs_.empty()) return Token{};
    const std::string_view text = inputs_.back().text;
    const std::size_t position = inputs_.back().position;
    if (position >= text.size()) {
      if (inputs_.size() == 1) return Token{TokenCode::End, kNoPrecedence, {}, position};
      inputs_.pop_back();
      continue;
    }
    std::size_t length = 0;
    const TokenRule* rule = match(text, position, length);
    if (rule == nullptr) {
      throw ParserException("unrecognised token: " + std::string(text.substr(position)));
    }
    inputs_.back().position += length;
    if (rule->code == TokenCode::Whitespace) continue;

    Token token{rule->code, rule->precedence, std::string(text.substr(position, length)),
                inputs_.size() == 1 ? position : inputs_.front().position};
    if (token.code == TokenCode::Identifier) {
      std::string replacement = expandMacro(token.text);
      if (!replacement.empty()) {
        // The replaced input stays on the stack until it is read to its end,
        // so a replacement that yields another identifier nests deeper.
        if (inputs_.size() >= kMaxInputDepth) {
          throw ParserException("macro replacement nested too deeply at '" + token.text + "'");
        }
        if (++replacements_ > kMaxReplacements) {
          throw ParserException("too many macro replacements at '" + token.text + "'");
        }
        inputs_.push_back(Input{std::move(replacement), 0});
        continue;
      }
    }
    return token;
  }
}

CStyleLexer::CStyleLexer() {
  addRule(matchWhitespace, TokenCode::Whitespace);
  addRule(matchString, TokenCode::String);
  addRule(matchHex, TokenCode::Hex);
  addRule(matchBinary, TokenCode::Binary);
  addRule(matchFloat, TokenCode::Float);
  addRule(matchDecimal, TokenCode::Decimal);
  addRule(matchIdentifier, TokenCode::Identifier);
  addRule(matchRegister, TokenCode::Register);

  // Where one operator is a prefix of another, the longer comes first.
  static constexpr struct {
    std::string_view text;
    TokenCode code;
    int32_t precedence;
  } kOperators[] = {
      {";", TokenCode::Semicolon, kNoPrecedence},
      {"::", TokenCode::ColonColon, kNoPrecedence},
      {":", TokenCode::Colon, kNoPrecedence},
      {"(", TokenCode::LeftParen, kNoPrecedence},
      {")", TokenCode::RightParen, kNoPrecedence},
      {"[", TokenCode::LeftBracket, kNoPrecedence},
      {"]", TokenCode::RightBracket, kNoPrecedence},
      {"{", TokenCode::LeftBrace, kNoPrecedence},
      {"}", TokenCode::RightBrace, kNoPrecedence},
      {".", TokenCode::Dot, kNoPrecedence},
      {"->", TokenCode::Arrow, kNoPrecedence},
      {"++", TokenCode::PlusPlus, kNoPrecedence},
      {"--", TokenCode::MinusMinus, kNoPrecedence},
      {"!=", TokenCode::Ne, 5},
      {"!", TokenCode::Bang, kNoPrecedence},
      {"~", TokenCode::Tilde, kNoPrecedence},
      {"*=", TokenCode::StarAssign, -3},
      {"*", TokenCode::Star, 9},
      {"/=", TokenCode::SlashAssign, -3},
      {"/", TokenCode::Slash, 9},
      {"%=", TokenCode::PercentAssign, -3},
      {"%", TokenCode::Percent, 9},
      {"+=", TokenCode::PlusAssign, -3},
      {"+", TokenCode::Plus, 8},
      {"-=", TokenCode::MinusAssign, -3},
      {"-", TokenCode::Minus, 8},
      {"<<=", TokenCode::LshiftAssign, -3},
      {"<<", TokenCode::Lshift, 7},
      {">>>=", TokenCode::UnsignedRshiftAssign, -3},
      {">>>", TokenCode::UnsignedRshift, 7},
      {">>=", TokenCode::RshiftAssign, -3},
      {">>", TokenCode::Rshift, 7},
      {"<=", TokenCode::Le, 6},
      {"<", TokenCode::Lt, 6},
      {">=", TokenCode::Ge, 6},
      {">", TokenCode::Gt, 6},
      {"==", TokenCode::EqEq, 5},
      {"^=", TokenCode::CaretAssign, -3},
      {"^", TokenCode::Caret, 3},
      {"&=", TokenCode::AmpAssign, -3},
      {"&&", TokenCode::AmpAmp, 1},
      {"&", TokenCode::Amp, 4},
      {"|=", TokenCode::PipeAssign, -3},
      {"||", TokenCode::PipePipe, 0},
      {"|", TokenCode::Pipe, 2},
      {"?", TokenCode::Question, -1},
      {"=", TokenCode::Assign, -2},
      {",", TokenCode::Comma, -4},
  };
  for (const auto& op : kOperators) addRule(op.text, op.code, op.precedence);
}

}  // namespace tidewater
