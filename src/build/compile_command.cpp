#include "build/compile_command.h"

#include <unistd.h>

#include "base/path.h"
#include "base/split_list.h"
#include "build/build_status.h"
#include "build/builder.h"
#include "build/options_file.h"
#include "build/step_files.h"
#include "project/arm_project_system.h"
#include "project/compiler_levels.h"
#include "project/property_value_group_file.h"

namespace tidewater {
namespace {

// The product version the compiled code can test.
constexpr const char* kVersionDefines[] = {"-D__TIDEWATER_MAJOR_VERSION=4", "-D__TIDEWATER_MINOR_VERSION=0",
                                           "-D__TIDEWATER_REVISION=6"};

using Arguments = std::vector<std::string>;

void appendAll(Arguments& list, const Arguments& more) { list.insert(list.end(), more.begin(), more.end()); }

bool isCpp(const CompileContext& context) { return context.kind == BuildKind::CompileCpp; }
bool isGNU(const CompileContext& context) { return context.family == ToolFamily::GNU; }

/// One argument per item: the prefix glued to the macro-expanded item.
void appendPrefixed(Arguments& list, const CompileContext& context, const std::string& prefix,
                    const Arguments& items) {
  for (const std::string& item : items) list.push_back(prefix + context.expand(item));
}

void appendListProperty(Arguments& list, const CompileContext& context, const PropertyClass* property) {
  appendAll(list, splitEscapedList(context.value(property)));
}

/// The "attribute" values of the selected property-group items tagged "tag".
Arguments groupItems(const CompileContext& context, std::string_view tag, std::string_view attribute) {
  return context.system->propertyGroupItems(context.node, context.configuration, tag, attribute);
}

/// "name=value" (or "name" alone) of each selected "cdefine".
Arguments groupDefinitions(const CompileContext& context) {
  Arguments definitions;
  const PropertyValueGroupFile* file = context.system->propertyGroupFile(context.node, context.configuration);
  if (file == nullptr) return definitions;
  for (const XMLElement* item : file->selectedItems(*context.system, context.node, context.configuration, "cdefine")) {
    const std::string* name = item->attribute("name");
    const std::string* value = item->attribute("value");
    if (name == nullptr || name->empty()) continue;
    definitions.push_back(value != nullptr && !value->empty() ? *name + "=" + *value : *name);
  }
  return definitions;
}

/// The selected value of the property group "Target", when the file has one.
std::optional<std::string> targetProcessor(const CompileContext& context) {
  const PropertyValueGroupFile* file = context.system->propertyGroupFile(context.node, context.configuration);
  const PropertyValueGroupClass* target = file != nullptr ? file->group("Target") : nullptr;
  if (target == nullptr) return std::nullopt;
  return context.system->lookUp(context.node, *target, context.configuration);
}

std::string quoted(const std::string& text) { return "'" + text + "'"; }

std::string compilerPath(const CompileContext& context) {
  if (!isGNU(context)) return context.expand("$(CLANG:$(StudioDir)/llvm/bin/clang)");
  if (isCpp(context)) return context.expand("$(CC1PLUS:" + context.toolchainDirectory + "/cc1plus)");
  return context.expand("$(CC1:" + context.toolchainDirectory + "/cc1)");
}

std::string assemblerPath(const CompileContext& context) {
  if (!isGNU(context)) return context.expand("$(CLANG:$(StudioDir)/llvm/bin/clang)");
  return context.toolchainDirectory + "/as";
}

// The section properties with the section each renames, in list order.
struct SectionRow {
  const PropertyClass* StandardCatalogue::*property;
  const char* compilerOption;
  const char* renamedSection;
};
constexpr SectionRow kSections[] = {
    {&StandardCatalogue::defaultCodeSection, "-mtext=", ".text="},
    {&StandardCatalogue::defaultDataSection, "-mdata=", ".data="},
    {&StandardCatalogue::defaultZeroedSection, "-mbss=", ".bss="},
    {&StandardCatalogue::defaultConstSection, "-mrodata=", ".rodata="},
};

/// The value of a section property when it differs from its default.
std::optional<std::string> changedSection(const CompileContext& context, const SectionRow& row) {
  const PropertyClass* property = context.system->standard().*row.property;
  std::string value = context.value(property);
  if (value == property->defaultValue()) return std::nullopt;
  return value;
}

bool appendOptionsFile(Arguments& list, const CompileContext& context, const PropertyClass* property,
                       std::string& failedFile) {
  const std::string name = context.expand(context.value(property));
  if (name.empty()) return true;
  const std::string path = absolutePath(name, context.projectDirectory);
  std::optional<Arguments> options = readOptionsFile(path);
  if (!options) {
    failedFile = path;
    return false;
  }
  appendAll(list, *options);
  return true;
}

bool targetAllowed(const CompileContext& context, Builder& builder) {
  if (context.system->cortexMOnly() && !isCortexMTarget(context.target)) {
    builder.errorMessage("Only Cortex-M cores are supported");
    builder.markFailed();
    return false;
  }
  return true;
}

bool run(Builder& builder, const CompileContext& context, const Arguments& arguments, const std::string& output,
         const std::string& program = {}) {
  return builder.runCommand(context.projectDirectory, arguments, output, program) && !builder.stopped();
}

// The installation's cc1 and cc1plus are launchers that carry out the
// section options; given none, they only start the compiler unchanged. The
// compile then starts that compiler itself (its link in the installation's
// libexec directory) and saves the launcher's process start, a few
// milliseconds of every compile. A compiler named by the user, a tree
// without the link, or one without the launcher runs as shown.
std::string directCompiler(const CompileContext& context, const Arguments& compile) {
  if (!isGNU(context) || compile.empty()) return {};
  const std::string name = isCpp(context) ? "cc1plus" : "cc1";
  if (compile.front() != context.toolchainDirectory + "/" + name) return {};
  for (const std::string& argument : compile) {
    for (const SectionRow& row : kSections) {
      if (argument.starts_with(row.compilerOption)) return {};
    }
  }
  std::string direct = context.toolchainDirectory + "/../libexec/" + name;
  const bool bothInstalled = ::access(direct.c_str(), X_OK) == 0 && ::access(compile.front().c_str(), X_OK) == 0;
  return bothInstalled ? direct : std::string();
}

std::string absoluteIntermediate(const CompileContext& context, const std::string& toolPath) {
  return absolutePath(toolPath, context.projectDirectory);
}

/// The source as the tools are given it.
std::string sourceForTools(const CompileContext& context, const std::string& source) {
  return context.absolutePaths ? absolutePath(source, context.projectDirectory) : pathArgument(source);
}

}  // namespace

std::string CompileContext::value(const PropertyClass* property) const {
  return system->lookUp(node, *property, configuration);
}

bool CompileContext::yes(const PropertyClass* property) const { return value(property) == "Yes"; }

// Forming one compile's commands reads the node's macros many times and
// changes nothing they depend on, so the map is made once.
std::string CompileContext::expand(const std::string& text) const {
  if (text.find('$') == std::string::npos) return text;
  if (!macros_) macros_ = system->nodeMacroMap(node, configuration);
  return system->expandWith(*macros_, text);
}

std::string CompileContext::toolPath(const std::string& path) const {
  return absolutePaths ? absolutePath(path, projectDirectory) : pathArgument(path);
}

std::string CompileContext::intermediateFile(const std::string& name) const {
  if (!intermediateDirectory_) intermediateDirectory_ = expand("$(IntDir)");
  return toolPath(cleanPath(joinPath(*intermediateDirectory_, name)));
}

std::string assemblyFileName(const CompileContext& context, const std::string& object) {
  return context.intermediateFile(baseName(object) + ".asm");
}

std::string preprocessedFileName(const CompileContext& context, const std::string& source) {
  return context.intermediateFile(baseName(source) + "_PP." + suffix(source));
}

std::string toolIndirectFileName(const CompileContext& context, const std::string& output) {
  return context.intermediateFile(baseName(output) + ".ind");
}

std::vector<StepFile> compileStepFiles(const CompileContext& context, const std::string& object,
                                       const std::string& source, const std::optional<std::string>& dependencyFile) {
  const std::string of = " of " + source;
  const auto absolute = [&](const std::string& path) { return absolutePath(path, context.projectDirectory); };
  std::vector<StepFile> files = {{absolute(context.toolPath(object)), "object file" + of}};
  const bool preprocessedSeparately =
      context.kind == BuildKind::Assemble || context.yes(context.system->ambervale().armKeepPreprocessorOutput);
  if (preprocessedSeparately) {
    files.push_back({absolute(preprocessedFileName(context, source)), "preprocessed file" + of});
  }
  if (context.kind != BuildKind::Assemble) {
    files.push_back({absolute(assemblyFileName(context, object)), "assembly file" + of});
  }
  if (dependencyFile) files.push_back({absolute(*dependencyFile), "dependency file" + of});
  return files;
}

CompileContext makeCompileContext(ARMProjectSystem& system, ProjectElement& node, const std::string& configuration,
                                  BuildKind kind) {
  CompileContext context;
  context.system = &system;
  context.node = &node;
  context.configuration = configuration;
  context.kind = kind;
  ProjectElement* project = node.nearestProject();
  if (project != nullptr) {
    system.resolvePath(*project, configuration);
    context.projectDirectory = project->directory;
  }
  const PropertyClass* variant =
      kind == BuildKind::Assemble ? system.ambervale().armAssemblerVariant : system.ambervale().armCompilerVariant;
  context.family = context.value(variant) == "gcc" ? ToolFamily::GNU : ToolFamily::Clang;
  context.toolchainDirectory = context.expand(context.value(system.general().buildToolchainDirectory));
  context.absolutePaths = context.yes(system.ambervale().armSupplyAbsoluteFilePath);
  context.target = readTargetSettings(system, &node, configuration);
  return context;
}

std::vector<std::string> compilerProper(const CompileContext& context) {
  if (isGNU(context)) return {compilerPath(context), "-fmessage-length=0", "-fno-diagnostics-show-caret"};
  return {compilerPath(context), "-cc1", "-S", "-disable-free", "-disable-llvm-verifier", "-mrelocation-model",
          "static", "-mconstructor-aliases", "-x", isCpp(context) ? "c++" : "c", "-fno-caret-diagnostics",
          "-fno-diagnostics-fixit-info"};
}

std::vector<std::string> cppLanguageOptions(const CompileContext& context) {
  if (!isCpp(context)) return {};
  const StandardCatalogue& standard = context.system->standard();
  Arguments list;
  const bool exceptions = context.yes(standard.cppEnableExceptions);
  if (isGNU(context) && !exceptions) list.push_back("-fno-exceptions");
  if (!isGNU(context) && exceptions) appendAll(list, {"-fcxx-exceptions", "-fexceptions"});
  if (!context.yes(standard.cppEnableRtti)) list.push_back("-fno-rtti");
  return list;
}

std::vector<std::string> preprocessorOptions(const CompileContext& context,
                                             const std::optional<std::string>& dependencyFile,
                                             const std::string& dependencyTarget) {
  const StandardCatalogue& standard = context.system->standard();
  Arguments list;
  if (isGNU(context)) list.push_back("-nostdinc");
  else appendAll(list, {"-nostdsysteminc", "-nobuiltininc"});

  if (context.value(standard.cIgnoreIncludes) == "No") {
    appendPrefixed(list, context, "-isystem", splitList(context.value(standard.cSystemIncludeDirectories)));
    appendPrefixed(list, context, "-I", splitList(context.value(standard.cUserIncludeDirectories)));
    appendPrefixed(list, context, "-I", groupItems(context, "cinclude", "value"));
  }

  if (context.value(context.system->gcc().gccWcharSize) == "16-Bit") {
    appendAll(list, {"-D__SHORT_WCHAR", "-D__SIZEOF_WCHAR_T=2"});
  } else {
    list.push_back("-D__SIZEOF_WCHAR_T=4");
  }

  if (context.yes(standard.cUndefineAllPreprocessorDefinitions)) {
    list.push_back("-undef");
  } else {
    appendAll(list, targetDefines(context.target));
    list.insert(list.end(), std::begin(kVersionDefines), std::end(kVersionDefines));
    if (const std::optional<std::string> target = targetProcessor(context)) {
      list.push_back("-D__TARGET_PROCESSOR=" + *target);
    }
  }

  appendPrefixed(list, context, "-D", splitEscapedList(context.value(standard.cPreprocessorDefinitions)));
  appendPrefixed(list, context, "-D", groupDefinitions(context));
  appendPrefixed(list, context, "-U", splitList(context.value(standard.cPreprocessorUndefinitions)));

  if (dependencyFile) {
    if (isGNU(context)) appendAll(list, {"-MD", *dependencyFile, "-MQ", dependencyTarget});
    else appendAll(list, {"-dependency-file", *dependencyFile, "-sys-header-deps", "-MT", dependencyTarget});
  }
  return list;
}

std::vector<std::string> warningOptions(const CompileContext& context) {
  const GeneralCatalogue& general = context.system->general();
  Arguments list;
  if (context.yes(general.buildTreatWarningsAsErrors)) list.push_back("-Werror");
  if (context.yes(general.buildSuppressWarnings)) list.push_back("-w");
  if (context.kind != BuildKind::Assemble && context.yes(context.system->gcc().gccEnableAllWarnings)) {
    appendListProperty(list, context, context.system->gcc().gccAllWarningsCommandLineOptions);
  }
  return list;
}

std::vector<std::string> verbosityOptions(const CompileContext& context) {
  if (!context.yes(context.system->general().buildQuietly)) return {"-v"};
  if (isGNU(context)) return {"-quiet"};
  return {};
}

std::vector<std::string> inputCharsetOptions(const CompileContext& context) {
  if (!isGNU(context)) return {};
  const std::string codec = context.value(context.system->general().fileCodec);
  if (codec.empty() || codec == "Default") return {};
  std::string name;
  for (char c : codec) {
    if (c != ' ') name += c;
  }
  return {"-finput-charset=" + name};
}

std::vector<std::string> debugOptions(const CompileContext& context) {
  if (!context.yes(context.system->general().buildDebugInformation)) return {};
  const GCCCatalogue& gcc = context.system->gcc();
  // A value outside the list (an unvalidated -z write) counts as the default level.
  const DebuggingLevel* level = debuggingLevel(context.value(gcc.gccDebuggingLevel));
  if (level == nullptr) level = debuggingLevel(gcc.gccDebuggingLevel->defaultValue());
  if (level->digit == '0') {
    if (isGNU(context)) return {"-g0"};
    return {};
  }
  // Versions "dwarf-2" .. "dwarf-4" end in their number.
  const std::string version = context.value(gcc.gccDwarfVersion);
  const bool hasVersion = version.size() == 7 && version.starts_with("dwarf-");
  Arguments list;
  if (isGNU(context)) {
    if (hasVersion) list.push_back("-gdwarf-" + version.substr(6));
    list.push_back(std::string("-g") + level->digit);
    list.push_back("-gpubnames");
    return list;
  }
  if (hasVersion) list.push_back("-dwarf-version=" + version.substr(6));
  list.push_back("-debug-info-kind=" + std::string(level->clangKind));
  list.push_back("-debugger-tuning=gdb");
  return list;
}

std::vector<std::string> languageStandardOptions(const CompileContext& context) {
  const GCCCatalogue& gcc = context.system->gcc();
  const std::string standard =
      context.value(isCpp(context) ? gcc.gccCplusplusLanguageStandard : gcc.gccCLanguageStandard);
  if (standard.empty()) return {};
  return {"-std=" + standard};
}

std::vector<std::string> ansiOptions(const CompileContext& context) {
  Arguments list;
  if (context.yes(context.system->standard().cEnforceAnsiChecking)) {
    appendListProperty(list, context, context.system->gcc().gccEnforceAnsiCheckingCommandLineOptions);
  }
  return list;
}

std::vector<std::string> optimizationOptions(const CompileContext& context) {
  const OptimizationLevel* level = optimizationLevel(context.value(context.system->gcc().gccOptimizationLevel));
  if (level == nullptr) return {};
  const std::string_view option = isGNU(context) ? level->gnu : level->clang;
  if (option.empty()) return {};
  return {std::string(option)};
}

std::vector<std::string> framePointerOptions(const CompileContext& context) {
  const GCCCatalogue& gcc = context.system->gcc();
  const bool omit = context.yes(gcc.gccOmitFramePointer);
  Arguments list;
  if (isGNU(context)) {
    if (omit) list.push_back("-fomit-frame-pointer");
    if (context.value(gcc.gccEmitAssemblerCfi) == "No") list.push_back("-fno-dwarf2-cfi-asm");
  } else {
    if (!omit) list.push_back("-mdisable-fp-elim");
    list.push_back("-fno-dwarf-directory-asm");
  }
  return list;
}

std::vector<std::string> builtinAndMathOptions(const CompileContext& context) {
  const AmbervaleGCCCatalogue& ambervale = context.system->ambervale();
  Arguments list;
  if (context.value(ambervale.armUseBuiltins) == "No") list.push_back("-fno-builtin");
  const std::string mathErrno = context.value(ambervale.armMathErrno);
  if (isGNU(context) && mathErrno == "No") list.push_back("-fno-math-errno");
  if (!isGNU(context) && mathErrno == "Yes") list.push_back("-fmath-errno");
  return list;
}

std::vector<std::string> unusedSymbolOptions(const CompileContext& context) {
  if (!context.yes(context.system->standard().buildRemoveUnusedSymbols)) return {};
  return {"-ffunction-sections", "-fdata-sections"};
}

std::vector<std::string> globalMergeOptions(const CompileContext& context) {
  if (isGNU(context) || context.value(context.system->ambervale().clangMergeGlobals) != "No") return {};
  return {"-mno-global-merge"};
}

std::vector<std::string> sectionNameOptions(const CompileContext& context) {
  Arguments list;
  for (const SectionRow& row : kSections) {
    if (std::optional<std::string> name = changedSection(context, row)) list.push_back(row.compilerOption + *name);
  }
  return list;
}

std::vector<std::string> dataLayoutOptions(const CompileContext& context) {
  const GCCCatalogue& gcc = context.system->gcc();
  Arguments list;
  if (context.value(gcc.gccWcharSize) == "16-Bit") list.push_back("-fshort-wchar");
  if (context.value(gcc.gccShortEnum) == "Minimal Container Size") list.push_back("-fshort-enums");
  else if (isGNU(context)) list.push_back("-fno-short-enums");
  if (context.yes(gcc.gccNoCommon)) list.push_back("-fno-common");
  if (context.yes(context.system->ambervale().armInstrumentFunctions)) list.push_back("-finstrument-functions");
  return list;
}

std::optional<std::vector<std::string>> additionalCompileOptions(const CompileContext& context,
                                                                 std::string& failedFile) {
  const StandardCatalogue& standard = context.system->standard();
  Arguments list;
  appendListProperty(list, context, standard.cAdditionalOptions);
  if (!appendOptionsFile(list, context, standard.cAdditionalOptionsFromFile, failedFile)) return std::nullopt;
  appendListProperty(list, context, isCpp(context) ? standard.cppOnlyAdditionalOptions : standard.cOnlyAdditionalOptions);
  const PropertyClass* onlyFile =
      isCpp(context) ? standard.cppOnlyAdditionalOptionsFromFile : standard.cOnlyAdditionalOptionsFromFile;
  if (!appendOptionsFile(list, context, onlyFile, failedFile)) return std::nullopt;
  return list;
}

std::optional<std::vector<std::string>> additionalAssemblerOptions(const CompileContext& context,
                                                                   std::string& failedFile) {
  const StandardCatalogue& standard = context.system->standard();
  Arguments list;
  appendListProperty(list, context, standard.asmAdditionalOptions);
  if (!appendOptionsFile(list, context, standard.asmAdditionalOptionsFromFile, failedFile)) return std::nullopt;
  return list;
}

std::vector<std::string> compileCommand(const CompileContext& context, const std::string& source,
                                        const std::string& assemblyFile,
                                        const std::optional<std::string>& dependencyFile,
                                        const std::string& object, bool preprocessed,
                                        const std::vector<std::string>& additionalOptions) {
  Arguments list = compilerProper(context);
  appendAll(list, cppLanguageOptions(context));
  appendAll(list, targetOptions(context.family, context.target, TargetOptionsForm::Compiler));
  if (!preprocessed) appendAll(list, preprocessorOptions(context, dependencyFile, object));
  else if (isGNU(context)) list.push_back("-fpreprocessed");
  appendAll(list, warningOptions(context));
  appendAll(list, verbosityOptions(context));
  appendAll(list, inputCharsetOptions(context));
  appendAll(list, additionalOptions);
  appendAll(list, debugOptions(context));
  appendAll(list, languageStandardOptions(context));
  appendAll(list, ansiOptions(context));
  appendAll(list, optimizationOptions(context));
  appendAll(list, framePointerOptions(context));
  appendAll(list, builtinAndMathOptions(context));
  appendAll(list, unusedSymbolOptions(context));
  appendAll(list, globalMergeOptions(context));
  appendAll(list, sectionNameOptions(context));
  appendAll(list, dataLayoutOptions(context));
  list.push_back(source);
  appendAll(list, {"-o", assemblyFile});
  return list;
}

std::vector<std::string> preprocessCommand(const CompileContext& context, const std::string& source,
                                           const std::string& output) {
  Arguments list = compilerProper(context);
  appendAll(list, cppLanguageOptions(context));
  list.push_back("-E");
  if (isGNU(context)) list.push_back("-quiet");
  appendAll(list, targetOptions(context.family, context.target, TargetOptionsForm::Preprocessor));
  appendAll(list, preprocessorOptions(context, std::nullopt, {}));
  list.push_back(absolutePath(source, context.projectDirectory));
  appendAll(list, {"-o", output});
  return list;
}

std::vector<std::string> assemblySourcePreprocessCommand(const CompileContext& context, const std::string& source,
                                                         const std::optional<std::string>& dependencyFile,
                                                         const std::string& object, const std::string& output) {
  Arguments list = compilerProper(context);
  list.push_back("-E");
  if (!context.yes(context.system->general().buildDebugInformation)) list.push_back("-P");
  appendAll(list, targetOptions(context.family, context.target, TargetOptionsForm::Preprocessor));
  appendAll(list, preprocessorOptions(context, dependencyFile, object));
  appendAll(list, warningOptions(context));
  const bool quiet = context.yes(context.system->general().buildQuietly);
  if (!quiet) list.push_back("-v");
  if (isGNU(context)) {
    if (quiet) list.push_back("-quiet");
    list.push_back("-lang-asm");
  } else {
    appendAll(list, {"-x", "assembler-with-cpp"});
  }
  list.push_back(source);
  appendAll(list, {"-o", output});
  return list;
}

std::vector<std::string> assembleCommand(const CompileContext& context, const std::string& input,
                                         const std::string& object,
                                         const std::vector<std::string>& additionalOptions) {
  Arguments list;
  if (isGNU(context)) list = {assemblerPath(context), "--traditional-format"};
  else list = {assemblerPath(context), "-cc1as", "-filetype", "obj"};
  appendAll(list, targetOptions(context.family, context.target, TargetOptionsForm::Assembler));
  appendAll(list, additionalOptions);
  appendAll(list, {input, "-o", object});
  const GeneralCatalogue& general = context.system->general();
  const bool debug = context.yes(general.buildDebugInformation);
  if (context.kind != BuildKind::Assemble) {
    if (!isGNU(context) && debug) list.push_back("-dwarf-version=4");
    return list;
  }
  const DebuggingLevel* level = debuggingLevel(context.value(context.system->gcc().gccDebuggingLevel));
  if (debug && (level == nullptr || level->digit != '0')) {
    if (isGNU(context)) appendAll(list, {"-g", "-gdwarf-4"});
    else appendAll(list, {"-dwarf-version=4", "-debug-info-kind=standalone", "-debugger-tuning=gdb"});
  }
  if (isGNU(context)) {
    if (context.yes(general.buildTreatWarningsAsErrors)) list.push_back("--fatal-warnings");
    if (context.yes(general.buildSuppressWarnings)) list.push_back("--no-warn");
  }
  return list;
}

std::vector<std::string> sectionRenameCommand(const CompileContext& context, const std::string& object) {
  Arguments list = {context.toolchainDirectory + "/objcopy", object, object};
  for (const SectionRow& row : kSections) {
    if (std::optional<std::string> name = changedSection(context, row)) {
      appendAll(list, {"--rename-section", row.renamedSection + *name});
    }
  }
  return list;
}

namespace {

bool runAssemblySource(const CompileContext& context, const std::string& objectPath,
                       const std::optional<std::string>& dependencyFile, const std::string& source,
                       const Arguments& assemblerOptions, Builder& builder) {
  const std::string object = context.toolPath(objectPath);
  const std::string preprocessed = preprocessedFileName(context, source);
  const std::string nodeName = context.system->nodeName(*context.node);
  builder.beginStep(context.node, "Assembling " + quoted(nodeName), context.configuration);
  if (!run(builder, context,
           assemblySourcePreprocessCommand(context, sourceForTools(context, source), dependencyFile, object,
                                           preprocessed),
           absoluteIntermediate(context, preprocessed))) {
    return false;
  }
  if (!run(builder, context, assembleCommand(context, preprocessed, object, assemblerOptions), objectPath)) {
    return false;
  }
  if (const Arguments rename = sectionRenameCommand(context, object); rename.size() > 3) {
    if (!run(builder, context, rename, {})) return false;
  }
  if (!context.yes(context.system->ambervale().armKeepPreprocessorOutput)) {
    if (!run(builder, context, {"rm", preprocessed}, {})) return false;
  }
  builder.endStep(context.node, context.configuration);
  return true;
}

/// The separate preprocessing step; returns the file as the tools name it,
/// or nothing when it failed.
std::optional<std::string> runSeparatePreprocess(const CompileContext& context, const std::string& source,
                                                 Builder& builder) {
  const std::string output = preprocessedFileName(context, source);
  builder.beginStep(context.node, "Preprocessing " + context.system->nodeName(*context.node), context.configuration);
  if (!run(builder, context, preprocessCommand(context, source, output),
           absoluteIntermediate(context, output))) {
    return std::nullopt;
  }
  builder.endStep(context.node, context.configuration);
  return output;
}

bool runCompile(const CompileContext& context, const std::string& objectPath,
                const std::optional<std::string>& dependencyFile, std::string source,
                const Arguments& compileOptions, const Arguments& assemblerOptions, Builder& builder,
                const std::string& stepText) {
  bool preprocessed = false;
  if (context.yes(context.system->ambervale().armKeepPreprocessorOutput)) {
    std::optional<std::string> output = runSeparatePreprocess(context, source, builder);
    if (!output) return false;
    source = *output;
    preprocessed = true;
  } else {
    source = sourceForTools(context, source);
  }
  const std::string object = context.toolPath(objectPath);
  const std::string assemblyFile = assemblyFileName(context, objectPath);
  builder.beginStep(context.node,
                    stepText.empty() ? "Compiling " + quoted(context.system->nodeName(*context.node)) : stepText,
                    context.configuration);
  const Arguments compile =
      compileCommand(context, source, assemblyFile, dependencyFile, object, preprocessed, compileOptions);
  if (!run(builder, context, compile, absoluteIntermediate(context, assemblyFile), directCompiler(context, compile))) {
    return false;
  }
  if (!run(builder, context, assembleCommand(context, assemblyFile, object, assemblerOptions), objectPath)) {
    return false;
  }
  if (!context.yes(context.system->ambervale().armKeepAssembly)) {
    if (!run(builder, context, {"rm", assemblyFile}, {})) return false;
  }
  builder.endStep(context.node, context.configuration);
  return true;
}

}  // namespace

bool runCompileTool(ARMProjectSystem& system, ProjectElement& node, const std::string& configuration,
                    BuildKind kind, const std::string& objectPath, const std::string& dependencyPath,
                    const std::string& source, Builder& builder, bool writeDependencyFile,
                    const std::string& stepText) {
  const CompileContext context = makeCompileContext(system, node, configuration, kind);
  std::optional<std::string> dependencyFile;
  if (writeDependencyFile && !dependencyPath.empty()) dependencyFile = context.toolPath(dependencyPath);
  StepFilesGuard guard(builder, compileStepFiles(context, objectPath, source, dependencyFile));
  if (!targetAllowed(context, builder)) return false;
  std::string failedFile;
  std::optional<Arguments> compileOptions = Arguments{};
  if (kind != BuildKind::Assemble) compileOptions = additionalCompileOptions(context, failedFile);
  std::optional<Arguments> assemblerOptions;
  if (compileOptions) assemblerOptions = additionalAssemblerOptions(context, failedFile);
  if (!compileOptions || !assemblerOptions) {
    builder.errorMessage(optionsFileError(failedFile));
    builder.markFailed();
    return false;
  }
  const bool built =
      kind == BuildKind::Assemble
          ? runAssemblySource(context, objectPath, dependencyFile, source, *assemblerOptions, builder)
          : runCompile(context, objectPath, dependencyFile, source, *compileOptions, *assemblerOptions, builder,
                       stepText);
  if (built) guard.commit();
  return built;
}

namespace {

CompileContext preprocessContext(ARMProjectSystem& system, ProjectElement& node, const std::string& configuration) {
  const BuildKind kind = system.fileType(node, configuration) == "C++" ? BuildKind::CompileCpp : BuildKind::CompileC;
  system.resolvePath(node, configuration);
  return makeCompileContext(system, node, configuration, kind);
}

StepFile preprocessOutput(const CompileContext& context) {
  const std::string& source = context.node->relativePath;
  return {absoluteIntermediate(context, preprocessedFileName(context, source)), "preprocessed file of " + source};
}

}  // namespace

StepFile preprocessOneFileOutput(ARMProjectSystem& system, ProjectElement& node, const std::string& configuration) {
  return preprocessOutput(preprocessContext(system, node, configuration));
}

std::string preprocessOneFile(ARMProjectSystem& system, ProjectElement& node, const std::string& configuration,
                              Builder& builder) {
  const CompileContext context = preprocessContext(system, node, configuration);
  if (!targetAllowed(context, builder)) return {};
  const StepFile output = preprocessOutput(context);
  StepFilesGuard guard(builder, {output});
  if (!runSeparatePreprocess(context, node.relativePath, builder)) return {};
  guard.commit();
  return output.path;
}

}  // namespace tidewater
