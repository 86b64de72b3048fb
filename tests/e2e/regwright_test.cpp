// The installed regwright on the real register descriptions: a sample of
// registers and cluster groups of each file must sit at the
// addresses the file itself gives (base + offsets + index steps).
#include <cstdlib>
#include <map>

#include "e2e/e2e_fixture.h"
#include "xml/xml_document.h"
#include "xml/xml_tree_text.h"

namespace tidewater::test {
namespace {

uint64_t number(const std::string& text) { return std::strtoull(text.c_str(), nullptr, 0); }

std::string hex(uint64_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08llX", static_cast<unsigned long long>(value & 0xFFFFFFFF));
  return text;
}

const XMLElement* child(const XMLElement* element, std::string_view tag) {
  return element ? findElement(element->firstChild(), tag) : nullptr;
}
const XMLElement* next(const XMLElement* element, std::string_view tag) {
  return findElement(element->nextSibling(), tag);
}

/// The child of "parent" named "tag" whose name attribute is "name".
const XMLElement* named(const XMLElement* parent, std::string_view tag, const std::string& name) {
  for (const XMLElement* e = child(parent, tag); e; e = next(e, tag)) {
    if (const std::string* n = e->attribute("name"); n && *n == name) return e;
  }
  return nullptr;
}

/// The name of copy "index" of a register or cluster.
std::string copyName(const XMLElement& element, const std::string& index) {
  std::string name = childText(&element, "name");
  if (const size_t at = name.find("%s"); at != std::string::npos) name.replace(at, 2, index);
  return name;
}

/// Checks the first plain register of a register block.
void checkFirstRegister(const XMLElement* group, const XMLElement& block, uint64_t base, const std::string& where) {
  const XMLElement* reg = child(&block, "register");
  if (!reg || childText(reg, "name").empty()) return;
  const std::string dimIndex = childText(reg, "dimIndex");
  const std::string name = copyName(*reg, dimIndex.empty() ? "0" : dimIndex.substr(0, dimIndex.find_first_of(",-")));
  SCOPED_TRACE(where + " register " + name);
  const XMLElement* printed = named(group, "Register", name);
  ASSERT_NE(printed, nullptr);
  EXPECT_EQ(*printed->attribute("resolved_start"), hex(base + number(childText(reg, "addressOffset"))));
}

using RegwrightTest = E2ETest;

TEST_F(RegwrightTest, PlacesRegistersAndClustersWhereTheFileSays) {
  for (const std::string file : {"ARM_Sample.svd", "CMSDK_CM3.svd", "nrf52810.svd", "rp2040.svd"}) {
    SCOPED_TRACE(file);
    const std::string path = testDataDirectory() + "/" + file;
    const auto run = installed("bin/regwright", "regwright", {"-cortex-m", path});
    ASSERT_EQ(run.exitStatus, 0) << run.standardError;
    XMLDocument model;
    ASSERT_TRUE(model.parse(run.standardOutput)) << model.errorText();
    XMLDocument svd(true);
    ASSERT_TRUE(svd.load(path));
    const XMLElement* top = model.root();
    std::map<std::string, const XMLElement*> peripherals;
    for (const XMLElement* p = child(child(svd.root(), "peripherals"), "peripheral"); p; p = next(p, "peripheral")) {
      peripherals.emplace(childText(p, "name"), p);
    }
    int registers = 0, clusters = 0;
    for (const auto& [name, peripheral] : peripherals) {
      const XMLElement* group = named(top, "RegisterGroup", name);
      ASSERT_NE(group, nullptr) << name;
      const uint64_t base = number(childText(peripheral, "baseAddress"));
      const XMLElement* block = child(peripheral, "registers");
      if (const std::string* parent = peripheral->attribute("derivedFrom"); !block && parent) {
        block = child(peripherals.at(*parent), "registers");
      }
      if (!block) continue;
      checkFirstRegister(group, *block, base, name);
      ++registers;
      // The first and the last copy of each cluster.
      for (const XMLElement* cluster = child(block, "cluster"); cluster; cluster = next(cluster, "cluster")) {
        const uint64_t count = childText(cluster, "dim").empty() ? 1 : number(childText(cluster, "dim"));
        for (const uint64_t k : {uint64_t{0}, count - 1}) {
          const std::string groupName = name + " (" + copyName(*cluster, std::to_string(k)) + ")";
          const XMLElement* printed = named(top, "RegisterGroup", groupName);
          ASSERT_NE(printed, nullptr) << groupName;
          const uint64_t start =
              base + number(childText(cluster, "addressOffset")) + k * number(childText(cluster, "dimIncrement"));
          EXPECT_EQ(*printed->attribute("resolved_start"), hex(start)) << groupName;
          checkFirstRegister(printed, *cluster, start, groupName);
          ++clusters;
        }
      }
    }
    EXPECT_GE(registers, 3) << "too few peripherals checked";
    if (file == "nrf52810.svd") { EXPECT_GT(clusters, 10); }
    EXPECT_NE(named(top, "RegisterGroup", "NVIC"), nullptr);
  }
}

TEST_F(RegwrightTest, ReportsUnloadableFilesAndBadUsage) {
  const std::string broken = dir.write("broken.svd", "<device>\n<name>X</nome>\n</device>\n");
  const std::string missing = dir.path() + "/missing.xml";
  const std::string usage = "Usage: regwright [-macros TEXT] [-preprocess] [-cortex-m] FILE\n";
  const std::pair<Strings, std::string> cases[] = {
      {{missing}, "regwright: error: couldn't read " + missing + "\n"},
      {{broken}, "regwright: error: " + broken + ":2: tagName mismatch\n"},
      {{}, usage},
      {{"-macros"}, usage},
      {{"-x", broken}, usage},
  };
  for (const auto& [arguments, message] : cases) {
    const auto run = installed("bin/regwright", "regwright", arguments);
    EXPECT_EQ(run.exitStatus, 1) << joined(arguments);
    EXPECT_EQ(run.standardError, message) << joined(arguments);
    EXPECT_EQ(run.standardOutput, "") << joined(arguments);
  }
}

}  // namespace
}  // namespace tidewater::test
