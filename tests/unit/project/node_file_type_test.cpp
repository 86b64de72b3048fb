#include <gtest/gtest.h>

#include "project/arm_project_system.h"
#include "support/temp_dir.h"

namespace tidewater {
namespace {

class NodeFileTypeTest : public ::testing::Test {
 protected:
  NodeFileTypeTest() {
    ProjectElement& solution = system.newSolution("", directory.path());
    project = &system.newProject(solution, "", directory.path(), "Executable");
  }

  ProjectElement& addFile(const std::string& fileName) {
    auto file = std::make_unique<ProjectElement>("file");
    file->setFileName(fileName, true);
    return system.addChild(*project, std::move(file));
  }

  std::string typeOf(const std::string& fileName) { return system.fileType(addFile(fileName), "Common"); }

  test::TempDir directory;
  MacroTable macros;
  ARMProjectSystem system{macros, "", {}};
  ProjectElement* project;
};

TEST_F(NodeFileTypeTest, TheLowerCaseSuffixDecides) {
  const std::pair<const char*, const char*> cases[] = {
      {"x.c", "C"},          {"A.C", "C"},          {"x.cpp", "C++"},      {"x.CXX", "C++"},
      {"x.cc", "C++"},       {"x.h", "Header"},     {"x.hpp", "Header"},   {"x.hxx", "Header"},
      {"x.hh", "Header"},    {"x.s", "Assembly"},   {"x.S", "Assembly"},   {"x.asm", "Assembly"},
      {"x.o", "Object file"}, {"x.a", "Library"},   {"x.elf", "Executable"}, {"x.ld", "Linker Script"},
      {"x.LD", "Linker Script"}, {"dir.d/x.o", "Object file"}, {"x.txt", ""}, {"x.axf", ""},
      {"x", ""},             {"x.", ""},            {"src/x.tar.c", "C"},  {"/abs/x.elf", "Executable"},
  };
  for (const auto& [fileName, expected] : cases) EXPECT_EQ(typeOf(fileName), expected) << fileName;
}

TEST_F(NodeFileTypeTest, XMLFilesAreTypedByTheirDoctype) {
  const std::pair<const char*, const char*> cases[] = {
      {"<?xml version=\"1.0\"?>\n<!DOCTYPE Linker_Placement_File>\n<Root/>\n", "Section Placement"},
      {"<!DOCTYPE Board_Memory_Definition_File>\n<Root/>\n", "Memory Map"},
      {"<!DOCTYPE Register_Definition_File>\n<Root/>\n", "Register Definitions"},
      {"<!DOCTYPE Something_Else>\n<Root/>\n", ""},
      {"<Root/>\n", ""},
  };
  int index = 0;
  for (const auto& [content, expected] : cases) {
    const std::string name = "file" + std::to_string(index++) + ".xml";
    directory.write(name, content);
    EXPECT_EQ(typeOf(name), expected) << content;
  }
  directory.write("UPPER.XML", "<!DOCTYPE Linker_Placement_File>\n<Root/>\n");
  EXPECT_EQ(typeOf("UPPER.XML"), "Section Placement");
  EXPECT_EQ(typeOf("missing.xml"), "");
}

TEST_F(NodeFileTypeTest, AFileTypeValueWinsOverOverrideAndSuffix) {
  const PropertyClass& fileType = *system.general().fileType;
  ProjectElement& source = addFile("start.s");
  system.write(source, fileType, "Common", "C");
  EXPECT_EQ(system.fileType(source, "Common"), "C");
  EXPECT_EQ(system.fileType(source, "Debug"), "C");
  source.fileTypeOverride = "Assembly";
  EXPECT_EQ(system.fileType(source, "Common"), "C");

  ProjectElement& data = addFile("table.txt");
  data.fileTypeOverride = "Linker Script";
  EXPECT_EQ(system.fileType(data, "Common"), "Linker Script");
  system.write(data, fileType, "Common", "Default");
  EXPECT_EQ(system.fileType(data, "Common"), "Linker Script");
  data.fileTypeOverride.clear();
  EXPECT_EQ(system.fileType(data, "Common"), "");

  // A type written on the project applies to every file below it.
  system.write(*project, fileType, "Common", "Object file");
  EXPECT_EQ(typeOf("x.c"), "Object file");
}

TEST(NodeFileTypeWithoutToolchainTest, ToolchainExtensionsAreNotRecognised) {
  MacroTable macros;
  ProjectSystem system(macros);
  ProjectElement& solution = system.newSolution("", "/work");
  ProjectElement& project = system.newProject(solution, "", "/work", "");
  const std::pair<const char*, const char*> cases[] = {
      {"x.o", ""}, {"x.a", ""}, {"x.elf", ""}, {"x.ld", "Linker Script"}, {"x.c", "C"}};
  for (const auto& [fileName, expected] : cases) {
    auto file = std::make_unique<ProjectElement>("file");
    file->setFileName(fileName, true);
    EXPECT_EQ(system.fileType(system.addChild(project, std::move(file)), "Common"), expected) << fileName;
  }
  EXPECT_EQ(system.fileType(project, "Common"), "");
}

}  // namespace
}  // namespace tidewater
