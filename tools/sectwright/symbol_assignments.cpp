#include "sectwright/symbol_assignments.h"

#include <algorithm>
#include <cstdint>

#include "base/h_exception.h"
#include "base/split_list.h"
#include "base/strings.h"
#include "expression/parser_exception.h"
#include "sectwright/script_values.h"

namespace tidewater {

ExpressionValue SymbolExpressionParser::lookupSymbol(const std::vector<std::string>& scope) {
  if (scope.size() == 1) {
    for (const SymbolAssignment& symbol : symbols_) {
      if (symbol.name == scope.front()) return ExpressionValue::makeUnsigned(symbol.value, 4);
    }
  }
  return SimpleExpressionParser::lookupSymbol(scope);
}

uint32_t SymbolExpressionParser::value32(const std::string& context, const std::string& text) {
  const auto fail = [&context](const std::string& reason) { throw HException(context + reason); };
  if (trimmed(text).empty()) fail("empty expression");
  ExpressionValue value;
  // The evaluator's own error says what went wrong but not in which text.
  try {
    std::size_t end = 0;
    if (!parse(text, &end) || !trimmed(std::string_view(text).substr(end)).empty()) {
      fail("unexpected text in \"" + text + "\"");
    }
    value = evaluate(text);
  } catch (const ParserException& error) {
    fail(error.message() + " in \"" + text + "\"");
  }
  if (!value.isInteger()) fail("\"" + text + "\" is not an integer");
  if (value.kind == ValueKind::Signed && value.asSigned() < 0) fail("\"" + text + "\" is negative");
  const uint64_t result = value.asUnsigned();
  if (result > UINT32_MAX) fail("\"" + text + "\" does not fit in 32 bits");
  return static_cast<uint32_t>(result);
}

std::vector<SymbolAssignment> parseSymbolAssignments(std::string_view text) {
  std::vector<SymbolAssignment> symbols;
  SymbolExpressionParser parser(symbols);
  for (const std::string& item : splitEscapedList(text)) {
    if (trimmed(item).empty()) continue;
    const std::size_t equals = item.find('=');
    const std::string_view name =
        trimmed(std::string_view(item).substr(0, std::min(equals, item.size())));
    if (equals == std::string::npos || !isScriptIdentifier(name)) {
      throw HException("bad -symbols item \"" + item + "\": expected NAME=VALUE");
    }
    const std::string valueText(trimmed(std::string_view(item).substr(equals + 1)));
    SymbolAssignment symbol{std::string(name), valueText, 0};
    symbol.value = parser.value32("bad -symbols item \"" + item + "\": ", valueText);
    // A plain literal goes into the script as written; anything else as its value.
    if (!parseIntegerLiteral(valueText)) symbol.scriptText = hexText(symbol.value);
    auto existing = std::find_if(symbols.begin(), symbols.end(),
                                 [&](const SymbolAssignment& s) { return s.name == symbol.name; });
    if (existing != symbols.end()) {
      *existing = std::move(symbol);
    } else {
      symbols.push_back(std::move(symbol));
    }
  }
  return symbols;
}

}  // namespace tidewater
