#include "driver/kilnmark_arg_parse.h"

#include <cstdio>
#include <cstring>
#include <tuple>
#include <utility>

#include "base/text_file.h"
#include "driver/gcc_option_hints.h"
#include "driver/help_text.h"
#include "project/compiler_levels.h"
#include "project/project_system.h"
#include "project/property_value_group_file.h"

namespace tidewater {

namespace {

using Flag = bool KilnmarkArgParse::*;

// What an option that writes properties does with its value.
enum class Effect {
  Fixed,           ///< writes "value" (and "value2" to "property2"), ignoring its own value
  FixedValidated,  ///< the same through the validated write
  Value,           ///< writes its value (to "property2" too, when given)
  Validated,       ///< writes its value through the validated write
  ValidatedOrList, ///< the same, or "list" shows the legal values
  Append,          ///< appends its value to a list property
};

struct PropertyOption {
  const char* key;
  ArgForm form;
  Effect effect;
  const char* property;
  const char* value = nullptr;
  const char* property2 = nullptr;
  const char* value2 = nullptr;
};

// Attached options whose empty value would reach the link line as a broken
// argument ("-T." for a script, "-e" taking the next argument as the entry).
constexpr std::string_view kValueRequired[] = {"-e", "-L", "-T"};

bool valueRequired(std::string_view key) {
  for (std::string_view required : kValueRequired) {
    if (key == required) return true;
  }
  return false;
}

constexpr PropertyOption kPropertyOptions[] = {
    {"-allow-multiple-definition", ArgForm::None, Effect::Fixed, "arm_linker_allow_multiple_definition", "Yes"},
    {"-builtins", ArgForm::Attached, Effect::Fixed, "arm_use_builtins", "Yes"},
    {"-common", ArgForm::None, Effect::Fixed, "gcc_no_common", "No"},
    {"-emit-relocs", ArgForm::None, Effect::Fixed, "arm_linker_emit_relocations", "Yes"},
    {"-exceptions", ArgForm::None, Effect::Fixed, "cpp_enable_exceptions", "Yes"},
    {"-framepointer", ArgForm::None, Effect::Fixed, "gcc_omit_frame_pointer", "No"},
    {"-I-", ArgForm::None, Effect::Fixed, "c_ignore_includes", "Yes"},
    {"-instrument", ArgForm::None, Effect::Fixed, "arm_instrument_functions", "Yes"},
    {"-l-", ArgForm::None, Effect::Fixed, "link_include_standard_libraries", "No"},
    {"-longcalls", ArgForm::None, Effect::Fixed, "arm_long_calls", "Yes"},
    {"-M", ArgForm::None, Effect::Fixed, "linker_map_file", "Yes"},
    {"-rtti", ArgForm::None, Effect::Fixed, "cpp_enable_rtti", "Yes"},
    // Paired as their help lines read: "-w" suppresses, "-we" makes errors.
    {"-w", ArgForm::Attached, Effect::Fixed, "build_suppress_warnings", "Yes"},
    {"-we", ArgForm::Attached, Effect::Fixed, "build_treat_warnings_as_errors", "Yes"},
    {"-be", ArgForm::None, Effect::FixedValidated, "arm_endian", "Big"},
    {"-be8", ArgForm::None, Effect::FixedValidated, "arm_endian", "BE-8"},
    {"-clang", ArgForm::None, Effect::FixedValidated, "arm_assembler_variant", "clang",
     "arm_compiler_variant", "clang"},
    {"-shortenums", ArgForm::None, Effect::FixedValidated, "gcc_short_enum", "Minimal Container Size"},
    {"-shortwchar", ArgForm::None, Effect::FixedValidated, "gcc_wchar_size", "16-Bit"},
    {"-thumb", ArgForm::None, Effect::FixedValidated, "arm_instruction_set", "Thumb",
     "arm_library_instruction_set", "Thumb"},

    {"-cmselib=", ArgForm::Attached, Effect::Value, "arm_linker_cmse_import_library_file_name"},
    {"-e", ArgForm::Attached, Effect::Value, "gcc_entry_point"},
    {"-fill=", ArgForm::Attached, Effect::Value, "arm_linker_script_generator_default_fill_pattern",
     nullptr, "arm_linker_additional_output_file_gap_fill"},
    {"-L", ArgForm::Attached, Effect::Value, "link_standard_libraries_directory"},
    {"-memorymap", ArgForm::Separate, Effect::Value, "linker_memory_map_file"},
    {"-memorymapmacros", ArgForm::Separate, Effect::Value, "linker_memory_map_macros"},
    {"-patch", ArgForm::Separate, Effect::Value, "linker_patch_build_command"},
    {"-placement", ArgForm::Separate, Effect::Value, "linker_section_placement_file"},
    {"-placementmacros", ArgForm::Separate, Effect::Value, "linker_section_placement_macros"},
    {"-placementsegments", ArgForm::Separate, Effect::Value, "linker_section_placements_segments"},
    {"-Rc,", ArgForm::Attached, Effect::Value, "default_code_section"},
    {"-Rd,", ArgForm::Attached, Effect::Value, "default_data_section"},
    {"-Rk,", ArgForm::Attached, Effect::Value, "default_const_section"},
    {"-Rz,", ArgForm::Attached, Effect::Value, "default_zeroed_section"},
    {"-symbols=", ArgForm::Attached, Effect::Value, "arm_linker_symbols_files"},
    {"-arch=", ArgForm::Attached, Effect::ValidatedOrList, "arm_architecture"},
    {"-cpu=", ArgForm::Attached, Effect::ValidatedOrList, "arm_core_type"},
    {"-fpu=", ArgForm::Attached, Effect::ValidatedOrList, "arm_fpu_type"},
    {"-codec=", ArgForm::Attached, Effect::ValidatedOrList, "file_codec"},
    {"-fpabi=", ArgForm::Attached, Effect::Validated, "arm_fp_abi"},
    {"-F", ArgForm::Attached, Effect::Validated, "linker_output_format"},

    {"-D", ArgForm::Attached, Effect::Append, "c_preprocessor_definitions"},
    {"-U", ArgForm::Attached, Effect::Append, "c_preprocessor_undefinitions"},
    {"-I", ArgForm::Attached, Effect::Append, "c_user_include_directories"},
    {"-J", ArgForm::Attached, Effect::Append, "c_system_include_directories"},
    {"-K", ArgForm::Attached, Effect::Append, "linker_keep_symbols"},
    {"-Wa,", ArgForm::Attached, Effect::Append, "asm_additional_options"},
    {"-Wc,", ArgForm::Attached, Effect::Append, "c_additional_options"},
    {"-Wl,", ArgForm::Attached, Effect::Append, "linker_additional_options"},
};

// "-x" values and the file types they select for later input files.
constexpr std::pair<const char*, const char*> kFileTypes[] = {
    {"a", "Library"}, {"asm", "Assembly"}, {"c", "C"}, {"c++", "C++"}, {"o", "Object file"},
};

// "-d" markers in the order they are searched for; the first found anywhere
// in the value decides.
constexpr std::pair<const char*, const char*> kMemoryAreaMarkers[] = {
    {"__STACKSIZE__=", "arm_linker_stack_size"},
    {"__STACKSIZE_PROCESS__=", "arm_linker_process_stack_size"},
    {"__STACKSIZE_IRQ__=", "arm_linker_irq_stack_size"},
    {"__STACKSIZE_FIQ__=", "arm_linker_fiq_stack_size"},
    {"__STACKSIZE_SVC__=", "arm_linker_svc_stack_size"},
    {"__STACKSIZE_ABT__=", "arm_linker_abt_stack_size"},
    {"__STACKSIZE_UND__=", "arm_linker_und_stack_size"},
    {"__HEAPSIZE__=", "arm_linker_heap_size"},
};

bool contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

}  // namespace

KilnmarkArgParse::KilnmarkArgParse(ErrorReporter& reporter, ProjectSystem& system,
                                   ProjectElement& project, std::string templateSearchList)
    : ArgParse(reporter),
      writer_(reporter, system, project),
      templateSearchList_(std::move(templateSearchList)) {
  addFlagOptions();
  addPropertyOptions();
  addHandledOptions();
}

void KilnmarkArgParse::addFlagOptions() {
  static constexpr std::pair<const char*, Flag> kFlags[] = {
      {"-ansi", &KilnmarkArgParse::enforceAnsi_},
      {"-ar", &KilnmarkArgParse::makeLibrary_},
      {"-c", &KilnmarkArgParse::compileOnly_},
      {"-E", &KilnmarkArgParse::preprocessOnly_},
      {"-kasm", &KilnmarkArgParse::keepAssembly_},
      {"-kldscript", &KilnmarkArgParse::keepLinkerScript_},
      {"-kpp", &KilnmarkArgParse::keepPreprocessorOutput_},
      {"-n", &KilnmarkArgParse::showOnly_},
      {"-nostderr", &KilnmarkArgParse::outputToStandardOutput_},
      {"-v", &KilnmarkArgParse::verbose_},
  };
  for (const auto& [key, flag] : kFlags) {
    addOption(key, ArgOption{.form = ArgForm::None, .flagTarget = &(this->*flag)});
  }
  addOption("-o", ArgOption{.form = ArgForm::Separate, .stringTarget = &outputFileName_});
  addOption("-depend", ArgOption{.form = ArgForm::Separate, .stringTarget = &dependencyFileName_});
}

void KilnmarkArgParse::addPropertyOptions() {
  for (const PropertyOption& entry : kPropertyOptions) {
    const PropertyOption* option = &entry;
    addOption(option->key, ArgOption{.form = option->form,
                                     .dispatch = true,
                                     .handler = [this, option](const std::string&, const std::string& value) {
                                       switch (option->effect) {
                                         case Effect::Fixed:
                                           writer_.write(option->property, option->value);
                                           if (option->property2) writer_.write(option->property2, option->value2);
                                           break;
                                         case Effect::FixedValidated:
                                           writer_.writeValidated(option->property, option->value);
                                           if (option->property2) {
                                             writer_.writeValidated(option->property2, option->value2);
                                           }
                                           break;
                                         case Effect::Value:
                                           writer_.write(option->property, value);
                                           if (option->property2) writer_.write(option->property2, value);
                                           break;
                                         case Effect::ValidatedOrList:
                                           if (value == "list") {
                                             listValuesAndExit({option->property});
                                           } else {
                                             writer_.writeValidated(option->property, value);
                                           }
                                           break;
                                         case Effect::Validated:
                                           writer_.writeValidated(option->property, value);
                                           break;
                                         case Effect::Append:
                                           writer_.append(option->property, value);
                                           break;
                                       }
                                     },
                                     .valueRequired = valueRequired(option->key)});
  }
}

void KilnmarkArgParse::addHandledOptions() {
  using Member = void (KilnmarkArgParse::*)(const std::string&, const std::string&);
  static constexpr std::tuple<const char*, ArgForm, Member> kHandled[] = {
      {"-x", ArgForm::Attached, &KilnmarkArgParse::onFileType},
      {"-T", ArgForm::Attached, &KilnmarkArgParse::onLinkerScript},
      {"-inputfiles", ArgForm::Separate, &KilnmarkArgParse::onInputFiles},
      {"-g", ArgForm::Attached, &KilnmarkArgParse::onDebug},
      {"-O", ArgForm::Attached, &KilnmarkArgParse::onOptimization},
      {"-d", ArgForm::Attached, &KilnmarkArgParse::onLinkerSymbol},
      {"-debugio=", ArgForm::Attached, &KilnmarkArgParse::onDebugIo},
      {"-has", ArgForm::Attached, &KilnmarkArgParse::onHas},
      {"-nowarn-", ArgForm::Attached, &KilnmarkArgParse::onNoWarn},
      {"-strip", ArgForm::Attached, &KilnmarkArgParse::onStrip},
      {"-printf=", ArgForm::Attached, &KilnmarkArgParse::onPrintf},
      {"-scanf=", ArgForm::Attached, &KilnmarkArgParse::onScanf},
      {"-std=", ArgForm::Attached, &KilnmarkArgParse::onStandard},
      {"-y", ArgForm::Attached, &KilnmarkArgParse::onTemplate},
      {"-z", ArgForm::Attached, &KilnmarkArgParse::onAnyProperty},
      {"-help", ArgForm::None, &KilnmarkArgParse::onHelp},
  };
  for (const auto& [key, form, member] : kHandled) {
    addOption(key, ArgOption{.form = form,
                             .dispatch = true,
                             .handler = [this, handler = member](const std::string& option,
                                                                 const std::string& value) {
                               (this->*handler)(option, value);
                             },
                             .valueRequired = valueRequired(key)});
  }
}

ProjectElement& KilnmarkArgParse::addInputFile(const std::string& name) {
  auto node = std::make_unique<ProjectElement>("file");
  ProjectElement& file = writer_.system().addChild(writer_.project(), std::move(node));
  file.setFileName(name, true);
  currentFile_ = &file;
  return file;
}

std::string KilnmarkArgParse::hintFor(const std::string& option) const { return gccOptionHint(option); }

void KilnmarkArgParse::onArgument(const std::string& argument) {
  ProjectElement& file = addInputFile(argument);
  if (!currentFileType_.empty()) writer_.writeOn(file, "file_type", currentFileType_);
}

void KilnmarkArgParse::onHelp(const std::string&, const std::string&) {
  writeHelpText(reporter().stream());
  requestExit(0);
}

void KilnmarkArgParse::onFileType(const std::string&, const std::string& value) {
  for (const auto& [name, fileType] : kFileTypes) {
    if (value == name) {
      currentFileType_ = fileType;
      return;
    }
  }
  error() << value << " unsupported file type" << std::endl;
}

void KilnmarkArgParse::onLinkerScript(const std::string&, const std::string& value) {
  writer_.writeOn(addInputFile(value), "file_type", "Linker Script");
}

void KilnmarkArgParse::onInputFiles(const std::string&, const std::string& value) {
  int reason = 0;
  const UniqueFile file = openTextFileForReading(value, reason);
  if (!file) {
    error() << "cannot open file: " << value << std::endl;
    return;
  }
  addArgumentFile(value);
  char line[kLineBufferSize];
  while (std::fgets(line, sizeof line, file.get()) != nullptr) {
    if (char* newline = std::strchr(line, '\n')) *newline = '\0';
    addInputFile(line);
  }
  writer_.write("arm_linker_indirect_file", "Yes");
  writer_.write("arm_archiver_indirect_file", "Yes");
}

void KilnmarkArgParse::onDebug(const std::string&, const std::string& value) {
  debugInformation_ = true;
  if (value.empty()) return;
  writer_.writeValidated("gcc_debugging_level", debuggingLevelOfOption(value.front()));
}

void KilnmarkArgParse::onOptimization(const std::string&, const std::string& value) {
  const OptimizationLevel* level = value.empty() ? nullptr : optimizationLevelOfLetter(value.front());
  if (level == nullptr) {
    error() << value << " unsupported optimization level" << std::endl;
    level = optimizationLevelOfLetter('0');
  }
  if (level->smallLibraries) writer_.writeValidated("arm_library_optimization", "Small");
  writer_.writeValidated("gcc_optimization_level", std::string(level->value));
}

void KilnmarkArgParse::onLinkerSymbol(const std::string&, const std::string& value) {
  for (const auto& [marker, property] : kMemoryAreaMarkers) {
    const auto at = value.find(marker);
    if (at == std::string::npos) continue;
    const std::string size = value.substr(at + std::strlen(marker));
    // Latest definition first: for the main stack size that is "Main Stack
    // Size", then the earlier "Stack Size (User/System Mode)".
    const auto definitions = writer_.system().catalogue().definitions(property);
    for (auto it = definitions.rbegin(); it != definitions.rend(); ++it) writer_.write(**it, size);
    return;
  }
  writer_.append("link_symbol_definitions", value);
}

void KilnmarkArgParse::onDebugIo(const std::string&, const std::string& value) {
  static constexpr std::pair<const char*, const char*> kKinds[] = {
      {"bkpt", "Breakpoint"}, {"dcc", "DCC"}, {"mempoll", "Memory Poll"}};
  for (const auto& [name, kind] : kKinds) {
    if (value == name) {
      writer_.writeValidated("arm_link_debugio_type", kind);
      return;
    }
  }
  error() << value << " unsupported debugio option - bkpt, dcc, mempoll are supported" << std::endl;
}

void KilnmarkArgParse::onHas(const std::string&, const std::string& value) {
  static constexpr std::pair<const char*, const char*> kFeatures[] = {
      {"cmse", "arm_v8M_has_cmse"},
      {"idiv", "arm_v7_has_divide_instructions"},
      {"smallmultiplier", "arm_cm0_has_small_multiplier"}};
  for (const auto& [name, property] : kFeatures) {
    if (value == name) {
      writer_.write(property, "Yes");
      return;
    }
  }
  error() << value << " unsupported option -has" << value << std::endl;
}

void KilnmarkArgParse::onNoWarn(const std::string&, const std::string& value) {
  static constexpr std::pair<const char*, const char*> kWarnings[] = {
      {"mismatch", "arm_linker_no_warn_on_mismatch"},
      {"enumsize", "arm_linker_no_enum_size_warning"},
      {"wcharsize", "arm_linker_no_wchar_size_warning"}};
  for (const auto& [name, property] : kWarnings) {
    if (value == name) {
      writer_.write(property, "Yes");
      return;
    }
  }
  error() << value << " unsupported warning" << std::endl;
}

void KilnmarkArgParse::onStrip(const std::string&, const std::string& value) {
  if (value == "symbols") {
    writer_.write("gcc_strip_symbols", "Yes");
  } else if (value == "debug") {
    writer_.write("linker_strip_debug_information", "Yes");
  } else {
    error() << value << " unsupported strip option" << std::endl;
  }
}

void KilnmarkArgParse::onPrintf(const std::string&, const std::string& value) {
  const char* wideCharacters = contains(value, "w") ? "Yes" : "No";
  const char* integerLevel = value.starts_with("i")    ? "int"
                             : value.starts_with("ll") ? "long long"
                             : value.starts_with("l")  ? "long"
                                                       : nullptr;
  if (integerLevel != nullptr) {
    writer_.writeValidated("linker_printf_fmt_level", integerLevel);
    writer_.writeValidated("linker_printf_fp_enabled", "No");
    writer_.writeValidated("linker_printf_width_precision_supported", contains(value, "p") ? "Yes" : "No");
  } else if (value.starts_with("f") || value.starts_with("d")) {
    writer_.writeValidated("linker_printf_fp_enabled", value.starts_with("f") ? "Float" : "Double");
    writer_.writeValidated("linker_printf_fmt_level", contains(value, "ll") ? "long long" : "long");
  } else {
    error() << value << " unsupported printf option" << std::endl;
  }
  writer_.writeValidated("linker_printf_wchar_enabled", wideCharacters);
}

void KilnmarkArgParse::onScanf(const std::string&, const std::string& value) {
  const char* integerLevel = value.starts_with("i")    ? "int"
                             : value.starts_with("ll") ? "long long"
                             : value.starts_with("l")  ? "long"
                                                       : nullptr;
  if (integerLevel != nullptr) {
    writer_.writeValidated("linker_scanf_fmt_level", integerLevel);
  } else if (value.starts_with("d")) {
    writer_.write("linker_scanf_fp_enabled", "Yes");
    writer_.writeValidated("linker_scanf_fmt_level", contains(value, "ll") ? "long long" : "long");
  } else {
    error() << value << " unsupported scanf option" << std::endl;
  }
  writer_.writeValidated("linker_scanf_character_group_matching_enabled",
                         contains(value, "c") ? "Yes" : "No");
}

void KilnmarkArgParse::onStandard(const std::string&, const std::string& value) {
  if (value == "list") {
    listValuesAndExit({"gcc_c_language_standard", "gcc_cplusplus_language_standard"});
    return;
  }
  writer_.writeValidated(contains(value, "++") ? "gcc_cplusplus_language_standard" : "gcc_c_language_standard",
                         value);
}

void KilnmarkArgParse::listValuesAndExit(std::initializer_list<const char*> properties) {
  writer_.listValues(properties);
  requestExit(0);
}

void KilnmarkArgParse::onTemplate(const std::string&, const std::string& value) {
  templates_.load(writer_.system(), templateSearchList_);
  const XMLElement* projectTemplate = templates_.find(value);
  if (projectTemplate == nullptr) {
    error() << value << " can't find template" << std::endl;
    return;
  }
  writer_.flush();
  ProjectTemplates::apply(writer_.system(), writer_.project(), *projectTemplate);
}

void KilnmarkArgParse::onAnyProperty(const std::string&, const std::string& value) {
  const auto equals = value.find('=');
  if (equals == std::string::npos) {
    error() << value << " missing =" << std::endl;
    return;
  }
  const std::string name = value.substr(0, equals);
  const std::string propertyValue = value.substr(equals + 1);
  const PropertyClass* property = writer_.system().catalogue().find(name);
  if (property == nullptr) {
    // A group of the property-group file named so far by the project.
    const PropertyValueGroupFile* groups = writer_.system().propertyGroupFile(&writer_.project(), "Common");
    if (groups != nullptr) property = groups->group(name);
  }
  if (property == nullptr) {
    error() << value << " unable to find property" << std::endl;
    return;
  }
  const bool checked = property->type() == PropertyType::Enumeration ||
                       property->type() == PropertyType::Boolean;
  if (checked) {
    writer_.writeValidated(*property, propertyValue);
  } else {
    writer_.write(*property, propertyValue);
  }
}

}  // namespace tidewater
