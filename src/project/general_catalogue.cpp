// The general catalogue of the base project system: node identity, folder
// settings, project settings, the node-macro descriptions, build directories
// and switches, staging, combining, property groups and user build steps,
// registered in that order.
#include <algorithm>
#include <array>
#include <string_view>

#include "project/catalogue_table.h"
#include "project/file_types.h"
#include "project/project_types.h"
#include "project/text_encodings.h"

namespace tidewater {

namespace {

using R = GeneralCatalogue;
using enum PropertyType;

constexpr PropertySection kInformation{"Properties", "(Information)"};
constexpr PropertySection kFile{"General", "File Options"};
constexpr PropertySection kFolder{"General", "Folder Options"};
constexpr PropertySection kDynamicFolder{"General", "Dynamic Folder Options"};
constexpr PropertySection kProject{"General", "Project Options"};
constexpr PropertySection kSolution{"General", "Solution Options"};
constexpr PropertySection kGeneral{"General", "General Options"};
constexpr PropertySection kBuild{"General", "Build Options"};
constexpr PropertySection kPackage{"General", "Package Options"};
constexpr PropertySection kCompiler{"C/C++", "Compiler Options"};
constexpr PropertySection kLinker{"Linker", "Linker Options"};
constexpr PropertySection kLibrary{"General", "Library Options"};
constexpr PropertySection kStaging{"General", "Staging Options"};
constexpr PropertySection kCombining{"General", "Combining Options"};
constexpr PropertySection kUserSteps{"General", "User Build Step Options"};

constexpr uint32_t kInfo = kInformational;
constexpr uint32_t kCommon = kCommonOnly;

// "Default" followed by the given values.
template <size_t N>
constexpr std::array<std::string_view, N + 1> withDefault(const std::string_view (&values)[N]) {
  std::array<std::string_view, N + 1> result{"Default"};
  std::copy_n(values, N, result.begin() + 1);
  return result;
}

constexpr auto kFileTypeValues = withDefault(kFileTypes);

// The project_type description names the project types; it is put together
// here, at compile time, from their table.
constexpr std::string_view kProjectTypeLead = "Specifies the type of project to build. The options are <b>";
constexpr std::string_view kProjectTypeTail = "</b>.";
constexpr std::string_view kProjectTypeSeparator = ", ";

constexpr size_t projectTypeDescriptionLength() {
  size_t length = kProjectTypeLead.size() + kProjectTypeTail.size();
  for (const std::string_view type : kProjectTypes) length += type.size();
  return length + (std::size(kProjectTypes) - 1) * kProjectTypeSeparator.size();
}

constexpr auto kProjectTypeDescriptionText = [] {
  std::array<char, projectTypeDescriptionLength()> text{};
  char* out = std::copy(kProjectTypeLead.begin(), kProjectTypeLead.end(), text.begin());
  for (const std::string_view type : kProjectTypes) {
    if (type != kProjectTypes[0]) out = std::copy(kProjectTypeSeparator.begin(), kProjectTypeSeparator.end(), out);
    out = std::copy(type.begin(), type.end(), out);
  }
  std::copy(kProjectTypeTail.begin(), kProjectTypeTail.end(), out);
  return text;
}();

constexpr std::string_view kProjectTypeDescription{kProjectTypeDescriptionText.data(),
                                                   kProjectTypeDescriptionText.size()};

constexpr auto kFlags = choices<"None", "Red", "Orange", "Yellow", "Green", "Blue", "Purple">;

constexpr CatalogueRow<R> kNodeRows[] = {
    {"date_created", String, kInformation, "Date Created", "", 0, 0, nullptr,
     "The date and time the file was created.", {}, kInfo},
    {"date_modified", String, kInformation, "Date Modified", "", 0, 0, nullptr,
     "The date and time the file was last modified.", {}, kInfo},
    {"Platform", String, kInformation, "Platform", "ARM", 0, 0, nullptr,
     "The target platform of the project.", {}, kInfo},
    {"full_path", FileName, kInformation, "Full Path", "", 0, 0, nullptr,
     "The absolute path of the file.", {}, kInfo},
    {"relative_path", FileName, kInformation, "Relative Path", "", 0, 0, nullptr,
     "The path of the file relative to the project directory.", {}, kInfo},
    {"Name", String, kInformation, "Name", "", 0, 0, nullptr,
     "The name of the solution, project, folder or configuration.", {}, kInfo},
    {"file_name", String, kFile, "File Name", "", 0, 0, &R::fileName,
     "The path of the file, relative to the project directory or absolute; may contain macros.", {},
     kInfo},
    {"file_codec", Enumeration, kFile, "File Encoding", "Default", 0, 0, &R::fileCodec,
     "The text encoding the source file is written in; <b>Default</b> uses the compiler's default.",
     kTextEncodings, kCommon},
    {"file_open_with", Enumeration, kFile, "Open With", "Default", 0, 0, nullptr,
     "The tool that opens the file.",
     choices<"Default", "Text Editor", "Binary Editor", "Web Browser", "Run File">, kCommon},
    {"file_type", Enumeration, kFile, "File Type", "Default", 0, 0, &R::fileType,
     "The type of the file, which decides how it is built; <b>Default</b> decides from its extension.",
     kFileTypeValues, kCommon},
    {"file_flag", Enumeration, kFile, "File Flag", "None", 0, 0, nullptr,
     "A marker shown beside the file.", kFlags, kCommon},
    {"project_flag", Enumeration, kProject, "Project Flag", "None", 0, 0, nullptr,
     "A marker shown beside the project.", kFlags, kCommon},
    {"solution_flag", Enumeration, kSolution, "Solution Flag", "None", 0, 0, nullptr,
     "A marker shown beside the solution.", kFlags, kCommon},
};

constexpr CatalogueRow<R> kFolderRows[] = {
    {"filter", StringList, kFolder, "Filter", "", 0, 0, &R::folderFilter,
     "The file patterns (for example *.c;*.h) of the files that belong in this folder.", {}, kCommon},
    {"filter", String, kDynamicFolder, "Filter", "", 0, 0, &R::dynamicFolderFilter,
     "The file patterns of the files the dynamic folder shows.", {}, kCommon},
    {"path", DirPath, kDynamicFolder, "Source Directory", "", 0, 0, nullptr,
     "The directory whose files the dynamic folder shows.", {}, kCommon},
    {"recurse", Boolean, kDynamicFolder, "Recurse Into Subdirectories", "No", 0, 0, nullptr,
     "Whether the dynamic folder also shows the files of subdirectories.", {}, kCommon},
    {"exclude", String, kDynamicFolder, "Exclude", "", 0, 0, nullptr,
     "The file patterns of the files the dynamic folder leaves out.", {}, kCommon},
};

constexpr CatalogueRow<R> kProjectRows[] = {
    {"project_type", Enumeration, kBuild, "Project Type", "Executable", 0, 0, &R::projectType,
     kProjectTypeDescription, kProjectTypes},
    {"name", String, kInformation, "Project Name", "", 0, 0, nullptr, "The name of the project.", {},
     kInfo},
    {"project_directory", String, kBuild, "Project Directory", "", 0, 0, &R::projectDirectory,
     "The directory of the project, relative to the solution file's directory or absolute.", {},
     kCommon},
    {"full_project_directory", DirPath, kInformation, "Full Project Directory", "", 0, 0, nullptr,
     "The absolute directory of the project.", {}, kInfo},
    {"project_dependencies", StringList, kBuild, "Project Dependencies", "", 0, 0,
     &R::projectDependencies, "The projects that must be built before this one."},
    {"project_can_build_in_parallel", Enumeration, kBuild, "Project Can Build In Parallel", "Default",
     0, 0, nullptr, "Whether the project may be built at the same time as other projects.",
     choices<"Default", "Yes", "No">},
    {"macros", StringList, kBuild, "Project Macros", "", 0, 0, &R::macros,
     "Macro definitions of the form name=value that the project's property values may refer to."},
    {"package_dependencies", StringList, kPackage, "Package Dependencies", "", 0, 0, nullptr,
     "The packages the project needs.", {}, kCommon},
    {"batch_build_configurations", StringList, kGeneral, "Batch Build Configurations", "", 0, 0,
     nullptr, "The configurations a batch build builds."},
    {"inherited_configurations", StringList, kGeneral, "Inherited Configurations", "", 0, 0,
     &R::inheritedConfigurations,
     "The configurations whose property values this configuration takes when it has none of its own."},
    {"public_configurations", StringList, kGeneral, "Public Configurations", "", 0, 0, nullptr,
     "The list of public configurations of the solution."},
    {"private_configurations", StringList, kGeneral, "Private Configurations", "", 0, 0, nullptr,
     "The list of private configurations of the solution."},
    {"project_inhibit_indexing", Boolean, kBuild, "Inhibit Source Indexing", "No", 0, 0, nullptr,
     "Whether the project's sources are left out of the source index.", {}, kCommon},
};

constexpr CatalogueRow<R> kBuildRows[] = {
    {"build_toolchain_directory", DirPath, kBuild, "Tool Chain Directory", "$(StudioDir)", 0, 0,
     &R::buildToolchainDirectory, "The directory that holds the tools of the toolchain."},
    {"build_treat_warnings_as_errors", Boolean, kBuild, "Treat Warnings as Errors", "No", 0, 0,
     &R::buildTreatWarningsAsErrors, "Whether a tool's warning fails the build step."},
    {"build_suppress_warnings", Boolean, kBuild, "Suppress Warnings", "No", 0, 0,
     &R::buildSuppressWarnings, "Whether the tools report warnings at all."},
    {"build_intermediate_directory", DirPath, kBuild, "Intermediate Directory",
     "$(ProjectName) $(Configuration)", 0, 0, &R::buildIntermediateDirectory,
     "The directory of the intermediate files (objects, dependency files, generated scripts)."},
    {"build_output_directory", DirPath, kBuild, "Output Directory", "$(ProjectName) $(Configuration)",
     0, 0, &R::buildOutputDirectory, "The directory of the project's output file."},
    {"build_root_output_directory", DirPath, kBuild, "Root Output Directory", "", 0, 0,
     &R::buildRootOutputDirectory, "The directory under which the outputs of the solution are placed."},
    {"build_object_file_name", FileName, kCompiler, "Object File Name", "$(IntDir)/$(InputName)$(OBJ)",
     0, 0, &R::buildObjectFileName, "The name of the object file a source file compiles to."},
    {"build_output_file_name", FileName, kLinker, "Executable File Name",
     "$(OutDir)/$(ProjectName)$(EXE)", 0, -300, &R::executableOutputFileName,
     "The name of the executable file the link produces."},
    {"build_output_file_name", FileName, kLibrary, "Library File Name", "$(OutDir)/$(ProjectName)$(LIB)",
     0, 0, &R::libraryOutputFileName, "The name of the library file the archiver produces."},
    {"build_quietly", Boolean, kBuild, "Build Quietly", "Yes", 0, 0, &R::buildQuietly,
     "Whether the tools run without reporting what they do."},
    {"build_debug_information", Boolean, kBuild, "Include Debug Information", "Yes", 0, 0,
     &R::buildDebugInformation, "Whether the outputs carry debugging information."},
    {"build_exclude_from_build", Boolean, kBuild, "Exclude From Build", "No", 0, 0,
     &R::buildExcludeFromBuild, "Whether the node is left out of the build."},
    {"build_always_rebuild", Boolean, kBuild, "Always Rebuild", "No", 0, 0, &R::buildAlwaysRebuild,
     "Whether the node is built even when its outputs are up to date."},
};

constexpr CatalogueRow<R> kStagingAndCombiningRows[] = {
    {"stage_output_filepath", FileName, kStaging, "Stage Output File Path", "$(OutDir)/$(RelInputPath)", 0,
     0, &R::stageOutputFilepath, "The path a staged file is copied to."},
    {"stage_command", Command, kStaging, "Stage Command", "cp \"$(RelInputPath)\" \"$(StageOutputFilePath)\"",
     0, 0, &R::stageCommand, "The command that stages a file."},
    {"stage_command_wd", String, kStaging, "Stage Command Working Directory", "$(ProjectDir)", 0, 0,
     &R::stageCommandWd, "The directory the stage command runs in."},
    {"stage_set_readonly", Enumeration, kStaging, "Stage Set Read-Only", "No", 0, 0, &R::stageSetReadonly,
     "Whether the staged file is made read-only (<b>Yes</b>), writable (<b>No</b>) or left as it is "
     "(<b>Don't</b>).",
     choices<"Yes", "No", "Don't">},
    {"stage_post_build_command", Command, kStaging, "Stage Post-Build Command", "", 0, 0,
     &R::stagePostBuildCommand, "A command run after a file has been staged."},
    {"stage_post_build_command_wd", String, kStaging, "Stage Post-Build Command Working Directory",
     "$(ProjectDir)", 0, 0, &R::stagePostBuildCommandWd, "The directory the stage post-build command runs in."},
    {"combine_output_filepath", FileName, kCombining, "Combine Output File Path", "$(OutDir)/$(ProjectName)",
     0, 0, &R::combineOutputFilepath, "The path of the file the combine command produces."},
    {"combine_command", Command, kCombining, "Combine Command", "", 0, 0, &R::combineCommand,
     "The command that combines the project's inputs into one output file."},
    {"combine_command_wd", String, kCombining, "Combine Command Working Directory", "$(ProjectDir)", 0, 0,
     &R::combineCommandWd, "The directory the combine command runs in."},
    {"combine_set_readonly", Enumeration, kCombining, "Combine Set Read-Only", "No", 0, 0,
     &R::combineSetReadonly,
     "Whether the combined file is made read-only (<b>Yes</b>), writable (<b>No</b>) or left as it is "
     "(<b>Don't</b>).",
     choices<"Yes", "No", "Don't">},
    {"property_groups_file_path", ProjFileName, kBuild, "Property Groups File", "", 0, 0,
     &R::propertyGroupsFilePath, "The file that defines the project's property groups."},
};

constexpr CatalogueRow<R> kUserBuildStepRows[] = {
    {"pre_build_command", Command, kUserSteps, "Pre-Build Command", "", 0, 0, &R::preBuildCommand,
     "A command run before the project is built."},
    {"pre_build_command_wd", String, kUserSteps, "Pre-Build Command Working Directory", "$(ProjectDir)", 0,
     0, &R::preBuildCommandWd, "The directory the pre-build command runs in."},
    {"pre_build_command_control", Enumeration, kUserSteps, "Pre-Build Command Control", "Build Required", 0,
     0, &R::preBuildCommandControl,
     "When the pre-build command runs: always, or only when the project needs building.",
     choices<"Always Run", "Run When Build Required">},
    {"post_build_command", Command, kUserSteps, "Post-Build Command", "", 0, 0, &R::postBuildCommand,
     "A command run after the project has been built."},
    {"post_build_command_wd", String, kUserSteps, "Post-Build Command Working Directory", "$(ProjectDir)",
     0, 0, &R::postBuildCommandWd, "The directory the post-build command runs in."},
    {"post_build_command_control", Enumeration, kUserSteps, "Post-Build Command Control", "Build Required",
     0, 0, &R::postBuildCommandControl,
     "When the post-build command runs: always, or only when a build has occurred.",
     choices<"Always Run", "Run When Build Has Occurred">},
};

constexpr MacroDescriptionRow kNodeMacros[] = {
    {"$(ProjectNodeName)", "The name of the project node."},
    {"$(FolderName)", "The name of the folder that holds the node."},
    {"$(FolderPath)", "The names of the enclosing folders, outermost first, joined with /."},
    {"$(ProjectDir)", "The absolute directory of the project."},
    {"$(ProjectName)", "The name of the project."},
    {"$(SolutionDir)", "The absolute directory of the solution file."},
    {"$(SolutionName)", "The base name of the solution file."},
    {"$(SolutionFileName)", "The file name of the solution file."},
    {"$(SolutionPath)", "The absolute path of the solution file."},
    {"$(SolutionExt)", "The extension of the solution file, without the dot."},
    {"$(InputDir)", "The absolute directory of the input file."},
    {"$(InputName)", "The name of the input file without its extension."},
    {"$(InputFileName)", "The file name of the input file."},
    {"$(InputExt)", "The extension of the input file, without the dot."},
    {"$(InputPath)", "The absolute path of the input file."},
    {"$(RelInputPath)", "The path of the input file as written in the project."},
    {"$(RelInputDir)", "The directory of the input file as written in the project."},
    {"$(Configuration)", "The name of the configuration being built."},
    {"$(OBJ)", "The object file extension of the toolchain."},
    {"$(EXE)", "The executable file extension of the toolchain."},
    {"$(LIB)", "The library file extension of the toolchain."},
    {"$(PackageExt)", "The file extension of packages."},
    {"$(IntDir)", "The intermediate directory of the node."},
    {"$(RootOutDir)", "The root output directory of the node."},
    {"$(OutDir)", "The output directory of the node."},
    {"$(RootRelativeOutDir)", "The path from the output directory to the root output directory."},
    {"$(ToolChainDir)", "The tool chain directory of the node."},
};

}  // namespace

void ProjectSystem::registerGeneralCatalogue() {
  registerTable<R>(general_, kNodeRows);
  registerTable<R>(general_, kFolderRows);
  registerTable<R>(general_, kProjectRows);
  registerMacroDescriptions(general_, kNodeMacros);
  registerTable<R>(general_, kBuildRows);
  registerTable<R>(general_, kStagingAndCombiningRows);
  registerTable<R>(general_, kUserBuildStepRows);
}

}  // namespace tidewater
