#include "expression/expression_parser.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "base/strings.h"
#include "expression/parser_exception.h"

namespace tidewater {

namespace {

[[noreturn]] void fail(const std::string& message) { throw ParserException(message); }

bool isIntegerToken(TokenCode code) {
  return code == TokenCode::Decimal || code == TokenCode::Hex || code == TokenCode::Binary;
}

// The binary operator a token stands for, alone or in "op=".
bool binaryOperatorOf(TokenCode code, BinaryOperator& op) {
  switch (code) {
    case TokenCode::Star: case TokenCode::StarAssign: op = BinaryOperator::Multiply; return true;
    case TokenCode::Slash: case TokenCode::SlashAssign: op = BinaryOperator::Divide; return true;
    case TokenCode::Percent: case TokenCode::PercentAssign: op = BinaryOperator::Mod; return true;
    case TokenCode::Plus: case TokenCode::PlusAssign: op = BinaryOperator::Plus; return true;
    case TokenCode::Minus: case TokenCode::MinusAssign: op = BinaryOperator::Minus; return true;
    case TokenCode::Lshift: case TokenCode::LshiftAssign: op = BinaryOperator::Lshift; return true;
    case TokenCode::Rshift: case TokenCode::RshiftAssign: op = BinaryOperator::Rshift; return true;
    case TokenCode::Lt: op = BinaryOperator::Lt; return true;
    case TokenCode::Le: op = BinaryOperator::Le; return true;
    case TokenCode::Gt: op = BinaryOperator::Gt; return true;
    case TokenCode::Ge: op = BinaryOperator::Ge; return true;
    case TokenCode::EqEq: op = BinaryOperator::Eq; return true;
    case TokenCode::Ne: op = BinaryOperator::Ne; return true;
    case TokenCode::Amp: case TokenCode::AmpAssign: op = BinaryOperator::BitAnd; return true;
    case TokenCode::Caret: case TokenCode::CaretAssign: op = BinaryOperator::BitXor; return true;
    case TokenCode::Pipe: case TokenCode::PipeAssign: op = BinaryOperator::BitOr; return true;
    case TokenCode::AmpAmp: op = BinaryOperator::LogicalAnd; return true;
    case TokenCode::PipePipe: op = BinaryOperator::LogicalOr; return true;
    default: return false;
  }
}

// Digit value of a literal character: letters count from 10 in either case.
int digitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return -1;
}

}  // namespace

/// Counts the nesting of parseUnary, which every recursion of the parser
/// passes through, and stops it before the stack runs out.
class ExpressionParser::NestingGuard {
 public:
  explicit NestingGuard(ExpressionParser& parser) : parser_(parser) {
    if (++parser_.nesting_ > kMaxNesting) {
      --parser_.nesting_;
      fail("expression nested too deeply");
    }
  }
  ~NestingGuard() { --parser_.nesting_; }
  NestingGuard(const NestingGuard&) = delete;
  NestingGuard& operator=(const NestingGuard&) = delete;

 private:
  ExpressionParser& parser_;
};

ExpressionParser::ExpressionParser(std::unique_ptr<Lexer> lexer) : lexer_(std::move(lexer)) {}

ExpressionParser::~ExpressionParser() = default;

int64_t ExpressionParser::integerLiteralValue(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && isAsciiSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  unsigned base = 10;
  if (text.substr(i, 2) == "0x") {
    base = 16;
    i += 2;
  } else if (text.substr(i, 2) == "0b") {
    base = 2;
    i += 2;
  } else if (text.substr(i, 1) == "0") {
    base = 8;
  }
  // Digits are not checked against the base ("09" reads as 9), as the
  // conversion has always done; only the 64-bit range is enforced.
  uint64_t value = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c == 'U' || c == 'u' || c == 'L' || c == 'l') break;
    const int digit = digitValue(c);
    if (digit < 0) break;
    const auto d = static_cast<uint64_t>(digit);
    if (value > (std::numeric_limits<uint64_t>::max() - d) / base) {
      fail("integer literal too large");
    }
    value = value * base + d;
  }
  return static_cast<int64_t>(negative ? 0 - value : value);
}

