#include "project/arm_library_extension.h"

#include <gtest/gtest.h>

namespace tidewater {
namespace {

TEST(ARMLibraryExtensionTest, NamesTheLibraryVariantOfATarget) {
  const struct {
    const char* what;
    ARMLibraryTarget target;
    const char* expected;
  } cases[] = {
      {"defaults", {}, "_v4t_a_le_eabi"},
      {"v4T without interworking", {.interwork = "No"}, "_v4_a_le_eabi"},
      {"v5TE", {.architecture = "v5TE"}, "_v5te_a_le_eabi"},
      {"v6M is Thumb", {.architecture = "v6M"}, "_v6m_t_le_eabi"},
      {"v8M mainline uses v7em", {.architecture = "v8M_Mainline"}, "_v7em_t_le_eabi"},
      {"v8M baseline", {.architecture = "v8M_Baseline"}, "_v8mbl_t_le_eabi"},
      {"core decides over architecture", {.coreType = "Cortex-M3"}, "_v7m_t_le_eabi"},
      {"library architecture decides over core", {.coreType = "Cortex-M3", .libraryArchitecture = "v6"},
       "_v6_a_le_eabi"},
      {"v7R with divide in ARM", {.architecture = "v7R", .divideInstructions = "Yes"}, "_v7r_idiv_a_le_eabi"},
      {"v7R with divide in Thumb", {.architecture = "v7R", .divideInstructions = "Yes", .instructionSet = "Thumb"},
       "_v7r_t_le_eabi"},
      {"v7A with divide", {.coreType = "Cortex-A9", .divideInstructions = "Yes"}, "_v7a_idiv_a_le_eabi"},
      {"soft FP names the FPU", {.fpABI = "SoftFP", .fpuType = "VFP9"}, "_v4t_vfp_a_le_eabi"},
      {"hard FP", {.coreType = "Cortex-M7", .fpABI = "Hard", .fpuType = "FPv5-D16"}, "_v7em_fpv5_d16_hard_t_le_eabi"},
      {"soft ABI ignores the FPU", {.fpuType = "VFPv3-D16"}, "_v4t_a_le_eabi"},
      {"BE-8", {.endian = "BE-8"}, "_v4t_a_be_eabi"},
      {"size options", {.libraryOptimization = "Small", .wcharSize = "16-Bit", .shortEnum = "Int Size"},
       "_v4t_a_le_eabi_small_swc_ienum"},
  };
  for (const auto& c : cases) EXPECT_EQ(armLibraryExtension(c.target), c.expected) << c.what;
}

TEST(ARMLibraryExtensionTest, CoresMapToTheirArchitectures) {
  const std::pair<const char*, const char*> cases[] = {
      {"ARM7TDMI", "v4T"}, {"ARM926EJ-S", "v5TE"}, {"XScale", "v5TE"}, {"ARM1176JZF-S", "v6"},
      {"Cortex-M0+", "v6M"}, {"Cortex-M23", "v8M_Baseline"}, {"Cortex-M33", "v8M_Mainline"},
      {"Cortex-M4", "v7EM"}, {"Cortex-R4F", "v7R"}, {"Cortex-A5", "v7A"}, {"None", ""}, {"cortex-m4", ""},
  };
  for (const auto& [core, architecture] : cases) EXPECT_EQ(architectureOfCore(core), architecture) << core;
  EXPECT_TRUE(isCortexMArchitecture("v8M_Baseline"));
  EXPECT_FALSE(isCortexMArchitecture("v7R"));
}

}  // namespace
}  // namespace tidewater
