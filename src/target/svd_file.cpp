#include "target/svd_file.h"

#include <algorithm>
#include <cctype>
#include <array>
#include <initializer_list>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "target/svd_tree.h"
#include "xml/qxml_document.h"

namespace tidewater {
namespace {

std::string_view trimmed(std::string_view text) {
  constexpr std::string_view kSpace = " \t\r\n";
  const size_t first = text.find_first_not_of(kSpace);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

/// The SVD property elements the conversion reads.
enum class Property : uint8_t {
  Name, Description, Size, ResetValue, ResetMask, Access, ReadAction, Cpu, MpuPresent,
  FpuPresent, NvicPrioBits, Peripherals, BaseAddress, PrependToName, AppendToName, Registers,
  AddressOffset, Dim, DimIndex, DimIncrement, Fields, BitOffset, BitWidth, BitRange, Lsb, Msb,
  EnumeratedValues, EnumeratedValue, Value, Count
};
constexpr size_t kPropertyCount = static_cast<size_t>(Property::Count);

// The tag of each property, in the order of Property.
constexpr std::array<std::string_view, kPropertyCount> kPropertyTags{
    "name",          "description",  "size",         "resetValue",    "resetMask",
    "access",        "readAction",   "cpu",          "mpuPresent",    "fpuPresent",
    "nvicPrioBits",  "peripherals",  "baseAddress",  "prependToName", "appendToName",
    "registers",     "addressOffset", "dim",         "dimIndex",      "dimIncrement",
    "fields",        "bitOffset",    "bitWidth",     "bitRange",      "lsb",
    "msb",           "enumeratedValues", "enumeratedValue", "value"};

// Tag names find their property through a small open-addressed table built
// at compile time: a few loads and one comparison per child element.
constexpr size_t kTagSlots = 128;  // a power of two, far above kPropertyCount
constexpr uint8_t kFreeSlot = 0xff;

constexpr size_t tagHash(std::string_view tag) {
  if (tag.empty()) return 0;
  const auto byte = [&](size_t at) { return static_cast<size_t>(static_cast<unsigned char>(tag[at])); };
  return (tag.size() * 37 + byte(0) * 11 + byte(tag.size() / 2) * 5 + byte(tag.size() - 1)) &
         (kTagSlots - 1);
}

constexpr std::array<uint8_t, kTagSlots> makeTagSlots() {
  std::array<uint8_t, kTagSlots> slots{};
  slots.fill(kFreeSlot);
  for (size_t property = 0; property < kPropertyCount; ++property) {
    size_t slot = tagHash(kPropertyTags[property]);
    while (slots[slot] != kFreeSlot) slot = (slot + 1) & (kTagSlots - 1);
    slots[slot] = static_cast<uint8_t>(property);
  }
  return slots;
}
constexpr std::array<uint8_t, kTagSlots> kTagSlotTable = makeTagSlots();

std::optional<Property> propertyOf(std::string_view tag) {
  for (size_t slot = tagHash(tag);; slot = (slot + 1) & (kTagSlots - 1)) {
    const uint8_t entry = kTagSlotTable[slot];
    if (entry == kFreeSlot) return std::nullopt;
    if (kPropertyTags[entry] == tag) return static_cast<Property>(entry);
  }
}

/// The text of an SVD property element, without the layout around it.
std::string_view propertyText(const SVDElement* property) {
  return property ? trimmed(property->text()) : std::string_view();
}

/// The property children of one SVD element, found in one pass over its
/// children: the first child element of each property tag, or null.
class Properties {
 public:
  explicit Properties(const SVDElement& element) : element_(&element) {
    for (const SVDElement* child = element.firstChild(); child; child = child->nextSibling()) {
      if (const std::optional<Property> property = propertyOf(child->name())) {
        const SVDElement*& first = children_[static_cast<size_t>(*property)];
        if (!first) first = child;
      }
    }
  }

  const SVDElement& element() const { return *element_; }
  const SVDElement* child(Property property) const {
    return children_[static_cast<size_t>(property)];
  }
  std::string_view text(Property property) const { return propertyText(child(property)); }

 private:
  const SVDElement* element_;
  std::array<const SVDElement*, kPropertyCount> children_{};
};

/// The register properties that pass down from the device, peripheral and
/// cluster to the registers that leave them out (views into the document).
struct RegisterDefaults {
  std::string_view size;
  std::string_view access;
  std::string_view resetValue;
  std::string_view resetMask;

  template <typename Source>
  static RegisterDefaults of(const Source& source) {
    return {source.text(Property::Size), source.text(Property::Access),
            source.text(Property::ResetValue), source.text(Property::ResetMask)};
  }
};

/// An SVD number (scaledNonNegativeInteger): an optional "+", decimal
/// (leading zeros included: "0040" is forty), "0x" hexadecimal or "#"
/// binary, and an optional scale "k", "M", "G" or "T" (powers of 1024, in
/// either case); nullopt when the text is none of these or does not fit in
/// 64 bits.
std::optional<uint64_t> svdNumber(std::string_view text) {
  text = trimmed(text);
  if (text.starts_with('+')) text.remove_prefix(1);
  unsigned scale = 0;  // a power of 1024
  if (!text.empty()) {
    constexpr std::string_view kScales = "kmgt";
    const char last = static_cast<char>(std::tolower(static_cast<unsigned char>(text.back())));
    if (const size_t at = kScales.find(last); at != std::string_view::npos) {
      scale = static_cast<unsigned>(at) + 1;
      text.remove_suffix(1);
    }
  }
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
  if (value > (UINT64_MAX >> (10 * scale))) return std::nullopt;
  return value << (10 * scale);
}

/// An SVD number as a text the memory map's resolver reads with the same
/// value: plain "0x" hexadecimal and decimal without leading zeros are kept,
/// "#" binary becomes "0b", and any other form (leading zeros, which the
/// resolver would read as octal, or a scale) is written as hexadecimal. A
/// text that is no SVD number is passed on for the resolver to judge.
std::string resolverNumber(std::string_view text) {
  text = trimmed(text);
  const auto allOf = [](std::string_view digits, auto isDigit) {
    return !digits.empty() && std::all_of(digits.begin(), digits.end(), isDigit);
  };
  const auto hexDigit = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; };
  const auto binary = [](char c) { return c == '0' || c == '1'; };
  const auto decimal = [](char c) { return c >= '0' && c <= '9'; };
  if ((text.starts_with("0x") || text.starts_with("0X")) && allOf(text.substr(2), hexDigit)) {
    return "0x" + std::string(text.substr(2));
  }
  if (text.starts_with('#') && allOf(text.substr(1), binary)) return "0b" + std::string(text.substr(1));
  if (allOf(text, decimal) && (text.size() == 1 || text[0] != '0')) return std::string(text);
  const std::optional<uint64_t> value = svdNumber(text);
  if (!value) {
    std::string kept(text);
    if (kept.starts_with('#')) kept.replace(0, 1, "0b");
    return kept;
  }
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (uint64_t rest = *value; rest != 0 || hex.empty(); rest >>= 4) hex.insert(hex.begin(), kDigits[rest & 15]);
  return "0x" + hex;
}


/// The last part of a dotted path ("PERIPH.REG.FIELD" gives "FIELD").
std::string_view lastPathPart(std::string_view path) {
  const size_t dot = path.rfind('.');
  return dot == std::string_view::npos ? path : path.substr(dot + 1);
}
/// Replaces every "from" in "text" at or after position "begin".
void replaceAll(std::string& text, std::string_view from, std::string_view to, size_t begin = 0) {
  for (size_t at = text.find(from, begin); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

/// The text of one copy of a dimensioned element: every "%s" gives the
/// copy's index. Texts without one (nearly all) stay views into the
/// document; the others are kept by the tree.
std::string_view copied(std::string_view text, std::string_view index, SVDTree& tree) {
  if (text.find("%s") == std::string_view::npos) return text;
  std::string copy(text);
  replaceAll(copy, "%s", index);
  return tree.keep(copy);
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
std::string_view mappedAccess(const std::array<AccessName, n>& table, std::string_view access,
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
/// first, each with its properties indexed; a property missing on one is
/// looked for on the next.
class Lineage {
 public:
  /// Follows derivedFrom links through "find" (name to element, or null),
  /// stopping at a missing name, a cycle or "maxLinks" links.
  template <typename Find>
  Lineage(const SVDElement& element, uint32_t maxLinks, Find&& find) : own_(element) {
    for (const SVDElement* current = &element; bases_.size() < maxLinks;) {
      const std::optional<std::string_view> base = current->derivedFrom();
      if (!base) break;
      const SVDElement* found = find(trimmed(*base));
      if (!found || found == &element ||
          std::ranges::any_of(bases_, [&](const Properties& p) { return &p.element() == found; })) {
        break;
      }
      bases_.emplace_back(*found);
      current = found;
    }
  }

  const Properties& own() const { return own_; }

  /// The nearest element along the lineage that has a child element with
  /// one of the tags; the element itself when none has.
  const SVDElement& firstWithChild(std::initializer_list<std::string_view> tags) const {
    const auto holds = [&](const SVDElement& element) {
      for (const SVDElement* child = element.firstChild(); child; child = child->nextSibling()) {
        if (std::ranges::find(tags, std::string_view(child->name())) != tags.end()) return true;
      }
      return false;
    };
    if (holds(own_.element())) return own_.element();
    for (const Properties& base : bases_) {
      if (holds(base.element())) return base.element();
    }
    return own_.element();
  }

  /// The first non-empty text of a property along the lineage.
  std::string_view text(Property property) const {
    std::string_view value = own_.text(property);
    for (size_t i = 0; value.empty() && i < bases_.size(); ++i) {
      value = bases_[i].text(property);
    }
    return value;
  }
  bool has(Property property) const { return child(property) != nullptr; }
  /// The first child element of a property along the lineage.
  const SVDElement* child(Property property) const {
    const SVDElement* found = own_.child(property);
    for (size_t i = 0; !found && i < bases_.size(); ++i) found = bases_[i].child(property);
    return found;
  }

 private:
  Properties own_;
  std::vector<Properties> bases_;
};

/// The index strings of a dimensioned element: a comma list, a decimal
/// range "a-b", a letter range "A-C", or the copy numbers when none is given.
class DimIndex {
 public:
  explicit DimIndex(std::string_view text) {
    text = trimmed(text);
    const size_t dash = text.find('-');
    if (text.find(',') == std::string_view::npos && dash != std::string_view::npos) {
      const std::string_view from = trimmed(text.substr(0, dash));
      const std::string_view to = trimmed(text.substr(dash + 1));
      const std::optional<uint64_t> first = svdNumber(from);
      const std::optional<uint64_t> last = svdNumber(to);
      if (first && last && *first <= *last) {
        rangeFirst_ = *first;
        rangeLast_ = *last;
        return;
      }
      const auto letter = [](std::string_view side) {
        return side.size() == 1 && std::isalpha(static_cast<unsigned char>(side[0]));
      };
      if (letter(from) && letter(to) && from[0] <= to[0] &&
          (std::isupper(static_cast<unsigned char>(from[0])) != 0) ==
              (std::isupper(static_cast<unsigned char>(to[0])) != 0)) {
        for (char c = from[0]; c <= to[0]; ++c) items_.emplace_back(1, c);
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

/// The names of the attributes the conversion writes, interned once.
struct AttributeNames {
  const std::string& name = internName("name");
  const std::string& start = internName("start");
  const std::string& size = internName("size");
  const std::string& access = internName("access");
  const std::string& description = internName("description");
  const std::string& resetValue = internName("reset_value");
  const std::string& resetMask = internName("reset_mask");
};

const AttributeNames& names() {
  static const AttributeNames kNames;
  return kNames;
}

/// Adds an attribute to a new element, an empty value left out. The value
/// is a view: of the file, of a text the tree keeps or of a constant, all
/// of which last as long as the model.
void putView(MemoryMapElement& element, const std::string& name, std::string_view text) {
  if (!text.empty()) element.appendAttributeView(name, text);
}
/// The same for a value made here, which the element keeps.
void put(MemoryMapElement& element, const std::string& name, std::string value) {
  if (!value.empty()) element.appendAttribute(name, std::move(value));
}

/// One enumerated value; the texts view the parsed document.
struct EnumDraft {
  std::string_view name;
  std::string value;
  std::string_view description;
};

/// One field of a register (one copy of a dimensioned field), made once and
/// copied into every copy of a dimensioned register; its values are
/// [enumsBegin, enumsEnd) of the register's enum drafts, shared by the
/// copies of a field.
struct FieldDraft {
  std::string_view name;
  std::string start;
  std::string size;
  std::string_view access;
  std::string_view description;
  size_t enumsBegin = 0;
  size_t enumsEnd = 0;
};

}  // namespace

/// One conversion of a parsed SVD document into the map's tree. Texts read
/// from the document are views into it, and so are most attribute values of
/// the model: the map keeps the tree as long as its model.
class SVDFile::Converter {
 public:
  Converter(SVDFile& map, uint32_t options, SVDTree& tree, const SVDElement& device)
      : map_(map),
        options_(options),
        limits_(map.svdLimits()),
        tree_(tree),
        device_(device, 0, [](std::string_view) { return nullptr; }),
        deviceDefaults_(RegisterDefaults::of(device_)) {}

  void run(MemoryMapElement& root);

 private:
  /// What the registers of one group inherit and where their derivedFrom
  /// names are looked up.
  struct Scope {
    RegisterDefaults peripheral;
    std::vector<RegisterDefaults> clusters;  ///< outermost first
    const SVDElement* registers;           ///< the peripheral's register block
    std::string_view prefix;
    std::string_view suffix;
    std::string_view peripheralName;
  };

  const SVDElement* findPeripheral(std::string_view name) const;
  void convertPeripheral(const SVDElement& peripheral, MemoryMapElement& root);
  void convertBlock(const SVDElement& block, MemoryMapElement& group, const std::string& groupStart,
                    const std::string& clusterPath, Scope& scope);
  void convertCluster(const SVDElement& cluster, const std::string& enclosingStart,
                      const std::string& enclosingPath, Scope& scope);
  void convertRegister(const SVDElement& reg, MemoryMapElement& group, const Scope& scope);
  /// Fills fieldDrafts_ and enumDrafts_ with the register's fields.
  void fields(const Lineage& reg, const Scope& scope);
  /// Appends the values of one enumeratedValues element to enumDrafts_.
  void enums(const SVDElement& field, const Scope& scope);
  /// A register property inherited from the enclosing clusters, the
  /// peripheral and the device, nearest first.
  std::string_view inherited(const Lineage& reg, const Scope& scope,
                             std::string_view RegisterDefaults::*inheritedValue,
                             Property property) const;
  void storeInterrupt(const SVDElement& interrupt);

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
  SVDTree& tree_;
  const Lineage device_;
  const RegisterDefaults deviceDefaults_;
  MemoryMapElement* root_ = nullptr;
  std::unordered_map<std::string_view, const SVDElement*> peripherals_;
  // The drafts of the register being converted, kept to reuse their room.
  std::vector<FieldDraft> fieldDrafts_;
  std::vector<EnumDraft> enumDrafts_;
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
  if (!element.has(Property::Dim)) return 1;
  const uint64_t dim = svdNumber(element.text(Property::Dim)).value_or(0);
  if (dim <= limits_.maxDim) return static_cast<uint32_t>(dim);
  map_.reportError("dim " + std::to_string(dim) + " of " + std::string(element.text(Property::Name)) +
                   " cut to " + std::to_string(limits_.maxDim));
  return limits_.maxDim;
}

const SVDElement* SVDFile::Converter::findPeripheral(std::string_view name) const {
  const auto found = peripherals_.find(name);
  if (found != peripherals_.end()) return found->second;
  return findElementWithChildText(&device_.own().element(), "peripheral", "name", name);
}

void SVDFile::Converter::run(MemoryMapElement& root) {
  root_ = &root;
  const SVDElement* peripherals = device_.own().child(Property::Peripherals);
  if (!peripherals) return;
  for (const SVDElement* peripheral = tidewater::findElement(peripherals->firstChild(), "peripheral");
       peripheral; peripheral = tidewater::findElement(peripheral->nextSibling(), "peripheral")) {
    peripherals_.try_emplace(Properties(*peripheral).text(Property::Name), peripheral);
  }
  for (const SVDElement* peripheral = tidewater::findElement(peripherals->firstChild(), "peripheral");
       peripheral; peripheral = tidewater::findElement(peripheral->nextSibling(), "peripheral")) {
    convertPeripheral(*peripheral, root);
  }
}

void SVDFile::Converter::convertPeripheral(const SVDElement& peripheral, MemoryMapElement& root) {
  const Lineage lineage(peripheral, limits_.maxDerivation,
                        [this](std::string_view name) { return findPeripheral(name); });
  for (const SVDElement* interrupt = tidewater::findElement(peripheral.firstChild(), "interrupt");
       interrupt; interrupt = tidewater::findElement(interrupt->nextSibling(), "interrupt")) {
    storeInterrupt(*interrupt);
  }
  const std::string_view baseAddress = lineage.text(Property::BaseAddress);
  const std::string start = baseAddress.empty() ? std::string() : resolverNumber(baseAddress);
  const std::string_view name = lineage.own().text(Property::Name);
  MemoryMapElement* group = add(root, "RegisterGroup", 3);
  if (!group) return;
  putView(*group, names().name, name);
  put(*group, names().start, start);
  putView(*group, names().description, lineage.text(Property::Description));
  const SVDElement* registers = lineage.child(Property::Registers);
  if (!registers) return;
  Scope scope{RegisterDefaults::of(lineage), {}, registers, lineage.text(Property::PrependToName),
              lineage.text(Property::AppendToName), name};
  convertBlock(*registers, *group, start.empty() ? "0" : start, {}, scope);
}

void SVDFile::Converter::convertBlock(const SVDElement& block, MemoryMapElement& group,
                                      const std::string& groupStart,
                                      const std::string& clusterPath, Scope& scope) {
  for (const SVDElement* element = block.firstChild(); element; element = element->nextSibling()) {
    if (element->name() == "register") {
      convertRegister(*element, group, scope);
    } else if (element->name() == "cluster") {
      convertCluster(*element, groupStart, clusterPath, scope);
    }
  }
}

void SVDFile::Converter::convertCluster(const SVDElement& cluster,
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
  const Lineage lineage(cluster, limits_.maxDerivation, [&](std::string_view name) {
    // A dotted derivedFrom names the cluster by its path, possibly in another peripheral.
    const auto find = [&](const SVDElement* within, std::string_view wanted) {
      return findElementWithChildText(within, "cluster", "name", wanted);
    };
    const SVDElement* found = find(scope.registers, name);
    if (!found) found = find(scope.registers, lastPathPart(name));
    if (!found) found = find(&device_.own().element(), lastPathPart(name));
    return found;
  });
  const uint32_t count = copies(lineage);
  const DimIndex index(lineage.text(Property::DimIndex));
  const std::string_view incrementText = lineage.text(Property::DimIncrement);
  const std::string increment = incrementText.empty() ? std::string() : resolverNumber(incrementText);
  const std::string_view offsetText = lineage.text(Property::AddressOffset);
  const std::string offset = offsetText.empty() ? "0" : resolverNumber(offsetText);
  const std::string_view nameTemplate = lineage.text(Property::Name);
  const std::string_view descriptionTemplate = lineage.text(Property::Description);
  const bool dimensioned = lineage.has(Property::Dim);
  // A cluster derived from another without registers of its own has the other's.
  const SVDElement& content = lineage.firstWithChild({"register", "cluster"});
  ++clusterDepth_;
  scope.clusters.push_back(RegisterDefaults::of(lineage));
  for (uint32_t k = 0; k < count && !budgetReported_; ++k) {
    const std::string copyIndex = index(k);
    std::string name(nameTemplate);
    replaceAll(name, "%s", copyIndex);
    const std::string path = enclosingPath.empty() ? name : enclosingPath + "." + name;
    // Offsets add up along the nesting; the resolver evaluates the sum.
    std::string start = enclosingStart + "+" + offset;
    if (dimensioned && !increment.empty()) {
      start.append("+").append(increment).append("*") += std::to_string(k);
    }
    MemoryMapElement* group = add(*root_, "RegisterGroup", 3);
    if (!group) break;
    std::string groupName(scope.peripheralName);
    groupName.append(" (").append(path) += ')';
    put(*group, names().name, std::move(groupName));
    put(*group, names().start, start);
    putView(*group, names().description, copied(descriptionTemplate, copyIndex, tree_));
    convertBlock(content, *group, start, path, scope);
  }
  scope.clusters.pop_back();
  --clusterDepth_;
}

std::string_view SVDFile::Converter::inherited(const Lineage& reg, const Scope& scope,
                                               std::string_view RegisterDefaults::*inheritedValue,
                                               Property property) const {
  std::string_view value = reg.text(property);
  for (auto cluster = scope.clusters.rbegin(); value.empty() && cluster != scope.clusters.rend();
       ++cluster) {
    value = (*cluster).*inheritedValue;
  }
  if (value.empty()) value = scope.peripheral.*inheritedValue;
  if (value.empty()) value = deviceDefaults_.*inheritedValue;
  return value;
}

void SVDFile::Converter::convertRegister(const SVDElement& element, MemoryMapElement& group,
                                         const Scope& scope) {
  const Lineage reg(element, limits_.maxDerivation, [&](std::string_view name) {
    const auto find = [&](std::string_view wanted) {
      return findElementWithChildText(scope.registers, "register", "name", wanted);
    };
    const SVDElement* found = find(name);
    // A dotted derivedFrom names the register by its path; its last part is the name.
    if (!found && name.find('.') != std::string_view::npos) found = find(lastPathPart(name));
    return found;
  });
  const uint32_t count = copies(reg);
  if (count == 0) return;
  const bool dimensioned = reg.has(Property::Dim);
  const DimIndex index(reg.text(Property::DimIndex));
  const uint64_t increment = svdNumber(reg.text(Property::DimIncrement)).value_or(0);

  const std::string_view nameTemplate = reg.text(Property::Name);
  const std::string_view offsetText = reg.text(Property::AddressOffset);
  const std::string offset = offsetText.empty() ? std::string() : resolverNumber(offsetText);
  std::string size;
  if (const std::optional<uint64_t> bits =
          svdNumber(inherited(reg, scope, &RegisterDefaults::size, Property::Size))) {
    size = std::to_string((options_ & KeepSizeInBits) ? *bits : *bits / 8);
  }
  const std::string_view access =
      mappedAccess(kRegisterAccess, inherited(reg, scope, &RegisterDefaults::access, Property::Access),
                   reg.has(Property::ReadAction));
  const std::string_view descriptionTemplate = reg.text(Property::Description);
  const std::string_view resetValue =
      inherited(reg, scope, &RegisterDefaults::resetValue, Property::ResetValue);
  const std::string_view resetMask =
      inherited(reg, scope, &RegisterDefaults::resetMask, Property::ResetMask);
  fields(reg, scope);

  const bool indexed = nameTemplate.find("%s") != std::string_view::npos;
  const bool describedPerCopy = descriptionTemplate.find("%s") != std::string_view::npos;
  for (uint32_t k = 0; k < count; ++k) {
    std::string name;
    name.reserve(scope.prefix.size() + nameTemplate.size() + scope.suffix.size());
    name.append(scope.prefix).append(nameTemplate);
    // Only the name's own "%s" is replaced, not one in the prefix.
    const std::string copyIndex = indexed || describedPerCopy ? index(k) : std::string();
    if (indexed) replaceAll(name, "%s", copyIndex, scope.prefix.size());
    name.append(scope.suffix);
    std::string start;
    start.reserve(offset.size() + 24);
    start.append("+").append(offset);
    if (dimensioned) start.append("+") += std::to_string(k * increment);
    MemoryMapElement* made = add(group, "Register", 7);
    if (!made) return;
    put(*made, names().name, std::move(name));
    put(*made, names().start, std::move(start));
    put(*made, names().size, size);
    putView(*made, names().access, access);
    putView(*made, names().description, describedPerCopy ? copied(descriptionTemplate, copyIndex, tree_) : descriptionTemplate);
    putView(*made, names().resetValue, resetValue);
    putView(*made, names().resetMask, resetMask);
    for (const FieldDraft& draft : fieldDrafts_) {
      MemoryMapElement* field = add(*made, "BitField", 5);
      if (!field) return;
      putView(*field, names().name, draft.name);
      put(*field, names().start, draft.start);
      put(*field, names().size, draft.size);
      putView(*field, names().access, draft.access);
      putView(*field, names().description, draft.description);
      for (size_t i = draft.enumsBegin; i < draft.enumsEnd; ++i) {
        const EnumDraft& value = enumDrafts_[i];
        MemoryMapElement* item = add(*field, "Enum", 3);
        if (!item) return;
        putView(*item, names().name, value.name);
        put(*item, names().start, value.value);
        putView(*item, names().description, value.description);
      }
    }
  }
}

void SVDFile::Converter::fields(const Lineage& reg, const Scope& scope) {
  fieldDrafts_.clear();
  enumDrafts_.clear();
  const SVDElement* block = reg.child(Property::Fields);
  if (!block) return;
  for (const SVDElement* element = tidewater::findElement(block->firstChild(), "field"); element;
       element = tidewater::findElement(element->nextSibling(), "field")) {
    const Lineage field(*element, limits_.maxDerivation, [&](std::string_view name) {
      const SVDElement* found = findElementWithChildText(block, "field", "name", name);
      if (!found) {
        found = findElementWithChildText(scope.registers, "field", "name", lastPathPart(name));
      }
      return found;
    });
    const std::string_view nameTemplate = field.text(Property::Name);
    const std::string_view descriptionTemplate = field.text(Property::Description);
    std::optional<uint64_t> lsb;
    std::optional<uint64_t> width;
    if (field.has(Property::BitOffset)) {
      lsb = svdNumber(field.text(Property::BitOffset));
      width = field.has(Property::BitWidth) ? svdNumber(field.text(Property::BitWidth)) : 1;
    } else if (const std::string_view range = field.text(Property::BitRange); !range.empty()) {
      // "[msb:lsb]"
      const size_t colon = range.find(':');
      if (range.starts_with('[') && range.ends_with(']') && colon != std::string_view::npos) {
        const std::optional<uint64_t> msb = svdNumber(range.substr(1, colon - 1));
        lsb = svdNumber(range.substr(colon + 1, range.size() - colon - 2));
        if (msb && lsb && *msb >= *lsb) width = *msb - *lsb + 1;
      }
    } else if (field.has(Property::Lsb)) {
      lsb = svdNumber(field.text(Property::Lsb));
      const std::optional<uint64_t> msb = svdNumber(field.text(Property::Msb));
      if (msb && lsb && *msb >= *lsb) width = *msb - *lsb + 1;
    }
    std::string_view access;
    const bool readHasSideEffects = field.has(Property::ReadAction);
    if (const std::string_view own = field.text(Property::Access); !own.empty() || readHasSideEffects) {
      access = mappedAccess(kFieldAccess, own, readHasSideEffects);
    }
    const size_t enumsBegin = enumDrafts_.size();
    for (const SVDElement* values = field.own().child(Property::EnumeratedValues); values;
         values = tidewater::findElement(values->nextSibling(), "enumeratedValues")) {
      enums(*values, scope);
    }
    if (enumDrafts_.size() == enumsBegin) {
      // A derived field without values of its own takes its base's.
      if (const SVDElement* values = field.child(Property::EnumeratedValues)) enums(*values, scope);
    }

    // A dimensioned field is one field per index, each "dimIncrement" bits
    // above the one before.
    const uint32_t count = copies(field);
    const bool dimensioned = field.has(Property::Dim);
    const DimIndex index(field.text(Property::DimIndex));
    const uint64_t increment = dimensioned ? svdNumber(field.text(Property::DimIncrement)).value_or(0) : 0;
    // Every copy of the register repeats the drafts, so they count against
    // the element budget of one copy.
    const bool perCopy = nameTemplate.find("%s") != std::string_view::npos ||
                         descriptionTemplate.find("%s") != std::string_view::npos;
    for (uint32_t k = 0; k < count && fieldDrafts_.size() < limits_.maxElements; ++k) {
      const std::string copyIndex = perCopy ? index(k) : std::string();
      FieldDraft draft;
      draft.name = perCopy ? copied(nameTemplate, copyIndex, tree_) : nameTemplate;
      draft.description = perCopy ? copied(descriptionTemplate, copyIndex, tree_) : descriptionTemplate;
      if (lsb) draft.start = std::to_string(*lsb + k * increment);
      if (width) draft.size = std::to_string(*width);
      draft.access = access;
      draft.enumsBegin = enumsBegin;
      draft.enumsEnd = enumDrafts_.size();
      fieldDrafts_.push_back(std::move(draft));
    }
  }
}

void SVDFile::Converter::enums(const SVDElement& valuesElement, const Scope& scope) {
  const Lineage values(valuesElement, limits_.maxDerivation, [&](std::string_view name) {
    const std::string_view last = lastPathPart(name);
    const SVDElement* found =
        findElementWithChildText(scope.registers, "enumeratedValues", "name", last);
    if (!found) {
      found = findElementWithChildText(&device_.own().element(), "enumeratedValues", "name", last);
    }
    return found;
  });
  // The values are the element's own, else those of the nearest base that lists some.
  const SVDElement* first = values.child(Property::EnumeratedValue);
  for (const SVDElement* value = first; value;
       value = tidewater::findElement(value->nextSibling(), "enumeratedValue")) {
    const Properties properties(*value);
    const std::string_view text = properties.text(Property::Value);
    enumDrafts_.push_back({properties.text(Property::Name), text.empty() ? std::string() : resolverNumber(text),
                           properties.text(Property::Description)});
  }
}

void SVDFile::Converter::storeInterrupt(const SVDElement& interrupt) {
  const Properties properties(interrupt);
  const std::optional<uint64_t> value = svdNumber(properties.text(Property::Value));
  if (!value || *value >= map_.interruptVectors().size()) return;
  auto vector = std::make_unique<MemoryMapElement>("Vector");
  vector->setAttribute("name", vectorName(std::string(properties.text(Property::Name))));
  vector->setAttribute("start", std::to_string(*value));
  const std::string_view description = properties.text(Property::Description);
  if (!description.empty()) vector->setAttribute("description", std::string(description));
  map_.interruptVectors()[*value] = vector.get();
  map_.vectors_.push_back(std::move(vector));
  map_.highestInterrupt_ = std::max(map_.highestInterrupt_, static_cast<int>(*value));
}
SVDFile::SVDFile(const MacroTable& macros, std::ostream* warnings)
    : MemoryMap(macros, warnings) {}

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
  tree_.reset();  // after the model, whose values view it
}

bool SVDFile::load(const std::string& path, uint32_t options) {
  clear();
  // The document only carries the parse settings and takes its error.
  QXMLDocument svd(true);
  svd.setKeepBlankText(false);  // the layout between elements is never read
  svd.setReferenceReading(ReferenceReading::UTF8);
  svd.setInputLimit(inputLimit());
  auto tree = std::make_unique<SVDTree>();
  if (!tree->load(svd, path)) {
    setError(svd.errorText(), svd.errorLine());
    return false;
  }
  const SVDElement* device = tree->root();
  if (!device) {
    setError(path + " holds no element", 0);
    return false;
  }
  setError({}, 0);
  tree_ = std::move(tree);
  setRoot(createElement("Processor"));
  auto* top = static_cast<MemoryMapElement*>(root());
  const std::chrono::system_clock::time_point fileTime = fileModificationTime(path);
  top->setFileTime(fileTime);
  setLoadedFile(path, fileTime);

  const Properties properties(*device);
  const std::string_view name = properties.text(Property::Name);
  if (!name.empty()) top->setAttribute("name", std::string(name));
  if (const SVDElement* cpuElement = properties.child(Property::Cpu)) {
    const Properties cpu(*cpuElement);
    cpuName_ = cpu.text(Property::Name);
    mpuPresent_ = cpu.text(Property::MpuPresent);
    fpuPresent_ = cpu.text(Property::FpuPresent);
    nvicPrioBits_ = cpu.text(Property::NvicPrioBits);
  }
  Converter(*this, options, *tree_, *device).run(*top);
  resolveAddresses(*top, 0);
  return true;
}

uint32_t SVDFile::priorityBits() const {
  const std::optional<uint64_t> bits = svdNumber(nvicPrioBits_);
  return bits && *bits <= 8 ? static_cast<uint32_t>(*bits) : 0;
}

bool SVDFile::hasFPU() const { return fpuPresent_ == "true" || fpuPresent_ == "1"; }

}  // namespace tidewater
