#include "xml/xml_node.h"

#include <gtest/gtest.h>

#include <thread>

#include "unit/xml/xml_tree_dump.h"
#include "xml/xml_document.h"
#include "xml/xml_element.h"
#include "xml/xml_name_table.h"

namespace tidewater {
namespace {

using test::dumpTree;

std::unique_ptr<XMLElement> element(const char* name) { return std::make_unique<XMLElement>(name); }

/// The dump of "parent", after checking the parent and lastChild links that the dump cannot show.
std::string linked(const XMLNode& parent) {
  const XMLNode* last = nullptr;
  for (const XMLNode* child = parent.firstChild(); child; child = child->nextSibling()) {
    EXPECT_EQ(child->parent(), &parent) << dumpTree(child);
    last = child;
  }
  EXPECT_EQ(parent.lastChild(), last) << dumpTree(&parent);
  return dumpTree(&parent);
}

TEST(XmlNodeTest, ListOperationsKeepEveryLink) {
  XMLElement root("r");
  EXPECT_EQ(root.prependChild(element("b")), nullptr);
  root.appendChild(element("c"));
  XMLNode* b = root.firstChild();
  EXPECT_EQ(root.prependChild(element("a")), b);
  root.appendChild(nullptr);
  EXPECT_EQ(linked(root), "r(a b c)");

  // Removing the last child moves lastChild back, so appending still works.
  std::unique_ptr<XMLNode> c = root.removeChild(root.lastChild());
  std::unique_ptr<XMLNode> removed = root.removeChild(b);
  ASSERT_EQ(removed.get(), b);
  EXPECT_EQ(removed->nextSibling(), nullptr);
  EXPECT_EQ(removed->parent(), &root);  // left as it was
  root.appendChild(element("d"));
  EXPECT_EQ(linked(root), "r(a d)");
  EXPECT_EQ(root.removeChild(b), nullptr);  // no longer a child
  EXPECT_EQ(root.removeChild(nullptr), nullptr);

  std::unique_ptr<XMLNode> old = root.replaceChild(root.lastChild(), element("x"));
  EXPECT_EQ(dumpTree(old.get()), "d");
  root.appendChild(element("y"));
  EXPECT_EQ(linked(root), "r(a x y)");
  // Not a child: the replacement comes back untouched.
  EXPECT_EQ(root.replaceChild(old.get(), std::move(removed)).get(), b);

  // A whole chain is spliced in, after a child or at the front.
  XMLElement source("s");
  source.appendChild(element("p"));
  source.appendChild(element("q"));
  root.insertAfter(root.firstChild(), source.takeChildren());
  EXPECT_EQ(linked(source), "s");
  root.insertAfter(root.lastChild(), element("end"));
  root.insertAfter(nullptr, element("front"));
  root.appendChild(element("after"));
  EXPECT_EQ(linked(root), "r(front a p q x y end after)");
  XMLElement empty("e");
  empty.insertAfter(nullptr, root.takeChildren());
  EXPECT_EQ(linked(empty), "e(front a p q x y end after)");
}

TEST(XmlNodeTest, ElementsShareOneCopyOfEachName) {
  XMLDocument document;
  ASSERT_TRUE(document.parse("<r><reg/><reg/><regs/><re/></r>"));
  std::vector<const XMLElement*> children;
  for (const XMLElement* child = document.root()->firstChildElement(); child; child = child->nextSiblingElement())
    children.push_back(child);
  ASSERT_EQ(children.size(), 4u);
  EXPECT_EQ(&children[0]->name(), &children[1]->name());
  EXPECT_EQ(children[2]->name(), "regs");
  EXPECT_EQ(children[3]->name(), "re");
  XMLElement renamed("x");
  renamed.setName("reg");
  EXPECT_EQ(&renamed.name(), &children[0]->name());
  EXPECT_EQ(renamed.name(), "reg");
  const std::string withNul("a\0b", 3);
  EXPECT_EQ(XMLElement(withNul).name(), withNul);

  // Other threads find the same copies, and new names they add are seen here.
  const std::string* fromThread = nullptr;
  std::thread([&] {
    fromThread = &internName("reg");
    internName("made-elsewhere");
  }).join();
  EXPECT_EQ(fromThread, &children[0]->name());
  EXPECT_EQ(&XMLElement("made-elsewhere").name(), &internName("made-elsewhere"));
}

TEST(XmlNodeTest, AttributesKeepOrderAndReplaceInPlace) {
  XMLElement bare("bare");
  EXPECT_TRUE(bare.attributes().empty());
  EXPECT_FALSE(bare.hasAttribute("a"));
  EXPECT_FALSE(bare.removeAttribute("a"));
  EXPECT_EQ(bare.attribute("a"), nullptr);

  XMLElement e("e");
  e.setAttribute("b", std::string("1"));
  e.setAttribute("a", std::nullopt);
  e.setAttribute("c", std::string("3"));
  e.setAttribute("b", std::string("2"));
  EXPECT_EQ(dumpTree(&e), "e[b=2,a=~,c=3]");
  EXPECT_TRUE(e.hasAttribute("a"));
  EXPECT_EQ(e.attribute("a"), nullptr);  // present without a value
  EXPECT_FALSE(e.hasAttribute("missing"));
  EXPECT_TRUE(e.removeAttribute("b"));
  EXPECT_FALSE(e.removeAttribute("b"));
  e.setAttribute("b", std::string("x\0y", 3));
  EXPECT_EQ(dumpTree(&e), "e[a=~,c=3,b=x\\x00y]");

  // Long lists are looked up through an index that must follow every change.
  XMLElement longList("e");
  for (int i = 0; i < 100; ++i) longList.setAttribute("k" + std::to_string(i), std::to_string(i));
  for (int i = 0; i < 100; i += 3) ASSERT_TRUE(longList.removeAttribute("k" + std::to_string(i)));
  for (int i = 0; i < 100; i += 2) longList.setAttribute("k" + std::to_string(i), "v" + std::to_string(i));
  ASSERT_EQ(longList.attributes().size(), 100u - 34u + 17u);
  for (int i = 0; i < 100; ++i) {
    const std::string* value = longList.attribute("k" + std::to_string(i));
    const std::string expected = i % 2 == 0 ? "v" + std::to_string(i) : i % 3 ? std::to_string(i) : "(none)";
    EXPECT_EQ(value ? *value : "(none)", expected) << "k" << i;
  }
  // Survivors first, in their old order, then the re-added ones.
  EXPECT_EQ(longList.attributes()[0].name, "k1");
  EXPECT_EQ(longList.attributes().back().name, "k96");
}

TEST(XmlNodeTest, ViewedValuesStayViewsUntilReadAsStrings) {
  const std::ptrdiff_t before = xml_node_pool::balance();
  {
    const std::string text = "CTRL control register";
    XMLElement e("e");
    e.appendAttributeView(internName("name"), std::string_view(text).substr(0, 4));
    e.appendAttributeView(internName("description"), text);
    e.appendAttributeView(internName("empty"), std::string_view());
    const XMLAttributeList& list = e.attributes();
    // Read through view(), as the writer does, a value stays a view.
    EXPECT_EQ(list[1].value.view().data(), text.data());
    EXPECT_EQ(dumpTree(&e), "e[name=CTRL,description=CTRL control register,empty=]");
    EXPECT_EQ(xml_node_pool::balance() - before, 1);  // the attribute block only
    // Read as a string, a view becomes the element's own string, once.
    const std::string* name = e.attribute("name");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(*name, "CTRL");
    EXPECT_EQ(e.attribute("name"), name);
    EXPECT_EQ(list[0].value.view().data(), name->data());
    EXPECT_EQ(*list[2].value, "");
    // Short values are held in place; longer ones get a string of their own.
    // (Two strings so far: the name and the empty value read through *.)
    e.setAttribute("description", std::string("replaced"));
    EXPECT_EQ(xml_node_pool::balance() - before, 3);
    e.setAttribute("empty", std::string("fifteen letters"));
    EXPECT_EQ(xml_node_pool::balance() - before, 3);
    EXPECT_EQ(dumpTree(&e), "e[name=CTRL,description=replaced,empty=fifteen letters]");
    EXPECT_TRUE(e.removeAttribute("name"));
  }
  EXPECT_EQ(xml_node_pool::balance(), before);
}

TEST(XmlNodeTest, LongChainsAreDestroyedWithoutRecursion) {
  auto wide = element("wide");
  for (int i = 0; i < 300000; ++i) wide->appendChild(std::make_unique<XMLData>("x"));
  wide.reset();  // a recursive teardown along the sibling links would overflow the call stack
}

}  // namespace
}  // namespace tidewater
