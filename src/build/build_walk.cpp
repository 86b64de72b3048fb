#include "build/build_walk.h"

#include <sys/stat.h>
#include <unistd.h>

#include <fnmatch.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <set>

#include "base/path.h"
#include "base/split_list.h"
#include "build/archive_command.h"
#include "build/build_flags.h"
#include "build/build_status.h"
#include "build/builder.h"
#include "build/command_line_split.h"
#include "build/compile_command.h"
#include "build/dependency_file.h"
#include "build/idler.h"
#include "build/link_command.h"
#include "build/step_files.h"
#include "build/up_to_date_check.h"
#include "project/arm_project_system.h"

namespace tidewater {
namespace {

std::string quoted(const std::string& text) { return "'" + text + "'"; }

std::string joinQuoted(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) text += (text.empty() ? "\"" : " \"") + item + "\"";
  return text;
}

std::string joinPrefixed(const std::vector<std::string>& items, const std::string& prefix) {
  std::string text;
  for (const std::string& item : items) text += (text.empty() ? "" : " ") + prefix + item;
  return text;
}

bool isCompileKind(BuildKind kind) {
  return kind == BuildKind::CompileC || kind == BuildKind::CompileCpp || kind == BuildKind::Assemble;
}

/// Calls "visit" for each file node below "node", in tree order.
template <typename Visit>
void forEachFile(ProjectElement& node, const Visit& visit) {
  for (XMLElement* child = node.firstChildElement(); child != nullptr; child = child->nextSiblingElement()) {
    auto* element = dynamic_cast<ProjectElement*>(child);
    if (element == nullptr) continue;
    if (element->isFolder()) forEachFile(*element, visit);
    if (element->isFile()) visit(*element);
  }
}

/// Files of these types are objects of their own: a link or an archive
/// takes them as they are, a compile passes them by.
bool isReadyObjectType(const std::string& type) { return type == "Object file" || type == "Library"; }

/// The file type's compile kind, None for a type without a step.
BuildKind compileKindOfType(const std::string& type) {
  if (type == "C") return BuildKind::CompileC;
  if (type == "C++") return BuildKind::CompileCpp;
  if (type == "Assembly") return BuildKind::Assemble;
  return BuildKind::None;
}

}  // namespace

BuildWalk::BuildWalk(ARMProjectSystem& system, Builder& builder, Idler& idler)
    : system_(system), builder_(builder), idler_(idler) {}

bool BuildWalk::stopped() const { return builder_.stopped(); }

std::string BuildWalk::value(ProjectElement& node, const std::string& configuration, const PropertyClass* property) {
  return system_.lookUp(&node, *property, configuration);
}

std::string BuildWalk::projectDirectory(ProjectElement& node, const std::string& configuration) {
  ProjectElement* project = node.nearestProject();
  if (project == nullptr) return currentDirectory();
  system_.resolvePath(*project, configuration);
  return project->directory;
}

BuildKind BuildWalk::buildKind(ProjectElement& node, const std::string& configuration) {
  const GeneralCatalogue& general = system_.general();
  const StandardCatalogue& standard = system_.standard();
  const auto get = [&](const PropertyClass* property) { return value(node, configuration, property); };
  switch (node.projectKind()) {
    case ProjectElementKind::Project: {
      const std::string type = get(general.projectType);
      if (type == "Executable") return BuildKind::Link;
      if (type == "Externally Built Executable") {
        const bool linkOnly = !get(standard.externalLinkCommand).empty() && get(standard.externalBuildFileName).empty();
        return linkOnly ? BuildKind::Link : BuildKind::ExternalBuild;
      }
      if (type == "Library" || type == "Externally Built Library") return BuildKind::Archive;
      if (type == "Staging") return BuildKind::Stage;
      if (type == "Combining") return BuildKind::Combine;
      return BuildKind::None;
    }
    case ProjectElementKind::Folder:
      if (get(standard.unityBuildFileName).empty()) return BuildKind::None;
      return get(general.buildExcludeFromBuild) == "Yes" ? BuildKind::Excluded : BuildKind::None;
    case ProjectElementKind::File: {
      if (get(general.buildExcludeFromBuild) == "Yes") return BuildKind::Excluded;
      ProjectElement* project = node.nearestProject();
      const std::string projectType = project != nullptr ? value(*project, configuration, general.projectType) : "";
      if (projectType == "Combining") return BuildKind::None;
      if (projectType == "Staging") return BuildKind::Stage;
      const BuildKind kind = compileKindOfType(system_.fileType(node, configuration));
      if (projectType == "Externally Built Executable") {
        const PropertyClass* command = kind == BuildKind::CompileC     ? standard.externalCCompileCommand
                                       : kind == BuildKind::CompileCpp ? standard.externalCppCompileCommand
                                                                       : standard.externalAssembleCommand;
        if (kind == BuildKind::None || get(command).empty()) return BuildKind::None;
      }
      return kind;
    }
    default:
      return BuildKind::None;
  }
}

