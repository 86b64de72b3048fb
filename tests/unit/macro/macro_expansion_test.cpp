#include "macro/macro_expansion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <regex>

#include "macro/macro_table.h"

namespace tidewater {
namespace {

class MacroExpansionTest : public ::testing::Test {
 protected:
  std::string expand(std::string_view text) { return expandMacros(text, MacroScope{&node, &global, &system}); }

  MacroMap node{{"OBJ", ".o"}, {"InputName", "main"}, {"Ref", "$(OBJ)"}, {"a(b)c", "paren"}};
  MacroMap global{{"G", "global"}, {"OBJ", "hidden"}};
  MacroMap system{{"StudioDir", "/opt/tw"}, {"G", "hidden"}, {"X", "x-value"}};
};

TEST_F(MacroExpansionTest, ReferencesDefaultsEscapesAndRescans) {
  const std::pair<const char*, const char*> cases[] = {
      {"$(InputName)$(OBJ)", "main.o"}, {"$(G) $(StudioDir)", "global /opt/tw"}, {"$(Undefined)", "$(Undefined)"},
      {"$(Undefined:x)", "x"}, {"$(Undefined:)", ""}, {"$(OBJ:ignored)", ".o"}, {"$(Undefined:a:b)", "a:b"},
      {"$(LLD:$(StudioDir)/llvm/bin/lld)", "/opt/tw/llvm/bin/lld"}, {"a$$b", "a$b"}, {"cost $5", "cost $5"},
      {"trailing $", "trailing $"}, {"$$(X)", "$(X)"}, {"$(a(b)c)", "paren"}, {"no macros at all", "no macros at all"},
      // Unterminated references lose their "$" and are read as text.
      {"$(OBJ", "(OBJ"}, {"$(OBJ $(InputName)", "(OBJ main"},
      // A value is inserted as it is, unless a reference of the same pass held a "$".
      {"$(Ref)", "$(OBJ)"}, {"$(Ref) $(Undefined:$(G))", ".o global"},
      // An escaped reference survives one pass and is expanded by the rescan.
      {"$$(X) $(U:$(G))", "x-value global"},
      // "::" takes the default without asking for a rescan, and clears the
      // request made earlier in the pass.
      {"$(U::$(G))", "$(G)"}, {"$(U:$(G)) $(V::$(X))", "$(G) $(X)"},
      // A reference that never resolves ends when a pass changes nothing.
      {"$($(Undefined))", "$($(Undefined))"},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(expand(text), expected) << text;
}

TEST_F(MacroExpansionTest, SelfReferencesStopAfter64PassesOrPast4MiB) {
  // "$(U:$)" asks for a rescan on every pass: each pass adds one "x".
  node["Count"] = "x$(Count)$(U:$)";
  EXPECT_EQ(expand("$(Count)$(U:$)"), std::string(64, 'x') + "$(Count)$(U:$)$$");
  // Here the text doubles on every pass, and the pass that crosses 4 MiB
  // keeps the rest of its input unexpanded.
  node["Grow"] = "$(Grow)$(Grow)$(U:$)";
  const std::string grown = expand("$(Grow)$(U:$)");
  EXPECT_GT(grown.size(), 4u << 20);
  EXPECT_LE(grown.size(), 8u << 20);
  EXPECT_TRUE(std::all_of(grown.begin(), grown.end(), [](char c) { return std::strchr("$()GrowU:", c) != nullptr; }));
}

TEST_F(MacroExpansionTest, DateAndTimeAreComputedWhenFoundEvenThoughStoredEmpty) {
  system["Date"] = "";
  system["TimeHour"] = "";
  const std::string date = expand("$(Date)");
  EXPECT_TRUE(std::regex_match(date, std::regex("[1-9][0-9]? [A-Za-z]+ [0-9]{4}"))) << date;
  EXPECT_TRUE(std::regex_match(expand("$(TimeHour)"), std::regex("[0-2][0-9]")));
  EXPECT_EQ(expand("$(Time)"), "$(Time)");  // not in any map: the reference stays
}

TEST(MacroTableTest, NodeMacrosHideGlobalOnesWhichHideSystemOnes) {
  MacroTable table;
  table.registerSystemMacro("StudioDir", "/opt/first", "The install directory of the product.");
  table.registerSystemMacro("StudioDir", "/opt/tw", "");
  table.registerSystemMacro("Name", "system", "");
  table.setGlobalMacro("Name", "global");
  EXPECT_EQ(table.expandGlobally("$(StudioDir)/gcc/$(Name)"), "/opt/tw/gcc/global");
  EXPECT_EQ(table.expand("$(Name)", {{"Name", "node"}}, true, true), "node");
  EXPECT_EQ(table.expand("$(Name)", {}, false, true), "system");
  EXPECT_EQ(table.expand("$(Name)", {}, true, false), "global");
  table.setGlobalMacro("Name", "");
  EXPECT_EQ(table.expandGlobally("$(Name)"), "system");
  ASSERT_EQ(table.descriptions().size(), 1u);
  EXPECT_EQ(table.descriptions()[0].name, "StudioDir");
}

}  // namespace
}  // namespace tidewater
