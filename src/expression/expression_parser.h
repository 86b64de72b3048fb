#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "expression/expression.h"
#include "expression/expression_types.h"
#include "expression/expression_value.h"
#include "expression/lexer.h"

namespace tidewater {

/// Parses C-like expressions by precedence climbing over the binary levels
/// -4 (",") to 9 ("*", "/", "%") and evaluates them. What names, registers,
/// types and memory mean is left to derived parsers through the hooks.
/// Every error is a ParserException; the evaluate* conveniences catch it.
/// Nesting is bounded (kMaxNesting, kMaxTreeDepth), so no input can exhaust
/// the stack.
class ExpressionParser {
 public:
  /// Parentheses, unary operators and casts nested deeper than this raise
  /// "expression nested too deeply".
  static constexpr int32_t kMaxNesting = 200;
  /// Depth of a tree (Expression::depth, where a flat operator chain such as
  /// "1+1+...+1" is one level) beyond which parsing stops with the same message.
  static constexpr int32_t kMaxTreeDepth = 1000;

  explicit ExpressionParser(std::unique_ptr<Lexer> lexer);
  virtual ~ExpressionParser();
  ExpressionParser(const ExpressionParser&) = delete;
  ExpressionParser& operator=(const ExpressionParser&) = delete;

  /// Parses one expression at the lowest precedence; null for text without
  /// tokens. Text after a complete expression is left unread ("1 2" is 1);
  /// `endPosition`, when given, receives the offset where parsing stopped.
  std::unique_ptr<Expression> parse(const std::string& text, std::size_t* endPosition = nullptr);
  /// Parses and evaluates; an unknown value for text without tokens.
  ExpressionValue evaluate(const std::string& text);
  /// The value as unsigned 64-bit when it is an integer or floating value;
  /// otherwise, or on an error, 0 with *ok false.
  uint64_t evaluateUnsigned(const std::string& text, bool* ok = nullptr);
  int64_t evaluateSigned(const std::string& text, bool* ok = nullptr);
  /// True only for a boolean result (comparisons, logical operators).
  bool evaluateBool(const std::string& text, bool* ok = nullptr);

  /// Value of a decimal, hexadecimal ("0x"), binary ("0b") or octal
  /// (leading "0") literal; digits end at the first U, u, L or l. A value
  /// that fits in 64 unsigned bits keeps its bits, so 0xFFFFFFFFFFFFFFFF is
  /// -1; a wider one raises "integer literal too large".
  static int64_t integerLiteralValue(std::string_view text);

  // ---- hooks: what names, registers, memory and types mean ----

  /// A symbol given by its scope parts ("a::b" is {"a", "b"}).
  virtual ExpressionValue lookupSymbol(const std::vector<std::string>& scope) = 0;
  /// A member of a value: operand.name and operand->name.
  virtual ExpressionValue lookupSymbolInScope(const ExpressionValue& scope,
                                              const std::string& name) = 0;
  /// "@name", without the "@".
  virtual ExpressionValue lookupRegister(const std::string& name) = 0;
  virtual ExpressionValue cast(const ExpressionType& type, const ExpressionValue& value) = 0;
  /// base[index]; "*p" arrives as index 0.
  virtual ExpressionValue dereference(const ExpressionValue& base, const ExpressionValue& index) = 0;
  virtual ExpressionValue addressOf(const Expression& operand) = 0;
  virtual ExpressionValue addressOfLine(const std::string& file, int64_t line) = 0;
  virtual ExpressionValue sizeofExpression(const Expression& operand) = 0;
  virtual ExpressionValue sizeofType(const ExpressionType& type) = 0;
  virtual ExpressionValue call(const Expression& function,
                               const std::vector<ExpressionValue>& arguments) = 0;
  virtual ExpressionValue assign(const Expression& target, const ExpressionValue& value) = 0;
  /// The value a marker stands for; by default the marker itself.
  virtual ExpressionValue resolveMarker(const ExpressionValue& marker);
  /// A type known by name (a typedef), or null; by default none.
  virtual std::unique_ptr<ExpressionType> lookupType(const std::string& name);
  /// A structure known by its tag, or null; by default none.
  virtual std::unique_ptr<StructType> lookupStruct(const std::string& tag);

 private:
  class NestingGuard;

  void advance();
  bool isIdentifier(const char* name) const;
  void expect(TokenCode code, const char* message);
  std::unique_ptr<Expression> checked(std::unique_ptr<Expression> node) const;

  std::unique_ptr<Expression> parseLevel(int32_t precedence);
  std::unique_ptr<Expression> combine(const Token& op, std::unique_ptr<Expression> left,
                                      std::unique_ptr<Expression> right);
  std::unique_ptr<Expression> parseUnary();
  std::unique_ptr<Expression> parsePrimary();
  std::unique_ptr<Expression> parsePostfix(std::unique_ptr<Expression> primary);
  std::unique_ptr<Expression> parseName();
  std::unique_ptr<Expression> parseSizeof();
  std::unique_ptr<Expression> parseAddressofLine();
  std::unique_ptr<Expression> parseParenthesised();
  int64_t parseIntegerToken(const char* message);

  bool isTypeStart();
  std::unique_ptr<ExpressionType> parseTypeName();
  std::unique_ptr<ExpressionType> parseStructType();
  std::unique_ptr<ExpressionType> parseRegisterType();
  std::unique_ptr<ExpressionType> parseArraySuffix(std::unique_ptr<ExpressionType> element);

  std::unique_ptr<Lexer> lexer_;
  Token current_;
  int32_t nesting_ = 0;
};

}  // namespace tidewater
