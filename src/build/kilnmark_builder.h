#pragma once

#include <cstdint>
#include <iostream>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "build/builder.h"
#include "build/idler.h"
#include "build/process.h"

namespace tidewater {

class DiagnosticParser;

/// How the driver sets up its builder.
struct KilnmarkBuilderSettings {
  int32_t jobNumber = -1;  ///< 1 or more prefixes every printed line with "<n>>"
  bool verbose = false;    ///< print each command line before running it
  bool showOnly = false;   ///< print command lines, run nothing
  bool outputToStandardOutput = false;  ///< tools' standard-error lines go to standard output
  DiagnosticParser* diagnosticParser = nullptr;  ///< not owned; may take over tool lines
  bool runningAllowed = true;
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
/// counts failed commands. One child runs at a time.
class KilnmarkBuilder : public Builder, private Process, public Idler {
 public:
  explicit KilnmarkBuilder(KilnmarkBuilderSettings settings);

  void beginStep(ProjectElement* node, const std::string& text, const std::string& configuration) override;
  void endStep(ProjectElement* node, const std::string& configuration) override;

  bool runCommand(const std::string& workingDirectory, const std::vector<std::string>& arguments,
                  const std::string& outputFile) override;
  bool startCommand(const std::string& workingDirectory, const std::vector<std::string>& arguments,
                    const std::string& outputFile) override;
  bool pollCommand() override;

  void errorMessage(const std::string& text) override { messageLine(text); }
  void informationMessage(const std::string& text) override { messageLine(text); }
  void upToDateMessage(const std::string& text) override { messageLine(text); }
  void detailMessage(const std::string& text) override { messageLine(text); }

  DiagnosticParser* diagnosticParser() const override { return settings_.diagnosticParser; }
  bool runsCommands() const override { return settings_.runningAllowed && !settings_.showOnly; }

  /// Sleeps one microsecond (as Builder, Process and Idler).
  void idle() override;
  void poll() override;
  /// Waits for output of this builder's running command.
  void nodeStarted(ProjectElement* node, const std::string& configuration) override;

  /// Waits up to a second for output from the running command of any of
  /// "builders" (KilnmarkBuilders; others are ignored); reports a time-out or
  /// a poll failure on standard output.
  void waitForOutput(std::span<Builder* const> builders) override;

  /// Prints one line of a tool's output: standard output lines to standard
  /// output, standard error lines to the error stream.
  void outputLine(bool isStandardOutput, std::string_view line) override;

  /// The number of failed commands.
  int32_t errorCount() const { return errorCount_; }
  int32_t indentation() const { return indentation_; }

 private:
  /// "rm" of plain paths, done in this process; false when one failed.
  bool removeFiles(const std::string& workingDirectory, const std::vector<std::string>& arguments);
  bool execute(const std::string& workingDirectory, const std::vector<std::string>& arguments,
               const std::string& outputFile, bool wait);
  void commandFailed();
  /// A report line: indented, printable ASCII only (or "<n>>text" under a
  /// job number).
  void messageLine(std::string_view text);

  KilnmarkBuilderSettings settings_;
  std::ostream* errorStream_;
  int32_t indentation_ = 0;
  int32_t errorCount_ = 0;
  std::string currentOutputFile_;  ///< absolute, or empty when the command names none
  bool commandPending_ = false;    ///< started without waiting, not yet seen to end
};

}  // namespace tidewater
