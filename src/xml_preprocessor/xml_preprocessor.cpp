#include "xml_preprocessor/xml_preprocessor.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "base/path.h"
#include "xml_preprocessor/xml_preprocessor_macros.h"

namespace tidewater {
namespace {

constexpr std::string_view kPrefix = "XmlPP::processConditionals(): ";

std::string message(std::string_view text) { return std::string(kPrefix) + std::string(text); }

enum class Directive {
  None,
  If,
  IfNot,
  IfDef,
  IfNDef,
  IfEx,
  Switch,
  Include,
  Define,
  For,
  ForEach,
  XmlDef,
  XmlPut
};

Directive directiveOf(const std::string& tag) {
  static const std::map<std::string, Directive, std::less<>> kDirectives = {
      {"if", Directive::If},           {"ifnot", Directive::IfNot},   {"ifdef", Directive::IfDef},
      {"ifndef", Directive::IfNDef},   {"ifex", Directive::IfEx},     {"switch", Directive::Switch},
      {"include", Directive::Include}, {"define", Directive::Define}, {"for", Directive::For},
      {"foreach", Directive::ForEach}, {"xmldef", Directive::XmlDef}, {"xmlput", Directive::XmlPut},
  };
  const auto found = kDirectives.find(tag);
  return found == kDirectives.end() ? Directive::None : found->second;
}

/// The attribute's value, "" for an attribute without one, nullopt when absent.
std::optional<std::string> attributeText(const XMLElement& element, std::string_view name) {
  if (!element.hasAttribute(name)) return std::nullopt;
  const std::string* value = element.attribute(name);
  return value ? *value : std::string();
}

bool listContains(std::string_view list, const std::string& value) {
  const std::vector<std::string> items = splitPlainList(list, ',');
  return std::find(items.begin(), items.end(), value) != items.end();
}

/// What one loop iteration costs the produced-bytes budget besides its
/// copies, so that loops without elements to copy are bounded as well.
constexpr uint64_t kIterationBytes = 64;
/// The same for each entry of a copied macro map (values are not counted:
/// they were charged when they were made).
constexpr uint64_t kMacroEntryBytes = 64;

/// Memory an element subtree takes, roughly: a fixed cost per node plus its text.
uint64_t treeBytes(const XMLNode& top) {
  constexpr uint64_t kNodeBytes = 64;
  uint64_t bytes = 0;
  std::vector<const XMLNode*> pending{&top};
  while (!pending.empty()) {
    const XMLNode* node = pending.back();
    pending.pop_back();
    bytes += kNodeBytes;
    if (const XMLElement* element = node->asElement()) {
      bytes += element->name().size();
      for (const XMLAttribute& attribute : element->attributes()) {
        bytes += kNodeBytes / 2 + attribute.name.size() +
                 (attribute.value ? attribute.value->size() : 0);
      }
    } else if (node->kind() == XMLNode::Kind::Data) {
      bytes += static_cast<const XMLData*>(node)->text().size();
    } else if (node->kind() == XMLNode::Kind::Comment) {
      bytes += static_cast<const XMLComment*>(node)->text().size();
    } else {
      bytes += static_cast<const XMLCDATASection*>(node)->text().size();
    }
    for (const XMLNode* child = node->firstChild(); child; child = child->nextSibling()) {
      pending.push_back(child);
    }
  }
  return bytes;
}

/// An include file name relative to the directory of the including file.
std::string includePath(const std::string& currentPath, const std::string& name) {
  if (isAbsolutePath(name) || currentPath.find('/') == std::string::npos) return name;
  return joinPath(directoryPart(currentPath), name);
}

std::unique_ptr<XMLElement> asElementPointer(std::unique_ptr<XMLNode> node) {
  return std::unique_ptr<XMLElement>(static_cast<XMLElement*>(node.release()));
}

/// Counts one level of nesting for as long as it lives.
class NestingGuard {
 public:
  explicit NestingGuard(uint32_t& counter) : counter_(counter) { ++counter_; }
  ~NestingGuard() { --counter_; }
  NestingGuard(const NestingGuard&) = delete;
  NestingGuard& operator=(const NestingGuard&) = delete;

