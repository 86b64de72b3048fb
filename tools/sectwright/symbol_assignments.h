#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "expression/simple_expression_parser.h"

namespace tidewater {

/// One "NAME=VALUE" item of -symbols: the name, the text written into the
/// script and the value placement expressions see. The name is a script
/// identifier and the value fits in 32 bits.
struct SymbolAssignment {
  std::string name;
  std::string scriptText;
  uint32_t value = 0;
};

/// Parses the ";"-separated -symbols list. A value is an expression over
/// literals and the names assigned before it; a later assignment to the
/// same name replaces the earlier one in place. Throws HException naming
/// the bad item.
std::vector<SymbolAssignment> parseSymbolAssignments(std::string_view text);

/// Evaluates the start and size expressions of a placement: arithmetic over
/// literals and the names of the symbol assignments it was made with (which
/// must outlive it).
class SymbolExpressionParser final : public SimpleExpressionParser {
 public:
  explicit SymbolExpressionParser(const std::vector<SymbolAssignment>& symbols)
      : symbols_(symbols) {}

  ExpressionValue lookupSymbol(const std::vector<std::string>& scope) override;

  /// The value of a complete expression; throws HException, "context"
  /// and then why, when the text is empty, has text after the expression,
  /// fails to evaluate, is not an integer or does not fit in 32 bits.
  uint32_t value32(const std::string& context, const std::string& text);

 private:
  const std::vector<SymbolAssignment>& symbols_;
};

}  // namespace tidewater