std::string BuildWalk::outputName(BuildKind kind, ProjectElement& node, const std::string& configuration) {
  const GeneralCatalogue& general = system_.general();
  const PropertyClass* property = nullptr;
  switch (kind) {
    case BuildKind::CompileC:
    case BuildKind::CompileCpp:
    case BuildKind::Assemble: property = general.buildObjectFileName; break;
    case BuildKind::ExternalBuild:
    case BuildKind::Link: property = general.executableOutputFileName; break;
    case BuildKind::Archive: property = general.libraryOutputFileName; break;
    case BuildKind::Stage: property = general.stageOutputFilepath; break;
    case BuildKind::Combine: property = general.combineOutputFilepath; break;
    default: return {};
  }
  return system_.expandForNode(&node, configuration, value(node, configuration, property));
}

std::string BuildWalk::dependencyFileName(ProjectElement& node, const std::string& configuration,
                                          const std::string& objectPath) {
  const std::string named = value(node, configuration, system_.standard().buildDependencyFileName);
  if (!named.empty()) return system_.expandForNode(&node, configuration, named);
  const std::string directory =
      system_.expandForNode(&node, configuration, value(node, configuration, system_.general().buildIntermediateDirectory));
  return joinPath(directory.empty() ? "." : directory, baseName(objectPath) + ".d");
}

bool BuildWalk::buildNode(ProjectElement& node, const std::string& configuration, uint32_t flags) {
  if (node.projectKind() == ProjectElementKind::Configuration) return false;
  idler_.poll();
  bool forced = (flags & kBuildForced) != 0 || value(node, configuration, system_.general().buildAlwaysRebuild) == "Yes";
  const BuildKind kind = buildKind(node, configuration);
  if (kind == BuildKind::Excluded) return false;
  if (isUnityFolder(node, configuration, flags)) return unityStep(node, configuration, flags, forced);
  bool childRan = false;
  if ((flags & kBuildNoChildren) == 0 && kind != BuildKind::ExternalBuild) {
    childRan = visitChildren(node, configuration, flags);
    if (childRan) forced = true;
  }
  if (stopped()) return false;
  switch (kind) {
    case BuildKind::CompileC:
    case BuildKind::CompileCpp:
    case BuildKind::Assemble: return compileStep(node, configuration, kind, flags, forced);
    case BuildKind::Link:
    case BuildKind::Archive: return linkOrArchiveStep(node, configuration, kind, flags, forced);
    case BuildKind::ExternalBuild: return externalBuildStep(node, configuration, flags);
    case BuildKind::Stage:
      if (node.projectKind() == ProjectElementKind::Project) return stagingProjectStep(node, configuration, childRan);
      return stageStep(node, configuration, flags, forced);
    case BuildKind::Combine: return combineStep(node, configuration, flags, forced);
    default: return node.isFolder() ? forced : false;
  }
}

bool BuildWalk::visitChildren(ProjectElement& node, const std::string& configuration, uint32_t flags) {
  bool anyRan = false;
  for (XMLElement* child = node.firstChildElement(); child != nullptr; child = child->nextSiblingElement()) {
    auto* element = dynamic_cast<ProjectElement*>(child);
    if (element == nullptr) continue;
    anyRan = buildNode(*element, configuration, flags) || anyRan;
    if (stopped()) break;
  }
  return anyRan;
}

void BuildWalk::removeFile(const std::string& path, bool quiet) {
  if (::access(path.c_str(), F_OK) != 0) return;
  if (removeRegularFile(path)) {
    if (!quiet) builder_.informationMessage("Remove " + path);
  } else if (!quiet) {
    builder_.errorMessage("Cannot remove " + path);
  }
}

std::string BuildWalk::expandWith(ProjectElement& node, const std::string& configuration, const std::string& text,
                                  const MacroMap& buildMacros) {
  MacroMap map = system_.nodeMacroMap(&node, configuration);
  for (const auto& [name, macroValue] : buildMacros) map[name] = macroValue;
  return system_.macroTable().expand(text, map, true, true);
}

bool BuildWalk::runUserCommand(ProjectElement& node, const std::string& configuration, const std::string& command,
                               const std::string& workingDirectory, const std::string& stepText,
                               const MacroMap& buildMacros, const std::string& outputFile) {
  if (stopped()) return false;
  const std::string directory =
      absolutePath(expandWith(node, configuration, workingDirectory, buildMacros), projectDirectory(node, configuration));
  const std::vector<std::string> arguments = splitCommandLine(expandWith(node, configuration, command, buildMacros));
  builder_.beginStep(&node, stepText, configuration);
  if (!arguments.empty() && !builder_.runCommand(directory, arguments, outputFile)) return false;
  if (stopped()) return false;
  builder_.endStep(&node, configuration);
  return true;
}

