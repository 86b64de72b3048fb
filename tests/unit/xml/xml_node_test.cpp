#include "xml/xml_node.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "unit/xml/xml_tree_dump.h"
#include "xml/xml_element.h"

namespace tidewater {
namespace {

using test::dumpTree;

std::unique_ptr<XMLElement> element(const char* name) { return std::make_unique<XMLElement>(name); }

/// Checks the parent and lastChild links that the dump cannot show.
void expectLinks(const XMLNode& parent) {
  const XMLNode* last = nullptr;
  for (const XMLNode* child = parent.firstChild(); child; child = child->nextSibling()) {
    EXPECT_EQ(child->parent(), &parent) << dumpTree(child);
    last = child;
  }
  EXPECT_EQ(parent.lastChild(), last);
}

TEST(XmlNodeTest, AppendAndPrependLinkAtTheEnds) {
  XMLElement root("r");
  root.appendChild(element("a"));
  root.appendChild(element("b"));
  XMLNode* a = root.firstChild();
  EXPECT_EQ(root.prependChild(element("z")), a);
  root.appendChild(nullptr);
  EXPECT_EQ(dumpTree(&root), "r(z a b)");
  expectLinks(root);

  XMLElement empty("e");
  EXPECT_EQ(empty.prependChild(element("only")), nullptr);
  empty.appendChild(element("next"));
  EXPECT_EQ(dumpTree(&empty), "e(only next)");
  expectLinks(empty);
}

TEST(XmlNodeTest, RemoveChildUnlinksAndHandsTheNodeBack) {
  XMLElement root("r");
  for (const char* name : {"a", "b", "c"}) root.appendChild(element(name));
  XMLNode* b = root.firstChild()->nextSibling();
  XMLNode* c = b->nextSibling();

  std::unique_ptr<XMLNode> removed = root.removeChild(b);
  ASSERT_EQ(removed.get(), b);
  EXPECT_EQ(removed->nextSibling(), nullptr);
  EXPECT_EQ(removed->parent(), &root);  // left as it was
  EXPECT_EQ(dumpTree(&root), "r(a c)");

  // Removing the last child moves lastChild back, so appending still works.
  std::unique_ptr<XMLNode> last = root.removeChild(c);
  EXPECT_EQ(last.get(), c);
  root.appendChild(element("d"));
  EXPECT_EQ(dumpTree(&root), "r(a d)");
  expectLinks(root);

  EXPECT_EQ(root.removeChild(b), nullptr);  // no longer a child
  EXPECT_EQ(root.removeChild(nullptr), nullptr);
  XMLElement other("o");
  other.appendChild(std::move(removed));
  EXPECT_EQ(b->parent(), &other);
}

TEST(XmlNodeTest, ReplaceChildTakesThePlaceAndLinksOfTheOldNode) {
  XMLElement root("r");
  for (const char* name : {"a", "b", "c"}) root.appendChild(element(name));
  XMLNode* b = root.firstChild()->nextSibling();
  std::unique_ptr<XMLNode> old = root.replaceChild(b, element("x"));
  EXPECT_EQ(old.get(), b);
  EXPECT_EQ(dumpTree(&root), "r(a x c)");
  expectLinks(root);

  XMLNode* c = root.lastChild();
  root.replaceChild(c, element("y"));
  root.appendChild(element("z"));
  EXPECT_EQ(dumpTree(&root), "r(a x y z)");
  expectLinks(root);

  // Not a child: the replacement comes back untouched.
  auto stray = element("s");
  XMLNode* strayRaw = stray.get();
  std::unique_ptr<XMLNode> back = root.replaceChild(old.get(), std::move(stray));
  EXPECT_EQ(back.get(), strayRaw);
  EXPECT_EQ(dumpTree(&root), "r(a x y z)");
}

TEST(XmlNodeTest, InsertAfterSplicesAWholeChain) {
  XMLElement source("s");
  for (const char* name : {"x", "y"}) source.appendChild(element(name));
  XMLElement root("r");
  for (const char* name : {"a", "b"}) root.appendChild(element(name));

  root.insertAfter(root.firstChild(), source.takeChildren());
  EXPECT_EQ(dumpTree(&source), "s");
  EXPECT_EQ(source.lastChild(), nullptr);
  EXPECT_EQ(dumpTree(&root), "r(a x y b)");
  expectLinks(root);

  root.insertAfter(root.lastChild(), element("end"));
  root.insertAfter(nullptr, element("front"));
  root.appendChild(element("after"));
  EXPECT_EQ(dumpTree(&root), "r(front a x y b end after)");
  expectLinks(root);

  XMLElement empty("e");
  empty.insertAfter(nullptr, root.takeChildren());
  EXPECT_EQ(dumpTree(&empty), "e(front a x y b end after)");
  expectLinks(empty);
}

TEST(XmlNodeTest, AttributesKeepOrderAndReplaceInPlace) {
  XMLElement e("e");
  e.setAttribute("b", std::string("1"));
  e.setAttribute("a", std::nullopt);
  e.setAttribute("c", std::string("3"));
  e.setAttribute("b", std::string("2"));
  EXPECT_EQ(dumpTree(&e), "e[b=2,a=~,c=3]");
  EXPECT_TRUE(e.hasAttribute("a"));
  EXPECT_EQ(e.attribute("a"), nullptr);  // present without a value
  EXPECT_EQ(e.attribute("missing"), nullptr);
  EXPECT_FALSE(e.hasAttribute("missing"));
  ASSERT_NE(e.attribute("c"), nullptr);
  EXPECT_EQ(*e.attribute("c"), "3");
  EXPECT_TRUE(e.removeAttribute("b"));
  EXPECT_FALSE(e.removeAttribute("b"));
  e.setAttribute("b", std::string("4"));
  EXPECT_EQ(dumpTree(&e), "e[a=~,c=3,b=4]");
  // Values may hold any byte.
  e.setAttribute("nul", std::string("x\0y", 3));
  EXPECT_EQ(e.attribute("nul")->size(), 3u);
}

TEST(XmlNodeTest, LongAttributeListsStayConsistentThroughRemovals) {
  XMLElement e("e");
  for (int i = 0; i < 100; ++i) e.setAttribute("k" + std::to_string(i), std::to_string(i));
  for (int i = 0; i < 100; i += 3) ASSERT_TRUE(e.removeAttribute("k" + std::to_string(i)));
  for (int i = 0; i < 100; i += 2) e.setAttribute("k" + std::to_string(i), "v" + std::to_string(i));
  ASSERT_EQ(e.attributes().size(), 100u - 34u + 17u);
  for (int i = 0; i < 100; ++i) {
    const std::string name = "k" + std::to_string(i);
    const std::string* value = e.attribute(name);
    if (i % 3 == 0 && i % 2 == 1) {
      EXPECT_EQ(value, nullptr) << name;  // removed and not set again
      continue;
    }
    ASSERT_NE(value, nullptr) << name;
    EXPECT_EQ(*value, (i % 2 == 0 ? "v" : "") + std::to_string(i)) << name;
  }
  // Survivors first, in their old order, then the re-added ones.
  EXPECT_EQ(e.attributes()[0].name, "k1");
  EXPECT_EQ(e.attributes().back().name, "k96");
}

// Deep trees are torn down in XmlDocumentTest.DeeplyNestedDocumentsParseWriteCloneAndDie.
TEST(XmlNodeTest, LongChainsAreDestroyedWithoutRecursion) {
  auto wide = element("wide");
  for (int i = 0; i < 300000; ++i) wide->appendChild(std::make_unique<XMLData>("x"));
  EXPECT_EQ(wide->lastChild()->parent(), wide.get());
  wide.reset();  // a recursive teardown along the sibling links would overflow the call stack
}

TEST(XmlNodeTest, ElementNavigationStepsOverOtherKinds) {
  XMLElement root("r");
  root.appendChild(std::make_unique<XMLData>("t"));
  root.appendChild(element("a"));
  root.appendChild(std::make_unique<XMLComment>("c"));
  root.appendChild(element("b"));
  XMLElement* a = root.firstChildElement();
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->name(), "a");
  ASSERT_NE(a->nextSiblingElement(), nullptr);
  EXPECT_EQ(a->nextSiblingElement()->name(), "b");
  EXPECT_EQ(a->nextSiblingElement()->nextSiblingElement(), nullptr);
  EXPECT_EQ(root.firstChild()->asElement(), nullptr);
}

}  // namespace
}  // namespace tidewater
