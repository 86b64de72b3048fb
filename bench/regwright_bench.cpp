// regwright's whole import of a register description (parse, conversion,
// address resolution and the model printed to /dev/null) against
// libxml2's xmllint merely parsing the same file, and, where it is
// installed, pugixml parsing it. Every side handles the file the same number
// of times (xmllint in one process with --repeat, which parses 100 times), so
// xmllint's start-up is spread over 100 parses. The rounds alternate the
// sides and each side counts its fastest round, so that other work on the
// machine weighs as little as it can on any. Unlike regwright itself, each
// import here takes its model apart again.
//
//   bench_regwright [file] [rounds]
//   bench_regwright --imports N [file]   N imports and nothing else, for
//                                        counting instructions (bench/count_instructions)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "pugixml_reference.h"
#include "register_model.h"
#include "xmllint_reference.h"

namespace {

constexpr int kImportsPerRound = tidewater::bench::kXmllintRepeat;

using tidewater::bench::runXmllint;

/// The model of "path" as regwright loads it; null on failure.
std::unique_ptr<tidewater::MemoryMap> loadModel(const std::string& path) {
  std::ostringstream warnings;
  std::string error;
  // The map keeps a reference to its macro table; regwright's lives as long.
  static const tidewater::MacroTable macros;
  return tidewater::loadRegisterModel(path, tidewater::RegisterModelOptions{.cortexM = true}, macros,
                                      error, &warnings);
}

/// One import as regwright does it, printed to "out"; false on failure.
bool importOnce(const std::string& path, std::FILE* out) {
  const std::unique_ptr<tidewater::MemoryMap> map = loadModel(path);
  return map && tidewater::writeRegisterModel(*map, out);
}

/// The length of the printed model; 0 when the file does not import.
size_t printedLength(const std::string& path) {
  const std::unique_ptr<tidewater::MemoryMap> map = loadModel(path);
  return map ? tidewater::registerModelText(*map).size() : 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::FILE* out = std::fopen("/dev/null", "wb");
  if (!out) {
    std::fprintf(stderr, "bench_regwright: cannot open /dev/null\n");
    return 1;
  }
  if (argc > 2 && std::string(argv[1]) == "--imports") {
    const std::string path = argc > 3 ? argv[3] : TW_BENCH_DEFAULT_FILE;
    bool ok = true;
    for (int i = std::atoi(argv[2]); i > 0; --i) ok = importOnce(path, out) && ok;
    return ok ? 0 : 1;
  }
  const std::string path = argc > 1 ? argv[1] : TW_BENCH_DEFAULT_FILE;
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  const size_t printed = printedLength(path);
  if (printed == 0) {
    std::fprintf(stderr, "bench_regwright: cannot import %s\n", path.c_str());
    return 1;
  }

  bool ok = true;
  bool pugixmlOk = tidewater::bench::kHavePugixml;
  const auto [ours, xmllint, pugixml] = tidewater::bench::fastestRounds(
      rounds, [&] { for (int i = 0; i < kImportsPerRound; ++i) ok = importOnce(path, out) && ok; },
      [&] { ok = runXmllint(path) && ok; },
      [&] {
        for (int i = 0; pugixmlOk && i < kImportsPerRound; ++i) pugixmlOk = tidewater::bench::runPugixml(path);
      });
  if (!ok) {
    std::fprintf(stderr, "bench_regwright: an import failed (is xmllint installed?)\n");
    return 1;
  }
  const double imports = kImportsPerRound;
  std::printf("register model import of %s (fastest of %d rounds of %d imports, %.1f MB printed each)\n",
              path.c_str(), rounds, kImportsPerRound, static_cast<double>(printed) / 1e6);
  std::printf("  ours (load, convert, resolve, print): %8.2f ms\n", ours / imports * 1e3);
  std::printf("  xmllint --noout (parse only):         %8.2f ms   ours / xmllint: %.2f (goal at most 0.80)\n",
              xmllint / imports * 1e3, ours / xmllint);
  if (pugixmlOk) {
    std::printf("  pugixml load_file (parse only):       %8.2f ms   ours / pugixml: %.2f\n",
                pugixml / imports * 1e3, ours / pugixml);
  } else {
    std::printf("  pugixml: not measured (%s)\n",
                tidewater::bench::kHavePugixml ? "its parse failed" : "not installed");
  }
  return 0;
}
