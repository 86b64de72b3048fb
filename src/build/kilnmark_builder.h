#pragma once

#include <cstdint>
#include <iostream>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "build/builder.h"
#include "build/process.h"

namespace tidewater {

/// How the driver sets up its builder.
struct KilnmarkBuilderSettings {
  int32_t jobNumber = -1;  ///< 1 or more prefixes every printed line with "<n>>"
  bool verbose = false;    ///< print each command line before running it
  bool showOnly = false;   ///< print command lines, run nothing
  bool outputToStandardOutput = false;  ///< tools' standard-error lines go to standard output
  /// Where the built-in command names ("rm", "cp", ...) are found: the
  /// installation's bin directory. Empty leaves the names to the PATH.
  std::string binDirectory;
  std::ostream* standardOutput = &std::cout;
  std::ostream* standardError = &std::cerr;
};

/// The driver's builder: runs each command as a child process, prints
/// command lines (verbose), messages (indented by step nesting) and the
/// tools' output line by line, maps the built-in command names into the
/// installation's bin directory, removes a failed command's output file and
/// counts failed commands. It owns the Process that runs its children, one
/// at a time, and receives their output lines from it.
class KilnmarkBuilder : public Builder {
 public:
  explicit KilnmarkBuilder(KilnmarkBuilderSettings settings);

  void beginStep(ProjectElement* node, const std::string& text, const std::string& configuration) override;
  void endStep(ProjectElement* node, const std::string& configuration) override;

  using Builder::runCommand;
  bool runCommand(const std::string& workingDirectory, const std::vector<std::string>& arguments,
                  const std::string& outputFile, const std::string& program) override;

  void errorMessage(const std::string& text) override { messageLine(text); }
  void informationMessage(const std::string& text) override { messageLine(text); }
  void upToDateMessage(const std::string& text) override { messageLine(text); }
  void detailMessage(const std::string& text) override { messageLine(text); }

  bool runsCommands() const override { return !settings_.showOnly; }

  /// The number of failed commands.
  int32_t errorCount() const { return errorCount_; }

 private:
  /// "rm" of plain paths, done in this process; false when one failed.
  bool removeFiles(const std::string& workingDirectory, const std::vector<std::string>& arguments);
  void commandFailed();
  /// Prints one line of a tool's output: standard output lines to standard
  /// output, standard error lines to the error stream.
  void outputLine(bool isStandardOutput, std::string_view line);
  /// A report line: indented, printable ASCII only (or "<n>>text" under a
  /// job number).
  void messageLine(std::string_view text);

  KilnmarkBuilderSettings settings_;
  std::ostream* errorStream_;
  int32_t indentation_ = 0;
  int32_t errorCount_ = 0;
  std::string currentOutputFile_;  ///< absolute, or empty when the command names none
  Process process_;
};

}  // namespace tidewater
