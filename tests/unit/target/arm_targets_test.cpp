#include "target/arm_targets.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>

namespace tidewater {
namespace {

// info() indexes the rows by enum value, and readers look rows up by the
// property value: both only work if every row sits at its own index and
// every name is found again, exactly as written.
template <typename Row, typename Named>
void expectRowsIndexedAndNamedOnce(std::span<const Row> rows, Named named) {
  std::set<std::string_view> names;
  for (size_t index = 0; index < rows.size(); ++index) {
    const Row& row = rows[index];
    EXPECT_EQ(static_cast<size_t>(row.id), index) << row.name;
    EXPECT_EQ(&info(row.id), &row) << row.name;
    EXPECT_TRUE(names.insert(row.name).second) << "twice: " << row.name;
    EXPECT_EQ(named(row.name), row.id) << row.name;
    std::string lower(row.name);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_TRUE(lower == row.name || !named(lower)) << lower;
  }
}

TEST(ARMTargetsTest, EveryRowIsFoundByItsOwnNameOnly) {
  expectRowsIndexedAndNamedOnce(architectures(), architectureNamed);
  expectRowsIndexedAndNamedOnce(cores(), coreNamed);
  expectRowsIndexedAndNamedOnce(fpus(), fpuNamed);
  EXPECT_FALSE(architectureNamed("Default"));
  for (const ArchitectureInfo& row : architectures()) {
    EXPECT_EQ(architectureOfGnuName(row.gnuName), row.id) << row.gnuName;
  }
  EXPECT_FALSE(architectureOfGnuName("armv9-a"));
}

// Cortex-M is decided by the core's architecture alone; the names, the
// runtime libraries (the profile has no DCC, so no libarm) and the FPUs whose
// registers the Cortex-M groups describe must all agree with it.
TEST(ARMTargetsTest, CortexMRowsAgree) {
  for (const CoreInfo& core : cores()) {
    if (core.id == Core::None) continue;
    EXPECT_TRUE(info(core.architecture).offered) << core.name;
    const bool cortexM = isCortexM(core.id, Architecture::v4T);
    EXPECT_EQ(cortexM, core.name.starts_with("Cortex-M")) << core.name;
    EXPECT_EQ(cortexM, core.gnuName.starts_with("cortex-m")) << core.name;
    EXPECT_TRUE(!core.smallMultiplier || cortexM) << core.name;
  }
  for (const ArchitectureInfo& architecture : architectures()) {
    EXPECT_EQ(isCortexM(Core::None, architecture.id), architecture.cortexM) << architecture.name;
    EXPECT_TRUE(!architecture.cortexM || architecture.runtime != RuntimeLibrary::Arm) << architecture.name;
  }
  EXPECT_FALSE(isCortexM(Core::None, std::nullopt));
  for (const FPUInfo& fpu : fpus()) {
    // A Cortex-M FPU has no NEON, and every FPU but None has its GNU name.
    EXPECT_TRUE(!fpu.cortexM || (!fpu.neonChoice && fpu.gnuNameWithNeon.empty())) << fpu.name;
    EXPECT_EQ(fpu.id == FPU::None, fpu.gnuName.empty()) << fpu.name;
  }
}

}  // namespace
}  // namespace tidewater
