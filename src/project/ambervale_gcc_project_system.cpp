// The GNU-for-ARM layer's table, in registration order.
#include "project/ambervale_gcc_project_system.h"

#include "project/catalogue_table.h"

namespace tidewater {

namespace {

using R = AmbervaleGCCCatalogue;
using enum PropertyType;

constexpr PropertySection kCompiler{"C/C++", "Compiler Options"};
constexpr PropertySection kAssembler{"C/C++", "Assembler Options"};
constexpr PropertySection kCodeGeneration{"C/C++", "Code Generation Options"};
constexpr PropertySection kLinker{"Linker", "Linker Options"};
constexpr PropertySection kLinkerLibrary{"Linker", "Library Options"};
constexpr PropertySection kGeneralLibrary{"General", "Library Options"};

constexpr CatalogueRow<R> kArmGCCRows[] = {
    {"arm_supply_absolute_file_path", Boolean, kCompiler, "Supply Absolute File Path", "Yes", kStepsSource, 0,
     &R::armSupplyAbsoluteFilePath, "Whether the tools are given absolute file paths."},
    {"arm_archiver_indirect_file", Boolean, kGeneralLibrary, "Use Indirect File", "No", kStepLink, 0,
     &R::armArchiverIndirectFile, "Whether the archiver reads its input files from an indirect file."},
    {"arm_library_check_memory_segment_overflow", Boolean, kLinker, "Check For Memory Segment Overflow", "Yes",
     kStepLink, 0, &R::armLibraryCheckMemorySegmentOverflow,
     "Whether the link fails when the sections placed in a memory segment do not fit."},
    {"arm_linker_additional_output_file_gap_fill", IntegerHex, kLinker, "Additional Output File Gap Fill Value",
     "0", kStepLink, -200, &R::armLinkerAdditionalOutputFileGapFill,
     "The byte that fills the gaps between sections in the additional output file.", {}, 0, 0, 255},
    {"arm_linker_script_generator_default_fill_pattern", String, kLinker, "Default Fill Pattern", "", kStepLink,
     -225, &R::armLinkerScriptGeneratorDefaultFillPattern,
     "The pattern that fills unused space in the sections of the generated linker script."},
    {"arm_keep_assembly", Boolean, kCompiler, "Keep Assembly Source", "No", kStepsCompile, 0,
     &R::armKeepAssembly, "Whether the assembly file the compiler produces is kept."},
    {"arm_keep_preprocessor_output", Boolean, kCompiler, "Keep Preprocessor Output", "No", kStepsSource, 0,
     &R::armKeepPreprocessorOutput, "Whether the preprocessed source is kept."},
    {"arm_linker_variant", Enumeration, kLinker, "Linker", "ld", 0, -70, &R::armLinkerVariant,
     "The linker to use: the GNU linker (<b>ld</b>) or the LLVM linker (<b>lld</b>).", choices<"ld", "lld">},
    {"arm_compiler_variant", Enumeration, kCompiler, "Compiler", "gcc", kStepsCompile, 0, &R::armCompilerVariant,
     "The compiler to use: the GNU compiler (<b>gcc</b>) or Clang (<b>clang</b>).", choices<"gcc", "clang">},
    {"arm_assembler_variant", Enumeration, kAssembler, "Assembler", "gcc", kStepAsm, 0, &R::armAssemblerVariant,
     "The assembler to use: the GNU assembler (<b>gcc</b>) or Clang (<b>clang</b>).", choices<"gcc", "clang">},
    {"arm_use_gcc_libraries", Boolean, kLinkerLibrary, "Use GCC Libraries", "Yes", kStepLink, 0,
     &R::armUseGccLibraries, "Whether the GNU compiler's support libraries are linked."},
    {"arm_linker_treat_warnings_as_errors", Boolean, kLinker, "Treat Linker Warnings as Errors", "Yes",
     kStepLink, -100, &R::armLinkerTreatWarningsAsErrors, "Whether a linker warning fails the link."},
    {"arm_linker_no_warn_on_mismatch", Boolean, kLinker, "Suppress Warning on Mismatch", "No", kStepLink, -110,
     &R::armLinkerNoWarnOnMismatch, "Whether the linker links objects of mismatched attributes silently."},
    {"arm_linker_allow_multiple_definition", Boolean, kLinker, "Allow Multiple Symbol Definition", "No",
     kStepLink, -130, &R::armLinkerAllowMultipleDefinition,
     "Whether a symbol defined more than once takes its first definition instead of failing the link."},
    {"arm_linker_emit_relocations", Boolean, kLinker, "Emit Relocations", "Yes", kStepLink, 0,
     &R::armLinkerEmitRelocations, "Whether the relocations are kept in the linked output."},
    {"arm_linker_indirect_file", Boolean, kLinker, "Use Indirect File", "No", kStepLink, -120,
     &R::armLinkerIndirectFile, "Whether the linker reads its input files from an indirect file."},
    {"keep_linker_script_file", Boolean, kLinker, "Keep Linker Script File", "Yes", kStepLink, 0,
     &R::keepLinkerScriptFile, "Whether the generated linker script is kept after the link."},
    {"arm_linker_gap_fill", IntegerHex, kLinker, "Gap Fill Value", "0", kStepLink, 0, &R::armLinkerGapFill,
     "The value to fill gaps between sections in ELF file. <i>This property has been deprecated, use "
     "<b>Linker Options &gt; Additional Output File Gap Fill Value</b> instead.</i>",
     {}, 0, 0, 255},
    {"arm_linker_symbols_files", FileName, kLinker, "Symbols File", "", kStepLink, 0, &R::armLinkerSymbolsFiles,
     "A file whose symbols the link uses without linking its contents."},
    {"arm_instrument_functions", Boolean, kCodeGeneration, "Instrument Functions", "No", kStepLink, 0,
     &R::armInstrumentFunctions, "Whether calls to profiling hooks are added on function entry and exit."},
    {"clang_merge_globals", Boolean, kCodeGeneration, "Merge Globals [clang]", "No", kStepsCompile, 0,
     &R::clangMergeGlobals, "Whether Clang merges global variables to share base addresses."},
    {"arm_use_builtins", Boolean, kCodeGeneration, "Use Builtins", "No", kStepsCompile, 0, &R::armUseBuiltins,
     "Whether the compiler may replace standard library calls with built-in code."},
    {"arm_math_errno", Boolean, kCodeGeneration, "Math Errno", "Yes", kStepsCompile, 0, &R::armMathErrno,
     "Whether the math functions set errno."},
};

}  // namespace

AmbervaleGCCProjectSystem::AmbervaleGCCProjectSystem(MacroTable& macros, std::string projectTemplateSearchList,
                                                     std::vector<std::string> propertyDefinitionFiles,
                                                     bool alternateToolchain)
    : GCCProjectSystem(macros, std::move(projectTemplateSearchList), std::move(propertyDefinitionFiles),
                       alternateToolchain ? ".axf" : ".elf", "$(ARMGCCPREFIX)",
                       alternateToolchain ? "$(ARMGCCDIR)" : "$(StudioDir)/gcc/$(GCCTarget)/bin") {
  registerTable<R>(ambervale_, kArmGCCRows);
}

}  // namespace tidewater