ExpressionValue ExpressionParser::resolveMarker(const ExpressionValue& marker) { return marker; }

std::unique_ptr<ExpressionType> ExpressionParser::lookupType(const std::string&) { return nullptr; }

std::unique_ptr<StructType> ExpressionParser::lookupStruct(const std::string&) { return nullptr; }

// ---- entry points ----

std::unique_ptr<Expression> ExpressionParser::parse(const std::string& text,
                                                    std::size_t* endPosition) {
  nesting_ = 0;
  lexer_->setInput(text);
  advance();
  std::unique_ptr<Expression> result;
  if (current_.code != TokenCode::End) result = parseLevel(-4);
  if (endPosition != nullptr) *endPosition = current_.position;
  return result;
}

ExpressionValue ExpressionParser::evaluate(const std::string& text) {
  const std::unique_ptr<Expression> tree = parse(text);
  if (!tree) return ExpressionValue();
  ExpressionValue value = tree->evaluate(*this);
  return value.kind == ValueKind::Marker ? resolveMarker(value) : value;
}

uint64_t ExpressionParser::evaluateUnsigned(const std::string& text, bool* ok) {
  try {
    const ExpressionValue value = evaluate(text);
    if (value.isInteger() || value.kind == ValueKind::Floating) {
      if (ok != nullptr) *ok = true;
      return value.asUnsigned();
    }
  } catch (const ParserException&) {
  }
  if (ok != nullptr) *ok = false;
  return 0;
}

int64_t ExpressionParser::evaluateSigned(const std::string& text, bool* ok) {
  try {
    const ExpressionValue value = evaluate(text);
    if (value.isInteger() || value.kind == ValueKind::Floating) {
      if (ok != nullptr) *ok = true;
      return value.asSigned();
    }
  } catch (const ParserException&) {
  }
  if (ok != nullptr) *ok = false;
  return 0;
}

bool ExpressionParser::evaluateBool(const std::string& text, bool* ok) {
  try {
    const ExpressionValue value = evaluate(text);
    if (value.kind == ValueKind::Boolean) {
      if (ok != nullptr) *ok = true;
      return value.data != 0;
    }
  } catch (const ParserException&) {
  }
  if (ok != nullptr) *ok = false;
  return false;
}

// ---- token helpers ----

void ExpressionParser::advance() { current_ = lexer_->next(); }

bool ExpressionParser::isIdentifier(const char* name) const {
  return current_.code == TokenCode::Identifier && current_.text == name;
}

void ExpressionParser::expect(TokenCode code, const char* message) {
  if (current_.code != code) fail(message);
  advance();
}

std::unique_ptr<Expression> ExpressionParser::checked(std::unique_ptr<Expression> node) const {
  if (node->depth() > kMaxTreeDepth) fail("expression nested too deeply");
  return node;
}

int64_t ExpressionParser::parseIntegerToken(const char* message) {
  if (!isIntegerToken(current_.code)) fail(message);
  const int64_t value = integerLiteralValue(current_.text);
  advance();
  return value;
}

// ---- binary levels ----

std::unique_ptr<Expression> ExpressionParser::parseLevel(int32_t precedence) {
  const auto operand = [this, precedence] {
    return precedence >= 9 ? parseUnary() : parseLevel(precedence + 1);
  };
  std::unique_ptr<Expression> left = operand();
  while (current_.precedence == precedence) {
    const Token op = current_;
    if (op.code == TokenCode::UnsignedRshift || op.code == TokenCode::UnsignedRshiftAssign ||
        op.code == TokenCode::Question || op.code == TokenCode::Comma) {
      fail("operator not supported");
    }
    advance();
    left = checked(combine(op, std::move(left), operand()));
  }
  return left;
}

