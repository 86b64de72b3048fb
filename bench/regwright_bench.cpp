// regwright's whole import of a register description (parse, conversion,
// address resolution and the printed model, kept in a string) against
// libxml2's xmllint merely parsing the same file. Both sides handle the file
// the same number of times (xmllint in one process with --repeat, which
// parses 100 times), so xmllint's start-up is spread over 100 parses. The
// rounds alternate the two sides and each side counts its fastest round, so
// that other work on the machine weighs as little as it can on either.
//
//   bench_regwright [file] [rounds]
//   bench_regwright --imports N [file]   N imports and nothing else, for
//                                        counting instructions (bench/count_instructions)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "register_model.h"
#include "xmllint_reference.h"

namespace {

constexpr int kImportsPerRound = tidewater::bench::kXmllintRepeat;

using tidewater::bench::runXmllint;

/// One import as regwright does it; the length of the printed model, 0 on failure.
size_t importOnce(const std::string& path) {
  std::ostringstream warnings;
  std::string error;
  std::unique_ptr<tidewater::MemoryMap> map =
      tidewater::loadRegisterModel(path, tidewater::RegisterModelOptions{.cortexM = true}, error,
                                   &warnings);
  return map ? tidewater::registerModelText(*map).size() : 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2 && std::string(argv[1]) == "--imports") {
    const std::string path = argc > 3 ? argv[3] : TW_BENCH_DEFAULT_FILE;
    bool ok = true;
    for (int i = std::atoi(argv[2]); i > 0; --i) ok = importOnce(path) != 0 && ok;
    return ok ? 0 : 1;
  }
  const std::string path = argc > 1 ? argv[1] : TW_BENCH_DEFAULT_FILE;
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  const size_t printed = importOnce(path);
  if (printed == 0) {
    std::fprintf(stderr, "bench_regwright: cannot import %s\n", path.c_str());
    return 1;
  }

  bool ok = true;
  const auto [ours, reference] = tidewater::bench::fastestRounds(
      rounds, [&] { for (int i = 0; i < kImportsPerRound; ++i) ok = importOnce(path) == printed && ok; },
      [&] { ok = runXmllint(path) && ok; });
  if (!ok) {
    std::fprintf(stderr, "bench_regwright: an import failed (is xmllint installed?)\n");
    return 1;
  }
  const double imports = kImportsPerRound;
  std::printf("register model import of %s (fastest of %d rounds of %d imports, %.1f MB printed each)\n",
              path.c_str(), rounds, kImportsPerRound, static_cast<double>(printed) / 1e6);
  std::printf("  ours (load, convert, resolve, print): %8.2f ms\n", ours / imports * 1e3);
  std::printf("  xmllint --noout (parse only):         %8.2f ms\n", reference / imports * 1e3);
  std::printf("  ratio: %.2f (xmllint / ours, higher is faster; goal above 1)\n", reference / ours);
  return 0;
}
