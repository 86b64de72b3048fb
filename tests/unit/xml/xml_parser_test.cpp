#include "xml/xml_parser.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "unit/xml/xml_tree_dump.h"
#include "xml/xml_document.h"

namespace tidewater {
namespace {

using test::dumpTree;
using test::visibleBytes;

TEST(XmlParserTest, BuildsTheTreeByTheParsingRules) {
  const struct { const char* input; bool keepText; const char* tree; } cases[] = {
      {"<a x=\"1\"/>", false, "a[x=1]"}, {"<a>text<!--c--><b/></a>", false, "a(b)"},
      // Every run between two tags is a data node, even an empty one.
      {"<a>text<!--c--><b/></a>", true, "a(\"text\" <!c> \"\" b \"\")"},
      {"<a><b></b></a>", true, "a(\"\" b(\"\") \"\")"},
      // The closing name is compared over its own length only.
      {"<abc></a>", false, "abc"}, {"<abc></>", false, "abc"},
      // Attributes without a double-quoted value are dropped.
      {"<a x y=\"1\" z=w q=\"2\"/>", false, "a[y=1,q=2]"}, {"<a x=\"1\" y=\"2\" x=\"3\"/>", false, "a[x=3,y=2]"},
      {"<a x=\"<b>\n\"   />", false, "a[x=<b>\\x0A]"}, {"<a\n\tx = \"1\"\r\ny=\"\"/>", false, "a[x=1,y=]"},
      // A later top-level element replaces an earlier one; elements left open are dropped, yet the parse succeeds.
      {"<a/><b/>", false, "b"}, {"<a><b/>", false, "null"}, {"<r><a><b/>", false, "null"},
      {"<a x=\"abc", false, "null"},
      // Bytes other than "<" before the first tag end the document.
      {"junk<a/>", false, "null"}, {" \n\t<a/>", false, "a"}, {"", false, "null"},
      // Processing instructions and unknown markup are skipped to the next "<"; the skipped bytes are character data.
      {"<?pi stuff?><a/>", false, "a"}, {"<a><?pi x?>y</a>", true, "a(\"\" \"x?>y\")"},
      {"<a><!FOO bar>x</a>", true, "a(\"\" \"bar>x\")"}, {"<a>< b>x</a>", true, "a(\"\" \" b>x\")"},
      {"<a><!-- x <b/></a>", true, "a(\"\" \" x \" b \"\")"}, {"<a><!--x--y--></a>", true, "a(\"\" <!x--y> \"\")"},
      {"<!--top--><a/><!--after-->", true, "a"},
      // CDATA sections are kept whatever keepText says, and only in elements.
      {"<a><![CDATA[<raw> &amp;]]></a>", false, "a(<[<raw> &amp;]>)"}, {"<a><![CDATA[x]]]></a>", false, "a(<[x]]>)"},
      {"<a><![CDATA[unterminated</a>", false, "a"}, {"<![CDATA[x]]><a/>", false, "a"},
      // Carriage returns leave data, not attribute values; a reference keeps one. Any name byte may begin a name.
      {"<a v=\"1\r2\">x\r\ny&#13;</a>", true, "a[v=1\\x0D2](\"x\\x0Ay\\x0D\")"}, {"<1-:_/>", false, "1-:_"},
  };
  for (const auto& c : cases) {
    XMLDocument document(c.keepText);
    EXPECT_TRUE(document.parse(c.input)) << visibleBytes(c.input) << ": " << document.errorText();
    EXPECT_EQ(dumpTree(document.root()), c.tree) << visibleBytes(c.input) << " keepText " << c.keepText;
  }
}

TEST(XmlParserTest, ReadsTheXmlDeclarationAndDoctype) {
  // Version|encoding|doctype, "-" when not set.
  const std::pair<const char*, const char*> cases[] = {
      {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE Board_Memory>\n<a/>", "1.0|UTF-8|Board_Memory"},
      {"<?xml  other=\"x\" version = \"2\" encoding=\"&amp;\" ?><a/>", "2|&amp;|-"},
      {"<?xml version='1.0'?><a/>", "-|-|-"}, {"<?xml-stylesheet version=\"1\"?><a/>", "-|-|-"},
      {"<a><?xml encoding=\"late\"?></a>", "-|late|-"}, {"<!DOCTYPE x [ <!ENTITY e \"v\"> ]><a/>", "-|-|-"},
      {"<!DOCTYPE\n  spaced \n><a/>", "-|-|spaced"}, {"<!DOCTYPE><a/>", "-|-|-"},
  };
  for (const auto& [input, declarations] : cases) {
    XMLDocument document;
    ASSERT_TRUE(document.parse(input)) << input;
    EXPECT_EQ(document.version().value_or("-") + "|" + document.encoding().value_or("-") + "|" +
                  document.doctype().value_or("-") + "|" + dumpTree(document.root()),
              declarations + std::string("|a"))
        << input;
  }
}

TEST(XmlParserTest, DecodesCharacterReferencesInValuesAndData) {
  const std::pair<const char*, std::string> cases[] = {
      {"&lt;&gt;&amp;&apos;&quot;", "<>&'\""}, {"&#65;&#x41;&#x4a;&#x4A;", "AAJJ"}, {"&#;", std::string(1, '\0')},
      {"&#x;", std::string(1, '\0')}, {"x&#xc3;y", "x\xC3y"},
      // Only the low 8 bits of a value are kept.
      {"&#321;&#x1F641;", "AA"}, {"&foo;", "&foo;"}, {"a&", "a&"}, {"&amp", "&amp"}, {"&lt", "&lt"},
      {"&#12a;", "&#12a;"}, {"&#x", "&#x"}, {"&#X41;", "&#X41;"}, {"&&amp;", "&&"}, {"&amp;lt;", "&lt;"},
  };
  for (const auto& [text, expected] : cases) {
    XMLDocument document(true);
    const std::string input = std::string("<a v=\"") + text + "\">" + text + "</a>";
    ASSERT_TRUE(document.parse(input)) << input;
    const std::string shown = visibleBytes(expected);
    EXPECT_EQ(dumpTree(document.root()), "a[v=" + shown + "](\"" + shown + "\")") << input;
  }
}

TEST(XmlParserTest, ReadsReferencesAsCharactersInUTF8WhenAsked) {
  const std::pair<const char*, std::string> cases[] = {
      {"it&#8217;s", "it\xE2\x80\x99s"}, {"&#402;&#xe9;&#65;", "\xC6\x92\xC3\xA9" "A"}, {"&#x1F641;", "\xF0\x9F\x99\x81"},
      {"&lt;&amp;", "<&"}, {"&#9;&#xa;", "\t\n"},
      // What XML forbids stands as U+FFFD, never as a control byte.
      {"&#x19;", "\xEF\xBF\xBD"}, {"&#;", "\xEF\xBF\xBD"}, {"&#xD800;", "\xEF\xBF\xBD"},
      {"&#xFFFE;", "\xEF\xBF\xBD"}, {"&#1114112;", "\xEF\xBF\xBD"}, {"&#99999999999999999999;", "\xEF\xBF\xBD"},
      {"&#12a;", "&#12a;"}, {"raw \xE9", "raw \xE9"},
  };
  for (const auto& [text, expected] : cases) {
    XMLDocument document(true);
    document.setReferenceReading(ReferenceReading::UTF8);
    const std::string input = std::string("<a v=\"") + text + "\">" + text + "</a>";
    ASSERT_TRUE(document.parse(input)) << input;
    const std::string shown = visibleBytes(expected);
    EXPECT_EQ(dumpTree(document.root()), "a[v=" + shown + "](\"" + shown + "\")") << input;
  }
}

TEST(XmlParserTest, FailuresReportTextAndLineAndDiscardTheTree) {
  const struct { const char* input; const char* error; uint32_t line; } cases[] = {
      {"<a x='1'>", "bad tagName", 0}, {"<a>\n<b/>\n</c>", "tagName mismatch", 2}, {"</a>", "tagName mismatch", 0},
      {"<a></ab>", "tagName mismatch", 0}, {"<a/>\n</a>", "tagName mismatch", 1},
      {"<a\n  x=\"1\n2\"\n  #>", "bad tagName", 3}, {"<r><a 1=\"2\"/></r>", "bad tagName", 0},
  };
  for (const auto& c : cases) {
    XMLDocument document;
    ASSERT_TRUE(document.parse("<old/>"));
    EXPECT_FALSE(document.parse(c.input)) << visibleBytes(c.input);
    EXPECT_EQ(document.errorText(), c.error) << visibleBytes(c.input);
    EXPECT_EQ(document.errorLine(), c.line) << visibleBytes(c.input);
    EXPECT_EQ(document.root(), nullptr) << visibleBytes(c.input);
  }
}

TEST(XmlParserTest, RecordsTheLineWhereEachNodeStarts) {
  XMLDocument document(true);
  ASSERT_TRUE(document.parse("\n<a>\n<b/>\n<!--c\n-->\n<![CDATA[\n]]><c\n/>\n</a>"));
  ASSERT_NE(document.root(), nullptr);
  std::string lines = std::to_string(document.root()->line()) + ":";
  for (const XMLNode* node = document.root()->firstChild(); node; node = node->nextSibling())
    lines += " " + std::to_string(node->line());
  // a: data, b, data, comment, data, CDATA, data (empty), c, data
  EXPECT_EQ(lines, "1: 1 2 2 3 4 5 6 6 7");
}

TEST(XmlParserTest, RunsOfEveryLengthKeepTheirBytesAndLines) {
  // Runs are scanned many bytes at a step: put each special at every position of runs of every length up to past
  // two steps; it becomes "inData" in character data, "inValue" in an attribute value (null: cannot stand there).
  const struct { const char* raw; const char* inData; const char* inValue; } specials[] = {
      {"", "", ""}, {"\n", "\n", "\n"}, {"&amp;", "&", "&"}, {"\r", "", "\r"}, {"&bad", "&bad", "&bad"},
      {"&#x41;\r\n", "A\n", "A\r\n"}, {"\"", "\"", nullptr}, {">", ">", ">"},
  };
  const auto newlines = [](const std::string& text) { return std::count(text.begin(), text.end(), '\n'); };
  for (const auto& special : specials) {
    for (size_t length = 0; length <= 40; ++length) {
      for (size_t at = 0; at <= length; ++at) {
        std::string before;
        std::string after;
        for (size_t i = 0; i < length; ++i) (i < at ? before : after) += static_cast<char>(i % 3 ? 'a' + i % 26 : ' ');
        const std::string raw = before + special.raw + after;
        const std::string value = special.inValue ? raw : before + after;
        const std::string input = "<r v=\"" + value + "\">" + raw + "<e/></r>";
        XMLDocument document(true);
        ASSERT_TRUE(document.parse(input)) << visibleBytes(input);
        const std::string inValue = before + (special.inValue ? special.inValue : "") + after;
        const std::string inData = before + special.inData + after;
        EXPECT_EQ(dumpTree(document.root()),
                  "r[v=" + visibleBytes(inValue) + "](\"" + visibleBytes(inData) + "\" e \"\")")
            << visibleBytes(input);
        ASSERT_NE(document.root()->firstChildElement(), nullptr);
        EXPECT_EQ(document.root()->firstChildElement()->line(), static_cast<uint32_t>(newlines(value) + newlines(raw)))
            << visibleBytes(input);
      }
    }
  }
}

TEST(XmlParserTest, WithoutBlankTextOnlyRunsOfWhiteSpaceAreDropped) {
  // Runs of every length up to past two sixteen-byte steps, of white space
  // alone or with one other byte at each position; the bytes just outside
  // the white-space range and a non-ASCII byte are not white space.
  const std::string blanks = " \t\n\v\f\r";
  for (const char other : {'x', '\x08', '\x0E', '\xA0'}) {
    for (size_t length = 0; length <= 40; ++length) {
      for (size_t at = 0; at <= length; ++at) {
        std::string run;
        for (size_t i = 0; i < length; ++i) run += blanks[i % blanks.size()];
        if (at < length) run[at] = other;
        const std::string input = "<r><a/>" + run + "<b/>" + run + "</r>";
        XMLDocument document(true);
        document.setKeepBlankText(false);
        ASSERT_TRUE(document.parse(input)) << visibleBytes(input);
        std::string kept = run;
        std::erase(kept, '\r');
        const std::string data = at < length ? " \"" + visibleBytes(kept) + "\"" : "";
        EXPECT_EQ(dumpTree(document.root()), "r(a" + data + " b" + data + ")") << visibleBytes(input);
      }
    }
  }
}

}  // namespace
}  // namespace tidewater
