#include "xml_preprocessor/xml_preprocessor.h"

#include <gtest/gtest.h>

#include "macro/macro_table.h"
#include "support/temp_dir.h"
#include "unit/xml/xml_tree_dump.h"

namespace tidewater {
namespace {

using test::dumpTree;
using Files = std::vector<std::pair<std::string, std::string>>;

/// Include file names see these system macros, and never the document's own.
const MacroTable kMacros = [] {
  MacroTable table;
  table.registerSystemMacro("PPTestSystemOnly", "1", "");
  table.registerSystemMacro("PPTestIncludeDir", "inc", "");
  return table;
}();

const std::string kPrefix = "XmlPP::processConditionals(): ";

struct Outcome {
  std::string tree;
  std::string reports;  // joined with "|", each without kPrefix, the directory shown as "@"
  std::string doctype;
};

/// Preprocesses "text" as main.xml of a fresh directory that also holds "files", into "into" if given.
Outcome preprocess(const std::string& text, const char* macros = "", bool expand = false, const Files& files = {},
                   const XMLPP2::Limits& limits = {}, XMLPP2* into = nullptr) {
  test::TempDir dir;
  for (const auto& file : files) dir.write(file.first, file.second);
  XMLPP2 own(kMacros);
  XMLPP2& document = into ? *into : own;
  document.setLimits(limits);
  EXPECT_TRUE(document.load(dir.write("main.xml", text), macros, expand)) << text;
  Outcome outcome{dumpTree(document.root()), "", document.doctype().value_or("")};
  for (std::string report : document.reports()) {
    EXPECT_TRUE(report.starts_with(kPrefix)) << report;
    report.erase(0, kPrefix.size());
    for (size_t at; (at = report.find(dir.path())) != std::string::npos;) report.replace(at, dir.path().size(), "@");
    outcome.reports += (outcome.reports.empty() ? "" : "|") + report;
  }
  return outcome;
}

struct Case {
  std::string input;
  const char* tree;
  const char* macros = "";
  bool expand = false;
  std::string reports = "";
  Files files = {};
};

void run(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    const Outcome outcome = preprocess(c.input, c.macros, c.expand, c.files);
    EXPECT_EQ(outcome.tree + " | " + outcome.reports, c.tree + (" | " + c.reports)) << c.input << " with " << c.macros;
  }
}

TEST(XmlPreprocessorTest, ConditionalsKeepOrDropTheirContent) {
  const char* switchText = R"x(<r><switch name="V"><case value="a,b"><x/></case><case value="b"><y/></case>)x"
                           R"x(<default><d1/></default><default><d2/></default></switch></r>)x";
  run({
      {R"x(<r><if CPU="m3,m4"><a/><b/></if><if CPU="M4,m0"><c/></if><ifnot CPU="m4"><d/></ifnot>)x"
       R"x(<ifnot CPU="m0"><e/></ifnot><f/></r>)x",
       "r(a b e f)", "CPU=m4"},
      // The failed lookup defines CPU, empty, in this scope; empty items never match.
      {R"x(<r><if CPU=",,"><a/></if><ifdef name="CPU"><b/></ifdef></r>)x", "r(b)"},
      {R"x(<r><if A="1"><if B="2"><a/></if><b/></if></r>)x", "r(a b)", "A=1;B=2"},
      {R"x(<r><ifdef name="X"><a/></ifdef><ifndef name="X"><b/></ifndef></r>)x", "r(a)", "X="},
      {R"x(<r><ifdef name="X"><a/></ifdef><ifndef name="X"><b/></ifndef></r>)x", "r(b)"},
      // Evaluation failures and non-Boolean results drop the content; no expression at all keeps the element.
      {R"x(<r><define name="N" value="3"/><ifex expression="$(N) > 2"><a/></ifex><ifex expression="$(N) > 5"><b/>)x"
       R"x(</ifex><ifex expression="1/0 == 1"><c/></ifex><ifex expression="5"><d/></ifex><ifex><e/></ifex>)x"
       R"x(<ifex expression=""><f/></ifex></r>)x",
       "r(a ifex(e) ifex[expression=](f))"},
      {switchText, "r(x)", "V=b"}, {switchText, "r(d2)", "V=c"}, {switchText, "r(d2)"},
      {R"x(<r><switch name="V"><case value="a"><x/></case></switch><z/></r>)x", "r(z)", "V=q"},
  });
}

TEST(XmlPreprocessorTest, MacroListsDefinesAndTheExpandFlag) {
  run({
      {R"x(<r a="$(X)" e="$(Y:)"><b c="$(X)$(Y)"/></r>)x", "r[a=1,e=](b[c=1$(Y)])", "X=1", true},
      // A later item wins; escapes, line breaks, empty items and "=" in values.
      {R"x(<r a="$(A)" b="$(B)" c="$(C)"/>)x", "r[a=1;2,b=x=y,c=]", "A=0;A=1\\;2;\n;B=x=y;C", true},
      // Defines hold for the following siblings: only the low 32 bits are kept, a failed evaluation defines nothing,
      // "value" wins over the expressions.
      {R"x(<r><define name="E" expression="2*3+1"/><define name="H" hex_expression="255"/>)x"
       R"x(<define name="L" expression="0x1FFFFFFFF"/><define name="B" expression="$(E)*2"/>)x"
       R"x(<define name="F" expression="1/0"/><define name="V" value="v" expression="1"/>)x"
       R"x(<x e="$(E)" h="$(H)" l="$(L)" b="$(B)" f="$(F)" v="$(V)"/></r>)x",
       "r(x[e=7,h=0xFF,l=4294967295,b=14,f=$(F),v=v])", "", true},
      // A value is taken as written.
      {R"x(<r><define name="A" value="$(B)"/><ifex expression="$(A) == 1"><a/></ifex></r>)x", "r", "B=1"},
      {R"x(<r><o><define name="A" value="1"/><p v="$(A)"><q v="$(A)"/></p></o><s v="$(A)"/></r>)x",
       "r(o(p[v=1](q[v=1])) s[v=$(A)])", "", true},
      // Spliced content is processed with a copy of the macros as well.
      {R"x(<r><ifdef name="X"><define name="A" value="1"/><p v="$(A)"/></ifdef><s v="$(A)"/></r>)x",
       "r(p[v=1] s[v=$(A)])", "X=", true},
      // A redefinition holds from that point of the level on.
      {R"x(<r><a v="$(A)"/><define name="A" value="2"/><b v="$(A)"/></r>)x", "r(a[v=1] b[v=2])", "A=1", true},
  });
}

TEST(XmlPreprocessorTest, LoopsRepeatTheirChildrenWithTheLoopMacros) {
  run({
      {R"x(<r><for index="i" start="0" end="3" incr="1" mul="4" add="0x100">)x"
       R"x(<x n="$(i)" c="$(i_alpha)" h="$(i_hex)" a="$(i_ap)" p="$(i_ap_hex)"/></for></r>)x",
       "r(x[n=0,c=A,h=0x0,a=256,p=0x100] x[n=1,c=B,h=0x1,a=260,p=0x104] x[n=2,c=C,h=0x2,a=264,p=0x108])"},
      {R"x(<r><for index="k" start="0" end="5" incr="2" sub="1"><x a="$(k)" p="$(k_ap)"/></for></r>)x",
       "r(x[a=0,p=4294967295] x[a=2,p=1] x[a=4,p=3])"},
      // "add" and "mul" see the current macros; a failed evaluation counts as 0.
      {R"x(<r><for index="i" start="1" end="2" incr="1" mul="$(M)" add="junk#"><x p="$(i_ap)"/></for></r>)x",
       "r(x[p=3])", "M=3"},
      // The bounds are evaluated as written: an unexpanded reference fails and counts as 0.
      {R"x(<r><for index="i" start="0" end="$(N)" incr="1"><x/></for></r>)x", "r", "N=2"},
      // Copies keep other references, which the expand flag resolves later.
      {R"x(<r><for index="i" start="0" end="2" incr="1"><e n="$(P)$(i)"/></for></r>)x", "r(e[n=$(P)0] e[n=$(P)1])",
       "P=x"},
      {R"x(<r><for index="i" start="0" end="2" incr="1"><e n="$(P)$(i)"/></for></r>)x", "r(e[n=x0] e[n=x1])", "P=x",
       true},
      // The copies are visited like other siblings, so inner loops run too.
      {R"x(<r><for index="i" start="0" end="2" incr="1"><a n="$(i)"/>)x"
       R"x(<for index="j" start="0" end="2" incr="1"><b n="$(i)$(j)"/></for></for></r>)x",
       "r(a[n=0] b[n=00] b[n=01] a[n=1] b[n=10] b[n=11])"},
      // The index wraps at 32 bits.
      {R"x(<r><for index="i" start="5" end="9" incr="0xFFFFFFFE"><a n="$(i)"/></for></r>)x", "r(a[n=5] a[n=3] a[n=1])"},
      {R"x(<r><foreach A="1,2" B="x,y"><e v="$(A)$(B)"/></foreach></r>)x", "r(e[v=1x] e[v=1y] e[v=2x] e[v=2y])"},
      {"<r><foreach A=\"1,\n2,,\"><e v=\"$(A)\"/><f/></foreach></r>", "r(e[v=1] f e[v=2] f)"},
      {R"x(<r><foreach A="" B="x"><e/></foreach><z/></r>)x", "r(z)"},
  });
}

TEST(XmlPreprocessorTest, XmldefStoresFragmentsThatXmlputInserts) {
  run({
      {R"x(<r><xmldef name="D"><a v="$(X)"/><b/></xmldef><xmlput name="D"/><xmlput name="D" macros="X=1"/></r>)x",
       "r(a[v=$(X)] b a[v=1] b)"},
      {R"x(<r><xmldef name="D"><a v="$(X)"/></xmldef><xmlput name="D"/><xmlput name="D" macros="X=1"/></r>)x",
       "r(a[v=2] a[v=1])", "X=2", true},
      // Directives inside the fragment are processed where it is put.
      {R"x(<r><xmldef name="D"><ifdef name="X"><a/></ifdef></xmldef><xmlput name="D"/>)x"
       R"x(<xmlput name="D" macros="X=1"/></r>)x",
       "r(a)"},
      {R"x(<r><xmldef name="D"><a/></xmldef><xmldef name="D"><b/></xmldef><xmlput name="D"/></r>)x", "r(b)"},
      {R"x(<r><xmldef><a/></xmldef><xmlput/></r>)x", "r(xmldef(a) xmlput)"},
  });
}

TEST(XmlPreprocessorTest, IncludesTakeThePlaceOfTheIncludeElement) {
  const Files plain = {{"a.xml", R"x(<a v="$(Y)"><b v="$(Y)"/></a>)x"}};
  run({
      {R"x(<r><include filename="a.xml"/><z/></r>)x", "r(x y z)", "", false, "",
       {{"a.xml", "<envelope><x/><y/></envelope>"}}},
      {R"x(<r><include filename="a.xml" no_root=""/><z/></r>)x", "r(x z)", "", false, "", {{"a.xml", "<q><x/></q>"}}},
      {R"x(<r><include filename="a.xml" inherit_attributes="name;size;absent" name="N" size="4"/></r>)x",
       "r(a[name=N,keep=1,size=4,absent=~])", "", false, "", {{"a.xml", R"x(<a name="old" keep="1"/>)x"}}},
      {R"x(<r><include filename="a.xml" macros="X=1"/></r>)x", "r(a[v=1](b[v=1] c[v=2]))", "Y=2", false, "",
       {{"a.xml", R"x(<a v="$(X)"><b v="$(X)"/><c v="$(Y)"/></a>)x"}}},
      {R"x(<r><include filename="a.xml"/></r>)x", "r(a[v=2](b[v=2]))", "Y=2", true, "", plain},
      {R"x(<r><include filename="a.xml"/></r>)x", "r(a[v=$(Y)](b[v=$(Y)]))", "Y=2", false, "", plain},
      // Defines in the included file stay there.
      {R"x(<r><include filename="a.xml"/><ifdef name="Z"><y/></ifdef></r>)x", "r(x)", "", false, "",
       {{"a.xml", R"x(<envelope><define name="Z" value="1"/><x/></envelope>)x"}}},
      {R"x(<r><include filename="missing.xml"/><include filename="empty.xml"/><include filename="broken.xml"/>)x"
       R"x(<include/><include filename="nested.xml"/></r>)x",
       "r(include[filename=missing.xml] include[filename=empty.xml] include[filename=broken.xml] include "
       "include[filename=nested.xml])",
       "", false,
       "error \"couldn't read @/missing.xml\" in include file @/missing.xml line:0|"
       "error: include file '@/empty.xml' is empty|error: include file '@/broken.xml' is empty|"
       "missing filename in <include>|include file '@/nested.xml' has <include> as its document element",
       {{"empty.xml", "<!-- nothing here -->"}, {"broken.xml", "<a>\n<b></c>"},
        {"nested.xml", R"x(<include filename="empty.xml"/>)x"}}},
      // File names see the system macros alone, everything else sees the preprocessor's macros alone.
      {R"x(<r><include filename="$(PPTestIncludeDir)/a.xml"/><include filename="$(F)"/></r>)x",
       "r(a include[filename=$(F)])", "F=inc/a.xml", false,
       "error \"couldn't read @/$(F)\" in include file @/$(F) line:0", {{"inc/a.xml", "<a/>"}}},
      {R"x(<r a="$(PPTestSystemOnly)"><ifex expression="$(PPTestSystemOnly) == 1"><a/></ifex></r>)x",
       "r[a=$(PPTestSystemOnly)]", "", true},
  });
  // Names are relative to the including file, whose declarations stay; an included definition serves later puts.
  const Outcome outcome =
      preprocess(R"x(<!DOCTYPE Main><r><include filename="sub/a.xml"/><xmlput name="D"/></r>)x", "", false,
                 {{"sub/a.xml", R"x(<a><include filename="b.xml"/><xmldef name="D"><d/></xmldef></a>)x"},
                  {"sub/b.xml", "<!DOCTYPE Other><b/>"}});
  EXPECT_EQ(outcome.tree + "|" + outcome.reports + "|" + outcome.doctype, "r(a(b) d)||Main");
}

TEST(XmlPreprocessorTest, ProblemsAreReportedAndProcessingGoesOn) {
  std::string values;
  for (int i = 0; i < 300; ++i) values += std::to_string(i) + ",";
  const std::string forUsage = R"x(<for index="i" start="0" end="32" incr="1">)x";
  const std::string oneCondition = "one condition required for <if[not]>";
  run({
      {R"x(<r><if><a/></if></r>)x", "r(if(a))", "", false, oneCondition},
      {R"x(<r><ifnot A="1" B="2"><a/></ifnot></r>)x", "r(ifnot[A=1,B=2](a))", "", false, oneCondition},
      {R"x(<r><define value="1"/><a/></r>)x", "r(a)", "", false, "missing name in <define>"},
      {R"x(<r><define name="A"/><a/></r>)x", "r(a)", "", false, "missing value or expression in <define>"},
      {R"x(<r><for start="0" end="2" incr="1"><x/></for><y/></r>)x", "r(y)", "", false, forUsage},
      {R"x(<r><for index="i" start="0" end="2" incr="1"/><y/></r>)x", "r(y)", "", false, forUsage},
      {R"x(<r><for index="i" start="0" end="2" incr="0"><a/></for><z/></r>)x", "r(z)", "", false,
       R"x(<for index="i"> with incr="0" never ends)x"},
      {R"x(<r><for index="i" start="0" end="0xFFFFFFFF" incr="1"><a/></for><z/></r>)x", "r(z)", "", false,
       R"x(<for index="i"> runs more than 65536 iterations)x"},
      {"<r><foreach A=\"" + values + "\" B=\"" + values + "\"><a/></foreach><z/></r>", "r(z)", "", false,
       "<foreach> makes more than 65536 combinations"},
      {R"x(<r><xmlput name="D"/><xmldef name="D"><a/></xmldef></r>)x", "r(xmlput[name=D])", "", false,
       "xmlput cannot fine xmldef named D"},
      {R"x(<if A="1"><a/><ifdef name="A"><b/></ifdef></if>)x", "if[A=1](a)", "", false,
       "<if> as the document element is not supported"},
  });
}

TEST(XmlPreprocessorTest, SelfReferencesProducedBytesAndNestingAreBounded) {
  const Outcome once = preprocess(R"x(<a><include filename="main.xml"/></a>)x");
  std::string expected = "include[filename=main.xml]";
  for (int level = 0; level < 33; ++level) expected = "a(" + expected + ")";
  EXPECT_EQ(once.tree + "|" + once.reports,
            expected + "|include files nested deeper than 32 levels at include file @/main.xml");

  // Two includes of itself per level would double at every level.
  const Outcome twice = preprocess(R"x(<a><include filename="main.xml"/><include filename="main.xml"/></a>)x");
  EXPECT_NE(twice.reports.find("more than 1024 include files loaded; include file @/main.xml skipped"),
            std::string::npos)
      << twice.reports;

  const Outcome put = preprocess(R"x(<r><xmldef name="D"><d><xmlput name="D"/></d></xmldef><xmlput name="D"/></r>)x");
  expected = "xmlput[name=D]";
  for (int level = 0; level < 32; ++level) expected = "d(" + expected + ")";
  EXPECT_EQ(put.tree, "r(" + expected + ")");
  EXPECT_EQ(put.reports, "xmlput nested deeper than 32 levels for xmldef named D");

  XMLPP2::Limits small;
  small.maxProducedBytes = 64 * 1024;
  // Nested loops multiply.
  EXPECT_EQ(preprocess(R"x(<r><for index="i" start="0" end="60000" incr="1">)x"
                       R"x(<for index="j" start="0" end="60000" incr="1"><a/></for></for></r>)x",
                       "", false, {}, small)
                .reports,
            "more than 65536 bytes produced by includes, copies and macro expansions; the rest is left unprocessed");
  std::string doubling = R"x(<r><define name="A" value="xxxxxxxx"/>)x";
  for (int i = 0; i < 40; ++i) doubling += R"x(<define name="A" value="$(A)$(A)"/>)x";
  const std::string fanOut = R"x(<r><xmldef name="D"><d><xmlput name="D"/><xmlput name="D"/></d></xmldef>)x";
  for (const std::string& input : {fanOut + R"x(<xmlput name="D"/></r>)x", doubling + R"x(<x v="$(A)"/></r>)x"})
    EXPECT_NE(preprocess(input, "", true, {}, small).reports.find("more than 65536 bytes produced"), std::string::npos)
        << input;

  std::string deep = R"x(<ifdef name="X"><a/></ifdef>)x";
  for (int level = 0; level < 300; ++level) deep = "<e>" + deep + "</e>";
  const Outcome nesting = preprocess(deep);
  EXPECT_NE(nesting.tree.find("ifdef[name=X]"), std::string::npos);
  EXPECT_NE(nesting.reports.find("elements nested deeper than 256 levels are left unprocessed"), std::string::npos);
}

TEST(XmlPreprocessorTest, CopiesAndIncludesUseTheDocumentFactory) {
  test::Tagged<XMLPP2> document(kMacros);
  preprocess(R"x(<r><include filename="a.xml"/><for index="i" start="0" end="2" incr="1"><c><d/></c></for>)x"
             R"x(<xmldef name="D"><e><f/></e></xmldef><xmlput name="D"/></r>)x",
             "", false, {{"a.xml", "<a><b/></a>"}}, {}, &document);
  EXPECT_EQ(dumpTree(document.root()), "r(a(b) c(d) c(d) e(f))");
  EXPECT_TRUE(test::allTagged(document.root()));
}

TEST(XmlPreprocessorTest, LoadFailuresReturnFalseWithTheErrorTextAndLine) {
  test::TempDir dir;
  XMLPP2 document(kMacros);
  EXPECT_FALSE(document.load(dir.path() + "/missing.xml", "", false));
  EXPECT_EQ(document.errorText(), "couldn't read " + dir.path() + "/missing.xml");
  EXPECT_FALSE(document.load(dir.write("broken.xml", "<a>\n</b>"), "", false));
  EXPECT_EQ(document.errorText() + "|" + std::to_string(document.errorLine()), "tagName mismatch|1");
}

}  // namespace
}  // namespace tidewater
