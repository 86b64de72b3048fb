#include "xml/expression_value.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>

namespace tidewater {
namespace {

TEST(ExpressionValueTest, IntegersAreReadAtTheirSize) {
  ExpressionValue value = ExpressionValue::makeSigned(0x1FF, 1);  // low byte 0xFF
  EXPECT_EQ(value.asSigned(), -1);
  EXPECT_EQ(value.asUnsigned(), 0xFFu);
  EXPECT_EQ(value.asDouble(), -1.0);

  value = ExpressionValue::makeSigned(0x18000, 2);
  EXPECT_EQ(value.asSigned(), -32768);
  EXPECT_EQ(value.asUnsigned(), 0x8000u);

  value = ExpressionValue::makeUnsigned(0xFFFFFFFF80000000u, 4);
  EXPECT_EQ(value.asSigned(), 0x80000000);  // no sign extension for unsigned
  EXPECT_EQ(value.asUnsigned(), 0x80000000u);

  value = ExpressionValue::makeUnsigned(std::numeric_limits<uint64_t>::max());
  EXPECT_EQ(value.asDouble(), 18446744073709551616.0);  // converted as unsigned
  EXPECT_EQ(value.asSigned(), -1);
}

TEST(ExpressionValueTest, BitFieldsSignExtendFromTheirWidth) {
  ExpressionValue value = ExpressionValue::makeSigned(0b101, 4);
  value.bitWidth = 3;
  EXPECT_EQ(value.asSigned(), -3);
  EXPECT_EQ(value.asUnsigned(), 5u);
  value.data = 0b011;
  EXPECT_EQ(value.asSigned(), 3);
}

TEST(ExpressionValueTest, FloatingConversionsAreDefinedForEveryDouble) {
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    double input;
    int64_t expected;
  } cases[] = {
      {2.9, 2}, {-2.9, -2}, {std::nan(""), 0}, {inf, std::numeric_limits<int64_t>::max()},
      {-inf, std::numeric_limits<int64_t>::min()}, {1e30, std::numeric_limits<int64_t>::max()},
      {-1e30, std::numeric_limits<int64_t>::min()}, {-9223372036854775808.0, std::numeric_limits<int64_t>::min()},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExpressionValue::makeFloating(c.input).asSigned(), c.expected) << c.input;
  }
  // The unsigned view of a floating value is its bit pattern.
  EXPECT_EQ(ExpressionValue::makeFloating(1.5).asUnsigned(), std::bit_cast<uint64_t>(1.5));
  EXPECT_EQ(ExpressionValue::makeFloating(1.5, 4).asUnsigned(), std::bit_cast<uint32_t>(1.5f));
  EXPECT_EQ(ExpressionValue::makeFloating(1e300, 4).asUnsigned(),
            std::bit_cast<uint32_t>(std::numeric_limits<float>::infinity()));
}

TEST(ExpressionValueTest, OtherKindsConvertToZero) {
  const ExpressionValue text = ExpressionValue::makeString("12");
  EXPECT_EQ(text.asSigned(), 0);
  EXPECT_EQ(text.asUnsigned(), 0u);
  EXPECT_EQ(text.asDouble(), 0.0);
  const ExpressionValue unknown;
  EXPECT_EQ(unknown.kind, ValueKind::Unknown);
  EXPECT_EQ(unknown.size, 2);
  EXPECT_EQ(unknown.asSigned(), 0);
  EXPECT_EQ(ExpressionValue::makeBoolean(true).asSigned(), 1);
}

TEST(ExpressionValueTest, TypeNames) {
  ExpressionValue marker;
  marker.kind = ValueKind::Marker;
  const struct {
    ExpressionValue value;
    const char* expected;
  } cases[] = {
      {ExpressionValue::makeBoolean(false), "boolean"}, {ExpressionValue::makeSigned(1, 1), "char"},
      {ExpressionValue::makeSigned(1, 2), "short"}, {ExpressionValue::makeSigned(1, 4), "int"},
      {ExpressionValue::makeSigned(1, 8), "long long"}, {ExpressionValue::makeUnsigned(1, 1), "unsigned char"},
      {ExpressionValue::makeUnsigned(1, 2), "unsigned short"}, {ExpressionValue::makeUnsigned(1, 4), "unsigned int"},
      {ExpressionValue::makeUnsigned(1, 8), "unsigned long long"}, {ExpressionValue::makeString("x"), "string"},
      {marker, "marker"}, {ExpressionValue::makeFloating(1, 4), "float"},
      {ExpressionValue::makeFloating(1, 8), "double"}, {ExpressionValue(), "unknown"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.value.typeName(), c.expected);
}

TEST(ExpressionValueTest, TextForm) {
  EXPECT_EQ(ExpressionValue::makeSigned(-5).asText(), "-5");
  EXPECT_EQ(ExpressionValue::makeUnsigned(0xFFFFFFFFFFFFFFFFu).asText(), "18446744073709551615");
  EXPECT_EQ(ExpressionValue::makeBoolean(true).asText(), "true");
  EXPECT_EQ(ExpressionValue::makeFloating(1.5).asText(), "1.5");
  EXPECT_EQ(ExpressionValue::makeString("abc").asText(), "abc");
}

}  // namespace
}  // namespace tidewater
