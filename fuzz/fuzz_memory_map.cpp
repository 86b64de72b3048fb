// Feeds arbitrary bytes to the memory map loader as the top file, once
// plainly and once through the preprocessor, then adds the core's register
// groups with a vector table taken from the map's Vector elements. Import
// and include names can only reach the sandbox directory made here: every
// "/" in the input becomes "_", and the target changes into that directory
// (which holds a valid part, a broken one, an empty one and one that imports
// the top file), so give libFuzzer absolute corpus paths.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "fuzz_scratch.h"
#include "macro/macro_table.h"
#include "target/cortex_m_registers.h"
#include "target/memory_map.h"

namespace {

void enterSandbox() {
  tidewater::fuzz::enterScratchDirectory("/tmp/tw-fuzz-map-XXXXXX");
  std::ofstream("part.xml") << "<Root name=\"Part\"><RegisterGroup name=\"G\" start=\"0x40000000\">"
                               "<Register name=\"R\" start=\"+4\" size=\"4\"><BitField name=\"F\" "
                               "start=\"3\" size=\"2\"/></Register></RegisterGroup></Root>";
  std::ofstream("broken.xml") << "<Root><MemorySegment></Root>";
  std::ofstream("empty.xml") << "";
  std::ofstream("loop.xml") << "<Root><Import filename=\"main.xml\"/><include filename=\"loop.xml\"/></Root>";
}

void exercise(tidewater::MemoryMap& map) {
  tidewater::MemoryMapElement* root = map.rootElement();
  if (!root) return;
  // Vector elements directly below the root stand for the interrupt table.
  for (tidewater::XMLElement* child = root->firstChildElement(); child;
       child = child->nextSiblingElement()) {
    auto* vector = dynamic_cast<tidewater::MemoryMapElement*>(child);
    if (!vector || vector->elementKind() != tidewater::MemoryMapElement::Kind::Vector) continue;
    const uint32_t number = tidewater::memoryMapLiteral(vector->startAttribute()) % 512;
    if (map.interruptVectors().size() <= number) map.interruptVectors().resize(number + 1);
    map.interruptVectors()[number] = vector;
  }
  tidewater::addCortexMRegisterGroups(map, root->size() % 10, root->start() % 2 == 0);
  (void)tidewater::MemoryMap::findElement(root, tidewater::MemoryMapElement::Kind::Register,
                                          "name", "r", false);
  (void)map.writeToString(2, 80);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool ready = (enterSandbox(), true);
  (void)ready;

  std::string text = tidewater::fuzz::confinedText(data, size);
  tidewater::fuzz::writeScratchFile("main.xml", text);
  for (const bool preprocess : {false, true}) {
    std::ostringstream warnings;
    const tidewater::MacroTable macros;
    tidewater::MemoryMap map(macros, &warnings);
    tidewater::XMLPP2::Limits limits;
    limits.maxIncludes = 64;
    limits.maxLoopIterations = 4096;
    limits.maxProducedBytes = 1 << 20;
    map.setLimits(limits);
    if (map.load("main.xml", "CPU=m4;BASE=0x1000", preprocess)) exercise(map);
  }
  return 0;
}
