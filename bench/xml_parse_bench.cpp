// Parse throughput of the XML layer against libxml2's xmllint on the same
// file, and against pugixml where it is installed. Every side reads the file
// from disk and parses it the same number of times (xmllint in one process
// with --repeat, which parses 100 times), so xmllint's start-up is spread
// over 100 parses; each side counts its fastest round.
//
//   bench_xml_parse [file] [rounds]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "pugixml_reference.h"
#include "xmllint_reference.h"
#include "xml/xml_document.h"

namespace {

constexpr int kParsesPerRound = tidewater::bench::kXmllintRepeat;

using tidewater::bench::runXmllint;

long fileSize(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return -1;
  std::fseek(file, 0, SEEK_END);
  const long size = std::ftell(file);
  std::fclose(file);
  return size;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string path = argc > 1 ? argv[1] : TW_BENCH_DEFAULT_FILE;
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  const long size = fileSize(path);
  if (size <= 0) {
    std::fprintf(stderr, "bench_xml_parse: cannot read %s\n", path.c_str());
    return 1;
  }

  bool ok = true;
  bool pugixmlOk = tidewater::bench::kHavePugixml;
  const auto [ours, xmllint, pugixml] = tidewater::bench::fastestRounds(
      rounds,
      [&] {
        for (int i = 0; i < kParsesPerRound; ++i) {
          tidewater::XMLDocument document(true);
          ok = document.load(path) && ok;
        }
      },
      [&] { ok = runXmllint(path) && ok; },
      [&] {
        for (int i = 0; pugixmlOk && i < kParsesPerRound; ++i) pugixmlOk = tidewater::bench::runPugixml(path);
      });
  if (!ok) {
    std::fprintf(stderr, "bench_xml_parse: a parse failed (is xmllint installed?)\n");
    return 1;
  }
  const double megabytes = static_cast<double>(size) * kParsesPerRound / 1e6;
  std::printf("xml parse of %s (%.1f MB, fastest of %d rounds of %d parses)\n", path.c_str(), size / 1e6,
              rounds, kParsesPerRound);
  std::printf("  ours:    %8.1f MB/s\n", megabytes / ours);
  std::printf("  xmllint: %8.1f MB/s   time ours / xmllint: %.2f (lower is faster)\n", megabytes / xmllint,
              ours / xmllint);
  if (pugixmlOk) {
    std::printf("  pugixml: %8.1f MB/s   time ours / pugixml: %.2f (lower is faster)\n", megabytes / pugixml,
                ours / pugixml);
  } else {
    std::printf("  pugixml: not measured (%s)\n",
                tidewater::bench::kHavePugixml ? "its parse failed" : "not installed");
  }
  return 0;
}
