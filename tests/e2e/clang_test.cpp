// Clang ("-clang") through the installed launchers, llvm/bin/clang and
// gcc/arm-none-eabi/bin/ld, against the real tools: the code uses the FPU
// the project names, headers see what the GNU compiler gives them, every
// option that changes the compile and assemble lists is understood. The
// firmware test runs Clang's code linked by GNU ld.
#include "e2e/e2e_fixture.h"

namespace tidewater::test {
namespace {

bool mentions(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class ClangTest : public E2ETest {
 protected:
  /// Runs cc and expects it to succeed without a name the installed Clang
  /// does not know, on either stream.
  void build(const Strings& arguments) {
    const auto result = cc(arguments);
    EXPECT_EQ(result.exitStatus, 0) << result.standardOutput << result.standardError;
    for (const char* stale : {"not a recognized feature", "unknown argument"}) {
      EXPECT_FALSE(mentions(result.standardOutput + result.standardError, stale)) << result.standardError;
    }
  }
};

// Each FPU gets exactly its instructions: a single-precision FPU none of
// double precision, whatever the core's own FPU. The C source checks
// __ARM_FP; the assembly source's object carries the FPU's attributes.
TEST_F(ClangTest, CodeUsesTheNamedFPUAndNoMore) {
  dir.write("fp.c", R"(float scale(float x, float y) { return x * y + 1.0f; }
double precise(double x, double y) { return x * y + 1.0; }
#if defined(__ARM_FP) ? __ARM_FP != EXPECTED_ARM_FP : EXPECTED_ARM_FP != 0
#error "__ARM_FP does not name the chosen FPU"
#endif
)");
  dir.write("vfp.s", R"(  .syntax unified
  .thumb
  .text
  .global twice
twice:
#ifdef __ARM_FP
  vadd.f32 s0, s0, s0
#endif
  bx lr
)");
  const struct { Strings options; bool single; bool doubles; const char* fpArchitecture; } fpus[] = {
      {{"-ymps2-an386", "-DEXPECTED_ARM_FP=0x6"}, true, false, "Tag_FP_arch: VFPv4-D16"},
      {{"-arch=v7EM", "-cpu=Cortex-M7", "-fpu=FPv5-SP-D16", "-fpabi=hard", "-DEXPECTED_ARM_FP=0x6"}, true, false,
       "Tag_FP_arch: FPv5/FP-D16 for ARMv8"},
      {{"-arch=v7EM", "-cpu=Cortex-M7", "-fpu=FPv5-D16", "-fpabi=hard", "-DEXPECTED_ARM_FP=0xe"}, true, true,
       "Tag_FP_arch: FPv5/FP-D16 for ARMv8"},
      // Soft float on a core with an FPU: no FPU at all, as with the GNU tools.
      {{"-arch=v7EM", "-cpu=Cortex-M4", "-DEXPECTED_ARM_FP=0"}, false, false, nullptr},
  };
  for (const auto& fpu : fpus) {
    SCOPED_TRACE(joined(fpu.options));
    build(Strings{"-clang", "-c"} + fpu.options + Strings{"fp.c", "vfp.s"});
    const std::string code = crossTool("objdump", {"-d", "fp.o"});
    EXPECT_EQ(mentions(code, ".f32\t"), fpu.single) << code;
    EXPECT_EQ(mentions(code, ".f64\t"), fpu.doubles) << code;
    const std::string attributes = readelf({"-A", "vfp.o"});
    EXPECT_TRUE(contains(attributes, "Tag_CPU_arch: v7E-M")) << attributes;
    EXPECT_EQ(mentions(attributes, "Tag_FP_arch:"), fpu.fpArchitecture != nullptr) << attributes;
    if (fpu.fpArchitecture) {
      EXPECT_TRUE(contains(attributes, fpu.fpArchitecture));
    }
    EXPECT_EQ(mentions(attributes, "Tag_ABI_HardFP_use: SP only"), fpu.fpArchitecture && !fpu.doubles) << attributes;
  }
}

// CMSIS headers and the C library's decide by __GNUC__, and plain char is
// unsigned as in the ARM ABI (the driver name -fsigned-char, given through
// -Wc, asks for the other); C++ includes the C library's headers.
TEST_F(ClangTest, HeadersSeeWhatTheGnuCompilerGivesThem) {
  const std::string check = R"(#ifndef __GNUC__
#error "Unknown compiler"
#endif
#if CHAR_SIGNED
_Static_assert((char)-1 < 0, "plain char is signed");
#else
_Static_assert((char)-1 > 0, "plain char is unsigned");
#endif
)";
  dir.write("c.c", "#include <stdlib.h>\n" + check + "int absolute(int x) { return abs(x); }\n");
  dir.write("l.cpp", "#include <stdlib.h>\n#include <cstdlib>\n#include <string>\n#include <vector>\n" + check +
                         "int measure(const std::vector<std::string>& words) { return std::abs(-int(words.size())) "
                         "+ atoi(\"1\"); }\n");
  for (const Strings& options : {Strings{"-DCHAR_SIGNED=0"}, Strings{"-DCHAR_SIGNED=1", "-Wc,-fsigned-char"}}) {
    SCOPED_TRACE(joined(options));
    build(Strings{"-clang", "-c", "-ymps2-an386", "-std=gnu++14"} + options + Strings{"c.c", "l.cpp"});
    EXPECT_TRUE(contains(readelf({"-s", "l.o"}), "_Z7measureRKSt6vector"));
  }
}

// One run per group of options that can go together; where an option's
// effect shows in an object, the group names the object and what shows.
TEST_F(ClangTest, EveryOptionOfTheListsIsUnderstood) {
  dir.write("c.c", R"(#include <stdlib.h>
#include <wchar.h>
#ifdef __SHORT_WCHAR
_Static_assert(sizeof(L'a') == 2 && (wchar_t)-1 > 0, "wide characters are 16-bit");
#else
_Static_assert(sizeof(L'a') == 4, "wide characters are 32-bit");
#endif
extern int callee(int);
double scale(double x, float y) { return x * y; }
int pick(int a, int b) { return callee(abs(a) / (b ? b : 1)); }
)");
  dir.write("l.cpp", R"(struct Shape { virtual ~Shape() {} virtual int sides() const = 0; };
struct Square : Shape { int sides() const { return 4; } };
int count(const Shape& shape) { return shape.sides(); }
#ifdef __EXCEPTIONS
int thrown() { try { throw 4; } catch (int sides) { return sides; } }
#endif
#ifdef __GXX_RTTI
const Square* square(const Shape* shape) { return dynamic_cast<const Square*>(shape); }
#endif
)");
  dir.write("s.s", "#ifdef __GNUC__\n  .text\n  .global bare\nbare:\n  bx lr\n#endif\n");
  const struct { Strings options; const char* object; const char* shows; } groups[] = {
      {{"-arch=v7M", "-O1", "-g1", "-framepointer", "-zgcc_dwarf_version=dwarf-2"}, "c.o", "r7, sp"},
      {{"-arch=v7M", "-O2", "-g2", "-zgcc_dwarf_version=dwarf-3", "-longcalls", "-zclang_merge_globals=Yes"},
       "c.o", "blx\tr"},
      {{"-arch=v7M", "-O3", "-g3", "-zgcc_dwarf_version=dwarf-4", "-instrument", "-zarm_math_errno=No"}, "c.o",
       "__cyg_profile_func_enter"},
      {{"-Os", "-g", "-zgcc_debugging_level=None", "-exceptions", "-rtti", "-std=c++11"}, "l.o",
       "__gxx_personality_v0"},
      {{"-Og", "-zgcc_omit_frame_pointer=Yes", "-shortwchar", "-builtins", "-common", "-w", "-v",
        "-zarm_supply_absolute_file_path=No", "-zbuild_remove_unused_symbols=No"},
       nullptr, nullptr},
      {{"-zgcc_enable_all_warnings=Yes", "-we", "-ansi", "-std=c11", "-zgcc_short_enum=Int Size", "-zgcc_no_common=No"},
       nullptr, nullptr},
      {{"-arch=v7A", "-be", "-hasidiv", "-fpu=VFPv3-D32", "-fpabi=softfp", "-zarm_advanced_SIMD_type=NEON"}, "c.o",
       "sdiv"},
      {{"-arch=v7R", "-thumb", "-fpu=VFPv3-D16", "-fpabi=hard"}, "c.o", "vmul.f64"},
      {{"-arch=v5TE", "-be8", "-fpu=VFP", "-fpabi=softfp"}, "c.o", "elf32-bigarm"},
      {{"-arch=v6M", "-cpu=Cortex-M0+", "-hassmallmultiplier"}, nullptr, nullptr},
      {{"-arch=v8M_Mainline", "-cpu=Cortex-M33", "-hascmse", "-fpu=FPv5-SP-D16", "-fpabi=hard"}, "c.o", "__aeabi_dmul"},
      {{"-arch=v8M_Baseline", "-cpu=Cortex-M23"}, nullptr, nullptr},
  };
  for (const auto& group : groups) {
    SCOPED_TRACE(joined(group.options));
    build(Strings{"-clang", "-c"} + group.options + Strings{"c.c", "l.cpp", "s.s"});
    if (group.object) {
      EXPECT_TRUE(contains(crossTool("objdump", {"-d", "-t", group.object}), group.shows));
    }
  }
  // A dependency file names one source's dependencies.
  build({"-clang", "-c", "-depend", "c.d", "-kasm", "c.c"});
  EXPECT_TRUE(contains(read("c.d"), "c.o: c.c"));
  EXPECT_TRUE(contains(read("c.asm"), "pick:"));
}

}  // namespace
}  // namespace tidewater::test
