#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidewater {

/// Which of a child's output streams a redirection captures.
enum class RedirectionTarget { StandardOutput, StandardError, Both };

/// One redirection written into an argument list: an operator argument
/// (">", "1>", ">>", "1>>", "2>", "2>>", "&>", "&>>") and the file name
/// argument after it.
struct OutputRedirection {
  RedirectionTarget target;
  bool append;
  std::string fileName;
};

/// The target and mode of a redirection operator; none for any other text.
struct RedirectionOperator {
  RedirectionTarget target;
  bool append;
};
std::optional<RedirectionOperator> redirectionOperator(std::string_view argument);

/// Removes from "arguments" the first redirection operator and everything
/// after it, and returns the redirections found there: the removed tail is
/// read in pairs (operator, file name), a pair whose first element is not an
/// operator is skipped, and a last operator without a file name is dropped.
std::vector<OutputRedirection> takeRedirections(std::vector<std::string>& arguments);

}  // namespace tidewater
