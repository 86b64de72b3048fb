#pragma once
// An executable project in a fresh directory under the full ARM project
// system, with helpers to add files, write properties and date files.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>
#include <string>

#include "project/arm_project_system.h"
#include "project/property_value_group_file.h"
#include "support/temp_dir.h"

namespace tidewater::test {

class ARMProjectTest : public ::testing::Test {
 protected:
  ProjectElement& addFile(const std::string& fileName, ProjectElement* parent = nullptr) {
    auto file = std::make_unique<ProjectElement>("file");
    file->setFileName(fileName, true);
    return system.addChild(parent != nullptr ? *parent : *project, std::move(file));
  }

  /// Writes a catalogue property, else a group of the project's property-group file.
  void set(const std::string& name, const std::string& value) {
    const PropertyClass* property = system.catalogue().find(name);
    const PropertyValueGroupFile* groups = property ? nullptr : system.propertyGroupFile(project, "Common");
    if (groups != nullptr) property = groups->group(name);
    ASSERT_NE(property, nullptr) << name;
    system.write(*project, *property, "Common", value);
  }

  /// Writes a file with the given modification time (seconds since the epoch).
  std::string writeAt(const std::string& name, const std::string& content, time_t seconds) {
    const std::string path = directory.write(name, content);
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    EXPECT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
    return path;
  }

  TempDir directory;
  MacroTable macros;
  ARMProjectSystem system{macros, "", {}};
  ProjectElement* solution = &system.newSolution("demo", directory.path());
  ProjectElement* project = &system.newProject(*solution, "app", directory.path(), "Executable");
};

}  // namespace tidewater::test
