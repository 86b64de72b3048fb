#include "driver/parsed_settings.h"

#include "base/path.h"
#include "driver/kilnmark_arg_parse.h"
#include "project/arm_project_system.h"

namespace tidewater {

namespace {

const std::string kCommon = "Common";

const char* yesNo(bool flag) { return flag ? "Yes" : "No"; }

// The project's type and output names follow from -c, -E, -ar and -o.
void writeProjectShape(ARMProjectSystem& system, ProjectElement& project, const KilnmarkArgParse& parser) {
  const GeneralCatalogue& general = system.general();
  const std::string& output = parser.outputFileName();
  system.write(project, *general.buildIntermediateDirectory, kCommon,
               output.empty() ? std::string() : directoryPart(output));
  if (parser.compileOnly() || parser.preprocessOnly()) {
    system.write(project, *general.projectType, kCommon, "Object file");
    system.write(project, *general.buildObjectFileName, kCommon,
                 output.empty() ? "$(InputName)$(OBJ)" : output);
  } else if (parser.makeLibrary()) {
    system.write(project, *general.projectType, kCommon, "Library");
    system.write(project, *general.libraryOutputFileName, kCommon, output);
  } else {
    system.write(project, *general.projectType, kCommon, "Executable");
    system.write(project, *general.executableOutputFileName, kCommon, output);
  }
}

// Written after parsing, so they win over any "-z" for the same names.
void writeFlagProperties(ARMProjectSystem& system, ProjectElement& project, const KilnmarkArgParse& parser) {
  const std::pair<const PropertyClass*, bool> flags[] = {
      {system.general().buildDebugInformation, parser.debugInformation()},
      {system.standard().cEnforceAnsiChecking, parser.enforceAnsi()},
      {system.ambervale().armSupplyAbsoluteFilePath, false},
      {system.ambervale().armKeepAssembly, parser.keepAssembly()},
      {system.ambervale().keepLinkerScriptFile, parser.keepLinkerScript()},
      {system.ambervale().armKeepPreprocessorOutput, parser.keepPreprocessorOutput()},
  };
  for (const auto& [property, flag] : flags) system.write(project, *property, kCommon, yesNo(flag));
}

}  // namespace

void writeParsedSettings(ARMProjectSystem& system, ProjectElement& project,
                         const KilnmarkArgParse& parser) {
  writeProjectShape(system, project, parser);
  writeFlagProperties(system, project, parser);
  system.invalidateCaches();
}

}  // namespace tidewater
