#include "macro/macro_expansion.h"

#include <vector>

#include "macro/date_time_macros.h"

namespace tidewater {

namespace {

// Backstops for values that refer to themselves: "$(X)" whose value is
// "$(X)$(X)" doubles on every pass.
constexpr int kMaxPasses = 64;
constexpr size_t kMaxExpandedSize = 4 * 1024 * 1024;

const std::string* lookUp(const std::string& name, const MacroScope& scope) {
  for (const MacroMap* map : {scope.node, scope.global, scope.system}) {
    if (map == nullptr) continue;
    if (const auto found = map->find(name); found != map->end()) return &found->second;
  }
  return nullptr;
}

void appendReference(const std::string& reference, const MacroScope& scope, bool& rescan,
                     std::string& output) {
  const auto colon = reference.find(':');
  const std::string name = reference.substr(0, colon);
  std::string_view fallback;
  std::string unresolved;
  if (colon == std::string::npos) {
    unresolved = "$(" + name + ")";
    fallback = unresolved;
  } else if (colon + 1 < reference.size() && reference[colon + 1] == ':') {
    fallback = std::string_view(reference).substr(colon + 2);
    rescan = false;
  } else {
    fallback = std::string_view(reference).substr(colon + 1);
  }

  const std::string* value = lookUp(name, scope);
  if (value == nullptr) {
    output += fallback;
  } else if (auto now = dateTimeMacroValue(name)) {
    output += *now;
  } else {
    output += *value;
  }
}

// The position of the ")" that closes the "(" at each position, or npos; a
// reference "$(" at i ends at the partner of the "(" at i + 1.
std::vector<size_t> matchParentheses(std::string_view text) {
  std::vector<size_t> partner(text.size(), std::string_view::npos);
  std::vector<size_t> open;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '(') {
      open.push_back(i);
    } else if (text[i] == ')' && !open.empty()) {
      partner[open.back()] = i;
      open.pop_back();
    }
  }
  return partner;
}

// One pass over the text; sets "rescan" when a reference held a "$".
std::string expandOnce(std::string_view text, const MacroScope& scope, bool& rescan) {
  std::string output;
  output.reserve(text.size());
  rescan = false;
  // Filled after the first unterminated reference: from then on every scan
  // for a closing ")" would run to the end, so all partners are found at once.
  std::vector<size_t> partner;
  size_t i = 0;
  while (i < text.size()) {
    if (output.size() > kMaxExpandedSize) {
      output.append(text.substr(i));  // runaway growth: keep the rest as it is
      rescan = false;
      break;
    }
    const size_t dollar = text.find('$', i);
    if (dollar == std::string_view::npos) {
      output.append(text.substr(i));
      break;
    }
    output.append(text.substr(i, dollar - i));
    i = dollar;
    if (i + 1 >= text.size() || text[i + 1] != '(') {
      output += '$';
      i += (i + 1 < text.size() && text[i + 1] == '$') ? 2 : 1;
      continue;
    }
    size_t close = std::string_view::npos;
    if (partner.empty()) {
      int depth = 1;
      for (size_t j = i + 2; j < text.size(); ++j) {
        if (text[j] == '(') ++depth;
        if (text[j] == ')' && --depth == 0) {
          close = j;
          break;
        }
      }
      if (close == std::string_view::npos) partner = matchParentheses(text);
    } else {
      close = partner[i + 1];
    }
    if (close == std::string_view::npos) {
      ++i;  // unterminated: the "$" is lost, the rest is read as text
      continue;
    }
    const std::string reference(text.substr(i + 2, close - i - 2));
    if (reference.find('$') != std::string::npos) rescan = true;
    appendReference(reference, scope, rescan, output);
    i = close + 1;
  }
  return output;
}

}  // namespace

std::string expandMacros(std::string_view text, const MacroScope& scope) {
  bool rescan = false;
  std::string result = expandOnce(text, scope, rescan);
  for (int pass = 1; rescan && pass < kMaxPasses; ++pass) {
    std::string next = expandOnce(result, scope, rescan);
    if (next == result) break;
    result = std::move(next);
  }
  return result;
}

}  // namespace tidewater
