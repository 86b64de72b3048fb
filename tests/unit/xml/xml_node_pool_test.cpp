#include "xml/xml_node_pool.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "unit/xml/xml_tree_dump.h"
#include "xml/xml_document.h"

namespace tidewater {
namespace {

using test::dumpTree;

TEST(XmlNodePoolTest, BlocksAreAlignedDistinctAndGivenBack) {
  const std::ptrdiff_t before = xml_node_pool::balance();
  struct Block {
    unsigned char* bytes;
    size_t size;
  };
  // Two rounds: the second is served from the blocks the first gave back.
  for (int round = 0; round < 2; ++round) {
    std::vector<Block> blocks;
    // Every size class, both ends of each, and sizes past the largest class.
    for (size_t size = 1; size <= 1100; size += (size % 16 == 0 ? 1 : 15)) {
      for (int copy = 0; copy < 3; ++copy) {
        auto* bytes = static_cast<unsigned char*>(xml_node_pool::allocate(size));
        ASSERT_EQ(reinterpret_cast<uintptr_t>(bytes) % alignof(std::max_align_t), 0u) << "size " << size;
        std::memset(bytes, static_cast<int>(blocks.size() & 0xFF), size);
        blocks.push_back({bytes, size});
      }
    }
    EXPECT_EQ(xml_node_pool::balance() - before, static_cast<std::ptrdiff_t>(blocks.size()));
    // No block overlaps another: each still holds its own fill.
    for (size_t i = 0; i < blocks.size(); ++i) {
      for (size_t at = 0; at < blocks[i].size; ++at) {
        ASSERT_EQ(blocks[i].bytes[at], i & 0xFF)
            << "round " << round << ", block " << i << " of size " << blocks[i].size;
      }
    }
    // Given back in a different order than they were made.
    for (size_t i = 0; i < blocks.size(); i += 2) xml_node_pool::release(blocks[i].bytes, blocks[i].size);
    for (size_t i = 1; i < blocks.size(); i += 2) xml_node_pool::release(blocks[i].bytes, blocks[i].size);
    EXPECT_EQ(xml_node_pool::balance(), before);
  }
  xml_node_pool::release(nullptr, 16);
  EXPECT_EQ(xml_node_pool::balance(), before);
}

/// An element much larger than a plain one, as document classes derive
/// them; it counts its living instances and checks its payload on the way out.
class HeavyElement : public XMLElement {
 public:
  HeavyElement(std::string name, size_t& living) : XMLElement(std::move(name)), living_(living) {
    ++living_;
    payload_.fill(0x5A);
  }
  ~HeavyElement() override {
    for (unsigned char byte : payload_) EXPECT_EQ(byte, 0x5A) << name();
    --living_;
  }

 private:
  size_t& living_;
  std::array<unsigned char, 600> payload_{};  // past the pool's largest class
};

class MediumElement : public XMLElement {
 public:
  explicit MediumElement(std::string name) : XMLElement(std::move(name)) {}

 private:
  [[maybe_unused]] std::array<uint64_t, 5> extra_{};
};

/// Makes "h..." elements heavy, "m..." elements medium and the rest plain.
class MixedDocument : public XMLDocument {
 public:
  MixedDocument(bool keepText, size_t& living) : XMLDocument(keepText), living_(living) {}
  std::unique_ptr<XMLElement> createElement(std::string name) override {
    if (name.starts_with("h")) return std::make_unique<HeavyElement>(std::move(name), living_);
    if (name.starts_with("m")) return std::make_unique<MediumElement>(std::move(name));
    return XMLDocument::createElement(std::move(name));
  }

 private:
  size_t& living_;
};

TEST(XmlNodePoolTest, EveryNodeIsGivenBackWhateverOwnsItLast) {
  const std::ptrdiff_t before = xml_node_pool::balance();
  size_t living = 0;
  {
    const std::string text =
        "<r><h1 a=\"1\">x<m1>y</m1><!--c--><![CDATA[d]]></h1><p><h2/><m2/></p><h3><m3/></h3></r>";
    auto first = std::make_unique<MixedDocument>(false, living);
    auto second = std::make_unique<MixedDocument>(false, living);
    ASSERT_TRUE(first->parse(text));
    ASSERT_TRUE(second->parse(text));
    EXPECT_EQ(living, 6u);

    // Move a subtree from the first document into the second, and a plain
    // node the other way, then drop the first document while its former
    // subtree lives on in the second.
    XMLElement* firstRoot = first->root();
    XMLNode* heavy = firstRoot->firstChild();
    std::unique_ptr<XMLNode> moved = firstRoot->removeChild(heavy);
    ASSERT_NE(moved, nullptr);
    second->root()->appendChild(std::move(moved));
    firstRoot->appendChild(std::make_unique<XMLData>("z"));
    std::unique_ptr<XMLNode> replaced =
        second->root()->replaceChild(second->root()->firstChild(), std::make_unique<XMLComment>("r"));
    first.reset();
    EXPECT_EQ(living, 4u);
    EXPECT_EQ(dumpTree(second->root()), "r(<!r> p(h2 m2) h3(m3) h1[a=1](m1 <[d]>))");
    replaced.reset();
    EXPECT_EQ(living, 3u);

    // A root taken out of its document outlives it.
    std::unique_ptr<XMLElement> root = second->takeRoot();
    second.reset();
    EXPECT_EQ(living, 3u);
    root.reset();
    EXPECT_EQ(living, 0u);

    // Trees dropped by the parser itself: a failed parse, elements left
    // open, and a top-level element replaced by a later one.
    MixedDocument third(true, living);
    EXPECT_FALSE(third.parse("<h><m>text<h x='1'/></m></h>"));
    EXPECT_TRUE(third.parse("<h>a<m>b<h>c"));
    EXPECT_TRUE(third.parse("<h>a</h><m>b</m>"));
    EXPECT_EQ(living, 0u);
    EXPECT_EQ(dumpTree(third.root()), "m(\"b\")");
  }
  EXPECT_EQ(living, 0u);
  EXPECT_EQ(xml_node_pool::balance(), before);
}

}  // namespace
}  // namespace tidewater
