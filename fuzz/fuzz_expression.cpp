// Feeds arbitrary text to the expression evaluator: the four evaluate
// calls, and parse followed by printing, visiting and duplicating the tree.
// Only ParserException may escape the parser; anything else, a crash or a
// hang is a finding. A macro hook that expands "M" to the start of the
// input again exercises nested lexer inputs and their bounds.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "expression/parser_exception.h"
#include "expression/simple_expression_parser.h"

namespace {

class RecursiveLexer : public tidewater::CStyleLexer {
 public:
  std::string replacement;

 protected:
  std::string expandMacro(const std::string& identifier) override {
    return identifier == "M" ? replacement : std::string();
  }
};

void parseAndWalk(tidewater::ExpressionParser& parser, const std::string& text) {
  try {
    std::size_t end = 0;
    std::unique_ptr<tidewater::Expression> tree = parser.parse(text, &end);
    if (end > text.size()) std::abort();
    if (!tree) return;
    const std::string printed = tree->toString();
    int operands = 0;
    tree->visit([&operands](tidewater::Expression&) { ++operands; });
    try {
      const std::unique_ptr<tidewater::Expression> copy = tree->duplicate();
      if (copy->toString() != printed) std::abort();
    } catch (const tidewater::ParserException&) {
    }
    (void)tree->evaluate(parser);
  } catch (const tidewater::ParserException&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  static tidewater::SimpleExpressionParser parser;

  try {
    (void)parser.evaluate(text);
  } catch (const tidewater::ParserException&) {
  }
  bool ok = true;
  if (parser.evaluateUnsigned(text, &ok) != 0 && !ok) std::abort();
  if (parser.evaluateSigned(text, &ok) != 0 && !ok) std::abort();
  if (parser.evaluateBool(text, &ok) && !ok) std::abort();
  parseAndWalk(parser, text);

  auto lexer = std::make_unique<RecursiveLexer>();
  RecursiveLexer* hook = lexer.get();
  hook->replacement = text.substr(0, 16);
  tidewater::SimpleExpressionParser expanding(std::move(lexer));
  parseAndWalk(expanding, text);
  return 0;
}
