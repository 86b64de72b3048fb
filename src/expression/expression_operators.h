#pragma once

#include "expression/expression_value.h"

namespace tidewater {

/// The binary operators of the language, in the order of their node classes.
enum class BinaryOperator {
  Plus,
  Minus,
  Multiply,
  Divide,
  Mod,
  Lshift,
  Rshift,
  Lt,
  Le,
  Gt,
  Ge,
  Eq,
  Ne,
  BitAnd,
  BitXor,
  BitOr,
  LogicalAnd,
  LogicalOr,
};

enum class UnaryOperator { Negate, BitNot, LogicalNot };

/// Applies a binary operator to two resolved values (no markers). The
/// result follows the left operand's kind; errors raise ParserException.
/// Integer arithmetic wraps in two's complement; the most negative value
/// divided by -1 gives itself with remainder 0, so no input traps.
/// LogicalAnd and LogicalOr here evaluate both sides; the nodes short-circuit.
ExpressionValue applyBinaryOperator(BinaryOperator op, const ExpressionValue& left,
                                    const ExpressionValue& right);

ExpressionValue applyUnaryOperator(UnaryOperator op, const ExpressionValue& operand);

/// Truth of an operand of "&&" and "||": numbers and booleans only.
bool logicalOperand(const ExpressionValue& value);

}  // namespace tidewater
