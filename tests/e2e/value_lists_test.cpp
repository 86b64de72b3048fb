// "list" values of the installed driver: each prints the legal values of
// its property, comma-separated between newlines, on standard error, and
// ends the run with status 0 without building anything.
#include <gtest/gtest.h>

#include "support/run_program.h"
#include "support/temp_dir.h"

namespace tidewater {
namespace {

TEST(ValueListsTest, ListOptionsPrintTheLegalValuesAndExitZero) {
  const std::pair<const char*, const char*> cases[] = {
      {"-arch=list", "\nv4T, v5TE, v6, v6M, v7M, v7EM, v7R, v7A, v8M_Baseline, v8M_Mainline\n"},
      {"-cpu=list",
       "\nARM7TDMI, ARM7TDMI-S, ARM720T, ARM920T, ARM946E-S, ARM966E-S, ARM968E-S, ARM926EJ-S, "
       "ARM1136J-S, ARM1136JF-S, ARM1176JZ-S, ARM1176JZF-S, Cortex-M0, Cortex-M0+, Cortex-M1, "
       "Cortex-M23, Cortex-M3, Cortex-M33, Cortex-M4, Cortex-M7, Cortex-R4, Cortex-R4F, Cortex-R5, "
       "Cortex-A5, Cortex-A7, Cortex-A8, Cortex-A9, XScale, None\n"},
      {"-fpu=list",
       "\nVFP, VFP9, VFPv3-D32, VFPv3-D16, VFPv4-D32, VFPv4-D16, FPv4-SP-D16, FPv5-SP-D16, FPv5-D16, None\n"},
      {"-std=list",
       "\nc89, c90, c99, c11, gnu89, gnu90, gnu99, gnu11\n"
       "\nc++98, c++11, c++14, c++1y, gnu++98, gnu++11, gnu++14, gnu++1y\n"},
      {"-codec=list",
       "\nDefault, UTF-8, ISO-8859-1, ISO-8859-2, ISO-8859-3, ISO-8859-4, ISO-8859-5, ISO-8859-6, "
       "ISO-8859-7, ISO-8859-8, ISO-8859-9, ISO-8859-10, ISO-8859-13, ISO-8859-14, ISO-8859-15, "
       "ISO-8859-16, CP 850, CP 866, CP 874, CP 1250, CP 1251, CP 1252, CP 1253, CP 1254, CP 1255, "
       "CP 1256, CP 1257, CP 1258, BIG-5, BIG5-HKSCS, EUC-JP, EUC-KR, GB2312, GBK, GB18030, "
       "ISO-2022-JP, Shift-JIS, TSCII, KOI8-R, KOI8-U, TIS-620, UTF-16, Apple Roman, HP-Roman8\n"},
  };
  test::TempDir dir;
  for (const auto& [option, expected] : cases) {
    // Errors counted before the list do not change its status; nothing
    // after it is examined.
    const auto result = test::runDriver({"-bogus", option, "-alsobogus"}, dir.path());
    EXPECT_EQ(result.exitStatus, 0) << option;
    EXPECT_EQ(result.standardError, std::string("cc: error: unrecognised option -bogus\n") + expected)
        << option;
    EXPECT_EQ(result.standardOutput, "") << option;
  }
}

TEST(ValueListsTest, ARejectedValueNamesEveryChoiceAndFailsAfterParsing) {
  test::TempDir dir;
  const auto result = test::runDriver({"-c", "-fpu=vfp4", "-fpabi=hard", "-std=c17"}, dir.path());
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.standardError,
            "cc: error: vfp4 unsupported - choose from:\nVFP\nVFP9\nVFPv3-D32\nVFPv3-D16\nVFPv4-D32\n"
            "VFPv4-D16\nFPv4-SP-D16\nFPv5-SP-D16\nFPv5-D16\nNone\n"
            "cc: error: c17 unsupported - choose from:\nc89\nc90\nc99\nc11\ngnu89\ngnu90\ngnu99\ngnu11\n");
}

TEST(ValueListsTest, ShippedTemplatesApplyAndUnknownOnesAreReported) {
  test::TempDir dir;
  EXPECT_EQ(test::runDriver({"-c", "-ycortex_m4f"}, dir.path()).exitStatus, 0);
  const auto unknown = test::runDriver({"-c", "-ycortex_m99"}, dir.path());
  EXPECT_EQ(unknown.exitStatus, 1);
  EXPECT_EQ(unknown.standardError, "cc: error: cortex_m99 can't find template\n");
}

}  // namespace
}  // namespace tidewater
