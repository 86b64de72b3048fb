// The macro map of a node in a configuration: project macros first, then
// the node's own description, the configuration, the toolchain's
// extensions, the selected property-group entries, the toolchain's macros
// and the build directories, each later entry overwriting an earlier one of
// the same name.
#include "base/path.h"
#include "base/split_list.h"
#include "project/project_system.h"

namespace tidewater {

namespace {

const std::string kCommon = "Common";

// Folder names from the outermost folder down to the node (itself included
// when it is a folder), joined with "/".
std::string folderPath(ProjectSystem& system, ProjectElement& node) {
  std::string path;
  for (ProjectElement* x = &node; x != nullptr && x->isFolder(); x = x->parentElement()) {
    path = path.empty() ? system.nodeName(*x) : system.nodeName(*x) + "/" + path;
  }
  return path;
}

}  // namespace

void ProjectSystem::addProjectMacros(MacroMap& map, ProjectElement* node,
                                     const std::string& configuration) {
  const std::string macros = macros_.expandGlobally(lookUp(node, "macros", configuration));
  for (const auto& item : splitEscapedList(macros)) {
    const auto equals = item.find('=');
    map[item.substr(0, equals)] = equals == std::string::npos ? std::string() : item.substr(equals + 1);
  }
}

void ProjectSystem::addNodeMacros(MacroMap& map, ProjectElement& node,
                                  const std::string& configuration) {
  map["ProjectNodeName"] = nodeName(node);
  if (ProjectElement* folder = node.parentFolder()) map["FolderName"] = nodeName(*folder);
  ProjectElement* enclosing = node.isFolder() ? &node : node.parentFolder();
  map["FolderPath"] = enclosing != nullptr ? folderPath(*this, *enclosing) : std::string();

  if (ProjectElement* project = node.nearestProject()) {
    resolvePath(*project, kCommon);
    map["ProjectDir"] = project->directory;
    map["ProjectName"] = nodeName(*project);
  }
  if (ProjectElement* solution = node.nearestSolution()) {
    resolvePath(*solution, configuration);
    const std::string& path = solution->absoluteFilePath;
    map["SolutionDir"] = directoryPart(path);
    map["SolutionName"] = baseName(path);
    map["SolutionFileName"] = fileName(path);
    map["SolutionPath"] = path;
    map["SolutionExt"] = completeSuffix(path);
  }
  if (node.isFile() || node.isFolder()) {
    resolvePath(node, configuration);
    const std::string& path = node.absoluteFilePath;
    map["InputDir"] = directoryPart(path);
    map["InputName"] = completeBaseName(path);
    map["InputFileName"] = fileName(path);
    map["InputExt"] = suffix(path);
    map["InputPath"] = path;
    map["RelInputPath"] = node.relativePath;
    map["RelInputDir"] = directoryPart(node.relativePath);
  }
}

void ProjectSystem::addDirectoryMacros(MacroMap& map, ProjectElement* node,
                                       const std::string& configuration) {
  const auto expanded = [&](const char* property) {
    return macros_.expand(lookUp(node, property, configuration), map, true, true);
  };
  const std::string intermediate = expanded("build_intermediate_directory");
  map["IntDir"] = intermediate.empty() ? "." : intermediate;
  const std::string rootOutput = expanded("build_root_output_directory");
  map["RootOutDir"] = rootOutput;
  const std::string output = expanded("build_output_directory");
  // An empty output directory is the current one, from which the root
  // output directory can be reached as from any other.
  const std::string& outDir = map["OutDir"] = output.empty() ? "." : output;
  if (!rootOutput.empty()) map["RootRelativeOutDir"] = relativePath(outDir, rootOutput);
  map["ToolChainDir"] = expanded("build_toolchain_directory");
}

MacroMap ProjectSystem::nodeMacroMap(ProjectElement* node, const std::string& configuration) {
  MacroMap map;
  addProjectMacros(map, node, configuration);
  if (node != nullptr) addNodeMacros(map, *node, configuration);
  map["Configuration"] = configuration;
  map["OBJ"] = objectExtension();
  map["EXE"] = executableExtension();
  map["LIB"] = libraryExtension();
  map["PackageExt"] = "twq";
  addPropertyGroupMacros(map, node, configuration);
  addToolchainMacros(map, node, configuration);
  addDirectoryMacros(map, node, configuration);
  return map;
}

}  // namespace tidewater
