#include "build/output_redirection.h"

#include <algorithm>
#include <array>

namespace tidewater {

namespace {

struct OperatorRow {
  std::string_view text;
  RedirectionOperator meaning;
};

constexpr std::array<OperatorRow, 8> kOperators = {{
    {">", {RedirectionTarget::StandardOutput, false}},
    {"1>", {RedirectionTarget::StandardOutput, false}},
    {">>", {RedirectionTarget::StandardOutput, true}},
    {"1>>", {RedirectionTarget::StandardOutput, true}},
    {"2>", {RedirectionTarget::StandardError, false}},
    {"2>>", {RedirectionTarget::StandardError, true}},
    {"&>", {RedirectionTarget::Both, false}},
    {"&>>", {RedirectionTarget::Both, true}},
}};

}  // namespace

std::optional<RedirectionOperator> redirectionOperator(std::string_view argument) {
  for (const OperatorRow& row : kOperators) {
    if (row.text == argument) return row.meaning;
  }
  return std::nullopt;
}

std::vector<OutputRedirection> takeRedirections(std::vector<std::string>& arguments) {
  const auto first = std::find_if(arguments.begin(), arguments.end(), [](const std::string& argument) {
    return redirectionOperator(argument).has_value();
  });
  std::vector<OutputRedirection> redirections;
  for (auto pair = first; pair != arguments.end() && pair + 1 != arguments.end(); pair += 2) {
    if (const auto meaning = redirectionOperator(*pair)) {
      redirections.push_back({meaning->target, meaning->append, *(pair + 1)});
    }
  }
  arguments.erase(first, arguments.end());
  return redirections;
}

}  // namespace tidewater
