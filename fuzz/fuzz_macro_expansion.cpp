// Expands arbitrary text against macros taken from the same input: the
// first line is the text, each further line "name=value" defines a node
// macro (values may refer to themselves). Expansion must end, stay within
// its size bound, and leave text without "$" unchanged.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "macro/macro_expansion.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const auto firstNewline = input.find('\n');
  const std::string_view text = input.substr(0, firstNewline);

  tidewater::MacroMap node;
  const tidewater::MacroMap system{{"StudioDir", "/opt/tw"}, {"Date", ""}};
  if (firstNewline != std::string_view::npos) {
    std::string_view rest = input.substr(firstNewline + 1);
    while (!rest.empty()) {
      const auto end = rest.find('\n');
      const std::string_view line = rest.substr(0, end);
      const auto equals = line.find('=');
      node[std::string(line.substr(0, equals))] =
          equals == std::string_view::npos ? "" : std::string(line.substr(equals + 1));
      if (end == std::string_view::npos) break;
      rest.remove_prefix(end + 1);
    }
  }

  const std::string result = tidewater::expandMacros(text, {&node, nullptr, &system});
  if (text.find('$') == std::string_view::npos && result != text) std::abort();
  if (result.size() > 64u * 1024 * 1024) std::abort();
  return 0;
}
