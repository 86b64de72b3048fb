// The GNU toolchain layer's table, in registration order, and its default
// overrides of the general catalogue.
#include "project/gcc_project_system.h"

#include "project/catalogue_table.h"
#include "project/compiler_levels.h"

namespace tidewater {

namespace {

using R = GCCCatalogue;
using enum PropertyType;

constexpr PropertySection kCodeGeneration{"C/C++", "Code Generation Options"};
constexpr PropertySection kLinker{"Linker", "Linker Options"};

constexpr CatalogueRow<R> kGccRows[] = {
    {"gcc_optimization_level", Enumeration, kCodeGeneration, "Optimization Level", "None", kStepsCompile, 0,
     &R::gccOptimizationLevel,
     "Specifies the optimization level. The options are:<ul><li>None - no optimization</li><li>Debug - "
     "optimizations that keep the code debuggable</li><li>Level 1 to Level 3 - increasing optimization for "
     "speed</li><li>Optimize For Size - optimization for code size</li></ul>",
     kOptimizationLevelValues},
    {"gcc_enable_all_warnings", Boolean, kCodeGeneration, "Enable All Warnings", "No", kStepsCompile, 0,
     &R::gccEnableAllWarnings, "Whether the compiler reports all the warnings it can."},
    {"gcc_omit_frame_pointer", Boolean, kCodeGeneration, "Omit Frame Pointer", "No", kStepsCompile, 0,
     &R::gccOmitFramePointer, "Whether functions are compiled without a frame pointer where possible."},
    {"gcc_entry_point", String, kLinker, "Entry Point", "0x00000000", kStepLink, -180, &R::gccEntryPoint,
     "The symbol or address at which the program starts."},
    {"gcc_strip_symbols", Boolean, kLinker, "Strip Symbols", "No", kStepLink, -140, &R::gccStripSymbols,
     "Whether all symbols are removed from the linked output."},
    {"gcc_emit_assembler_cfi", Boolean, kCodeGeneration, "Emit Assembler CFI", "No", kStepsCompile, 0,
     &R::gccEmitAssemblerCfi, "Whether call-frame information is written as assembler directives."},
    {"gcc_no_common", Boolean, kCodeGeneration, "No COMMON", "Yes", kStepsCompile, 0, &R::gccNoCommon,
     "Whether uninitialised global variables are placed in the zeroed section instead of COMMON blocks."},
    {"gcc_debugging_level", Enumeration, kCodeGeneration, "Debugging Level", "Level 2", kStepsCompile, 0,
     &R::gccDebuggingLevel,
     "Specifies the level of debugging information to generate. The options are:<ul><li>None - no "
     "debugging information</li><li>Level 1 - backtrace and line number debugging information</li><li>"
     "Level 2 - Level 1 and variable display debugging information</li><li>Level 3 - Level 2 and macro "
     "display debugging information</li></ul>",
     kDebuggingLevelValues},
    {"gcc_dwarf_version", Enumeration, kCodeGeneration, "Dwarf Version", "None", kStepsCompile, 0,
     &R::gccDwarfVersion,
     "The DWARF version of the debugging information; <b>None</b> leaves it to the compiler.",
     choices<"dwarf-2", "dwarf-3", "dwarf-4", "None">},
    {"gcc_c_language_standard", Enumeration, kCodeGeneration, "C Language Standard", "gnu99", kStepC, 0,
     &R::gccCLanguageStandard, "The C language standard the compiler accepts.",
     choices<"c89", "c90", "c99", "c11", "gnu89", "gnu90", "gnu99", "gnu11">},
    {"gcc_cplusplus_language_standard", Enumeration, kCodeGeneration, "C++ Language Standard", "gnu++98",
     kStepCpp, 0, &R::gccCplusplusLanguageStandard, "The C++ language standard the compiler accepts.",
     choices<"c++98", "c++11", "c++14", "c++1y", "gnu++98", "gnu++11", "gnu++14", "gnu++1y">},
    {"gcc_wchar_size", Enumeration, kCodeGeneration, "Wide Character Size", "32-Bit", kStepsCompile, 0,
     &R::gccWcharSize, "The size of the type wchar_t.", choices<"16-Bit", "32-Bit">},
    {"gcc_short_enum", Enumeration, kCodeGeneration, "Enumeration Size", "Minimal Container Size",
     kStepsCompile, 0, &R::gccShortEnum,
     "Whether an enumeration takes the smallest integer type that holds its values, or the size of int.",
     choices<"Minimal Container Size", "Int Size">},
    {"gcc_all_warnings_command_line_options", StringList, kCodeGeneration,
     "Enable All Warnings Command Line Options", "-Wall;-Wextra", kStepsCompile, 0,
     &R::gccAllWarningsCommandLineOptions, "The compiler options that Enable All Warnings adds."},
    {"gcc_enforce_ansi_checking_command_line_options", StringList, kCodeGeneration,
     "Enforce ANSI Checking Command Line Options", "-pedantic", kStepsCompile, 0,
     &R::gccEnforceAnsiCheckingCommandLineOptions, "The compiler options that Enforce ANSI Checking adds."},
    {"linker_strip_debug_information", Boolean, kLinker, "Strip Debug Information", "No", kStepLink, -150,
     &R::linkerStripDebugInformation, "Whether the debugging information is removed from the linked output."},
};

constexpr MacroDescriptionRow kGCCMacros[] = {
    {"$(GCCTarget)", "The value of the <b>GCC Target</b> project property."},
};

}  // namespace

GCCProjectSystem::GCCProjectSystem(MacroTable& macros, std::string projectTemplateSearchList,
                                   std::vector<std::string> propertyDefinitionFiles,
                                   std::string executableExtension, std::string toolPrefix,
                                   std::string toolDirectory)
    : StandardProjectSystem(macros, std::move(projectTemplateSearchList), std::move(propertyDefinitionFiles)),
      executableExtension_(std::move(executableExtension)),
      toolPrefix_(std::move(toolPrefix)),
      toolDirectory_(std::move(toolDirectory)) {
  registerTable<R>(gcc_, kGccRows);
  registerMacroDescriptions(gcc_, kGCCMacros);

  PropertyClass& outputFormat = registeredProperty("linker_output_format");
  outputFormat.setValues(choices<"None", "bin", "srec", "hex">);
  outputFormat.setDefaultValue("None");
  outputFormat.setDescription(
      "The format used when creating an additional linked output file.The options are:<ul><li><b>None</b> do "
      "not create an additional output file.</li><li><b>bin</b> create a binary file.</li><li><b>srec</b> "
      "create a Motorola S-Record file.</li><li><b>hex</b> create an Intel Hex file.</li></ul>");
  // The class views the member, which lives as long as the catalogue does.
  registeredProperty("build_toolchain_directory").setDefaultValue(toolDirectory_);
}

void GCCProjectSystem::addToolchainMacros(MacroMap& map, ProjectElement*, const std::string&) {
  map["GCCTarget"] = kTarget;
}

}  // namespace tidewater
