#include "xml/xml_escape.h"

#include <gtest/gtest.h>

namespace tidewater {
namespace {

TEST(XmlEscapeTest, EscapesMarkupCharactersAndTheMiddleDotOnly) {
  EXPECT_EQ(xmlEscape("a<b>&\"c\"'d'"), "a&lt;b&gt;&amp;&quot;c&quot;&apos;d&apos;");
  // An ampersand is escaped once, not again inside the references it makes.
  EXPECT_EQ(xmlEscape("&lt;"), "&amp;lt;");
  EXPECT_EQ(xmlEscape("x\xC2\xB7y"), "x&middot;y");
  // Other UTF-8 sequences, including ones that share the lead byte, pass.
  EXPECT_EQ(xmlEscape("\xC2\xA9 \xC3\xA9 \xC2"), "\xC2\xA9 \xC3\xA9 \xC2");
  EXPECT_EQ(xmlEscape(""), "");
}

}  // namespace
}  // namespace tidewater
