#pragma once
// A real ARM project in a scratch directory, built through BuildWalk with
// fake tools (cc1, cc1plus, as, objcopy, clang) that log their arguments.

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "build/build_flags.h"
#include "build/build_status.h"
#include "build/build_walk.h"
#include "build/idler.h"
#include "build/kilnmark_builder.h"
#include "project/arm_project_system.h"
#include "support/environment.h"
#include "support/fake_tool_log.h"
#include "support/temp_dir.h"

namespace tidewater {

using test::ScopedVariable;

/// An argument list on one line, for failure messages.
inline std::string showArguments(const std::vector<std::string>& arguments) {
  std::string text;
  for (const std::string& argument : arguments) text += " [" + argument + "]";
  return text;
}

class WalkFixture : public ::testing::Test {
 protected:
  WalkFixture() {
    for (const char* tool : {"cc1", "cc1plus", "as", "objcopy", "clang"}) test::installFakeTool(tools(), tool);
    macros.registerSystemMacro("StudioDir", dir.path() + "/studio", "");
    macros.registerSystemMacro("PackagesDir", dir.path() + "/packages", "");
    macros.setGlobalMacro("CLANG", tools() + "/clang");
    solution = &system.newSolution("s", projectDir());
    project = &system.newProject(*solution, "app", projectDir(), "Object file");
    set("build_toolchain_directory", tools());
    set("build_intermediate_directory", "obj");
    set("arm_supply_absolute_file_path", "No");
  }

  std::string tools() const { return dir.path() + "/tools"; }
  std::string projectDir() const { return dir.path() + "/p"; }
  std::string log() const { return dir.path() + "/calls.log"; }
  std::string inProject(const std::string& name) const { return projectDir() + "/" + name; }

  void set(const std::string& name, const std::string& value) { set(*project, name, value); }
  void set(ProjectElement& node, const std::string& name, const std::string& value) {
    const PropertyClass* property = system.catalogue().find(name);
    ASSERT_NE(property, nullptr) << name;
    system.write(node, *property, "Common", value);
    system.invalidateCaches();
  }

  ProjectElement& addFile(const std::string& name, const std::string& content = "int x;\n") {
    return addFile(*project, name, content);
  }
  ProjectElement& addFile(ProjectElement& parent, const std::string& name, const std::string& content) {
    dir.write("p/" + name, content);
    auto file = std::make_unique<ProjectElement>("file");
    file->setFileName(name, true);
    return system.addChild(parent, std::move(file));
  }

  bool build(uint32_t flags = 0x30A) { return build(*project, flags); }
  bool build(ProjectElement& node, uint32_t flags) {
    BuildWalk walk(system, builder, idler, status);
    return walk.buildNode(node, "Common", flags);
  }

  std::vector<test::FakeToolCall> calls() const { return test::readFakeToolLog(log()); }
  std::vector<std::string> toolNames() const {
    std::vector<std::string> names;
    for (const test::FakeToolCall& call : calls()) names.push_back(call.tool);
    return names;
  }

  test::TempDir dir;
  ScopedVariable logVariable{test::kFakeToolLogVariable, dir.path() + "/calls.log"};
  MacroTable macros;
  ARMProjectSystem system{macros, "", {}};
  ProjectElement* solution = nullptr;
  ProjectElement* project = nullptr;
  std::ostringstream output;
  std::ostringstream errors;
  KilnmarkBuilder builder{KilnmarkBuilderSettings{.standardOutput = &output, .standardError = &errors}};
  BuildStatus status;
  Idler idler;
};

}  // namespace tidewater
