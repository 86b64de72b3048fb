#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "expression/expression_operators.h"
#include "expression/expression_types.h"
#include "expression/expression_value.h"

namespace tidewater {

class ExpressionParser;

/// A node of a parsed expression tree. Each node owns its operands; the
/// parser's hooks give meaning to names, registers, memory and types.
/// depth() is the height of the tree below and including the node, which
/// the parser bounds so that evaluation and destruction cannot overflow
/// the stack.
class Expression {
 public:
  virtual ExpressionValue evaluate(ExpressionParser& parser) const = 0;
  /// Printable form: a constant's value, a name, or the node's class name
  /// with its operands in parentheses, e.g. "PlusExpression(1, 2)".
  virtual std::string toString() const = 0;
  virtual ~Expression() = default;
  /// Passes `request` on to each direct operand; leaves do nothing.
  virtual void visit(const std::function<void(Expression&)>& request);
  /// A deep copy; raises "cannot duplicate expression" for nodes that
  /// cannot be copied (only constants, names, member access and indexing can).
  virtual std::unique_ptr<Expression> duplicate() const;

  int32_t depth() const { return depth_; }

 protected:
  Expression() = default;
  explicit Expression(int32_t depth) : depth_(depth) {}
  /// Evaluates an operand and resolves a marker to the value it stands for.
  static ExpressionValue operandValue(const Expression& operand, ExpressionParser& parser);

 private:
  int32_t depth_ = 1;
};

// ---- constants ----

/// A literal: evaluates to its value; prints as C would write it.
class ConstantExpression : public Expression {
 public:
  ExpressionValue evaluate(ExpressionParser& parser) const override;
  const ExpressionValue& value() const { return value_; }

 protected:
  explicit ConstantExpression(ExpressionValue value) : value_(std::move(value)) {}

 private:
  ExpressionValue value_;
};

class IntegerConstantExpression : public ConstantExpression {
 public:
  explicit IntegerConstantExpression(int64_t value)
      : ConstantExpression(ExpressionValue::makeSigned(value)) {}
  std::string toString() const override;
  std::unique_ptr<Expression> duplicate() const override;
};

class FloatConstantExpression : public ConstantExpression {
 public:
  explicit FloatConstantExpression(double value)
      : ConstantExpression(ExpressionValue::makeFloating(value)) {}
  std::string toString() const override;
  std::unique_ptr<Expression> duplicate() const override;
};

class StringConstantExpression : public ConstantExpression {
 public:
  explicit StringConstantExpression(std::string value)
      : ConstantExpression(ExpressionValue::makeString(std::move(value))) {}
  std::string toString() const override;
  std::unique_ptr<Expression> duplicate() const override;
};

// ---- names ----

/// A plain name, looked up through the parser's symbol hook.
class IdentifierExpression : public Expression {
 public:
  explicit IdentifierExpression(std::string name) : name_(std::move(name)) {}
  ExpressionValue evaluate(ExpressionParser& parser) const override;
  std::string toString() const override { return name_; }
  std::unique_ptr<Expression> duplicate() const override;
  const std::string& name() const { return name_; }

 private:
  std::string name_;
};

/// A name with scopes, "a::b::c"; a leading "::" (global scope) is kept as
/// an empty first part.
class ScopedIdentifierExpression : public Expression {
 public:
  explicit ScopedIdentifierExpression(std::vector<std::string> parts) : parts_(std::move(parts)) {}
  ExpressionValue evaluate(ExpressionParser& parser) const override;
  std::string toString() const override;
  std::unique_ptr<Expression> duplicate() const override;
  const std::vector<std::string>& parts() const { return parts_; }

 private:
  std::vector<std::string> parts_;
};

/// "@name": a processor register, looked up through the register hook.
class RegisterExpression : public Expression {
 public:
  explicit RegisterExpression(std::string name) : name_(std::move(name)) {}
  ExpressionValue evaluate(ExpressionParser& parser) const override;
  std::string toString() const override { return "@" + name_; }
  const std::string& name() const { return name_; }

