#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "expression/simple_expression_parser.h"
#include "macro/macro_expansion.h"
#include "macro/macro_table.h"
#include "xml/qxml_document.h"

namespace tidewater {

/// A description-file document that rewrites its tree after loading:
/// directive elements (<if>, <ifdef>, <ifex>, <switch>, <include>, <define>,
/// <for>, <foreach>, <xmldef>, <xmlput>, ...) are replaced by what they stand
/// for, so readers see only ordinary elements. Macro maps travel down the
/// tree by value, so a <define> never leaks out of its enclosing element;
/// <xmldef> fragments live as long as the document. Problems go to
/// reportError and never stop processing; every loop, include and put is
/// bounded by limits(), so no input can recurse forever or exhaust memory.
class XMLPP2 : public QXMLDocument {
 public:
  /// Bounds on the work one load() may do.
  struct Limits {
    uint32_t maxNesting = 256;           ///< elements, includes and puts nested in one another
    uint32_t maxIncludeDepth = 32;       ///< include files nested in one another
    uint32_t maxIncludes = 1024;         ///< include files loaded in all
    uint32_t maxPutDepth = 32;           ///< <xmlput>s nested in one another
    uint32_t maxLoopIterations = 65536;  ///< per <for>, and combinations per <foreach>
    /// Bytes of included trees, loop and put copies and macro expansions.
    uint64_t maxProducedBytes = uint64_t{64} << 20;
  };

  /// Include file names are expanded against the system macros of "macros",
  /// which must outlive the document.
  explicit XMLPP2(const MacroTable& macros, bool keepText = false);
  ~XMLPP2() override;

  using QXMLDocument::load;
  /// Loads "path" and preprocesses it with the macro list "macrosText"
  /// ("name=value;..."); with "expand" set every element's attribute values
  /// are macro-expanded before it is examined. False when the file cannot
  /// be read or parsed (errorText and errorLine say why).
  bool load(const std::string& path, const std::string& macrosText, bool expand);

  /// Processes the sibling chain starting at "firstNode" in place; relative
  /// include file names are taken from the directory of "currentPath".
  void processConditionals(XMLNode* firstNode, const std::string& currentPath, MacroMap macros,
                           bool expand);

  /// Replaces every attribute value of "element" that holds a "$" by its
  /// expansion against "macros" alone.
  static void expandAttributes(XMLElement& element, const MacroMap& macros);
  /// Deep copy of "element" made through document.createElement, with every
  /// attribute value expanded against "macros" alone.
  static std::unique_ptr<XMLElement> cloneExpanded(XMLDocument& document, const XMLElement& element,
                                                   const MacroMap& macros);

  /// The fragment stored by <xmldef name="...">, or null. It is detached:
  /// its parent link still names the element it was taken from.
  const XMLElement* definition(const std::string& name) const;

  const MacroTable& macroTable() const { return macros_; }
  /// The evaluator of the directives' expressions, for derived documents
  /// that evaluate attribute values of their own.
  SimpleExpressionParser& evaluator() { return evaluator_; }

  const Limits& limits() const { return limits_; }
  void setLimits(const Limits& limits) { limits_ = limits; }

  /// The messages reported so far (by this class's own reportError).
  const std::vector<std::string>& reports() const { return reports_; }

 protected:
  /// Receives each directive error; this class keeps the messages in reports().
  virtual void reportError(const std::string& message);

 private:
  class LevelMacros;
  struct Chain;

  void processChain(XMLNode* first, const std::string& path, const MacroMap& inherited,
                    bool expand);
  /// Deals with chain.current: hands it (or what it stands for) to chain.out,
  /// stores it, queues copies on chain.pending, or destroys it.
  void processElement(Chain& chain);

  void keep(Chain& chain);
  static void remove(Chain& chain);
  /// Processes source's children and hands them to chain.out in place of
  /// the current element, which is destroyed.
  void splice(Chain& chain, XMLElement& source, const MacroMap& macros, bool expand);

  void condition(Chain& chain, bool negate);
  void ifDefined(Chain& chain, bool negate);
  void ifExpression(Chain& chain);
  void switchCase(Chain& chain);
  void include(Chain& chain);
  void define(Chain& chain);
  void forLoop(Chain& chain);
  void forEachLoop(Chain& chain);
  void storeDefinition(Chain& chain);
  void putDefinition(Chain& chain);

  /// Loads an include file as a detached tree, leaving the document as it
  /// was; reports and returns null on failure.
  std::unique_ptr<XMLElement> loadInclude(const std::string& path);
  /// Queues one copy of every child element of the current loop element per
  /// macro map, to be visited next, and destroys the loop element.
  void unroll(Chain& chain, const std::vector<MacroMap>& iterations);

  /// Expansion against "macros" alone, charged to the produced-bytes budget.
  std::string expand(std::string_view text, const MacroMap& macros);
  void expandAttributesCharged(XMLElement& element, const MacroMap& macros);
  /// Adds "bytes" to the budget; false when it is spent.
  bool charge(uint64_t bytes);
  bool budgetSpent() const { return produced_ > limits_.maxProducedBytes; }

  /// The bounds of Limits; each is reported once per load, then applied quietly.
  enum class Bound : uint8_t {
    Nesting,
    IncludeDepth,
    Includes,
    PutDepth,
    LoopIterations,
    ProducedBytes
  };
  void reportBound(Bound bound, const std::string& text);

  const MacroTable& macros_;
  // Knows no symbols, so it holds nothing from one evaluation to the next.
  SimpleExpressionParser evaluator_;
  Limits limits_;
  std::map<std::string, std::unique_ptr<XMLElement>> definitions_;
  std::vector<std::string> reports_;
  // Work counters of the current load().
  uint32_t nesting_ = 0;
  uint32_t includeDepth_ = 0;
  uint32_t includes_ = 0;
  uint32_t putDepth_ = 0;
  uint64_t produced_ = 0;
  uint32_t reportedBounds_ = 0;
};

}  // namespace tidewater
