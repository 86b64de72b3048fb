#include "driver/parsed_settings.h"

#include <gtest/gtest.h>

#include <sstream>

#include "driver/kilnmark_arg_parse.h"
#include "project/arm_project_system.h"

namespace tidewater {
namespace {

// Parses a command line into a fresh project and writes the settings that
// follow from it.
struct ParsedProject {
  explicit ParsedProject(std::vector<const char*> arguments) {
    parser.parse(static_cast<int>(arguments.size()), arguments.data(), 1);
    writeParsedSettings(system, *project, parser);
  }

  std::string value(const PropertyClass* property) const {
    return system.lookUp(project, *property, "Common");
  }

  std::ostringstream errors;
  ErrorReporter reporter{"cc", errors};
  MacroTable macros;
  ARMProjectSystem system{macros, "", {}};
  ProjectElement* solution = &system.newSolution("", "/w");
  ProjectElement* project = &system.newProject(*solution, "", "/w", "");
  KilnmarkArgParse parser{reporter, system, *project, ""};
};

TEST(ParsedSettingsTest, CompileOnlyNamesEachObjectAfterItsInput) {
  ParsedProject parsed({"-c", "a.c"});
  const auto& general = parsed.system.general();
  EXPECT_EQ(parsed.value(general.projectType), "Object file");
  EXPECT_EQ(parsed.value(general.buildObjectFileName), "$(InputName)$(OBJ)");
  EXPECT_EQ(parsed.value(general.buildIntermediateDirectory), "");
  EXPECT_EQ(parsed.system.expandForNode(parsed.parser.currentFile(), "Common",
                                         parsed.value(general.buildObjectFileName)),
            "a.o");

  ParsedProject named({"-c", "a.c", "-o", "x.o"});
  EXPECT_EQ(named.value(general.buildObjectFileName), "x.o");
  EXPECT_EQ(named.value(general.buildIntermediateDirectory), ".");
  ParsedProject preprocess({"-E", "-ar", "a.c"});
  EXPECT_EQ(preprocess.value(general.projectType), "Object file");
}

TEST(ParsedSettingsTest, LibrariesAndExecutablesShareTheStoredOutputName) {
  ParsedProject library({"-ar", "-o", "out/lib.a", "x.o"});
  const auto& general = library.system.general();
  EXPECT_EQ(library.value(general.projectType), "Library");
  EXPECT_EQ(library.value(general.libraryOutputFileName), "out/lib.a");
  EXPECT_EQ(library.value(general.executableOutputFileName), "out/lib.a");
  EXPECT_EQ(library.value(general.buildIntermediateDirectory), "out");

  ParsedProject executable({"-o", "app.elf", "a.c"});
  EXPECT_EQ(executable.value(general.projectType), "Executable");
  EXPECT_EQ(executable.value(general.executableOutputFileName), "app.elf");
  EXPECT_EQ(executable.value(general.buildIntermediateDirectory), ".");
}

TEST(ParsedSettingsTest, FlagPropertiesWinOverTheSameNamesGivenWithZ) {
  ParsedProject parsed({"-c", "-zbuild_debug_information=Yes", "-zarm_keep_assembly=Yes",
                        "-zarm_supply_absolute_file_path=Yes", "-kpp", "-g", "-zc_enforce_ansi_checking=Yes"});
  const auto& system = parsed.system;
  EXPECT_EQ(parsed.value(system.general().buildDebugInformation), "Yes");
  EXPECT_EQ(parsed.value(system.ambervale().armKeepAssembly), "No");
  EXPECT_EQ(parsed.value(system.ambervale().armSupplyAbsoluteFilePath), "No");
  EXPECT_EQ(parsed.value(system.ambervale().armKeepPreprocessorOutput), "Yes");
  EXPECT_EQ(parsed.value(system.ambervale().keepLinkerScriptFile), "No");
  EXPECT_EQ(parsed.value(system.standard().cEnforceAnsiChecking), "No");
  EXPECT_EQ(parsed.errors.str(), "");
}

}  // namespace
}  // namespace tidewater
