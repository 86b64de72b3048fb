#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "project/file_types.h"
#include "project/project_types.h"
#include "project/standard_project_system.h"

namespace tidewater {
namespace {

using Strings = std::vector<std::string>;

std::set<std::string> namesOf(const std::vector<const PropertyClass*>& properties) {
  std::set<std::string> names;
  for (const PropertyClass* property : properties) names.insert(property->name());
  return names;
}

class GeneralCatalogueTest : public ::testing::Test {
 protected:
  GeneralCatalogueTest() {
    solution = &system.newSolution("demo", "/work/sol");
    project = &system.newProject(*solution, "app", "/work/sol", "Executable");
  }

  const PropertyClass& property(const std::string& name) const {
    const PropertyClass* found = system.catalogue().find(name);
    EXPECT_NE(found, nullptr) << name;
    return *found;
  }

  std::vector<const LayerCatalogue*> layers() const { return {&system.general(), &system.standard()}; }

  MacroTable macros;
  StandardProjectSystem system{macros};
  ProjectElement* solution;
  ProjectElement* project;
};

TEST_F(GeneralCatalogueTest, EachLayerRegistersItsEntriesOnce) {
  const LayerCatalogue& general = system.general();
  const LayerCatalogue& standard = system.standard();
  ASSERT_EQ(general.properties.size(), 61u);
  ASSERT_EQ(general.macroDescriptions.size(), 27u);
  ASSERT_EQ(standard.properties.size(), 94u);
  ASSERT_EQ(standard.macroDescriptions.size(), 22u);

  // Within a layer no name repeats except the two double registrations.
  const std::set<std::string> generalNames = namesOf(general.properties);
  EXPECT_EQ(generalNames.size(), 59u);
  EXPECT_EQ(namesOf(standard.properties).size(), 94u);
  // Every entry is in the catalogue; the two superseded ones only by reference.
  EXPECT_EQ(system.catalogue().byName().size(), 59u + 27u + 94u + 22u);
  for (const LayerCatalogue* layer : {&general, &standard}) {
    for (const PropertyClass* entry : layer->properties) {
      EXPECT_NE(system.catalogue().find(entry->name()), nullptr) << entry->name();
    }
  }
}

TEST_F(GeneralCatalogueTest, MacroDescriptionsNameTheMacroAndItsCategory) {
  for (const LayerCatalogue* layer : layers()) {
    for (const MacroPropertyClass* macro : layer->macroDescriptions) {
      EXPECT_EQ(macro->name(), "$(" + macro->macroName() + ")");
      EXPECT_EQ(macro->category(), "(Build Macro Values)") << macro->name();
      EXPECT_EQ(macro->group(), "Properties") << macro->name();
      EXPECT_FALSE(macro->description().empty()) << macro->name();
      EXPECT_EQ(system.catalogue().find(macro->name()), macro);
    }
  }
  EXPECT_EQ(property("$(Objects)").description(),
            "A space seperated list of files for the external archive or link command.");
}

TEST_F(GeneralCatalogueTest, BothOutputFileNameVariantsShareOneStoredValue) {
  const PropertyClass& executable = *system.general().executableOutputFileName;
  const PropertyClass& library = *system.general().libraryOutputFileName;
  ASSERT_NE(&executable, &library);
  EXPECT_EQ(executable.name(), "build_output_file_name");
  EXPECT_EQ(library.name(), "build_output_file_name");
  EXPECT_EQ(system.catalogue().find("build_output_file_name"), &library);
  EXPECT_EQ(executable.order(), -300);
  EXPECT_EQ(executable.displayName(), "Executable File Name");

  EXPECT_EQ(system.lookUp(project, executable, "Common"), "$(OutDir)/$(ProjectName)$(EXE)");
  EXPECT_EQ(system.lookUp(project, library, "Common"), "$(OutDir)/$(ProjectName)$(LIB)");
  system.write(*project, library, "Common", "out/libapp.a");
  EXPECT_EQ(system.lookUp(project, executable, "Common"), "out/libapp.a");
  EXPECT_EQ(system.lookUp(project, "build_output_file_name", "Common"), "out/libapp.a");
}

TEST_F(GeneralCatalogueTest, BothFolderFiltersStayRegistered) {
  const PropertyClass& folder = *system.general().folderFilter;
  const PropertyClass& dynamic = *system.general().dynamicFolderFilter;
  EXPECT_EQ(folder.name(), "filter");
  EXPECT_EQ(folder.type(), PropertyType::StringList);
  EXPECT_EQ(dynamic.type(), PropertyType::String);
  EXPECT_EQ(system.catalogue().find("filter"), &dynamic);
  EXPECT_FALSE(folder.isPerConfiguration());
  EXPECT_FALSE(dynamic.isPerConfiguration());
}

TEST_F(GeneralCatalogueTest, ABooleanRegisteredWithoutADefaultReadsNo) {
  for (const char* name : {"debug_leave_target_running", "debug_start_from_entry_point_symbol"}) {
    EXPECT_EQ(property(name).type(), PropertyType::Boolean) << name;
    EXPECT_EQ(system.lookUp(project, name, "Debug"), "No") << name;
    EXPECT_EQ(property(name).legalValues(), (Strings{"Yes", "No"})) << name;
  }
}

TEST_F(GeneralCatalogueTest, InformationalAndCommonOnlyFlagsAreSetOnTheirPropertiesOnly) {
  const std::set<std::string> informational = {"date_created", "date_modified", "Platform",
                                               "full_path",    "relative_path", "Name",
                                               "file_name",    "name",          "full_project_directory"};
  const std::set<std::string> commonOnly = {
      "file_codec", "file_open_with", "file_type", "file_flag", "project_flag", "solution_flag", "filter",
      "path",       "recurse",        "exclude",   "project_directory", "package_dependencies",
      "project_inhibit_indexing"};
  for (const LayerCatalogue* layer : layers()) {
    for (const PropertyClass* entry : layer->properties) {
      EXPECT_EQ(entry->isInformational(), informational.count(entry->name()) == 1) << entry->name();
      EXPECT_EQ(entry->isPerConfiguration(), commonOnly.count(entry->name()) == 0) << entry->name();
    }
  }
}

TEST_F(GeneralCatalogueTest, StepSetsHoldThePropertiesThatOutdateEachStep) {
  using enum BuildKind;
  const std::tuple<const char*, std::set<BuildKind>> cases[] = {
      {"c_enforce_ansi_checking", {CompileC, CompileCpp}},
      {"c_preprocessor_definitions", {CompileC, CompileCpp, Assemble}}, {"c_only_additional_options", {CompileC}},
      {"cpp_enable_rtti", {CompileCpp}}, {"asm_additional_options", {Assemble}},
      {"default_vector_section", {CompileC, CompileCpp, Assemble}}, {"linker_map_file", {Link}},
      {"linker_section_placement_file", {Link}}, {"archive_post_build_command", {Archive}},
      {"build_dependency_file_name", {CompileC, CompileCpp, Assemble}},
      {"build_remove_unused_symbols", {CompileC, CompileCpp, Link}}, {"debug_register_definition_file", {}},
      {"debug_threads_max", {}},
  };
  const BuildKind kinds[] = {CompileC, CompileCpp, Assemble, Link, Archive, Stage, Combine};
  for (const auto& [name, expected] : cases) {
    for (const BuildKind kind : kinds) {
      EXPECT_EQ(system.buildStepProperties(kind).count(&property(name)), expected.count(kind))
          << name << " in step " << static_cast<int>(kind);
    }
  }
  for (const PropertyClass* entry : system.general().properties) {
    for (const BuildKind kind : kinds) {
      EXPECT_EQ(system.buildStepProperties(kind).count(entry), 0u) << entry->name();
    }
  }
  EXPECT_TRUE(system.buildStepProperties(Stage).empty());
}

TEST_F(GeneralCatalogueTest, TypeEnumerationsOfferTheTypeLists) {
  EXPECT_EQ(property("project_type").values(), projectTypes());
  EXPECT_EQ(projectTypes(), (Strings{"Executable", "Library", "Object file", "Staging", "Combining",
                                     "Externally Built Executable"}));
  EXPECT_EQ(property("project_type").defaultValue(), "Executable");
  EXPECT_EQ(property("project_type").description(),
            "Specifies the type of project to build. The options are <b>Executable, Library, Object file, "
            "Staging, Combining, Externally Built Executable</b>.");
  Strings fileTypeValues = {"Default"};
  fileTypeValues.insert(fileTypeValues.end(), fileTypes().begin(), fileTypes().end());
  EXPECT_EQ(property("file_type").legalValues(), fileTypeValues);

  const PropertyClass& codec = property("file_codec");
  ASSERT_EQ(codec.values().size(), codec.valueGroups().size());
  EXPECT_EQ(codec.values().front(), "Default");
  EXPECT_EQ(codec.valueGroups().front(), "Common");
  EXPECT_EQ(codec.defaultValue(), "Default");
}

// The other defaults commands rely on show in the exact argument lists of
// the build tests.
TEST_F(GeneralCatalogueTest, DefaultsThatCommandsAndDirectoriesRelyOn) {
  const std::pair<const char*, const char*> cases[] = {
      {"build_intermediate_directory", "$(ProjectName) $(Configuration)"}, {"pre_build_command_wd", "$(ProjectDir)"},
      {"pre_build_command_control", "Build Required"}, {"linker_printf_fp_enabled", "Double"},
      {"build_toolchain_directory", "$(StudioDir)"}, {"linker_keep_symbols", ""},
  };
  ProjectElement& file = system.addChild(*project, std::make_unique<ProjectElement>("file"));
  for (const auto& [name, expected] : cases) {
    EXPECT_EQ(system.lookUp(&file, name, "Release"), expected) << name;
  }
  EXPECT_EQ(property("pre_build_command").type(), PropertyType::Command);
  EXPECT_EQ(propertyTypeName(static_cast<int32_t>(property("pre_build_command").type())), "Unknown");
}

}  // namespace
}  // namespace tidewater