std::unique_ptr<Expression> ExpressionParser::combine(const Token& op,
                                                      std::unique_ptr<Expression> left,
                                                      std::unique_ptr<Expression> right) {
  if (op.code == TokenCode::Assign) {
    return std::make_unique<AssignExpression>(std::move(left), std::move(right));
  }
  BinaryOperator binary{};
  if (!binaryOperatorOf(op.code, binary)) fail("operator not supported");
  if (op.precedence == -3) {  // "a op= b" is "a = a op b"
    auto value = makeBinaryExpression(binary, left->duplicate(), std::move(right));
    return std::make_unique<AssignExpression>(std::move(left), std::move(value));
  }
  return makeBinaryExpression(binary, std::move(left), std::move(right));
}

// ---- unary and primary ----

std::unique_ptr<Expression> ExpressionParser::parseUnary() {
  NestingGuard guard(*this);
  switch (current_.code) {
    case TokenCode::PlusPlus:
    case TokenCode::MinusMinus: {
      const BinaryOperator op =
          current_.code == TokenCode::PlusPlus ? BinaryOperator::Plus : BinaryOperator::Minus;
      advance();
      std::unique_ptr<Expression> target = parseUnary();
      auto value = makeBinaryExpression(op, target->duplicate(),
                                        std::make_unique<IntegerConstantExpression>(1));
      return checked(std::make_unique<AssignExpression>(std::move(target), std::move(value)));
    }
    case TokenCode::Tilde:
      advance();
      return checked(makeUnaryExpression(UnaryOperator::BitNot, parseUnary()));
    case TokenCode::Bang:
      advance();
      return checked(makeUnaryExpression(UnaryOperator::LogicalNot, parseUnary()));
    case TokenCode::Minus:
      advance();
      return checked(makeUnaryExpression(UnaryOperator::Negate, parseUnary()));
    case TokenCode::Plus:
      advance();
      return parseUnary();
    case TokenCode::Star:
      advance();
      return checked(std::make_unique<LeftSquareBracketExpression>(
          parseUnary(), std::make_unique<IntegerConstantExpression>(0)));
    case TokenCode::Amp:
      advance();
      return checked(std::make_unique<AddressofExpression>(parseUnary()));
    default:
      return parsePostfix(parsePrimary());
  }
}

std::unique_ptr<Expression> ExpressionParser::parsePrimary() {
  std::unique_ptr<Expression> primary;
  switch (current_.code) {
    case TokenCode::Decimal:
    case TokenCode::Hex:
    case TokenCode::Binary:
      primary = std::make_unique<IntegerConstantExpression>(integerLiteralValue(current_.text));
      break;
    case TokenCode::Float: {
      double value = 0;
      const char* first = current_.text.data();
      const char* last = first + current_.text.size();
      // Only digits and one point reach here, so the only failure is a
      // value beyond the double range.
      if (std::from_chars(first, last, value).ec != std::errc()) {
        value = std::numeric_limits<double>::infinity();
      }
      primary = std::make_unique<FloatConstantExpression>(value);
      break;
    }
    case TokenCode::String:
      primary = std::make_unique<StringConstantExpression>(
          current_.text.substr(1, current_.text.size() - 2));
      break;
    case TokenCode::Register:
      primary = std::make_unique<RegisterExpression>(current_.text.substr(1));
      break;
    case TokenCode::Identifier:
      if (isIdentifier("sizeof")) return parseSizeof();
      if (isIdentifier("addressof")) return parseAddressofLine();
      return parseName();
    case TokenCode::ColonColon:
      return parseName();
    case TokenCode::LeftParen:
      return parseParenthesised();
    default:
      fail("expression expected");
  }
  advance();
  return primary;
}