bool BuildWalk::compileStep(ProjectElement& node, const std::string& configuration, BuildKind kind, uint32_t flags,
                            bool forced) {
  const StandardCatalogue& standard = system_.standard();
  const auto get = [&](const PropertyClass* property) { return value(node, configuration, property); };
  const bool quiet = (flags & kBuildQuiet) != 0;
  idler_.nodeStarted(&node, configuration);
  const std::string directory = projectDirectory(node, configuration);
  system_.resolvePath(node, configuration);
  const std::string object = outputName(kind, node, configuration);
  const std::string objectPath = absolutePath(object, directory);
  const std::string dependencyName = dependencyFileName(node, configuration, object);
  const std::string dependencyPath = absolutePath(dependencyName, directory);

  UpToDateQuery query{.kind = kind, .output = objectPath, .inputs = {node.absoluteFilePath}};
  for (std::string& dependency : readDependencyFile(dependencyPath, node.absoluteFilePath)) {
    query.inputs.push_back(std::move(dependency));
  }
  for (const PropertyClass* property : {standard.cAdditionalOptionsFromFile, standard.cOnlyAdditionalOptionsFromFile,
                                        standard.cppOnlyAdditionalOptionsFromFile, standard.asmAdditionalOptionsFromFile}) {
    if (const std::string file = system_.expandForNode(&node, configuration, get(property)); !file.empty()) {
      query.optionsFiles.push_back(file);
    }
  }
  query.forced = forced;
  query.quiet = quiet;
  if (isUpToDate(system_, node, configuration, directory, query, builder_)) return false;

  if ((flags & kBuildClean) != 0) {
    removeFile(objectPath, quiet);
    removeFile(dependencyPath, quiet);
    for (const std::string& extra : extraOutputsToClean(node, configuration, kind, objectPath)) removeFile(extra, quiet);
  }
  if ((flags & kBuildNoCommands) != 0) return true;

  std::string source = node.relativePath;
  if (const std::string pre = get(standard.compilePreBuildCommand); !pre.empty()) {
    const std::string wd = get(standard.compilePreBuildCommandWd);
    std::string output = system_.expandForNode(&node, configuration, get(standard.compilePreBuildCommandOutputFileName));
    if (!output.empty()) {
      output = absolutePath(output, absolutePath(system_.expandForNode(&node, configuration, wd), directory));
    }
    if (!runUserCommand(node, configuration, pre, wd, "Pre-compile command ", {}, output)) return false;
    if (!output.empty()) source = output;
  }

  const PropertyClass* externalCommand = kind == BuildKind::CompileC     ? standard.externalCCompileCommand
                                         : kind == BuildKind::CompileCpp ? standard.externalCppCompileCommand
                                                                         : standard.externalAssembleCommand;
  if (const std::string external = get(externalCommand); !external.empty()) {
    const auto items = [&](const PropertyClass* property) { return splitEscapedList(get(property)); };
    const auto joined = [&](const PropertyClass* property) { return joinPrefixed(items(property), ""); };
    const MacroMap macros = {
        {"TargetPath", objectPath},
        {"RelTargetPath", object},
        {"DependencyPath", dependencyPath},
        {"RelDependencyPath", dependencyName},
        {"Defines", joinPrefixed(items(standard.cPreprocessorDefinitions), "-D")},
        {"Includes", joinPrefixed(items(standard.cUserIncludeDirectories), "-I")},
        {"COptions", joined(standard.cAdditionalOptions)},
        {"COnlyOptions", joined(standard.cOnlyAdditionalOptions)},
        {"CppOnlyOptions", joined(standard.cppOnlyAdditionalOptions)},
        {"AsmOptions", joined(standard.asmAdditionalOptions)},
    };
    const std::string text = (kind == BuildKind::Assemble ? "Assembling " : "Compiling ") + quoted(system_.nodeName(node));
    if (!runUserCommand(node, configuration, external, "$(ProjectDir)", text, macros)) return false;
  } else if (!runCompileTool(system_, node, configuration, kind, object, dependencyName, source, builder_,
                             (flags & kBuildNoDependencyOutput) == 0)) {
    return false;
  }

  if (const std::string post = get(standard.compilePostBuildCommand); !post.empty() && !stopped()) {
    const MacroMap macros = {{"TargetPath", objectPath}, {"RelTargetPath", object}};
    if (!runUserCommand(node, configuration, post, get(standard.compilePostBuildCommandWd), "Post-compile command ",
                        macros)) {
      return false;
    }
  }
  return true;
}

