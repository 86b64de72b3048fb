// Feeds arbitrary bytes to the driver's option parser, once as the content
// of an indirect file and once as command-line text. "@" and "-inputfiles"
// may name files; every "/" is turned into "_" so that they can only reach
// the small sandbox directory made here (which holds a file naming itself).
// The target changes into that directory, so give libFuzzer absolute corpus
// paths.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "fuzz_scratch.h"
#include "base/solution_load_error.h"
#include "driver/kilnmark_arg_parse.h"
#include "project/arm_project_system.h"

namespace {

void enterSandbox() {
  tidewater::fuzz::enterScratchDirectory("/tmp/tw-fuzz-XXXXXX");
  std::ofstream("self") << "@self\n";
  std::ofstream("args") << "-c -o out.elf \"a b\" -xc a.c\n# comment\n@self\n";
  std::ofstream("list") << "x.c\ny.s\n";
  mkdir("templates", 0755);
  std::ofstream("templates/t.xml") << "<projects><project name=\"m3\" type=\"Library\">"
                                      "<property name=\"arm_core_type\" value=\"Cortex-M3\"/>"
                                      "<folder Name=\"f\"><file file_name=\"a.c\"/></folder>"
                                      "</project></projects>\n";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool ready = (enterSandbox(), true);
  (void)ready;

  std::string text = tidewater::fuzz::confinedText(data, size);

  std::ostringstream sink;
  tidewater::ErrorReporter reporter("cc", sink);
  static tidewater::MacroTable macros;
  tidewater::ARMProjectSystem system(macros, "", {});
  tidewater::ProjectElement& solution = system.newSolution("", "/fuzz");
  tidewater::ProjectElement& project = system.newProject(solution, "", "/fuzz", "");
  tidewater::KilnmarkArgParse parser(reporter, system, project, "templates/*.xml");
  try {
    if (std::FILE* file = fmemopen(text.data(), text.size() + (text.empty() ? 1 : 0), "r")) {
      parser.parseLines(file, "fuzz", 1);
      std::fclose(file);
    }
    parser.parseString(text, 1);
  } catch (const tidewater::SolutionLoadError&) {
  }
  if (parser.nestingDepth() != 0) std::abort();
  return 0;
}
