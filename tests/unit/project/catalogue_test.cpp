#include "arm_project_fixture.h"
#include "project/arm_library_extension.h"

namespace tidewater {
namespace {

using Strings = std::vector<std::string>;

class CatalogueTest : public test::ARMProjectTest {
 protected:
  const PropertyClass& property(const std::string& name) const {
    const PropertyClass* found = system.catalogue().find(name);
    EXPECT_NE(found, nullptr) << name;
    return *found;
  }
};

TEST_F(CatalogueTest, NamesTakenOverByALaterRegistrationStayReachableByReference) {
  const GeneralCatalogue& general = system.general();
  const PropertyClass& executable = *general.executableOutputFileName;
  const PropertyClass& library = *general.libraryOutputFileName;
  ASSERT_NE(&executable, &library);
  EXPECT_EQ(system.catalogue().find("build_output_file_name"), &library);
  // Two defaults, one stored value.
  EXPECT_EQ(system.lookUp(project, executable, "Common"), "$(OutDir)/$(ProjectName)$(EXE)");
  EXPECT_EQ(system.lookUp(project, library, "Common"), "$(OutDir)/$(ProjectName)$(LIB)");
  system.write(*project, library, "Common", "out/libapp.a");
  EXPECT_EQ(system.lookUp(project, executable, "Common"), "out/libapp.a");

  ASSERT_NE(general.folderFilter, general.dynamicFolderFilter);
  EXPECT_EQ(system.catalogue().find("filter"), general.dynamicFolderFilter);

  const PropertyClass& userMode = *system.arm().armLinkerStackSize;
  const PropertyClass& main = *system.arm().armLinkerMainStackSize;
  ASSERT_NE(&userMode, &main);
  EXPECT_EQ(system.catalogue().find("arm_linker_stack_size"), &main);
  EXPECT_TRUE(system.buildStepProperties(BuildKind::Link).count(&userMode));
  set("arm_linker_stack_size", "2048");
  EXPECT_EQ(system.lookUp(project, userMode, "Common"), "2048");
  EXPECT_EQ(system.lookUp(project, "no_such_property", "Common"), "");
}

TEST_F(CatalogueTest, MacroDescriptionsNameTheMacroAndAreFoundByIt) {
  const LayerCatalogue* layers[] = {&system.general(), &system.standard(), &system.gcc(), &system.arm()};
  for (const LayerCatalogue* layer : layers) {
    for (const MacroPropertyClass* macro : layer->macroDescriptions) {
      const std::string name = "$(" + std::string(macro->macroName()) + ")";
      EXPECT_EQ(macro->name(), name);
      EXPECT_EQ(macro->displayName(), name);
      EXPECT_EQ(std::string(macro->category()) + "/" + std::string(macro->group()),
                "(Build Macro Values)/Properties") << name;
      EXPECT_FALSE(macro->description().empty()) << name;
      EXPECT_EQ(system.catalogue().find(macro->name()), macro);
    }
  }
  EXPECT_NE(system.catalogue().find("$(Objects)"), nullptr);
}

TEST_F(CatalogueTest, StepSetsHoldThePropertiesThatOutdateEachStep) {
  using enum BuildKind;
  const std::tuple<const char*, std::set<BuildKind>> cases[] = {
      {"c_preprocessor_definitions", {CompileC, CompileCpp, Assemble}}, {"cpp_enable_rtti", {CompileCpp}},
      {"build_remove_unused_symbols", {CompileC, CompileCpp, Link}}, {"archive_post_build_command", {Archive}},
      {"gcc_c_language_standard", {CompileC}}, {"arm_linker_variant", {}}, {"arm_library_architecture", {Link}},
      {"arm_supply_absolute_file_path", {CompileC, CompileCpp, Assemble}},
  };
  const BuildKind kinds[] = {CompileC, CompileCpp, Assemble, Link, Archive, Stage, Combine};
  for (const auto& [name, expected] : cases) {
    for (const BuildKind kind : kinds) {
      EXPECT_EQ(system.buildStepProperties(kind).count(&property(name)), expected.count(kind))
          << name << " in step " << static_cast<int>(kind);
    }
  }
  // Node settings and debugger settings outdate no step.
  std::vector<const PropertyClass*> unbuilt = system.general().properties;
  for (const PropertyClass* entry : system.arm().properties) {
    if (entry->group() == "Debug") unbuilt.push_back(entry);
  }
  for (const PropertyClass* entry : unbuilt) {
    for (const BuildKind kind : kinds) EXPECT_EQ(system.buildStepProperties(kind).count(entry), 0u) << entry->name();
  }
}

TEST_F(CatalogueTest, ValueListsAreDerivedFromTheTypeTables) {
  EXPECT_EQ(property("project_type").description(),
            "Specifies the type of project to build. The options are <b>Executable, Library, Object file, "
            "Staging, Combining, Externally Built Executable</b>.");
  EXPECT_EQ(property("file_type").legalValues().front(), "Default");
  EXPECT_EQ(property("file_codec").valueGroups().front(), "Common");
  EXPECT_EQ(property("file_codec").legalValues().at(1), "UTF-8");
  Strings libraryArchitectures = property("arm_architecture").legalValues();
  libraryArchitectures.push_back("Default");
  EXPECT_EQ(property("arm_library_architecture").legalValues(), libraryArchitectures);
}

TEST_F(CatalogueTest, ToolchainMacrosFollowTheInstallationAndTheProcessorProperties) {
  macros.registerSystemMacro("StudioDir", "/opt/tw", "");
  ProjectElement* file = &addFile("src/main.c");
  EXPECT_EQ(system.expandForNode(file, "Common", "$(OBJ) $(EXE) $(LIB)"), ".o .elf .a");
  for (ProjectElement* node : {solution, project, file, static_cast<ProjectElement*>(nullptr)}) {
    EXPECT_EQ(system.nodeMacroMap(node, "Debug").at("ToolChainDir"), "/opt/tw/gcc/arm-none-eabi/bin");
  }
  EXPECT_EQ(AmbervaleGCCProjectSystem(macros, "", {}, true).toolDirectory(), "$(ARMGCCDIR)");

  const char* target = "$(GCCTarget) $(CoreType) $(Arch) $(Endian) $(FPU) $(FPU2) $(FPU3) $(FPABI) $(LibExt)";
  EXPECT_EQ(system.expandForNode(file, "Common", target),
            "arm-none-eabi none v4t little none none none Soft _v4t_a_le_eabi");

  // The library instruction set counts only for executables.
  const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
      {"Executable", "Thumb", "ARM", "_v4t_a_le_eabi"}, {"Library", "Thumb", "ARM", "_v4t_t_le_eabi"},
      {"Executable", "ARM", "Thumb", "_v4t_t_le_eabi"}};
  for (const auto& [type, instructionSet, libraryInstructionSet, expected] : cases) {
    set("project_type", type);
    set("arm_instruction_set", instructionSet);
    set("arm_library_instruction_set", libraryInstructionSet);
    EXPECT_EQ(system.nodeMacroMap(project, "Common").at("LibExt"), expected) << type << " " << instructionSet;
  }

