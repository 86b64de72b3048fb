// regwright: prints the resolved register model of a memory map or SVD file.
//
//   regwright [-macros TEXT] [-preprocess] [-cortex-m] FILE
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>

#include "base/h_exception.h"
#include "macro/macro_table.h"
#include "macro/system_macros.h"
#include "register_model.h"

namespace {

constexpr const char* kUsage = "Usage: regwright [-macros TEXT] [-preprocess] [-cortex-m] FILE\n";

int usageError() {
  std::fputs(kUsage, stderr);
  return 1;
}

int run(int argc, char** argv) {
  tidewater::MacroTable macros;
  tidewater::defineSystemMacros(macros, argc > 0 ? argv[0] : nullptr);
  tidewater::RegisterModelOptions options;
  std::string file;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "-h" || argument == "-help" || argument == "--help") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (argument == "-macros") {
      if (++i == argc) return usageError();
      options.macros = argv[i];
    } else if (argument == "-preprocess") {
      options.preprocess = true;
    } else if (argument == "-cortex-m") {
      options.cortexM = true;
    } else if (argument.starts_with('-') || !file.empty()) {
      return usageError();
    } else {
      file = argument;
    }
  }
  if (file.empty()) return usageError();

  std::string error;
  std::unique_ptr<tidewater::MemoryMap> map = tidewater::loadRegisterModel(file, options, macros, error);
  if (!map) throw tidewater::HException(error);
  const bool written = tidewater::writeRegisterModel(*map, stdout);
  // The model goes with the process: taking it apart node by node would only
  // cost time. A global keeps it reachable, so leak checkers stay quiet.
  static tidewater::MemoryMap* const leftToExit = map.release();
  static_cast<void>(leftToExit);
  if (!written) throw tidewater::HException("couldn't write the output");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return run(argc, argv);
  } catch (const tidewater::HException& error) {
    std::fprintf(stderr, "regwright: %s: %s\n", error.heading(), error.what());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "regwright: error: %s\n", error.what());
  }
  return 1;
}