 private:
  std::string name_;
};

/// addressof("file", line): the address of a source line.
class AddressofLineExpression : public Expression {
 public:
  AddressofLineExpression(std::string file, int64_t line) : file_(std::move(file)), line_(line) {}
  ExpressionValue evaluate(ExpressionParser& parser) const override;
  std::string toString() const override;

 private:
  std::string file_;
  int64_t line_;
};

// ---- unary and binary operators ----

class UnaryExpression : public Expression {
 public:
  ExpressionValue evaluate(ExpressionParser& parser) const override;
  std::string toString() const override;
  void visit(const std::function<void(Expression&)>& request) override;
  UnaryOperator op() const { return op_; }
  const Expression& operand() const { return *operand_; }

 protected:
  UnaryExpression(UnaryOperator op, std::unique_ptr<Expression> operand);

 private:
  UnaryOperator op_;
  std::unique_ptr<Expression> operand_;
};

/// One class per unary operator, so that callers can tell nodes apart by type.
template <UnaryOperator Op>
class UnaryOperatorExpression final : public UnaryExpression {
 public:
  explicit UnaryOperatorExpression(std::unique_ptr<Expression> operand)
      : UnaryExpression(Op, std::move(operand)) {}
};

using NegateExpression = UnaryOperatorExpression<UnaryOperator::Negate>;
using BitNotExpression = UnaryOperatorExpression<UnaryOperator::BitNot>;
using LogicalNotExpression = UnaryOperatorExpression<UnaryOperator::LogicalNot>;

std::unique_ptr<Expression> makeUnaryExpression(UnaryOperator op,
                                                std::unique_ptr<Expression> operand);

/// depth() counts the right operands only: chains of left operands (a flat
/// "a + b + c", which the parser makes left-deep) are evaluated, printed
/// and destroyed by loops.
class BinaryExpression : public Expression {
 public:
  ~BinaryExpression() override;
  /// "&&" and "||" evaluate their right operand only when it decides.
  ExpressionValue evaluate(ExpressionParser& parser) const override;
  std::string toString() const override;
  void visit(const std::function<void(Expression&)>& request) override;
  BinaryOperator op() const { return op_; }
  const Expression& left() const { return *left_; }
  const Expression& right() const { return *right_; }

 protected:
  BinaryExpression(BinaryOperator op, std::unique_ptr<Expression> left,
                   std::unique_ptr<Expression> right);

 private:
  /// Collects this node and the binary nodes down its left operands, top
  /// first, into "nodes"; returns the first left operand that is not one.
  const Expression& spine(std::vector<const BinaryExpression*>& nodes) const;
  /// This node's operator applied to a value of its left operand.
  ExpressionValue applyTo(const ExpressionValue& left, ExpressionParser& parser) const;

  BinaryOperator op_;
  std::unique_ptr<Expression> left_;
  std::unique_ptr<Expression> right_;
};

template <BinaryOperator Op>
class BinaryOperatorExpression final : public BinaryExpression {
 public:
  BinaryOperatorExpression(std::unique_ptr<Expression> left, std::unique_ptr<Expression> right)
      : BinaryExpression(Op, std::move(left), std::move(right)) {}
};

using PlusExpression = BinaryOperatorExpression<BinaryOperator::Plus>;
using MinusExpression = BinaryOperatorExpression<BinaryOperator::Minus>;
using MultiplyExpression = BinaryOperatorExpression<BinaryOperator::Multiply>;
using DivideExpression = BinaryOperatorExpression<BinaryOperator::Divide>;
using ModExpression = BinaryOperatorExpression<BinaryOperator::Mod>;
using LshiftExpression = BinaryOperatorExpression<BinaryOperator::Lshift>;
using RshiftExpression = BinaryOperatorExpression<BinaryOperator::Rshift>;
using LtExpression = BinaryOperatorExpression<BinaryOperator::Lt>;
using LeExpression = BinaryOperatorExpression<BinaryOperator::Le>;
using GtExpression = BinaryOperatorExpression<BinaryOperator::Gt>;
using GeExpression = BinaryOperatorExpression<BinaryOperator::Ge>;
using EqExpression = BinaryOperatorExpression<BinaryOperator::Eq>;
using NeExpression = BinaryOperatorExpression<BinaryOperator::Ne>;
using BitAndExpression = BinaryOperatorExpression<BinaryOperator::BitAnd>;
using BitXorExpression = BinaryOperatorExpression<BinaryOperator::BitXor>;
using BitOrExpression = BinaryOperatorExpression<BinaryOperator::BitOr>;
using LogicalAndExpression = BinaryOperatorExpression<BinaryOperator::LogicalAnd>;
using LogicalOrExpression = BinaryOperatorExpression<BinaryOperator::LogicalOr>;

std::unique_ptr<Expression> makeBinaryExpression(BinaryOperator op, std::unique_ptr<Expression> left,
                                                 std::unique_ptr<Expression> right);

// ---- other nodes ----

/// target = value, through the parser's assignment hook.
class AssignExpression : public Expression {
 public:
  AssignExpression(std::unique_ptr<Expression> target, std::unique_ptr<Expression> value);
  ExpressionValue evaluate(ExpressionParser& parser) const override;
  std::string toString() const override;
  void visit(const std::function<void(Expression&)>& request) override;