BuildPlan BuildWalk::plan(ProjectElement& project, const std::string& configuration, uint32_t flags) {
  const StandardCatalogue& standard = system_.standard();
  const std::string directory = projectDirectory(project, configuration);
  BuildPlan plan;
  const auto addNamedInput = [&](ProjectElement& node, const PropertyClass* property) {
    if (const std::string name = system_.expandForNode(&node, configuration, value(node, configuration, property));
        !name.empty()) {
      plan.inputs.push_back(absolutePath(name, directory));
    }
  };
  forEachFile(project, [&](ProjectElement& file) {
    system_.resolvePath(file, configuration);
    plan.inputs.push_back(cleanPath(file.absoluteFilePath));
    const BuildKind kind = buildKind(file, configuration);
    if (!isCompileKind(kind)) return;
    for (const PropertyClass* property : {standard.cAdditionalOptionsFromFile, standard.cOnlyAdditionalOptionsFromFile,
                                          standard.cppOnlyAdditionalOptionsFromFile,
                                          standard.asmAdditionalOptionsFromFile}) {
      addNamedInput(file, property);
    }
    const CompileContext context = makeCompileContext(system_, file, configuration, kind);
    const std::string object = outputName(kind, file, configuration);
    std::optional<std::string> dependencyFile;
    if ((flags & kBuildNoDependencyOutput) == 0) {
      dependencyFile = context.toolPath(dependencyFileName(file, configuration, object));
    }
    for (StepFile& output : compileStepFiles(context, object, file.relativePath, dependencyFile)) {
      plan.outputs.push_back(std::move(output));
    }
  });

  const BuildKind kind = buildKind(project, configuration);
  if (kind != BuildKind::Link && kind != BuildKind::Archive) return plan;
  const CompileContext context = makeCompileContext(system_, project, configuration, kind);
  const std::string output = outputName(kind, project, configuration);
  if (kind == BuildKind::Archive) {
    for (StepFile& file : archiveStepFiles(context, output)) plan.outputs.push_back(std::move(file));
    for (const std::string& library : fileInputsOfProject(project, configuration, "Library")) {
      plan.errors.push_back("cannot put the library " + relativePath(directory, library) +
                            " into a library: name its object files instead");
    }
    return plan;
  }
  const bool generatesScript = fileInputsOfProject(project, configuration, "Linker Script").empty();
  for (StepFile& file : linkStepFiles(context, output, generatesScript)) plan.outputs.push_back(std::move(file));
  for (const std::string& extra : extraLinkInputs(project, configuration)) plan.inputs.push_back(extra);
  for (const PropertyClass* property : {standard.linkerAdditionalOptionsFromFile, standard.linkerMemoryMapFile,
                                        standard.linkerSectionPlacementFile, system_.ambervale().armLinkerSymbolsFiles}) {
    addNamedInput(project, property);
  }
  return plan;
}

void BuildWalk::collectObjects(ProjectElement& node, const std::string& configuration, uint32_t flags,
                               std::vector<std::string>& objects) {
  for (XMLElement* child = node.firstChildElement(); child != nullptr; child = child->nextSiblingElement()) {
    auto* element = dynamic_cast<ProjectElement*>(child);
    if (element == nullptr) continue;
    if (isUnityFolder(*element, configuration, flags)) {
      if (buildKind(*element, configuration) == BuildKind::Excluded) continue;
      std::vector<ProjectElement*> included;
      std::vector<ProjectElement*> excluded;
      splitUnityFiles(*element, configuration, included, excluded);
      objects.push_back(unityObjectName(*element, configuration));
      for (ProjectElement* file : excluded) {
        objects.push_back(outputName(buildKind(*file, configuration), *file, configuration));
      }
    } else if (element->isFolder()) {
      collectObjects(*element, configuration, flags, objects);
    } else if (element->isFile()) {
      const BuildKind kind = buildKind(*element, configuration);
      if (isCompileKind(kind)) {
        objects.push_back(outputName(kind, *element, configuration));
      } else if (kind != BuildKind::Excluded && isReadyObjectType(system_.fileType(*element, configuration))) {
        system_.resolvePath(*element, configuration);
        objects.push_back(element->relativePath);
      }
    }
  }
}

std::vector<std::string> BuildWalk::filesOfUnknownType(ProjectElement& project, const std::string& configuration) {
  std::vector<std::string> files;
  forEachFile(project, [&](ProjectElement& file) {
    if (value(file, configuration, system_.general().buildExcludeFromBuild) == "Yes") return;
    if (!system_.fileType(file, configuration).empty()) return;
    if (const std::string* name = file.nodeAttribute("file_name")) files.push_back(*name);
  });
  return files;
}

std::vector<std::string> BuildWalk::fileInputsOfProject(ProjectElement& project, const std::string& configuration,
                                                        const std::string& fileType) {
  std::vector<std::string> files;
  forEachFile(project, [&](ProjectElement& file) {
    if (system_.fileType(file, configuration) != fileType) return;
    if (value(file, configuration, system_.general().buildExcludeFromBuild) == "Yes") return;
    system_.resolvePath(file, configuration);
    files.push_back(file.absoluteFilePath);
  });
  return files;
}

