#include "build/archive_command.h"

#include <cstdio>

#include "base/path.h"
#include "build/build_status.h"
#include "build/builder.h"
#include "build/compile_command.h"
#include "build/tool_indirect_file.h"
#include "project/arm_project_system.h"

namespace tidewater {

bool runArchiveTool(ARMProjectSystem& system, ProjectElement& project, const std::string& configuration,
                    const std::string& output, const std::vector<std::string>& objects, Builder& builder,
                    BuildStatus& status) {
  const CompileContext context = makeCompileContext(system, project, configuration, BuildKind::Archive);
  const std::string outputPath = absolutePath(output, context.projectDirectory);
  if (builder.runsCommands()) std::remove(outputPath.c_str());

  std::vector<std::string> arguments = {context.toolchainDirectory + "/ar", "-rcs", context.toolPath(output)};
  if (context.yes(system.ambervale().armArchiverIndirectFile)) {
    const std::string indirectFile = context.intermediateFile(baseName(output) + ".ind");
    const std::string path = absolutePath(indirectFile, context.projectDirectory);
    if (!writeToolIndirectFile(path, objects, false)) {
      builder.errorMessage("Cannot open file: " + path);
      status.failed = true;
      return false;
    }
    arguments.push_back("@" + indirectFile);
  } else {
    arguments.insert(arguments.end(), objects.begin(), objects.end());
  }

  builder.beginStep(&project, "Archiving '" + fileName(output) + "'", configuration);
  if (!builder.runCommand(context.projectDirectory, arguments, outputPath)) status.failed = true;
  if (status.failed || status.stopRequested) return false;
  builder.endStep(&project, configuration);
  return true;
}

}  // namespace tidewater