 private:
  std::unique_ptr<Expression> target_;
  std::unique_ptr<Expression> value_;
};

/// (type) operand, through the parser's cast hook.
class CastExpression : public Expression {
 public:
  CastExpression(std::unique_ptr<ExpressionType> type, std::unique_ptr<Expression> operand);
  ExpressionValue evaluate(ExpressionParser& parser) const override;
  std::string toString() const override;
  void visit(const std::function<void(Expression&)>& request) override;
  const ExpressionType& type() const { return *type_; }

 private:
  std::unique_ptr<ExpressionType> type_;
  std::unique_ptr<Expression> operand_;
};

/// sizeof of an expression or of a type name; exactly one is held.
class SizeofExpression : public Expression {
 public:
  explicit SizeofExpression(std::unique_ptr<Expression> operand);
  explicit SizeofExpression(std::unique_ptr<ExpressionType> type);
  ExpressionValue evaluate(ExpressionParser& parser) const override;
  std::string toString() const override;
  void visit(const std::function<void(Expression&)>& request) override;

 private:
  std::unique_ptr<Expression> operand_;
  std::unique_ptr<ExpressionType> type_;
};

/// &operand: the operand is not evaluated but handed to the address hook.
class AddressofExpression : public Expression {
 public:
  explicit AddressofExpression(std::unique_ptr<Expression> operand);
  ExpressionValue evaluate(ExpressionParser& parser) const override;
  std::string toString() const override;
  void visit(const std::function<void(Expression&)>& request) override;

 private:
  std::unique_ptr<Expression> operand_;
};

/// function(arguments...): the arguments are evaluated, then the call hook
/// receives the function expression and their values.
class CallExpression : public Expression {
 public:
  CallExpression(std::unique_ptr<Expression> function,
                 std::vector<std::unique_ptr<Expression>> arguments);
  ExpressionValue evaluate(ExpressionParser& parser) const override;
  std::string toString() const override;
  void visit(const std::function<void(Expression&)>& request) override;

 private:
  std::unique_ptr<Expression> function_;
  std::vector<std::unique_ptr<Expression>> arguments_;
};

/// operand.member or operand->member, through the scoped-lookup hook.
class DotExpression : public Expression {
 public:
  DotExpression(std::unique_ptr<Expression> operand, std::string member, bool arrow);
  ExpressionValue evaluate(ExpressionParser& parser) const override;
  std::string toString() const override;
  void visit(const std::function<void(Expression&)>& request) override;
  std::unique_ptr<Expression> duplicate() const override;

 private:
  std::unique_ptr<Expression> operand_;
  std::string member_;
  bool arrow_;
};

/// base[index] (and *base as base[0]), through the dereference hook.
class LeftSquareBracketExpression : public Expression {
 public:
  LeftSquareBracketExpression(std::unique_ptr<Expression> base, std::unique_ptr<Expression> index);
  ExpressionValue evaluate(ExpressionParser& parser) const override;
  std::string toString() const override;
  void visit(const std::function<void(Expression&)>& request) override;
  std::unique_ptr<Expression> duplicate() const override;

 private:
  std::unique_ptr<Expression> base_;
  std::unique_ptr<Expression> index_;
};

}  // namespace tidewater