bool BuildWalk::linkOrArchiveStep(ProjectElement& project, const std::string& configuration, BuildKind kind,
                                  uint32_t flags, bool forced) {
  const GeneralCatalogue& general = system_.general();
  const StandardCatalogue& standard = system_.standard();
  const auto get = [&](const PropertyClass* property) { return value(project, configuration, property); };
  const bool link = kind == BuildKind::Link;
  const bool quiet = (flags & kBuildQuiet) != 0;
  idler_.nodeStarted(&project, configuration);
  const std::string directory = projectDirectory(project, configuration);
  const std::string output = outputName(kind, project, configuration);
  const std::string outputPath = absolutePath(output, directory);

  std::vector<std::string> objects;
  collectObjects(project, configuration, flags, objects);
  UpToDateQuery query{.kind = kind, .output = outputPath, .forced = forced, .quiet = quiet};
  if (link) {
    std::set<std::string> seen;
    for (const std::string& object : objects) {
      if (!seen.insert(absolutePath(object, directory)).second) {
        builder_.errorMessage("The object file " + object + " has been supplied more than once");
        builder_.markFailed();
        return false;
      }
    }
    for (const std::string& name : splitEscapedList(get(general.projectDependencies))) {
      ProjectElement* dependency = system_.findProject(name);
      if (dependency == nullptr || value(*dependency, configuration, general.buildExcludeFromBuild) != "No") continue;
      const std::string type = value(*dependency, configuration, general.projectType);
      if (type == "Library" || type == "Externally Built Library") {
        objects.push_back(absolutePath(outputName(BuildKind::Archive, *dependency, configuration),
                                       projectDirectory(*dependency, configuration)));
      } else if (type == "Object file") {
        std::vector<std::string> dependencyObjects;
        collectObjects(*dependency, configuration, flags, dependencyObjects);
        for (const std::string& object : dependencyObjects) {
          objects.push_back(absolutePath(object, projectDirectory(*dependency, configuration)));
        }
      }
    }
    for (const std::string& extra : extraLinkInputs(project, configuration)) {
      if (::access(extra.c_str(), F_OK) == 0) objects.push_back(extra);
      else if (!quiet) builder_.detailMessage(extra + " does not exist.");
    }
    query.inputs = objects;
    std::vector<std::string> scripts = fileInputsOfProject(project, configuration, "Linker Script");
    if (scripts.empty()) {
      for (const char* type : {"Memory Map", "Section Placement"}) {
        for (std::string& file : fileInputsOfProject(project, configuration, type)) query.inputs.push_back(file);
      }
    } else {
      query.inputs.push_back(scripts.front());
    }
    if (const std::string file = system_.expandForNode(&project, configuration, get(standard.linkerAdditionalOptionsFromFile));
        !file.empty()) {
      query.optionsFiles.push_back(file);
    }
    query.requiredFiles = linkRequiredOutputs(project, configuration);
  } else {
    query.inputs = objects;
  }
  if (isUpToDate(system_, project, configuration, directory, query, builder_)) return false;

  if ((flags & kBuildClean) != 0) {
    removeFile(outputPath, quiet);
    for (const std::string& extra : extraOutputsToClean(project, configuration, kind, outputPath)) removeFile(extra, quiet);
  }
  if ((flags & kBuildNoCommands) != 0) return true;

  if (link) {
    if (const std::string pre = get(standard.linkerPreBuildCommand); !pre.empty()) {
      if (!runUserCommand(project, configuration, pre, get(standard.linkerPreBuildCommandWd), "Pre-link command ", {})) {
        return false;
      }
    }
  }
  const PropertyClass* externalProperty = link ? standard.externalLinkCommand : standard.externalArchiveCommand;
  if (const std::string external = get(externalProperty); external.empty()) {
    const bool ran = link ? linkProject(project, configuration, output, objects, flags)
                          : archiveProject(project, configuration, output, objects);
    if (!ran || stopped()) return false;
  } else {
    MacroMap macros = {{"TargetPath", outputPath}, {"RelTargetPath", output}};
    if (const std::string objectsFile = get(standard.externalObjectsFileName); !objectsFile.empty()) {
      const std::string relative = system_.expandForNode(&project, configuration, objectsFile);
      const std::string path = absolutePath(relative, directory);
      std::ofstream list(path);
      for (const std::string& object : objects) list << object << '\n';
      macros["ObjectsFilePath"] = path;
      macros["RelObjectsFilePath"] = relative;
    } else {
      macros["Objects"] = joinQuoted(objects);
    }
    if (link) {
      macros["LinkOptions"] = joinPrefixed(splitEscapedList(get(standard.linkerAdditionalOptions)), "");
      if (std::vector<std::string> scripts = fileInputsOfProject(project, configuration, "Linker Script");
          !scripts.empty()) {
        macros["LinkerScriptPath"] = scripts.front();
        macros["RelLinkerScriptPath"] = relativePath(directory, scripts.front());
      }
    }
    const std::string text = (link ? "Linking " : "Archiving ") + quoted(fileName(output));
    if (!runUserCommand(project, configuration, external, "$(ProjectDir)", text, macros, outputPath)) return false;
  }

  const PropertyClass* post = link ? standard.linkerPostBuildCommand : standard.archivePostBuildCommand;
  const PropertyClass* postWd = link ? standard.linkerPostBuildCommandWd : standard.archivePostBuildCommandWd;
  if (const std::string command = get(post); !command.empty()) {
    MacroMap macros = {{"TargetPath", outputPath}, {"RelTargetPath", output}};
    if (link) {
      macros["PostLinkOutputFilePath"] =
          system_.expandForNode(&project, configuration, get(standard.linkerPostBuildCommandOutputFile));
    }
    if (!runUserCommand(project, configuration, command, get(postWd),
                        link ? "Post-link command " : "Post-archive command ", macros)) {
      return false;
    }
  }
  return true;
}

