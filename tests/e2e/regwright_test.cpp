// The installed regwright on the real register descriptions (and one of our
// own): a sample of registers, cluster groups and fields of each file must
// sit at the addresses and bits the file itself gives (base + offsets +
// index steps), in output that a reader of the XML standard accepts.
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <map>

#include "e2e/e2e_fixture.h"
#include "xml/xml_document.h"
#include "xml/xml_tree_text.h"

namespace tidewater::test {
namespace {

/// A number as an SVD file writes it: "0x" hexadecimal, "#" binary, or
/// decimal (leading zeros included), with an optional k/M/G scale.
uint64_t number(std::string text) {
  uint64_t scale = 1;
  if (!text.empty()) {
    const char last = static_cast<char>(std::tolower(static_cast<unsigned char>(text.back())));
    for (const auto& [suffix, factor] : {std::pair{'k', 1ull << 10}, std::pair{'m', 1ull << 20}, std::pair{'g', 1ull << 30}}) {
      if (last == suffix) {
        scale = factor;
        text.pop_back();
      }
    }
  }
  if (text.starts_with('#')) return std::strtoull(text.c_str() + 1, nullptr, 2) * scale;
  if (text.starts_with("0x") || text.starts_with("0X")) return std::strtoull(text.c_str(), nullptr, 16) * scale;
  return std::strtoull(text.c_str(), nullptr, 10) * scale;
}

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

/// The index string of copy k of a dimensioned element: from a comma list,
/// a number range "a-b", a letter range "A-C", or k itself.
std::string indexOf(const XMLElement& element, uint64_t k) {
  const std::string list = childText(&element, "dimIndex");
  if (list.find(',') != std::string::npos) {
    size_t begin = 0;
    for (uint64_t i = 0; i < k; ++i) begin = list.find(',', begin) + 1;
    return list.substr(begin, list.find(',', begin) - begin);
  }
  if (const size_t dash = list.find('-'); dash != std::string::npos) {
    if (std::isalpha(static_cast<unsigned char>(list[0]))) return std::string(1, static_cast<char>(static_cast<uint64_t>(list[0]) + k));
    return std::to_string(number(list.substr(0, dash)) + k);
  }
  return std::to_string(k);
}

/// The name of copy k of a register, cluster or field.
std::string copyName(const XMLElement& element, uint64_t k) {
  std::string name = childText(&element, "name");
  if (const size_t at = name.find("%s"); at != std::string::npos) name.replace(at, 2, indexOf(element, k));
  return name;
}

uint64_t copies(const XMLElement& element) {
  return childText(&element, "dim").empty() ? 1 : number(childText(&element, "dim"));
}

/// Checks the first and last copy of each field of "reg" (own fields, not
/// derived ones) against the printed register; returns how many it checked.
int checkFields(const XMLElement* printed, const XMLElement& reg, const std::string& where) {
  int checked = 0;
  for (const XMLElement* field = child(child(&reg, "fields"), "field"); field; field = next(field, "field")) {
    if (field->attribute("derivedFrom")) continue;
    uint64_t lsb = 0;
    uint64_t width = 1;
    if (const std::string range = childText(field, "bitRange"); !range.empty()) {
      const uint64_t msb = number(range.substr(1, range.find(':') - 1));
      lsb = number(range.substr(range.find(':') + 1, range.size() - range.find(':') - 2));
      width = msb - lsb + 1;
    } else if (!childText(field, "lsb").empty()) {
      lsb = number(childText(field, "lsb"));
      width = number(childText(field, "msb")) - lsb + 1;
    } else {
      lsb = number(childText(field, "bitOffset"));
      if (!childText(field, "bitWidth").empty()) width = number(childText(field, "bitWidth"));
    }
    const uint64_t count = copies(*field);
    for (const uint64_t k : {uint64_t{0}, count - 1}) {
      const std::string name = copyName(*field, k);
      const XMLElement* bitField = named(printed, "BitField", name);
      EXPECT_NE(bitField, nullptr) << where << " field " << name;
      if (!bitField) continue;
      EXPECT_EQ(*bitField->attribute("resolved_start"), hex(lsb + k * number(childText(field, "dimIncrement"))))
          << where << " field " << name;
      EXPECT_EQ(*bitField->attribute("resolved_size"), std::to_string(width)) << where << " field " << name;
      ++checked;
    }
  }
  return checked;
}

/// Checks the first plain register of a register block and its fields;
/// returns the number of fields checked.
int checkFirstRegister(const XMLElement* group, const XMLElement& block, uint64_t base, const std::string& where) {
  const XMLElement* reg = child(&block, "register");
  if (!reg || childText(reg, "name").empty()) return 0;
  const std::string name = copyName(*reg, 0);
  SCOPED_TRACE(where + " register " + name);
  const XMLElement* printed = named(group, "Register", name);
  EXPECT_NE(printed, nullptr);
  if (!printed) return 0;
  EXPECT_EQ(*printed->attribute("resolved_start"), hex(base + number(childText(reg, "addressOffset"))));
  return checkFields(printed, *reg, where);
}

using RegwrightTest = E2ETest;

TEST_F(RegwrightTest, PlacesRegistersClustersAndFieldsWhereTheFileSaysInWellFormedXML) {
  for (const std::string file : {"ARM_Sample.svd", "CMSDK_CM3.svd", "nrf52810.svd", "rp2040.svd", "tidewater_dma.svd"}) {
    SCOPED_TRACE(file);
    const std::string path = testDataDirectory() + "/" + file;
    const auto run = installed("bin/regwright", "regwright", {"-cortex-m", path});
    ASSERT_EQ(run.exitStatus, 0) << run.standardError;
    // A reader of the XML standard takes the output as it is.
    dir.write("model.xml", run.standardOutput);
    const auto lint = runProgram("/usr/bin/xmllint", {"xmllint", "--noout", "model.xml"}, dir.path());
    EXPECT_EQ(lint.exitStatus, 0) << lint.standardError;
    EXPECT_FALSE(contains(run.standardOutput, "%s")) << "every index is replaced";
    XMLDocument model;
    ASSERT_TRUE(model.parse(run.standardOutput)) << model.errorText();
    XMLDocument svd(true);
    ASSERT_TRUE(svd.load(path));
    const XMLElement* top = model.root();
    std::map<std::string, const XMLElement*> peripherals;
    for (const XMLElement* p = child(child(svd.root(), "peripherals"), "peripheral"); p; p = next(p, "peripheral")) {
      peripherals.emplace(childText(p, "name"), p);
    }
    int registers = 0, clusters = 0, fields = 0;
    for (const auto& [name, peripheral] : peripherals) {
      const XMLElement* group = named(top, "RegisterGroup", name);
      ASSERT_NE(group, nullptr) << name;
      const uint64_t base = number(childText(peripheral, "baseAddress"));
      const XMLElement* block = child(peripheral, "registers");
      if (const std::string* parent = peripheral->attribute("derivedFrom"); !block && parent) {
        block = child(peripherals.at(*parent), "registers");
      }
      if (!block) continue;
      fields += checkFirstRegister(group, *block, base, name);
      ++registers;
      // The first and the last copy of each cluster; a derived cluster
      // without registers of its own has its base's.
      for (const XMLElement* cluster = child(block, "cluster"); cluster; cluster = next(cluster, "cluster")) {
        const XMLElement* content = cluster;
        if (const std::string* from = cluster->attribute("derivedFrom"); from && !child(cluster, "register")) {
          content = named(block, "cluster", *from);
          for (const XMLElement* c = child(block, "cluster"); c && content == nullptr; c = next(c, "cluster")) {
            if (childText(c, "name") == *from) content = c;
          }
          ASSERT_NE(content, nullptr) << *from;
        }
        const uint64_t count = copies(*cluster);
        for (const uint64_t k : {uint64_t{0}, count - 1}) {
          const std::string groupName = name + " (" + copyName(*cluster, k) + ")";
          const XMLElement* printed = named(top, "RegisterGroup", groupName);
          ASSERT_NE(printed, nullptr) << groupName;
          const uint64_t start =
              base + number(childText(cluster, "addressOffset")) + k * number(childText(cluster, "dimIncrement"));
          EXPECT_EQ(*printed->attribute("resolved_start"), hex(start)) << groupName;
          fields += checkFirstRegister(printed, *content, start, groupName);
          ++clusters;
        }
      }
    }
    EXPECT_GE(registers, 2) << "too few peripherals checked";
    EXPECT_GT(fields, 0) << "no field checked";
    if (file == "nrf52810.svd") { EXPECT_GT(clusters, 10); }
    EXPECT_NE(named(top, "RegisterGroup", "NVIC"), nullptr);
  }
}

TEST_F(RegwrightTest, OutputIsWellFormedWhateverBytesTheFileHolds) {
  dir.write("bytes.svd", std::string("<device><name>D\x01</name><peripherals><peripheral><name>P</name>"
                                     "<baseAddress>0</baseAddress><description>it&#8217;s &#x19; caf\xC3\xA9 \xE9t\xE9 \x02"
                                     "</description></peripheral></peripherals></device>"));
  dir.write("bytes.xml", std::string("<!DOCTYPE Board_Memory_Definition_File>\n<?xml version=\"9\" encoding=\"bogus\"?>"
                                     "<Root name=\"\x01\xFF\"><1a b:c=\"&#x19;\"/><!-- x -- \x03 --></Root>"));
  for (const char* file : {"bytes.svd", "bytes.xml"}) {
    const auto run = installed("bin/regwright", "regwright", {file});
    ASSERT_EQ(run.exitStatus, 0) << file << run.standardError;
    dir.write("model.xml", run.standardOutput);
    const auto lint = runProgram("/usr/bin/xmllint", {"xmllint", "--noout", "model.xml"}, dir.path());
    EXPECT_EQ(lint.exitStatus, 0) << file << "\n" << run.standardOutput << lint.standardError;
  }
  EXPECT_TRUE(contains(read("model.xml"), "<Root name=\"&#xfffd;&#xff;\""));
}

TEST_F(RegwrightTest, RefusesDevicesAndHugeFilesAndWritesDeepTreesInLinearTime) {
  const std::string huge = dir.write("huge.xml", "");
  ASSERT_EQ(::truncate(huge.c_str(), 300 << 20), 0);  // sparse: no disk is used
  const std::pair<std::string, std::string> refused[] = {
      {"/dev/zero", "/dev/zero is not a regular file"},
      {huge, huge + " is too large: 314572800 bytes, at most 268435456"},
  };
  for (const auto& [file, message] : refused) {
    const auto run = installed("bin/regwright", "regwright", {file});
    EXPECT_EQ(run.exitStatus, 1) << file;
    EXPECT_EQ(run.standardError, "regwright: error: " + message + "\n");
  }

  std::string deep = "<!DOCTYPE Board_Memory_Definition_File>\n";
  for (int i = 0; i < 20000; ++i) deep += "<RegisterGroup name=\"g\" start=\"+4\">";
  for (int i = 0; i < 20000; ++i) deep += "</RegisterGroup>";
  dir.write("deep.xml", deep);
  const auto begin = std::chrono::steady_clock::now();
  const auto run = installed("bin/regwright", "regwright", {"deep.xml"});
  const auto elapsed = std::chrono::steady_clock::now() - begin;
  ASSERT_EQ(run.exitStatus, 0) << run.standardError;
  EXPECT_LT(elapsed, std::chrono::seconds(1));
  EXPECT_LT(run.standardOutput.size(), 20000u * 2 * 220);
  EXPECT_TRUE(contains(run.standardOutput, "resolved_start=\"0x00013880\""));  // 20000 * 4
}

TEST_F(RegwrightTest, FilesNamingStudioDirLoadAsInTheDriver) {
  dir.write("imports.xml", "<!DOCTYPE Board_Memory_Definition_File>\n<Root name=\"board\">"
                           "<Import filename=\"$(StudioDir)/targets/lm3s6965evb_memory_map.xml\"/></Root>\n");
  dir.write("includes.xml", "<!DOCTYPE Board_Memory_Definition_File>\n<Root name=\"board\">"
                            "<include filename=\"$(StudioDir)/targets/mps2_an386_memory_map.xml\" no_root=\"1\"/>"
                            "</Root>\n");
  const std::pair<Strings, std::string> cases[] = {
      {{"imports.xml"}, "<Root name=\"lm3s6965evb\""}, {{"-preprocess", "includes.xml"}, "<MemorySegment name=\"FLASH\""},
  };
  for (const auto& [arguments, expected] : cases) {
    const auto run = installed("bin/regwright", "regwright", arguments);
    EXPECT_EQ(run.exitStatus, 0) << joined(arguments) << run.standardError;
    EXPECT_EQ(run.standardError, "") << joined(arguments);
    EXPECT_TRUE(contains(run.standardOutput, expected)) << joined(arguments);
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
