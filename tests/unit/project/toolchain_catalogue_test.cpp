#include <gtest/gtest.h>

#include "project/arm_project_system.h"

namespace tidewater {
namespace {

using Strings = std::vector<std::string>;

constexpr const char* kTemplates = "$(StudioDir)/targets/$(PROJECT_TEMPLATE_FILE:project_templates).xml";

class ToolchainCatalogueTest : public ::testing::Test {
 protected:
  ToolchainCatalogueTest() {
    macros.registerSystemMacro("StudioDir", "/opt/tw", "");
    solution = &system.newSolution("", "/work/p");
    project = &system.newProject(*solution, "", "/work/p", "");
    auto created = std::make_unique<ProjectElement>("file");
    created->setFileName("src/main.c", true);
    file = &system.addChild(*project, std::move(created));
  }

  const PropertyClass& property(const std::string& name) const {
    const PropertyClass* found = system.catalogue().find(name);
    EXPECT_NE(found, nullptr) << name;
    return *found;
  }

  void set(const std::string& name, const std::string& value) {
    system.write(*project, property(name), "Common", value);
  }

  MacroTable macros;
  ARMProjectSystem system{macros, kTemplates, {}};
  ProjectElement* solution;
  ProjectElement* project;
  ProjectElement* file;
};

TEST_F(ToolchainCatalogueTest, EachToolchainLayerRegistersItsTableInOrder) {
  const std::tuple<const LayerCatalogue*, size_t, size_t, const char*, const char*> layers[] = {
      {&system.gcc(), 16, 1, "gcc_optimization_level", "linker_strip_debug_information"},
      {&system.ambervale(), 23, 0, "arm_supply_absolute_file_path", "arm_math_errno"},
      {&system.arm(), 48, 8, "arm_instruction_set", "arm_linker_no_wchar_size_warning"},
  };
  for (const auto& [layer, properties, macroDescriptions, first, last] : layers) {
    ASSERT_EQ(layer->properties.size(), properties) << first;
    EXPECT_EQ(layer->macroDescriptions.size(), macroDescriptions) << first;
    EXPECT_EQ(layer->properties.front()->name(), first);
    EXPECT_EQ(layer->properties.back()->name(), last);
  }
}

TEST_F(ToolchainCatalogueTest, ConstructorParametersReachTheGNULayer) {
  EXPECT_EQ(system.projectTemplateSearchList(), kTemplates);
  EXPECT_TRUE(system.propertyDefinitionFiles().empty());
  EXPECT_FALSE(system.cortexMOnly());
  EXPECT_EQ(system.toolPrefix(), "$(ARMGCCPREFIX)");
  EXPECT_EQ(system.toolDirectory(), "$(StudioDir)/gcc/$(GCCTarget)/bin");
  EXPECT_EQ(system.expandForNode(file, "Common", "$(OBJ) $(EXE) $(LIB)"), ".o .elf .a");

  AmbervaleGCCProjectSystem alternate(macros, "", {}, true);
  EXPECT_EQ(alternate.toolDirectory(), "$(ARMGCCDIR)");
  EXPECT_EQ(alternate.expandGlobally("$(ARMGCCDIR)"), "$(ARMGCCDIR)");
}

TEST_F(ToolchainCatalogueTest, TheToolDirectoryExpandsBelowTheInstallationForAnyNode) {
  const std::string expected = "/opt/tw/gcc/arm-none-eabi/bin";
  for (ProjectElement* node : {solution, project, file, static_cast<ProjectElement*>(nullptr)}) {
    EXPECT_EQ(system.expandForNode(node, "Common", "$(StudioDir)/gcc/$(GCCTarget)/bin"), expected);
    EXPECT_EQ(system.expandForNode(node, "Debug", system.lookUp(node, "build_toolchain_directory", "Debug")),
              expected);
    EXPECT_EQ(system.nodeMacroMap(node, "Common").at("ToolChainDir"), expected);
  }
}

// Most defaults show in the exact default compile and link lists of the
// build tests; these are the ones no default list shows.
TEST_F(ToolchainCatalogueTest, DefaultsThatNoDefaultArgumentListShows) {
  const std::pair<const char*, const char*> cases[] = {
      {"arm_linker_gap_fill", "0x00"},
      {"arm_linker_additional_output_file_gap_fill", "0x00"},
      {"arm_linker_process_stack_size", "0"},
      {"debug_ignore_debug_aranges", "No"},
  };
  for (const auto& [name, expected] : cases) EXPECT_EQ(system.lookUp(file, name, "Common"), expected) << name;
  EXPECT_EQ(property("linker_output_format").description().substr(0, 63),
            "The format used when creating an additional linked output file.");
  EXPECT_EQ(property("arm_linker_heap_size").units(), "bytes");
}

// The value lists printed by "-arch=list", "-cpu=list", "-fpu=list",
// "-std=list" and "-codec=list" are checked byte for byte end to end.
TEST_F(ToolchainCatalogueTest, EnumerationsNoListOptionPrints) {
  const std::pair<const char*, Strings> cases[] = {
      {"arm_fp_abi", {"Soft", "SoftFP", "Hard", "None"}},
      {"arm_endian", {"Little", "Big", "BE-8"}},
      {"linker_output_format", {"None", "bin", "srec", "hex"}},
      {"gcc_short_enum", {"Minimal Container Size", "Int Size"}},
      {"gcc_wchar_size", {"16-Bit", "32-Bit"}},
      {"gcc_debugging_level", {"None", "Level 1", "Level 2", "Level 3"}},
      {"gcc_optimization_level", {"None", "Debug", "Level 1", "Level 2", "Level 3", "Optimize For Size"}},
      {"arm_link_debugio_type", {"Default", "Breakpoint", "DCC", "Memory Poll"}},
      {"arm_library_optimization", {"Fast", "Small"}},
      {"linker_printf_fmt_level", {"int", "long", "long long"}},
      {"linker_printf_fp_enabled", {"No", "Float", "Double"}},
  };
  for (const auto& [name, expected] : cases) EXPECT_EQ(property(name).legalValues(), expected) << name;
  Strings libraryArchitectures = property("arm_architecture").legalValues();
  libraryArchitectures.push_back("Default");
  EXPECT_EQ(property("arm_library_architecture").legalValues(), libraryArchitectures);
}

TEST_F(ToolchainCatalogueTest, StepSetsOfTheToolchainLayers) {
  using enum BuildKind;
  const std::tuple<const char*, std::set<BuildKind>> cases[] = {
      {"gcc_c_language_standard", {CompileC}}, {"gcc_cplusplus_language_standard", {CompileCpp}},
      {"gcc_entry_point", {Link}}, {"arm_core_type", {CompileC, CompileCpp, Assemble}},
      {"arm_use_builtins", {CompileC, CompileCpp}}, {"arm_assembler_variant", {Assemble}},
      {"arm_supply_absolute_file_path", {CompileC, CompileCpp, Assemble}}, {"arm_archiver_indirect_file", {Link}},
      {"arm_linker_variant", {}}, {"arm_library_architecture", {Link}},
      {"arm_cm0_has_small_multiplier", {CompileC, CompileCpp}}, {"debug_load_sections", {}}, {"irqHandler_name", {}},
  };
  const BuildKind kinds[] = {CompileC, CompileCpp, Assemble, Link, Archive};
  for (const auto& [name, expected] : cases) {
    for (const BuildKind kind : kinds) {
      EXPECT_EQ(system.buildStepProperties(kind).count(&property(name)), expected.count(kind))
          << name << " in step " << static_cast<int>(kind);
    }
  }
  for (const PropertyClass* entry : system.arm().properties) {
    if (entry->group() != "Debug") continue;
    for (const BuildKind kind : kinds) {
      EXPECT_EQ(system.buildStepProperties(kind).count(entry), 0u) << entry->name();
    }
  }
}

TEST_F(ToolchainCatalogueTest, BothStackSizeDefinitionsAreKeptAndLinkTheProject) {
  const PropertyClass& userMode = *system.arm().armLinkerStackSize;
  const PropertyClass& main = *system.arm().armLinkerMainStackSize;
  ASSERT_NE(&userMode, &main);
  EXPECT_EQ(userMode.displayName(), "Stack Size (User/System Mode)");
  EXPECT_EQ(main.displayName(), "Main Stack Size");
  EXPECT_EQ(system.catalogue().find("arm_linker_stack_size"), &main);
  EXPECT_TRUE(system.buildStepProperties(BuildKind::Link).count(&userMode));
  EXPECT_TRUE(system.buildStepProperties(BuildKind::Link).count(&main));
  EXPECT_EQ(main.maximum(), 2147483647u);
  system.write(*project, main, "Common", "2048");
  EXPECT_EQ(system.lookUp(project, userMode, "Common"), "2048");
}

TEST_F(ToolchainCatalogueTest, TargetMacrosFollowTheProcessorProperties) {
  MacroMap map = system.nodeMacroMap(file, "Common");
  const std::pair<const char*, const char*> defaults[] = {
      {"GCCTarget", "arm-none-eabi"}, {"LibExt", "_v4t_a_le_eabi"}, {"CoreType", "none"}, {"Arch", "v4t"},
      {"Endian", "little"},           {"FPU", "none"},              {"FPABI", "Soft"},
  };
  for (const auto& [name, expected] : defaults) EXPECT_EQ(map[name], expected) << name;

  set("arm_core_type", "Cortex-M4");
  set("arm_architecture", "v7EM");
  set("arm_fp_abi", "Hard");
  set("arm_fpu_type", "FPv4-SP-D16");
  set("arm_endian", "Big");
  map = system.nodeMacroMap(file, "Common");
  const std::pair<const char*, const char*> cortexM4[] = {
      {"LibExt", "_v7em_fpv4_sp_d16_hard_t_be_eabi"}, {"CoreType", "cortex-m4"}, {"Arch", "v7em"},
      {"Endian", "big"}, {"FPU", "fpv4-sp-d16"}, {"FPU2", "fpv4_sp_d16"}, {"FPU3", "fpv4spd16"},
      {"FPABI", "Hard"},
  };
  for (const auto& [name, expected] : cortexM4) EXPECT_EQ(map[name], expected) << name;
  EXPECT_EQ(system.expandForNode(file, "Common", "$(StudioDir)/lib/libc$(LibExt).a"),
            "/opt/tw/lib/libc_v7em_fpv4_sp_d16_hard_t_be_eabi.a");
}

TEST_F(ToolchainCatalogueTest, TheLibraryInstructionSetCountsOnlyForExecutables) {
  set("project_type", "Executable");
  set("arm_instruction_set", "Thumb");
  EXPECT_EQ(system.nodeMacroMap(file, "Common").at("LibExt"), "_v4t_a_le_eabi");
  set("project_type", "Library");
  EXPECT_EQ(system.nodeMacroMap(file, "Common").at("LibExt"), "_v4t_t_le_eabi");
  set("project_type", "Executable");
  set("arm_library_instruction_set", "Thumb");
  EXPECT_EQ(system.nodeMacroMap(file, "Common").at("LibExt"), "_v4t_t_le_eabi");
}

TEST(CortexMOnlyCatalogueTest, OffersOnlyCortexMTargets) {
  MacroTable macros;
  ARMProjectSystem system(macros, "", {}, true);
  const ARMCatalogue& arm = system.arm();
  EXPECT_TRUE(system.cortexMOnly());
  EXPECT_EQ(arm.armInstructionSet->defaultValue(), "Thumb");
  EXPECT_EQ(arm.armArchitecture->defaultValue(), "v7M");
  EXPECT_EQ(arm.armArchitecture->values(), (Strings{"v6M", "v7M", "v7EM", "v8M_Baseline", "v8M_Mainline"}));
  EXPECT_EQ(arm.armCoreType->values().size(), 9u);
  EXPECT_EQ(arm.armCoreType->values().back(), "None");
  EXPECT_EQ(arm.armFpuType->values(), (Strings{"FPv4-SP-D16", "FPv5-SP-D16", "FPv5-D16", "None"}));
  EXPECT_EQ(arm.properties.size(), 48u);
}

}  // namespace
}  // namespace tidewater