bool BuildWalk::linkProject(ProjectElement& project, const std::string& configuration, const std::string& output,
                            const std::vector<std::string>& objects, uint32_t flags) {
  const StandardCatalogue& standard = system_.standard();
  const auto get = [&](const PropertyClass* property) { return value(project, configuration, property); };
  const auto expanded = [&](const PropertyClass* property) {
    return system_.expandForNode(&project, configuration, get(property));
  };
  const std::string directory = projectDirectory(project, configuration);
  LinkDescriptions descriptions;
  if (std::vector<std::string> scripts = fileInputsOfProject(project, configuration, "Linker Script"); !scripts.empty()) {
    descriptions.linkerScript = scripts.front();
  } else {
    // A project file of the type wins; otherwise the property names the file.
    std::vector<std::string> maps = fileInputsOfProject(project, configuration, "Memory Map");
    if (!maps.empty()) descriptions.memoryMap = maps.front();
    else if (std::string file = expanded(standard.linkerMemoryMapFile); !file.empty()) {
      descriptions.memoryMap = absolutePath(file, directory);
    }
    descriptions.memorySegments = get(standard.linkerSectionPlacementsSegments);
    std::vector<std::string> placements = fileInputsOfProject(project, configuration, "Section Placement");
    if (!placements.empty()) descriptions.sectionPlacement = placements.front();
    else if (std::string file = expanded(standard.linkerSectionPlacementFile); !file.empty()) {
      descriptions.sectionPlacement = absolutePath(file, directory);
    }
  }
  const std::string outputPath = absolutePath(output, directory);
  const PatchCommandRunner patch = [&] {
    return runUserCommand(project, configuration, get(standard.linkerPatchBuildCommand),
                          get(standard.linkerPatchBuildCommandWd), "Patching " + quoted(fileName(output)),
                          {{"TargetPath", outputPath}});
  };
  return runLinkTool(system_, project, configuration, output, objects, descriptions, flags, patch, builder_);
}

bool BuildWalk::archiveProject(ProjectElement& project, const std::string& configuration, const std::string& output,
                               const std::vector<std::string>& objects) {
  return runArchiveTool(system_, project, configuration, output, objects, builder_);
}

std::vector<std::string> BuildWalk::extraLinkInputs(ProjectElement& project, const std::string& configuration) {
  std::vector<std::string> inputs;
  const std::string directory = projectDirectory(project, configuration);
  for (const std::string& library : system_.propertyGroupItems(&project, configuration, "library", "name")) {
    inputs.push_back(absolutePath(system_.expandForNode(&project, configuration, library), directory));
  }
  for (const std::string& item : splitEscapedList(value(project, configuration, system_.standard().linkerAdditionalFiles))) {
    inputs.push_back(absolutePath(system_.expandForNode(&project, configuration, item), directory));
  }
  return inputs;
}

std::vector<std::string> BuildWalk::extraOutputsToClean(ProjectElement& node, const std::string& configuration,
                                                        BuildKind kind, const std::string& outputPath) {
  const AmbervaleGCCCatalogue& ambervale = system_.ambervale();
  const auto yes = [&](const PropertyClass* property) { return value(node, configuration, property) == "Yes"; };
  const auto intermediate = [&](const std::string& name) {
    return absolutePath(cleanPath(joinPath(system_.expandForNode(&node, configuration, "$(IntDir)"), name)),
                        projectDirectory(node, configuration));
  };
  std::vector<std::string> outputs;
  const std::string base = baseName(outputPath);
  if (kind == BuildKind::Link || kind == BuildKind::Archive) {
    if (kind == BuildKind::Link && fileInputsOfProject(node, configuration, "Linker Script").empty()) {
      outputs.push_back(intermediate(base + ".ld"));
    }
    if (yes(kind == BuildKind::Link ? ambervale.armLinkerIndirectFile : ambervale.armArchiverIndirectFile)) {
      outputs.push_back(intermediate(base + ".ind"));
    }
    return outputs;
  }
  if (yes(ambervale.armKeepPreprocessorOutput)) {
    system_.resolvePath(node, configuration);
    outputs.push_back(intermediate(baseName(node.relativePath) + "_PP." + suffix(node.relativePath)));
  }
  if (yes(ambervale.armKeepAssembly)) outputs.push_back(intermediate(base + ".asm"));
  return outputs;
}

