#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "build/build_status.h"

namespace tidewater {

class DiagnosticParser;
class ProjectElement;

/// The report-and-run interface the build walk talks to: it brackets each
/// step with beginStep/endStep, runs the step's commands through runCommand
/// and reports through the four message kinds. A command that fails sets
/// the attached BuildStatus's failed flag (when one is attached).
class Builder {
 public:
  virtual ~Builder() = default;

  /// Announces a step of "node" ("text" names it); later lines are nested.
  virtual void beginStep(ProjectElement* node, const std::string& text,
                         const std::string& configuration) = 0;
  virtual void endStep(ProjectElement* node, const std::string& configuration) = 0;

  /// Runs one command in "workingDirectory" (the current directory when
  /// empty) and waits for it. "outputFile" (may be empty) names what the
  /// command writes: its directory is created first, and the file is removed
  /// when the command fails. Returns false when the command failed.
  virtual bool runCommand(const std::string& workingDirectory,
                          const std::vector<std::string>& arguments,
                          const std::string& outputFile) = 0;
  /// Starts a command without waiting; pollCommand reports its end. The base
  /// runs it to completion.
  virtual bool startCommand(const std::string& workingDirectory,
                            const std::vector<std::string>& arguments,
                            const std::string& outputFile) {
    return runCommand(workingDirectory, arguments, outputFile);
  }
  /// True when the command started last has finished.
  virtual bool pollCommand() { return true; }

  virtual void errorMessage(const std::string& text) = 0;
  virtual void informationMessage(const std::string& text) = 0;
  virtual void upToDateMessage(const std::string& text) = 0;
  virtual void detailMessage(const std::string& text) = 0;

  /// False when commands are only shown: steps then leave files alone.
  virtual bool runsCommands() const { return true; }

  virtual DiagnosticParser* diagnosticParser() const { return nullptr; }
  /// Whether a produced output is acceptable; a rejected link output is
  /// removed by the walk.
  virtual bool validateOutput(const std::string& /*path*/) { return true; }

  /// Called while waiting for a child.
  virtual void idle() {}
  /// Waits until one of "builders" has output from its running command.
  virtual void waitForOutput(std::span<Builder* const> /*builders*/) {}
  /// One line of a command's standard output or standard error.
  virtual void outputLine(bool /*isStandardOutput*/, std::string_view /*line*/) {}

  /// Links the flags that a failed command sets (not owned; may be null).
  void attachStatus(BuildStatus* status) { status_ = status; }
  BuildStatus* status() const { return status_; }

 protected:
  void markFailed() {
    if (status_ != nullptr) status_->failed = true;
  }
  void markStopped() {
    if (status_ != nullptr) status_->stopRequested = true;
  }

 private:
  BuildStatus* status_ = nullptr;
};

}  // namespace tidewater
