// The file type of a node: what the build does with a file.
#include <algorithm>
#include <cctype>
#include <string_view>

#include "base/path.h"
#include "base/strings.h"
#include "project/project_system.h"
#include "xml/xml_document.h"

namespace tidewater {

namespace {

struct SuffixType {
  std::string_view suffix;
  std::string_view type;
};

constexpr SuffixType kSourceSuffixes[] = {
    {"c", "C"},        {"cpp", "C++"},    {"cxx", "C++"},    {"cc", "C++"},
    {"h", "Header"},   {"hpp", "Header"}, {"hxx", "Header"}, {"hh", "Header"},
    {"asm", "Assembly"}, {"s", "Assembly"},
};

// Description files are recognised by the name in their DOCTYPE.
constexpr SuffixType kDoctypes[] = {
    {"Board_Memory_Definition_File", "Memory Map"},
    {"Linker_Placement_File", "Section Placement"},
    {"Register_Definition_File", "Register Definitions"},
};

std::string typeOfXMLFile(const std::string& path) {
  const std::optional<std::string> doctype = XMLDocument::doctypeOf(path);
  if (!doctype) return {};
  for (const SuffixType& entry : kDoctypes) {
    if (entry.suffix == *doctype) return std::string(entry.type);
  }
  return {};
}

}  // namespace

std::string ProjectSystem::fileType(ProjectElement& node, const std::string& configuration) {
  if (std::string chosen = lookUp(&node, *general_.fileType, configuration);
      !chosen.empty() && chosen != "Default") {
    return chosen;
  }
  if (!node.fileTypeOverride.empty()) return node.fileTypeOverride;

  resolvePath(node, configuration);
  const std::string fileSuffix = lowerCase(suffix(node.absoluteFilePath));
  if (fileSuffix.empty()) return {};
  for (const SuffixType& entry : kSourceSuffixes) {
    if (entry.suffix == fileSuffix) return std::string(entry.type);
  }
  if (fileSuffix == "xml") return typeOfXMLFile(node.absoluteFilePath);

  const std::string extension = "." + fileSuffix;
  if (extension == objectExtension()) return "Object file";
  if (extension == executableExtension()) return "Executable";
  if (extension == libraryExtension()) return "Library";
  if (fileSuffix == "ld") return "Linker Script";
  return {};
}

}  // namespace tidewater
