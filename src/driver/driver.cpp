#include "driver/driver.h"

#include <exception>

#include "base/h_exception.h"
#include "base/path.h"
#include "base/solution_load_error.h"
#include "driver/error_reporter.h"
#include "driver/exit_request.h"
#include "driver/host_environment.h"
#include "driver/installation.h"
#include "driver/kilnmark_arg_parse.h"
#include "driver/parsed_settings.h"
#include "driver/system_macros.h"
#include "macro/macro_table.h"
#include "project/arm_project_system.h"

namespace tidewater {

namespace {

// Where "-y" looks for project templates.
const std::string kProjectTemplateSearchList =
    "$(StudioDir)/targets/$(PROJECT_TEMPLATE_FILE:project_templates).xml;"
    "$(TargetsDir)/*/project_templates*.xml;$(TargetsDir)/*/*/project_templates*.xml";

// The part of the run that may throw; runDriver maps what escapes.
int runSequence(int argc, const char* const* argv, std::ostream& errorStream) {
  MacroTable& macros = MacroTable::instance();
  registerSystemMacros(macros, {"", userDataDirectory(), homeDirectory()});
  setUpDirectories(executablePath(argc > 0 ? argv[0] : nullptr));
  setInstallationMacros(macros, installationDirectory());

  ErrorReporter reporter(argc > 0 && argv[0] != nullptr ? argv[0] : "", errorStream);
  ARMProjectSystem system(macros, kProjectTemplateSearchList, {});
  const std::string workingDirectory = currentDirectory();
  ProjectElement& solution = system.newSolution("", workingDirectory);
  ProjectElement& project = system.newProject(solution, "", workingDirectory, "");
  KilnmarkArgParse parser(reporter, system, project, kProjectTemplateSearchList);

  if (argc < 2) parser.onHelp("-help", "");

  parser.parse(argc - 1, argv + 1, 1);

  if (!parser.compileOnly() && !parser.preprocessOnly() && parser.outputFileName().empty()) {
    reporter.error() << "-o option required" << std::endl;
  }
  if (reporter.errorCount() != 0) return 1;

  writeParsedSettings(system, project, parser);
  return 0;
}

}  // namespace

int runDriver(int argc, const char* const* argv, std::ostream& errorStream) {
  try {
    return runSequence(argc, argv, errorStream);
  } catch (const ExitRequest& request) {
    return request.status;
  } catch (const HException& exception) {
    errorStream << "error: " << exception.message() << std::endl;
  } catch (const SolutionLoadError& loadError) {
    if (loadError.isXmlError()) {
      errorStream << "load error: bad XML file - " << loadError.message() << std::endl;
    } else {
      errorStream << "load error: " << loadError.fileName() << loadError.message() << std::endl;
    }
  } catch (...) {
    errorStream << "Internal error detected" << std::endl;
  }
  return 1;
}

}  // namespace tidewater
