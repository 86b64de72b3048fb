#include "target/memory_map.h"

#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <iostream>
#include <utility>

#include "base/path.h"

namespace tidewater {
namespace {

using Kind = MemoryMapElement::Kind;

/// The value of a lone decimal or "0x" literal (the common start), read
/// directly; nullopt for anything else, which the evaluator reads instead.
/// Both give the same value for these texts.
std::optional<uint64_t> plainLiteral(std::string_view text) {
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  if (hex) text.remove_prefix(2);
  // A leading 0 would make it octal; more than 16 digits may not fit.
  if (text.empty() || text.size() > 16 || (!hex && text.size() > 1 && text[0] == '0')) {
    return std::nullopt;
  }
  uint64_t value = 0;
  for (const char c : text) {
    uint64_t digit = 0;
    if (c >= '0' && c <= '9') digit = static_cast<uint64_t>(c - '0');
    else if (hex && c >= 'a' && c <= 'f') digit = static_cast<uint64_t>(c - 'a' + 10);
    else if (hex && c >= 'A' && c <= 'F') digit = static_cast<uint64_t>(c - 'A' + 10);
    else return std::nullopt;
    value = value * (hex ? 16 : 10) + digit;
  }
  // Sixteen decimal digits always fit; hexadecimal ones were checked by count.
  return value;
}

/// A start is an expression; one written with a leading "+" counts from the base.
uint32_t resolveStart(ExpressionParser& evaluator, std::string_view text, uint32_t base) {
  const bool relative = text.starts_with('+');
  std::optional<uint64_t> value = plainLiteral(text.substr(relative ? 1 : 0));
  if (!value) {
    bool ok = false;
    value = evaluator.evaluateUnsigned(std::string(text), &ok);
    if (!ok) return 0;
  }
  return relative ? static_cast<uint32_t>(*value) + base : static_cast<uint32_t>(*value);
}

bool attributeEquals(const MemoryMapElement& element, std::string_view name,
                     std::string_view value, bool caseSensitive) {
  const std::string* text = element.attribute(name);
  if (!text) return false;
  if (caseSensitive) return *text == value;
  return text->size() == value.size() &&
         ::strncasecmp(text->data(), value.data(), value.size()) == 0;
}

/// The element after "element" in a depth-first walk of the subtree at
/// "top", visiting only map elements; null at the end.
MemoryMapElement* nextInWalk(MemoryMapElement* element, MemoryMapElement* top) {
  for (XMLElement* child = element->firstChildElement(); child;
       child = child->nextSiblingElement()) {
    if (MemoryMapElement* mapChild = asMapElement(child)) return mapChild;
  }
  for (XMLNode* node = element; node && node != top; node = node->parent()) {
    for (XMLElement* sibling = node->nextSiblingElement(); sibling;
         sibling = sibling->nextSiblingElement()) {
      if (MemoryMapElement* mapSibling = asMapElement(sibling)) return mapSibling;
    }
  }
  return nullptr;
}

}  // namespace

std::chrono::system_clock::time_point fileModificationTime(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return {};
  return std::chrono::system_clock::time_point(
      std::chrono::duration_cast<std::chrono::system_clock::duration>(
          std::chrono::seconds(status.st_mtim.tv_sec) +
          std::chrono::nanoseconds(status.st_mtim.tv_nsec)));
}

MemoryMap::MemoryMap(const MacroTable& macros, std::ostream* warnings)
    : XMLPP2(macros), warnings_(warnings ? warnings : &std::cerr) {}

MemoryMap::~MemoryMap() = default;

std::unique_ptr<XMLElement> MemoryMap::createElement(std::string name) {
  auto element = std::make_unique<MemoryMapElement>(std::move(name));
  element->setReadOnly(readOnlyLoading_);
  return element;
}

bool MemoryMap::load(const std::string& path, const std::string& macrosText, bool preprocess) {
  preprocess_ = preprocess;
  macrosText_ = macrosText;
  interruptVectors_.clear();
  replacedImports_.clear();
  setRoot(loadFile(path));
  if (!root()) {
    if (errorText().empty()) setError(path + " holds no element", 0);
    return false;
  }
  doctypeName_ = loadedDoctype_.value_or(std::string());
  setDoctype(loadedDoctype_);
  path_ = path;
  if (MemoryMapElement* top = rootElement()) fileTime_ = top->fileTime();
  resolveImports();
  if (MemoryMapElement* top = rootElement()) resolveAddresses(*top, 0);
  return true;
}

std::unique_ptr<XMLElement> MemoryMap::loadFile(const std::string& name) {
  const std::string expanded = macroTable().expandGlobally(name);
  const std::string path = isAbsolutePath(expanded) || loadingPath_.empty()
                               ? expanded
                               : joinPath(directoryPart(loadingPath_), expanded);

  std::unique_ptr<XMLElement> savedRoot = takeRoot();
  std::optional<std::string> savedDoctype = doctype();
  std::optional<std::string> savedVersion = version();
  std::optional<std::string> savedEncoding = encoding();
  const bool savedReadOnly = readOnlyLoading_;
  std::string savedLoadingPath = std::exchange(loadingPath_, path);
  setDoctype(std::nullopt);
  readOnlyLoading_ = ::access(path.c_str(), W_OK) != 0;

  const bool loaded = preprocess_ ? XMLPP2::load(path, macrosText_, true) : QXMLDocument::load(path);
  std::unique_ptr<XMLElement> fileRoot = loaded ? takeRoot() : nullptr;
  loadedDoctype_ = doctype();

  setRoot(std::move(savedRoot));
  setDoctype(std::move(savedDoctype));
  setVersion(std::move(savedVersion));
  setEncoding(std::move(savedEncoding));
  readOnlyLoading_ = savedReadOnly;
  loadingPath_ = std::move(savedLoadingPath);

  if (MemoryMapElement* mapRoot = asMapElement(fileRoot.get())) {
    mapRoot->setFileTime(fileModificationTime(path));
  }
  return fileRoot;
}

void MemoryMap::resolveImports() {
  XMLElement* top = root();
  // Relative import names are taken from the top file's directory.
  loadingPath_ = path_;
  XMLElement* child = top->firstChildElement();
  while (child) {
    XMLElement* next = child->nextSiblingElement();
    const std::string* fileName = child->attribute("filename");
    if (child->name() == "Import" && fileName) {
      std::unique_ptr<XMLElement> imported = loadFile(*fileName);
      if (!imported) {
        reportError("couldn't import " + *fileName + ": " +
                    (errorText().empty() ? std::string("the file holds no element") : errorText()));
      } else {
        auto* importedRoot = asMapElement(imported.get());
        std::unique_ptr<XMLNode> importElement = top->replaceChild(child, std::move(imported));
        if (importedRoot) importedRoot->setImportedBy(asMapElement(importElement.get()));
        replacedImports_.push_back(std::move(importElement));
      }
    }
    child = next;
  }
  loadingPath_.clear();
}

MemoryMapElement* MemoryMap::rootElement() const { return asMapElement(root()); }

MemoryMapElement* MemoryMap::findElement(MemoryMapElement* from, Kind kind,
                                         std::string_view attributeName, std::string_view value,
                                         bool caseSensitive) {
  for (MemoryMapElement* element = from; element; element = nextInWalk(element, from)) {
    if (element->elementKind() != kind) continue;
    if (attributeName.empty() || attributeEquals(*element, attributeName, value, caseSensitive)) {
      return element;
    }
  }
  return nullptr;
}

MemoryMapElement* MemoryMap::addElement(MemoryMapElement& parent, const std::string& tag,
                                        const std::string& name, const std::string& start,
                                        const std::string& size, const std::string& access,
                                        const std::string& description) {
  auto element = std::make_unique<MemoryMapElement>(tag);
  const std::pair<const char*, const std::string*> attributes[] = {
      {"name", &name}, {"start", &start}, {"size", &size},
      {"access", &access}, {"description", &description}};
  for (const auto& [attributeName, text] : attributes) {
    if (!text->empty()) element->setAttribute(attributeName, *text);
  }
  MemoryMapElement* added = element.get();
  parent.appendChild(std::move(element));
  return added;
}

void MemoryMap::resolveAddresses(MemoryMapElement& top, uint32_t topBase) {
  // An explicit stack: a map may nest deeper than the call stack allows.
  std::vector<std::pair<MemoryMapElement*, uint32_t>> pending{{&top, topBase}};
  while (!pending.empty()) {
    auto [element, base] = pending.back();
    pending.pop_back();
    uint32_t childBase = base;
    const Kind kind = element->elementKind();
    const bool container = element->isContainer();
    const bool literalSized =
        kind == Kind::Register || kind == Kind::BitField || kind == Kind::Enum;
    if (const std::optional<std::string_view> start = element->attributeView("start")) {
      if (container) {
        element->setStart(resolveStart(evaluator(), *start, base));
        childBase = element->start();
      } else if (kind == Kind::Register) {
        element->setStart(resolveStart(evaluator(), *start, base));
      } else if (kind == Kind::BitField || kind == Kind::Enum) {
        // A field's start is a bit number, never an address.
        element->setStart(resolveStart(evaluator(), *start, 0));
      }
    }
    if (const std::optional<std::string_view> size = element->attributeView("size")) {
      if (container) {
        bool ok = false;
        const uint64_t value = evaluator().evaluateUnsigned(std::string(*size), &ok);
        if (ok) element->setSize(static_cast<uint32_t>(value));
      } else if (literalSized) {
        element->setSize(memoryMapLiteral(*size));
      }
    }
    for (XMLElement* child = element->firstChildElement(); child;
         child = child->nextSiblingElement()) {
      if (MemoryMapElement* mapChild = asMapElement(child)) pending.emplace_back(mapChild, childBase);
    }
  }
}

void MemoryMap::reportError(const std::string& message) {
  XMLPP2::reportError(message);
  *warnings_ << "warning: " << message << '\n';
}

}  // namespace tidewater