std::vector<std::string> BuildWalk::linkRequiredOutputs(ProjectElement& project, const std::string& configuration) {
  const CompileContext context = makeCompileContext(system_, project, configuration, BuildKind::Link);
  const std::string output = outputName(BuildKind::Link, project, configuration);
  std::vector<std::string> required;
  if (context.yes(system_.standard().linkerMapFile)) {
    required.push_back(absolutePath(directoryPart(output) + "/" + baseName(output) + ".map", context.projectDirectory));
  }
  if (const std::string additional = additionalOutputName(context, output); !additional.empty()) {
    required.push_back(absolutePath(additional, context.projectDirectory));
  }
  return required;
}

bool BuildWalk::externalBuildStep(ProjectElement& project, const std::string& configuration, uint32_t flags) {
  const StandardCatalogue& standard = system_.standard();
  const std::string name = quoted(system_.nodeName(project));
  if ((flags & kBuildClean) != 0) {
    if (const std::string clean = value(project, configuration, standard.externalCleanCommand); !clean.empty()) {
      if (!runUserCommand(project, configuration, clean, "$(ProjectDir)", "Running Clean command " + name, {})) {
        return false;
      }
    }
  }
  const std::string build = value(project, configuration, standard.externalBuildCommand);
  if (build.empty() || stopped() || (flags & kBuildNoCommands) != 0) return false;
  const std::string output = outputName(BuildKind::ExternalBuild, project, configuration);
  return runUserCommand(project, configuration, build, "$(ProjectDir)", "Running Build command " + name, {}, output);
}

bool BuildWalk::stageStep(ProjectElement& node, const std::string& configuration, uint32_t flags, bool forced) {
  const GeneralCatalogue& general = system_.general();
  const auto get = [&](const PropertyClass* property) { return value(node, configuration, property); };
  idler_.nodeStarted(&node, configuration);
  const std::string directory = projectDirectory(node, configuration);
  system_.resolvePath(node, configuration);
  const std::string output = outputName(BuildKind::Stage, node, configuration);
  const std::string outputPath = absolutePath(output, directory);
  UpToDateQuery query{.kind = BuildKind::Stage, .output = outputPath, .inputs = {node.absoluteFilePath},
                      .forced = forced, .quiet = (flags & kBuildQuiet) != 0};
  if (isUpToDate(system_, node, configuration, directory, query, builder_)) return false;
  if ((flags & kBuildClean) != 0) removeFile(outputPath, query.quiet);
  if ((flags & kBuildNoCommands) != 0) return true;
  const MacroMap macros = {{"StageOutputFilePath", output}};
  if (!runUserCommand(node, configuration, get(general.stageCommand), get(general.stageCommandWd),
                      "Copying " + quoted(system_.nodeName(node)), macros, outputPath)) {
    return false;
  }
  if (const std::string readOnly = get(general.stageSetReadonly); readOnly != "Don't") {
    if (!builder_.runCommand(directory, {"chmod", readOnly == "Yes" ? "-w" : "+w", outputPath}, {})) return false;
  }
  return !stopped();
}

bool BuildWalk::isUnityFolder(ProjectElement& node, const std::string& configuration, uint32_t flags) {
  return node.isFolder() && (flags & kBuildNoUnity) == 0 &&
         !value(node, configuration, system_.standard().unityBuildFileName).empty();
}

void BuildWalk::splitUnityFiles(ProjectElement& folder, const std::string& configuration,
                                std::vector<ProjectElement*>& included, std::vector<ProjectElement*>& excluded) {
  const std::vector<std::string> patterns =
      splitEscapedList(value(folder, configuration, system_.standard().unityBuildExcludeFilter));
  for (XMLElement* child = folder.firstChildElement(); child != nullptr; child = child->nextSiblingElement()) {
    auto* file = dynamic_cast<ProjectElement*>(child);
    if (file == nullptr || !file->isFile() || !isCompileKind(buildKind(*file, configuration))) continue;
    system_.resolvePath(*file, configuration);
    bool matches = false;
    for (const std::string& pattern : patterns) {
      matches = matches || ::fnmatch(pattern.c_str(), fileName(file->relativePath).c_str(), 0) == 0;
    }
    (matches ? excluded : included).push_back(file);
  }
}

std::string BuildWalk::unityObjectName(ProjectElement& folder, const std::string& configuration) {
  const std::string unityName = system_.expandForNode(
      &folder, configuration, value(folder, configuration, system_.standard().unityBuildFileName));
  const MacroMap unityMacros = {{"InputName", completeBaseName(unityName)}, {"InputFileName", fileName(unityName)}};
  return expandWith(folder, configuration, value(folder, configuration, system_.general().buildObjectFileName),
                    unityMacros);
}

