#pragma once

#include <string>
#include <string_view>

namespace tidewater {

/// An optional reader of tool output that a builder consults before printing
/// a line: it may take lines over (to recognise and reformat diagnostics).
/// A builder tells it when a command starts and when one has finished.
class DiagnosticParser {
 public:
  virtual ~DiagnosticParser() = default;

  /// A command is about to run in "workingDirectory"; "toolName" is the last
  /// path component of its first argument.
  virtual void commandStarting(const std::string& workingDirectory, const std::string& toolName) = 0;
  /// True when the parser has taken the line and it must not be printed.
  virtual bool takeLine(bool isStandardOutput, std::string_view line) = 0;
  /// The command started last ended successfully.
  virtual void commandFinished() = 0;
};

}  // namespace tidewater
