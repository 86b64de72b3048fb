#include "macro/macro_expansion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <regex>

#include "macro/macro_table.h"

namespace tidewater {
namespace {

struct Case {
  const char* text;
  const char* expected;
};

class MacroExpansionTest : public ::testing::Test {
 protected:
  std::string expand(std::string_view text) {
    return expandMacros(text, MacroScope{&node, &global, &system});
  }
  void expectAll(std::initializer_list<Case> cases) {
    for (const auto& c : cases) EXPECT_EQ(expand(c.text), c.expected) << "text: " << c.text;
  }

  MacroMap node{{"OBJ", ".o"}, {"InputName", "main"}, {"Ref", "$(OBJ)"}, {"a(b)c", "paren"}};
  MacroMap global{{"G", "global"}, {"OBJ", "hidden"}};
  MacroMap system{{"StudioDir", "/opt/tw"}, {"G", "hidden"}, {"X", "x-value"}};
};

TEST_F(MacroExpansionTest, ReferencesDefaultsAndEscapes) {
  expectAll({
      {"$(InputName)$(OBJ)", "main.o"}, {"$(G) $(StudioDir)", "global /opt/tw"}, {"$(Undefined)", "$(Undefined)"},
      {"$(Undefined:x)", "x"}, {"$(Undefined:)", ""}, {"$(OBJ:ignored)", ".o"}, {"$(Undefined:a:b)", "a:b"},
      {"$(LLD:$(StudioDir)/llvm/bin/lld)", "/opt/tw/llvm/bin/lld"}, {"a$$b", "a$b"}, {"cost $5", "cost $5"},
      {"trailing $", "trailing $"}, {"$$(X)", "$(X)"}, {"$(a(b)c)", "paren"}, {"$(OBJ", "(OBJ"},
      {"$(OBJ $(InputName)", "(OBJ main"}, {"no macros at all", "no macros at all"}, {"", ""},
  });
}

TEST_F(MacroExpansionTest, ValuesAreExpandedOnlyWhenAPassAsksForARescan) {
  expectAll({
      // A value is inserted as it is...
      {"$(Ref)", "$(OBJ)"},
      // ...unless a reference of the same pass held a "$".
      {"$(Ref) $(Undefined:$(G))", ".o global"},
      // An escaped reference survives one pass and is expanded by the rescan.
      {"$$(X) $(U:$(G))", "x-value global"},
      // "::" takes the default without asking for a rescan, and clears the
      // request made earlier in the pass.
      {"$(U::$(G))", "$(G)"}, {"$(U:$(G)) $(V::$(X))", "$(G) $(X)"},
  });
}

TEST_F(MacroExpansionTest, SelfReferencesEndWithTheLastResult) {
  node["Loop"] = "$(Loop)";
  // "$(U:$)" asks for a rescan on every pass, so "Grow" doubles each time.
  node["Grow"] = "$(Grow)$(Grow)$(U:$)";
  EXPECT_EQ(expand("$($(Undefined))"), "$($(Undefined))");
  EXPECT_EQ(expand("$(U:$(Loop))"), "$(Loop)");
  const std::string grown = expand("$(Grow)$(U:$)");
  EXPECT_GT(grown.size(), 1000u);
  EXPECT_LE(grown.size(), 64u * 1024 * 1024);
  EXPECT_TRUE(std::all_of(grown.begin(), grown.end(),
                          [](char c) { return std::strchr("$()GrowU:", c) != nullptr; }));
}

TEST_F(MacroExpansionTest, DateAndTimeAreComputedWhenFoundEvenThoughStoredEmpty) {
  system["Date"] = "";
  system["TimeHour"] = "";
  EXPECT_TRUE(std::regex_match(expand("$(Date)"), std::regex("[1-9][0-9]? [A-Za-z]+ [0-9]{4}")))
      << expand("$(Date)");
  EXPECT_TRUE(std::regex_match(expand("$(TimeHour)"), std::regex("[0-2][0-9]")));
  // Not in any map: the reference stays.
  system.erase("Time");
  EXPECT_EQ(expand("$(Time)"), "$(Time)");
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
