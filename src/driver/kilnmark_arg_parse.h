#pragma once

#include <initializer_list>
#include <string>

#include "driver/arg_parse.h"
#include "driver/option_writer.h"
#include "project/project_templates.h"

namespace tidewater {

class ProjectElement;
class ProjectSystem;

/// The driver's option parser: the 77-entry option table, whose handlers
/// write project properties, the fields that the run sequence reads after
/// parsing, and input files added to the project as "file" nodes.
class KilnmarkArgParse : public ArgParse {
 public:
  /// "-y" reads project templates from the files the ";"-separated
  /// patterns of "templateSearchList" name (expanded with the process-wide
  /// macros).
  KilnmarkArgParse(ErrorReporter& reporter, ProjectSystem& system, ProjectElement& project,
                   std::string templateSearchList);

  /// Prints the help text on the reporter's stream and ends the run with
  /// status 0.
  void onHelp(const std::string& option, const std::string& value);

  /// Writes what the options gathered (list appends); called once parsing
  /// is over, before the project is read.
  void finishWrites() { writer_.flush(); }

  const std::string& outputFileName() const { return outputFileName_; }
  const std::string& dependencyFileName() const { return dependencyFileName_; }
  const std::string& currentFileType() const { return currentFileType_; }
  /// The file node most recently added, or null.
  ProjectElement* currentFile() const { return currentFile_; }
  bool enforceAnsi() const { return enforceAnsi_; }
  bool compileOnly() const { return compileOnly_; }
  bool debugInformation() const { return debugInformation_; }
  bool verbose() const { return verbose_; }
  bool showOnly() const { return showOnly_; }
  bool outputToStandardOutput() const { return outputToStandardOutput_; }
  bool makeLibrary() const { return makeLibrary_; }
  bool preprocessOnly() const { return preprocessOnly_; }
  bool keepAssembly() const { return keepAssembly_; }
  bool keepPreprocessorOutput() const { return keepPreprocessorOutput_; }
  bool keepLinkerScript() const { return keepLinkerScript_; }

 protected:
  void onArgument(const std::string& argument) override;
  std::string hintFor(const std::string& option) const override;

 private:
  void addFlagOptions();
  void addPropertyOptions();
  void addHandledOptions();

  ProjectElement& addInputFile(const std::string& name);

  void onFileType(const std::string& option, const std::string& value);
  void onLinkerScript(const std::string& option, const std::string& value);
  void onInputFiles(const std::string& option, const std::string& value);
  void onDebug(const std::string& option, const std::string& value);
  void onOptimization(const std::string& option, const std::string& value);
  void onLinkerSymbol(const std::string& option, const std::string& value);
  void onDebugIo(const std::string& option, const std::string& value);
  void onHas(const std::string& option, const std::string& value);
  void onNoWarn(const std::string& option, const std::string& value);
  void onStrip(const std::string& option, const std::string& value);
  void onPrintf(const std::string& option, const std::string& value);
  void onScanf(const std::string& option, const std::string& value);
  void onStandard(const std::string& option, const std::string& value);
  /// A "list" value: the legal values are shown and the run ends with
  /// status 0, whatever errors came before.
  void listValuesAndExit(std::initializer_list<const char*> properties);
  void onTemplate(const std::string& option, const std::string& value);
  void onAnyProperty(const std::string& option, const std::string& value);

  OptionWriter writer_;
  std::string templateSearchList_;
  ProjectTemplates templates_;
  ProjectElement* currentFile_ = nullptr;

  std::string outputFileName_;
  std::string currentFileType_;
  std::string dependencyFileName_;
  bool enforceAnsi_ = false;
  bool compileOnly_ = false;
  bool debugInformation_ = false;
  bool verbose_ = false;
  bool showOnly_ = false;
  bool outputToStandardOutput_ = false;
  bool makeLibrary_ = false;
  bool preprocessOnly_ = false;
  bool keepAssembly_ = false;
  bool keepPreprocessorOutput_ = false;
  bool keepLinkerScript_ = false;
};

}  // namespace tidewater
