#include "register_model.h"

#include <algorithm>
#include <cctype>
#include <vector>

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

/// "0x%08X", without the cost of a format string on every element.
std::string hexAddress(uint32_t value) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text = "0x00000000";
  for (size_t i = text.size() - 1; value != 0; --i, value >>= 4) text[i] = kDigits[value & 15];
  return text;
}

}  // namespace

/// The largest file regwright reads (the largest published register
/// descriptions are a few tens of megabytes).
constexpr uint64_t kInputLimit = uint64_t{256} << 20;

std::unique_ptr<MemoryMap> loadRegisterModel(const std::string& path,
                                             const RegisterModelOptions& options,
                                             std::string& error, std::ostream* warnings) {
  uint32_t priorityBits = 0;
  bool hasFPU = false;
  std::unique_ptr<MemoryMap> map;
  if (isSVDPath(path)) {
    auto svd = std::make_unique<SVDFile>(warnings);
    svd->setInputLimit(kInputLimit);
    if (!svd->load(path, 0)) {
      error = loadFailure(*svd, path);
      return nullptr;
    }
    priorityBits = svd->priorityBits();
    hasFPU = svd->hasFPU();
    map = std::move(svd);
  } else {
    map = std::make_unique<MemoryMap>(warnings);
    map->setInputLimit(kInputLimit);
    if (!map->load(path, options.macros, options.preprocess)) {
      error = loadFailure(*map, path);
      return nullptr;
    }
  }
  if (options.cortexM) addCortexMRegisterGroups(*map, priorityBits, hasFPU);
  return map;
}

std::string registerModelText(MemoryMap& map) {
  std::vector<XMLNode*> pending;
  if (map.root()) pending.push_back(map.root());
  size_t elements = 0;
  while (!pending.empty()) {
    XMLNode* node = pending.back();
    pending.pop_back();
    if (MemoryMapElement* element = asMapElement(node)) {
      element->setAttribute("resolved_start", hexAddress(element->start()));
      element->setAttribute("resolved_size", std::to_string(element->size()));
      ++elements;
    }
    for (XMLNode* child = node->firstChild(); child; child = child->nextSibling()) {
      pending.push_back(child);
    }
  }
  // Whatever bytes the file held, readers of the XML standard get XML.
  XMLWriter writer(2, 0, nullptr, XMLWriter::Characters::Unicode);
  // Room for the longest lines a model has: growing a text of megabytes step
  // by step would copy it and touch fresh pages again at every step. Pages
  // reserved but never written cost nothing.
  writer.text().reserve(elements * 512);
  writer.writeDocument(map);
  return std::move(writer.text());
}

}  // namespace tidewater
