#include "project/arm_library_extension.h"

#include <gtest/gtest.h>

#include <functional>

namespace tidewater {
namespace {

TEST(ARMLibraryExtensionTest, NamesTheLibraryVariantOfATarget) {
  using Change = std::function<void(ARMLibraryTarget&)>;
  const std::tuple<const char*, Change, const char*> cases[] = {
      {"defaults", [](ARMLibraryTarget&) {}, "_v4t_a_le_eabi"},
      {"v4T without interworking", [](ARMLibraryTarget& t) { t.interwork = "No"; }, "_v4_a_le_eabi"},
      {"v5TE", [](ARMLibraryTarget& t) { t.architecture = "v5TE"; }, "_v5te_a_le_eabi"},
      {"v6M is Thumb", [](ARMLibraryTarget& t) { t.architecture = "v6M"; }, "_v6m_t_le_eabi"},
      {"v8M mainline uses v7em",
       [](ARMLibraryTarget& t) { t.architecture = "v8M_Mainline"; }, "_v7em_t_le_eabi"},
      {"v8M baseline", [](ARMLibraryTarget& t) { t.architecture = "v8M_Baseline"; }, "_v8mbl_t_le_eabi"},
      {"core decides over architecture",
       [](ARMLibraryTarget& t) { t.coreType = "Cortex-M3"; }, "_v7m_t_le_eabi"},
      {"library architecture decides over core",
       [](ARMLibraryTarget& t) {
         t.coreType = "Cortex-M3";
         t.libraryArchitecture = "v6";
       },
       "_v6_a_le_eabi"},
      {"v7R with divide in ARM",
       [](ARMLibraryTarget& t) {
         t.architecture = "v7R";
         t.divideInstructions = "Yes";
       },
       "_v7r_idiv_a_le_eabi"},
      {"v7R with divide in Thumb",
       [](ARMLibraryTarget& t) {
         t.architecture = "v7R";
         t.divideInstructions = "Yes";
         t.instructionSet = "Thumb";
       },
       "_v7r_t_le_eabi"},
      {"v7A with divide",
       [](ARMLibraryTarget& t) {
         t.coreType = "Cortex-A9";
         t.divideInstructions = "Yes";
       },
       "_v7a_idiv_a_le_eabi"},
      {"soft FP names the FPU",
       [](ARMLibraryTarget& t) {
         t.fpABI = "SoftFP";
         t.fpuType = "VFP9";
       },
       "_v4t_vfp_a_le_eabi"},
      {"hard FP",
       [](ARMLibraryTarget& t) {
         t.coreType = "Cortex-M7";
         t.fpABI = "Hard";
         t.fpuType = "FPv5-D16";
       },
       "_v7em_fpv5_d16_hard_t_le_eabi"},
      {"soft ABI ignores the FPU", [](ARMLibraryTarget& t) { t.fpuType = "VFPv3-D16"; }, "_v4t_a_le_eabi"},
      {"BE-8", [](ARMLibraryTarget& t) { t.endian = "BE-8"; }, "_v4t_a_be_eabi"},
      {"size options",
       [](ARMLibraryTarget& t) {
         t.libraryOptimization = "Small";
         t.wcharSize = "16-Bit";
         t.shortEnum = "Int Size";
       },
       "_v4t_a_le_eabi_small_swc_ienum"},
  };
  for (const auto& [what, change, expected] : cases) {
    ARMLibraryTarget target;
    change(target);
    EXPECT_EQ(armLibraryExtension(target), expected) << what;
  }
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
