#pragma once

#include <cstdint>
#include <string>

namespace tidewater {

/// The kind of an ExpressionValue; the numbers are part of the value's
/// external description and must not change.
enum class ValueKind : int32_t {
  Boolean = 0,
  Signed = 1,
  Unsigned = 2,
  String = 3,
  Marker = 4,  ///< stands for another value; the parser resolves it before use
  Floating = 5,
  Unknown = 6,
};

/// A small tagged value, copied by value. `data` holds the boolean, the
/// integer bits or the bits of an IEEE double; integers are read at `size`
/// bytes (1, 2, 4 or 8) so the bits above may be anything. Floating values
/// always hold a double; size 4 only marks them as single precision.
struct ExpressionValue {
  ValueKind kind = ValueKind::Unknown;
  uint64_t data = 0;
  int32_t size = 2;
  int32_t bitWidth = 0;  ///< width of a bit-field value, 0 when not one
  std::string text;      ///< the string of a string value

  static ExpressionValue makeBoolean(bool value);
  static ExpressionValue makeSigned(int64_t value, int32_t size = 8);
  static ExpressionValue makeUnsigned(uint64_t value, int32_t size = 8);
  static ExpressionValue makeFloating(double value, int32_t size = 8);
  static ExpressionValue makeString(std::string value);

  bool isInteger() const { return kind == ValueKind::Signed || kind == ValueKind::Unsigned; }

  /// Signed 64-bit view: integers read at their size and sign-extended from
  /// their width (bitWidth when set); doubles truncated toward zero and
  /// clamped to the int64_t range (NaN gives 0); other kinds give 0.
  int64_t asSigned() const;
  /// Unsigned 64-bit view: integers read at their size without sign
  /// extension; a double gives its raw bits, a single-precision value the
  /// raw bits of the float; other kinds give 0.
  uint64_t asUnsigned() const;
  double asDouble() const;
  /// Truth for comparisons: non-zero numbers, true, and non-empty strings.
  bool asBoolean() const;
  /// The value as text, used when a string is compared with another value.
  std::string asText() const;

  /// "boolean", "int", "unsigned char", "double", ... as messages show it.
  std::string typeName() const;
};

/// Truncates toward zero, clamping to the int64_t range and mapping NaN to
/// 0, so that no double converts with undefined behaviour.
int64_t clampToSigned(double value);

}  // namespace tidewater
