#include "expression/simple_expression_parser.h"

#include "expression/parser_exception.h"

namespace tidewater {

SimpleExpressionParser::SimpleExpressionParser()
    : ExpressionParser(std::make_unique<CStyleLexer>()) {}

SimpleExpressionParser::SimpleExpressionParser(std::unique_ptr<Lexer> lexer)
    : ExpressionParser(std::move(lexer)) {}

ExpressionValue SimpleExpressionParser::lookupSymbol(const std::vector<std::string>& scope) {
  std::string name;
  for (std::size_t i = 0; i < scope.size(); ++i) {
    if (i > 0) name += "::";
    name += scope[i];
  }
  throw ParserException(name + " symbol not found");
}

ExpressionValue SimpleExpressionParser::lookupSymbolInScope(const ExpressionValue&,
                                                            const std::string&) {
  throw ParserException("this symbol not found");
}

ExpressionValue SimpleExpressionParser::lookupRegister(const std::string& name) {
  throw ParserException(name + "unknown register");
}

ExpressionValue SimpleExpressionParser::cast(const ExpressionType&, const ExpressionValue&) {
  throw ParserException("cannot cast");
}

ExpressionValue SimpleExpressionParser::dereference(const ExpressionValue&,
                                                    const ExpressionValue&) {
  throw ParserException("cannot dereference");
}

ExpressionValue SimpleExpressionParser::addressOf(const Expression&) {
  throw ParserException("addressof not implemented");
}

ExpressionValue SimpleExpressionParser::addressOfLine(const std::string&, int64_t) {
  throw ParserException("addressof not implemented");
}

ExpressionValue SimpleExpressionParser::sizeofExpression(const Expression&) {
  throw ParserException("sizeof expression not implemented");
}

ExpressionValue SimpleExpressionParser::sizeofType(const ExpressionType&) {
  throw ParserException("sizeof(typename) not implemented");
}

ExpressionValue SimpleExpressionParser::call(const Expression&,
                                             const std::vector<ExpressionValue>&) {
  throw ParserException("function calling not implemented");
}

ExpressionValue SimpleExpressionParser::assign(const Expression&, const ExpressionValue&) {
  throw ParserException("can't update a constant");
}

}  // namespace tidewater
