// The ARM layer's table, in registration order, its default overrides and
// the target macros of the node macro map.
#include "project/arm_project_system.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <span>
#include <string_view>

#include "base/strings.h"
#include "project/arm_library_extension.h"
#include "project/catalogue_table.h"
#include "target/arm_targets.h"

namespace tidewater {

namespace {

using R = ARMCatalogue;
using enum PropertyType;

constexpr PropertySection kCodeGeneration{"C/C++", "Code Generation Options"};
constexpr PropertySection kLinker{"Linker", "Linker Options"};
constexpr PropertySection kLinkerLibrary{"Linker", "Library Options"};
constexpr PropertySection kRuntimeMemory{"Linker", "Runtime Memory Area Options"};
constexpr PropertySection kDebugger{"Debugging", "Debugger Options"};
constexpr PropertySection kLoader{"Debugging", "Loader Options"};

constexpr uint32_t kMaximumSize = 2147483647;

// The catalogue's value lists: the target table's names, in its order; the
// Cortex-M only system offers the Cortex-M rows, and None where it is one.
// The names are views of the table's literals; the catalogue keeps the lists.
template <typename Row, typename Keep>
std::vector<std::string_view> namesOf(std::span<const Row> rows, Keep keep) {
  std::vector<std::string_view> names;
  names.reserve(rows.size() + 1);
  for (const Row& row : rows) {
    if (keep(row)) names.push_back(row.name);
  }
  return names;
}

std::vector<std::string_view> architectureValues(bool cortexMOnly) {
  return namesOf(architectures(),
                 [=](const ArchitectureInfo& row) { return row.offered && (!cortexMOnly || row.cortexM); });
}

std::vector<std::string_view> coreValues(bool cortexMOnly) {
  return namesOf(cores(), [=](const CoreInfo& row) {
    return !cortexMOnly || row.id == Core::None || info(row.architecture).cortexM;
  });
}

std::vector<std::string_view> fpuValues(bool cortexMOnly) {
  return namesOf(fpus(), [=](const FPUInfo& row) { return !cortexMOnly || row.id == FPU::None || row.cortexM; });
}

std::vector<std::string_view> libraryArchitectureValues() {
  std::vector<std::string_view> values = architectureValues(false);
  values.push_back("Default");
  return values;
}

/// The value lists that come from the target table, kept by the catalogue.
struct TargetValueLists {
  TextList architectures;
  TextList cores;
  TextList fpus;
  TextList libraryArchitectures;
};

TargetValueLists targetValueLists(PropertyCatalogue& catalogue, bool cortexMOnly) {
  return {catalogue.keep(architectureValues(cortexMOnly)), catalogue.keep(coreValues(cortexMOnly)),
          catalogue.keep(fpuValues(cortexMOnly)), catalogue.keep(libraryArchitectureValues())};
}

std::array<CatalogueRow<R>, 10> processorRows(bool cortexMOnly, const TargetValueLists& lists) {
  return {{
      {"arm_instruction_set", Enumeration, kCodeGeneration, "Instruction Set", cortexMOnly ? "Thumb" : "ARM",
       kStepsSource, 0, &R::armInstructionSet, "The instruction set the code is generated in.",
       choices<"ARM", "Thumb">},
      {"arm_architecture", Enumeration, kCodeGeneration, "ARM Architecture",
       info(cortexMOnly ? Architecture::v7M : Architecture::v4T).name, kStepsSource, 0, &R::armArchitecture,
       "The architecture the code is generated for.", lists.architectures},
      {"arm_core_type", Enumeration, kCodeGeneration, "ARM Core Type", "None", kStepsSource, 0, &R::armCoreType,
       "The core the code is generated for; <b>None</b> generates for the architecture.", lists.cores},
      {"arm_fpu_type", Enumeration, kCodeGeneration, "ARM FPU Type", "None", kStepsSource, 0, &R::armFpuType,
       "The floating-point unit the code may use.", lists.fpus},
      {"arm_advanced_SIMD_type", Enumeration, kCodeGeneration, "ARM Advanced SIMD Type", "None", kStepsSource, 0,
       &R::armAdvancedSIMDType, "The advanced SIMD unit the code may use.", choices<"NEON", "None">},
      {"arm_fp_abi", Enumeration, kCodeGeneration, "ARM FP ABI Type", "Soft", kStepsSource, 0, &R::armFpABI,
       "Specifies the FP ABI type to generate code for. The options are:<ul><li><b>Soft</b> generate calls to "
       "the C library to implement floating point operations.</li><li><b>SoftFP</b> generate VFP code to "
       "implement floating point operations.</li><li><b>Hard</b> generate VFP code to implement floating point "
       "operations and use VFP registers to pass floating point parameters on function calls.</li><li><b>None"
       "</b> will not specify the FP ABI or the FPU.</li></ul>",
       choices<"Soft", "SoftFP", "Hard", "None">},
      {"arm_endian", Enumeration, kCodeGeneration, "Byte Order", "Little", kStepsSource, 0, &R::armEndian,
       "The byte order of the target.", choices<"Little", "Big", "BE-8">},
      {"arm_cm0_has_small_multiplier", Boolean, kCodeGeneration, "Has Small Multiplier", "No", kStepsCompile, 0,
       &R::armCm0HasSmallMultiplier, "Whether the Cortex-M0, M0+ or M1 core has the small multiplier."},
      {"arm_v7_has_divide_instructions", Boolean, kCodeGeneration, "Has Divide Instructions", "No", kStepsSource,
       0, &R::armV7HasDivideInstructions, "Whether the v7-R or v7-A core has the integer divide instructions."},
      {"arm_v8M_has_cmse", Boolean, kCodeGeneration, "Has CMSE", "No", kStepsSource, 0, &R::armV8MHasCmse,
       "Whether code is generated for the v8-M security extension."},
  }};
}

constexpr CatalogueRow<R> kDebuggerRows[] = {
    {"arm_debugIO_Implementation", Enumeration, kDebugger, "Target DebugIO Implementation", "None", 0, 0,
     nullptr, "How the debugger serves the target's debug input and output.", choices<"None", "Breakpoint", "DCC">},
    {"undefHandler_name", String, kDebugger, "Undefined Instruction Handler Name", "undef_handler", 0, 0,
     nullptr, "The symbol of the undefined instruction exception handler."},
    {"swiHandler_name", String, kDebugger, "SWI Handler Name", "swi_handler", 0, 0, nullptr,
     "The symbol of the software interrupt exception handler."},
    {"pabortHandler_name", String, kDebugger, "Prefetch Abort Handler Name", "pabort_handler", 0, 0, nullptr,
     "The symbol of the prefetch abort exception handler."},
    {"dabortHandler_name", String, kDebugger, "Data Abort Handler Name", "dabort_handler", 0, 0, nullptr,
     "The symbol of the data abort exception handler."},
    {"irqHandler_name", String, kDebugger, "IRQ Handler Name", "irq_handler", 0, 0, nullptr,
     "The symbol of the IRQ exception handler."},
    {"fiqHandler_name", String, kDebugger, "FIQ Handler Name", "fiq_handler", 0, 0, nullptr,
     "The symbol of the FIQ exception handler."},
    {"reservedMember_name", String, kDebugger, "Reserved Vector Name", "reserved", 0, 0, nullptr,
     "The symbol of the reserved exception vector."},
    {"debug_type_file", FileName, kDebugger, "Type File", "", 0, 0, nullptr,
     "A file of type descriptions for the debugger."},
    {"debug_register_definition_file_type", Enumeration, kDebugger, "Register Definition File Type", "Default",
     0, 0, nullptr, "The format of the register definition file.", choices<"Default", "Memory Map", "SVD">},
    {"debug_ignore_debug_aranges", Boolean, kDebugger, "Ignore .debug_aranges Section", "", 0, 0, nullptr,
     "Whether the debugger ignores the address range section of the debugging information."},
    {"debug_ignore_debug_frame", Boolean, kDebugger, "Ignore .debug_frame Section", "", 0, 0, nullptr,
     "Whether the debugger ignores the call frame section of the debugging information."},
    {"debug_load_sections", Enumeration, kLoader, "Load Sections", "Detect", 0, -85, nullptr,
     "Whether the loader writes the program's sections to the target.", choices<"Yes", "No", "Detect">},
    {"debug_enable_RTT", Boolean, kDebugger, "Enable Real-Time Transfer", "Yes", 0, 0, nullptr,
     "Whether the debugger exchanges data with the target through its real-time transfer buffers."},
    {"debug_RTTCB", String, kDebugger, "Real-Time Transfer Control Block", "_RTT_ControlBlock", 0, 0, nullptr,
     "The symbol of the real-time transfer control block."},
    {"debug_RTT_channel", IntegerRange, kDebugger, "Real-Time Transfer Channel", "0", 0, 0, nullptr,
     "The real-time transfer channel the debugger uses.", {}, 0, 0, 31},
    {"debug_restrict_memory_access", Boolean, kDebugger, "Restrict Memory Access", "Yes", 0, 0, nullptr,
     "Whether the debugger reads and writes only memory that the memory map describes."},
    {"debug_stack_pointer_start", String, kDebugger, "Stack Pointer Start", "", 0, 0, nullptr,
     "The value the stack pointer is given when the program starts under the debugger."},
};

constexpr CatalogueRow<R> stackRow(std::string_view name, std::string_view displayName, std::string_view defaultValue,
                         const PropertyClass* R::*reference, std::string_view description) {
  return {name, IntegerRange, kRuntimeMemory, displayName, defaultValue, kStepLink, 0, reference, description,
          {},   0,            0,              kMaximumSize, "bytes"};
}

std::array<CatalogueRow<R>, 15> libraryAndMemoryRows(TextList libraryArchitectures) {
  return {{
    {"arm_long_calls", Boolean, kCodeGeneration, "Long Calls", "No", kStepsCompile, 0, &R::armLongCalls,
     "Whether every function call can reach the whole address space."},
    {"arm_interwork", Enumeration, kCodeGeneration, "ARM/Thumb Interworking", "Default", kStepsSource, 0,
     &R::armInterwork, "Whether ARM and Thumb code may call each other.", choices<"Yes", "No", "Default">},
    {"arm_library_instruction_set", Enumeration, kLinkerLibrary, "Library Instruction Set", "ARM", kStepLink, 0,
     &R::armLibraryInstructionSet, "The instruction set of the runtime libraries linked.", choices<"ARM", "Thumb">},
    {"arm_library_optimization", Enumeration, kLinkerLibrary, "Library Optimization", "Fast", kStepLink, 0,
     &R::armLibraryOptimization, "Whether the runtime libraries linked are optimised for speed or size.",
     choices<"Fast", "Small">},
    {"arm_library_architecture", Enumeration, kLinkerLibrary, "Library ARM Architecture", "Default", kStepLink,
     0, &R::armLibraryArchitecture,
     "The architecture of the runtime libraries linked; <b>Default</b> takes the code's.",
     libraryArchitectures},
    stackRow("arm_linker_stack_size", "Stack Size (User/System Mode)", "1024", &R::armLinkerStackSize,
             "The size of the User/System mode stack."),
    stackRow("arm_linker_irq_stack_size", "Stack Size (IRQ Mode)", "256", &R::armLinkerIrqStackSize,
             "The size of the IRQ mode stack."),
    stackRow("arm_linker_fiq_stack_size", "Stack Size (FIQ Mode)", "256", &R::armLinkerFiqStackSize,
             "The size of the FIQ mode stack."),
    stackRow("arm_linker_svc_stack_size", "Stack Size (Supervisor Mode)", "0", &R::armLinkerSvcStackSize,
             "The size of the Supervisor mode stack."),
    stackRow("arm_linker_abt_stack_size", "Stack Size (Abort Mode)", "0", &R::armLinkerAbtStackSize,
             "The size of the Abort mode stack."),
    stackRow("arm_linker_und_stack_size", "Stack Size (Undefined Mode)", "0", &R::armLinkerUndStackSize,
             "The size of the Undefined mode stack."),
    stackRow("arm_linker_heap_size", "Heap Size", "1024", &R::armLinkerHeapSize, "The size of the heap."),
    {"arm_link_debugio_type", Enumeration, kLinker, "DebugIO Implementation", "Default", kStepLink, -220,
     &R::armLinkDebugioType, "How the program's debug input and output reach the debugger.",
     choices<"Default", "Breakpoint", "DCC", "Memory Poll">},
    stackRow("arm_linker_stack_size", "Main Stack Size", "1024", &R::armLinkerMainStackSize,
             "The size of the main stack."),
    stackRow("arm_linker_process_stack_size", "Process Stack Size", "0", &R::armLinkerProcessStackSize,
             "The size of the process stack."),
  }};
}

constexpr CatalogueRow<R> kLoaderRows[] = {
    {"debug_load_file_offset", String, kDebugger, "Load File Offset", "", 0, 0, nullptr,
     "The offset added to the addresses of the file that is loaded."},
    {"debug_load_file_limit", String, kDebugger, "Load File Limit", "", 0, 0, nullptr,
     "The highest address the loader writes to."},
};

constexpr CatalogueRow<R> kLinkerRows[] = {
    {"arm_linker_cmse_import_library_file_name", FileName, kLinker, "CMSE Import Library File", "", kStepLink, 0,
     &R::armLinkerCmseImportLibraryFileName, "The import library the link writes for the secure entry points."},
    {"arm_linker_no_enum_size_warning", Boolean, kLinker, "No Enum Size Warning", "No", kStepLink, -110,
     &R::armLinkerNoEnumSizeWarning,
     "Whether the linker links objects of different enumeration sizes silently."},
    {"arm_linker_no_wchar_size_warning", Boolean, kLinker, "No Wide Char Size Warning", "No", kStepLink, -110,
     &R::armLinkerNoWcharSizeWarning,
     "Whether the linker links objects of different wide character sizes silently."},
};

constexpr MacroDescriptionRow kTargetMacros[] = {
    {"$(LibExt)", "The architecture and build specific library extension."},
    {"$(CoreType)", "The lower case value of the <b>ARM Core Type</b> project property."},
    {"$(Arch)", "The lower case value of the <b>ARM Architecture</b> project property."},
    {"$(Endian)", "The lower case value of the <b>Byte Order</b> project property."},
    {"$(FPU)", "The lower case value of the <b>ARM FPU Type</b> project property."},
    {"$(FPU2)", "Alternative value of the <b>ARM FPU Type</b> project property."},
    {"$(FPU3)", "Alternative value of the <b>ARM FPU Type</b> project property."},
    {"$(FPABI)", "The value of the <b>ARM FP ABI Type</b> project property."},
};

// "fpv4-sp-d16" as "fpv4_sp_d16" (FPU2) or "fpv4spd16" (FPU3).
std::string withDashes(std::string text, const char* replacement) {
  std::string result;
  for (const char c : text) result += c == '-' ? std::string(replacement) : std::string(1, c);
  return result;
}

}  // namespace

ARMProjectSystem::ARMProjectSystem(MacroTable& macros, std::string projectTemplateSearchList,
                                   std::vector<std::string> propertyDefinitionFiles, bool cortexMOnly)
    : AmbervaleGCCProjectSystem(macros, std::move(projectTemplateSearchList), std::move(propertyDefinitionFiles)),
      cortexMOnly_(cortexMOnly) {
  const TargetValueLists lists = targetValueLists(catalogue(), cortexMOnly);
  registerTable<R>(arm_, processorRows(cortexMOnly, lists));
  registerTable<R>(arm_, kDebuggerRows);
  registerTable<R>(arm_, libraryAndMemoryRows(lists.libraryArchitectures));
  registerTable<R>(arm_, kLoaderRows);
  registerTable<R>(arm_, kLinkerRows);
  registerMacroDescriptions(arm_, kTargetMacros);

  registeredProperty("gcc_entry_point").setDefaultValue("reset_handler");
  registeredProperty("gcc_omit_frame_pointer").setDefaultValue("Yes");
  registeredProperty("linker_keep_symbols").setDefaultValue("_vectors");
}

void ARMProjectSystem::addToolchainMacros(MacroMap& map, ProjectElement* node, const std::string& configuration) {
  GCCProjectSystem::addToolchainMacros(map, node, configuration);
  const auto value = [&](const PropertyClass* property) { return lookUp(node, *property, configuration); };

  const bool executable = value(general().projectType) == "Executable";
  const std::string core = value(arm_.armCoreType);
  const std::string architecture = value(arm_.armArchitecture);
  const std::string fpu = value(arm_.armFpuType);
  const std::string fpABI = value(arm_.armFpABI);
  const std::string endian = value(arm_.armEndian);
  const ARMLibraryTarget target{
      .architecture = architectureNamed(architecture),
      .core = coreNamed(core).value_or(Core::None),
      .libraryArchitecture = architectureNamed(value(arm_.armLibraryArchitecture)),
      .interwork = value(arm_.armInterwork),
      .divideInstructions = value(arm_.armV7HasDivideInstructions),
      .instructionSet = value(executable ? arm_.armLibraryInstructionSet : arm_.armInstructionSet),
      .fpABI = fpABI,
      .fpu = fpuNamed(fpu).value_or(FPU::None),
      .endian = endian,
      .libraryOptimization = value(arm_.armLibraryOptimization),
      .wcharSize = value(gcc().gccWcharSize),
      .shortEnum = value(gcc().gccShortEnum),
  };
  map["LibExt"] = armLibraryExtension(target);
  map["CoreType"] = lowerCase(core);
  map["Arch"] = lowerCase(architecture);
  map["Endian"] = lowerCase(endian);
  const std::string lowerFpu = lowerCase(fpu);
  map["FPU"] = lowerFpu;
  map["FPU2"] = withDashes(lowerFpu, "_");
  map["FPU3"] = withDashes(lowerFpu, "");
  map["FPABI"] = fpABI;
}

}  // namespace tidewater
