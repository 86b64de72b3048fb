#pragma once

#include <string>
#include <vector>

#include "driver/arg_parse.h"

namespace tidewater {

/// An input file named on the command line, by "-T" or in an "-inputfiles"
/// list, with the file type that "-x" chose for it ("" leaves the type to the
/// file's extension).
struct InputFile {
  std::string name;
  std::string fileType;
};

/// The driver's option parser: the 77-entry option table, the fields that the
/// run sequence reads after parsing, and the input files in command-line order.
class KilnmarkArgParse : public ArgParse {
 public:
  explicit KilnmarkArgParse(ErrorReporter& reporter);

  /// Prints the help text on the reporter's stream and ends the run with
  /// status 0 (by throwing ExitRequest).
  [[noreturn]] void onHelp(const std::string& option, const std::string& value);

  const std::string& outputFileName() const { return outputFileName_; }
  const std::string& dependencyFileName() const { return dependencyFileName_; }
  const std::string& currentFileType() const { return currentFileType_; }
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
  const std::vector<InputFile>& inputFiles() const { return inputFiles_; }

 protected:
  void onArgument(const std::string& argument) override;

 private:
  void addFlagOptions();
  void addStoreOptions();
  void addHandledOptions();
  void addPropertyOptions();

  void onFileType(const std::string& option, const std::string& value);
  void onLinkerScript(const std::string& option, const std::string& value);
  void onInputFiles(const std::string& option, const std::string& value);
  void onDebug(const std::string& option, const std::string& value);

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
  std::vector<InputFile> inputFiles_;
};

}  // namespace tidewater
