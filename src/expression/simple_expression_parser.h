#pragma once

#include <memory>
#include <string>
#include <vector>

#include "expression/expression_parser.h"

namespace tidewater {

/// The expression parser of the XML preprocessor: it knows no symbols,
/// registers, types or memory, so every hook that would need them raises
/// its error and what remains is arithmetic, logic, comparison and string
/// equality on literals.
class SimpleExpressionParser : public ExpressionParser {
 public:
  /// A parser with its own CStyleLexer.
  SimpleExpressionParser();
  /// A parser reading through `lexer`, e.g. one with a macro hook.
  explicit SimpleExpressionParser(std::unique_ptr<Lexer> lexer);

  ExpressionValue lookupSymbol(const std::vector<std::string>& scope) override;
  ExpressionValue lookupSymbolInScope(const ExpressionValue& scope,
                                      const std::string& name) override;
  ExpressionValue lookupRegister(const std::string& name) override;
  ExpressionValue cast(const ExpressionType& type, const ExpressionValue& value) override;
  ExpressionValue dereference(const ExpressionValue& base, const ExpressionValue& index) override;
  ExpressionValue addressOf(const Expression& operand) override;
  ExpressionValue addressOfLine(const std::string& file, int64_t line) override;
  ExpressionValue sizeofExpression(const Expression& operand) override;
  ExpressionValue sizeofType(const ExpressionType& type) override;
  ExpressionValue call(const Expression& function,
                       const std::vector<ExpressionValue>& arguments) override;
  ExpressionValue assign(const Expression& target, const ExpressionValue& value) override;
};

}  // namespace tidewater
