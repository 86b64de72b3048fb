#include "expression/expression_value.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <limits>

namespace tidewater {

namespace {

// Bits of the value that an integer of `bytes` bytes occupies; sizes other
// than 1, 2 and 4 read all 64 bits.
uint64_t maskToBits(uint64_t bits, int32_t width) {
  if (width <= 0 || width >= 64) return bits;
  return bits & ((uint64_t{1} << width) - 1);
}

int32_t widthInBits(int32_t size) {
  return (size == 1 || size == 2 || size == 4) ? size * 8 : 64;
}

int64_t signExtend(uint64_t bits, int32_t width) {
  if (width <= 0 || width >= 64) return static_cast<int64_t>(bits);
  bits = maskToBits(bits, width);
  const uint64_t signBit = uint64_t{1} << (width - 1);
  return static_cast<int64_t>((bits ^ signBit) - signBit);
}

// The bits of the float nearest to `value`; doubles beyond the float range
// become infinities explicitly, since that conversion is not defined.
uint32_t floatBits(double value) {
  constexpr double kMax = std::numeric_limits<float>::max();
  float single;
  if (std::isnan(value)) {
    single = std::numeric_limits<float>::quiet_NaN();
  } else if (value > kMax) {
    single = std::numeric_limits<float>::infinity();
  } else if (value < -kMax) {
    single = -std::numeric_limits<float>::infinity();
  } else {
    single = static_cast<float>(value);
  }
  return std::bit_cast<uint32_t>(single);
}

}  // namespace

int64_t clampToSigned(double value) {
  if (std::isnan(value)) return 0;
  // 2^63 is exact as a double; everything at or above it saturates.
  constexpr double kLimit = 9223372036854775808.0;
  if (value >= kLimit) return std::numeric_limits<int64_t>::max();
  if (value < -kLimit) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(value);
}

ExpressionValue ExpressionValue::makeBoolean(bool value) {
  ExpressionValue result;
  result.kind = ValueKind::Boolean;
  result.data = value ? 1 : 0;
  result.size = 1;
  return result;
}

ExpressionValue ExpressionValue::makeSigned(int64_t value, int32_t size) {
  ExpressionValue result;
  result.kind = ValueKind::Signed;
  result.data = static_cast<uint64_t>(value);
  result.size = size;
  return result;
}

ExpressionValue ExpressionValue::makeUnsigned(uint64_t value, int32_t size) {
  ExpressionValue result;
  result.kind = ValueKind::Unsigned;
  result.data = value;
  result.size = size;
  return result;
}

ExpressionValue ExpressionValue::makeFloating(double value, int32_t size) {
  ExpressionValue result;
  result.kind = ValueKind::Floating;
  result.data = std::bit_cast<uint64_t>(value);
  result.size = size == 4 ? 4 : 8;
  return result;
}

ExpressionValue ExpressionValue::makeString(std::string value) {
  ExpressionValue result;
  result.kind = ValueKind::String;
  result.text = std::move(value);
  return result;
}

int64_t ExpressionValue::asSigned() const {
  switch (kind) {
    case ValueKind::Boolean:
      return data != 0 ? 1 : 0;
    case ValueKind::Signed:
      return signExtend(data, bitWidth > 0 ? bitWidth : widthInBits(size));
    case ValueKind::Unsigned:
      return static_cast<int64_t>(maskToBits(data, widthInBits(size)));
    case ValueKind::Floating:
      return clampToSigned(std::bit_cast<double>(data));
    default:
      return 0;
  }
}

uint64_t ExpressionValue::asUnsigned() const {
  switch (kind) {
    case ValueKind::Boolean:
      return data != 0 ? 1 : 0;
    case ValueKind::Signed:
    case ValueKind::Unsigned:
      return maskToBits(data, widthInBits(size));
    case ValueKind::Floating:
      return size == 4 ? floatBits(std::bit_cast<double>(data)) : data;
    default:
      return 0;
  }
}

double ExpressionValue::asDouble() const {
  switch (kind) {
    case ValueKind::Boolean:
    case ValueKind::Signed:
      return static_cast<double>(asSigned());
    case ValueKind::Unsigned:
      return static_cast<double>(asUnsigned());
    case ValueKind::Floating:
      return std::bit_cast<double>(data);
    default:
      return 0.0;
  }
}

bool ExpressionValue::asBoolean() const {
  switch (kind) {
    case ValueKind::Boolean:
    case ValueKind::Signed:
    case ValueKind::Unsigned:
      return asUnsigned() != 0;
    case ValueKind::Floating:
      return asDouble() != 0.0;
    case ValueKind::String:
      return !text.empty();
    default:
      return false;
  }
}

std::string ExpressionValue::asText() const {
  switch (kind) {
    case ValueKind::Boolean:
      return data != 0 ? "true" : "false";
    case ValueKind::Signed:
      return std::to_string(asSigned());
    case ValueKind::Unsigned:
      return std::to_string(asUnsigned());
    case ValueKind::String:
      return text;
    case ValueKind::Floating: {
      char buffer[32];
      const auto result = std::to_chars(buffer, buffer + sizeof buffer, asDouble());
      return std::string(buffer, result.ptr);
    }
    default:
      return {};
  }
}

std::string ExpressionValue::typeName() const {
  switch (kind) {
    case ValueKind::Boolean:
      return "boolean";
    case ValueKind::Signed:
    case ValueKind::Unsigned: {
      const char* base = size == 1 ? "char" : size == 2 ? "short" : size == 4 ? "int" : "long long";
      return kind == ValueKind::Unsigned ? std::string("unsigned ") + base : base;
    }
    case ValueKind::String:
      return "string";
    case ValueKind::Marker:
      return "marker";
    case ValueKind::Floating:
      return size == 4 ? "float" : "double";
    default:
      return "unknown";
  }
}

}  // namespace tidewater
