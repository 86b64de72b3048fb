#include "driver/driver.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/h_exception.h"
#include "base/path.h"
#include "driver/error_reporter.h"
#include "base/installation.h"
#include "driver/kilnmark_arg_parse.h"
#include "driver/parsed_settings.h"
#include "driver/scratch_directory.h"
#include "macro/system_macros.h"
#include "macro/macro_table.h"
#include "build/build_walk.h"
#include "build/compile_command.h"
#include "build/idler.h"
#include "build/interruption.h"
#include "build/kilnmark_builder.h"
#include "build/output_conflicts.h"
#include "build/step_files.h"
#include "project/arm_project_system.h"

namespace tidewater {

namespace {

// Where "-y" looks for project templates.
const std::string kProjectTemplateSearchList =
    "$(StudioDir)/targets/$(PROJECT_TEMPLATE_FILE:project_templates).xml;"
    "$(TargetsDir)/*/project_templates*.xml;$(TargetsDir)/*/*/project_templates*.xml";

// "-E": the last input file is preprocessed into a file, which is copied
// to standard output and removed. A tool that left no file has failed and
// is reported through the builder's count; standard output that cannot take
// the text is an error of its own.
bool preprocessToStandardOutput(ARMProjectSystem& system, ProjectElement* file, KilnmarkBuilder& builder,
                                ErrorReporter& reporter) {
  if (file == nullptr) {
    reporter.error() << "-E needs an input file" << std::endl;
    return false;
  }
  const std::string output = preprocessOneFile(system, *file, "Common", builder);
  std::FILE* preprocessed = output.empty() || interruption() != 0 ? nullptr : std::fopen(output.c_str(), "r");
  if (preprocessed == nullptr) return true;
  char chunk[1024];
  size_t count = 0;
  bool written = true;
  while (written && (count = std::fread(chunk, 1, sizeof chunk, preprocessed)) > 0) {
    written = std::fwrite(chunk, 1, count, stdout) == count;
  }
  std::fclose(preprocessed);
  written = std::fflush(stdout) == 0 && written && std::ferror(stdout) == 0;
  const int reason = errno;
  removeRegularFile(output);
  if (!written) {
    reporter.error() << "cannot write the preprocessed text to standard output: " << std::strerror(reason)
                     << std::endl;
    return false;
  }
  return true;
}

// An output that is a device or a pipe ("-o /dev/null") has no directory
// for the intermediate files beside it, and no map file to go with it:
// those go to a private directory, and no map is written.
bool outputIsSpecialFile(const std::string& output) {
  struct stat info {};
  return !output.empty() && ::stat(output.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
}

bool moveIntermediatesAside(ARMProjectSystem& system, ProjectElement& project, ScratchDirectory& scratch,
                            ErrorReporter& reporter) {
  if (!scratch.create()) {
    reporter.error() << "cannot make a directory for intermediate files: " << std::strerror(errno) << std::endl;
    return false;
  }
  system.write(project, *system.general().buildIntermediateDirectory, "Common", scratch.path());
  system.write(project, *system.standard().linkerMapFile, "Common", "No");
  system.invalidateCaches();
  return true;
}

// A name as a terminal shows it: a stray carriage return or other control
// byte is written as an escape, so that the user sees why a name is odd.
std::string visibleName(const std::string& name) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string text;
  for (const unsigned char c : name) {
    if (c == '\r') {
      text += "\\r";
    } else if (c == '\t') {
      text += "\\t";
    } else if (c < 0x20 || c == 0x7f) {
      text += {'\\', 'x', kHex[c >> 4], kHex[c & 0xf]};
    } else {
      text += static_cast<char>(c);
    }
  }
  return text;
}

// Input files the build would pass by in silence are named, so that a
// mistyped suffix is seen.
void warnAboutFilesOfUnknownType(BuildWalk& walk, ProjectElement& project, ErrorReporter& reporter) {
  for (const std::string& name : walk.filesOfUnknownType(project, "Common")) {
    reporter.warning() << "'" << visibleName(name)
                       << "': file type not recognised, so the build leaves it out (-x gives a file its type)"
                       << std::endl;
  }
}

// Nothing runs when the build would overwrite one of its inputs or write
// one file twice; every such file is reported.
bool checkOutputs(ARMProjectSystem& system, BuildWalk& walk, ProjectElement& project, const KilnmarkArgParse& parser,
                  uint32_t flags, ErrorReporter& reporter) {
  BuildPlan plan = walk.plan(project, "Common", flags);
  for (const std::string& file : parser.argumentFiles()) plan.inputs.push_back(absolutePath(file, project.directory));
  if (parser.preprocessOnly()) {
    plan.outputs.clear();
    plan.errors.clear();
    if (ProjectElement* file = parser.currentFile()) {
      plan.outputs.push_back(preprocessOneFileOutput(system, *file, "Common"));
    }
  }
  bool clean = plan.errors.empty();
  for (const std::string& error : plan.errors) reporter.error() << error << std::endl;
  for (const std::string& conflict : outputConflicts(plan, project.directory)) {
    reporter.error() << conflict << std::endl;
    clean = false;
  }
  return clean;
}

// The part of the run that may throw; runDriver maps what escapes.
// The project system of a run lives until the process ends: the driver
// exits right after its run, and tearing down the catalogue's few hundred
// classes and the project tree would cost a tenth of a short run. The
// systems stay reachable, so leak checkers count them as owned.
ARMProjectSystem& newProcessLifetimeSystem(MacroTable& macros) {
  static auto* systems = new std::vector<std::unique_ptr<ARMProjectSystem>>();
  systems->push_back(std::make_unique<ARMProjectSystem>(macros, kProjectTemplateSearchList,
                                                        std::vector<std::string>{}));
  return *systems->back();
}

int runSequence(int argc, const char* const* argv, std::ostream& errorStream) {
  // The run's own table: the project system refers to it, and neither is
  // used once the run returns.
  MacroTable macros;
  defineSystemMacros(macros, argc > 0 ? argv[0] : nullptr);

  ErrorReporter reporter(argc > 0 && argv[0] != nullptr ? argv[0] : "", errorStream);
  ARMProjectSystem& system = newProcessLifetimeSystem(macros);
  const std::string workingDirectory = currentDirectory();
  ProjectElement& solution = system.newSolution("", workingDirectory);
  ProjectElement& project = system.newProject(solution, "", workingDirectory, "");
  KilnmarkArgParse parser(reporter, system, project, kProjectTemplateSearchList);

  if (argc < 2) {
    parser.onHelp("-help", "");
  } else {
    parser.parse(argc - 1, argv + 1, 1);
  }
  if (const std::optional<int> status = parser.exitRequest()) return *status;
  parser.finishWrites();

  if (!parser.compileOnly() && !parser.preprocessOnly() && parser.outputFileName().empty()) {
    reporter.error() << "-o option required" << std::endl;
  }
  if (reporter.errorCount() != 0) return 1;

  writeParsedSettings(system, project, parser);
  ScratchDirectory scratch;
  if (outputIsSpecialFile(parser.outputFileName()) && !moveIntermediatesAside(system, project, scratch, reporter)) {
    return 1;
  }

  // Every step is forced; without a dependency file of the user's the
  // compiles write their own.
  uint32_t flags = 0x30A;
  if (!parser.dependencyFileName().empty()) {
    system.write(project, *system.standard().buildDependencyFileName, "Common", parser.dependencyFileName());
    flags = 0x10A;
  }
  KilnmarkBuilder builder({.jobNumber = -1,
                           .verbose = parser.verbose() || parser.showOnly(),
                           .showOnly = parser.showOnly(),
                           .outputToStandardOutput = parser.outputToStandardOutput(),
                           .binDirectory = binDirectory()});
  Idler idler;
  BuildWalk walk(system, builder, idler);
  warnAboutFilesOfUnknownType(walk, project, reporter);
  if (!checkOutputs(system, walk, project, parser, flags, reporter)) return 1;

  catchInterruptions();
  bool preprocessed = true;
  if (parser.preprocessOnly()) {
    preprocessed = preprocessToStandardOutput(system, parser.currentFile(), builder, reporter);
  } else {
    walk.buildNode(project, "Common", flags);
  }
  if (interruption() != 0) {
    scratch.remove();
    endByInterruption();
  }
  if (!preprocessed) return 1;

  if (builder.errorCount() != 0) {
    errorStream << "There were " << builder.errorCount() << " build errors" << std::endl;
    return 1;
  }
  // A step can fail without a failed command (a link that cannot be
  // formed); its message is printed already, and the run must not succeed.
  return builder.status().failed ? 1 : 0;
}

}  // namespace

int runDriver(int argc, const char* const* argv, std::ostream& errorStream) {
  try {
    return runSequence(argc, argv, errorStream);
  } catch (const HException& error) {
    errorStream << error.heading() << ": " << error.message() << std::endl;
  } catch (...) {
    errorStream << "Internal error detected" << std::endl;
  }
  return 1;
}

}  // namespace tidewater
