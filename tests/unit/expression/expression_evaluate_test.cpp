#include <gtest/gtest.h>

#include <bit>
#include <cmath>

#include "expression/expression_value.h"
#include "expression/parser_exception.h"
#include "expression/simple_expression_parser.h"

namespace tidewater {
namespace {

constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
constexpr int64_t kMax = std::numeric_limits<int64_t>::max();

/// The result of evaluating "text": a signed 64-bit value or a boolean as its text alone ("-3", "true"), other values
/// after their type ("double 1.5"), or the error message.
std::string outcome(ExpressionParser& parser, const std::string& text) {
  try {
    const ExpressionValue value = parser.evaluate(text);
    const bool plain = (value.kind == ValueKind::Signed && value.size == 8) || value.kind == ValueKind::Boolean;
    return (plain ? "" : value.typeName() + " ") + value.asText();
  } catch (const ParserException& error) {
    return error.message();
  }
}

TEST(ExpressionEvaluateTest, ValuesFollowTheOperatorRules) {
  SimpleExpressionParser parser;
  const std::pair<const char*, const char*> cases[] = {
      {"1+2*3", "7"}, {"10-4-3", "3"}, {"100/10/5", "2"}, {"2*3%4", "2"}, {"1+2<<3", "24"}, {"1<<2+3", "32"},
      {"6&3^1|8", "11"}, {"1|2^3&5", "3"}, {"-2*-3", "6"}, {"~0", "-1"}, {"- -5", "5"}, {"+7", "7"},
      // Literals: hexadecimal, octal, binary, suffixes; octal digits are not checked; all 64 unsigned bits kept.
      {"0xFFFFFFFFFFFFFFFF", "-1"}, {"18446744073709551615", "-1"}, {"01777777777777777777777", "-1"},
      {"0x10 + 010", "24"}, {"0b1011", "11"}, {"0x", "0"}, {"0b", "0"}, {"0xFFu", "255"}, {"10UL", "10"}, {"077", "63"},
      {"09", "9"}, {"-7/2", "-3"}, {"-7%2", "-1"}, {"7/-2", "-3"},
      // Shift counts are taken modulo 64; right shifts are arithmetic; arithmetic wraps.
      {"1<<4", "16"}, {"1<<64", "1"}, {"1<<65", "2"}, {"1<<-1", "-9223372036854775808"}, {"-16>>2", "-4"},
      {"-1>>63", "-1"}, {"0x7FFFFFFFFFFFFFFF + 1", "-9223372036854775808"}, {"0x4000000000000000 * 4", "0"},
      {"-(0x7FFFFFFFFFFFFFFF + 1)", "-9223372036854775808"}, {"(0x7FFFFFFFFFFFFFFF + 1) / -1", "-9223372036854775808"},
      {"(0x7FFFFFFFFFFFFFFF + 1) % -1", "0"}, {"1 2", "1"}, {"3 )", "3"}, {"2<3", "true"}, {"3<=2", "false"},
      {"3>2 && 2>=2", "true"}, {"1==2 || 2!=2", "false"}, {"!0", "true"}, {"!5", "false"}, {"!0.0", "true"},
      {"-1 < 0", "true"}, {"0xFFFFFFFFFFFFFFFF < 0", "true"}, {"5 && 0", "false"}, {"1 && 2.5", "true"},
      {"0 || 0.0", "false"}, {"(1 < 2) == (3 < 4)", "true"},
      // A boolean left compares truth, and computes whether the result is non-zero.
      {"1 < 2 == 1", "true"}, {"(2 > 1) + 0", "true"}, {"(2 > 1) - 1", "false"},
      // Strings compare by byte value; a right operand is compared as text.
      {"\"abc\"==\"abc\"", "true"}, {"\"abc\"==\"ABC\"", "false"}, {"\"abc\"!=\"abd\"", "true"},
      {"\"abc\"<\"abd\"", "true"}, {"\"b\">\"abc\"", "true"}, {"\"\"==\"\"", "true"}, {"\"12\"==12", "true"},
      {"\"\xC3\xA9\" > \"z\"", "true"}, {"0 && 1/0", "false"}, {"1 || undefined", "true"}, {"1.5", "double 1.5"},
      {"1.5*2", "double 3"}, {"2*1.5", "double 3"}, {"1+0.25", "double 1.25"}, {"7.5%2", "double 1.5"},
      {"-1.5", "double -1.5"}, {"3.0/2", "double 1.5"}, {"5.9 & 3", "double 1"}, {"1 - 0.5 - 0.25", "double 0.25"},
      {"\"a b\"", "string a b"}, {" \t ", "unknown "},
  };
  for (const auto& [input, expected] : cases) EXPECT_EQ(outcome(parser, input), expected) << input;
}

TEST(ExpressionEvaluateTest, ErrorMessages) {
  SimpleExpressionParser parser;
  const std::pair<const char*, const char*> cases[] = {
      {"1/0", "divide by zero"}, {"1%0", "divide by zero"}, {"1.5/0.0", "divide by zero"},
      {"1.5%0.0", "divide by zero"}, {"4/(1<0)", "divide by zero"}, {"4/\"x\"", "divide by zero"},
      {"1 ? 2 : 3", "operator not supported"}, {"1, 2", "operator not supported"},
      {"8 >>> 1", "operator not supported"}, {"foo+1", "foo symbol not found"}, {"$x", "$x symbol not found"},
      {"a::b::c", "a::b::c symbol not found"}, {"::g", "::g symbol not found"},
      {"a::1", "identifier expected after '::'"}, {"#", "unrecognised token: #"}, {"1 + #x", "unrecognised token: #x"},
      {"\"open", "unrecognised token: \"open"}, {"a\xC3\xA9", "unrecognised token: \xC3\xA9"},
      {"\"a\" + 1", "unsupported binary numeric operation"}, {"0 || \"a\"", "unsupported binary numeric operation"},
      {"1.5 < 2", "unsupported comparison operation"}, {"1 << 1.5", "integer shift value expected"},
      {"(1<2) << 1", "can only shift numeric values"}, {"-\"a\"", "unsupported unary num operation"},
      {"!\"a\"", "unsupported unary num operation"}, {"~1.5", "unsupported unary num operation"},
      {"@r0", "r0unknown register"}, {"(int)5", "cannot cast"}, {"5[1]", "cannot dereference"},
      {"&5", "addressof not implemented"}, {"addressof(\"main.c\", 12)", "addressof not implemented"},
      {"sizeof 5", "sizeof expression not implemented"}, {"sizeof(char)", "sizeof(typename) not implemented"},
      {"f(1, 2)", "function calling not implemented"}, {"5->x", "this symbol not found"},
      {"5 = 1", "can't update a constant"}, {"++5", "can't update a constant"},
      {"(1+2) += 1", "cannot duplicate expression"}, {"", "unknown "}, {"1 +", "expression expected"},
      {"(1", "')' expected"}, {"(int", "')' expected"}, {"sizeof(1", "')' expected"}, {"f(1", "')' expected"},
      {"a[1", "']' expected"}, {"a.1", "identifier expected"}, {"addressof 1", "'(' expected"},
      {"addressof(1)", "string expected"}, {"addressof(\"f\" 1)", "',' expected"},
      {"addressof(\"f\", x)", "int expected"}, {"addressof(\"f\", 1", "')' expected"}, {"(int[x])1", "size expected"},
      {"(int[2)1", "expected ']'"}, {"(struct)1", "struct parse error"}, {"(struct { int })1", "fieldname expected"},
      {"(struct { int a : x; })1", "integer must follow ':'"}, {"(struct { int a })1", "';' expected"},
      {"(struct { a; })1", "struct parse error"}, {"(struct { int a;", "struct parse error"},
      {"(struct s)1", "struct type not found"}, {"(register x)1", "size expected"}, {"(register 4 x)1", "'{' expected"},
      {"(register 4 { 1 })1", "fieldname expected"}, {"(register 4 { a x })1", "bitoffset expected"},
      {"(register 4 { a 0 })1", "bitsize expected"}, {"(register 4 { a 0 1 })1", "';' expected"},
      {"(register 4 { a 0 1; })1", "cannot cast"}, {"(struct s { int a : 3; char *b[2]; })1", "cannot cast"},
      {"0x10000000000000000", "integer literal too large"}, {"18446744073709551616", "integer literal too large"},
      {"0b11111111111111111111111111111111111111111111111111111111111111111", "integer literal too large"},
  };
  for (const auto& [input, message] : cases) EXPECT_EQ(outcome(parser, input), message) << input;
}

TEST(ExpressionEvaluateTest, ConvenienceCallsReportThroughTheOkFlag) {
  SimpleExpressionParser parser;
  // The results of evaluateBool, evaluateSigned and evaluateUnsigned, each followed by "!" when it cleared the ok flag.
  const auto results = [&parser](const char* input) {
    bool ok[3] = {false, false, false};
    const bool truth = parser.evaluateBool(input, &ok[0]);
    const int64_t number = parser.evaluateSigned(input, &ok[1]);
    const uint64_t bits = parser.evaluateUnsigned(input, &ok[2]);
    return std::to_string(truth) + (ok[0] ? " " : "! ") + std::to_string(number) + (ok[1] ? " " : "! ") +
           std::to_string(bits) + (ok[2] ? "" : "!");
  };
  const std::pair<const char*, std::string> cases[] = {
      {"5==5", "1 0! 0!"}, {"1 < 0", "0 0! 0!"}, {"5", "0! 5 5"}, {"-1", "0! -1 18446744073709551615"},
      {"1/0 == 0", "0! 0! 0!"}, {"\"a\"", "0! 0! 0!"}, {"", "0! 0! 0!"}, {"foo", "0! 0! 0!"},
      // A floating value truncates, or gives its bit pattern.
      {"-2.7", "0! -2 " + std::to_string(std::bit_cast<uint64_t>(-2.7))},
  };
  for (const auto& [input, expected] : cases) EXPECT_EQ(results(input), expected) << input;
  EXPECT_EQ(parser.evaluateSigned("2*21"), 42);  // the ok flag is optional
}

/// A parser with one unsigned and one marker symbol, as a debugger's would supply them.
class SymbolParser : public SimpleExpressionParser {
 public:
  ExpressionValue lookupSymbol(const std::vector<std::string>& scope) override {
    if (scope.size() == 1 && scope[0] == "u") return ExpressionValue::makeUnsigned(3, 4);
    if (scope.size() != 1 || scope[0] != "m") return SimpleExpressionParser::lookupSymbol(scope);
    return ExpressionValue{.kind = ValueKind::Marker, .data = 40};
  }
  ExpressionValue resolveMarker(const ExpressionValue& marker) override {
    return ExpressionValue::makeSigned(static_cast<int64_t>(marker.data));
  }
};

TEST(ExpressionEvaluateTest, ValuesSuppliedByADerivedParser) {
  SymbolParser parser;
  const std::pair<const char*, const char*> cases[] = {
      // An unsigned left operand makes the operation unsigned, at its size; markers resolve before use and at the top.
      {"u - 4", "unsigned int 4294967295"}, {"u << 31", "unsigned int 2147483648"}, {"u / 2", "unsigned int 1"},
      {"u < -1", "true"} /* -1 read as unsigned 64-bit */, {"-1 > u", "false"} /* a signed left compares signed */,
      {"1 << u", "integer shift value expected"}, {"x", "x symbol not found"}, {"m + 2", "42"}, {"m", "40"},
  };
  for (const auto& [input, expected] : cases) EXPECT_EQ(outcome(parser, input), expected) << input;
}

TEST(ExpressionEvaluateTest, NestingIsBoundedInsteadOfOverflowingTheStack) {
  SimpleExpressionParser parser;
  const auto repeat = [](const std::string& text, int count) {
    std::string result;
    for (int i = 0; i < count; ++i) result += text;
    return result;
  };
  const std::string deep = "expression nested too deeply";
  const std::pair<std::string, std::string> cases[] = {
      {repeat("(", 100000) + "1" + repeat(")", 100000), deep}, {repeat("-", 100000) + "1", deep},
      {repeat("!~", 50000) + "1", deep}, {"a" + repeat("[0]", 100000), deep},
      {"(int" + repeat("*", 100000) + ")1", deep}, {"(" + repeat("struct{", 100000), deep},
      {repeat("(", 150) + "1" + repeat(")", 150), "1"}, {"0" + repeat("+1", 900), "900"},
      {repeat("- ", 150) + "1", "1"},
      // Flat operator chains are no nesting, whatever their length and mix of levels.
      {"1" + repeat("+1", 100000), "100001"}, {"1" + repeat("*1+1", 50000), "50001"},
      {"1" + repeat("&&1", 100000), "true"}, {"0" + repeat("+(1+1)", 1001), "2002"},
  };
  for (const auto& [input, expected] : cases) EXPECT_EQ(outcome(parser, input), expected) << input.substr(0, 20);
}

TEST(ExpressionValueTest, ConversionsFollowKindSizeAndWidth) {
  const double inf = std::numeric_limits<double>::infinity();
  ExpressionValue bitField = ExpressionValue::makeSigned(0b101, 4);
  bitField.bitWidth = 3;  // sign-extended from its width
  using V = ExpressionValue;
  const auto bits = [](double value) { return std::bit_cast<uint64_t>(value); };
  const auto real = [](double value) { return ExpressionValue::makeFloating(value); };
  const struct { ExpressionValue value; int64_t asSigned; uint64_t asUnsigned; } cases[] = {
      // Integers are read at their size; only signed ones are sign-extended.
      {V::makeSigned(0x1FF, 1), -1, 0xFF}, {V::makeSigned(0x18000, 2), -32768, 0x8000}, {bitField, -3, 5},
      {V::makeUnsigned(0xFFFFFFFF80000000u, 4), 0x80000000, 0x80000000u},
      // Doubles truncate toward zero and clamp; the unsigned view is the bit pattern.
      {real(2.9), 2, bits(2.9)}, {real(-2.9), -2, bits(-2.9)}, {real(std::nan("")), 0, bits(std::nan(""))},
      {real(inf), kMax, bits(inf)}, {real(-1e30), kMin, bits(-1e30)},
      {real(-9223372036854775808.0), kMin, bits(-9223372036854775808.0)},
      {V::makeFloating(1.5, 4), 1, std::bit_cast<uint32_t>(1.5f)},
      {V::makeFloating(1e300, 4), kMax, std::bit_cast<uint32_t>(std::numeric_limits<float>::infinity())},
      {V::makeString("12"), 0, 0}, {V(), 0, 0}, {V::makeBoolean(true), 1, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value.typeName() + " " + std::to_string(c.value.data));
    EXPECT_EQ(c.value.asSigned(), c.asSigned);
    EXPECT_EQ(c.value.asUnsigned(), c.asUnsigned);
  }
  const ExpressionValue all = ExpressionValue::makeUnsigned(std::numeric_limits<uint64_t>::max());
  EXPECT_EQ(all.asDouble(), 18446744073709551616.0);  // read as unsigned
  EXPECT_EQ(all.asText(), "18446744073709551615");
  EXPECT_EQ(ExpressionValue::makeSigned(0x1FF, 1).asDouble(), -1.0);
}

}  // namespace
}  // namespace tidewater
