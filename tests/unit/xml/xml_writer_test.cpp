#include "xml/xml_writer.h"

#include <gtest/gtest.h>

#include "unit/xml/xml_tree_dump.h"
#include "xml/xml_document.h"

namespace tidewater {
namespace {

using test::visibleBytes;

TEST(XmlWriterTest, WritesParsedDocuments) {
  const char* map = "<map><reg name=\"CTRL\" start=\"0x40\"/><one name=\"a-very-long-single-value\"/></map>";
  // At depth 1 with indent 2, <reg name="CTRL" start="0x40"> measures 2 + 3 + 1 + (4 + 4 + 4) + (5 + 4 + 4) = 31.
  const char* wrapped =
      "<map>\n  <reg\n    name=\"CTRL\"\n    start=\"0x40\" />\n  <one name=\"a-very-long-single-value\" />\n</map>\n";
  const char* flat =
      "<map>\n  <reg name=\"CTRL\" start=\"0x40\" />\n  <one name=\"a-very-long-single-value\" />\n</map>\n";
  const struct { const char* input; bool keepText; uint32_t indent; uint32_t lineWidth; const char* text; } cases[] = {
      {"<a x=\"1\"/>", false, 2, 0, "<a x=\"1\" />\n"}, {"<a/>", false, 2, 0, "<a/>\n"}, {"<a/>", false, 0, 0, "<a/>"},
      {"<a x=\"1\"><b/><c y=\"2\"><d/></c></a>", false, 2, 0,
       "<a x=\"1\">\n  <b/>\n  <c y=\"2\">\n    <d/>\n  </c>\n</a>\n"},
      {"<a x=\"1\">\n  <b/>\n  <c y=\"2\">\n    <d/>\n  </c>\n</a>\n", false, 0, 0,
       "<a x=\"1\"><b/><c y=\"2\"><d/></c></a>"},
      {"<a><b/><![CDATA[ <x> ]]><c/></a>", false, 2, 0, "<a>\n  <b/>\n  <![CDATA[ <x> ]]>  <c/>\n</a>\n"},
      // The first text child is all that is written of an element.
      {"<a>text<!--c--><b/></a>", true, 2, 0, "<a>text</a>\n"}, {"<a>\n  <b>x</b>\n</a>", true, 0, 0, "<a>&#xa;  </a>"},
      {"<a><b/></a>", true, 0, 0, "<a></a>"},
      {"<?xml version=\"1.0\" encoding=\"UTF-8\"?><!DOCTYPE Map><a/>", false, 2, 0,
       "<?xml  version=\"1.0\" encoding=\"UTF-8\" ?>\n<!DOCTYPE Map>\n<a/>\n"},
      {"<?xml encoding=\"x\"?><a/>", false, 0, 0, "<?xml  encoding=\"x\" ?>\n<a/>"},
      {"<!DOCTYPE Map>", false, 0, 0, "<!DOCTYPE Map>\n"},
      // Values: markup characters as entities, non-printable bytes as hex.
      {"<a v=\"&quot;&amp;&lt;&gt;'&#10;&#9;&#xC3;&#;&#127;~\"/>", false, 0, 0,
       "<a v=\"&quot;&amp;&lt;&gt;'&#xa;&#x9;&#xc3;&#x0;&#x7f;~\" />"},
      {"<a>&#xc3;&#xa9; <![CDATA[&#]]></a>", true, 0, 0, "<a>&#xc3;&#xa9; </a>"},
      // Attributes wrap when the element's line exceeds lineWidth (0: never).
      {map, false, 2, 30, wrapped}, {map, false, 2, 31, flat}, {map, false, 2, 0, flat}, {map, false, 2, 10, wrapped},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(visibleBytes(c.input) + " width " + std::to_string(c.lineWidth));
    XMLDocument first(c.keepText);
    ASSERT_TRUE(first.parse(c.input));
    EXPECT_EQ(first.writeToString(c.indent, c.lineWidth), c.text);
  }
}

TEST(XmlWriterTest, WritesTreesBuiltInCode) {
  XMLDocument document;
  auto root = document.createElement("e");
  root->setAttribute("a", std::string("1"));
  root->setAttribute("flag", std::nullopt);
  root->setAttribute("b", std::string("2"));
  document.setRoot(std::move(root));
  // Written empty without a value; (1 + 1) + (1 + 1 + 4) + (4 + 4) + (1 + 1 + 4) = 22: wrapped at 21, "flag" inline.
  EXPECT_EQ(document.writeToString(0, 0), "<e a=\"1\" flag=\"\" b=\"2\" />");
  EXPECT_EQ(document.writeToString(0, 21), "<e\na=\"1\" flag=\"\"\nb=\"2\" />");
  EXPECT_EQ(document.writeToString(0, 22), "<e a=\"1\" flag=\"\" b=\"2\" />");

  root = document.createElement("a");
  root->appendChild(document.createElement("b"));
  root->appendChild(std::make_unique<XMLData>("x<"));
  root->appendChild(std::make_unique<XMLComment>("c&"));
  root->appendChild(std::make_unique<XMLCDATASection>("d<"));
  document.setRoot(std::move(root));
  EXPECT_EQ(document.writeToString(2, 0), "<a>\n  <b/>\n  x&lt;  <!--c&-->  <![CDATA[d<]]></a>\n");
  EXPECT_EQ(document.writeToString(0, 0), "<a><b/>x&lt;<!--c&--><![CDATA[d<]]></a>");
  EXPECT_EQ(document.indent(), 0u);
}

TEST(XmlWriterTest, WritesToAStreamInChunks) {
  std::string input = "<list>";  // large enough to pass through the buffer several times
  for (int i = 0; i < 20000; ++i) input += "<item n=\"" + std::to_string(i) + "\"/>";
  XMLDocument document;
  ASSERT_TRUE(document.parse(input + "</list>"));
  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  EXPECT_TRUE(document.write(file, 1, 80));
  std::string content(static_cast<size_t>(std::ftell(file)), '\0');
  std::rewind(file);
  EXPECT_EQ(std::fread(content.data(), 1, content.size(), file), content.size());
  std::fclose(file);
  EXPECT_EQ(content, document.writeToString(1, 80));
  EXPECT_EQ(content.substr(0, 28), "<list>\n <item n=\"0\" />\n <ite");
}

TEST(XmlWriterTest, WritesComputedAttributesInPlaceOrAfterTheStoredOnes) {
  // Every element but "skip" gets "at" (its name's length) and "mark" ("<&").
  static constexpr std::string_view kNames[] = {"at", "mark"};
  const auto compute = [](const XMLElement& element, std::span<std::string> values) {
    if (element.name() == "skip") return false;
    values[0] = std::to_string(element.name().size());
    values[1] = "<&";
    return true;
  };
  const struct { const char* input; uint32_t lineWidth; const char* text; } cases[] = {
      {"<a/>", 0, "<a at=\"1\" mark=\"&lt;&amp;\" />\n"},
      {"<skip/>", 0, "<skip/>\n"},
      {"<skip x=\"1\"><b/></skip>", 0, "<skip x=\"1\">\n  <b at=\"1\" mark=\"&lt;&amp;\" />\n</skip>\n"},
      // A stored one keeps its place and takes the computed value.
      {"<abc mark=\"old\" x=\"1\"/>", 0, "<abc mark=\"&lt;&amp;\" x=\"1\" at=\"3\" />\n"},
      {"<abc x=\"1\" at=\"9\" mark=\"\" />", 0, "<abc x=\"1\" at=\"3\" mark=\"&lt;&amp;\" />\n"},
      // Computed attributes count for wrapping: 3 + (2 + 1 + 4) + (4 + 2 + 4) = 20.
      {"<ab/>", 20, "<ab at=\"2\" mark=\"&lt;&amp;\" />\n"},
      {"<ab/>", 19, "<ab\n  at=\"2\"\n  mark=\"&lt;&amp;\" />\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.input) + " width " + std::to_string(c.lineWidth));
    XMLDocument document;
    ASSERT_TRUE(document.parse(c.input));
    XMLWriter writer(2, c.lineWidth);
    writer.setComputedAttributes({kNames, compute});
    writer.writeDocument(document);
    EXPECT_EQ(writer.text(), c.text);
    // Nothing was stored: the document alone still writes as it was read.
    EXPECT_EQ(document.writeToString(0, 0).find("<&"), std::string::npos);
  }
}

TEST(XmlWriterTest, EscapesEachByteAtEveryPositionOfLongTexts) {
  // Verbatim runs are found many bytes at a step: put each kind of byte at
  // every position of texts of every length up to past two steps.
  const struct {
    char byte;
    const char* written;
  } bytes[] = {{'"', "&quot;"}, {'&', "&amp;"},    {'<', "&lt;"},     {'>', "&gt;"},      {'\n', "&#xa;"},
               {'\x1F', "&#x1f;"}, {'\x7F', "&#x7f;"}, {'\x80', "&#x80;"}, {'\xFF', "&#xff;"}, {' ', " "},
               {'~', "~"}};
  for (const auto& b : bytes) {
    for (size_t length = 1; length <= 40; ++length) {
      for (size_t at = 0; at < length; ++at) {
        std::string text(length, 'a');
        text[at] = b.byte;
        std::string written;
        XMLWriter::appendEscaped(written, text);
        EXPECT_EQ(written, std::string(at, 'a') + b.written + std::string(length - at - 1, 'a'))
            << visibleBytes(text);
      }
    }
  }
}

TEST(XmlWriterTest, UnicodeOutputIsWellFormedASCIIWhateverTheBytes) {
  const std::pair<std::string, std::string> texts[] = {
      {"caf\xC3\xA9 \xE2\x80\x99 \xF0\x9F\x99\x81", "caf&#xe9; &#x2019; &#x1f641;"},
      // Bytes that are no UTF-8 are Latin-1; forbidden characters become U+FFFD.
      {"\xE9t\xE9 \xC3", "&#xe9;t&#xe9; &#xc3;"}, {"\xED\xA0\x80", "&#xed;&#xa0;&#x80;"},
      {"\xC0\xAF", "&#xc0;&#xaf;"}, {std::string("\x01\x19\0", 3), "&#xfffd;&#xfffd;&#xfffd;"},
      {"\xEF\xBF\xBE", "&#xfffd;"}, {"\t\n\r\x7F<\"&", "&#x9;&#xa;&#xd;&#x7f;&lt;&quot;&amp;"},
  };
  for (const auto& [text, expected] : texts) {
    std::string written;
    XMLWriter::appendEscaped(written, text, XMLWriter::Characters::Unicode);
    EXPECT_EQ(written, expected) << visibleBytes(text);
  }

  // Names, declaration, comments and CDATA of a tree the lenient parser took.
  XMLDocument document(true);
  document.setKeepBlankText(false);
  ASSERT_TRUE(document.parse("<?xml version=\"x\" encoding=\"bogus\"?><!DOCTYPE 1D><1a b:c=\"\x01\">"
                             "<b/><!-- x -- \x02 --><![CDATA[\x03<]]></1a>"));
  XMLWriter writer(1, 0, nullptr, XMLWriter::Characters::Unicode);
  writer.writeDocument(document);
  EXPECT_EQ(writer.text(), "<?xml  version=\"1.0\" ?>\n<!DOCTYPE _1D>\n<_1a b_c=\"&#xfffd;\">\n <b/>\n"
                           " <!-- x ?- ? --> &#xfffd;&lt;</_1a>\n");
}

}  // namespace
}  // namespace tidewater
