// One source compiled with the real tools for a range of targets; each
// object's ARM attributes and symbols must show the target asked for.
#include <gtest/gtest.h>

#include "support/run_program.h"
#include "support/temp_dir.h"

namespace tidewater {
namespace {

struct Target {
  std::vector<std::string> options;
  std::vector<std::string> attributes;  // lines expected in readelf -h -A
};

std::string readelf(const std::string& directory, std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "readelf");
  const auto result = test::runProgram("/usr/bin/arm-none-eabi-readelf", arguments, directory);
  EXPECT_EQ(result.exitStatus, 0) << result.standardError;
  return result.standardOutput;
}

TEST(TargetMatrixTest, EachTargetReachesTheObjectsAttributes) {
  const Target targets[] = {
      {{}, {"Tag_CPU_name: \"4T\"", "Tag_ARM_ISA_use: Yes", "little endian"}},
      {{"-cpu=Cortex-M0+", "-hassmallmultiplier"}, {"Tag_CPU_name: \"6S-M\"", "Tag_THUMB_ISA_use: Thumb-1"}},
      {{"-cpu=Cortex-M3", "-thumb"}, {"Tag_CPU_name: \"7-M\"", "Tag_THUMB_ISA_use: Thumb-2"}},
      {{"-cpu=Cortex-M4", "-fpu=FPv4-SP-D16", "-fpabi=hard"},
       {"Tag_CPU_name: \"7E-M\"", "Tag_FP_arch: VFPv4-D16", "Tag_ABI_VFP_args: VFP registers"}},
      {{"-cpu=Cortex-M33", "-hascmse"}, {"Tag_CPU_name: \"8-M.MAIN\""}},
      {{"-arch=v7A", "-be"}, {"Tag_CPU_name: \"7-A\"", "big endian"}},
      {{"-clang", "-cpu=Cortex-M3", "-thumb"}, {"Tag_CPU_name: \"cortex-m3\"", "Tag_THUMB_ISA_use: Thumb-2"}},
      {{"-clang", "-cpu=Cortex-M4", "-fpu=FPv4-SP-D16", "-fpabi=hard", "-thumb"},
       {"Tag_CPU_name: \"cortex-m4\"", "Tag_ABI_VFP_args: VFP registers"}},
  };
  for (const auto& target : targets) {
    std::string label;
    for (const auto& option : target.options) label += option + " ";
    SCOPED_TRACE(label);
    test::TempDir dir;
    dir.write("m.c", "int counter;\nint mul(int a, int b) { counter++; return a * b; }\n");
    std::vector<std::string> arguments{"-c", "m.c"};
    arguments.insert(arguments.begin() + 1, target.options.begin(), target.options.end());
    const auto result = test::runDriver(arguments, dir.path());
    ASSERT_EQ(result.exitStatus, 0) << result.standardError << result.standardOutput;
    const std::string attributes = readelf(dir.path(), {"-h", "-A", "m.o"});
    for (const auto& expected : target.attributes) {
      EXPECT_NE(attributes.find(expected), std::string::npos) << expected << "\n" << attributes;
    }
    const std::string symbols = readelf(dir.path(), {"-s", "m.o"});
    EXPECT_NE(symbols.find(" mul\n"), std::string::npos) << symbols;
    EXPECT_NE(symbols.find(" counter\n"), std::string::npos) << symbols;
  }
}

TEST(TargetMatrixTest, CppSourcesCompileWithExceptionsAndRtti) {
  test::TempDir dir;
  dir.write("shape.cpp",
            "struct Shape { virtual ~Shape() {} virtual int area() const = 0; };\n"
            "struct Square : Shape { int side; explicit Square(int s) : side(s) {}\n"
            "  int area() const { return side * side; } };\n"
            "int checked(int side) { if (side < 0) throw side; Square s(side); return s.area(); }\n");
  const auto result =
      test::runDriver({"-c", "-cpu=Cortex-M3", "-thumb", "-exceptions", "-rtti", "shape.cpp"}, dir.path());
  ASSERT_EQ(result.exitStatus, 0) << result.standardError;
  const std::string symbols = readelf(dir.path(), {"-s", "shape.o"});
  for (const char* symbol : {" _Z7checkedi\n", " __cxa_throw\n", " _ZTI6Square\n"}) {
    EXPECT_NE(symbols.find(symbol), std::string::npos) << symbol << symbols;
  }
}

}  // namespace
}  // namespace tidewater