bool BuildWalk::unityStep(ProjectElement& folder, const std::string& configuration, uint32_t flags, bool forced) {
  const StandardCatalogue& standard = system_.standard();
  const bool quiet = (flags & kBuildQuiet) != 0;
  idler_.nodeStarted(&folder, configuration);
  const std::string directory = projectDirectory(folder, configuration);
  const std::string unityName =
      system_.expandForNode(&folder, configuration, value(folder, configuration, standard.unityBuildFileName));
  const std::string unityPath = directory + "/" + unityName;

  std::vector<ProjectElement*> included;
  std::vector<ProjectElement*> excluded;
  splitUnityFiles(folder, configuration, included, excluded);

  if ((flags & kBuildClean) != 0) removeFile(unityPath, quiet);
  if ((flags & kBuildNoCommands) == 0) {
    struct stat unityInfo {};
    struct stat solutionInfo {};
    const bool exists = ::stat(unityPath.c_str(), &unityInfo) == 0;
    const ProjectElement* solution = folder.nearestSolution();
    const bool solutionNewer = exists && solution != nullptr &&
                               ::stat(solution->absoluteFilePath.c_str(), &solutionInfo) == 0 &&
                               solutionInfo.st_mtim.tv_sec > unityInfo.st_mtim.tv_sec;
    if (!exists || solutionNewer || forced) {
      std::ofstream unity(unityPath, std::ios::binary | std::ios::trunc);
      for (const ProjectElement* file : included) unity << "#include \"" << file->absoluteFilePath << "\"\n";
      if (!unity) {
        builder_.errorMessage("Cannot write " + unityPath);
        builder_.markFailed();
        return false;
      }
    }
  }

  for (ProjectElement* file : excluded) {
    if (buildNode(*file, configuration, flags)) forced = true;
    if (stopped()) return false;
  }

  const BuildKind kind = suffix(unityName) == "c" ? BuildKind::CompileC : BuildKind::CompileCpp;
  const std::string object = unityObjectName(folder, configuration);
  const std::string objectPath = absolutePath(object, directory);
  UpToDateQuery query{.kind = kind, .output = objectPath, .inputs = {unityPath}, .forced = forced, .quiet = quiet};
  for (const ProjectElement* file : included) query.inputs.push_back(file->absoluteFilePath);
  if (isUpToDate(system_, folder, configuration, directory, query, builder_)) return false;
  if ((flags & kBuildClean) != 0) removeFile(objectPath, quiet);
  if ((flags & kBuildNoCommands) != 0) return true;
  const std::string stepText =
      "Compiling folder " + quoted(system_.nodeName(folder)) + " in unity mode as " + fileName(unityName);
  return runCompileTool(system_, folder, configuration, kind, object, dependencyFileName(folder, configuration, object),
                        unityPath, builder_, (flags & kBuildNoDependencyOutput) == 0, stepText);
}

bool BuildWalk::stagingProjectStep(ProjectElement& project, const std::string& configuration, bool anyStaged) {
  if (!anyStaged) return false;
  const GeneralCatalogue& general = system_.general();
  if (const std::string post = value(project, configuration, general.stagePostBuildCommand); !post.empty()) {
    if (!runUserCommand(project, configuration, post, value(project, configuration, general.stagePostBuildCommandWd),
                        "Post-stage command", {})) {
      return false;
    }
  }
  return true;
}

bool BuildWalk::combineStep(ProjectElement& project, const std::string& configuration, uint32_t flags, bool forced) {
  const GeneralCatalogue& general = system_.general();
  const auto get = [&](const PropertyClass* property) { return value(project, configuration, property); };
  idler_.nodeStarted(&project, configuration);
  const std::string directory = projectDirectory(project, configuration);
  const std::string output = outputName(BuildKind::Combine, project, configuration);
  const std::string outputPath = absolutePath(output, directory);
  std::vector<std::string> inputs;
  std::vector<std::string> relativeInputs;
  for (XMLElement* child = project.firstChildElement(); child != nullptr; child = child->nextSiblingElement()) {
    auto* element = dynamic_cast<ProjectElement*>(child);
    if (element == nullptr || !element->isFile()) continue;
    if (value(*element, configuration, general.buildExcludeFromBuild) == "Yes") continue;
    system_.resolvePath(*element, configuration);
    inputs.push_back(element->absoluteFilePath);
    relativeInputs.push_back(element->relativePath);
  }
  UpToDateQuery query{.kind = BuildKind::Combine, .output = outputPath, .inputs = inputs, .forced = forced,
                      .quiet = (flags & kBuildQuiet) != 0};
  if (isUpToDate(system_, project, configuration, directory, query, builder_)) return false;
  if ((flags & kBuildClean) != 0) removeFile(outputPath, query.quiet);
  if ((flags & kBuildNoCommands) != 0) return true;
  const MacroMap macros = {{"CombiningOutputFilePath", output}, {"CombiningRelInputPaths", joinQuoted(relativeInputs)}};
  if (!runUserCommand(project, configuration, get(general.combineCommand), get(general.combineCommandWd),
                      "Combining " + quoted(system_.nodeName(project)), macros, outputPath)) {
    return false;
  }
  if (const std::string readOnly = get(general.combineSetReadonly); readOnly != "Don't") {
    if (!builder_.runCommand(directory, {"chmod", readOnly == "Yes" ? "-w" : "+w", outputPath}, {})) return false;
  }
  return !stopped();
}

}  // namespace tidewater
