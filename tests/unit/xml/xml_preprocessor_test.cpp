#include "xml/xml_preprocessor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "macro/macro_table.h"
#include "support/temp_dir.h"
#include "unit/xml/xml_tree_dump.h"
#include "xml/xml_preprocessor_macros.h"

namespace tidewater {
namespace {

using test::allTagged;
using test::dumpTree;
using test::TaggedElement;
using test::TempDir;

const std::string kPrefix = "XmlPP::processConditionals(): ";

std::string joined(const std::vector<std::string>& reports) {
  std::string text;
  for (const std::string& report : reports) text += (text.empty() ? "" : "|") + report;
  return text;
}

struct Outcome {
  std::string tree;
  std::string reports;  // joined with "|"
};

/// Preprocesses "text" as the file main.xml of a fresh directory.
Outcome preprocess(const std::string& text, const std::string& macros = {}, bool expand = false,
                   const XMLPP2::Limits& limits = {}) {
  TempDir dir;
  const std::string path = dir.write("main.xml", text);
  XMLPP2 document;
  document.setLimits(limits);
  EXPECT_TRUE(document.load(path, macros, expand)) << text;
  return {dumpTree(document.root()), joined(document.reports())};
}

struct DirectiveCase {
  const char* input;
  const char* macros;
  bool expand;
  const char* tree;
  std::string reports;
};

void runCases(const std::vector<DirectiveCase>& cases) {
  for (const DirectiveCase& c : cases) {
    const Outcome outcome = preprocess(c.input, c.macros, c.expand);
    EXPECT_EQ(outcome.tree, c.tree) << c.input << " with " << c.macros;
    EXPECT_EQ(outcome.reports, c.reports) << c.input << " with " << c.macros;
  }
}

TEST(XmlPreprocessorTest, IfAndIfnotTestOneMacroAgainstAList) {
  const std::string oneCondition = kPrefix + "one condition required for <if[not]>";
  runCases({
      {"<r><if CPU=\"m3,m4\"><a/><b/></if><c/></r>", "CPU=m4", false, "r(a b c)"},
      {"<r><if CPU=\"m3,m4\"><a/></if></r>", "CPU=m0", false, "r"},
      {"<r><if CPU=\"m3,m4\"><a/></if></r>", "CPU=M4", false, "r"},
      {"<r><if CPU=\"m3,m4\"><a/></if></r>", "", false, "r"},
      // The failed lookup defines CPU, empty, in this scope.
      {"<r><if CPU=\"m3\"><a/></if><ifdef name=\"CPU\"><b/></ifdef></r>", "", false, "r(b)"},
      {"<r><if CPU=\",,\"><a/></if></r>", "", false, "r"},
      {"<r><ifnot CPU=\"m3,m4\"><a/></ifnot></r>", "CPU=m4", false, "r"},
      {"<r><ifnot CPU=\"m3,m4\"><a/></ifnot></r>", "CPU=m0", false, "r(a)"},
      {"<r><if><a/></if></r>", "", false, "r(if(a))", oneCondition},
      {"<r><ifnot A=\"1\" B=\"2\"><a/></ifnot></r>", "", false, "r(ifnot[A=1,B=2](a))", oneCondition},
      // Directives inside the kept content are processed too.
      {"<r><if A=\"1\"><if B=\"2\"><a/></if><b/></if></r>", "A=1;B=2", false, "r(a b)"},
  });
}

TEST(XmlPreprocessorTest, IfdefIfexAndSwitch) {
  const char* switchText =
      "<r><switch name=\"V\"><case value=\"a,b\"><x/></case><case value=\"b\"><y/></case>"
      "<default><d1/></default><default><d2/></default></switch></r>";
  runCases({
      {"<r><ifdef name=\"X\"><a/></ifdef><ifndef name=\"X\"><b/></ifndef></r>", "X=", false, "r(a)"},
      {"<r><ifdef name=\"X\"><a/></ifdef><ifndef name=\"X\"><b/></ifndef></r>", "", false, "r(b)"},
      {"<r><define name=\"N\" value=\"3\"/><ifex expression=\"$(N) > 2\"><a/></ifex></r>", "", false, "r(a)"},
      {"<r><ifex expression=\"$(N) > 5\"><a/></ifex></r>", "N=3", false, "r"},
      // Evaluation failures and non-Boolean results drop the content.
      {"<r><ifex expression=\"1/0 == 1\"><a/></ifex></r>", "", false, "r"},
      {"<r><ifex expression=\"5\"><a/></ifex></r>", "", false, "r"},
      {"<r><ifex expression=\"$(Undefined) == 1\"><a/></ifex></r>", "", false, "r"},
      // No expression at all keeps the element.
      {"<r><ifex><a/></ifex></r>", "", false, "r(ifex(a))"},
      {"<r><ifex expression=\"\"><a/></ifex></r>", "", false, "r(ifex[expression=](a))"},
      {switchText, "V=b", false, "r(x)", ""},
      {switchText, "V=c", false, "r(d2)", ""},
      {switchText, "", false, "r(d2)", ""},
      {"<r><switch name=\"V\"><case value=\"a\"><x/></case></switch><z/></r>", "V=q", false, "r(z)"},
  });
}

TEST(XmlPreprocessorTest, DefineSetsMacrosForFollowingSiblings) {
  runCases({
      {"<r><define name=\"E\" expression=\"2*3+1\"/><x v=\"$(E)\"/></r>", "", true, "r(x[v=7])"},
      {"<r><define name=\"H\" hex_expression=\"255\"/><x v=\"$(H)\"/></r>", "", true, "r(x[v=0xFF])"},
      {"<r><define name=\"H\" hex_expression=\"0\"/><x v=\"$(H)\"/></r>", "", true, "r(x[v=0x0])"},
      // Only the low 32 bits are kept.
      {"<r><define name=\"E\" expression=\"0x1FFFFFFFF\"/><x v=\"$(E)\"/></r>", "", true, "r(x[v=4294967295])"},
      {"<r><define name=\"A\" value=\"4\"/><define name=\"B\" expression=\"$(A)*2\"/>"
       "<x v=\"$(B)\"/></r>",
       "", true, "r(x[v=8])"},
      // A failed evaluation defines nothing.
      {"<r><define name=\"E\" expression=\"1/0\"/><x v=\"$(E)\"/></r>", "", true, "r(x[v=$(E)])"},
      // "value" wins over the expressions and is taken as written.
      {"<r><define name=\"E\" value=\"v\" expression=\"1\"/><x v=\"$(E)\"/></r>", "", true, "r(x[v=v])"},
      {"<r><define name=\"A\" value=\"$(B)\"/><ifex expression=\"$(A) == 1\"><a/></ifex></r>", "B=1", false, "r"},
      {"<r><define value=\"1\"/><a/></r>", "", false, "r(a)", kPrefix + "missing name in <define>"},
      {"<r><define name=\"A\"/><a/></r>", "", false, "r(a)", kPrefix + "missing value or expression in <define>"},
  });
}

TEST(XmlPreprocessorTest, DefinesNeverLeakOutOfTheirElement) {
  runCases({
      {"<r><o><define name=\"A\" value=\"1\"/><p v=\"$(A)\"><q v=\"$(A)\"/></p></o>"
       "<s v=\"$(A)\"/></r>",
       "", true, "r(o(p[v=1](q[v=1])) s[v=$(A)])"},
      // Spliced content is processed with a copy of the macros as well.
      {"<r><ifdef name=\"X\"><define name=\"A\" value=\"1\"/><p v=\"$(A)\"/></ifdef>"
       "<s v=\"$(A)\"/></r>",
       "X=", true, "r(p[v=1] s[v=$(A)])"},
      // A redefinition holds from that point of the level on.
      {"<r><a v=\"$(A)\"/><define name=\"A\" value=\"2\"/><b v=\"$(A)\"/></r>", "A=1", true, "r(a[v=1] b[v=2])"},
  });
}

TEST(XmlPreprocessorTest, ForRepeatsItsChildrenWithTheIndexMacros) {
  const std::string forUsage = kPrefix + "<for index=\"i\" start=\"0\" end=\"32\" incr=\"1\">";
  runCases({
      {"<r><for index=\"i\" start=\"0\" end=\"3\" incr=\"1\">"
       "<r n=\"$(i)\" c=\"$(i_alpha)\" h=\"$(i_hex)\"/></for></r>",
       "", false, "r(r[n=0,c=A,h=0x0] r[n=1,c=B,h=0x1] r[n=2,c=C,h=0x2])"},
      {"<r><for index=\"i\" start=\"0\" end=\"3\" incr=\"1\" mul=\"4\" add=\"0x100\">"
       "<x a=\"$(i_ap)\" h=\"$(i_ap_hex)\"/></for></r>",
       "", false, "r(x[a=256,h=0x100] x[a=260,h=0x104] x[a=264,h=0x108])"},
      {"<r><for index=\"k\" start=\"1\" end=\"6\" incr=\"2\" sub=\"1\"><x a=\"$(k)\" "
       "p=\"$(k_ap)\"/>"
       "</for></r>",
       "", false, "r(x[a=1,p=0] x[a=3,p=2] x[a=5,p=4])"},
      {"<r><for index=\"i\" start=\"0\" end=\"1\" incr=\"1\" sub=\"1\"><x "
       "p=\"$(i_ap)\"/></for></r>",
       "", false, "r(x[p=4294967295])"},
      // "add" and "mul" see the current macros; a failed evaluation counts as 0.
      {"<r><for index=\"i\" start=\"1\" end=\"2\" incr=\"1\" mul=\"$(M)\" add=\"junk#\">"
       "<x p=\"$(i_ap)\"/></for></r>",
       "M=3", false, "r(x[p=3])"},
      {"<r><for index=\"i\" start=\"3\" end=\"3\" incr=\"1\"><x/></for><y/></r>", "", false, "r(y)"},
      // The bounds are evaluated as written: an unexpanded reference fails and counts as 0.
      {"<r><for index=\"i\" start=\"0\" end=\"$(N)\" incr=\"1\"><x/></for></r>", "N=2", false, "r"},
      // Copies keep other references, which the expand flag resolves later.
      {"<r><for index=\"i\" start=\"0\" end=\"2\" incr=\"1\"><e n=\"$(P)$(i)\"/></for></r>", "P=x",
       false, "r(e[n=$(P)0] e[n=$(P)1])"},
      {"<r><for index=\"i\" start=\"0\" end=\"2\" incr=\"1\"><e n=\"$(P)$(i)\"/></for></r>", "P=x",
       true, "r(e[n=x0] e[n=x1])"},
      // The copies are visited like other siblings, so inner loops run too.
      {"<r><for index=\"i\" start=\"0\" end=\"2\" incr=\"1\"><a n=\"$(i)\"/>"
       "<for index=\"j\" start=\"0\" end=\"2\" incr=\"1\"><b n=\"$(i)$(j)\"/></for></for></r>",
       "", false, "r(a[n=0] b[n=00] b[n=01] a[n=1] b[n=10] b[n=11])"},
      // The index wraps at 32 bits.
      {"<r><for index=\"i\" start=\"5\" end=\"10\" incr=\"0xFFFFFFFE\"><a n=\"$(i)\"/></for></r>",
       "", false, "r(a[n=5] a[n=3] a[n=1])"},
      {"<r><for start=\"0\" end=\"2\" incr=\"1\"><x/></for><y/></r>", "", false, "r(y)", forUsage},
      {"<r><for index=\"i\" start=\"0\" end=\"2\" incr=\"1\"/><y/></r>", "", false, "r(y)", forUsage},
  });
}

TEST(XmlPreprocessorTest, ForeachProducesEveryCombination) {
  runCases({
      {"<r><foreach A=\"1,2\" B=\"x,y\"><e v=\"$(A)$(B)\"/></foreach></r>", "", false,
       "r(e[v=1x] e[v=1y] e[v=2x] e[v=2y])"},
      {"<r><foreach A=\"1,\n2,,\"><e v=\"$(A)\"/><f/></foreach></r>", "", false, "r(e[v=1] f e[v=2] f)"},
      {"<r><foreach A=\"\" B=\"x\"><e/></foreach><z/></r>", "", false, "r(z)"},
  });
}

TEST(XmlPreprocessorTest, XmldefStoresFragmentsThatXmlputInserts) {
  runCases({
      {"<r><xmldef name=\"D\"><a v=\"$(X)\"/><b/></xmldef><xmlput name=\"D\"/>"
       "<xmlput name=\"D\" macros=\"X=1\"/></r>",
       "", false, "r(a[v=$(X)] b a[v=1] b)"},
      {"<r><xmldef name=\"D\"><a v=\"$(X)\"/></xmldef><xmlput name=\"D\"/>"
       "<xmlput name=\"D\" macros=\"X=1\"/></r>",
       "X=2", true, "r(a[v=2] a[v=1])"},
      // Directives inside the fragment are processed where it is put.
      {"<r><xmldef name=\"D\"><ifdef name=\"X\"><a/></ifdef></xmldef><xmlput name=\"D\"/>"
       "<xmlput name=\"D\" macros=\"X=1\"/></r>",
       "", false, "r(a)"},
      // A later definition replaces an earlier one.
      {"<r><xmldef name=\"D\"><a/></xmldef><xmldef name=\"D\"><b/></xmldef><xmlput "
       "name=\"D\"/></r>",
       "", false, "r(b)"},
      {"<r><xmlput name=\"D\"/><xmldef name=\"D\"><a/></xmldef></r>", "", false,
       "r(xmlput[name=D])", kPrefix + "xmlput cannot fine xmldef named D"},
      {"<r><xmldef><a/></xmldef><xmlput/></r>", "", false, "r(xmldef(a) xmlput)"},
  });
}

TEST(XmlPreprocessorTest, ExpandFlagAndMacroLists) {
  runCases({
      {"<r a=\"$(X)\" e=\"$(Y:)\"><b c=\"$(X)$(Y)\"/></r>", "X=1", true, "r[a=1,e=](b[c=1$(Y)])"},
      {"<r a=\"$(X)\"/>", "X=1", false, "r[a=$(X)]"},
      // Escapes, line breaks, empty items and "=" in values.
      {"<r a=\"$(A)\" b=\"$(B)\" c=\"$(C)\"/>", "A=1\\;2;\n;B=x=y;C", true, "r[a=1;2,b=x=y,c=]"},
  });
  EXPECT_EQ(mergeMacroList({{"A", "0"}, {"K", "k"}}, "A=1;B=2;A=3"),
            (MacroMap{{"A", "3"}, {"B", "2"}, {"K", "k"}}));
  EXPECT_EQ(splitPlainList(",a,,b c,", ','), (std::vector<std::string>{"a", "b c"}));
}

TEST(XmlPreprocessorTest, ExpansionUsesThePreprocessorMacrosAlone) {
  MacroTable::instance().registerSystemMacro("PPTestSystemOnly", "1", "");
  runCases({
      {"<r a=\"$(PPTestSystemOnly)\"/>", "", true, "r[a=$(PPTestSystemOnly)]"},
      {"<r><ifex expression=\"$(PPTestSystemOnly) == 1\"><a/></ifex></r>", "", false, "r"},
  });
}

TEST(XmlPreprocessorTest, DirectiveAsDocumentElementIsReportedAndKept) {
  const Outcome outcome = preprocess("<if A=\"1\"><a/><ifdef name=\"A\"><b/></ifdef></if>", "A=1");
  EXPECT_EQ(outcome.tree, "if[A=1](a b)");
  EXPECT_EQ(outcome.reports, kPrefix + "<if> as the document element is not supported");
}

TEST(XmlPreprocessorTest, IncludesAreRelativeToTheIncludingFile) {
  TempDir dir;
  const std::string main = dir.write("main.xml", "<r><include filename=\"sub/a.xml\"/><z/></r>");
  dir.write("sub/a.xml", "<a><include filename=\"b.xml\"/><xmldef name=\"D\"><d/></xmldef></a>");
  dir.write("sub/b.xml", "<!DOCTYPE Other><b/>");
  dir.write("put.xml", "<r><include filename=\"sub/a.xml\"/><xmlput name=\"D\"/></r>");
  XMLPP2 document;
  ASSERT_TRUE(document.load(main, "", false));
  EXPECT_EQ(dumpTree(document.root()), "r(a(b) z)");
  EXPECT_EQ(joined(document.reports()), "");
  // The including document keeps its own declarations.
  EXPECT_FALSE(document.doctype());
  ASSERT_NE(document.definition("D"), nullptr);
  EXPECT_EQ(dumpTree(document.definition("D")), "xmldef[name=D](d)");

  // A definition from an included file serves later puts.
  XMLPP2 second;
  ASSERT_TRUE(second.load(dir.path() + "/put.xml", "", false));
  EXPECT_EQ(dumpTree(second.root()), "r(a(b) d)");
}

TEST(XmlPreprocessorTest, IncludeAttributesShapeTheIncludedTree) {
  struct IncludeCase {
    const char* include;  // the <include> element in main.xml
    const char* file;     // the content of a.xml
    const char* macros;
    bool expand;
    const char* tree;
  };
  const IncludeCase cases[] = {
      {"<include filename=\"a.xml\"/>", "<envelope><x/><y/></envelope>", "", false, "r(x y z)"},
      {"<include filename=\"a.xml\" no_root=\"\"/>", "<q><x/></q>", "", false, "r(x z)"},
      {"<include filename=\"a.xml\" inherit_attributes=\"name;size;absent\" name=\"N\" size=\"4\"/>",
       "<a name=\"old\" keep=\"1\"/>", "", false, "r(a[name=N,keep=1,size=4,absent=~] z)"},
      {"<include filename=\"a.xml\" macros=\"X=1\"/>", "<a v=\"$(X)\"><b v=\"$(X)\"/><c v=\"$(Y)\"/></a>", "Y=2", false,
       "r(a[v=1](b[v=1] c[v=2]) z)"},
      {"<include filename=\"a.xml\"/>", "<a v=\"$(Y)\"><b v=\"$(Y)\"/></a>", "Y=2", true, "r(a[v=2](b[v=2]) z)"},
      {"<include filename=\"a.xml\"/>", "<a v=\"$(Y)\"><b v=\"$(Y)\"/></a>", "Y=2", false, "r(a[v=$(Y)](b[v=$(Y)]) z)"},
      // Defines in the included file stay there.
      {"<include filename=\"a.xml\"/>", "<envelope><define name=\"Z\" value=\"1\"/><x/></envelope>", "", false,
       "r(x z)"},
  };
  for (const IncludeCase& c : cases) {
    TempDir dir;
    dir.write("a.xml", c.file);
    const std::string main = dir.write(
        "main.xml", std::string("<r>") + c.include + "<ifdef name=\"Z\"><y/></ifdef><z/></r>");
    XMLPP2 document;
    ASSERT_TRUE(document.load(main, c.macros, c.expand));
    EXPECT_EQ(dumpTree(document.root()), c.tree) << c.include << " of " << c.file;
    EXPECT_EQ(joined(document.reports()), "") << c.include << " of " << c.file;
  }
}

TEST(XmlPreprocessorTest, IncludeFileNamesSeeOnlyTheSystemMacros) {
  TempDir dir;
  dir.write("inc/a.xml", "<a/>");
  MacroTable::instance().registerSystemMacro("PPTestIncludeDir", dir.path() + "/inc", "");
  const std::string main = dir.write(
      "main.xml",
      "<r><include filename=\"$(PPTestIncludeDir)/a.xml\"/><include filename=\"$(F)\"/></r>");
  XMLPP2 document;
  ASSERT_TRUE(document.load(main, "F=inc/a.xml", false));
  EXPECT_EQ(dumpTree(document.root()), "r(a include[filename=$(F)])");
  const std::string missing = dir.path() + "/$(F)";
  EXPECT_EQ(joined(document.reports()), kPrefix + "error \"couldn't read " + missing +
                                            "\" in include file " + missing + " line:0");
}

TEST(XmlPreprocessorTest, BrokenIncludesAreReportedAndKept) {
  TempDir dir;
  dir.write("empty.xml", "<!-- nothing here -->");
  dir.write("broken.xml", "<a>\n<b></c>");
  dir.write("nested.xml", "<include filename=\"empty.xml\"/>");
  const std::string main =
      dir.write("main.xml",
                "<r><include filename=\"missing.xml\"/><include filename=\"empty.xml\"/>"
                "<include filename=\"broken.xml\"/><include/>"
                "<include filename=\"nested.xml\"/></r>");
  XMLPP2 document;
  ASSERT_TRUE(document.load(main, "", false));
  EXPECT_EQ(dumpTree(document.root()),
            "r(include[filename=missing.xml] include[filename=empty.xml] "
            "include[filename=broken.xml] include include[filename=nested.xml])");
  const std::string d = dir.path() + "/";
  EXPECT_EQ(joined(document.reports()),
            kPrefix + "error \"couldn't read " + d + "missing.xml\" in include file " + d +
                "missing.xml line:0|" + kPrefix + "error: include file '" + d +
                "empty.xml' is empty|" + kPrefix + "error: include file '" + d +
                "broken.xml' is empty|" + kPrefix + "missing filename in <include>|" + kPrefix +
                "include file '" + d + "nested.xml' has <include> as its document element");
}

TEST(XmlPreprocessorTest, SelfIncludesStopAtTheBounds) {
  TempDir dir;
  const std::string once = dir.write("once.xml", "<a><include filename=\"once.xml\"/></a>");
  XMLPP2 document;
  ASSERT_TRUE(document.load(once, "", false));
  std::string expected = "include[filename=once.xml]";
  for (int level = 0; level < 33; ++level) expected = "a(" + expected + ")";
  EXPECT_EQ(dumpTree(document.root()), expected);
  EXPECT_EQ(joined(document.reports()),
            kPrefix + "include files nested deeper than 32 levels at include file " + dir.path() +
                "/once.xml");

  // Two includes of itself per level would double at every level.
  const std::string twice = dir.write(
      "twice.xml", "<a><include filename=\"twice.xml\"/><include filename=\"twice.xml\"/></a>");
  XMLPP2 fanOut;
  ASSERT_TRUE(fanOut.load(twice, "", false));
  const std::vector<std::string>& reports = fanOut.reports();
  ASSERT_FALSE(reports.empty());
  EXPECT_NE(std::find(reports.begin(), reports.end(),
                      kPrefix + "more than 1024 include files loaded; include file " + twice +
                          " skipped"),
            reports.end());
}

TEST(XmlPreprocessorTest, LoopsAreBounded) {
  runCases({
      {"<r><for index=\"i\" start=\"0\" end=\"0xFFFFFFFF\" incr=\"1\"><a/></for><z/></r>", "",
       false, "r(z)", kPrefix + "<for index=\"i\"> runs more than 65536 iterations"},
      {"<r><for index=\"i\" start=\"0\" end=\"2\" incr=\"0\"><a/></for><z/></r>", "", false, "r(z)",
       kPrefix + "<for index=\"i\"> with incr=\"0\" never ends"},
  });
  std::string values;
  for (int i = 0; i < 300; ++i) values += std::to_string(i) + ",";
  const Outcome combinations =
      preprocess("<r><foreach A=\"" + values + "\" B=\"" + values + "\"><a/></foreach><z/></r>");
  EXPECT_EQ(combinations.tree, "r(z)");
  EXPECT_EQ(combinations.reports, kPrefix + "<foreach> makes more than 65536 combinations");

  // Nested loops multiply; the produced-bytes budget stops them.
  XMLPP2::Limits small;
  small.maxProducedBytes = 64 * 1024;
  const Outcome nested = preprocess(
      "<r><for index=\"i\" start=\"0\" end=\"60000\" incr=\"1\">"
      "<for index=\"j\" start=\"0\" end=\"60000\" incr=\"1\"><a/></for></for></r>",
      "", false, small);
  EXPECT_EQ(nested.reports, kPrefix +
                                "more than 65536 bytes produced by includes, copies and macro "
                                "expansions; the rest is left unprocessed");
}

TEST(XmlPreprocessorTest, PutsAndExpansionsAreBounded) {
  const Outcome self = preprocess(
      "<r><xmldef name=\"D\"><d><xmlput name=\"D\"/></d></xmldef><xmlput name=\"D\"/></r>");
  std::string expected = "xmlput[name=D]";
  for (int level = 0; level < 32; ++level) expected = "d(" + expected + ")";
  EXPECT_EQ(self.tree, "r(" + expected + ")");
  EXPECT_EQ(self.reports, kPrefix + "xmlput nested deeper than 32 levels for xmldef named D");

  XMLPP2::Limits small;
  small.maxProducedBytes = 1 << 20;
  const Outcome fanOut = preprocess(
      "<r><xmldef name=\"D\"><d><xmlput name=\"D\"/><xmlput name=\"D\"/></d></xmldef>"
      "<xmlput name=\"D\"/></r>",
      "", false, small);
  EXPECT_NE(fanOut.reports.find("more than 1048576 bytes produced"), std::string::npos);

  std::string doubling = "<r><define name=\"A\" value=\"xxxxxxxx\"/>";
  for (int i = 0; i < 40; ++i) doubling += "<define name=\"A\" value=\"$(A)$(A)\"/>";
  const Outcome expansions = preprocess(doubling + "<x v=\"$(A)\"/></r>", "", true, small);
  EXPECT_NE(expansions.reports.find("more than 1048576 bytes produced"), std::string::npos);

  std::string deep = "<ifdef name=\"X\"><a/></ifdef>";
  for (int level = 0; level < 300; ++level) deep = "<e>" + deep + "</e>";
  const Outcome nesting = preprocess(deep);
  EXPECT_NE(nesting.tree.find("ifdef[name=X]"), std::string::npos);
  EXPECT_NE(nesting.reports.find("elements nested deeper than 256 levels are left unprocessed"),
            std::string::npos);
}

class TaggedPreprocessor : public XMLPP2 {
 public:
  std::unique_ptr<XMLElement> createElement(std::string name) override {
    return std::make_unique<TaggedElement>(std::move(name));
  }
};

TEST(XmlPreprocessorTest, CopiesAndIncludesUseTheDocumentFactory) {
  TempDir dir;
  dir.write("a.xml", "<a><b/></a>");
  const std::string main =
      dir.write("main.xml",
                "<r><include filename=\"a.xml\"/><for index=\"i\" start=\"0\" end=\"2\" "
                "incr=\"1\"><c><d/></c>"
                "</for><xmldef name=\"D\"><e><f/></e></xmldef><xmlput name=\"D\"/></r>");
  TaggedPreprocessor document;
  ASSERT_TRUE(document.load(main, "", false));
  EXPECT_EQ(dumpTree(document.root()), "r(a(b) c(d) c(d) e(f))");
  EXPECT_TRUE(allTagged(document.root()));
}

TEST(XmlPreprocessorTest, SilentDocumentsIgnoreReportsAndLoadFailuresReturnFalse) {
  TempDir dir;
  const std::string main = dir.write("main.xml", "<r><if/><define/><include/></r>");
  myXMLPP mine;
  ASSERT_TRUE(mine.load(main, "", false));
  EXPECT_EQ(dumpTree(mine.root()), "r(if include)");
  EXPECT_TRUE(mine.reports().empty());
  ProjectSystemXMLPP2 projectSystem;
  ASSERT_TRUE(projectSystem.load(main, "", false));
  EXPECT_TRUE(projectSystem.reports().empty());

  XMLPP2 document;
  EXPECT_FALSE(document.load(dir.path() + "/missing.xml", "", false));
  EXPECT_EQ(document.errorText(), "couldn't read " + dir.path() + "/missing.xml");
  const std::string broken = dir.write("broken.xml", "<a>\n</b>");
  EXPECT_FALSE(document.load(broken, "", false));
  EXPECT_EQ(document.errorText(), "tagName mismatch");
  EXPECT_EQ(document.errorLine(), 1u);
}

}  // namespace
}  // namespace tidewater
