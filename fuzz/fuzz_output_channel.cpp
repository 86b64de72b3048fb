// Splits arbitrary tool output into lines the way the process runner does,
// with the input cut into reads at places chosen by its first byte. However
// the bytes are cut, the lines must be the same as for one single read, and
// no line may hold a line end.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "build/output_channel.h"

namespace {

std::vector<std::string> split(std::string_view bytes, std::size_t readSize) {
  tidewater::OutputChannel channel;
  std::vector<std::string> lines;
  auto collect = [&lines](std::string_view line) { lines.emplace_back(line); };
  while (!bytes.empty()) {
    const std::size_t take = readSize < bytes.size() ? readSize : bytes.size();
    channel.append(bytes.substr(0, take), collect);
    bytes.remove_prefix(take);
  }
  channel.finish(collect);
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::size_t readSize = data[0] % 8 + 1;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::vector<std::string> whole = split(bytes, bytes.size() + 1);
  if (split(bytes, readSize) != whole) std::abort();
  std::size_t delivered = 0;
  for (const std::string& line : whole) {
    if (line.find_first_of("\r\n") != std::string::npos) std::abort();
    delivered += line.size();
  }
  if (delivered > bytes.size()) std::abort();
  return 0;
}