 private:
  uint32_t& counter_;
};

}  // namespace

/// The macros of one sibling chain: the inherited map, copied on the first
/// change, so that levels that define nothing cost no copy. A copy is
/// charged to the produced-bytes budget like any other.
class XMLPP2::LevelMacros {
 public:
  LevelMacros(XMLPP2& owner, const MacroMap& inherited) : owner_(owner), map_(&inherited) {}
  LevelMacros(const LevelMacros&) = delete;
  LevelMacros& operator=(const LevelMacros&) = delete;

  const MacroMap& map() const { return *map_; }
  MacroMap& writable() {
    if (!own_) {
      owner_.charge(kMacroEntryBytes * map_->size());
      own_ = *map_;
      map_ = &*own_;
    }
    return *own_;
  }

 private:
  XMLPP2& owner_;
  const MacroMap* map_;
  std::optional<MacroMap> own_;
};

/// One sibling chain being processed: the nodes still to visit, the element
/// at hand, and the parent that receives the results in order.
struct XMLPP2::Chain {
  XMLNode& out;
  const std::string& path;
  LevelMacros macros;
  bool expand;
  XMLElement pending{std::string()};
  std::unique_ptr<XMLElement> current;
};

XMLPP2::XMLPP2(const MacroTable& macros, bool keepText)
    : QXMLDocument(keepText), macros_(macros) {}

XMLPP2::~XMLPP2() = default;

void XMLPP2::reportError(const std::string& message) { reports_.push_back(message); }

const XMLElement* XMLPP2::definition(const std::string& name) const {
  const auto found = definitions_.find(name);
  return found == definitions_.end() ? nullptr : found->second.get();
}

bool XMLPP2::load(const std::string& path, const std::string& macrosText, bool expand) {
  if (!QXMLDocument::load(path)) return false;
  nesting_ = includeDepth_ = includes_ = putDepth_ = 0;
  produced_ = 0;
  reportedBounds_ = 0;
  if (root()) processConditionals(root(), path, mergeMacroList({}, macrosText), expand);
  return true;
}

void XMLPP2::processConditionals(XMLNode* firstNode, const std::string& currentPath,
                                 MacroMap macros, bool expand) {
  processChain(firstNode, currentPath, macros, expand);
}

void XMLPP2::processChain(XMLNode* first, const std::string& path, const MacroMap& inherited,
                          bool expand) {
  if (!first) return;
  NestingGuard nesting(nesting_);
  if (nesting_ > limits_.maxNesting) {
    reportBound(Bound::Nesting,
                message("elements nested deeper than " + std::to_string(limits_.maxNesting) +
                        " levels are left unprocessed in " + path));
    return;
  }
  XMLNode* parent = first->parent();
  if (!parent) {
    // The document element: there is nothing to splice into, so a directive
    // there stays an ordinary element.
    XMLElement* root = first->asElement();
    if (!root) return;
    if (expand) expandAttributesCharged(*root, inherited);
    if (directiveOf(root->name()) != Directive::None) {
      reportError(message("<" + root->name() + "> as the document element is not supported"));
    }
    processChain(root->firstChild(), path, inherited, expand);
    return;
  }
  // The nodes from "first" on move to a pending list and come back to the
  // parent one by one as they are dealt with, so that every step is O(1)
  // however long the chain grows.
  Chain chain{
      .out = *parent, .path = path, .macros = LevelMacros(*this, inherited), .expand = expand};
  chain.pending.appendChild(parent->takeChildren());
  while (chain.pending.firstChild() != first) {
    parent->appendChild(chain.pending.removeChild(chain.pending.firstChild()));
  }
  while (XMLNode* node = chain.pending.firstChild()) {
    std::unique_ptr<XMLNode> owned = chain.pending.removeChild(node);
    if (!node->isElement()) {
      parent->appendChild(std::move(owned));
      continue;
    }
    chain.current = asElementPointer(std::move(owned));
    processElement(chain);
  }
}

void XMLPP2::processElement(Chain& chain) {
  XMLElement& element = *chain.current;
  if (chain.expand) expandAttributesCharged(element, chain.macros.map());
  switch (directiveOf(element.name())) {
    case Directive::None:
      return keep(chain);
    case Directive::If:
      return condition(chain, false);
    case Directive::IfNot:
      return condition(chain, true);
    case Directive::IfDef:
      return ifDefined(chain, false);
    case Directive::IfNDef:
      return ifDefined(chain, true);
    case Directive::IfEx:
      return ifExpression(chain);
    case Directive::Switch:
      return switchCase(chain);
    case Directive::Include:
      return include(chain);
    case Directive::Define:
      return define(chain);
    case Directive::For:
      return forLoop(chain);
    case Directive::ForEach:
      return forEachLoop(chain);
    case Directive::XmlDef:
      return storeDefinition(chain);
    case Directive::XmlPut:
      return putDefinition(chain);
  }
}

void XMLPP2::keep(Chain& chain) {
  processChain(chain.current->firstChild(), chain.path, chain.macros.map(), chain.expand);
  chain.out.appendChild(std::move(chain.current));
}

void XMLPP2::remove(Chain& chain) { chain.current.reset(); }

void XMLPP2::splice(Chain& chain, XMLElement& source, const MacroMap& macros, bool expand) {
  processChain(source.firstChild(), chain.path, macros, expand);
  if (std::unique_ptr<XMLNode> children = source.takeChildren()) {
    chain.out.appendChild(std::move(children));
  }
  chain.current.reset();
}

void XMLPP2::condition(Chain& chain, bool negate) {
  XMLElement& element = *chain.current;
  LevelMacros& macros = chain.macros;
  if (element.attributes().size() != 1) {
    reportError(message("one condition required for <if[not]>"));
    return keep(chain);
  }
  const XMLAttribute& test = element.attributes().front();
  const std::string list = test.value.value_or("");
  // An undefined macro is defined empty in this scope by the lookup.
  std::string value;
  if (const auto found = macros.map().find(test.name); found != macros.map().end()) {
    value = found->second;
  } else {
    macros.writable().emplace(test.name, std::string());
  }
  const bool holds = listContains(list, value) != negate;
  return holds ? splice(chain, element, macros.map(), chain.expand) : remove(chain);
}

void XMLPP2::ifDefined(Chain& chain, bool negate) {
  const XMLElement& element = *chain.current;
  const MacroMap& macros = chain.macros.map();
  const bool defined = macros.count(attributeText(element, "name").value_or("")) != 0;
  return defined != negate ? splice(chain, *chain.current, macros, chain.expand) : remove(chain);
}

void XMLPP2::ifExpression(Chain& chain) {
  const XMLElement& element = *chain.current;
  const MacroMap& macros = chain.macros.map();
  const std::string* expression = element.attribute("expression");
  if (!expression || expression->empty()) return keep(chain);
  bool ok = false;
  const bool holds =
      evaluator_.evaluateBool(this->expand(*expression, macros), &ok);
  return ok && holds ? splice(chain, *chain.current, macros, chain.expand) : remove(chain);
}

void XMLPP2::switchCase(Chain& chain) {
  XMLElement& element = *chain.current;
  const MacroMap& macros = chain.macros.map();
  std::string value;
  if (const std::string* name = element.attribute("name")) {
    if (const auto found = macros.find(*name); found != macros.end()) value = found->second;
  }
  XMLElement* chosen = nullptr;
  XMLElement* fallback = nullptr;
  for (XMLElement* child = element.firstChildElement(); child && !chosen;
       child = child->nextSiblingElement()) {
    if (child->name() == "case") {
      if (const std::string* list = child->attribute("value"); list && listContains(*list, value)) {
        chosen = child;
      }
    } else if (child->name() == "default") {
      fallback = child;
    }
  }
  XMLElement* source = chosen ? chosen : fallback;
  return source ? splice(chain, *source, macros, chain.expand) : remove(chain);
}

std::unique_ptr<XMLElement> XMLPP2::loadInclude(const std::string& path) {
  // The file is parsed by this document, so its elements come from this
  // document's factory; the root and declarations are put back afterwards.
  std::unique_ptr<XMLElement> savedRoot = takeRoot();
  std::optional<std::string> savedDoctype = doctype();
  std::optional<std::string> savedVersion = version();
  std::optional<std::string> savedEncoding = encoding();
  const bool loaded = QXMLDocument::load(path);
  std::unique_ptr<XMLElement> included = takeRoot();
  setRoot(std::move(savedRoot));
  setDoctype(std::move(savedDoctype));
  setVersion(std::move(savedVersion));
  setEncoding(std::move(savedEncoding));

  const bool unreadable = !loaded && errorLine() == 0 && errorText().starts_with("couldn't read");
  if (unreadable) {
    reportError(message("error \"" + errorText() + "\" in include file " + path +
                        " line:" + std::to_string(errorLine())));
    return nullptr;
  }
  if (!included) {
    reportError(message("error: include file '" + path + "' is empty"));
    return nullptr;
  }
  if (included->name() == "include") {
    reportError(message("include file '" + path + "' has <include> as its document element"));
    return nullptr;
  }
  return included;
}

void XMLPP2::include(Chain& chain) {
  const XMLElement& element = *chain.current;
  const MacroMap& macros = chain.macros.map();
  const std::string& path = chain.path;
  const std::string* filename = element.attribute("filename");
  if (!filename) {
    reportError(message("missing filename in <include>"));
    return keep(chain);
  }
  // File names see the system macros only, never the preprocessor's own.
  const std::string file =
      includePath(path, macros_.expand(*filename, MacroMap(), false, true));
  if (includeDepth_ >= limits_.maxIncludeDepth) {
    reportBound(Bound::IncludeDepth, message("include files nested deeper than " +
                                             std::to_string(limits_.maxIncludeDepth) +
                                             " levels at include file " + file));
    return keep(chain);
  }
  if (includes_ >= limits_.maxIncludes) {
    reportBound(Bound::Includes,
                message("more than " + std::to_string(limits_.maxIncludes) +
                        " include files loaded; include file " + file + " skipped"));
    return keep(chain);
  }
  if (budgetSpent()) return keep(chain);
  ++includes_;
  std::unique_ptr<XMLElement> loaded = loadInclude(file);
  if (!loaded) return keep(chain);
  if (!charge(treeBytes(*loaded))) return keep(chain);

  // The loaded root takes the <include> element's place; the <include>
  // element stays readable until the end.
  XMLElement& root = *loaded;
  {
    NestingGuard depth(includeDepth_);
    if (const std::optional<std::string> list = attributeText(element, "macros")) {
      const MacroMap merged = mergeMacroList(macros, *list);
      expandAttributesCharged(root, merged);
      processChain(root.firstChild(), file, merged, true);
    } else if (chain.expand) {
      expandAttributesCharged(root, macros);
      processChain(root.firstChild(), file, macros, true);
    } else {
      processChain(root.firstChild(), file, macros, false);
    }
  }
  if (root.name() == "envelope" || element.hasAttribute("no_root")) {
    if (std::unique_ptr<XMLNode> children = root.takeChildren()) {
      chain.out.appendChild(std::move(children));
    }
  } else {
    if (const std::string* inherited = element.attribute("inherit_attributes")) {
      for (std::string& name : splitPlainList(*inherited, ';')) {
        const std::string* value = element.attribute(name);
        root.setAttribute(std::move(name),
                          value ? std::optional<std::string>(*value) : std::nullopt);
      }
    }
    chain.out.appendChild(std::move(loaded));
  }
  chain.current.reset();
}

void XMLPP2::define(Chain& chain) {
  const XMLElement& element = *chain.current;
  LevelMacros& macros = chain.macros;
  const std::optional<std::string> name = attributeText(element, "name");
  if (!name) {
    reportError(message("missing name in <define>"));
    return remove(chain);
  }
  if (std::optional<std::string> value = attributeText(element, "value")) {
    macros.writable()[*name] = std::move(*value);
    return remove(chain);
  }
  const std::optional<std::string> decimal = attributeText(element, "expression");
  const std::optional<std::string> hex =
      decimal ? std::nullopt : attributeText(element, "hex_expression");
  if (!decimal && !hex) {
    reportError(message("missing value or expression in <define>"));
    return remove(chain);
  }
  bool ok = false;
  const auto value = static_cast<uint32_t>(evaluator_.evaluateUnsigned(
      expand(decimal ? *decimal : *hex, macros.map()), &ok));
  if (ok) macros.writable()[*name] = decimal ? std::to_string(value) : upperHex(value);
  return remove(chain);
}

void XMLPP2::forLoop(Chain& chain) {
  const XMLElement& element = *chain.current;
  const MacroMap& macros = chain.macros.map();
  const std::optional<std::string> index = attributeText(element, "index");
  const std::optional<std::string> startText = attributeText(element, "start");
  const std::optional<std::string> endText = attributeText(element, "end");
  const std::optional<std::string> incrText = attributeText(element, "incr");
  if (!index || !startText || !endText || !incrText || !element.firstChild()) {
    reportError(message("<for index=\"i\" start=\"0\" end=\"32\" incr=\"1\">"));
    return remove(chain);
  }
  if (budgetSpent()) return remove(chain);
  const auto start = static_cast<uint32_t>(evaluator_.evaluateUnsigned(*startText));
  const auto end = static_cast<uint32_t>(evaluator_.evaluateUnsigned(*endText));
  const auto incr = static_cast<uint32_t>(evaluator_.evaluateUnsigned(*incrText));
  if (incr == 0) {
    reportError(message("<for index=\"" + *index + "\"> with incr=\"0\" never ends"));
    return remove(chain);
  }
  // A failed evaluation counts as 0, as the evaluator returns.
  int64_t add = 0;
  if (const std::string* addText = element.attribute("add")) {
    add = evaluator_.evaluateSigned(expand(*addText, macros));
  } else if (const std::string* subText = element.attribute("sub")) {
    add = static_cast<int64_t>(0 -
                               static_cast<uint64_t>(evaluator_.evaluateSigned(expand(*subText, macros))));
  }
  int64_t mul = 1;
  if (const std::string* text = element.attribute("mul"))
    mul = evaluator_.evaluateSigned(expand(*text, macros));

  std::vector<uint32_t> values;
  // The index wraps at 32 bits like the bounds, so only the count ends some loops.
  for (uint32_t i = start; i < end; i += incr) {
    if (values.size() >= limits_.maxLoopIterations) {
      reportBound(Bound::LoopIterations,
                  message("<for index=\"" + *index + "\"> runs more than " +
                          std::to_string(limits_.maxLoopIterations) + " iterations"));
      return remove(chain);
    }
    values.push_back(i);
  }
  std::vector<MacroMap> iterations;
  iterations.reserve(values.size());
  for (const uint32_t i : values) {
    if (!charge(kIterationBytes)) return remove(chain);
    iterations.push_back(forIterationMacros(*index, i, mul, add));
  }
  return unroll(chain, iterations);
}

void XMLPP2::forEachLoop(Chain& chain) {
  const XMLElement& element = *chain.current;
  struct Variable {
    std::string name;
    std::vector<std::string> values;
  };
  if (budgetSpent()) return remove(chain);
  std::vector<Variable> variables;
  uint64_t combinations = 1;
  for (const XMLAttribute& attribute : element.attributes()) {
    std::string text = attribute.value.value_or("");
    std::erase_if(text, [](char c) { return c == '\n' || c == '\r'; });
    variables.push_back({attribute.name, splitPlainList(text, ',')});
    combinations *= variables.back().values.size();
    if (combinations > limits_.maxLoopIterations) {
      reportBound(Bound::LoopIterations,
                  message("<foreach> makes more than " + std::to_string(limits_.maxLoopIterations) +
                          " combinations"));
      return remove(chain);
    }
  }
  std::vector<MacroMap> iterations;
  iterations.reserve(combinations);
  // An odometer over the value lists, the first variable turning slowest.
  std::vector<size_t> position(variables.size(), 0);
  for (uint64_t n = 0; n < combinations; ++n) {
    if (!charge(kIterationBytes)) return remove(chain);
    MacroMap map;
    for (size_t v = 0; v < variables.size(); ++v)
      map[variables[v].name] = variables[v].values[position[v]];
    iterations.push_back(std::move(map));
    for (size_t v = variables.size(); v-- > 0;) {
      if (++position[v] < variables[v].values.size()) break;
      position[v] = 0;
    }
  }
  return unroll(chain, iterations);
}

void XMLPP2::unroll(Chain& chain, const std::vector<MacroMap>& iterations) {
  const XMLElement& loop = *chain.current;
  std::vector<std::unique_ptr<XMLElement>> copies;
  for (const MacroMap& map : iterations) {
    for (XMLElement* child = loop.firstChildElement(); child; child = child->nextSiblingElement()) {
      if (budgetSpent()) return remove(chain);
      copies.push_back(cloneExpanded(*this, *child, map));
      if (!charge(treeBytes(*copies.back()))) return remove(chain);
    }
  }
  // The copies are visited next, like any other following sibling.
  for (auto copy = copies.rbegin(); copy != copies.rend(); ++copy) {
    chain.pending.prependChild(std::move(*copy));
  }
  chain.current.reset();
}

void XMLPP2::storeDefinition(Chain& chain) {
  const XMLElement& element = *chain.current;
  const std::string* name = element.attribute("name");
  if (!name) return keep(chain);
  std::string key = *name;
  definitions_[std::move(key)] = std::move(chain.current);
}

void XMLPP2::putDefinition(Chain& chain) {
  const XMLElement& element = *chain.current;
  const MacroMap& macros = chain.macros.map();
  const std::string* name = element.attribute("name");
  if (!name) return keep(chain);
  const XMLElement* stored = definition(*name);
  if (!stored) {
    reportError(message("xmlput cannot fine xmldef named " + *name));
    return keep(chain);
  }
  if (putDepth_ >= limits_.maxPutDepth) {
    reportBound(Bound::PutDepth,
                message("xmlput nested deeper than " + std::to_string(limits_.maxPutDepth) +
                        " levels for xmldef named " + *name));
    return keep(chain);
  }
  if (budgetSpent()) return keep(chain);
  // A copy, so that the fragment can be put again, even from inside itself.
  const std::unique_ptr<XMLElement> copy = asElementPointer(XMLDocument::clone(*this, *stored));
  if (!charge(treeBytes(*copy))) return keep(chain);

  NestingGuard depth(putDepth_);
  if (const std::optional<std::string> list = attributeText(element, "macros")) {
    return splice(chain, *copy, mergeMacroList(macros, *list), true);
  }
  return splice(chain, *copy, macros, chain.expand);
}

std::string XMLPP2::expand(std::string_view text, const MacroMap& macros) {
  if (text.find('$') == std::string_view::npos || budgetSpent()) return std::string(text);
  std::string expanded = expandMacros(text, MacroScope{.node = &macros});
  charge(expanded.size());
  return expanded;
}

void XMLPP2::expandAttributesCharged(XMLElement& element, const MacroMap& macros) {
  for (size_t i = 0; i < element.attributes().size(); ++i) {
    const XMLAttribute& attribute = element.attributes()[i];
    if (!attribute.value || attribute.value->find('$') == std::string::npos) continue;
    std::string value = expand(*attribute.value, macros);
    element.setAttribute(attribute.name, std::move(value));
  }
}

bool XMLPP2::charge(uint64_t bytes) {
  produced_ += bytes;
  if (!budgetSpent()) return true;
  reportBound(Bound::ProducedBytes,
              message("more than " + std::to_string(limits_.maxProducedBytes) +
                      " bytes produced by includes, copies and macro expansions; the rest is left "
                      "unprocessed"));
  return false;
}

void XMLPP2::reportBound(Bound bound, const std::string& text) {
  const auto bit = uint32_t{1} << static_cast<uint32_t>(bound);
  if ((reportedBounds_ & bit) != 0) return;
  reportedBounds_ |= bit;
  reportError(text);
}

void XMLPP2::expandAttributes(XMLElement& element, const MacroMap& macros) {
  for (size_t i = 0; i < element.attributes().size(); ++i) {
    const XMLAttribute& attribute = element.attributes()[i];
    if (!attribute.value || attribute.value->find('$') == std::string::npos) continue;
    std::string value = expandMacros(*attribute.value, MacroScope{.node = &macros});
    element.setAttribute(attribute.name, std::move(value));
  }
}

std::unique_ptr<XMLElement> XMLPP2::cloneExpanded(XMLDocument& document, const XMLElement& element,
                                                  const MacroMap& macros) {
  std::unique_ptr<XMLElement> copy = asElementPointer(XMLDocument::clone(document, element));
  std::vector<XMLNode*> pending{copy.get()};
  while (!pending.empty()) {
    XMLNode* node = pending.back();
    pending.pop_back();
    if (XMLElement* copied = node->asElement()) expandAttributes(*copied, macros);
    for (XMLNode* child = node->firstChild(); child; child = child->nextSibling()) {
      pending.push_back(child);
    }
  }
  return copy;
}

}  // namespace tidewater
