#include "xml/xml_node_pool.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "unit/xml/xml_tree_dump.h"
#include "xml/xml_document.h"

namespace tidewater {
namespace {

TEST(XmlNodePoolTest, BlocksAreAlignedDistinctAndGivenBack) {
  const std::ptrdiff_t before = xml_node_pool::balance();
  // Two rounds: the second is served from the blocks the first gave back.
  for (int round = 0; round < 2; ++round) {
    std::vector<std::pair<unsigned char*, size_t>> blocks;
    // Every size class, both ends of each, and sizes past the largest class.
    for (size_t size = 1; size <= 1100; size += (size % 16 == 0 ? 1 : 15)) {
      for (int copy = 0; copy < 3; ++copy) {
        auto* bytes = static_cast<unsigned char*>(xml_node_pool::allocate(size));
        ASSERT_EQ(reinterpret_cast<uintptr_t>(bytes) % alignof(std::max_align_t), 0u) << "size " << size;
        std::memset(bytes, static_cast<int>(blocks.size() & 0xFF), size);
        blocks.emplace_back(bytes, size);
      }
    }
    EXPECT_EQ(xml_node_pool::balance() - before, static_cast<std::ptrdiff_t>(blocks.size()));
    // No block overlaps another: each still holds its own fill. Given back in a different order than they were made.
    for (size_t parity = 0; parity < 2; ++parity) {
      for (size_t i = parity; i < blocks.size(); i += 2) {
        for (size_t at = 0; at < blocks[i].second; ++at)
          ASSERT_EQ(blocks[i].first[at], i & 0xFF) << "block " << i << " of size " << blocks[i].second;
        xml_node_pool::release(blocks[i].first, blocks[i].second);
      }
    }
    EXPECT_EQ(xml_node_pool::balance(), before);
  }
  xml_node_pool::release(nullptr, 16);
  EXPECT_EQ(xml_node_pool::balance(), before);
}

/// An element larger than the pool's largest class; it checks on the way out that no other block overlapped it.
class HeavyElement : public XMLElement {
 public:
  explicit HeavyElement(std::string name) : XMLElement(std::move(name)) { payload_.fill(0x5A); }
  ~HeavyElement() override {
    for (unsigned char byte : payload_) EXPECT_EQ(byte, 0x5A) << name();
  }

 private:
  std::array<unsigned char, 600> payload_{};
};

/// Makes "h..." elements heavy and the rest plain.
class MixedDocument : public XMLDocument {
 public:
  using XMLDocument::XMLDocument;
  std::unique_ptr<XMLElement> createElement(std::string name) override {
    if (name.starts_with("h")) return std::make_unique<HeavyElement>(std::move(name));
    return XMLDocument::createElement(std::move(name));
  }
};

TEST(XmlNodePoolTest, EveryNodeIsGivenBackWhateverOwnsItLast) {
  const std::ptrdiff_t before = xml_node_pool::balance();
  {
    const std::string text = "<r><h1 a=\"1\">x<m1>y</m1><!--c--><![CDATA[d]]></h1><p><h2/></p><h3/></r>";
    auto first = std::make_unique<MixedDocument>();
    auto second = std::make_unique<MixedDocument>();
    ASSERT_TRUE(first->parse(text));
    ASSERT_TRUE(second->parse(text));
    // Move a subtree from the first document into the second, then drop the first document while its former subtree
    // lives on in the second.
    second->root()->appendChild(first->root()->removeChild(first->root()->firstChildElement()));
    std::unique_ptr<XMLNode> replaced =
        second->root()->replaceChild(second->root()->firstChildElement(), std::make_unique<XMLComment>("r"));
    first.reset();
    EXPECT_EQ(test::dumpTree(second->root()), "r(<!r> p(h2) h3 h1[a=1](m1 <[d]>))");
    // A root taken out of its document outlives it.
    std::unique_ptr<XMLElement> root = second->takeRoot();
    second.reset();
    EXPECT_EQ(test::dumpTree(root.get()), "r(<!r> p(h2) h3 h1[a=1](m1 <[d]>))");
    // Trees dropped by the parser itself: a failed parse, elements left open, and a top-level element replaced by a
    // later one.
    MixedDocument third(true);
    EXPECT_FALSE(third.parse("<h><m>text<h x='1'/></m></h>"));
    EXPECT_TRUE(third.parse("<h>a<m>b<h>c"));
    EXPECT_TRUE(third.parse("<h>a</h><m>b</m>"));
  }
  EXPECT_EQ(xml_node_pool::balance(), before);
}

}  // namespace
}  // namespace tidewater
