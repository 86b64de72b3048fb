#pragma once

#include <chrono>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "target/memory_map_element.h"
#include "xml_preprocessor/xml_preprocessor.h"

namespace tidewater {

/// The document of one memory map, section placement or register definition
/// file: every element is a MemoryMapElement. load() brings in the top file,
/// replaces its Import elements by the files they name and resolves every
/// start and size. Preprocessor reports are printed as warning lines on the
/// warning stream (standard error unless another is given) and kept in reports().
class MemoryMap : public XMLPP2 {
 public:
  /// File names are expanded against the global and system macros of
  /// "macros", which must outlive the map.
  explicit MemoryMap(const MacroTable& macros, std::ostream* warnings = nullptr);
  ~MemoryMap() override;

  std::unique_ptr<XMLElement> createElement(std::string name) override;

  using QXMLDocument::load;
  /// Loads the map at "path" (preprocessed with "macrosText" when
  /// "preprocess" is set), resolves its imports and its addresses. False
  /// when the top file gives no root (errorText and errorLine say why).
  bool load(const std::string& path, const std::string& macrosText, bool preprocess);

  /// Loads one file and hands back its root, leaving the document's root as
  /// it was; null on failure. The name is macro-expanded with the global and
  /// system macros; a relative name is taken from the directory of the file
  /// being loaded (the current directory for the top file).
  std::unique_ptr<XMLElement> loadFile(const std::string& name);

  MemoryMapElement* rootElement() const;

  /// Depth-first search from "from" (itself first) for the first element of
  /// "kind" whose attribute "attributeName" equals "value"; with an empty
  /// attribute name, the first element of the kind. Null when none matches.
  static MemoryMapElement* findElement(MemoryMapElement* from, MemoryMapElement::Kind kind,
                                       std::string_view attributeName = {},
                                       std::string_view value = {}, bool caseSensitive = true);

  /// Appends a new element with the given attributes (empty ones are left
  /// out) to "parent" and returns it.
  MemoryMapElement* addElement(MemoryMapElement& parent, const std::string& tag,
                               const std::string& name, const std::string& start = {},
                               const std::string& size = {}, const std::string& access = {},
                               const std::string& description = {});

  /// Resolves start and size of "element" and everything below it, with
  /// "base" as the enclosing element's start.
  void resolveAddresses(MemoryMapElement& element, uint32_t base);

  const std::string& path() const { return path_; }
  const std::string& doctypeName() const { return doctypeName_; }
  bool preprocess() const { return preprocess_; }
  const std::string& macrosText() const { return macrosText_; }
  std::chrono::system_clock::time_point fileTime() const { return fileTime_; }

  /// Interrupt vector elements indexed by interrupt number; null where the
  /// table has no entry. Filled by the register description import.
  std::vector<MemoryMapElement*>& interruptVectors() { return interruptVectors_; }
  const std::vector<MemoryMapElement*>& interruptVectors() const { return interruptVectors_; }

 protected:
  void reportError(const std::string& message) override;
  /// For documents that read their file another way: records the path and
  /// the file time load() would have recorded.
  void setLoadedFile(std::string path, std::chrono::system_clock::time_point fileTime) {
    path_ = std::move(path);
    fileTime_ = fileTime;
  }

 private:
  void resolveImports();

  std::ostream* warnings_;
  bool preprocess_ = false;
  std::string macrosText_;
  std::string path_;
  std::string doctypeName_;
  std::chrono::system_clock::time_point fileTime_{};
  /// Set while a file that is not writable is being parsed.
  bool readOnlyLoading_ = false;
  /// The file being loaded, for relative names; empty between loads.
  std::string loadingPath_;
  std::optional<std::string> loadedDoctype_;
  std::vector<MemoryMapElement*> interruptVectors_;
  /// Import elements replaced by their files, kept alive for importedBy links.
  std::vector<std::unique_ptr<XMLNode>> replacedImports_;
};

/// The last-modified time of a file to the nanosecond; the epoch when the
/// file cannot be examined.
std::chrono::system_clock::time_point fileModificationTime(const std::string& path);

}  // namespace tidewater
