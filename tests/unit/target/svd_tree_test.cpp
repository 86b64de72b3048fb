#include "target/svd_tree.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"
#include "xml/xml_document.h"

namespace tidewater {
namespace {

using test::TempDir;

/// A document with the SVD import's parse settings.
struct SVDSettings : XMLDocument {
  SVDSettings() : XMLDocument(true) {
    setKeepBlankText(false);
    setReferenceReading(ReferenceReading::UTF8);
  }
};

/// Each element as tag[derivedFrom](text){children}, in document order.
std::string dump(const SVDElement* element) {
  std::string out;
  for (; element; element = element->nextSibling()) {
    out += element->name();
    if (const auto base = element->derivedFrom()) out += "[" + std::string(*base) + "]";
    out += "(" + std::string(element->text()) + ")";
    const SVDElement* child = element->firstChild();
    if (child && element->derivedFrom()) child = child->nextSibling();
    if (child) out += "{" + dump(child) + "}";
  }
  return out;
}

TEST(SVDTreeTest, KeepsTagsTextsAndDerivations) {
  struct Case {
    const char* xml;
    const char* tree;
  };
  const Case cases[] = {
      // Runs split by comments and child elements join; blank runs are layout.
      {"<a>\n  <b>x<!--c-->y<i>no</i>z</b>\n</a>", "a(){b(xyz){i(no)}}"},
      {"<a>1 &amp;lt; 2&#8217;\r\nend</a>", "a(1 &lt; 2\xE2\x80\x99\nend)"},
      {"<a><![CDATA[raw]]>t</a>", "a(t)"},
      // derivedFrom is the one attribute kept; a repeated one replaces the first.
      {"<p derivedFrom=\"U&amp;0\" other=\"x\"><n>N</n></p>", "p[U&0](){n(N)}"},
      {"<p derivedFrom=\"A\" derivedFrom=\"B\"/>", "p[B]()"},
      // The root is the last top-level element closed; open ones are dropped.
      {"<a>1</a><b>2</b><c><d>", "b(2)"},
  };
  TempDir dir;
  for (const Case& c : cases) {
    SVDSettings settings;
    SVDTree tree;
    ASSERT_TRUE(tree.load(settings, dir.write("t.svd", c.xml))) << c.xml;
    EXPECT_EQ(dump(tree.root()), c.tree) << c.xml;
  }
}

TEST(SVDTreeTest, ReportsParseAndReadFailuresThroughTheDocument) {
  TempDir dir;
  SVDSettings settings;
  SVDTree tree;
  EXPECT_FALSE(tree.load(settings, dir.write("bad.svd", "<a>\n<b>\n</c>")));
  EXPECT_EQ(settings.errorText() + ":" + std::to_string(settings.errorLine()), "tagName mismatch:2");
  EXPECT_FALSE(tree.load(settings, dir.path() + "/missing.svd"));
  EXPECT_EQ(settings.errorText(), "couldn't read " + dir.path() + "/missing.svd");
  EXPECT_EQ(tree.root(), nullptr);
}

TEST(SVDTreeTest, FindsElementsByTagAndChildText) {
  TempDir dir;
  SVDSettings settings;
  SVDTree tree;
  ASSERT_TRUE(tree.load(settings, dir.write("d.svd",
      "<device><name>M3</name>"
      "<peripheral><name>UART0</name></peripheral>"
      "<peripheral><name>UART1</name><group><register><name>CTRL</name></register></group></peripheral>"
      "</device>")));
  const SVDElement* device = tree.root();
  const SVDElement* uart0 = findElement(device->firstChild(), "peripheral");
  ASSERT_NE(uart0, nullptr);
  EXPECT_EQ(findElement(device->firstChild(), "absent"), nullptr);
  const SVDElement* uart1 = uart0->nextSibling();
  EXPECT_EQ(findElementWithChildText(device, "peripheral", "name", "UART1"), uart1);
  const SVDElement* ctrl = findElementWithChildText(device, "register", "name", "CTRL");
  ASSERT_NE(ctrl, nullptr);
  EXPECT_EQ(findElement(uart1->firstChild(), "group")->firstChild(), ctrl);
  EXPECT_EQ(findElementWithChildText(device, "peripheral", "name", "CTRL"), nullptr);
  // The search stays inside the subtree it is given.
  EXPECT_EQ(findElementWithChildText(uart0, "peripheral", "name", "UART1"), nullptr);
  EXPECT_EQ(findElementWithChildText(uart0, "peripheral", "name", "UART0"), uart0);
}

}  // namespace
}  // namespace tidewater
