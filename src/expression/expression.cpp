#include "expression/expression.h"

#include <algorithm>
#include <charconv>

#include "expression/expression_parser.h"
#include "expression/parser_exception.h"

namespace tidewater {

namespace {

const char* className(UnaryOperator op) {
  switch (op) {
    case UnaryOperator::Negate: return "NegateExpression";
    case UnaryOperator::BitNot: return "BitNotExpression";
    default: return "LogicalNotExpression";
  }
}

const char* className(BinaryOperator op) {
  static constexpr const char* kNames[] = {
      "PlusExpression",  "MinusExpression",  "MultiplyExpression",   "DivideExpression",
      "ModExpression",   "LshiftExpression", "RshiftExpression",     "LtExpression",
      "LeExpression",    "GtExpression",     "GeExpression",         "EqExpression",
      "NeExpression",    "BitAndExpression", "BitXorExpression",     "BitOrExpression",
      "LogicalAndExpression", "LogicalOrExpression"};
  return kNames[static_cast<int>(op)];
}

std::string call(const char* name, std::initializer_list<std::string> operands) {
  std::string result = std::string(name) + "(";
  bool first = true;
  for (const std::string& operand : operands) {
    if (!first) result += ", ";
    result += operand;
    first = false;
  }
  return result + ")";
}

int32_t above(const Expression& function, const std::vector<std::unique_ptr<Expression>>& arguments) {
  int32_t depth = function.depth();
  for (const auto& argument : arguments) depth = std::max(depth, argument->depth());
  return depth + 1;
}
int32_t above(const Expression& a) { return a.depth() + 1; }
int32_t above(const Expression& a, const Expression& b) {
  return std::max(a.depth(), b.depth()) + 1;
}
/// A binary node's left operand is walked by a loop (see
/// BinaryExpression::evaluate), so only its right operand adds a level.
int32_t aboveBinary(const Expression& left, const Expression& right) {
  return std::max(left.depth(), right.depth() + 1);
}

}  // namespace

void Expression::visit(const std::function<void(Expression&)>&) {}

std::unique_ptr<Expression> Expression::duplicate() const {
  throw ParserException("cannot duplicate expression");
}

ExpressionValue Expression::operandValue(const Expression& operand, ExpressionParser& parser) {
  ExpressionValue value = operand.evaluate(parser);
  return value.kind == ValueKind::Marker ? parser.resolveMarker(value) : value;
}

ExpressionValue ConstantExpression::evaluate(ExpressionParser&) const { return value_; }

std::string IntegerConstantExpression::toString() const { return value().asText(); }

std::unique_ptr<Expression> IntegerConstantExpression::duplicate() const {
  return std::make_unique<IntegerConstantExpression>(value().asSigned());
}

std::string FloatConstantExpression::toString() const { return value().asText(); }

std::unique_ptr<Expression> FloatConstantExpression::duplicate() const {
  return std::make_unique<FloatConstantExpression>(value().asDouble());
}

std::string StringConstantExpression::toString() const { return "\"" + value().text + "\""; }

std::unique_ptr<Expression> StringConstantExpression::duplicate() const {
  return std::make_unique<StringConstantExpression>(value().text);
}

ExpressionValue IdentifierExpression::evaluate(ExpressionParser& parser) const {
  return parser.lookupSymbol({name_});
}

std::unique_ptr<Expression> IdentifierExpression::duplicate() const {
  return std::make_unique<IdentifierExpression>(name_);
}

ExpressionValue ScopedIdentifierExpression::evaluate(ExpressionParser& parser) const {
  return parser.lookupSymbol(parts_);
}

std::string ScopedIdentifierExpression::toString() const {
  std::string result;
  for (std::size_t i = 0; i < parts_.size(); ++i) {
    if (i > 0) result += "::";
    result += parts_[i];
  }
  return result;
}

std::unique_ptr<Expression> ScopedIdentifierExpression::duplicate() const {
  return std::make_unique<ScopedIdentifierExpression>(parts_);
}

ExpressionValue RegisterExpression::evaluate(ExpressionParser& parser) const {
  return parser.lookupRegister(name_);
}

ExpressionValue AddressofLineExpression::evaluate(ExpressionParser& parser) const {
  return parser.addressOfLine(file_, line_);
}

std::string AddressofLineExpression::toString() const {
  return call("AddressofLineExpression", {"\"" + file_ + "\"", std::to_string(line_)});
}

UnaryExpression::UnaryExpression(UnaryOperator op, std::unique_ptr<Expression> operand)
    : Expression(above(*operand)), op_(op), operand_(std::move(operand)) {}

ExpressionValue UnaryExpression::evaluate(ExpressionParser& parser) const {
  return applyUnaryOperator(op_, operandValue(*operand_, parser));
}

std::string UnaryExpression::toString() const {
  return call(className(op_), {operand_->toString()});
}

void UnaryExpression::visit(const std::function<void(Expression&)>& request) {
  request(*operand_);
}

std::unique_ptr<Expression> makeUnaryExpression(UnaryOperator op,
                                                std::unique_ptr<Expression> operand) {
  switch (op) {
    case UnaryOperator::Negate: return std::make_unique<NegateExpression>(std::move(operand));
    case UnaryOperator::BitNot: return std::make_unique<BitNotExpression>(std::move(operand));
    default: return std::make_unique<LogicalNotExpression>(std::move(operand));
  }
}

BinaryExpression::BinaryExpression(BinaryOperator op, std::unique_ptr<Expression> left,
                                   std::unique_ptr<Expression> right)
    : Expression(aboveBinary(*left, *right)), op_(op), left_(std::move(left)), right_(std::move(right)) {}

BinaryExpression::~BinaryExpression() {
  // A flat chain "1+1+...+1" hangs on its left operands: taking them apart
  // one by one keeps its destruction off the call stack.
  std::unique_ptr<Expression> below = std::move(left_);
  while (auto* binary = dynamic_cast<BinaryExpression*>(below.get())) {
    std::unique_ptr<Expression> next = std::move(binary->left_);
    below = std::move(next);
  }
}

const Expression& BinaryExpression::spine(std::vector<const BinaryExpression*>& nodes) const {
  const Expression* bottom = this;
  while (const auto* binary = dynamic_cast<const BinaryExpression*>(bottom)) {
    nodes.push_back(binary);
    bottom = binary->left_.get();
  }
  return *bottom;
}

ExpressionValue BinaryExpression::evaluate(ExpressionParser& parser) const {
  if (dynamic_cast<const BinaryExpression*>(left_.get()) == nullptr) {
    return applyTo(operandValue(*left_, parser), parser);
  }
  // A chain of left operands is evaluated from its bottom up by a loop, so
  // only real nesting recurses, however many operands a flat chain has.
  std::vector<const BinaryExpression*> nodes;
  ExpressionValue value = operandValue(spine(nodes), parser);
  for (auto node = nodes.rbegin(); node != nodes.rend(); ++node) {
    value = (*node)->applyTo(value, parser);
    if (value.kind == ValueKind::Marker) value = parser.resolveMarker(value);
  }
  return value;
}

ExpressionValue BinaryExpression::applyTo(const ExpressionValue& left, ExpressionParser& parser) const {
  if (op_ == BinaryOperator::LogicalAnd || op_ == BinaryOperator::LogicalOr) {
    const bool decided = logicalOperand(left);
    if (decided == (op_ == BinaryOperator::LogicalOr)) return ExpressionValue::makeBoolean(decided);
    return ExpressionValue::makeBoolean(logicalOperand(operandValue(*right_, parser)));
  }
  return applyBinaryOperator(op_, left, operandValue(*right_, parser));
}

std::string BinaryExpression::toString() const {
  std::vector<const BinaryExpression*> nodes;
  std::string text = spine(nodes).toString();
  for (auto node = nodes.rbegin(); node != nodes.rend(); ++node) {
    text = call(className((*node)->op_), {std::move(text), (*node)->right_->toString()});
  }
  return text;
}

void BinaryExpression::visit(const std::function<void(Expression&)>& request) {
  request(*left_);
  request(*right_);
}

std::unique_ptr<Expression> makeBinaryExpression(BinaryOperator op, std::unique_ptr<Expression> left,
                                                 std::unique_ptr<Expression> right) {
  auto l = std::move(left);
  auto r = std::move(right);
  switch (op) {
    case BinaryOperator::Plus: return std::make_unique<PlusExpression>(std::move(l), std::move(r));
    case BinaryOperator::Minus: return std::make_unique<MinusExpression>(std::move(l), std::move(r));
    case BinaryOperator::Multiply:
      return std::make_unique<MultiplyExpression>(std::move(l), std::move(r));
    case BinaryOperator::Divide: return std::make_unique<DivideExpression>(std::move(l), std::move(r));
    case BinaryOperator::Mod: return std::make_unique<ModExpression>(std::move(l), std::move(r));
    case BinaryOperator::Lshift: return std::make_unique<LshiftExpression>(std::move(l), std::move(r));
    case BinaryOperator::Rshift: return std::make_unique<RshiftExpression>(std::move(l), std::move(r));
    case BinaryOperator::Lt: return std::make_unique<LtExpression>(std::move(l), std::move(r));
    case BinaryOperator::Le: return std::make_unique<LeExpression>(std::move(l), std::move(r));
    case BinaryOperator::Gt: return std::make_unique<GtExpression>(std::move(l), std::move(r));
    case BinaryOperator::Ge: return std::make_unique<GeExpression>(std::move(l), std::move(r));
    case BinaryOperator::Eq: return std::make_unique<EqExpression>(std::move(l), std::move(r));
    case BinaryOperator::Ne: return std::make_unique<NeExpression>(std::move(l), std::move(r));
    case BinaryOperator::BitAnd: return std::make_unique<BitAndExpression>(std::move(l), std::move(r));
    case BinaryOperator::BitXor: return std::make_unique<BitXorExpression>(std::move(l), std::move(r));
    case BinaryOperator::BitOr: return std::make_unique<BitOrExpression>(std::move(l), std::move(r));
    case BinaryOperator::LogicalAnd:
      return std::make_unique<LogicalAndExpression>(std::move(l), std::move(r));
    default: return std::make_unique<LogicalOrExpression>(std::move(l), std::move(r));
  }
}

AssignExpression::AssignExpression(std::unique_ptr<Expression> target,
                                   std::unique_ptr<Expression> value)
    : Expression(above(*target, *value)), target_(std::move(target)), value_(std::move(value)) {}

ExpressionValue AssignExpression::evaluate(ExpressionParser& parser) const {
  return parser.assign(*target_, operandValue(*value_, parser));
}

std::string AssignExpression::toString() const {
  return call("AssignExpression", {target_->toString(), value_->toString()});
}

void AssignExpression::visit(const std::function<void(Expression&)>& request) {
  request(*target_);
  request(*value_);
}

CastExpression::CastExpression(std::unique_ptr<ExpressionType> type,
                               std::unique_ptr<Expression> operand)
    : Expression(above(*operand)), type_(std::move(type)), operand_(std::move(operand)) {}

ExpressionValue CastExpression::evaluate(ExpressionParser& parser) const {
  return parser.cast(*type_, operandValue(*operand_, parser));
}

std::string CastExpression::toString() const {
  return call("CastExpression", {type_->name(), operand_->toString()});
}

void CastExpression::visit(const std::function<void(Expression&)>& request) { request(*operand_); }

SizeofExpression::SizeofExpression(std::unique_ptr<Expression> operand)
    : Expression(above(*operand)), operand_(std::move(operand)) {}

SizeofExpression::SizeofExpression(std::unique_ptr<ExpressionType> type) : type_(std::move(type)) {}

ExpressionValue SizeofExpression::evaluate(ExpressionParser& parser) const {
  return operand_ ? parser.sizeofExpression(*operand_) : parser.sizeofType(*type_);
}

std::string SizeofExpression::toString() const {
  return call("SizeofExpression", {operand_ ? operand_->toString() : type_->name()});
}

void SizeofExpression::visit(const std::function<void(Expression&)>& request) {
  if (operand_) request(*operand_);
}

AddressofExpression::AddressofExpression(std::unique_ptr<Expression> operand)
    : Expression(above(*operand)), operand_(std::move(operand)) {}

ExpressionValue AddressofExpression::evaluate(ExpressionParser& parser) const {
  return parser.addressOf(*operand_);
}

std::string AddressofExpression::toString() const {
  return call("AddressofExpression", {operand_->toString()});
}

void AddressofExpression::visit(const std::function<void(Expression&)>& request) {
  request(*operand_);
}

CallExpression::CallExpression(std::unique_ptr<Expression> function,
                               std::vector<std::unique_ptr<Expression>> arguments)
    : Expression(above(*function, arguments)),
      function_(std::move(function)),
      arguments_(std::move(arguments)) {}

ExpressionValue CallExpression::evaluate(ExpressionParser& parser) const {
  std::vector<ExpressionValue> values;
  values.reserve(arguments_.size());
  for (const auto& argument : arguments_) values.push_back(operandValue(*argument, parser));
  return parser.call(*function_, values);
}

std::string CallExpression::toString() const {
  std::string result = "CallExpression(" + function_->toString();
  for (const auto& argument : arguments_) result += ", " + argument->toString();
  return result + ")";
}

void CallExpression::visit(const std::function<void(Expression&)>& request) {
  request(*function_);
  for (const auto& argument : arguments_) request(*argument);
}

DotExpression::DotExpression(std::unique_ptr<Expression> operand, std::string member, bool arrow)
    : Expression(above(*operand)), operand_(std::move(operand)), member_(std::move(member)),
      arrow_(arrow) {}

ExpressionValue DotExpression::evaluate(ExpressionParser& parser) const {
  return parser.lookupSymbolInScope(operandValue(*operand_, parser), member_);
}

std::string DotExpression::toString() const {
  return call("DotExpression", {operand_->toString(), (arrow_ ? "->" : ".") + member_});
}

void DotExpression::visit(const std::function<void(Expression&)>& request) { request(*operand_); }

std::unique_ptr<Expression> DotExpression::duplicate() const {
  return std::make_unique<DotExpression>(operand_->duplicate(), member_, arrow_);
}

LeftSquareBracketExpression::LeftSquareBracketExpression(std::unique_ptr<Expression> base,
                                                         std::unique_ptr<Expression> index)
    : Expression(above(*base, *index)), base_(std::move(base)), index_(std::move(index)) {}

ExpressionValue LeftSquareBracketExpression::evaluate(ExpressionParser& parser) const {
  const ExpressionValue base = operandValue(*base_, parser);
  return parser.dereference(base, operandValue(*index_, parser));
}

std::string LeftSquareBracketExpression::toString() const {
  return call("LeftSquareBracketExpression", {base_->toString(), index_->toString()});
}

void LeftSquareBracketExpression::visit(const std::function<void(Expression&)>& request) {
  request(*base_);
  request(*index_);
}

std::unique_ptr<Expression> LeftSquareBracketExpression::duplicate() const {
  return std::make_unique<LeftSquareBracketExpression>(base_->duplicate(), index_->duplicate());
}

}  // namespace tidewater
