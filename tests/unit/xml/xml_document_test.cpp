#include "xml/xml_document.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <thread>

#include "support/environment.h"
#include "support/temp_dir.h"
#include "unit/xml/xml_tree_dump.h"
#include "xml/qxml_document.h"
#include "xml/xml_tree_text.h"

namespace tidewater {
namespace {

using test::allTagged;
using test::dumpTree;
using test::TaggedElement;
using test::TempDir;

class TaggedDocument : public QXMLDocument {
 public:
  using QXMLDocument::QXMLDocument;
  std::unique_ptr<XMLElement> createElement(std::string name) override {
    return std::make_unique<TaggedElement>(std::move(name));
  }
};

TEST(XmlDocumentTest, LoadReportsFilesThatCannotBeRead) {
  TempDir dir;
  const std::string missing = dir.path() + "/missing.xml";
  for (const std::string& path : {missing, dir.path()}) {
    QXMLDocument document;
    EXPECT_FALSE(document.load(path)) << path;
    EXPECT_EQ(document.errorText(), "couldn't read " + path);
    EXPECT_EQ(document.errorLine(), 0u);
  }
  // The text is cut to 1023 characters.
  QXMLDocument document;
  EXPECT_FALSE(document.load(dir.path() + "/" + std::string(2000, 'x')));
  EXPECT_EQ(document.errorText().size(), 1023u);
}

TEST(XmlDocumentTest, SaveWritesTheFileAndReportsFailure) {
  TempDir dir;
  XMLDocument document;
  ASSERT_TRUE(document.parse("<?xml version=\"1.0\"?><a x=\"1\"><b/></a>"));
  const std::string path = dir.path() + "/out.xml";
  ASSERT_TRUE(document.save(path, 2, 0));
  EXPECT_EQ(test::readFile(path), "<?xml  version=\"1.0\" ?>\n<a x=\"1\">\n  <b/>\n</a>\n");

  XMLDocument loaded;
  ASSERT_TRUE(loaded.load(path));
  EXPECT_EQ(dumpTree(loaded.root()), "a[x=1](b)");

  const std::string bad = dir.path() + "/no/such/dir/out.xml";
  EXPECT_FALSE(document.save(bad, 2, 0));
  EXPECT_EQ(document.errorText(), "couldn't write " + bad);
}

TEST(XmlDocumentTest, AByteOrderMarkIsSkipped) {
  TempDir dir;
  const std::string body = "<?xml version=\"1.0\"?>\n<!DOCTYPE D>\n<a x=\"1\">\n</b>";
  const std::string plain = dir.write("plain.xml", body);
  const std::string marked = dir.write("marked.xml", "\xEF\xBB\xBF" + body);
  QXMLDocument first;
  QXMLDocument second;
  EXPECT_FALSE(first.load(plain));
  EXPECT_FALSE(second.load(marked));
  EXPECT_EQ(second.errorText(), first.errorText());
  EXPECT_EQ(second.errorLine(), 3u);

  const std::string good = dir.write("good.xml", "\xEF\xBB\xBF<?xml version=\"1.0\"?><!DOCTYPE D><a/>");
  ASSERT_TRUE(second.load(good));
  EXPECT_EQ(second.version().value_or(""), "1.0");
  EXPECT_EQ(second.doctype().value_or(""), "D");
  EXPECT_EQ(dumpTree(second.root()), "a");

  // Only a whole mark is skipped.
  ASSERT_TRUE(second.load(dir.write("half.xml", "\xEF\xBB<a/>")));
  EXPECT_EQ(second.root(), nullptr);
}

TEST(XmlDocumentTest, ParseFileReadsTheWholeStream) {
  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  const std::string text = "\xEF\xBB\xBF<a>x</a>";
  std::fwrite(text.data(), 1, text.size(), file);
  XMLDocument document(true);
  EXPECT_TRUE(document.parseFile(file));  // from the start, wherever the stream stood
  std::fclose(file);
  EXPECT_EQ(dumpTree(document.root()), "a(\"x\")");
}

TEST(XmlDocumentTest, ReadsStreamsLongerThanOneBufferFromFilesAndPipes) {
  std::string text = "<r>";
  for (int i = 0; i < 20000; ++i) text += "<e i=\"" + std::to_string(i) + "\">x</e>\n";
  text += "</r>";
  const auto expectWhole = [](const XMLDocument& document, const char* source) {
    const XMLElement* root = document.root();
    ASSERT_NE(root, nullptr) << source;
    size_t count = 0;
    const XMLElement* last = nullptr;
    for (const XMLElement* e = root->firstChildElement(); e; e = e->nextSiblingElement()) {
      last = e;
      ++count;
    }
    EXPECT_EQ(count, 20000u) << source;
    ASSERT_NE(last, nullptr) << source;
    ASSERT_NE(last->attribute("i"), nullptr) << source;
    EXPECT_EQ(*last->attribute("i"), "19999") << source;
    EXPECT_EQ(last->line(), 19999u) << source;
  };

  TempDir dir;
  XMLDocument fromFile;
  ASSERT_TRUE(fromFile.load(dir.write("big.xml", text)));
  expectWhole(fromFile, "file");

  // A pipe cannot tell its size: it is read until its end.
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  std::FILE* stream = fdopen(ends[0], "rb");
  ASSERT_NE(stream, nullptr);
  std::thread writer([&text, &ends] {
    size_t written = 0;
    while (written < text.size()) {
      const ssize_t n = ::write(ends[1], text.data() + written, text.size() - written);
      if (n <= 0) break;
      written += static_cast<size_t>(n);
    }
    ::close(ends[1]);
  });
  XMLDocument fromPipe;
  const bool parsed = fromPipe.parseFile(stream);
  writer.join();
  std::fclose(stream);
  ASSERT_TRUE(parsed);
  expectWhole(fromPipe, "pipe");
}

TEST(XmlDocumentTest, DoctypeOfReadsTheNameWithoutParsing) {
  TempDir dir;
  const std::string padding(1100, ' ');
  const std::pair<std::string, const char*> cases[] = {
      {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE Board_Memory_Definition_File>\n<root/>",
       "Board_Memory_Definition_File"},
      {"<!DOCTYPE  \n Section_Placement_File\n><root/>", "Section_Placement_File"}, {"<?a?><?b?><!DOCTYPE x-y>", "x"},
      {"<!DOCTYPE >", ""}, {"<root><!DOCTYPE X></root>", nullptr}, {"<!-- note --><!DOCTYPE X>", nullptr},
      {"<!DOCTYPE\tX>", nullptr},
      {"<!DOCTYPE X", nullptr},  // the name runs to the end of what was read
      {"<?xml version=\"1.0\"?>", nullptr}, {"", nullptr}, {padding + "<!DOCTYPE X>", nullptr},
  };
  int n = 0;
  for (const auto& [content, expected] : cases) {
    const std::string path = dir.write("f" + std::to_string(n++) + ".xml", content);
    const std::optional<std::string> name = XMLDocument::doctypeOf(path);
    EXPECT_EQ(name.has_value(), expected != nullptr) << content;
    if (name && expected) {
      EXPECT_EQ(*name, expected) << content;
    }
  }
  EXPECT_FALSE(XMLDocument::doctypeOf(dir.path() + "/missing.xml"));
  EXPECT_FALSE(XMLDocument::doctypeOf(dir.path()));
}

TEST(XmlDocumentTest, ElementsAreMadeByTheDocumentsFactory) {
  TaggedDocument document(true);
  ASSERT_TRUE(document.parse("<a><b x=\"1\"><c/></b><!--n--><![CDATA[d]]></a>"));
  EXPECT_TRUE(allTagged(document.root()));

  // A clone into a plain document is made of plain elements, and the
  // other way round.
  XMLDocument plain;
  std::unique_ptr<XMLNode> copy = XMLDocument::clone(plain, *document.root());
  EXPECT_EQ(dumpTree(copy.get()), dumpTree(document.root()));
  EXPECT_FALSE(allTagged(copy.get()));
  TaggedDocument tagged;
  std::unique_ptr<XMLNode> back = XMLDocument::clone(tagged, *copy);
  EXPECT_TRUE(allTagged(back.get()));
}

TEST(XmlDocumentTest, CloneCopiesASubtreeWithoutSiblingsOrLines) {
  XMLDocument document(true);
  ASSERT_TRUE(document.parse("<r>\n<a z=\"1\" y=\"2\">t<b/></a>\n<c/></r>"));
  const XMLElement* a = document.root()->firstChildElement();
  ASSERT_EQ(a->line(), 1u);
  XMLElement target("t");
  XMLNode* copy = XMLDocument::clone(document, *a, target);
  EXPECT_EQ(dumpTree(&target), "t(a[z=1,y=2](\"t\" b \"\"))");
  EXPECT_EQ(copy->parent(), &target);
  EXPECT_EQ(copy->line(), 0u);
  EXPECT_EQ(copy->firstChild()->line(), 0u);
}

TEST(XmlDocumentTest, DeeplyNestedDocumentsParseWriteCloneAndDie) {
  constexpr int kDepth = 300000;
  std::string text;
  for (int i = 0; i < kDepth; ++i) text += "<e>";
  text += "<leaf/>";
  for (int i = 0; i < kDepth; ++i) text += "</e>";
  XMLDocument document;
  ASSERT_TRUE(document.parse(text));
  EXPECT_EQ(document.writeToString(0, 0), text);
  std::unique_ptr<XMLNode> copy = XMLDocument::clone(document, *document.root());
  XMLDocument other;
  other.setRoot(std::unique_ptr<XMLElement>(copy.release()->asElement()));
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
  EXPECT_EQ(childText(uart0, "name"), "UART0");
  EXPECT_EQ(childText(uart0, "x"), "abc");  // data children only
  EXPECT_EQ(childText(uart0, "missing"), "");
  // Empty in the first element: taken from the second.
  EXPECT_EQ(childText(uart0, device, "size"), "32");
  EXPECT_EQ(childText(uart0, device, "name"), "UART0");
  EXPECT_EQ(childText(nullptr, device, "name"), "M3");
  EXPECT_EQ(findElement(device->firstChild(), "absent"), nullptr);
  EXPECT_EQ(elementText(nullptr), "");

  XMLElement* uart1 = findElementWithChildText(device, "peripheral", "name", "UART1");
  ASSERT_NE(uart1, nullptr);
  EXPECT_EQ(uart1, uart0->nextSiblingElement());
  XMLElement* ctrl = findElementWithChildText(device, "register", "name", "CTRL");
  ASSERT_NE(ctrl, nullptr);
  EXPECT_EQ(ctrl->parent()->parent(), uart1);
  EXPECT_EQ(findElementWithChildText(device, "peripheral", "name", "CTRL"), nullptr);
  // The search stays inside the subtree it is given.
  EXPECT_EQ(findElementWithChildText(uart0, "peripheral", "name", "UART1"), nullptr);
  EXPECT_EQ(findElementWithChildText(uart0, "peripheral", "name", "UART0"), uart0);
}

}  // namespace
}  // namespace tidewater
