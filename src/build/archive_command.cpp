#include "build/archive_command.h"

#include "base/path.h"
#include "build/builder.h"
#include "build/compile_command.h"
#include "build/tool_indirect_file.h"
#include "project/arm_project_system.h"

namespace tidewater {

std::vector<StepFile> archiveStepFiles(const CompileContext& context, const std::string& output) {
  std::vector<StepFile> files = {{absolutePath(output, context.projectDirectory), "library"}};
  if (context.yes(context.system->ambervale().armArchiverIndirectFile)) {
    files.push_back({absolutePath(toolIndirectFileName(context, output), context.projectDirectory),
                     "archiver indirect file"});
  }
  return files;
}

bool runArchiveTool(ARMProjectSystem& system, ProjectElement& project, const std::string& configuration,
                    const std::string& output, const std::vector<std::string>& objects, Builder& builder) {
  const CompileContext context = makeCompileContext(system, project, configuration, BuildKind::Archive);
  const std::string outputPath = absolutePath(output, context.projectDirectory);
  StepFilesGuard guard(builder, archiveStepFiles(context, output));
  // "ar -r" would add to an old archive's members; only a regular file is
  // ever removed, so a device output stays what it is.
  if (builder.runsCommands()) removeRegularFile(outputPath);

  std::vector<std::string> inputs;
  inputs.reserve(objects.size());
  for (const std::string& object : objects) inputs.push_back(pathArgument(object));
  std::vector<std::string> arguments = {context.toolchainDirectory + "/ar", "-rcs", context.toolPath(output)};
  if (context.yes(system.ambervale().armArchiverIndirectFile)) {
    const std::string indirectFile = toolIndirectFileName(context, output);
    const std::string path = absolutePath(indirectFile, context.projectDirectory);
    if (!writeToolIndirectFile(path, inputs, false)) {
      builder.errorMessage("Cannot open file: " + path);
      builder.markFailed();
      return false;
    }
    arguments.push_back("@" + indirectFile);
  } else {
    arguments.insert(arguments.end(), inputs.begin(), inputs.end());
  }

  builder.beginStep(&project, "Archiving '" + fileName(output) + "'", configuration);
  if (!builder.runCommand(context.projectDirectory, arguments, outputPath) || builder.stopped()) return false;
  guard.commit();
  builder.endStep(&project, configuration);
  return true;
}

}  // namespace tidewater
