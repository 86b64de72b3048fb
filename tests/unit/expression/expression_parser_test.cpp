#include "expression/expression_parser.h"

#include <gtest/gtest.h>

#include <cstring>

#include "expression/parser_exception.h"
#include "expression/simple_expression_parser.h"

namespace tidewater {
namespace {

TEST(ExpressionParserTest, TreeShapeShowsPrecedenceAndAssociativity) {
  SimpleExpressionParser parser;
  // The tree ("" for none) and where parsing stopped (npos: at the end).
  const struct { const char* input; const char* tree; std::size_t end = std::string::npos; } cases[] = {
      {"1+2*3", "PlusExpression(1, MultiplyExpression(2, 3))"}, {"++a", "AssignExpression(a, PlusExpression(a, 1))"},
      {"10-4-3", "MinusExpression(MinusExpression(10, 4), 3)"}, {"a != b >= c", "NeExpression(a, GeExpression(b, c))"},
      {"a = b = 1", "AssignExpression(AssignExpression(a, b), 1)"}, {"+*p", "LeftSquareBracketExpression(p, 0)"},
      {"a += 2", "AssignExpression(a, PlusExpression(a, 2))"}, {"&s->m", "AddressofExpression(DotExpression(s, ->m))"},
      {"x[1] <<= 2",
       "AssignExpression(LeftSquareBracketExpression(x, 1), LshiftExpression(LeftSquareBracketExpression(x, 1), 2))"},
      {"--p.f", "AssignExpression(DotExpression(p, .f), MinusExpression(DotExpression(p, .f), 1))"},
      {"a || b && c | d ^ e & f == g < h << i + j * k",
       "LogicalOrExpression(a, LogicalAndExpression(b, BitOrExpression(c, BitXorExpression(d, BitAndExpression(e, "
       "EqExpression(f, LtExpression(g, LshiftExpression(h, PlusExpression(i, MultiplyExpression(j, k))))))))))"},
      {"!-~1", "LogicalNotExpression(NegateExpression(BitNotExpression(1)))"},
      {"-a[2]", "NegateExpression(LeftSquareBracketExpression(a, 2))"}, {"::std::x", "::std::x"},
      {"f()(1, x + 1)", "CallExpression(CallExpression(f), 1, PlusExpression(x, 1))"},
      {"(unsigned char *)p", "CastExpression(unsigned char *, p)"}, {"(int[2][3])p", "CastExpression(int[2][3], p)"},
      {"sizeof(long long)", "SizeofExpression(long long)"}, {"sizeof -x", "SizeofExpression(NegateExpression(x))"},
      {"addressof(\"m.c\", 0x10)", "AddressofLineExpression(\"m.c\", 16)"},
      {"@pc + 1.25 + \"s\"", "PlusExpression(PlusExpression(@pc, 1.25), \"s\")"}, {"", "", 0}, {"  ", "", 2},
      {"1 2", "1", 2}, {"(1+2) ; rest", "PlusExpression(1, 2)", 6},
  };
  for (const auto& c : cases) {
    std::size_t end = 99;
    std::unique_ptr<Expression> tree;
    ASSERT_NO_THROW(tree = parser.parse(c.input, &end)) << c.input;
    EXPECT_EQ(tree ? tree->toString() : "", c.tree) << c.input;
    EXPECT_EQ(end, c.end == std::string::npos ? std::strlen(c.input) : c.end) << c.input;
  }
}

TEST(ExpressionParserTest, DuplicateCopiesOnlyLeavesMemberAccessAndIndexing) {
  SimpleExpressionParser parser;
  for (const char* input : {"12", "1.5", "\"s\"", "name", "a::b", "s.m", "p->m", "a[i][2]", "a[1].b"}) {
    auto tree = parser.parse(input);
    const auto copy = tree->duplicate();
    ASSERT_NE(copy, nullptr) << input;
    EXPECT_NE(copy.get(), tree.get()) << input;
    tree.reset();  // the copy is independent of the original
    EXPECT_EQ(copy->toString(), parser.parse(input)->toString()) << input;
  }
  for (const char* input : {"1+2", "-1", "!a", "@r0", "(int)1", "sizeof 1", "&a", "f()", "a = 1",
                            "addressof(\"f\", 1)", "a[1+2]", "(1+1).m"}) {
    const auto tree = parser.parse(input);
    EXPECT_THROW(tree->duplicate(), ParserException) << input;
  }
}

TEST(ExpressionParserTest, VisitPassesTheRequestToEachDirectOperand) {
  SimpleExpressionParser parser;
  const struct { const char* input; std::vector<std::string> operands; } cases[] = {
      {"1", {}}, {"-a", {"a"}}, {"a*b+c", {"MultiplyExpression(a, b)", "c"}}, {"f(x, 2)", {"f", "x", "2"}},
      {"a[1]", {"a", "1"}}, {"(int)a", {"a"}}, {"sizeof(int)", {}}, {"a = 1", {"a", "1"}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> seen;
    parser.parse(c.input)->visit([&seen](Expression& operand) { seen.push_back(operand.toString()); });
    EXPECT_EQ(seen, c.operands) << c.input;
  }
}

/// Knows the typedef "u8" and the structure "point", and reports the type of each cast instead of failing.
class TypedParser : public SimpleExpressionParser {
 public:
  std::string lastCast;

  std::unique_ptr<ExpressionType> lookupType(const std::string& name) override {
    if (name != "u8") return nullptr;
    return std::make_unique<SimpleType>(std::vector<std::string>{"unsigned", "char"});
  }
  std::unique_ptr<StructType> lookupStruct(const std::string& tag) override {
    if (tag != "point") return nullptr;
    std::vector<StructType::Field> fields;
    fields.push_back({"x", std::make_unique<SimpleType>(std::vector<std::string>{"int"}), 0});
    fields.push_back({"y", std::make_unique<SimpleType>(std::vector<std::string>{"short"}), 0});
    return std::make_unique<StructType>(tag, std::move(fields));
  }
  ExpressionValue cast(const ExpressionType& type, const ExpressionValue& value) override {
    lastCast = type.name() + " size " + std::to_string(type.size());
    return value;
  }
};

TEST(ExpressionParserTest, TypeNamesInCasts) {
  TypedParser parser;
  const std::pair<const char*, const char*> cases[] = {
      {"(char)1", "char size 1"}, {"(unsigned short)1", "unsigned short size 2"},
      {"(const volatile int)1", "const volatile int size 4"}, {"(long)1", "long size 4"},
      {"(long long)1", "long long size 8"}, {"(double)1", "double size 8"}, {"(int *)1", "int * size 4"},
      {"(char **)1", "char * * size 4"}, {"(short[3][2])1", "short[3][2] size 12"}, {"(u8)1", "u8 size 1"},
      {"(u8[5])1", "u8[5] size 5"}, {"(struct point)1", "struct point size 6"},
      {"(struct point *)1", "struct point * size 4"}, {"(struct { int a; char b : 2; })1", "struct size 5"},
      {"(register 4 { EN 0 1; MODE 1 2; })1", "register 4 size 4"},
  };
  for (const auto& [input, expected] : cases) {
    parser.lastCast.clear();
    EXPECT_NO_THROW(parser.evaluate(input)) << input;
    EXPECT_EQ(parser.lastCast, expected) << input;
  }
  // A name that is not a type is an expression in parentheses.
  EXPECT_EQ(parser.parse("(v)")->toString(), "v");
}

TEST(ExpressionParserTest, IntegerLiteralValue) {
  // Bases and suffixes as the evaluator shows them, plus leading blanks and a sign.
  const std::pair<const char*, int64_t> cases[] = {
      {"19lu", 19}, {"  -12", -12}, {"+7", 7}, {"-0x8000000000000000", std::numeric_limits<int64_t>::min()}};
  for (const auto& [text, expected] : cases) EXPECT_EQ(ExpressionParser::integerLiteralValue(text), expected) << text;
  EXPECT_THROW(ExpressionParser::integerLiteralValue("99999999999999999999"), ParserException);
}

}  // namespace
}  // namespace tidewater
