#pragma once

#include <string>
#include <vector>

#include "build/build_status.h"

namespace tidewater {

class ProjectElement;

/// The report-and-run interface the build walk talks to: it brackets each
/// step with beginStep/endStep, runs the step's commands through runCommand
/// and reports through the four message kinds. It owns the build's status:
/// a failed command marks it failed, an interrupted one stopped, and a step
/// that fails without a command marks it through markFailed.
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
  /// when the command fails. Returns false when the command failed (the
  /// status then says failed) or was interrupted (the status says stopped).
  /// A non-empty "program" is started in place of arguments[0], which is
  /// still what the command shows and the name the program sees.
  virtual bool runCommand(const std::string& workingDirectory,
                          const std::vector<std::string>& arguments,
                          const std::string& outputFile, const std::string& program) = 0;
  bool runCommand(const std::string& workingDirectory, const std::vector<std::string>& arguments,
                  const std::string& outputFile) {
    return runCommand(workingDirectory, arguments, outputFile, {});
  }

  virtual void errorMessage(const std::string& text) = 0;
  virtual void informationMessage(const std::string& text) = 0;
  virtual void upToDateMessage(const std::string& text) = 0;
  virtual void detailMessage(const std::string& text) = 0;

  /// False when commands are only shown: steps then leave files alone.
  virtual bool runsCommands() const = 0;

  const BuildStatus& status() const { return status_; }
  bool stopped() const { return status_.stopped(); }

  /// A step failed; its message has been given. Nothing more runs.
  void markFailed() { status_.failed = true; }

 protected:
  void markStopped() { status_.stopRequested = true; }

 private:
  BuildStatus status_;
};

}  // namespace tidewater
