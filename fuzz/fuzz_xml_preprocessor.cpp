// Feeds arbitrary bytes to the XML preprocessor as the main file, with a
// small fixed macro list and attribute expansion on. Include file names can
// only reach the sandbox directory made here: every "/" in the input becomes
// "_", and the target changes into that directory (which holds a file that
// includes itself twice and one with a self-putting definition), so give
// libFuzzer absolute corpus paths. The limits are lowered so that runs that
// hit a bound stay quick; the bounds themselves are the same code.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "fuzz_scratch.h"
#include "xml_preprocessor/xml_preprocessor.h"

namespace {

void enterSandbox() {
  tidewater::fuzz::enterScratchDirectory("/tmp/tw-fuzz-pp-XXXXXX");
  std::ofstream("self.xml")
      << "<a><include filename=\"self.xml\"/><include filename=\"self.xml\"/></a>";
  std::ofstream("env.xml") << "<envelope><define name=\"E\" value=\"1\"/><e v=\"$(E)$(CPU)\"/>"
                              "<xmldef name=\"D\"><d><xmlput name=\"D\"/></d></xmldef></envelope>";
  std::ofstream("empty.xml") << "";
  std::ofstream("broken.xml") << "<a></b>";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool ready = (enterSandbox(), true);
  (void)ready;

  std::string text = tidewater::fuzz::confinedText(data, size);
  const char* path = "main.xml";
  tidewater::fuzz::writeScratchFile(path, text);
  const tidewater::MacroTable macros;
  tidewater::XMLPP2 document(macros);
  tidewater::XMLPP2::Limits limits;
  limits.maxIncludes = 64;
  limits.maxLoopIterations = 4096;
  limits.maxProducedBytes = 1 << 20;
  document.setLimits(limits);
  document.load(path, "CPU=m4;N=3;LIST=a\\;b;EMPTY=", true);
  // The processed tree must still be writable.
  (void)document.writeToString(2, 80);
  return 0;
}
