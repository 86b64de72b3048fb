#pragma once
// A real ARM project in a scratch directory, built through BuildWalk with fake tools that log their arguments.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
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

using Strings = std::vector<std::string>;
using Calls = std::vector<test::FakeToolCall>;
using test::ScopedVariable;

/// "a b c" as the list {"a", "b", "c"}, with "DIR" standing for "dir" when one is given.
inline Strings words(const std::string& text, const std::string& dir = {}) {
  std::istringstream stream(text);
  Strings list;
  for (std::string word; stream >> word;) {
    if (!dir.empty() && word.find("DIR") != std::string::npos) word.replace(word.find("DIR"), 3, dir);
    list.push_back(word);
  }
  return list;
}
/// An argument list on one line, for failure messages.
inline std::string shown(const Strings& arguments) {
  std::string text;
  for (const std::string& argument : arguments) text += " [" + argument + "]";
  return text;
}
/// Whether "arguments" holds "argument"; the message shows the list.
inline ::testing::AssertionResult has(const Strings& arguments, const std::string& argument) {
  const bool found = std::find(arguments.begin(), arguments.end(), argument) != arguments.end();
  return (found ? ::testing::AssertionSuccess() : ::testing::AssertionFailure())
         << argument << " in" << shown(arguments);
}

class WalkFixture : public ::testing::Test {
 protected:
  WalkFixture() {
    for (const char* name : {"cc1", "cc1plus", "as", "objcopy", "clang"}) tool(name);
    macros.registerSystemMacro("StudioDir", dir.path() + "/studio", "");
    macros.registerSystemMacro("PackagesDir", dir.path() + "/packages", "");
    macros.setGlobalMacro("CLANG", tools() + "/clang");
    project = &system.newProject(system.newSolution("s", projectDir()), "app", projectDir(), "Object file");
    setAll({{"build_toolchain_directory", tools()}, {"build_intermediate_directory", "obj"},
            {"arm_supply_absolute_file_path", "No"}});
  }

  std::string tools() const { return dir.path() + "/tools"; }
  std::string projectDir() const { return dir.path() + "/p"; }
  std::string inProject(const std::string& name) const { return projectDir() + "/" + name; }
  /// Installs a fake tool in the tool directory; its path and a space.
  std::string tool(const std::string& name) const { return test::installFakeTool(tools(), name) + " "; }
  Strings words(const std::string& text) const { return tidewater::words(text, dir.path()); }
  /// Whether the builder printed "text"; the message shows what it printed.
  ::testing::AssertionResult printed(const std::string& text) const {
    const bool found = output.str().find(text) != std::string::npos;
    return (found ? ::testing::AssertionSuccess() : ::testing::AssertionFailure()) << text << " in:\n" << output.str();
  }

  void set(ProjectElement& node, const std::string& name, const std::string& value) {
    const PropertyClass* property = system.catalogue().find(name);
    ASSERT_NE(property, nullptr) << name;
    system.write(node, *property, "Common", value);
    system.invalidateCaches();
  }
  void set(const std::string& name, const std::string& value) { set(*project, name, value); }
  void setAll(const std::vector<std::pair<std::string, std::string>>& values, ProjectElement* node = nullptr) {
    for (const auto& value : values) set(node != nullptr ? *node : *project, value.first, value.second);
  }
  ProjectElement& addFile(const std::string& name, const std::string& content = "int x;\n",
                          ProjectElement* parent = nullptr) {
    dir.write("p/" + name, content);
    auto file = std::make_unique<ProjectElement>("file");
    file->setFileName(name, true);
    return system.addChild(parent != nullptr ? *parent : *project, std::move(file));
  }

  bool build(uint32_t flags = 0x30A) {
    BuildWalk walk(system, *builder, idler);
    return walk.buildNode(*project, "Common", flags);
  }
  Calls calls() const { return test::readFakeToolLog(dir.path() + "/calls.log"); }
  /// Whether the build ran exactly "tools" in order; the message shows the output.
  ::testing::AssertionResult ran(const std::string& tools) const {
    Strings names;
    for (const test::FakeToolCall& call : calls()) names.push_back(call.tool);
    if (names == words(tools)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "ran" << shown(names) << "\n" << output.str() << errors.str();
  }
  /// The arguments of the call of "name" after "skip" others of it, or none.
  Strings argumentsOf(const std::string& name, int skip = 0) const {
    for (const test::FakeToolCall& call : calls()) {
      if (call.tool == name && skip-- == 0) return call.arguments;
    }
    return {};
  }
  void reset() {  // forgets the recorded calls and the printed output
    std::filesystem::remove(dir.path() + "/calls.log");
    output.str({});
  }

  test::TempDir dir;
  ScopedVariable logVariable{test::kFakeToolLogVariable, dir.path() + "/calls.log"};
  MacroTable macros;
  ARMProjectSystem system{macros, "", {}};
  ProjectElement* project = nullptr;
  std::ostringstream output;
  std::ostringstream errors;
  /// A builder as a new run of the driver has it: nothing failed yet.
  std::unique_ptr<KilnmarkBuilder> newBuilder() {
    return std::make_unique<KilnmarkBuilder>(
        KilnmarkBuilderSettings{.standardOutput = &output, .standardError = &errors});
  }
  const BuildStatus& status() const { return builder->status(); }
  std::unique_ptr<KilnmarkBuilder> builder = newBuilder();
  Idler idler;
};

}  // namespace tidewater
