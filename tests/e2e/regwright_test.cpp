// The installed regwright on the real register descriptions: a sample of
// registers, fields and cluster groups of each file must sit at the
// addresses the file itself gives (base + offsets + index steps).
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>

#include "support/environment.h"
#include "support/run_program.h"
#include "support/temp_dir.h"
#include "xml/xml_document.h"
#include "xml/xml_tree_text.h"

namespace tidewater {
namespace {

std::string regwright() { return test::distDirectory() + "/bin/regwright"; }

uint64_t number(const std::string& text) { return std::strtoull(text.c_str(), nullptr, 0); }

std::string hex(uint64_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08llX", static_cast<unsigned long long>(value & 0xFFFFFFFF));
  return text;
}

const XMLElement* child(const XMLElement* element, std::string_view tag) {
  return element ? findElement(element->firstChild(), tag) : nullptr;
}

/// The children of "element" named "tag".
template <typename Visit>
void each(const XMLElement* element, std::string_view tag, Visit&& visit) {
  for (const XMLElement* e = child(element, tag); e; e = findElement(e->nextSibling(), tag)) visit(*e);
}

/// The printed model: its register groups by name.
struct Model {
  XMLDocument document;
  std::map<std::string, const XMLElement*> groups;

  const XMLElement* named(const XMLElement* parent, std::string_view tag, const std::string& name) const {
    const XMLElement* found = nullptr;
    each(parent, tag, [&](const XMLElement& e) {
      const std::string* n = e.attribute("name");
      if (!found && n && *n == name) found = &e;
    });
    return found;
  }
};

/// The first copy's name of a register or cluster (its first index, or 0).
std::string firstName(const XMLElement& element) {
  std::string name = childText(&element, "name");
  const std::string index = childText(&element, "dimIndex");
  const std::string first = index.empty() ? "0" : index.substr(0, index.find_first_of(",-"));
  if (const size_t at = name.find("%s"); at != std::string::npos) name.replace(at, 2, first);
  return name;
}

/// Checks the first plain register of a register block, and its first field.
void checkFirstRegister(const Model& model, const XMLElement* group, const XMLElement& block,
                        uint64_t base, const std::string& where) {
  const XMLElement* reg = child(&block, "register");
  if (!reg || childText(reg, "name").empty()) return;
  const std::string name = firstName(*reg);
  const XMLElement* printed = model.named(group, "Register", name);
  ASSERT_NE(printed, nullptr) << where << " register " << name;
  EXPECT_EQ(*printed->attribute("resolved_start"), hex(base + number(childText(reg, "addressOffset"))))
      << where << " register " << name;
  const XMLElement* field = child(child(reg, "fields"), "field");
  if (!field) return;
  uint64_t bit = number(childText(field, "bitOffset") + childText(field, "lsb"));
  if (const std::string range = childText(field, "bitRange"); !range.empty()) {
    bit = number(range.substr(range.find(':') + 1));
  }
  const XMLElement* printedField = model.named(printed, "BitField", childText(field, "name"));
  ASSERT_NE(printedField, nullptr) << where << " field of " << name;
  EXPECT_EQ(*printedField->attribute("resolved_start"), hex(bit)) << where << " field of " << name;
}

class RegwrightTest : public ::testing::TestWithParam<const char*> {};

TEST_P(RegwrightTest, PlacesRegistersFieldsAndClustersWhereTheFileSays) {
  const std::string path = test::testDataDirectory() + "/" + GetParam();
  const auto run = test::runProgram(regwright(), {"regwright", "-cortex-m", path});
  ASSERT_EQ(run.exitStatus, 0) << run.standardError;
  Model model;
  ASSERT_TRUE(model.document.parse(run.standardOutput)) << model.document.errorText();
  XMLDocument svd(true);
  ASSERT_TRUE(svd.load(path));

  std::map<std::string, const XMLElement*> peripherals;
  each(child(svd.root(), "peripherals"), "peripheral",
       [&](const XMLElement& p) { peripherals.emplace(childText(&p, "name"), &p); });
  int registers = 0;
  int clusters = 0;
  for (const auto& [name, peripheral] : peripherals) {
    const XMLElement* group = model.named(model.document.root(), "RegisterGroup", name);
    ASSERT_NE(group, nullptr) << name;
    const uint64_t base = number(childText(peripheral, "baseAddress"));
    const XMLElement* block = child(peripheral, "registers");
    if (const std::string* parent = peripheral->attribute("derivedFrom"); !block && parent) {
      block = child(peripherals.at(*parent), "registers");
    }
    if (!block) continue;
    checkFirstRegister(model, group, *block, base, name);
    ++registers;
    const std::string& peripheralName = name;  // a structured binding cannot be captured
    each(block, "cluster", [&](const XMLElement& cluster) {
      // The first and the last copy of each cluster.
      const uint64_t count = childText(&cluster, "dim").empty() ? 1 : number(childText(&cluster, "dim"));
      const uint64_t step = number(childText(&cluster, "dimIncrement"));
      for (const uint64_t k : {uint64_t{0}, count - 1}) {
        std::string copy = childText(&cluster, "name");
        if (const size_t at = copy.find("%s"); at != std::string::npos) copy.replace(at, 2, std::to_string(k));
        const std::string groupName = peripheralName + " (" + copy + ")";
        const XMLElement* printed = model.named(model.document.root(), "RegisterGroup", groupName);
        ASSERT_NE(printed, nullptr) << groupName;
        const uint64_t start = base + number(childText(&cluster, "addressOffset")) + k * step;
        EXPECT_EQ(*printed->attribute("resolved_start"), hex(start)) << groupName;
        checkFirstRegister(model, printed, cluster, start, groupName);
        ++clusters;
      }
    });
  }
  EXPECT_GE(registers, 3) << "too few peripherals checked in " << path;
  if (std::string(GetParam()) == "nrf52810.svd") {
    EXPECT_GT(clusters, 10);
  }
  EXPECT_NE(model.named(model.document.root(), "RegisterGroup", "NVIC"), nullptr);
}

INSTANTIATE_TEST_SUITE_P(RealDescriptions, RegwrightTest,
                         ::testing::Values("ARM_Sample.svd", "CMSDK_CM3.svd", "nrf52810.svd",
                                           "rp2040.svd"),
                         [](const auto& info) {
                           std::string name = info.param;
                           return name.substr(0, name.find('.'));
                         });

TEST(RegwrightErrorTest, ReportsUnloadableFilesAndBadUsage) {
  test::TempDir dir;
  const std::string broken = dir.write("broken.svd", "<device>\n<name>X</nome>\n</device>\n");
  const std::string missing = dir.path() + "/missing.xml";
  const std::tuple<std::vector<std::string>, std::string> cases[] = {
      {{"regwright", missing}, "regwright: error: couldn't read " + missing + "\n"},
      {{"regwright", broken}, "regwright: error: " + broken + ":2: tagName mismatch\n"},
      {{"regwright"}, "Usage: regwright [-macros TEXT] [-preprocess] [-cortex-m] FILE\n"},
      {{"regwright", "-macros"}, "Usage: regwright [-macros TEXT] [-preprocess] [-cortex-m] FILE\n"},
      {{"regwright", "-x", broken}, "Usage: regwright [-macros TEXT] [-preprocess] [-cortex-m] FILE\n"},
  };
  for (const auto& [arguments, message] : cases) {
    const auto run = test::runProgram(regwright(), arguments);
    EXPECT_EQ(run.exitStatus, 1) << arguments.back();
    EXPECT_EQ(run.standardError, message) << arguments.back();
    EXPECT_EQ(run.standardOutput, "") << arguments.back();
  }
}

}  // namespace
}  // namespace tidewater
