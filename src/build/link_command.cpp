#include "build/link_command.h"

#include <cstdio>
#include <cstdlib>

#include "base/path.h"
#include "base/split_list.h"
#include "build/builder.h"
#include "build/link_libraries.h"
#include "build/options_file.h"
#include "build/tool_indirect_file.h"
#include "project/arm_project_system.h"

namespace tidewater {
namespace {

using Arguments = std::vector<std::string>;

void appendAll(Arguments& list, const Arguments& more) { list.insert(list.end(), more.begin(), more.end()); }


std::string linkerPath(const CompileContext& context) {
  if (context.value(context.system->ambervale().armLinkerVariant) == "lld") {
    return context.expand("$(LLD:$(StudioDir)/llvm/bin/lld)");
  }
  return context.toolchainDirectory + "/ld";
}

Arguments formattedIOSymbols(const CompileContext& context) {
  if (!context.yes(context.system->standard().linkIncludeStandardLibraries)) return {};
  return {"-defsym=__vfprintf=__vfprintf_" + printfVariant(context),
          "-defsym=__vfscanf=__vfscanf_" + scanfVariant(context)};
}

Arguments linkerWarningOptions(const CompileContext& context) {
  const AmbervaleGCCCatalogue& ambervale = context.system->ambervale();
  Arguments list;
  if (!context.yes(context.system->general().buildQuietly)) list.push_back("-v");
  if (context.yes(context.system->general().buildTreatWarningsAsErrors) ||
      context.yes(ambervale.armLinkerTreatWarningsAsErrors)) {
    list.push_back("--fatal-warnings");
  }
  if (context.yes(ambervale.armLinkerNoWarnOnMismatch)) list.push_back("--no-warn-mismatch");
  return list;
}

struct ByteOrderRow {
  const char* endian;
  Arguments options;
};
const ByteOrderRow kByteOrders[] = {{"Little", {"-EL"}}, {"Big", {"-EB"}}, {"BE-8", {"-EB", "--be8"}}};

Arguments armOptions(const CompileContext& context) {
  const ARMCatalogue& arm = context.system->arm();
  Arguments list;
  if (context.yes(arm.armLinkerNoEnumSizeWarning)) list.push_back("--no-enum-size-warning");
  if (context.yes(arm.armLinkerNoWcharSizeWarning)) list.push_back("--no-wchar-size-warning");
  for (const ByteOrderRow& row : kByteOrders) {
    if (context.target.endian == row.endian) appendAll(list, row.options);
  }
  if (const std::string implib = context.value(arm.armLinkerCmseImportLibraryFileName); !implib.empty()) {
    appendAll(list, {"--out-implib=" + implib, "--cmse-implib"});
  }
  return list;
}

Arguments mapFileOptions(const CompileContext& context, const std::string& output) {
  if (!context.yes(context.system->standard().linkerMapFile)) return {};
  return {"-Map", directoryPart(output) + "/" + baseName(output) + ".map"};
}

Arguments symbolOptions(const CompileContext& context) {
  const StandardCatalogue& standard = context.system->standard();
  Arguments list;
  for (const std::string& item : splitEscapedList(context.value(standard.linkSymbolDefinitions))) {
    appendAll(list, {"--defsym", item});
  }
  for (const std::string& item : splitEscapedList(context.value(standard.linkerKeepSymbols))) {
    list.push_back("-u" + item);
  }
  return list;
}

Arguments trailingOptions(const CompileContext& context) {
  const AmbervaleGCCCatalogue& ambervale = context.system->ambervale();
  Arguments list;
  if (context.yes(ambervale.armLinkerAllowMultipleDefinition)) list.push_back("--allow-multiple-definition");
  if (context.yes(ambervale.armLinkerEmitRelocations)) list.push_back("--emit-relocs");
  if (const std::string files = context.value(ambervale.armLinkerSymbolsFiles); !files.empty()) {
    list.push_back("--just-symbols=" + context.expand(files));
  }
  return list;
}

bool run(Builder& builder, const CompileContext& context, const Arguments& arguments, const std::string& output) {
  return builder.runCommand(context.projectDirectory, arguments, output) && !builder.stopped();
}

bool fail(Builder& builder, const std::string& message) {
  builder.errorMessage(message);
  builder.markFailed();
  return false;
}

/// The linker's additional options: the list property, then its options file.
std::optional<Arguments> additionalLinkOptions(const CompileContext& context, std::string& failedFile) {
  const StandardCatalogue& standard = context.system->standard();
  Arguments list = splitEscapedList(context.value(standard.linkerAdditionalOptions));
  const std::string name = context.expand(context.value(standard.linkerAdditionalOptionsFromFile));
  if (name.empty()) return list;
  const std::string path = absolutePath(name, context.projectDirectory);
  std::optional<Arguments> options = readOptionsFile(path);
  if (!options) {
    failedFile = path;
    return std::nullopt;
  }
  appendAll(list, *options);
  return list;
}

/// The post-link tools after a successful link, in order.
bool runPostLinkTools(const CompileContext& context, const std::string& output, const std::string& generatedScript, const PatchCommandRunner& runPatchCommand,
                      Builder& builder) {
  const AmbervaleGCCCatalogue& ambervale = context.system->ambervale();
  const std::string tools = context.toolchainDirectory;
  const std::string target = context.toolPath(output);
  if (!generatedScript.empty() && context.value(ambervale.keepLinkerScriptFile) == "No") {
    if (!run(builder, context, {"rm", generatedScript}, {})) return false;
  }
  if (const std::string fill = gapFillArgument(context.value(ambervale.armLinkerGapFill)); !fill.empty()) {
    if (!run(builder, context, {tools + "/objcopy", target, target, "--gap-fill", fill}, {})) return false;
  }
  if (!context.value(context.system->standard().linkerPatchBuildCommand).empty() && !runPatchCommand()) {
    builder.markFailed();
    return false;
  }
  if (context.yes(context.system->gcc().gccStripSymbols)) {
    if (!run(builder, context, {tools + "/strip", target}, {})) return false;
  }
  if (context.yes(context.system->gcc().linkerStripDebugInformation)) {
    if (!run(builder, context, {tools + "/strip", "-S", target, "-o", target}, {})) return false;
  }
  if (const std::string additional = additionalOutputName(context, output); !additional.empty()) {
    const std::string format = context.value(context.system->standard().linkerOutputFormat);
    Arguments list = {tools + "/objcopy", target, context.toolPath(additional)};
    if (format == "bin") list.push_back("-Obinary");
    else if (format == "hex") list.push_back("-Oihex");
    else list.push_back("-O" + format);
    if (const std::string fill = gapFillArgument(context.value(ambervale.armLinkerAdditionalOutputFileGapFill));
        !fill.empty()) {
      appendAll(list, {"--gap-fill", fill});
    }
    if (!run(builder, context, list, absolutePath(additional, context.projectDirectory))) return false;
  }
  return true;
}

std::string generatedScriptName(const CompileContext& context, const std::string& output) {
  return context.intermediateFile(baseName(output) + ".ld");
}

}  // namespace

std::string gapFillArgument(const std::string& value) {
  if (value.empty()) return {};
  char* end = nullptr;
  const unsigned long long number = std::strtoull(value.c_str(), &end, 0);
  if (end == value.c_str() || *end != '\0') return {};
  const unsigned byte = static_cast<unsigned>(number & 0xFF);
  if (byte == 0) return {};
  char text[8];
  std::snprintf(text, sizeof text, "0x%02x", byte);
  return text;
}

std::string additionalOutputName(const CompileContext& context, const std::string& output) {
  const std::string format = context.value(context.system->standard().linkerOutputFormat);
  if (format.empty() || format == "None") return {};
  return directoryPart(output) + "/" + baseName(output) + "." + format;
}

std::vector<StepFile> linkStepFiles(const CompileContext& context, const std::string& output, bool generatesScript) {
  const auto absolute = [&](const std::string& path) { return absolutePath(path, context.projectDirectory); };
  std::vector<StepFile> files = {{absolute(output), "image"}};
  if (const Arguments map = mapFileOptions(context, output); !map.empty()) {
    files.push_back({absolute(map[1]), "map file"});
  }
  if (const std::string additional = additionalOutputName(context, output); !additional.empty()) {
    files.push_back({absolute(additional), "additional output file"});
  }
  if (const std::string implib = context.value(context.system->arm().armLinkerCmseImportLibraryFileName);
      !implib.empty()) {
    files.push_back({absolute(implib), "CMSE import library"});
  }
  if (generatesScript) files.push_back({absolute(generatedScriptName(context, output)), "generated linker script"});
  if (context.yes(context.system->ambervale().armLinkerIndirectFile)) {
    files.push_back({absolute(toolIndirectFileName(context, output)), "linker indirect file"});
  }
  return files;
}

Arguments linkCommand(const CompileContext& context, const std::string& output, const std::string& script,
                      const Arguments& inputs, const std::optional<std::string>& indirectFile,
                      const Arguments& additionalOptions) {
  Arguments list = {linkerPath(context), "-X", "-e" + context.value(context.system->gcc().gccEntryPoint), "--omagic"};
  appendAll(list, formattedIOSymbols(context));
  appendAll(list, linkerWarningOptions(context));
  appendAll(list, additionalOptions);
  appendAll(list, armOptions(context));
  if (context.yes(context.system->standard().buildRemoveUnusedSymbols)) list.push_back("--gc-sections");
  list.push_back("-T" + script);
  appendAll(list, mapFileOptions(context, output));
  appendAll(list, symbolOptions(context));
  appendAll(list, {"-o", context.toolPath(output)});
  appendAll(list, trailingOptions(context));
  if (indirectFile) {
    list.push_back("@" + *indirectFile);
  } else {
    list.push_back("--start-group");
    appendAll(list, inputs);
    list.push_back("--end-group");
  }
  return list;
}

bool runLinkTool(ARMProjectSystem& system, ProjectElement& project, const std::string& configuration,
                 const std::string& output, const Arguments& objects, const LinkDescriptions& descriptions,
                 uint32_t flags, const PatchCommandRunner& runPatchCommand, Builder& builder) {
  const CompileContext context = makeCompileContext(system, project, configuration, BuildKind::Link);
  const std::string outputPath = absolutePath(output, context.projectDirectory);
  StepFilesGuard guard(builder, linkStepFiles(context, output, descriptions.linkerScript.empty()));

  std::string script;
  std::string generatedScript;
  if (!descriptions.linkerScript.empty()) {
    script = context.toolPath(relativePath(context.projectDirectory, descriptions.linkerScript));
  } else {
    generatedScript = generatedScriptName(context, output);
    script = generatedScript;
    if (!runLinkerScriptStep(context, descriptions, script, flags, builder)) return false;
  }

  std::string failedFile;
  std::optional<Arguments> additionalOptions = additionalLinkOptions(context, failedFile);
  if (!additionalOptions) return fail(builder, optionsFileError(failedFile));

  Arguments inputs;
  for (const std::string& object : objects) inputs.push_back(pathArgument(context.expand(object)));
  if (context.yes(system.standard().linkIncludeStandardLibraries)) {
    bool withTransport = true;
    if (context.value(system.arm().armLinkDebugioType) == "DCC" && !coreHasDCC(context.target)) {
      builder.errorMessage("DebugIO error, core doesn't have a DCC");
      withTransport = false;
    }
    appendAll(inputs, standardLibraryInputs(context, withTransport));
  }

  std::optional<std::string> indirectFile;
  if (context.yes(system.ambervale().armLinkerIndirectFile)) {
    indirectFile = toolIndirectFileName(context, output);
    const std::string path = absolutePath(*indirectFile, context.projectDirectory);
    if (!writeToolIndirectFile(path, inputs, true)) return fail(builder, "Cannot open file: " + path);
  }

  builder.beginStep(&project, "Linking " + fileName(output), configuration);
  if (!run(builder, context, linkCommand(context, output, script, inputs, indirectFile, *additionalOptions),
           outputPath)) {
    return false;
  }
  if (!runPostLinkTools(context, output, generatedScript, runPatchCommand, builder)) return false;
  guard.commit();
  builder.endStep(&project, configuration);
  return true;
}

}  // namespace tidewater