  const std::pair<const char*, const char*> cortexM4[] = {{"arm_core_type", "Cortex-M4"}, {"arm_architecture", "v7EM"},
      {"arm_fp_abi", "Hard"}, {"arm_fpu_type", "FPv4-SP-D16"}, {"arm_endian", "Big"}};
  for (const auto& [name, value] : cortexM4) set(name, value);
  EXPECT_EQ(system.expandForNode(file, "Common", target),
            "arm-none-eabi cortex-m4 v7em big fpv4-sp-d16 fpv4_sp_d16 fpv4spd16 Hard _v7em_fpv4_sp_d16_hard_t_be_eabi");
  EXPECT_EQ(system.expandForNode(file, "Common", "$(StudioDir)/lib/libc$(LibExt).a"),
            "/opt/tw/lib/libc_v7em_fpv4_sp_d16_hard_t_be_eabi.a");
}

TEST(ARMLibraryExtensionTest, NamesTheLibraryVariantOfATarget) {
  const std::pair<ARMLibraryTarget, const char*> cases[] = {
      {{.interwork = "No"}, "_v4_a_le_eabi"}, {{.architecture = Architecture::v5TE}, "_v5te_a_le_eabi"},
      {{.architecture = Architecture::v6M}, "_v6m_t_le_eabi"}, {{.architecture = Architecture::v8M_Baseline}, "_v8mbl_t_le_eabi"},
      {{.core = Core::CortexM3}, "_v7m_t_le_eabi"},
      {{.core = Core::CortexM3, .libraryArchitecture = Architecture::v6}, "_v6_a_le_eabi"},
      {{.architecture = Architecture::v7R, .divideInstructions = "Yes"}, "_v7r_idiv_a_le_eabi"},
      {{.architecture = Architecture::v7R, .divideInstructions = "Yes", .instructionSet = "Thumb"}, "_v7r_t_le_eabi"},
      {{.core = Core::CortexA9, .divideInstructions = "Yes"}, "_v7a_idiv_a_le_eabi"},
      {{.fpABI = "SoftFP", .fpu = FPU::VFP9}, "_v4t_vfp_a_le_eabi"}, {{.fpu = FPU::VFPv3_D16}, "_v4t_a_le_eabi"},
      {{.core = Core::CortexM7, .fpABI = "Hard", .fpu = FPU::FPv5_D16}, "_v7em_fpv5_d16_hard_t_le_eabi"},
      {{.libraryOptimization = "Small", .wcharSize = "16-Bit", .shortEnum = "Int Size"},
       "_v4t_a_le_eabi_small_swc_ienum"},
  };
  for (const auto& [target, expected] : cases) EXPECT_EQ(armLibraryExtension(target), expected) << expected;
}

TEST(CortexMOnlyCatalogueTest, OffersOnlyCortexMTargets) {
  MacroTable macros;
  ARMProjectSystem system(macros, "", {}, true);
  const ARMCatalogue& arm = system.arm();
  EXPECT_EQ(arm.armInstructionSet->defaultValue(), "Thumb");
  EXPECT_EQ(arm.armArchitecture->defaultValue(), "v7M");
  EXPECT_EQ(arm.armArchitecture->values(), (Strings{"v6M", "v7M", "v7EM", "v8M_Baseline", "v8M_Mainline"}));
  for (const std::string& core : arm.armCoreType->values()) {
    EXPECT_TRUE(isCortexM(coreNamed(core).value_or(Core::None), std::nullopt) || core == "None") << core;
  }
  EXPECT_EQ(arm.armFpuType->values(), (Strings{"FPv4-SP-D16", "FPv5-SP-D16", "FPv5-D16", "None"}));
}

}  // namespace
}  // namespace tidewater