std::unique_ptr<Expression> ExpressionParser::parseName() {
  std::vector<std::string> parts;
  if (current_.code == TokenCode::Identifier) {
    parts.push_back(current_.text);
    advance();
  } else {
    parts.emplace_back();  // a leading "::" names the global scope
  }
  while (current_.code == TokenCode::ColonColon) {
    advance();
    if (current_.code != TokenCode::Identifier) fail("identifier expected after '::'");
    parts.push_back(current_.text);
    advance();
  }
  if (parts.size() == 1) return std::make_unique<IdentifierExpression>(std::move(parts.front()));
  return std::make_unique<ScopedIdentifierExpression>(std::move(parts));
}

std::unique_ptr<Expression> ExpressionParser::parseSizeof() {
  advance();
  if (current_.code == TokenCode::LeftParen) {
    advance();
    if (isTypeStart()) {
      auto type = parseTypeName();
      expect(TokenCode::RightParen, "')' expected");
      return std::make_unique<SizeofExpression>(std::move(type));
    }
    std::unique_ptr<Expression> operand = parseLevel(-4);
    expect(TokenCode::RightParen, "')' expected");
    return checked(std::make_unique<SizeofExpression>(parsePostfix(std::move(operand))));
  }
  return checked(std::make_unique<SizeofExpression>(parseUnary()));
}

std::unique_ptr<Expression> ExpressionParser::parseAddressofLine() {
  advance();
  expect(TokenCode::LeftParen, "'(' expected");
  if (current_.code != TokenCode::String) fail("string expected");
  std::string file = current_.text.substr(1, current_.text.size() - 2);
  advance();
  expect(TokenCode::Comma, "',' expected");
  const int64_t line = parseIntegerToken("int expected");
  expect(TokenCode::RightParen, "')' expected");
  return std::make_unique<AddressofLineExpression>(std::move(file), line);
}

std::unique_ptr<Expression> ExpressionParser::parseParenthesised() {
  advance();
  if (isTypeStart()) {
    auto type = parseTypeName();
    expect(TokenCode::RightParen, "')' expected");
    return checked(std::make_unique<CastExpression>(std::move(type), parseUnary()));
  }
  std::unique_ptr<Expression> inner = parseLevel(-4);
  expect(TokenCode::RightParen, "')' expected");
  return inner;
}

std::unique_ptr<Expression> ExpressionParser::parsePostfix(std::unique_ptr<Expression> primary) {
  for (;;) {
    switch (current_.code) {
      case TokenCode::LeftBracket: {
        advance();
        std::unique_ptr<Expression> index = parseLevel(-4);
        expect(TokenCode::RightBracket, "']' expected");
        primary = checked(
            std::make_unique<LeftSquareBracketExpression>(std::move(primary), std::move(index)));
        break;
      }
      case TokenCode::Dot:
      case TokenCode::Arrow: {
        const bool arrow = current_.code == TokenCode::Arrow;
        advance();
        if (current_.code != TokenCode::Identifier) fail("identifier expected");
        std::string member = current_.text;
        advance();
        primary = checked(std::make_unique<DotExpression>(std::move(primary), std::move(member), arrow));
        break;
      }
      case TokenCode::LeftParen: {
        advance();
        std::vector<std::unique_ptr<Expression>> arguments;
        if (current_.code != TokenCode::RightParen) {
          // Arguments sit just above the comma level, which separates them.
          arguments.push_back(parseLevel(-3));
          while (current_.code == TokenCode::Comma) {
            advance();
            arguments.push_back(parseLevel(-3));
          }
        }
        expect(TokenCode::RightParen, "')' expected");
        primary = checked(std::make_unique<CallExpression>(std::move(primary), std::move(arguments)));
        break;
      }
      default:
        return primary;
    }
  }
}

// ---- type names ----

bool ExpressionParser::isTypeStart() {
  if (current_.code != TokenCode::Identifier) return false;
  return current_.text == "struct" || current_.text == "register" ||
         SimpleType::isKeyword(current_.text) || lookupType(current_.text) != nullptr;
}

