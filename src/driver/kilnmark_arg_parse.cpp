#include "driver/kilnmark_arg_parse.h"

#include <cstdio>
#include <cstring>
#include <tuple>
#include <utility>

#include "base/text_file.h"
#include "driver/exit_request.h"
#include "driver/help_text.h"

namespace tidewater {

namespace {

using Flag = bool KilnmarkArgParse::*;

struct KeyForm {
  const char* key;
  ArgForm form;
};

// "-x" values and the file types they select for later input files.
constexpr std::pair<const char*, const char*> kFileTypes[] = {
    {"a", "Library"}, {"asm", "Assembly"}, {"c", "C"}, {"c++", "C++"}, {"o", "Object file"},
};

// Options that write project properties. They are matched now so that the
// parser's behaviour is final; what each writes comes with the property
// catalogue.
constexpr KeyForm kPropertyOptions[] = {
    // Fixed values.
    {"-allow-multiple-definition", ArgForm::None},
    {"-builtins", ArgForm::Attached},
    {"-common", ArgForm::None},
    {"-emit-relocs", ArgForm::None},
    {"-exceptions", ArgForm::None},
    {"-framepointer", ArgForm::None},
    {"-I-", ArgForm::None},
    {"-instrument", ArgForm::None},
    {"-l-", ArgForm::None},
    {"-longcalls", ArgForm::None},
    {"-M", ArgForm::None},
    {"-rtti", ArgForm::None},
    {"-w", ArgForm::Attached},
    {"-we", ArgForm::Attached},
    {"-be", ArgForm::None},
    {"-be8", ArgForm::None},
    {"-clang", ArgForm::None},
    {"-shortenums", ArgForm::None},
    {"-shortwchar", ArgForm::None},
    {"-thumb", ArgForm::None},
    // The option's value.
    {"-cmselib=", ArgForm::Attached},
    {"-e", ArgForm::Attached},
    {"-fill=", ArgForm::Attached},
    {"-L", ArgForm::Attached},
    {"-memorymap", ArgForm::Separate},
    {"-memorymapmacros", ArgForm::Separate},
    {"-patch", ArgForm::Separate},
    {"-placement", ArgForm::Separate},
    {"-placementmacros", ArgForm::Separate},
    {"-placementsegments", ArgForm::Separate},
    {"-Rc,", ArgForm::Attached},
    {"-Rd,", ArgForm::Attached},
    {"-Rk,", ArgForm::Attached},
    {"-Rz,", ArgForm::Attached},
    {"-symbols=", ArgForm::Attached},
    {"-arch=", ArgForm::Attached},
    {"-cpu=", ArgForm::Attached},
    {"-fpu=", ArgForm::Attached},
    {"-codec=", ArgForm::Attached},
    {"-fpabi=", ArgForm::Attached},
    {"-F", ArgForm::Attached},
    {"-std=", ArgForm::Attached},
    // Appends to list properties.
    {"-D", ArgForm::Attached},
    {"-U", ArgForm::Attached},
    {"-I", ArgForm::Attached},
    {"-J", ArgForm::Attached},
    {"-K", ArgForm::Attached},
    {"-Wa,", ArgForm::Attached},
    {"-Wc,", ArgForm::Attached},
    {"-Wl,", ArgForm::Attached},
    // Values with their own syntax.
    {"-d", ArgForm::Attached},
    {"-debugio=", ArgForm::Attached},
    {"-has", ArgForm::Attached},
    {"-nowarn-", ArgForm::Attached},
    {"-O", ArgForm::Attached},
    {"-printf=", ArgForm::Attached},
    {"-scanf=", ArgForm::Attached},
    {"-strip", ArgForm::Attached},
    {"-y", ArgForm::Attached},
    {"-z", ArgForm::Attached},
};

}  // namespace

KilnmarkArgParse::KilnmarkArgParse(ErrorReporter& reporter) : ArgParse(reporter) {
  addFlagOptions();
  addStoreOptions();
  addHandledOptions();
  addPropertyOptions();
}

void KilnmarkArgParse::addFlagOptions() {
  static constexpr std::pair<const char*, Flag> kFlags[] = {
      {"-ansi", &KilnmarkArgParse::enforceAnsi_},
      {"-ar", &KilnmarkArgParse::makeLibrary_},
      {"-c", &KilnmarkArgParse::compileOnly_},
      {"-E", &KilnmarkArgParse::preprocessOnly_},
      {"-kasm", &KilnmarkArgParse::keepAssembly_},
      {"-kldscript", &KilnmarkArgParse::keepLinkerScript_},
      {"-kpp", &KilnmarkArgParse::keepPreprocessorOutput_},
      {"-n", &KilnmarkArgParse::showOnly_},
      {"-nostderr", &KilnmarkArgParse::outputToStandardOutput_},
      {"-v", &KilnmarkArgParse::verbose_},
  };
  for (const auto& [key, flag] : kFlags) {
    addOption(key, ArgOption{.form = ArgForm::None, .flagTarget = &(this->*flag)});
  }
}

void KilnmarkArgParse::addStoreOptions() {
  addOption("-o", ArgOption{.form = ArgForm::Separate, .stringTarget = &outputFileName_});
  addOption("-depend", ArgOption{.form = ArgForm::Separate, .stringTarget = &dependencyFileName_});
}

void KilnmarkArgParse::addHandledOptions() {
  using Member = void (KilnmarkArgParse::*)(const std::string&, const std::string&);
  static constexpr std::tuple<const char*, ArgForm, Member> kHandled[] = {
      {"-x", ArgForm::Attached, &KilnmarkArgParse::onFileType},
      {"-T", ArgForm::Attached, &KilnmarkArgParse::onLinkerScript},
      {"-inputfiles", ArgForm::Separate, &KilnmarkArgParse::onInputFiles},
      {"-g", ArgForm::Attached, &KilnmarkArgParse::onDebug},
      {"-help", ArgForm::None, &KilnmarkArgParse::onHelp},
  };
  for (const auto& [key, form, member] : kHandled) {
    addOption(key, ArgOption{.form = form,
                             .dispatch = true,
                             .handler = [this, handler = member](const std::string& option,
                                                                 const std::string& value) {
                               (this->*handler)(option, value);
                             }});
  }
}

void KilnmarkArgParse::addPropertyOptions() {
  for (const auto& [key, form] : kPropertyOptions) {
    addOption(key, ArgOption{.form = form, .dispatch = true});
  }
}

void KilnmarkArgParse::onArgument(const std::string& argument) {
  inputFiles_.push_back({argument, currentFileType_});
}

void KilnmarkArgParse::onHelp(const std::string&, const std::string&) {
  writeHelpText(reporter().stream());
  throw ExitRequest{0};
}

void KilnmarkArgParse::onFileType(const std::string&, const std::string& value) {
  for (const auto& [name, fileType] : kFileTypes) {
    if (value == name) {
      currentFileType_ = fileType;
      return;
    }
  }
  error() << value << " unsupported file type" << std::endl;
}

void KilnmarkArgParse::onLinkerScript(const std::string&, const std::string& value) {
  inputFiles_.push_back({value, "Linker Script"});
}

void KilnmarkArgParse::onInputFiles(const std::string&, const std::string& value) {
  int reason = 0;
  const UniqueFile file = openTextFileForReading(value, reason);
  if (!file) {
    error() << "cannot open file: " << value << std::endl;
    return;
  }
  char line[kLineBufferSize];
  while (std::fgets(line, sizeof line, file.get()) != nullptr) {
    if (char* newline = std::strchr(line, '\n')) *newline = '\0';
    inputFiles_.push_back({line, ""});
  }
}

void KilnmarkArgParse::onDebug(const std::string&, const std::string&) {
  debugInformation_ = true;
}

}  // namespace tidewater
