// Feeds arbitrary bytes to the SVD import as a register description file,
// then adds the core's register groups from the vector table and cpu texts
// it found and prints the model as regwright does (references read as
// characters, written in the writer's Unicode mode). The limits are lowered
// so that each input stays quick; derivation cycles, deep cluster nesting
// and huge dim counts must all end within them.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "macro/macro_table.h"
#include "target/cortex_m_registers.h"
#include "target/svd_file.h"
#include "xml/xml_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = [] {
    char pattern[] = "/tmp/tw-fuzz-svd-XXXXXX";
    if (mkdtemp(pattern) == nullptr) std::abort();
    return std::string(pattern) + "/input.svd";
  }();
  {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  std::ostringstream warnings;
  const tidewater::MacroTable macros;
  tidewater::SVDFile svd(macros, &warnings);
  tidewater::SVDFile::Limits limits;
  limits.maxDim = 256;
  limits.maxElements = 20000;
  svd.setSVDLimits(limits);
  if (svd.load(path, size % 2 == 0 ? 0 : tidewater::SVDFile::KeepSizeInBits)) {
    tidewater::addCortexMRegisterGroups(svd, svd.priorityBits(), svd.hasFPU());
    tidewater::XMLWriter writer(2, 0, nullptr, tidewater::XMLWriter::Characters::Unicode);
    writer.writeDocument(svd);
  }
  return 0;
}
