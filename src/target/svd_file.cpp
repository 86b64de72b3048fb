#include "target/svd_file.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "xml/qxml_document.h"
#include "xml/xml_tree_text.h"

namespace tidewater {
namespace {

std::string_view trimmed(std::string_view text) {
  constexpr std::string_view kSpace = " \t\r\n";
  const size_t first = text.find_first_not_of(kSpace);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

/// The text of an SVD property element, without the layout around it.
std::string propertyText(const XMLElement* element, std::string_view tag) {
  const XMLElement* property = element ? tidewater::findElement(element->firstChild(), tag) : nullptr;
  if (!property) return {};
  // Nearly always one data node, which is read in place.
  const XMLNode* data = property->firstChild();
  if (data && !data->nextSibling() && data->kind() == XMLNode::Kind::Data) {
    return std::string(trimmed(static_cast<const XMLData*>(data)->text()));
  }
  return std::string(trimmed(elementText(property)));
}

/// The register properties that pass down from the device, peripheral and
/// cluster to the registers that leave them out.
struct RegisterDefaults {
  std::string size;
  std::string resetValue;
  std::string resetMask;

  template <typename Source>
  static RegisterDefaults of(const Source& source) {
    return {source.text("size"), source.text("resetValue"), source.text("resetMask")};
  }
};

/// Adapts a single element to the text() lookup of Lineage.
struct Single {
  const XMLElement* element;
  std::string text(std::string_view tag) const { return propertyText(element, tag); }
};

/// An SVD number: decimal, "0x" hexadecimal or "#" binary; nullopt when the
/// text is none of these or does not fit in 64 bits.
std::optional<uint64_t> svdNumber(std::string_view text) {
  text = trimmed(text);
  uint64_t base = 10;
  if (text.starts_with("0x") || text.starts_with("0X")) {
    base = 16;
    text.remove_prefix(2);
  } else if (text.starts_with('#')) {
    base = 2;
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  uint64_t value = 0;
  for (const char c : text) {
    uint64_t digit = 0;
    if (c >= '0' && c <= '9') digit = static_cast<uint64_t>(c - '0');
    else if (c >= 'a' && c <= 'f') digit = static_cast<uint64_t>(c - 'a' + 10);
    else if (c >= 'A' && c <= 'F') digit = static_cast<uint64_t>(c - 'A' + 10);
    else return std::nullopt;
    if (digit >= base || value > (UINT64_MAX - digit) / base) return std::nullopt;
    value = value * base + digit;
  }
  return value;
}

/// The last part of a dotted path ("PERIPH.REG.FIELD" gives "FIELD").
std::string lastPathPart(const std::string& path) {
  const size_t dot = path.rfind('.');
  return dot == std::string::npos ? path : path.substr(dot + 1);
}

void replaceAll(std::string& text, std::string_view from, std::string_view to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

struct AccessName {
  std::string_view svd;
  const char* map;
};

// Register accesses; fields know two spellings more.
constexpr std::array<AccessName, 2> kRegisterAccess{{
    {"read-only", "ReadOnly"},
    {"write-only", "WriteOnly"},
}};
constexpr std::array<AccessName, 4> kFieldAccess{{
    {"read-only", "ReadOnly"},
    {"write-only", "WriteOnly"},
    {"writeOnce", "WriteOnly"},
    {"Read/Write", "ReadWrite"},
}};

/// The memory map's access text for an SVD access; a register or field whose
/// reading has side effects is marked never to be read.
template <size_t n>
std::string mappedAccess(const std::array<AccessName, n>& table, const std::string& access,
                         bool readHasSideEffects) {
  if (readHasSideEffects) return "None";
  for (const AccessName& entry : table) {
    if (entry.svd == access) return entry.map;
  }
  return access;
}

struct InterruptAffix {
  bool prefix;
  std::string_view text;
};

// An interrupt name loses the first of these it carries.
constexpr std::array<InterruptAffix, 2> kInterruptAffixes{{{true, "INT_"}, {false, "_IRQ"}}};

std::string vectorName(std::string name) {
  for (const InterruptAffix& affix : kInterruptAffixes) {
    if (affix.prefix && name.starts_with(affix.text)) return name.substr(affix.text.size());
    if (!affix.prefix && name.ends_with(affix.text)) {
      return name.substr(0, name.size() - affix.text.size());
    }
  }
  return name;
}

/// An SVD element followed by the elements it is derived from, nearest
/// first; a property missing on one is looked for on the next.
class Lineage {
 public:
  /// Follows derivedFrom links through "find" (name to element, or null),
  /// stopping at a missing name, a cycle or "maxLinks" links.
  template <typename Find>
  Lineage(const XMLElement& element, uint32_t maxLinks, Find&& find) {
    elements_.push_back(&element);
    for (const XMLElement* current = &element; elements_.size() <= maxLinks;) {
      const std::string* base = current->attribute("derivedFrom");
      if (!base) break;
      const XMLElement* found = find(std::string(trimmed(*base)));
      if (!found || std::ranges::find(elements_, found) != elements_.end()) break;
      elements_.push_back(found);
      current = found;
    }
  }

  const XMLElement& self() const { return *elements_.front(); }

  /// The first non-empty text of property "tag" along the lineage.
  std::string text(std::string_view tag) const {
    for (const XMLElement* element : elements_) {
      std::string value = propertyText(element, tag);
      if (!value.empty()) return value;
    }
    return {};
  }
  bool has(std::string_view tag) const {
    return std::ranges::any_of(elements_, [&](const XMLElement* element) {
      return tidewater::findElement(element->firstChild(), tag) != nullptr;
    });
  }
  /// The first child element named "tag" along the lineage.
  const XMLElement* child(std::string_view tag) const {
    for (const XMLElement* element : elements_) {
      if (XMLElement* found = tidewater::findElement(element->firstChild(), tag)) return found;
    }
    return nullptr;
  }

 private:
  std::vector<const XMLElement*> elements_;
};

/// The index strings of a dimensioned element: a comma list, a decimal
/// range "a-b", or the copy numbers when neither is given.
class DimIndex {
 public:
  explicit DimIndex(std::string_view text) {
    text = trimmed(text);
    const size_t dash = text.find('-');
    if (text.find(',') == std::string_view::npos && dash != std::string_view::npos) {
      const std::optional<uint64_t> first = svdNumber(text.substr(0, dash));
      const std::optional<uint64_t> last = svdNumber(text.substr(dash + 1));
      if (first && last && *first <= *last) {
        rangeFirst_ = *first;
        rangeLast_ = *last;
        return;
      }
    }
    for (size_t begin = 0; begin < text.size();) {
      const size_t comma = std::min(text.find(',', begin), text.size());
      items_.emplace_back(trimmed(text.substr(begin, comma - begin)));
      begin = comma + 1;
    }
  }

  std::string operator()(uint32_t k) const {
    if (rangeFirst_ && *rangeFirst_ + k <= rangeLast_) return std::to_string(*rangeFirst_ + k);
    if (k < items_.size()) return items_[k];
    return std::to_string(k);
  }

 private:
  std::vector<std::string> items_;
  std::optional<uint64_t> rangeFirst_;
  uint64_t rangeLast_ = 0;
};

/// Sets an attribute that has a value; empty texts are left out.
void put(MemoryMapElement& element, const char* name, std::string value) {
  if (!value.empty()) element.setAttribute(name, std::move(value));
}

struct EnumDraft {
  std::string name;
  std::string value;
  std::string description;
};

struct FieldDraft {
  std::string name;
  std::string start;
  std::string size;
  std::string access;
  std::string description;
  std::vector<EnumDraft> enums;
};

}  // namespace

/// One conversion of a parsed SVD document into the map's tree.
class SVDFile::Converter {
 public:
  Converter(SVDFile& map, uint32_t options, const XMLElement& device)
      : map_(map),
        options_(options),
        limits_(map.svdLimits()),
        device_(device),
        deviceDefaults_(RegisterDefaults::of(Single{&device})),
        deviceAccess_(propertyText(&device, "access")) {}

  void run(MemoryMapElement& root);

 private:
  /// What the registers of one group inherit and where their derivedFrom
  /// names are looked up.
  struct Scope {
    RegisterDefaults peripheral;
    std::vector<RegisterDefaults> clusters;  ///< outermost first
    const XMLElement* registers;           ///< the peripheral's register block
    std::string prefix;
    std::string suffix;
    std::string peripheralName;
  };

  const XMLElement* findPeripheral(const std::string& name) const;
  void convertPeripheral(const XMLElement& peripheral, MemoryMapElement& root);
  void convertBlock(const XMLElement& block, MemoryMapElement& group, const std::string& groupStart,
                    const std::string& clusterPath, Scope& scope);
  void convertCluster(const XMLElement& cluster, const std::string& enclosingStart,
                      const std::string& enclosingPath, Scope& scope);
  void convertRegister(const XMLElement& reg, MemoryMapElement& group, const Scope& scope);
  std::vector<FieldDraft> fields(const Lineage& reg, const Scope& scope);
  std::vector<EnumDraft> enums(const XMLElement& field, const Scope& scope);
  /// A register property inherited from the enclosing clusters, the
  /// peripheral and the device, nearest first.
  std::string inherited(const Lineage& reg, const Scope& scope,
                        std::string RegisterDefaults::*property, std::string_view tag) const;
  void storeInterrupt(const XMLElement& interrupt);

  /// Copies of a dimensioned element ("dim"), bounded; 1 without "dim".
  uint32_t copies(const Lineage& element);
  /// Counts one element to be made; false (with one warning) once the budget is spent.
  bool budget();

  /// Appends a new element with room for "attributes" attributes; null
  /// once the budget is spent.
  MemoryMapElement* add(MemoryMapElement& parent, const char* tag, size_t attributes) {
    if (!budget()) return nullptr;
    auto element = std::make_unique<MemoryMapElement>(tag);
    element->reserveAttributes(attributes);
    MemoryMapElement* added = element.get();
    parent.appendChild(std::move(element));
    return added;
  }

  SVDFile& map_;
  uint32_t options_;
  const Limits& limits_;
  const XMLElement& device_;
  const RegisterDefaults deviceDefaults_;
  const std::string deviceAccess_;
  MemoryMapElement* root_ = nullptr;
  std::unordered_map<std::string, const XMLElement*> peripherals_;
  uint64_t made_ = 0;
  bool budgetReported_ = false;
  uint32_t clusterDepth_ = 0;
  bool nestingReported_ = false;
};

bool SVDFile::Converter::budget() {
  if (made_ < limits_.maxElements) {
    ++made_;
    return true;
  }
  if (!budgetReported_) {
    budgetReported_ = true;
    map_.reportError("register description too large: stopped after " +
                     std::to_string(limits_.maxElements) + " elements");
  }
  return false;
}

uint32_t SVDFile::Converter::copies(const Lineage& element) {
  if (!element.has("dim")) return 1;
  const uint64_t dim = svdNumber(element.text("dim")).value_or(0);
  if (dim <= limits_.maxDim) return static_cast<uint32_t>(dim);
  map_.reportError("dim " + std::to_string(dim) + " of " + element.text("name") +
                   " cut to " + std::to_string(limits_.maxDim));
  return limits_.maxDim;
}

const XMLElement* SVDFile::Converter::findPeripheral(const std::string& name) const {
  const auto found = peripherals_.find(name);
  if (found != peripherals_.end()) return found->second;
  return findElementWithChildText(const_cast<XMLElement*>(&device_), "peripheral", "name", name);
}

void SVDFile::Converter::run(MemoryMapElement& root) {
  root_ = &root;
  const XMLElement* peripherals = tidewater::findElement(device_.firstChild(), "peripherals");
  if (!peripherals) return;
  for (const XMLElement* peripheral = tidewater::findElement(peripherals->firstChild(), "peripheral");
       peripheral; peripheral = tidewater::findElement(peripheral->nextSibling(), "peripheral")) {
    peripherals_.try_emplace(propertyText(peripheral, "name"), peripheral);
  }
  for (const XMLElement* peripheral = tidewater::findElement(peripherals->firstChild(), "peripheral");
       peripheral; peripheral = tidewater::findElement(peripheral->nextSibling(), "peripheral")) {
    convertPeripheral(*peripheral, root);
  }
}

void SVDFile::Converter::convertPeripheral(const XMLElement& peripheral, MemoryMapElement& root) {
  const Lineage lineage(peripheral, limits_.maxDerivation,
                        [this](const std::string& name) { return findPeripheral(name); });
  for (const XMLElement* interrupt = tidewater::findElement(peripheral.firstChild(), "interrupt");
       interrupt; interrupt = tidewater::findElement(interrupt->nextSibling(), "interrupt")) {
    storeInterrupt(*interrupt);
  }
  std::string start = lineage.text("baseAddress");
  if (start.starts_with("0X")) start[1] = 'x';
  std::string name = propertyText(&peripheral, "name");
  MemoryMapElement* group = add(root, "RegisterGroup", 3);
  if (!group) return;
  put(*group, "name", name);
  put(*group, "start", start);
  put(*group, "description", lineage.text("description"));
  const XMLElement* registers = lineage.child("registers");
  if (!registers) return;
  Scope scope{RegisterDefaults::of(lineage), {}, registers, lineage.text("prependToName"),
              lineage.text("appendToName"), std::move(name)};
  convertBlock(*registers, *group, start.empty() ? "0" : start, {}, scope);
}

void SVDFile::Converter::convertBlock(const XMLElement& block, MemoryMapElement& group,
                                      const std::string& groupStart,
                                      const std::string& clusterPath, Scope& scope) {
  for (const XMLNode* node = block.firstChild(); node; node = node->nextSibling()) {
    const XMLElement* element = node->asElement();
    if (!element) continue;
    if (element->name() == "register") {
      convertRegister(*element, group, scope);
    } else if (element->name() == "cluster") {
      convertCluster(*element, groupStart, clusterPath, scope);
    }
  }
}

void SVDFile::Converter::convertCluster(const XMLElement& cluster,
                                        const std::string& enclosingStart,
                                        const std::string& enclosingPath, Scope& scope) {
  if (clusterDepth_ >= limits_.maxClusterNesting) {
    if (!nestingReported_) {
      nestingReported_ = true;
      map_.reportError("clusters nested deeper than " +
                       std::to_string(limits_.maxClusterNesting) + " are left out");
    }
    return;
  }
  const Lineage lineage(cluster, limits_.maxDerivation, [&](const std::string& name) {
    return findElementWithChildText(const_cast<XMLElement*>(scope.registers), "cluster", "name",
                                    name);
  });
  const uint32_t count = copies(lineage);
  const DimIndex index(lineage.text("dimIndex"));
  const std::string increment = lineage.text("dimIncrement");
  const std::string offset = lineage.text("addressOffset");
  const std::string nameTemplate = lineage.text("name");
  const std::string description = lineage.text("description");
  ++clusterDepth_;
  scope.clusters.push_back(RegisterDefaults::of(lineage));
  for (uint32_t k = 0; k < count && !budgetReported_; ++k) {
    std::string name = nameTemplate;
    replaceAll(name, "%s", index(k));
    const std::string path = enclosingPath.empty() ? name : enclosingPath + "." + name;
    // Offsets add up along the nesting; the resolver evaluates the sum.
    std::string start = enclosingStart + "+" + (offset.empty() ? "0" : offset);
    if (lineage.has("dim") && !increment.empty()) start += "+" + increment + "*" + std::to_string(k);
    MemoryMapElement* group = add(*root_, "RegisterGroup", 3);
    if (!group) break;
    put(*group, "name", scope.peripheralName + " (" + path + ")");
    put(*group, "start", start);
    put(*group, "description", description);
    convertBlock(cluster, *group, start, path, scope);
  }
  scope.clusters.pop_back();
  --clusterDepth_;
}

std::string SVDFile::Converter::inherited(const Lineage& reg, const Scope& scope,
                                          std::string RegisterDefaults::*property,
                                          std::string_view tag) const {
  std::string value = reg.text(tag);
  for (auto cluster = scope.clusters.rbegin(); value.empty() && cluster != scope.clusters.rend();
       ++cluster) {
    value = (*cluster).*property;
  }
  if (value.empty()) value = scope.peripheral.*property;
  if (value.empty()) value = deviceDefaults_.*property;
  return value;
}

void SVDFile::Converter::convertRegister(const XMLElement& element, MemoryMapElement& group,
                                         const Scope& scope) {
  const Lineage reg(element, limits_.maxDerivation, [&](const std::string& name) {
    const auto find = [&](std::string_view wanted) {
      return findElementWithChildText(const_cast<XMLElement*>(scope.registers), "register",
                                      "name", wanted);
    };
    XMLElement* found = find(name);
    // A dotted derivedFrom names the register by its path; its last part is the name.
    if (!found && name.find('.') != std::string::npos) found = find(lastPathPart(name));
    return found;
  });
  const uint32_t count = copies(reg);
  if (count == 0) return;
  const bool dimensioned = reg.has("dim");
  const DimIndex index(reg.text("dimIndex"));
  const uint64_t increment = svdNumber(reg.text("dimIncrement")).value_or(0);

  const std::string nameTemplate = reg.text("name");
  const std::string offset = "+" + reg.text("addressOffset");
  std::string size;
  if (const std::optional<uint64_t> bits =
          svdNumber(inherited(reg, scope, &RegisterDefaults::size, "size"))) {
    size = std::to_string((options_ & KeepSizeInBits) ? *bits : *bits / 8);
  }
  std::string access = reg.text("access");
  access = mappedAccess(kRegisterAccess, access.empty() ? deviceAccess_ : access,
                        reg.has("readAction"));
  std::string description = reg.text("description");
  std::string resetValue = inherited(reg, scope, &RegisterDefaults::resetValue, "resetValue");
  std::string resetMask = inherited(reg, scope, &RegisterDefaults::resetMask, "resetMask");
  std::vector<FieldDraft> fieldDrafts = fields(reg, scope);

  for (uint32_t k = 0; k < count; ++k) {
    // The last copy takes the texts over instead of copying them.
    const bool last = k + 1 == count;
    const auto give = [last](std::string& text) { return last ? std::move(text) : text; };
    std::string name = nameTemplate;
    replaceAll(name, "%s", index(k));
    std::string start = offset;
    if (dimensioned) start += "+" + std::to_string(k * increment);
    MemoryMapElement* made = add(group, "Register", 7);
    if (!made) return;
    put(*made, "name", scope.prefix + name + scope.suffix);
    put(*made, "start", std::move(start));
    put(*made, "size", size);
    put(*made, "access", access);
    put(*made, "description", give(description));
    put(*made, "reset_value", give(resetValue));
    put(*made, "reset_mask", give(resetMask));
    for (FieldDraft& draft : fieldDrafts) {
      MemoryMapElement* field = add(*made, "BitField", 5);
      if (!field) return;
      put(*field, "name", give(draft.name));
      put(*field, "start", give(draft.start));
      put(*field, "size", give(draft.size));
      put(*field, "access", give(draft.access));
      put(*field, "description", give(draft.description));
      for (EnumDraft& value : draft.enums) {
        MemoryMapElement* item = add(*field, "Enum", 3);
        if (!item) return;
        put(*item, "name", give(value.name));
        put(*item, "start", give(value.value));
        put(*item, "description", give(value.description));
      }
    }
  }
}

std::vector<FieldDraft> SVDFile::Converter::fields(const Lineage& reg, const Scope& scope) {
  std::vector<FieldDraft> drafts;
  const XMLElement* block = reg.child("fields");
  if (!block) return drafts;
  for (const XMLElement* element = tidewater::findElement(block->firstChild(), "field"); element;
       element = tidewater::findElement(element->nextSibling(), "field")) {
    const Lineage field(*element, limits_.maxDerivation, [&](const std::string& name) {
      XMLElement* found =
          findElementWithChildText(const_cast<XMLElement*>(block), "field", "name", name);
      if (!found) {
        found = findElementWithChildText(const_cast<XMLElement*>(scope.registers), "field", "name",
                                         lastPathPart(name));
      }
      return found;
    });
    FieldDraft draft{.name = field.text("name"), .description = field.text("description")};
    std::optional<uint64_t> lsb;
    std::optional<uint64_t> width;
    if (field.has("bitOffset")) {
      lsb = svdNumber(field.text("bitOffset"));
      width = field.has("bitWidth") ? svdNumber(field.text("bitWidth")) : 1;
    } else if (const std::string range = field.text("bitRange"); !range.empty()) {
      // "[msb:lsb]"
      const size_t colon = range.find(':');
      if (range.starts_with('[') && range.ends_with(']') && colon != std::string::npos) {
        const std::string_view text = range;
        const std::optional<uint64_t> msb = svdNumber(text.substr(1, colon - 1));
        lsb = svdNumber(text.substr(colon + 1, text.size() - colon - 2));
        if (msb && lsb && *msb >= *lsb) width = *msb - *lsb + 1;
      }
    } else if (field.has("lsb")) {
      lsb = svdNumber(field.text("lsb"));
      const std::optional<uint64_t> msb = svdNumber(field.text("msb"));
      if (msb && lsb && *msb >= *lsb) width = *msb - *lsb + 1;
    }
    if (lsb) draft.start = std::to_string(*lsb);
    if (width) draft.size = std::to_string(*width);
    if (std::string access = field.text("access"); !access.empty() || field.has("readAction")) {
      draft.access = mappedAccess(kFieldAccess, access, field.has("readAction"));
    }
    for (const XMLElement* values = tidewater::findElement(element->firstChild(), "enumeratedValues");
         values; values = tidewater::findElement(values->nextSibling(), "enumeratedValues")) {
      std::vector<EnumDraft> more = enums(*values, scope);
      std::ranges::move(more, std::back_inserter(draft.enums));
    }
    if (draft.enums.empty()) {
      // A derived field without values of its own takes its base's.
      if (const XMLElement* values = field.child("enumeratedValues")) draft.enums = enums(*values, scope);
    }
    drafts.push_back(std::move(draft));
  }
  return drafts;
}

std::vector<EnumDraft> SVDFile::Converter::enums(const XMLElement& valuesElement, const Scope& scope) {
  const Lineage values(valuesElement, limits_.maxDerivation, [&](const std::string& name) {
    const std::string last = lastPathPart(name);
    XMLElement* found = findElementWithChildText(const_cast<XMLElement*>(scope.registers),
                                                 "enumeratedValues", "name", last);
    if (!found) {
      found = findElementWithChildText(const_cast<XMLElement*>(&device_), "enumeratedValues",
                                       "name", last);
    }
    return found;
  });
  std::vector<EnumDraft> drafts;
  // The values are the element's own, else those of the nearest base that lists some.
  const XMLElement* first = values.child("enumeratedValue");
  if (!first) return drafts;
  for (const XMLElement* value = first; value;
       value = tidewater::findElement(value->nextSibling(), "enumeratedValue")) {
    std::string number = propertyText(value, "value");
    if (number.starts_with('#')) number.replace(0, 1, "0b");
    drafts.push_back({propertyText(value, "name"), std::move(number),
                     propertyText(value, "description")});
  }
  return drafts;
}

void SVDFile::Converter::storeInterrupt(const XMLElement& interrupt) {
  const std::optional<uint64_t> value = svdNumber(propertyText(&interrupt, "value"));
  if (!value || *value >= map_.interruptVectors().size()) return;
  auto vector = std::make_unique<MemoryMapElement>("Vector");
  vector->setAttribute("name", vectorName(propertyText(&interrupt, "name")));
  vector->setAttribute("start", std::to_string(*value));
  const std::string description = propertyText(&interrupt, "description");
  if (!description.empty()) vector->setAttribute("description", description);
  map_.interruptVectors()[*value] = vector.get();
  map_.vectors_.push_back(std::move(vector));
  map_.highestInterrupt_ = std::max(map_.highestInterrupt_, static_cast<int>(*value));
}

SVDFile::SVDFile(std::ostream* warnings) : MemoryMap(warnings) {}

SVDFile::~SVDFile() = default;

void SVDFile::clear() {
  setRoot(nullptr);
  cpuName_.clear();
  mpuPresent_.clear();
  fpuPresent_.clear();
  nvicPrioBits_.clear();
  highestInterrupt_ = -1;
  interruptVectors().assign(kVectorTableLength, nullptr);
  vectors_.clear();
}

bool SVDFile::load(const std::string& path, uint32_t options) {
  clear();
  QXMLDocument svd(true);
  if (!svd.load(path)) {
    setError(svd.errorText(), svd.errorLine());
    return false;
  }
  const XMLElement* device = svd.root();
  if (!device) {
    setError(path + " holds no element", 0);
    return false;
  }
  setError({}, 0);
  setRoot(createElement("Processor"));
  auto* top = static_cast<MemoryMapElement*>(root());
  const std::chrono::system_clock::time_point fileTime = fileModificationTime(path);
  top->setFileTime(fileTime);
  setLoadedFile(path, fileTime);

  const std::string name = propertyText(device, "name");
  if (!name.empty()) top->setAttribute("name", name);
  if (const XMLElement* cpu = tidewater::findElement(device->firstChild(), "cpu")) {
    cpuName_ = propertyText(cpu, "name");
    mpuPresent_ = propertyText(cpu, "mpuPresent");
    fpuPresent_ = propertyText(cpu, "fpuPresent");
    nvicPrioBits_ = propertyText(cpu, "nvicPrioBits");
  }
  Converter(*this, options, *device).run(*top);
  resolveAddresses(*top, 0);
  return true;
}

uint32_t SVDFile::priorityBits() const {
  const std::optional<uint64_t> bits = svdNumber(nvicPrioBits_);
  return bits && *bits <= 8 ? static_cast<uint32_t>(*bits) : 0;
}

bool SVDFile::hasFPU() const { return fpuPresent_ == "true" || fpuPresent_ == "1"; }

}  // namespace tidewater
