// The standard layer's table, in registration order, and the descriptions
// of the macros that the build defines while it forms one command.
#include "project/standard_project_system.h"

#include "project/catalogue_table.h"

namespace tidewater {

namespace {

using R = StandardCatalogue;
using enum PropertyType;

constexpr PropertySection kLinkerLibrary{"Linker", "Library Options"};
constexpr PropertySection kLinker{"Linker", "Linker Options"};
constexpr PropertySection kPrintf{"Linker", "Printf/Scanf Options"};
constexpr PropertySection kLinkSteps{"Linker", "User Build Step Options"};
constexpr PropertySection kCompiler{"C/C++", "Compiler Options"};
constexpr PropertySection kPreprocessor{"C/C++", "Preprocessor Options"};
constexpr PropertySection kAssembler{"C/C++", "Assembler Options"};
constexpr PropertySection kCodeGeneration{"C/C++", "Code Generation Options"};
constexpr PropertySection kSections{"C/C++", "Section Options"};
constexpr PropertySection kCompileSteps{"C/C++", "User Build Step Options"};
constexpr PropertySection kBuild{"General", "Build Options"};
constexpr PropertySection kExternal{"General", "External Build Options"};
constexpr PropertySection kDebugger{"Debugging", "Debugger Options"};
constexpr PropertySection kLoader{"Debugging", "Loader Options"};

constexpr auto kLoadFileTypes = choices<"Detect", "ELF", "Binary", "Intel Hex", "Motorola S-Record">;

constexpr CatalogueRow<R> kLibraryAndCompilerRows[] = {
    {"link_include_standard_libraries", Boolean, kLinkerLibrary, "Include Standard Libraries", "Yes",
     kStepLink, 0, &R::linkIncludeStandardLibraries,
     "Whether the runtime libraries are linked into the executable."},
    {"link_standard_libraries_directory", String, kLinkerLibrary, "Standard Libraries Directory",
     "$(StudioDir)/lib", kStepLink, 0, &R::linkStandardLibrariesDirectory,
     "The directory the runtime libraries are taken from."},
    {"link_use_multi_threaded_libraries", Boolean, kLinkerLibrary, "Use Multi-Threaded Libraries", "No",
     kStepLink, 0, &R::linkUseMultiThreadedLibraries,
     "Whether the thread-safe variants of the runtime libraries are linked."},
    {"link_symbol_definitions", StringList, kLinker, "Linker Symbol Definitions", "", kStepLink, -170,
     &R::linkSymbolDefinitions, "Symbols the linker defines, each written name=value."},
    {"linker_keep_symbols", StringList, kLinker, "Keep Symbols", "", kStepLink, -160, &R::linkerKeepSymbols,
     "Symbols the linker keeps even when nothing refers to them."},
    {"c_enforce_ansi_checking", Boolean, kCompiler, "Enforce ANSI Checking", "No", kStepsCompile, 0,
     &R::cEnforceAnsiChecking, "Whether the compiler rejects code that is not strictly standard."},
    {"c_undefine_all_preprocessor_definitions", Boolean, kPreprocessor,
     "Undefine All Preprocessor Definitions", "No", kStepsSource, 0, &R::cUndefineAllPreprocessorDefinitions,
     "Whether the preprocessor starts without any predefined macros."},
    {"c_preprocessor_definitions", StringList, kPreprocessor, "Preprocessor Definitions", "", kStepsSource, 0,
     &R::cPreprocessorDefinitions, "Macros defined for the preprocessor, each written name or name=value."},
    {"c_preprocessor_undefinitions", StringList, kPreprocessor, "Preprocessor Undefinitions", "",
     kStepsSource, 0, &R::cPreprocessorUndefinitions, "Macros undefined for the preprocessor."},
    {"c_ignore_includes", Boolean, kPreprocessor, "Ignore Includes", "No", kStepsSource, 0,
     &R::cIgnoreIncludes, "Whether the system and user include directories are left out."},
    {"c_system_include_directories", StringList, kPreprocessor, "System Include Directories",
     "$(StudioDir)/include;$(PackagesDir)/include", kStepsSource, 0, &R::cSystemIncludeDirectories,
     "The directories searched for #include &lt;file&gt;."},
    {"c_user_include_directories", StringList, kPreprocessor, "User Include Directories", ".", kStepsSource,
     0, &R::cUserIncludeDirectories, "The directories searched for #include \"file\"."},
    {"c_additional_options", StringList, kCompiler, "Additional C/C++ Compiler Options", "", kStepsCompile, 0,
     &R::cAdditionalOptions, "Further options passed to the C and C++ compilers."},
    {"c_additional_options_from_file", ProjFileName, kCompiler, "Additional C/C++ Compiler Options From File",
     "", kStepsCompile, 0, &R::cAdditionalOptionsFromFile,
     "A file of further options, one a line, passed to the C and C++ compilers."},
    {"c_only_additional_options", StringList, kCompiler, "Additional C Compiler Only Options", "", kStepC, 0,
     &R::cOnlyAdditionalOptions, "Further options passed to the C compiler only."},
    {"c_only_additional_options_from_file", ProjFileName, kCompiler,
     "Additional C Compiler Only Options From File", "", kStepC, 0, &R::cOnlyAdditionalOptionsFromFile,
     "A file of further options, one a line, passed to the C compiler only."},
    {"cpp_only_additional_options", StringList, kCompiler, "Additional C++ Compiler Only Options", "",
     kStepCpp, 0, &R::cppOnlyAdditionalOptions, "Further options passed to the C++ compiler only."},
    {"cpp_only_additional_options_from_file", ProjFileName, kCompiler,
     "Additional C++ Compiler Only Options From File", "", kStepCpp, 0, &R::cppOnlyAdditionalOptionsFromFile,
     "A file of further options, one a line, passed to the C++ compiler only."},
    {"cpp_enable_exceptions", Boolean, kCodeGeneration, "Enable Exception Support", "No", kStepCpp, 0,
     &R::cppEnableExceptions, "Whether C++ code may throw and catch exceptions."},
    {"cpp_enable_rtti", Boolean, kCodeGeneration, "Enable RTTI Support", "No", kStepCpp, 0, &R::cppEnableRtti,
     "Whether C++ code carries run-time type information."},
    {"asm_additional_options", StringList, kAssembler, "Additional Assembler Options", "", kStepAsm, 0,
     &R::asmAdditionalOptions, "Further options passed to the assembler."},
    {"asm_additional_options_from_file", ProjFileName, kAssembler, "Additional Assembler Options From File",
     "", kStepAsm, 0, &R::asmAdditionalOptionsFromFile,
     "A file of further options, one a line, passed to the assembler."},
};

constexpr CatalogueRow<R> kSectionRows[] = {
    {"default_code_section", String, kSections, "Code Section Name", ".text", kStepsSource, 0,
     &R::defaultCodeSection, "The section that code is placed in."},
    {"default_data_section", String, kSections, "Data Section Name", ".data", kStepsSource, 0,
     &R::defaultDataSection, "The section that initialised data is placed in."},
    {"default_zeroed_section", String, kSections, "Zeroed Section Name", ".bss", kStepsSource, 0,
     &R::defaultZeroedSection, "The section that zero-initialised data is placed in."},
    {"default_const_section", String, kSections, "Constant Section Name", ".rodata", kStepsSource, 0,
     &R::defaultConstSection, "The section that read-only data is placed in."},
    {"default_vector_section", String, kSections, "Vector Section Name", ".vectors", kStepsSource, 0,
     &R::defaultVectorSection, "The section that the exception vectors are placed in."},
    {"default_isr_section", String, kSections, "ISR Section Name", ".text", kStepsSource, 0,
     &R::defaultIsrSection, "The section that interrupt service routines are placed in."},
};

constexpr CatalogueRow<R> kLinkerRows[] = {
    {"linker_additional_files", StringList, kLinker, "Additional Input Files", "", kStepLink, -290,
     &R::linkerAdditionalFiles, "Further object and library files to link."},
    {"linker_additional_options", StringList, kLinker, "Additional Linker Options", "", kStepLink, -90,
     &R::linkerAdditionalOptions, "Further options passed to the linker."},
    {"linker_additional_options_from_file", ProjFileName, kLinker, "Additional Linker Options From File", "",
     kStepLink, -80, &R::linkerAdditionalOptionsFromFile,
     "A file of further options, one a line, passed to the linker."},
    {"linker_memory_map_file", ProjFileName, kBuild, "Memory Map File", "", kStepLink, 0,
     &R::linkerMemoryMapFile, "The memory map file that describes the target's memory."},
    {"linker_memory_map_macros", StringList, kBuild, "Memory Map Macros", "", kStepLink, 0,
     &R::linkerMemoryMapMacros, "Macros, each written name=value, used when the memory map file is read."},
    {"linker_section_placement_file", ProjFileName, kLinker, "Section Placement File",
     "$(StudioDir)/targets/section_placement.xml", kStepLink, -250, &R::linkerSectionPlacementFile,
     "The file that places the program's sections in the memory segments."},
    {"linker_section_placement_macros", StringList, kLinker, "Section Placement Macros", "", kStepLink, -240,
     &R::linkerSectionPlacementMacros,
     "Macros, each written name=value, used when the section placement file is read."},
    {"linker_section_placements_segments", StringList, kLinker, "Section Placement Segments", "", kStepLink,
     -230, &R::linkerSectionPlacementsSegments,
     "The memory segments to place sections in when there is no memory map file."},
    {"debug_register_definition_file", ProjFileName, kDebugger, "Register Definition File", "", 0, 0,
     nullptr, "The file that describes the target's peripheral registers."},
    {"linker_output_format", Enumeration, kLinker, "Additional Output Format", "", kStepLink, -210,
     &R::linkerOutputFormat, "The format of an additional output file made from the linked image."},
    {"linker_map_file", Boolean, kLinker, "Generate Map File", "Yes", kStepLink, -190, &R::linkerMapFile,
     "Whether the linker writes a map file beside the output."},
};

constexpr CatalogueRow<R> kPrintfScanfRows[] = {
    {"linker_printf_fmt_level", Enumeration, kPrintf, "Printf Integer Support", "long long", kStepLink, 0,
     &R::linkerPrintfFmtLevel, "The largest integer type that printf can print.",
     choices<"int", "long", "long long">},
    {"linker_printf_width_precision_supported", Boolean, kPrintf, "Printf Width/Precision Supported", "Yes",
     kStepLink, 0, &R::linkerPrintfWidthPrecisionSupported,
     "Whether printf honours field widths and precisions."},
    {"linker_printf_fp_enabled", Enumeration, kPrintf, "Printf Floating Point Supported", "Double", kStepLink,
     0, &R::linkerPrintfFpEnabled, "The floating-point types that printf can print.",
     choices<"No", "Float", "Double">},
    {"linker_printf_wchar_enabled", Boolean, kPrintf, "Wide Characters Supported", "No", kStepLink, 0,
     &R::linkerPrintfWcharEnabled, "Whether printf can print wide characters."},
    {"linker_scanf_fmt_level", Enumeration, kPrintf, "Scanf Integer Support", "long long", kStepLink, 0,
     &R::linkerScanfFmtLevel, "The largest integer type that scanf can read.", choices<"int", "long", "long long">},
    {"linker_scanf_fp_enabled", Boolean, kPrintf, "Scanf Floating Point Supported", "Yes", kStepLink, 0,
     &R::linkerScanfFpEnabled, "Whether scanf can read floating-point numbers."},
    {"linker_scanf_character_group_matching_enabled", Boolean, kPrintf, "Scanf Classes Supported", "Yes",
     kStepLink, 0, &R::linkerScanfCharacterGroupMatchingEnabled,
     "Whether scanf understands character classes such as %[a-z]."},
};

constexpr CatalogueRow<R> kBuildStepRows[] = {
    {"compile_pre_build_command", Command, kCompileSteps, "Pre-Compile Command", "", kStepsSource, 0,
     &R::compilePreBuildCommand, "A command run before a file is compiled."},
    {"compile_pre_build_command_output_file_name", FileName, kCompileSteps, "Pre-Compile Output File", "",
     kStepsSource, 0, &R::compilePreBuildCommandOutputFileName,
     "The file the pre-compile command produces, compiled in place of the source."},
    {"compile_pre_build_command_wd", String, kCompileSteps, "Pre-Compile Command Working Directory",
     "$(ProjectDir)", 0, 0, &R::compilePreBuildCommandWd, "The directory the pre-compile command runs in."},
    {"compile_post_build_command", Command, kCompileSteps, "Post-Compile Command", "", kStepsSource, 0,
     &R::compilePostBuildCommand, "A command run after a file has been compiled."},
    {"compile_post_build_command_wd", String, kCompileSteps, "Post-Compile Command Working Directory",
     "$(ProjectDir)", 0, 0, &R::compilePostBuildCommandWd, "The directory the post-compile command runs in."},
    {"linker_pre_build_command", Command, kLinkSteps, "Pre-Link Command", "", kStepLink, 0,
     &R::linkerPreBuildCommand, "A command run before the project is linked."},
    {"linker_pre_build_command_wd", String, kLinkSteps, "Pre-Link Command Working Directory", "$(ProjectDir)",
     0, 0, &R::linkerPreBuildCommandWd, "The directory the pre-link command runs in."},
    {"linker_patch_build_command", Command, kLinkSteps, "Link Patch Command", "", kStepLink, 0,
     &R::linkerPatchBuildCommand, "A command that patches the linked image; $(TargetPath) names it."},
    {"linker_patch_build_command_wd", String, kLinkSteps, "Link Patch Command Working Directory",
     "$(ProjectDir)", 0, 0, &R::linkerPatchBuildCommandWd, "The directory the link patch command runs in."},
    {"linker_post_build_command", Command, kLinkSteps, "Post-Link Command", "", kStepLink, 0,
     &R::linkerPostBuildCommand, "A command run after the project has been linked."},
    {"linker_post_build_command_wd", String, kLinkSteps, "Post-Link Command Working Directory",
     "$(ProjectDir)", 0, 0, &R::linkerPostBuildCommandWd, "The directory the post-link command runs in."},
    {"linker_post_build_command_output_file", FileName, kLinkSteps, "Post-Link Output File", "", kStepLink, 0,
     &R::linkerPostBuildCommandOutputFile, "The file the post-link command produces."},
    {"archive_post_build_command", Command, kLinkSteps, "Post-Archive Command", "", kStepArchive, 0,
     &R::archivePostBuildCommand, "A command run after the library has been archived."},
    {"archive_post_build_command_wd", String, kLinkSteps, "Post-Archive Command Working Directory",
     "$(ProjectDir)", 0, 0, &R::archivePostBuildCommandWd, "The directory the post-archive command runs in."},
};

constexpr CatalogueRow<R> kExternalBuildRows[] = {
    {"external_build_file_name", FileName, kExternal, "Build File Name", "", 0, 0, &R::externalBuildFileName,
     "The file the external build command produces."},
    {"external_build_command", Command, kExternal, "Build Command", "", 0, 0, &R::externalBuildCommand,
     "The command that builds the project outside this build system."},
    {"external_clean_command", Command, kExternal, "Clean Command", "", 0, 0, &R::externalCleanCommand,
     "The command that removes what the external build command made."},
    {"external_c_compile_command", Command, kExternal, "Compile C Command", "", kStepC, 0,
     &R::externalCCompileCommand, "The command that compiles a C file of an externally built project."},
    {"external_cpp_compile_command", Command, kExternal, "Compile C++ Command", "", kStepCpp, 0,
     &R::externalCppCompileCommand, "The command that compiles a C++ file of an externally built project."},
    {"external_assemble_command", Command, kExternal, "Assemble Command", "", kStepAsm, 0,
     &R::externalAssembleCommand, "The command that assembles a file of an externally built project."},
    {"external_link_command", Command, kExternal, "Link Command", "", kStepLink, 0, &R::externalLinkCommand,
     "The command that links an externally built project."},
    {"external_archive_command", Command, kExternal, "Archive Command", "", kStepArchive, 0,
     &R::externalArchiveCommand, "The command that archives an externally built library."},
    {"external_objects_file_name", FileName, kExternal, "Objects File Name", "", 0, 0,
     &R::externalObjectsFileName, "A file that lists the objects for the external link or archive command."},
    {"external_start_address", String, kDebugger, "Start Address", "", 0, 0, nullptr,
     "The address execution starts at after the program is loaded."},
    {"external_load_address", String, kLoader, "Load Address", "", 0, 0, nullptr,
     "The address a binary load file is loaded at."},
    {"double_is_float", Boolean, kCodeGeneration, "Treat 'double' as 'float'", "Yes", kStepsCompile, 0,
     &R::doubleIsFloat, "Whether the type double has the size and precision of float."},
    {"unity_build_file_name", FileName, kBuild, "Unity Build File Name", "", kStepsCompile, 0,
     &R::unityBuildFileName, "The file that a folder's sources are combined into for a unity build."},
    {"unity_build_exclude_filter", String, kBuild, "Unity Build Exclude Filter", "", kStepsCompile, 0,
     &R::unityBuildExcludeFilter, "File patterns of the sources left out of the unity build."},
    {"build_dependency_file_name", FileName, kBuild, "Dependency File Name", "",
     kStepAsm | kStepC | kStepCpp, 0, &R::buildDependencyFileName,
     "The file the compiler writes a source's dependencies to."},
    {"external_load_file_type", Enumeration, kLoader, "Load File Type", "Detect", 0, 0, nullptr,
     "The format of the file that is loaded.", kLoadFileTypes},
    {"external_debug_symbols_file_name", FileName, kDebugger, "Debug Symbols File", "", 0, 0, nullptr,
     "The file the debugger reads symbols from."},
    {"external_debug_symbols_load_address", String, kDebugger, "Debug Symbols Load Address", "", 0, 0,
     nullptr, "The address the debug symbols are relocated to."},
    {"build_remove_unused_symbols", Boolean, kBuild, "Enable Unused Symbol Removal", "Yes",
     kStepsCompile | kStepLink, 0, &R::buildRemoveUnusedSymbols,
     "Whether functions and data that nothing uses are left out of the output."},
};

constexpr CatalogueRow<R> kDebuggingRows[] = {
    {"debug_target_connection", String, kDebugger, "Target Connection", "", 0, 0, nullptr,
     "The connection the debugger uses to reach the target."},
    {"debug_working_directory", DirPath, kDebugger, "Working Directory", ".", 0, 0, nullptr,
     "The directory the program runs in when it is debugged."},
    {"debug_command_arguments", String, kDebugger, "Command Arguments", "", 0, 0, nullptr,
     "The arguments the program is started with when it is debugged."},
    {"debug_additional_load_file", ProjFileName, kLoader, "Additional Load File", "", 0, 0, nullptr,
     "A further file loaded with the program."},
    {"debug_additional_load_file_address", String, kLoader, "Additional Load File Address", "", 0, 0, nullptr,
     "The address a binary additional load file is loaded at."},
    {"debug_additional_load_file_type", Enumeration, kLoader, "Additional Load File Type", "Detect", 0, 0,
     nullptr, "The format of the additional load file.", kLoadFileTypes},
    {"debug_start_from_entry_point_symbol", Boolean, kDebugger, "Start From Entry Point Symbol", "", 0, 0,
     nullptr, "Whether the debugger starts the program at the entry point symbol."},
    {"debug_entry_point_symbol", String, kDebugger, "Entry Point Symbol", "", 0, 0, nullptr,
     "The symbol the debugger starts the program at."},
    {"debug_startup_completion_point", String, kDebugger, "Startup Completion Point", "main", 0, 0, nullptr,
     "The symbol at which the program's start-up is complete."},
    {"debug_dependent_projects", StringList, kDebugger, "Debug Dependent Projects", "", 0, 0, nullptr,
     "Further projects whose symbols the debugger loads."},
    {"debug_initial_breakpoint", String, kDebugger, "Initial Breakpoint", "", 0, 0, nullptr,
     "Where the debugger places a breakpoint when the program starts."},
    {"debug_initial_breakpoint_set_option", Enumeration, kDebugger, "Initial Breakpoint Is Set",
     "Only With No Breakpoints Set", 0, 0, nullptr, "When the initial breakpoint is placed.",
     choices<"Never", "Only With No Breakpoints Set", "Always">},
    {"debug_leave_target_running", Boolean, kDebugger, "Leave Target Running", "", 0, 0, nullptr,
     "Whether the target keeps running when the debugger stops."},
    {"debug_threads_script", ProjFileName, kDebugger, "Threads Script File", "", 0, 0, nullptr,
     "The script that shows the program's threads."},
    {"debug_threads_max", IntegerRange, kDebugger, "Threads Maximum", "128", 0, 0, nullptr,
     "The largest number of threads the debugger shows.", {}, 0, 0, 1024},
};

constexpr MacroDescriptionRow kStepMacros[] = {
    {"$(CombiningOutputFilePath)", "The full path of the output file of the combining command."},
    {"$(CombiningRelInputPaths)", "The relative inputs to the combining command."},
    {"$(StageOutputFilePath)", "The full path of the output file of the stage command."},
    {"$(TargetPath)", "The full path of the output file of the link or compile command."},
    {"$(RelTargetPath)", "The project directory relative path of the output file of the link or compile command."},
    {"$(PostLinkOutputFilePath)", "The full path of the output file of the post link command."},
    {"$(MapPath)", "The full path of the map file of the external link command."},
    {"$(RelMapPath)", "The relative path of the map file of the external link command."},
    {"$(DependencyPath)", "The path of the dependency file for the external compile command."},
    {"$(RelDependencyPath)", "The relative path of the dependency file for the external compile command."},
    {"$(Defines)", "The preprocessor defines property value for the external compile command."},
    {"$(Includes)", "The user includes property value for the external compile command."},
    {"$(Objects)", "A space seperated list of files for the external archive or link command."},
    {"$(ObjectsFilePath)", "The full path containing the files for the external archive or link command."},
    {"$(RelObjectsFilePath)", "The relative path containing the files for the external archive or link command."},
    {"$(LinkerScriptPath)", "The full path of the linker script file for the link command."},
    {"$(RelLinkerScriptPath)", "The relative path of the linker script file for the link command."},
    {"$(AsmOptions)", "A space seperated list of assembler options for the external assemble command."},
    {"$(COptions)", "A space seperated list of compiler options for the external c and c++ compile commands."},
    {"$(COnlyOptions)", "A space seperated list of compiler options for the external c compile command."},
    {"$(CppOnlyOptions)", "A space seperated list of compiler options for the external c++ compile command."},
    {"$(LinkOptions)", "A space seperated list of compiler options for the external link command."},
};

}  // namespace

StandardProjectSystem::StandardProjectSystem(MacroTable& macros, std::string projectTemplateSearchList,
                                             std::vector<std::string> propertyDefinitionFiles)
    : ProjectSystem(macros, std::move(projectTemplateSearchList), std::move(propertyDefinitionFiles)) {
  registerTable<R>(standard_, kLibraryAndCompilerRows);
  registerTable<R>(standard_, kSectionRows);
  registerTable<R>(standard_, kLinkerRows);
  registerTable<R>(standard_, kPrintfScanfRows);
  registerTable<R>(standard_, kBuildStepRows);
  registerTable<R>(standard_, kExternalBuildRows);
  registerTable<R>(standard_, kDebuggingRows);
  registerMacroDescriptions(standard_, kStepMacros);
}

}  // namespace tidewater
