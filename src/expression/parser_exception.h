#pragma once

#include <exception>
#include <string>

namespace tidewater {

/// The one error of the expression evaluator: raised by the lexer, the
/// parser and evaluation, carrying the message shown to the user. The
/// convenience evaluators catch it and report through their ok flag.
class ParserException : public std::exception {
 public:
  explicit ParserException(std::string message) : message_(std::move(message)) {}
  const std::string& message() const noexcept { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

}  // namespace tidewater
