#include "register_model.h"

#include <charconv>
#include <span>
#include <string_view>

#include "base/path.h"
#include "base/strings.h"
#include "target/cortex_m_registers.h"
#include "target/svd_file.h"
#include "xml/xml_writer.h"

namespace tidewater {
namespace {

bool isSVDPath(const std::string& path) {
  return lowerCase(suffix(path)) == "svd";
}

/// The reason a load failed; parse errors carry the file name and line.
std::string loadFailure(const XMLDocument& document, const std::string& path) {
  const std::string& text = document.errorText();
  if (text.find(path) != std::string::npos) return text;
  return path + ":" + std::to_string(document.errorLine() + 1) + ": " + text;
}

// Every element of the model is printed with its resolved address and
// size. They are worked out as each element is written, so the model is
// printed as it stands, without a text of its own per element first.
constexpr std::string_view kResolvedNames[] = {"resolved_start", "resolved_size"};

bool resolvedValues(const XMLElement& element, std::span<std::string> values) {
  const MemoryMapElement* mapElement = asMapElement(&element);
  if (!mapElement) return false;
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string& start = values[0];
  start.assign("0x00000000");
  uint32_t address = mapElement->start();
  for (size_t i = start.size() - 1; address != 0; --i, address >>= 4) start[i] = kDigits[address & 15];
  char size[16];
  values[1].assign(size, std::to_chars(size, size + sizeof size, mapElement->size()).ptr);
  return true;
}

/// Whatever bytes the file held, readers of the XML standard get XML.
XMLWriter modelWriter(std::FILE* file) {
  XMLWriter writer(2, 0, file, XMLWriter::Characters::Unicode);
  writer.setComputedAttributes({kResolvedNames, resolvedValues});
  return writer;
}

}  // namespace

/// The largest file regwright reads (the largest published register
/// descriptions are a few tens of megabytes).
constexpr uint64_t kInputLimit = uint64_t{256} << 20;

std::unique_ptr<MemoryMap> loadRegisterModel(const std::string& path,
                                             const RegisterModelOptions& options,
                                             const MacroTable& macros, std::string& error,
                                             std::ostream* warnings) {
  uint32_t priorityBits = 0;
  bool hasFPU = false;
  std::unique_ptr<MemoryMap> map;
  if (isSVDPath(path)) {
    auto svd = std::make_unique<SVDFile>(macros, warnings);
    svd->setInputLimit(kInputLimit);
    if (!svd->load(path, 0)) {
      error = loadFailure(*svd, path);
      return nullptr;
    }
    priorityBits = svd->priorityBits();
    hasFPU = svd->hasFPU();
    map = std::move(svd);
  } else {
    map = std::make_unique<MemoryMap>(macros, warnings);
    map->setInputLimit(kInputLimit);
    if (!map->load(path, options.macros, options.preprocess)) {
      error = loadFailure(*map, path);
      return nullptr;
    }
  }
  if (options.cortexM) addCortexMRegisterGroups(*map, priorityBits, hasFPU);
  return map;
}

bool writeRegisterModel(const MemoryMap& map, std::FILE* file) {
  XMLWriter writer = modelWriter(file);
  writer.writeDocument(map);
  return writer.finish();
}

std::string registerModelText(const MemoryMap& map) {
  XMLWriter writer = modelWriter(nullptr);
  writer.writeDocument(map);
  return std::move(writer.text());
}

}  // namespace tidewater
