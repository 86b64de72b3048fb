// Installed as llvm/bin/clang. The compile and assemble lists run Clang's
// -cc1 and -cc1as directly, without its driver, and some of their names are
// older than the Clang found at configure time: this starts that Clang with
// each such name translated in place, and with what its driver adds for a
// bare-metal ARM target that objects and headers depend on. It runs for
// every compile and assemble, so it does no more than one pass and one exec.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <vector>

#include "section_renamings.h"

namespace {

bool equal(const char* left, const char* right) { return std::strcmp(left, right) == 0; }

// The FPU. "+d16" (16 double registers) and "+fp-only-sp" (no double
// precision) are names this Clang does not know: it ignores them with a
// warning and emits double-precision instructions a single-precision FPU
// lacks. It names each restricted FPU as a feature of its own (vfp4d16sp,
// ...), and its driver switches every FPU feature on or off, so that the
// target CPU's default FPU (a Cortex-M7's double-precision one, say) adds
// nothing to the chosen one, in the compiler's macros (__ARM_FP) as in its
// code. The base feature of a list (+vfp4, ...) is replaced by that set.
// A list with no FPU feature is for no FPU (a soft-float build): it gets
// every FPU feature switched off, as the driver does, or Clang would define
// __ARM_FP and write FPU build attributes for the CPU's default FPU.
enum Registers { kD32, kD16, kD16SinglePrecision };  // ever fewer

struct FPUFeature {
  const char* on;
  const char* off;
  int version;       ///< the first FPU version that has it: 20 VFPv2 .. 50 FPv5
  Registers fewest;  ///< the smallest register file it is part of
};

constexpr FPUFeature kFPUFeatures[] = {
    {"+vfp2", "-vfp2", 20, kD16},
    {"+vfp2sp", "-vfp2sp", 20, kD16SinglePrecision},
    {"+vfp3", "-vfp3", 30, kD32},
    {"+vfp3d16", "-vfp3d16", 30, kD16},
    {"+vfp3d16sp", "-vfp3d16sp", 30, kD16SinglePrecision},
    {"+vfp3sp", "-vfp3sp", 30, kD32},
    {"+fp16", "-fp16", 35, kD16SinglePrecision},
    {"+vfp4", "-vfp4", 40, kD32},
    {"+vfp4d16", "-vfp4d16", 40, kD16},
    {"+vfp4d16sp", "-vfp4d16sp", 40, kD16SinglePrecision},
    {"+vfp4sp", "-vfp4sp", 40, kD32},
    {"+fp-armv8", "-fp-armv8", 50, kD32},
    {"+fp-armv8d16", "-fp-armv8d16", 50, kD16},
    {"+fp-armv8d16sp", "-fp-armv8d16sp", 50, kD16SinglePrecision},
    {"+fp-armv8sp", "-fp-armv8sp", 50, kD32},
    {"+fullfp16", "-fullfp16", 55, kD16SinglePrecision},
    {"+fp64", "-fp64", 20, kD16},
    {"+d32", "-d32", 30, kD32},
};

/// The FPU version a base feature of the lists names, or 0.
int fpuVersion(const char* feature) {
  if (equal(feature, "+vfp2")) return 20;
  if (equal(feature, "+vfp3")) return 30;
  if (equal(feature, "+vfp4")) return 40;
  if (equal(feature, "+fp-armv8")) return 50;
  return 0;
}

void appendFeature(std::vector<const char*>& arguments, const char* feature) {
  arguments.push_back("-target-feature");
  arguments.push_back(feature);
}

// The whole FPU feature set for one version (0: no FPU) and register file;
// NEON needs all 32 double registers, so a restricted FPU never has it.
void appendFPU(std::vector<const char*>& arguments, int version, Registers registers) {
  for (const FPUFeature& feature : kFPUFeatures) {
    appendFeature(arguments, version >= feature.version && registers <= feature.fewest ? feature.on : feature.off);
  }
  appendFeature(arguments, "-neon");
  if (version == 0) appendFeature(arguments, "-fpregs");
}

/// What the list's FPU features ask for.
struct FPURequest {
  bool named = false;  ///< a base feature is there
  Registers registers = kD32;
};

FPURequest requestedFPU(int argc, char** argv) {
  FPURequest request;
  for (int i = 1; i + 1 < argc; ++i) {
    if (!equal(argv[i], "-target-feature")) continue;
    const char* feature = argv[i + 1];
    if (fpuVersion(feature) != 0) request.named = true;
    if (equal(feature, "+fp-only-sp")) request.registers = kD16SinglePrecision;
    else if (equal(feature, "+d16") && request.registers == kD32) request.registers = kD16;
  }
  return request;
}

bool contains(int argc, char** argv, const char* argument) {
  for (int i = 1; i < argc; ++i) {
    if (equal(argv[i], argument)) return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<const char*> arguments;
  arguments.reserve(static_cast<size_t>(argc) + 2 * std::size(kFPUFeatures) + 12);
  // Clang finds its resource directory from the path it is started under.
  arguments.push_back(TW_CLANG_PATH);
  const bool compiler = argc > 1 && equal(argv[1], "-cc1");
  const bool assembler = argc > 1 && equal(argv[1], "-cc1as");
  int next = 1;
  if (compiler || assembler) arguments.push_back(argv[next++]);
  if (compiler) {
    // Its driver always defines __GNUC__ (4.2.1, the version Clang claims),
    // which CMSIS headers and the C library's _ansi.h decide by.
    arguments.push_back("-fgnuc-version=4.2.1");
    // Plain char is unsigned in the ARM ABI and in the C library built by
    // the GNU compiler. "-fsigned-char", a driver name, asks for the other.
    if (!contains(argc, argv, "-fsigned-char")) arguments.push_back("-fno-signed-char");
  }
  if (assembler && !contains(argc, argv, "-arm-add-build-attributes")) {
    // Build attributes (CPU, FPU) in every object, as the GNU assembler
    // writes them: the linker picks its veneers and checks by them.
    arguments.push_back("-mllvm");
    arguments.push_back("-arm-add-build-attributes");
  }
  SectionRenamings renamings;
  std::string output;
  const FPURequest fpu = requestedFPU(argc, argv);
  if ((compiler || assembler) && !fpu.named) appendFPU(arguments, 0, kD32);
  for (; next < argc; ++next) {
    const char* argument = argv[next];
    if (equal(argument, "-target-feature") && next + 1 < argc) {
      const char* feature = argv[++next];
      const int version = fpuVersion(feature);
      if (version != 0) {
        appendFPU(arguments, version, fpu.registers);
      } else if (equal(feature, "+d16")) {  // the stale names, as this Clang spells their effect
        appendFeature(arguments, "-d32");
      } else if (equal(feature, "+fp-only-sp")) {
        appendFeature(arguments, "-fp64");
      } else {
        appendFeature(arguments, feature);
      }
      continue;
    }
    if (compiler && renamings.take(argument)) continue;
    if (equal(argument, "-o") && next + 1 < argc) output = argv[next + 1];
    // Older names of -cc1 options, and driver names that -cc1 does not know.
    if (equal(argument, "-mdisable-fp-elim")) {
      argument = "-mframe-pointer=all";
    } else if (equal(argument, "-fshort-wchar")) {
      arguments.push_back("-fwchar-type=short");
      argument = "-fno-signed-wchar";
    } else if (equal(argument, "-funsigned-char")) {
      argument = "-fno-signed-char";
    } else if (equal(argument, "-fsigned-char")) {
      continue;
    }
    arguments.push_back(argument);
  }
  arguments.push_back(nullptr);
  // -cc1 -E writes preprocessed text, which has no sections to rename.
  if (renamings.any() && !contains(argc, argv, "-E") && !output.empty()) {
    return runAndRename(TW_CLANG_PATH, arguments, output, renamings);
  }
  ::execv(TW_CLANG_PATH, const_cast<char* const*>(arguments.data()));
  std::fprintf(stderr, "clang: cannot start %s: %s\n", TW_CLANG_PATH, std::strerror(errno));
  return 127;
}