std::unique_ptr<ExpressionType> ExpressionParser::parseTypeName() {
  std::unique_ptr<ExpressionType> type;
  if (isIdentifier("struct")) {
    type = parseStructType();
  } else if (isIdentifier("register")) {
    type = parseRegisterType();
  } else if (current_.code == TokenCode::Identifier && SimpleType::isKeyword(current_.text)) {
    std::vector<std::string> keywords;
    while (current_.code == TokenCode::Identifier && SimpleType::isKeyword(current_.text)) {
      keywords.push_back(current_.text);
      advance();
    }
    type = std::make_unique<SimpleType>(std::move(keywords));
  } else if (current_.code == TokenCode::Identifier) {
    auto target = lookupType(current_.text);
    if (!target) fail("identifier expected");
    type = std::make_unique<UserType>(current_.text, std::move(target));
    advance();
  } else {
    fail("identifier expected");
  }

  // Type chains are bounded like expressions, since their destruction recurses.
  for (int32_t stars = 0; current_.code == TokenCode::Star; ++stars) {
    if (stars >= kMaxNesting) fail("expression nested too deeply");
    advance();
    type = std::make_unique<PointerType>(std::move(type));
  }
  return parseArraySuffix(std::move(type));
}

std::unique_ptr<ExpressionType> ExpressionParser::parseArraySuffix(
    std::unique_ptr<ExpressionType> type) {
  // "T[2][3]" is two arrays of three, so the last count wraps first.
  std::vector<int64_t> counts;
  while (current_.code == TokenCode::LeftBracket) {
    advance();
    counts.push_back(parseIntegerToken("size expected"));
    expect(TokenCode::RightBracket, "expected ']'");
    if (counts.size() >= static_cast<std::size_t>(kMaxNesting)) fail("expression nested too deeply");
  }
  for (auto count = counts.rbegin(); count != counts.rend(); ++count) {
    type = std::make_unique<ArrayType>(std::move(type), *count);
  }
  return type;
}

// struct tag | struct [tag] { type field [: bits] ; ... }
std::unique_ptr<ExpressionType> ExpressionParser::parseStructType() {
  NestingGuard guard(*this);
  advance();
  std::string tag;
  if (current_.code == TokenCode::Identifier) {
    tag = current_.text;
    advance();
    if (current_.code != TokenCode::LeftBrace) {
      std::unique_ptr<StructType> known = lookupStruct(tag);
      if (!known) fail("struct type not found");
      return known;
    }
  }
  if (current_.code != TokenCode::LeftBrace) fail("struct parse error");
  advance();
  std::vector<StructType::Field> fields;
  while (current_.code != TokenCode::RightBrace) {
    if (!isTypeStart()) fail("struct parse error");
    StructType::Field field;
    field.type = parseTypeName();
    if (current_.code != TokenCode::Identifier) fail("fieldname expected");
    field.name = current_.text;
    advance();
    field.type = parseArraySuffix(std::move(field.type));  // "char name[8];"
    if (current_.code == TokenCode::Colon) {
      advance();
      field.bitSize = parseIntegerToken("integer must follow ':'");
    }
    expect(TokenCode::Semicolon, "';' expected");
    fields.push_back(std::move(field));
  }
  advance();
  return std::make_unique<StructType>(std::move(tag), std::move(fields));
}

// register size { field bitoffset bitsize ; ... }
std::unique_ptr<ExpressionType> ExpressionParser::parseRegisterType() {
  advance();
  const int64_t size = parseIntegerToken("size expected");
  expect(TokenCode::LeftBrace, "'{' expected");
  std::vector<RegisterType::Field> fields;
  while (current_.code != TokenCode::RightBrace) {
    RegisterType::Field field;
    if (current_.code != TokenCode::Identifier) fail("fieldname expected");
    field.name = current_.text;
    advance();
    field.bitOffset = parseIntegerToken("bitoffset expected");
    field.bitSize = parseIntegerToken("bitsize expected");
    expect(TokenCode::Semicolon, "';' expected");
    fields.push_back(std::move(field));
  }
  advance();
  return std::make_unique<RegisterType>(size, std::move(fields));
}

}  // namespace tidewater
