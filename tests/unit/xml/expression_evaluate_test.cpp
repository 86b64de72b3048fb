#include <gtest/gtest.h>

#include <bit>
#include <limits>
#include <string>
#include <tuple>

#include "xml/parser_exception.h"
#include "xml/simple_expression_parser.h"

namespace tidewater {
namespace {

constexpr int64_t kMin = std::numeric_limits<int64_t>::min();

std::string errorOf(ExpressionParser& parser, const std::string& text) {
  try {
    const ExpressionValue value = parser.evaluate(text);
    return "no error, value " + value.asText();
  } catch (const ParserException& error) {
    return error.message();
  }
}

/// Evaluates "input", reporting an unexpected error as a test failure.
ExpressionValue evaluated(ExpressionParser& parser, const char* input) {
  try {
    return parser.evaluate(input);
  } catch (const ParserException& error) {
    ADD_FAILURE() << input << ": " << error.message();
    return {};
  }
}

TEST(ExpressionEvaluateTest, SignedIntegerResults) {
  SimpleExpressionParser parser;
  const struct {
    const char* input;
    int64_t expected;
  } cases[] = {
      // Precedence and left associativity.
      {"1+2*3", 7}, {"(1+2)*3", 9}, {"10-4-3", 3}, {"100/10/5", 2}, {"100%7%4", 2}, {"2*3%4", 2},
      {"1+2<<3", 24}, {"1<<2+3", 32}, {"6&3^1|8", 11} /* ((6&3)^1)|8 */, {"1|2^3&5", 3} /* 1|(2^(3&5)) */,
      {"-2*-3", 6}, {"~0", -1}, {"- -5", 5}, {"+7", 7},
      // Literals: hexadecimal, octal, binary, suffixes; octal digits are not checked.
      {"0x10 + 010", 24}, {"0b1011", 11}, {"0x", 0}, {"0b", 0}, {"0xFFu", 255}, {"10UL", 10}, {"077", 63},
      {"09", 9}, {"0x20000000 + 0x1000*4", 0x20004000},
      // Integer division truncates toward zero.
      {"-7/2", -3}, {"-7%2", -1}, {"7/-2", -3},
      // Shifts: the count is taken modulo 64; right shifts are arithmetic.
      {"1<<4", 16}, {"1<<64", 1}, {"1<<65", 2}, {"1<<-1", kMin}, {"-16>>2", -4}, {"-1>>63", -1},
      // Arithmetic wraps in two's complement.
      {"0x7FFFFFFFFFFFFFFF + 1", kMin}, {"0x4000000000000000 * 4", 0}, {"-(0x7FFFFFFFFFFFFFFF + 1)", kMin},
      // The most negative value divided by -1 wraps to itself, remainder 0.
      {"(0x7FFFFFFFFFFFFFFF + 1) / -1", kMin}, {"(0x7FFFFFFFFFFFFFFF + 1) % -1", 0},
      // A literal that fits in 64 unsigned bits keeps its bits.
      {"0xFFFFFFFFFFFFFFFF", -1}, {"18446744073709551615", -1}, {"01777777777777777777777", -1},
      // Only the first complete expression is read.
      {"1 2", 1}, {"3 )", 3},
  };
  for (const auto& c : cases) {
    const ExpressionValue value = evaluated(parser, c.input);
    EXPECT_EQ(value.kind, ValueKind::Signed) << c.input;
    EXPECT_EQ(value.asSigned(), c.expected) << c.input;
  }
}

TEST(ExpressionEvaluateTest, BooleanResults) {
  SimpleExpressionParser parser;
  const struct {
    const char* input;
    bool expected;
  } cases[] = {
      {"2<3", true}, {"3<=2", false}, {"3>2 && 2>=2", true}, {"1==2 || 2!=2", false}, {"!0", true},
      {"!5", false}, {"!0.0", true}, {"-1 < 0", true} /* signed comparison */, {"0xFFFFFFFFFFFFFFFF < 0", true},
      {"5 && 0", false}, {"1 && 2.5", true}, {"0 || 0.0", false},
      {"1 < 2 == 1", true},  // a boolean left compares truth: true == true
      {"(1 < 2) == (3 < 4)", true},
      {"(2 > 1) + 0", true},  // boolean left: whether the sum is non-zero
      {"(2 > 1) - 1", false},
      {"\"abc\"==\"abc\"", true}, {"\"abc\"==\"ABC\"", false}, {"\"abc\"!=\"abd\"", true}, {"\"abc\"<\"abd\"", true},
      {"\"b\">\"abc\"", true}, {"\"\"==\"\"", true},
      {"\"12\"==12", true},             // the right operand compared as text
      {"\"\xC3\xA9\" > \"z\"", true},  // UTF-8 text orders by byte value
      // Short circuit: the undecided side is never evaluated.
      {"0 && 1/0", false}, {"1 || undefined", true},
      // The preprocessor's conditions after macro expansion.
      {"3 > 2 && 0x100 == 256", true},
  };
  for (const auto& c : cases) {
    const ExpressionValue value = evaluated(parser, c.input);
    EXPECT_EQ(value.kind, ValueKind::Boolean) << c.input;
    EXPECT_EQ(value.data != 0, c.expected) << c.input;
  }
}

TEST(ExpressionEvaluateTest, FloatingAndStringResults) {
  SimpleExpressionParser parser;
  const struct {
    const char* input;
    double expected;
  } cases[] = {
      {"1.5", 1.5},        {"1.5*2", 3.0},      {"2*1.5", 3.0},     {"1+0.25", 1.25},
      {"7.5%2", 1.5},      {"-1.5", -1.5},      {"3.0/2", 1.5},     {"5.9 & 3", 1.0},
      {"1 - 0.5 - 0.25", 0.25},
  };
  for (const auto& c : cases) {
    const ExpressionValue value = evaluated(parser, c.input);
    EXPECT_EQ(value.kind, ValueKind::Floating) << c.input;
    EXPECT_EQ(value.size, 8) << c.input;
    EXPECT_DOUBLE_EQ(value.asDouble(), c.expected) << c.input;
  }

  const ExpressionValue text = parser.evaluate("\"a b\"");
  EXPECT_EQ(text.kind, ValueKind::String);
  EXPECT_EQ(text.text, "a b");
  EXPECT_EQ(parser.evaluate("").kind, ValueKind::Unknown);
  EXPECT_EQ(parser.evaluate(" \t ").kind, ValueKind::Unknown);
}

TEST(ExpressionEvaluateTest, ErrorMessagesReachableFromLiterals) {
  SimpleExpressionParser parser;
  const struct {
    const char* input;
    const char* message;
  } cases[] = {
      {"1/0", "divide by zero"}, {"1%0", "divide by zero"}, {"1.5/0.0", "divide by zero"},
      {"1.5%0.0", "divide by zero"}, {"4/(1<0)", "divide by zero"}, {"4/\"x\"", "divide by zero"},
      {"1 ? 2 : 3", "operator not supported"}, {"1, 2", "operator not supported"},
      {"8 >>> 1", "operator not supported"}, {"1 >>>= 1", "operator not supported"},
      {"foo+1", "foo symbol not found"}, {"$x", "$x symbol not found"}, {"a::b::c", "a::b::c symbol not found"},
      {"::g", "::g symbol not found"}, {"a::1", "identifier expected after '::'"}, {"#", "unrecognised token: #"},
      {"1 + #x", "unrecognised token: #x"}, {"\"a\" + 1", "unsupported binary numeric operation"},
      {"\"a\" && 1", "unsupported binary numeric operation"}, {"0 || \"a\"", "unsupported binary numeric operation"},
      {"1.5 < 2", "unsupported comparison operation"}, {"1 << 1.5", "integer shift value expected"},
      {"1 << (1<2)", "integer shift value expected"}, {"1.5 << 1", "can only shift numeric values"},
      {"(1<2) << 1", "can only shift numeric values"}, {"-\"a\"", "unsupported unary num operation"},
      {"!\"a\"", "unsupported unary num operation"}, {"~1.5", "unsupported unary num operation"},
      {"@r0", "r0unknown register"}, {"@", "unknown register"}, {"(int)5", "cannot cast"},
      {"(unsigned long long *)1", "cannot cast"}, {"5[1]", "cannot dereference"}, {"*5", "cannot dereference"},
      {"&5", "addressof not implemented"}, {"addressof(\"main.c\", 12)", "addressof not implemented"},
      {"sizeof 5", "sizeof expression not implemented"}, {"sizeof(5)", "sizeof expression not implemented"},
      {"sizeof(char)", "sizeof(typename) not implemented"}, {"f(1, 2)", "function calling not implemented"},
      {"5(1)", "function calling not implemented"}, {"(5).x", "this symbol not found"},
      {"5->x", "this symbol not found"}, {"5 = 1", "can't update a constant"}, {"5 += 1", "can't update a constant"},
      {"++5", "can't update a constant"}, {"(1+2) += 1", "cannot duplicate expression"},
      {"--(-1)", "cannot duplicate expression"}, {"", "no error, value "}, {"1 +", "expression expected"},
      {")", "expression expected"}, {"(1", "')' expected"}, {"(int", "')' expected"}, {"sizeof(1", "')' expected"},
      {"f(1", "')' expected"}, {"a[1", "']' expected"}, {"a.1", "identifier expected"},
      {"addressof 1", "'(' expected"}, {"addressof(1)", "string expected"}, {"addressof(\"f\" 1)", "',' expected"},
      {"addressof(\"f\", x)", "int expected"}, {"addressof(\"f\", 1", "')' expected"}, {"(int[x])1", "size expected"},
      {"(int[2)1", "expected ']'"}, {"(struct)1", "struct parse error"}, {"(struct { int })1", "fieldname expected"},
      {"(struct { int a : x; })1", "integer must follow ':'"}, {"(struct { int a })1", "';' expected"},
      {"(struct { a; })1", "struct parse error"}, {"(struct { int a;", "struct parse error"},
      {"(struct s)1", "struct type not found"}, {"(register x)1", "size expected"},
      {"(register 4 x)1", "'{' expected"}, {"(register 4 { 1 })1", "fieldname expected"},
      {"(register 4 { a x })1", "bitoffset expected"}, {"(register 4 { a 0 })1", "bitsize expected"},
      {"(register 4 { a 0 1 })1", "';' expected"}, {"(register 4 { a 0 1; })1", "cannot cast"},
      {"(struct s { int a : 3; char *b[2]; })1", "cannot cast"}, {"0x10000000000000000", "integer literal too large"},
      {"18446744073709551616", "integer literal too large"},
      {"0b11111111111111111111111111111111111111111111111111111111111111111", "integer literal too large"},
  };
  for (const auto& c : cases) EXPECT_EQ(errorOf(parser, c.input), c.message) << c.input;
}

TEST(ExpressionEvaluateTest, ConvenienceCallsReportThroughTheOkFlag) {
  SimpleExpressionParser parser;
  bool ok = false;
  const std::tuple<const char*, bool, bool> booleans[] = {
      {"5==5", true, true}, {"5", false, false} /* not a boolean result */, {"1/0 == 0", false, false},
      {"1 < 0", false, true}};
  for (const auto& [input, result, expectedOk] : booleans) {
    EXPECT_EQ(parser.evaluateBool(input, &ok), result) << input;
    EXPECT_EQ(ok, expectedOk) << input;
  }
  const std::tuple<const char*, int64_t, bool> signedValues[] = {
      {"-5", -5, true}, {"-2.7", -2, true}, {"1<2", 0, false}, {"\"a\"", 0, false}, {"1/0", 0, false},
      {"", 0, false}};
  for (const auto& [input, result, expectedOk] : signedValues) {
    EXPECT_EQ(parser.evaluateSigned(input, &ok), result) << input;
    EXPECT_EQ(ok, expectedOk) << input;
  }
  // A floating value gives its bit pattern.
  const std::tuple<const char*, uint64_t, bool> unsignedValues[] = {
      {"-1", 0xFFFFFFFFFFFFFFFFu, true}, {"0x20000000 + 0x1000*4", 0x20004000u, true},
      {"1.5", std::bit_cast<uint64_t>(1.5), true}, {"foo", 0, false}};
  for (const auto& [input, result, expectedOk] : unsignedValues) {
    EXPECT_EQ(parser.evaluateUnsigned(input, &ok), result) << input;
    EXPECT_EQ(ok, expectedOk) << input;
  }
  // The ok flag is optional.
  EXPECT_EQ(parser.evaluateSigned("2*21"), 42);
}

TEST(ExpressionEvaluateTest, ProcessWideInstanceIsOneParser) {
  SimpleExpressionParser& parser = SimpleExpressionParser::instance();
  EXPECT_EQ(&parser, &SimpleExpressionParser::instance());
  EXPECT_EQ(parser.evaluateSigned("1+1"), 2);
}

/// A parser with one unsigned and one marker symbol, as a debugger's would
/// supply them.
class SymbolParser : public SimpleExpressionParser {
 public:
  ExpressionValue lookupSymbol(const std::vector<std::string>& scope) override {
    if (scope.size() == 1 && scope[0] == "u") return ExpressionValue::makeUnsigned(3, 4);
    if (scope.size() == 1 && scope[0] == "m") {
      ExpressionValue marker;
      marker.kind = ValueKind::Marker;
      marker.data = 40;
      return marker;
    }
    return SimpleExpressionParser::lookupSymbol(scope);
  }
  ExpressionValue resolveMarker(const ExpressionValue& marker) override {
    return ExpressionValue::makeSigned(static_cast<int64_t>(marker.data));
  }
};

TEST(ExpressionEvaluateTest, ValuesSuppliedByADerivedParser) {
  SymbolParser parser;
  EXPECT_EQ(errorOf(parser, "1 << u"), "integer shift value expected");
  EXPECT_EQ(errorOf(parser, "x"), "x symbol not found");

  // An unsigned left operand makes the operation unsigned, at its size.
  ExpressionValue value = parser.evaluate("u - 4");
  EXPECT_EQ(value.kind, ValueKind::Unsigned);
  EXPECT_EQ(value.size, 4);
  EXPECT_EQ(value.asUnsigned(), 0xFFFFFFFFu);
  EXPECT_TRUE(parser.evaluateBool("u < -1"));  // -1 read as unsigned 64-bit
  EXPECT_FALSE(parser.evaluateBool("-1 > u"));  // a signed left compares signed
  EXPECT_EQ(parser.evaluate("u << 31").asUnsigned(), 0x80000000u);
  EXPECT_EQ(parser.evaluate("u / 2").asUnsigned(), 1u);

  // Markers are resolved before they are used, and at the top.
  EXPECT_EQ(parser.evaluateSigned("m + 2"), 42);
  EXPECT_EQ(parser.evaluate("m").kind, ValueKind::Signed);
}

TEST(ExpressionEvaluateTest, NestingIsBoundedInsteadOfOverflowingTheStack) {
  SimpleExpressionParser parser;
  const std::string depth = "expression nested too deeply";
  const auto repeat = [](const std::string& text, int count) {
    std::string result;
    for (int i = 0; i < count; ++i) result += text;
    return result;
  };
  EXPECT_EQ(errorOf(parser, repeat("(", 100000) + "1" + repeat(")", 100000)), depth);
  EXPECT_EQ(errorOf(parser, repeat("-", 100000) + "1"), depth);
  EXPECT_EQ(errorOf(parser, repeat("!~", 50000) + "1"), depth);
  EXPECT_EQ(errorOf(parser, "1" + repeat("+1", 100000)), depth);
  EXPECT_EQ(errorOf(parser, "a" + repeat("[0]", 100000)), depth);
  EXPECT_EQ(errorOf(parser, "(int" + repeat("*", 100000) + ")1"), depth);
  EXPECT_EQ(errorOf(parser, "(" + repeat("struct{", 100000)), depth);

  // Within the bounds everything still evaluates.
  EXPECT_EQ(parser.evaluateSigned(repeat("(", 150) + "1" + repeat(")", 150)), 1);
  EXPECT_EQ(parser.evaluateSigned("0" + repeat("+1", 900)), 900);
  EXPECT_EQ(parser.evaluateSigned(repeat("- ", 150) + "1"), 1);
}

}  // namespace
}  // namespace tidewater
