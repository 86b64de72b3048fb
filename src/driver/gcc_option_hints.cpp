// Hints for users who arrive with a GNU compiler driver's options: each row
// pairs a common GNU spelling with what does the same job here.
#include "driver/gcc_option_hints.h"

#include <optional>
#include <string>

#include "target/arm_targets.h"

namespace tidewater {

namespace {

enum class Match {
  Exact,
  Prefix,  ///< the option and a value in one argument ("-mcpu=cortex-m4")
};

struct GccOptionHint {
  std::string_view spelling;
  Match match;
  /// What to use instead; "{}" stands for the value given with a prefix row,
  /// "{arch}" for that value as an architecture name of this driver.
  std::string_view use;
};

constexpr GccOptionHint kHints[] = {
    {"-mcpu=", Match::Prefix, "-cpu={} (-cpu=list shows the cores)"},
    {"-march=", Match::Prefix, "-arch={arch} (-arch=list shows the architectures)"},
    {"-mfpu=", Match::Prefix, "-fpu={} (-fpu=list shows the FPUs)"},
    {"-mfloat-abi=", Match::Prefix, "-fpabi={}"},
    {"-mthumb", Match::Exact, "-thumb"},
    {"-mbig-endian", Match::Exact, "-be"},
    {"-mlong-calls", Match::Exact, "-longcalls"},
    {"-Wall", Match::Exact, "-Wc,-Wall, which passes it on to the compiler"},
    {"-Wextra", Match::Exact, "-Wc,-Wextra, which passes it on to the compiler"},
    {"-Werror", Match::Exact, "-we"},
    {"-MMD", Match::Exact, "-depend <file>, which writes a compile's make-style dependency file"},
    {"-MD", Match::Exact, "-depend <file>, which writes a compile's make-style dependency file"},
    {"-MF", Match::Exact, "-depend <file>"},
    {"-ffunction-sections", Match::Exact, "nothing: compiles give each function a section of its own by default"},
    {"-fdata-sections", Match::Exact, "nothing: compiles give each object a section of its own by default"},
    {"-fexceptions", Match::Exact, "-exceptions"},
    {"-frtti", Match::Exact, "-rtti"},
    {"-fcommon", Match::Exact, "-common"},
    {"-fno-omit-frame-pointer", Match::Exact, "-framepointer"},
    {"-S", Match::Exact, "-kasm, which keeps the assembly file beside the object"},
    {"-save-temps", Match::Exact, "-kasm -kpp"},
    {"-nostdlib", Match::Exact, "-l-"},
    {"-lm", Match::Exact, "nothing: links include the math library by default"},
    {"-lc", Match::Exact, "nothing: links include the C library by default"},
    {"-l", Match::Prefix, "the library's file name among the inputs (lib{}.a)"},
    {"--version", Match::Exact, "-help, whose first line names the release"},
    {"--help", Match::Exact, "-help"},
};

// "armv7e-m" is written "v7EM" here: the target table knows both names.
std::string driverArchitecture(std::string_view gnuName) {
  const std::optional<Architecture> architecture = architectureOfGnuName(gnuName);
  return architecture ? std::string(info(*architecture).name) : "<architecture>";
}

std::string filledIn(std::string_view use, std::string_view value) {
  std::string text(use);
  if (const size_t at = text.find("{arch}"); at != std::string::npos) {
    text.replace(at, 6, driverArchitecture(value));
  }
  if (const size_t at = text.find("{}"); at != std::string::npos) text.replace(at, 2, value);
  return text;
}

}  // namespace

std::string gccOptionHint(std::string_view option) {
  for (const GccOptionHint& hint : kHints) {
    const bool matches = hint.match == Match::Exact
                             ? option == hint.spelling
                             : option.starts_with(hint.spelling) && option.size() > hint.spelling.size();
    if (matches) {
      return "for " + std::string(option) + " use " + filledIn(hint.use, option.substr(hint.spelling.size()));
    }
  }
  return {};
}

}  // namespace tidewater
