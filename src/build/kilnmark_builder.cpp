#include "build/kilnmark_builder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <filesystem>
#include <utility>

#include "base/path.h"
#include "build/builtin_commands.h"
#include "build/interruption.h"
#include "build/step_files.h"
#include "project/project_element.h"

namespace tidewater {

namespace {

// The pause between polls while a child runs.
constexpr unsigned kIdleMicroseconds = 1;

std::string joinArguments(const std::vector<std::string>& arguments) {
  std::string line;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (i > 0) line += ' ';
    line += arguments[i];
  }
  return line;
}

// A project without a name reads "<NULL>", like any unnamed node, and gets
// no step line: the driver's project is one.
std::string projectName(const ProjectElement* node) {
  const ProjectElement* project = node != nullptr ? node->nearestProject() : nullptr;
  const std::string* name = project != nullptr ? project->nodeAttribute("Name") : nullptr;
  return name != nullptr && !name->empty() ? *name : "<NULL>";
}

// The build removes its intermediate files with "rm" after every compile;
// the installation's rm is the system's, so a removal of plain paths is done
// here, with its messages and exit status, instead of in one more process.
bool isPlainRemoval(const std::vector<std::string>& arguments) {
  if (arguments.size() < 2 || arguments.front() != "rm") return false;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    if (arguments[i].empty() || arguments[i].front() == '-') return false;
  }
  return true;
}

}  // namespace

bool KilnmarkBuilder::removeFiles(const std::string& workingDirectory, const std::vector<std::string>& arguments) {
  bool removed = true;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const std::string path = absolutePath(arguments[i], workingDirectory);
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
      outputLine(false, "rm: cannot remove '" + arguments[i] + "': " + std::strerror(errno));
      removed = false;
      continue;
    }
    // The build only ever removes files it wrote: never a directory, a
    // device or what a link points to.
    const bool regular = S_ISREG(info.st_mode);
    if (regular && ::unlink(path.c_str()) == 0) continue;
    const std::string reason =
        S_ISDIR(info.st_mode) ? "Is a directory" : regular ? std::strerror(errno) : "Not a regular file";
    outputLine(false, "rm: cannot remove '" + arguments[i] + "': " + reason);
    removed = false;
  }
  return removed;
}

KilnmarkBuilder::KilnmarkBuilder(KilnmarkBuilderSettings settings)
    : settings_(std::move(settings)),
      errorStream_(settings_.outputToStandardOutput ? settings_.standardOutput : settings_.standardError),
      process_([this](bool isStandardOutput, std::string_view line) { outputLine(isStandardOutput, line); },
               kIdleMicroseconds) {}

void KilnmarkBuilder::beginStep(ProjectElement* node, const std::string& text,
                                const std::string& configuration) {
  indentation_ += 2;
  const std::string project = projectName(node);
  if (project == "<NULL>") return;
  messageLine(text + " from project '" + project + "' in configuration '" + configuration + "'");
}

void KilnmarkBuilder::endStep(ProjectElement*, const std::string&) { indentation_ -= 2; }

bool KilnmarkBuilder::runCommand(const std::string& workingDirectory,
                                 const std::vector<std::string>& arguments, const std::string& outputFile,
                                 const std::string& program) {
  // A relative output name is taken from where the command runs.
  currentOutputFile_ = outputFile.empty() ? std::string() : absolutePath(outputFile, workingDirectory);
  if (!currentOutputFile_.empty()) {
    std::error_code ignored;  // the tool reports an output it cannot write
    std::filesystem::create_directories(directoryPart(currentOutputFile_), ignored);
  }
  if (settings_.verbose) messageLine(joinArguments(arguments));
  if (settings_.showOnly) return true;
  if (interruption() != 0) {
    markStopped();
    return false;
  }
  if (!settings_.binDirectory.empty() && isPlainRemoval(arguments)) {
    if (removeFiles(workingDirectory, arguments)) return true;
    commandFailed();
    return false;
  }
  std::vector<std::string> command = arguments;
  mapBuiltinCommands(command, settings_.binDirectory);
  const std::string shown = command.empty() ? std::string() : command.front();
  const int status = process_.run(std::move(command), workingDirectory, program);
  if (interruption() != 0) {
    // The run ends by the signal: the step removes its files, nothing is
    // counted or reported.
    markStopped();
    return false;
  }
  if (status == 0) return true;
  commandFailed();
  if (status == -1) messageLine("can't execute command \"" + shown + "\"");
  return false;
}

void KilnmarkBuilder::commandFailed() {
  if (!currentOutputFile_.empty()) removeRegularFile(currentOutputFile_);
  markFailed();
  ++errorCount_;
}

void KilnmarkBuilder::outputLine(bool isStandardOutput, std::string_view line) {
  std::ostream& stream = isStandardOutput ? *settings_.standardOutput : *errorStream_;
  if (settings_.jobNumber > 0) stream << settings_.jobNumber << '>';
  stream << line << '\n' << std::flush;
}

void KilnmarkBuilder::messageLine(std::string_view text) {
  std::ostream& stream = *settings_.standardOutput;
  if (settings_.jobNumber > 0) {
    stream << settings_.jobNumber << '>' << text << '\n' << std::flush;
    return;
  }
  std::string line(static_cast<std::size_t>(indentation_ > 0 ? indentation_ : 0), ' ');
  for (const char c : text) {
    if (c >= 0x20 && c < 0x7f) line += c;
  }
  line += '\n';
  stream << line << std::flush;
}

}  // namespace tidewater
