#include "xml/expression_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "xml/parser_exception.h"
#include "xml/simple_expression_parser.h"

namespace tidewater {
namespace {

TEST(ExpressionParserTest, TreeShapeShowsPrecedenceAndAssociativity) {
  SimpleExpressionParser parser;
  const struct {
    const char* input;
    const char* expected;
  } cases[] = {
      {"1+2*3", "PlusExpression(1, MultiplyExpression(2, 3))"},
      {"10-4-3", "MinusExpression(MinusExpression(10, 4), 3)"},
      {"a = b = 1", "AssignExpression(AssignExpression(a, b), 1)"},
      {"a += 2", "AssignExpression(a, PlusExpression(a, 2))"},
      {"x[1] <<= 2", "AssignExpression(LeftSquareBracketExpression(x, 1), "
                     "LshiftExpression(LeftSquareBracketExpression(x, 1), 2))"},
      {"++a", "AssignExpression(a, PlusExpression(a, 1))"},
      {"--p.f", "AssignExpression(DotExpression(p, .f), MinusExpression(DotExpression(p, .f), 1))"},
      {"a || b && c | d ^ e & f == g < h << i + j * k",
       "LogicalOrExpression(a, LogicalAndExpression(b, BitOrExpression(c, BitXorExpression(d, "
       "BitAndExpression(e, EqExpression(f, LtExpression(g, LshiftExpression(h, PlusExpression(i, "
       "MultiplyExpression(j, k))))))))))"},
      {"!-~1", "LogicalNotExpression(NegateExpression(BitNotExpression(1)))"},
      {"+*p", "LeftSquareBracketExpression(p, 0)"},
      {"&s->m", "AddressofExpression(DotExpression(s, ->m))"},
      {"-a[2]", "NegateExpression(LeftSquareBracketExpression(a, 2))"},
      {"f()(1, x + 1)", "CallExpression(CallExpression(f), 1, PlusExpression(x, 1))"},
      {"(unsigned char *)p", "CastExpression(unsigned char *, p)"},
      {"(int[2][3])p", "CastExpression(int[2][3], p)"},
      {"sizeof(long long)", "SizeofExpression(long long)"},
      {"sizeof -x", "SizeofExpression(NegateExpression(x))"},
      {"addressof(\"m.c\", 0x10)", "AddressofLineExpression(\"m.c\", 16)"},
      {"::std::x", "::std::x"},
      {"@pc + 1.25 + \"s\"", "PlusExpression(PlusExpression(@pc, 1.25), \"s\")"},
      {"a != b >= c", "NeExpression(a, GeExpression(b, c))"},
  };
  for (const auto& c : cases) {
    std::unique_ptr<Expression> tree;
    ASSERT_NO_THROW(tree = parser.parse(c.input)) << c.input;
    ASSERT_NE(tree, nullptr) << c.input;
    EXPECT_EQ(tree->toString(), c.expected) << c.input;
  }
}

TEST(ExpressionParserTest, ParseStopsAfterOneExpression) {
  SimpleExpressionParser parser;
  std::size_t end = 99;
  EXPECT_EQ(parser.parse("", &end), nullptr);
  EXPECT_EQ(end, 0u);
  EXPECT_EQ(parser.parse("  ", &end), nullptr);
  EXPECT_EQ(end, 2u);
  EXPECT_EQ(parser.parse("1 2", &end)->toString(), "1");
  EXPECT_EQ(end, 2u);
  EXPECT_EQ(parser.parse("(1+2) ; rest", &end)->toString(), "PlusExpression(1, 2)");
  EXPECT_EQ(end, 6u);
  EXPECT_EQ(parser.parse("a+b", &end)->toString(), "PlusExpression(a, b)");
  EXPECT_EQ(end, 3u);
}

TEST(ExpressionParserTest, DuplicateCopiesOnlyLeavesMemberAccessAndIndexing) {
  SimpleExpressionParser parser;
  for (const char* input : {"12", "1.5", "\"s\"", "name", "a::b", "s.m", "p->m", "a[i][2]", "a[1].b"}) {
    const auto tree = parser.parse(input);
    const auto copy = tree->duplicate();
    ASSERT_NE(copy, nullptr) << input;
    EXPECT_NE(copy.get(), tree.get()) << input;
    EXPECT_EQ(copy->toString(), tree->toString()) << input;
  }
  for (const char* input : {"1+2", "-1", "!a", "@r0", "(int)1", "sizeof 1", "&a", "f()",
                            "a = 1", "addressof(\"f\", 1)", "a[1+2]", "(1+1).m"}) {
    const auto tree = parser.parse(input);
    try {
      tree->duplicate();
      ADD_FAILURE() << input << " was duplicated";
    } catch (const ParserException& error) {
      EXPECT_EQ(error.message(), "cannot duplicate expression") << input;
    }
  }
  // The copy is independent of the original.
  auto tree = parser.parse("7");
  auto copy = tree->duplicate();
  tree.reset();
  EXPECT_EQ(copy->evaluate(parser).asSigned(), 7);
}

TEST(ExpressionParserTest, VisitPassesTheRequestToEachDirectOperand) {
  SimpleExpressionParser parser;
  const struct {
    const char* input;
    std::vector<std::string> operands;
  } cases[] = {
      {"1", {}}, {"a", {}}, {"-a", {"a"}}, {"a*b+c", {"MultiplyExpression(a, b)", "c"}}, {"f(x, 2)", {"f", "x", "2"}},
      {"a[1]", {"a", "1"}}, {"(int)a", {"a"}}, {"sizeof(int)", {}}, {"a = 1", {"a", "1"}},
  };
  for (const auto& c : cases) {
    const auto tree = parser.parse(c.input);
    std::vector<std::string> seen;
    tree->visit([&seen](Expression& operand) { seen.push_back(operand.toString()); });
    EXPECT_EQ(seen, c.operands) << c.input;
  }
}

/// Knows the typedef "u8" and the structure "point", and reports the type
/// of each cast instead of failing.
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
  const struct {
    const char* input;
    const char* expected;
  } cases[] = {
      {"(char)1", "char size 1"}, {"(unsigned short)1", "unsigned short size 2"},
      {"(const volatile int)1", "const volatile int size 4"}, {"(long)1", "long size 4"},
      {"(long long)1", "long long size 8"}, {"(double)1", "double size 8"}, {"(int *)1", "int * size 4"},
      {"(char **)1", "char * * size 4"}, {"(short[3][2])1", "short[3][2] size 12"}, {"(u8)1", "u8 size 1"},
      {"(u8[5])1", "u8[5] size 5"}, {"(struct point)1", "struct point size 6"},
      {"(struct point *)1", "struct point * size 4"}, {"(struct { int a; char b : 2; })1", "struct size 5"},
      {"(register 4 { EN 0 1; MODE 1 2; })1", "register 4 size 4"},
  };
  for (const auto& c : cases) {
    parser.lastCast.clear();
    EXPECT_NO_THROW(parser.evaluate(c.input)) << c.input;
    EXPECT_EQ(parser.lastCast, c.expected) << c.input;
  }
  // A name that is not a type is an expression in parentheses.
  EXPECT_EQ(parser.parse("(v)")->toString(), "v");
}

/// Expands "N" to "3", as the preprocessor's macros expand before parsing.
class NLexer : public CStyleLexer {
 protected:
  std::string expandMacro(const std::string& identifier) override {
    return identifier == "N" ? "3" : "";
  }
};

TEST(ExpressionParserTest, ParserReadsThroughTheLexerMacroHook) {
  SimpleExpressionParser parser(std::make_unique<NLexer>());
  bool ok = false;
  EXPECT_TRUE(parser.evaluateBool("N > 2 && 0x100 == 256", &ok));
  EXPECT_TRUE(ok);
  EXPECT_EQ(parser.evaluateSigned("N*N"), 9);
  EXPECT_EQ(parser.parse("-N+x")->toString(), "PlusExpression(NegateExpression(3), x)");
}

TEST(ExpressionParserTest, IntegerLiteralConversion) {
  const struct {
    const char* text;
    int64_t expected;
  } cases[] = {
      // Bases and suffixes as the evaluator tests show them, plus what only
      // this entry point sees: leading blanks and a sign.
      {"010", 8}, {"0xff", 255}, {"0b101", 5}, {"19lu", 19}, {"0x", 0}, {"  -12", -12}, {"+7", 7},
      {"0xFFFFFFFFFFFFFFFF", -1}, {"-0x8000000000000000", std::numeric_limits<int64_t>::min()},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExpressionParser::integerLiteralValue(c.text), c.expected) << c.text;
  }
  EXPECT_THROW(ExpressionParser::integerLiteralValue("99999999999999999999"), ParserException);
}

}  // namespace
}  // namespace tidewater
