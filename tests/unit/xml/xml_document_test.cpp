#include "xml/xml_document.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include "support/environment.h"
#include "support/temp_dir.h"
#include "unit/xml/xml_tree_dump.h"
#include "xml/qxml_document.h"
#include "xml/xml_tree_text.h"

namespace tidewater {
namespace {

using test::dumpTree;
using test::TempDir;

TEST(XmlDocumentTest, LoadSkipsAByteOrderMarkAndLoadAndSaveReportFilesThatCannotBeUsed) {
  TempDir dir;
  QXMLDocument document;
  for (const std::string& path : {dir.path() + "/missing.xml", dir.path()}) {
    EXPECT_FALSE(document.load(path)) << path;
    EXPECT_EQ(document.errorText() + "|" + std::to_string(document.errorLine()), "couldn't read " + path + "|0");
  }
  EXPECT_FALSE(document.load(dir.path() + "/" + std::string(2000, 'x')));
  EXPECT_EQ(document.errorText().size(), 1023u);  // the text is cut
  ASSERT_TRUE(document.parse("<?xml version=\"1.0\"?><a x=\"1\"><b/></a>"));
  const std::string path = dir.path() + "/out.xml";
  ASSERT_TRUE(document.save(path, 2, 0));
  EXPECT_EQ(test::readFile(path), "<?xml  version=\"1.0\" ?>\n<a x=\"1\">\n  <b/>\n</a>\n");
  const std::string bad = dir.path() + "/no/such/dir/out.xml";
  EXPECT_FALSE(document.save(bad, 2, 0));
  EXPECT_EQ(document.errorText(), "couldn't write " + bad);
  // The mark takes no line; only a whole mark is skipped: a partial one ends the document.
  EXPECT_FALSE(
      document.load(dir.write("bad.xml", "\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<!DOCTYPE D>\n<a x=\"1\">\n</b>")));
  EXPECT_EQ(document.errorText() + "|" + std::to_string(document.errorLine()), "tagName mismatch|3");
  ASSERT_TRUE(document.load(dir.write("half.xml", "\xEF\xBB<<a/>")));
  EXPECT_EQ(document.root(), nullptr);
  ASSERT_TRUE(document.load(dir.write("good.xml", "\xEF\xBB\xBF<?xml version=\"1.0\"?><!DOCTYPE D><a/>")));
  EXPECT_EQ(document.version().value_or("") + document.doctype().value_or("") + dumpTree(document.root()), "1.0Da");
}

TEST(XmlDocumentTest, AnInputLimitRefusesDevicesAndLargeFiles) {
  TempDir dir;
  QXMLDocument document;
  const std::string small = dir.write("small.xml", "<a/>");
  const std::string large = dir.write("large.xml", "<a>" + std::string(100, ' ') + "</a>");
  document.setInputLimit(50);
  const std::pair<std::string, std::string> refused[] = {
      {"/dev/zero", "/dev/zero is not a regular file"}, {dir.path(), "couldn't read " + dir.path()},
      {large, large + " is too large: 107 bytes, at most 50"},
  };
  for (const auto& [path, message] : refused) {
    EXPECT_FALSE(document.load(path)) << path;
    EXPECT_EQ(document.errorText(), message);
  }
  EXPECT_TRUE(document.load(small));
  document.setInputLimit(std::nullopt);
  EXPECT_TRUE(document.load(large));
}

TEST(XmlDocumentTest, ReadsWholeStreamsFromFilesAndPipes) {
  std::string text = "\xEF\xBB\xBF<r>";  // longer than one read buffer
  for (int i = 0; i < 20000; ++i) text += "<e i=\"" + std::to_string(i) + "\">x</e>\n";
  text += "</r>";
  XMLDocument reference;
  ASSERT_TRUE(reference.parse(text.substr(3)));
  const std::string whole = reference.writeToString(0, 0);
  const auto expectWhole = [&whole](const char* source, const auto& read) {
    XMLDocument document;
    ASSERT_TRUE(read(document)) << source;
    EXPECT_EQ(document.writeToString(0, 0), whole) << source;
    EXPECT_EQ(document.root()->lastChild()->line(), 19999u) << source;
  };
  TempDir dir;
  expectWhole("file", [&](XMLDocument& document) { return document.load(dir.write("big.xml", text)); });

  // From the start, wherever the stream stood.
  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  std::fwrite(text.data(), 1, text.size(), file);
  expectWhole("stream", [file](XMLDocument& document) { return document.parseFile(file); });
  std::fclose(file);

  // A pipe cannot tell its size: it is read until its end.
  std::FILE* piped = popen(("cat " + dir.path() + "/big.xml").c_str(), "r");
  ASSERT_NE(piped, nullptr);
  expectWhole("pipe", [piped](XMLDocument& document) { return document.parseFile(piped); });
  EXPECT_EQ(pclose(piped), 0);

  // Files are mapped where they end inside a page and read where they end on
  // a page boundary; either way the text ends with the file, or at a NUL.
  const long page = sysconf(_SC_PAGESIZE);
  for (const std::string& body : {std::string("<r><a/></r>"), std::string("<r><a/>\0<b/></r>", 16)}) {
    for (const long size : {page - 1, page, page + 1, 2 * page}) {
      std::string padded = body;
      padded.resize(static_cast<size_t>(size) - 1, ' ');
      padded += '\n';
      XMLDocument document;
      ASSERT_TRUE(document.load(dir.write("sized.xml", padded))) << size;
      EXPECT_EQ(document.writeToString(0, 0), body.size() == 11 ? "<r><a/></r>" : "") << size;
    }
  }
}

TEST(XmlDocumentTest, DoctypeOfReadsTheNameWithoutParsing) {
  TempDir dir;
  const std::pair<std::string, const char*> cases[] = {
      {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE Board_Memory_File>\n<root/>", "Board_Memory_File"},
      {"<!DOCTYPE  \n Section_Placement_File\n><root/>", "Section_Placement_File"}, {"<?a?><?b?><!DOCTYPE x-y>", "x"},
      {"<!DOCTYPE >", ""}, {"<root><!DOCTYPE X></root>", nullptr}, {"<!-- note --><!DOCTYPE X>", nullptr},
      {"<!DOCTYPE\tX>", nullptr}, {"<!DOCTYPE X", nullptr},  // the name runs to the end of what was read
      {"<?xml version=\"1.0\"?>", nullptr}, {"", nullptr}, {std::string(1100, ' ') + "<!DOCTYPE X>", nullptr},
  };
  for (const auto& [content, expected] : cases)
    EXPECT_EQ(XMLDocument::doctypeOf(dir.write("f.xml", content)).value_or("(none)"), expected ? expected : "(none)")
        << content;
  EXPECT_FALSE(XMLDocument::doctypeOf(dir.path() + "/missing.xml"));
  EXPECT_FALSE(XMLDocument::doctypeOf(dir.path()));
}

TEST(XmlDocumentTest, ElementsAndClonesAreMadeByTheDocumentsFactory) {
  test::Tagged<QXMLDocument> document(true);
  ASSERT_TRUE(document.parse("<r>\n<a z=\"1\" y=\"2\">t<b/><!--n--><![CDATA[d]]></a>\n<c/></r>"));
  EXPECT_TRUE(test::allTagged(document.root()));
  // A clone into a plain document is made of plain elements, and the other way round, without siblings or lines.
  const XMLElement* a = document.root()->firstChildElement();
  ASSERT_EQ(a->line(), 1u);
  XMLDocument plain;
  XMLElement target("t");
  XMLNode* copy = XMLDocument::clone(plain, *a, target);
  EXPECT_EQ(dumpTree(&target), "t(a[z=1,y=2](\"t\" b \"\" <!n> \"\" <[d]> \"\"))");
  EXPECT_EQ(copy->parent(), &target);
  EXPECT_EQ(copy->line() + copy->firstChild()->line(), 0u);
  EXPECT_FALSE(test::allTagged(copy));
  EXPECT_TRUE(test::allTagged(XMLDocument::clone(document, *copy).get()));
}

TEST(XmlDocumentTest, DeeplyNestedDocumentsParseWriteCloneAndDie) {
  constexpr int kDepth = 300000;
  std::string open;
  std::string close;
  for (int i = 0; i < kDepth; ++i) { open += "<e>"; close += "</e>"; }
  const std::string text = open + "<leaf/>" + close;
  XMLDocument document;
  ASSERT_TRUE(document.parse(text));
  EXPECT_EQ(document.writeToString(0, 0), text);
  XMLDocument other;
  other.setRoot(std::unique_ptr<XMLElement>(XMLDocument::clone(document, *document.root()).release()->asElement()));
  EXPECT_EQ(other.writeToString(0, 0), text);
  // Left open: everything is dropped at the end of the parse.
  EXPECT_TRUE(document.parse(text.substr(0, text.size() / 2)));
  EXPECT_EQ(document.root(), nullptr);
}

TEST(XmlTreeTextTest, FindsElementsAndTheirText) {
  XMLDocument document(true);
  ASSERT_TRUE(document.parse(
      "<device><name>M3</name><size>32</size>"
      "<peripheral><name>UART0</name><size></size><x>a<!--c-->b<i>no</i>c</x></peripheral>"
      "<peripheral><name>UART1</name><group><register><name>CTRL</name></register></group></peripheral>"
      "</device>"));
  XMLElement* device = document.root();
  XMLElement* uart0 = findElement(device->firstChild(), "peripheral");
  ASSERT_NE(uart0, nullptr);
  EXPECT_EQ(findElement(device->firstChild(), "absent"), nullptr);
  // Data children only; empty in the first element: taken from the second.
  EXPECT_EQ(childText(uart0, "name") + "|" + childText(uart0, "x") + "|" + childText(uart0, "missing") + "|" +
                elementText(nullptr) + "|" + childText(uart0, device, "size") + "|" +
                childText(uart0, device, "name") + "|" + childText(nullptr, device, "name"),
            "UART0|abc|||32|UART0|M3");
}

}  // namespace
}  // namespace tidewater
