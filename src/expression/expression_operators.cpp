#include "expression/expression_operators.h"

#include <cmath>
#include <limits>

#include "expression/parser_exception.h"

namespace tidewater {

namespace {

[[noreturn]] void unsupportedNumeric() {
  throw ParserException("unsupported binary numeric operation");
}

[[noreturn]] void divideByZero() { throw ParserException("divide by zero"); }

bool isNumeric(ValueKind kind) {
  return kind == ValueKind::Boolean || kind == ValueKind::Signed || kind == ValueKind::Unsigned ||
         kind == ValueKind::Floating;
}

bool isComparison(BinaryOperator op) {
  return op == BinaryOperator::Lt || op == BinaryOperator::Le || op == BinaryOperator::Gt ||
         op == BinaryOperator::Ge || op == BinaryOperator::Eq || op == BinaryOperator::Ne;
}

template <typename T>
bool compare(BinaryOperator op, const T& a, const T& b) {
  switch (op) {
    case BinaryOperator::Lt: return a < b;
    case BinaryOperator::Le: return a <= b;
    case BinaryOperator::Gt: return a > b;
    case BinaryOperator::Ge: return a >= b;
    case BinaryOperator::Eq: return a == b;
    default: return a != b;
  }
}

ExpressionValue comparison(BinaryOperator op, const ExpressionValue& left,
                           const ExpressionValue& right) {
  switch (left.kind) {
    case ValueKind::Signed:
      return ExpressionValue::makeBoolean(compare(op, left.asSigned(), right.asSigned()));
    case ValueKind::Unsigned:
      return ExpressionValue::makeBoolean(compare(op, left.asUnsigned(), right.asUnsigned()));
    case ValueKind::Boolean:
      return ExpressionValue::makeBoolean(compare(op, left.asBoolean(), right.asBoolean()));
    case ValueKind::String:
      // std::string compares bytes as unsigned char, i.e. by character code.
      return ExpressionValue::makeBoolean(compare(op, left.text, right.asText()));
    default:
      throw ParserException("unsupported comparison operation");
  }
}

// Integer arithmetic on 64-bit patterns: two's-complement wrap-around, with
// signedness mattering only for division, remainder and right shift.
uint64_t integerArithmetic(BinaryOperator op, uint64_t a, uint64_t b, bool isSigned) {
  const auto sa = static_cast<int64_t>(a);
  const auto sb = static_cast<int64_t>(b);
  switch (op) {
    case BinaryOperator::Plus: return a + b;
    case BinaryOperator::Minus: return a - b;
    case BinaryOperator::Multiply: return a * b;
    case BinaryOperator::Divide:
      if (b == 0) divideByZero();
      if (!isSigned) return a / b;
      // INT64_MIN / -1 does not fit: it wraps to INT64_MIN like negation.
      return sb == -1 ? 0 - a : static_cast<uint64_t>(sa / sb);
    case BinaryOperator::Mod:
      if (b == 0) divideByZero();
      if (!isSigned) return a % b;
      return sb == -1 ? 0 : static_cast<uint64_t>(sa % sb);
    case BinaryOperator::BitAnd: return a & b;
    case BinaryOperator::BitXor: return a ^ b;
    case BinaryOperator::BitOr: return a | b;
    default: unsupportedNumeric();
  }
}

double floatingArithmetic(BinaryOperator op, double a, double b) {
  switch (op) {
    case BinaryOperator::Plus: return a + b;
    case BinaryOperator::Minus: return a - b;
    case BinaryOperator::Multiply: return a * b;
    case BinaryOperator::Divide:
      if (b == 0.0) divideByZero();
      return a / b;
    case BinaryOperator::Mod:
      if (b == 0.0) divideByZero();
      return std::fmod(a, b);
    case BinaryOperator::BitAnd:
    case BinaryOperator::BitXor:
    case BinaryOperator::BitOr: {
      // Bit operations on floating operands work on their truncated values.
      const auto bits = integerArithmetic(op, static_cast<uint64_t>(clampToSigned(a)),
                                          static_cast<uint64_t>(clampToSigned(b)), true);
      return static_cast<double>(static_cast<int64_t>(bits));
    }
    default: unsupportedNumeric();
  }
}

ExpressionValue arithmetic(BinaryOperator op, const ExpressionValue& left,
                           const ExpressionValue& right) {
  if (!isNumeric(left.kind)) unsupportedNumeric();
  if (left.kind == ValueKind::Floating || right.kind == ValueKind::Floating) {
    return ExpressionValue::makeFloating(floatingArithmetic(op, left.asDouble(), right.asDouble()),
                                         left.size);
  }
  switch (left.kind) {
    case ValueKind::Signed: {
      const uint64_t bits = integerArithmetic(op, static_cast<uint64_t>(left.asSigned()),
                                              static_cast<uint64_t>(right.asSigned()), true);
      return ExpressionValue::makeSigned(static_cast<int64_t>(bits), left.size);
    }
    case ValueKind::Unsigned:
      return ExpressionValue::makeUnsigned(
          integerArithmetic(op, left.asUnsigned(), right.asUnsigned(), false), left.size);
    default: {  // boolean: computed on 0/1, the result is whether it is non-zero
      const uint64_t bits = integerArithmetic(op, static_cast<uint64_t>(left.asSigned()),
                                              static_cast<uint64_t>(right.asSigned()), true);
      return ExpressionValue::makeBoolean(bits != 0);
    }
  }
}

ExpressionValue shift(BinaryOperator op, const ExpressionValue& left, const ExpressionValue& right) {
  if (right.kind != ValueKind::Signed) throw ParserException("integer shift value expected");
  if (!left.isInteger()) throw ParserException("can only shift numeric values");
  const unsigned count = static_cast<unsigned>(static_cast<uint64_t>(right.asSigned()) & 63);
  if (left.kind == ValueKind::Unsigned) {
    const uint64_t value = left.asUnsigned();
    return ExpressionValue::makeUnsigned(op == BinaryOperator::Lshift ? value << count
                                                                      : value >> count,
                                         left.size);
  }
  const int64_t value = left.asSigned();
  // Left shifts go through unsigned so that bits leaving the top are simply
  // lost; right shifts of negative values are arithmetic.
  const int64_t result = op == BinaryOperator::Lshift
                             ? static_cast<int64_t>(static_cast<uint64_t>(value) << count)
                             : value >> count;
  return ExpressionValue::makeSigned(result, left.size);
}

}  // namespace

bool logicalOperand(const ExpressionValue& value) {
  if (!isNumeric(value.kind)) unsupportedNumeric();
  return value.asBoolean();
}

ExpressionValue applyBinaryOperator(BinaryOperator op, const ExpressionValue& left,
                                    const ExpressionValue& right) {
  if (isComparison(op)) return comparison(op, left, right);
  switch (op) {
    case BinaryOperator::Lshift:
    case BinaryOperator::Rshift:
      return shift(op, left, right);
    case BinaryOperator::LogicalAnd: {
      const bool a = logicalOperand(left);
      const bool b = logicalOperand(right);
      return ExpressionValue::makeBoolean(a && b);
    }
    case BinaryOperator::LogicalOr: {
      const bool a = logicalOperand(left);
      const bool b = logicalOperand(right);
      return ExpressionValue::makeBoolean(a || b);
    }
    default:
      return arithmetic(op, left, right);
  }
}

ExpressionValue applyUnaryOperator(UnaryOperator op, const ExpressionValue& operand) {
  const auto unsupported = [] { throw ParserException("unsupported unary num operation"); };
  if (op == UnaryOperator::LogicalNot) {
    if (!isNumeric(operand.kind)) unsupported();
    return ExpressionValue::makeBoolean(!operand.asBoolean());
  }
  ExpressionValue result = operand;
  switch (operand.kind) {
    case ValueKind::Signed:
    case ValueKind::Unsigned: {
      // Negation in unsigned arithmetic: the most negative value stays itself.
      const uint64_t bits = static_cast<uint64_t>(operand.asSigned());
      result.data = op == UnaryOperator::Negate ? 0 - bits : ~bits;
      result.bitWidth = 0;
      return result;
    }
    case ValueKind::Boolean: {
      const uint64_t bits = operand.asUnsigned();
      return ExpressionValue::makeBoolean((op == UnaryOperator::Negate ? 0 - bits : ~bits) != 0);
    }
    case ValueKind::Floating:
      if (op == UnaryOperator::Negate) return ExpressionValue::makeFloating(-operand.asDouble(), operand.size);
      break;
    default:
      break;
  }
  unsupported();
  return result;
}

}  // namespace tidewater
