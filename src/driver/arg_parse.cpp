#include "driver/arg_parse.h"

#include <cstring>

#include "base/text_file.h"

namespace tidewater {

namespace {

bool endsText(char c) { return c == '\0' || c == '\n'; }

}  // namespace

std::ostream& ArgParse::error() { return reporter_.error(); }

void ArgParse::addOption(const std::string& key, ArgOption option) {
  options_[key] = std::move(option);
}

std::optional<OptionMatch> ArgParse::matchOption(const std::string& argument) const {
  if (const auto exact = options_.find(argument); exact != options_.end()) {
    return OptionMatch{&exact->first, &exact->second, {}};
  }
  // Keys that are prefixes of the argument sort at or below it, so the walk
  // in descending order can start there.
  for (auto it = options_.lower_bound(argument); it != options_.end(); ++it) {
    const auto& [key, option] = *it;
    if (option.form == ArgForm::Attached && argument.compare(0, key.size(), key) == 0) {
      return OptionMatch{&key, &option, argument.substr(key.size())};
    }
  }
  return std::nullopt;
}

void ArgParse::act(const std::string& key, const ArgOption& option, const std::string& value,
                   bool hasValue) {
  if (option.dispatch) {
    if (option.handler) option.handler(key, value);
    return;
  }
  if (option.flagTarget) *option.flagTarget = true;
  if (option.stringTarget && hasValue) *option.stringTarget = value;
}

void ArgParse::parse(int count, const char* const* arguments, int32_t pass) {
  for (int i = 0; i < count && !exitRequest_; ++i) {
    if (arguments[i] == nullptr) continue;
    const std::string argument = arguments[i];

    if (const auto match = matchOption(argument)) {
      const ArgOption& option = *match->option;
      std::string value = match->attachedValue;
      if (option.form == ArgForm::Separate) {
        if (i + 1 >= count || arguments[i + 1] == nullptr) {
          error() << "expected argument for option " << argument << std::endl;
          return;
        }
        value = arguments[++i];
      } else if (option.valueRequired && value.empty()) {
        error() << "expected argument for option " << argument << std::endl;
        continue;
      }
      if (option.pass == pass) act(*match->key, option, value, option.form != ArgForm::None);
      continue;
    }
    if (argument.starts_with('@')) {
      parseFile(argument.substr(1), pass);
    } else if (argument.starts_with('-')) {
      error() << "unrecognised option " << argument << std::endl;
      if (const std::string hint = hintFor(argument); !hint.empty()) reporter_.note() << hint << std::endl;
    } else if (pass == 1) {
      onArgument(argument);
    }
  }
}

void ArgParse::parseFile(const std::string& name, int32_t pass) {
  if (nestingDepth_ >= kMaxIndirectDepth) {
    error() << "too many indirect files" << std::endl;
    return;
  }
  int reason = 0;
  const UniqueFile file = openTextFileForReading(name, reason);
  if (!file) {
    error() << "can't open indirect file " << name << ": " << std::strerror(reason) << std::endl;
    return;
  }
  addArgumentFile(name);
  ++nestingDepth_;
  struct DepthGuard {
    int& depth;
    ~DepthGuard() { --depth; }
  } guard{nestingDepth_};
  parseLines(file.get(), name, pass);
}

void ArgParse::parseLines(std::FILE* file, const std::string& name, int32_t pass) {
  char line[kLineBufferSize];
  int lineNumber = 0;
  std::vector<std::string> arguments;
  std::vector<const char*> pointers;
  while (!exitRequest_ && std::fgets(line, sizeof line, file) != nullptr) {
    ++lineNumber;
    if (line[0] == '#') continue;
    if (tokenize(name.c_str(), lineNumber, line, arguments) == 0) continue;
    pointers.clear();
    for (const auto& argument : arguments) pointers.push_back(argument.c_str());
    parse(static_cast<int>(pointers.size()), pointers.data(), pass);
  }
}

void ArgParse::parseString(const std::string& text, int32_t pass) {
  std::vector<std::string> arguments;
  if (tokenize(nullptr, 0, text.c_str(), arguments) == 0) return;
  std::vector<const char*> pointers;
  for (const auto& argument : arguments) pointers.push_back(argument.c_str());
  parse(static_cast<int>(pointers.size()), pointers.data(), pass);
}

int ArgParse::tokenize(const char* fileName, int lineNumber, const char* text,
                       std::vector<std::string>& arguments) {
  arguments.clear();
  const char* p = text;
  while (!endsText(*p)) {
    while (*p == ' ') ++p;
    if (endsText(*p)) break;
    if (*p == '"') {
      const char* end = p + 1;
      while (!endsText(*end) && *end != '"') ++end;
      if (*end != '"') {
        auto& stream = error();
        if (fileName != nullptr) {
          stream << "unterminated string in indirect file " << fileName << "(" << lineNumber << ")";
        } else {
          stream << "unterminated string in command line";
        }
        stream << std::endl;
        arguments.clear();
        return 0;
      }
      arguments.emplace_back(p + 1, end);
      p = end + 1;  // the next argument starts at once, even without a blank
    } else {
      const char* end = p;
      while (!endsText(*end) && *end != ' ') ++end;
      arguments.emplace_back(p, end);
      p = end;
    }
  }
  return static_cast<int>(arguments.size());
}

}  // namespace tidewater
