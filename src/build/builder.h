#pragma once

#include <string>
#include <vector>

#include "build/build_status.h"

namespace tidewater {

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

  virtual void errorMessage(const std::string& text) = 0;
  virtual void informationMessage(const std::string& text) = 0;
  virtual void upToDateMessage(const std::string& text) = 0;
  virtual void detailMessage(const std::string& text) = 0;

  /// False when commands are only shown: steps then leave files alone.
  virtual bool runsCommands() const = 0;

  /// Links the flags that a failed command sets (not owned; may be null).
  void attachStatus(BuildStatus* status) { status_ = status; }

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
