#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "build/step_files.h"
#include "macro/macro_expansion.h"
#include "project/build_kind.h"

namespace tidewater {

class ARMProjectSystem;
class Builder;
class Idler;
class PropertyClass;
class ProjectElement;

/// What a build of a project would write and read, gathered before anything
/// runs, so that a build that would destroy a file can be refused whole.
struct BuildPlan {
  std::vector<StepFile> outputs;    ///< every file the steps write, in step order
  std::vector<std::string> inputs;  ///< absolute: the project's files and the files its properties name
  std::vector<std::string> errors;  ///< steps that cannot be formed
};

/// The walk that builds a node of the project tree in one configuration:
/// children first, then the node's own step when its output is out of date,
/// bracketed by the user's pre- and post-commands. Every command goes to
/// the Builder; the walk stops doing work once the builder's status says
/// failed or stopped. It keeps no state of its own between calls.
class BuildWalk {
 public:
  BuildWalk(ARMProjectSystem& system, Builder& builder, Idler& idler);
  BuildWalk(const BuildWalk&) = delete;
  BuildWalk& operator=(const BuildWalk&) = delete;

  /// Builds "node" with the flags of build_flags.h; true when its own step ran.
  bool buildNode(ProjectElement& node, const std::string& configuration, uint32_t flags);

  /// The files a build of "project" with "flags" writes and reads (compile,
  /// link and archive steps).
  BuildPlan plan(ProjectElement& project, const std::string& configuration, uint32_t flags);

  /// The project's files, as named, whose type no rule recognises ("x.c++",
  /// a name ending in a stray carriage return): the build leaves them out.
  std::vector<std::string> filesOfUnknownType(ProjectElement& project, const std::string& configuration);

  BuildKind buildKind(ProjectElement& node, const std::string& configuration);
  /// build_dependency_file_name, else "<IntDir>/<object base name>.d".
  std::string dependencyFileName(ProjectElement& node, const std::string& configuration,
                                 const std::string& objectPath);

 private:
  /// The macro-expanded output of a step (relative names stay relative).
  std::string outputName(BuildKind kind, ProjectElement& node, const std::string& configuration);
  /// Generates the linker script when needed, links and runs the post-link
  /// tools; false when a step failed.
  bool linkProject(ProjectElement& project, const std::string& configuration, const std::string& output,
                           const std::vector<std::string>& objects, uint32_t flags);
  bool archiveProject(ProjectElement& project, const std::string& configuration, const std::string& output,
                              const std::vector<std::string>& objects);
  /// Files a link takes besides the objects (only existing ones are used):
  /// the libraries of the selected property groups, then the expanded
  /// linker_additional_files.
  std::vector<std::string> extraLinkInputs(ProjectElement& project, const std::string& configuration);
  /// Outputs a clean removes besides the step's output: the generated
  /// linker script and indirect files, kept assembly and preprocessed files.
  std::vector<std::string> extraOutputsToClean(ProjectElement& node, const std::string& configuration,
                                                       BuildKind kind, const std::string& outputPath);
  /// Outputs a link must have left for it to be up to date (map file,
  /// additional output file).
  std::vector<std::string> linkRequiredOutputs(ProjectElement& project, const std::string& configuration);

  bool stopped() const;
  bool visitChildren(ProjectElement& node, const std::string& configuration, uint32_t flags);
  bool compileStep(ProjectElement& node, const std::string& configuration, BuildKind kind, uint32_t flags,
                   bool forced);
  bool linkOrArchiveStep(ProjectElement& project, const std::string& configuration, BuildKind kind, uint32_t flags,
                         bool forced);
  bool externalBuildStep(ProjectElement& project, const std::string& configuration, uint32_t flags);
  bool stageStep(ProjectElement& node, const std::string& configuration, uint32_t flags, bool forced);
  bool combineStep(ProjectElement& project, const std::string& configuration, uint32_t flags, bool forced);
  bool unityStep(ProjectElement& folder, const std::string& configuration, uint32_t flags, bool forced);
  bool stagingProjectStep(ProjectElement& project, const std::string& configuration, bool anyStaged);

  /// The object paths of a project's buildable files, in tree order (a
  /// unity folder gives its unity object and those of its excluded files).
  void collectObjects(ProjectElement& node, const std::string& configuration, uint32_t flags,
                      std::vector<std::string>& objects);
  bool isUnityFolder(ProjectElement& node, const std::string& configuration, uint32_t flags);
  /// A unity folder's compiled files, split by the exclude filter.
  void splitUnityFiles(ProjectElement& folder, const std::string& configuration,
                       std::vector<ProjectElement*>& included, std::vector<ProjectElement*>& excluded);
  std::string unityObjectName(ProjectElement& folder, const std::string& configuration);
  std::vector<std::string> fileInputsOfProject(ProjectElement& project, const std::string& configuration,
                                               const std::string& fileType);

  /// Expands a command with the node's macros and "buildMacros", splits it
  /// and runs it under "stepText" in the expanded working directory.
  bool runUserCommand(ProjectElement& node, const std::string& configuration, const std::string& command,
                      const std::string& workingDirectory, const std::string& stepText, const MacroMap& buildMacros,
                      const std::string& outputFile = {});
  std::string expandWith(ProjectElement& node, const std::string& configuration, const std::string& text,
                         const MacroMap& buildMacros);
  void removeFile(const std::string& path, bool quiet);
  std::string projectDirectory(ProjectElement& node, const std::string& configuration);
  std::string value(ProjectElement& node, const std::string& configuration, const PropertyClass* property);

  ARMProjectSystem& system_;
  Builder& builder_;
  Idler& idler_;
};

}  // namespace tidewater
