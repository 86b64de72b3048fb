#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "driver/error_reporter.h"

namespace tidewater {

/// How an option takes its value.
enum class ArgForm : int32_t {
  None = 0,      ///< no value
  Separate = 1,  ///< the next command-line argument, whatever it starts with
  Attached = 2,  ///< the rest of the same argument (may be empty)
};

/// One option-table entry. With dispatch the handler is called with the
/// table key and the value; without, the flag target is set and the value
/// is stored in the string target.
struct ArgOption {
  using Handler = std::function<void(const std::string& option, const std::string& value)>;

  ArgForm form = ArgForm::None;
  bool dispatch = false;
  Handler handler;
  std::string* stringTarget = nullptr;
  bool* flagTarget = nullptr;
  int32_t pass = 1;
  /// An attached value that must not be empty ("-T" alone names no file).
  bool valueRequired = false;
};

/// The table entry an argument selects: exact key first, then the first
/// attached-form key (in table order) that the argument starts with.
struct OptionMatch {
  const std::string* key = nullptr;
  const ArgOption* option = nullptr;
  std::string attachedValue;  ///< the argument after the key (attached form only)
};

/// A table-driven command-line parser with indirect ("@file") arguments.
/// It never stops at an error: each one is reported through the shared
/// ErrorReporter and the caller decides from the error count afterwards.
/// Keys are kept in descending byte order, so that of two attached options
/// where one is a prefix of the other ("-w", "-we") the longer is tried first.
class ArgParse {
 public:
  static constexpr int kMaxIndirectDepth = 100;
  static constexpr int kLineBufferSize = 1024;  // 1023 bytes per read

  explicit ArgParse(ErrorReporter& reporter) : reporter_(reporter) {}
  virtual ~ArgParse() = default;
  ArgParse(const ArgParse&) = delete;
  ArgParse& operator=(const ArgParse&) = delete;

  void parse(int count, const char* const* arguments, int32_t pass);
  void parseFile(const std::string& name, int32_t pass);
  void parseString(const std::string& text, int32_t pass);

  /// Reads an already open indirect file line by line; "name" is used in
  /// messages only.
  void parseLines(std::FILE* file, const std::string& name, int32_t pass);

  /// Splits one line into arguments. "fileName" is null for command-line
  /// text. Returns the number of arguments; 0 for a blank or malformed line.
  int tokenize(const char* fileName, int lineNumber, const char* text,
               std::vector<std::string>& arguments);

  /// The entry for an argument, or none when no key matches.
  std::optional<OptionMatch> matchOption(const std::string& argument) const;

  /// Counts one error and returns the stream positioned after
  /// "<program>: error: ".
  std::ostream& error();

  /// The exit status an option asked for when it ended the run ("-help",
  /// a "list" value); none while parsing goes on.
  std::optional<int> exitRequest() const { return exitRequest_; }

  const std::map<std::string, ArgOption, std::greater<>>& options() const { return options_; }
  int nestingDepth() const { return nestingDepth_; }
  /// The files that arguments were read from, as named: the run's inputs
  /// too, which no output may overwrite.
  const std::vector<std::string>& argumentFiles() const { return argumentFiles_; }

 protected:
  virtual void onArgument(const std::string& argument) = 0;
  /// One line of advice for an unrecognised option, printed after its error
  /// line; none when empty.
  virtual std::string hintFor(const std::string&) const { return {}; }

  void addOption(const std::string& key, ArgOption option);
  ErrorReporter& reporter() const { return reporter_; }
  void addArgumentFile(const std::string& name) { argumentFiles_.push_back(name); }
  /// Ends the run with "status": no further argument, on the command line
  /// or in any open indirect file, is examined.
  void requestExit(int status) { exitRequest_ = status; }

 private:
  void act(const std::string& key, const ArgOption& option, const std::string& value, bool hasValue);

  std::map<std::string, ArgOption, std::greater<>> options_;
  int nestingDepth_ = 0;
  std::vector<std::string> argumentFiles_;
  std::optional<int> exitRequest_;
  ErrorReporter& reporter_;
};

}  // namespace tidewater
