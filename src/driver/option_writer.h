#pragma once

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "driver/error_reporter.h"

namespace tidewater {

class ProjectElement;
class ProjectSystem;
class PropertyClass;

/// Writes what the driver's options mean into the project: plain writes,
/// writes checked against a property's legal values, appends to list
/// properties, and value listings. Every write goes to configuration
/// "Common" of the project (or of the given node).
class OptionWriter {
 public:
  OptionWriter(ErrorReporter& reporter, ProjectSystem& system, ProjectElement& project);

  /// The catalogue's class of that name; an unknown name is a defect of
  /// the option table and throws HException.
  const PropertyClass& property(const std::string& name) const;

  void write(const PropertyClass& property, const std::string& value);
  void write(const std::string& property, const std::string& value);
  void writeOn(ProjectElement& node, const std::string& property, const std::string& value);

  /// Compares the value with each legal value ignoring case and stores the
  /// first match as the catalogue spells it; otherwise reports the value
  /// with the legal values one per line and leaves the property alone.
  bool writeValidated(const PropertyClass& property, const std::string& value);
  bool writeValidated(const std::string& property, const std::string& value);

  /// Appends ";" and the value to the project's own value (no inheritance).
  /// Appends are gathered and written as one value, so that many thousands
  /// of them cost time and memory in proportion to their length; every
  /// other write, and flush(), writes the gathered values first.
  void append(const std::string& property, const std::string& value);
  /// Writes the gathered appends.
  void flush();

  /// Prints each property's legal values on the reporter's stream, between
  /// newlines and joined by ", "; the parser then ends the run.
  void listValues(std::initializer_list<const char*> properties);

  ProjectSystem& system() const { return system_; }
  ProjectElement& project() const { return project_; }
  ErrorReporter& reporter() const { return reporter_; }

 private:
  ErrorReporter& reporter_;
  ProjectSystem& system_;
  ProjectElement& project_;
  std::vector<std::pair<const PropertyClass*, std::string>> pendingAppends_;
};

}  // namespace tidewater
