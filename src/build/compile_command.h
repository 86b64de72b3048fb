#pragma once

#include <optional>
#include <string>
#include <vector>

#include "build/step_files.h"
#include "build/target_options.h"
#include "macro/macro_expansion.h"
#include "project/build_kind.h"

namespace tidewater {

class ARMProjectSystem;
class Builder;
class ProjectElement;
class PropertyClass;

/// What one compile or assemble of a file node reads once, at entry: the
/// node, the tool family, the directories and the target. Paths handed to
/// the tools are absolute or relative to the project directory, as
/// arm_supply_absolute_file_path says; every tool runs in the project
/// directory.
struct CompileContext {
  ARMProjectSystem* system = nullptr;
  ProjectElement* node = nullptr;
  std::string configuration;
  BuildKind kind = BuildKind::CompileC;
  ToolFamily family = ToolFamily::GNU;
  std::string projectDirectory;
  std::string toolchainDirectory;
  bool absolutePaths = false;
  TargetSettings target;

  std::string value(const PropertyClass* property) const;
  bool yes(const PropertyClass* property) const;
  std::string expand(const std::string& text) const;
  /// A project-relative or absolute name as the tools are given it.
  std::string toolPath(const std::string& path) const;
  /// A file of that name in the intermediate directory, as the tools are
  /// given it.
  std::string intermediateFile(const std::string& name) const;

 private:
  mutable std::optional<std::string> intermediateDirectory_;  ///< $(IntDir), expanded when first needed
  mutable std::optional<MacroMap> macros_;  ///< the node's macros, made at the first expansion
};

CompileContext makeCompileContext(ARMProjectSystem& system, ProjectElement& node,
                                  const std::string& configuration, BuildKind kind);

/// The assembly file a C or C++ compile of "object" writes, as the tools
/// name it.
std::string assemblyFileName(const CompileContext& context, const std::string& object);
/// The preprocessed file of "source" (an assembly source, or a C or C++
/// source whose preprocessor output is kept), as the tools name it.
std::string preprocessedFileName(const CompileContext& context, const std::string& source);
/// The indirect file that hands the linker or the archiver the inputs of
/// "output", as the tools name it.
std::string toolIndirectFileName(const CompileContext& context, const std::string& output);
/// Every file a compile or assemble step writes: the object, its
/// intermediate files and the dependency file when one is written.
std::vector<StepFile> compileStepFiles(const CompileContext& context, const std::string& object,
                                       const std::string& source, const std::optional<std::string>& dependencyFile);

// The blocks of the argument lists, each in the order it is formed.

/// The compiler proper with its fixed options (the C one for kind 4).
std::vector<std::string> compilerProper(const CompileContext& context);
/// C++ exceptions and RTTI (nothing for C).
std::vector<std::string> cppLanguageOptions(const CompileContext& context);
/// Include, wchar, target and user definitions, each block followed by what
/// the selected property groups add to it; the dependency output when
/// "dependencyFile" is set.
std::vector<std::string> preprocessorOptions(const CompileContext& context,
                                             const std::optional<std::string>& dependencyFile,
                                             const std::string& dependencyTarget);
std::vector<std::string> warningOptions(const CompileContext& context);
std::vector<std::string> verbosityOptions(const CompileContext& context);
std::vector<std::string> inputCharsetOptions(const CompileContext& context);
std::vector<std::string> debugOptions(const CompileContext& context);
std::vector<std::string> languageStandardOptions(const CompileContext& context);
std::vector<std::string> ansiOptions(const CompileContext& context);
std::vector<std::string> optimizationOptions(const CompileContext& context);
std::vector<std::string> framePointerOptions(const CompileContext& context);
std::vector<std::string> builtinAndMathOptions(const CompileContext& context);
std::vector<std::string> unusedSymbolOptions(const CompileContext& context);
std::vector<std::string> globalMergeOptions(const CompileContext& context);
std::vector<std::string> sectionNameOptions(const CompileContext& context);
std::vector<std::string> dataLayoutOptions(const CompileContext& context);

/// The additional options of a compile: the list properties and their
/// options files, in order. Null (with the failing file named in
/// "failedFile") when an options file cannot be opened.
std::optional<std::vector<std::string>> additionalCompileOptions(const CompileContext& context,
                                                                 std::string& failedFile);
std::optional<std::vector<std::string>> additionalAssemblerOptions(const CompileContext& context,
                                                                   std::string& failedFile);

/// The whole C or C++ compile list. "preprocessed" replaces the
/// preprocessor options by the already-preprocessed marker.
std::vector<std::string> compileCommand(const CompileContext& context, const std::string& source,
                                        const std::string& assemblyFile,
                                        const std::optional<std::string>& dependencyFile,
                                        const std::string& object, bool preprocessed,
                                        const std::vector<std::string>& additionalOptions);
/// The separate preprocessing of a C or C++ source into "output".
std::vector<std::string> preprocessCommand(const CompileContext& context, const std::string& source,
                                           const std::string& output);
/// The preprocessing of an assembly source into "output".
std::vector<std::string> assemblySourcePreprocessCommand(const CompileContext& context, const std::string& source,
                                                         const std::optional<std::string>& dependencyFile,
                                                         const std::string& object, const std::string& output);
std::vector<std::string> assembleCommand(const CompileContext& context, const std::string& input,
                                         const std::string& object,
                                         const std::vector<std::string>& additionalOptions);
/// objcopy renaming the default sections of "object"; only the tool and the
/// object twice when no section name differs from its default.
std::vector<std::string> sectionRenameCommand(const CompileContext& context, const std::string& object);

/// Runs the tools of a compile (kinds 2, 3) or assemble (kind 4) step in the
/// project directory: the object at "objectPath" from "source". Returns
/// false when a tool failed or the walk was stopped. "stepText" replaces
/// the "Compiling '<node>'" text of a compile (a unity folder's).
bool runCompileTool(ARMProjectSystem& system, ProjectElement& node, const std::string& configuration,
                    BuildKind kind, const std::string& objectPath, const std::string& dependencyPath,
                    const std::string& source, Builder& builder, bool writeDependencyFile,
                    const std::string& stepText = {});

/// The file that preprocessOneFile writes for "node".
StepFile preprocessOneFileOutput(ARMProjectSystem& system, ProjectElement& node, const std::string& configuration);

/// Preprocesses a C or C++ file node on its own; returns the absolute path
/// of the file that received the output ("" when nothing could run).
std::string preprocessOneFile(ARMProjectSystem& system, ProjectElement& node, const std::string& configuration,
                              Builder& builder);

}  // namespace tidewater
