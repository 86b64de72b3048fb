#include "build/tool_indirect_file.h"

#include <fstream>

namespace tidewater {

bool writeToolIndirectFile(const std::string& path, const std::vector<std::string>& inputs, bool group) {
  std::ofstream file(path);
  if (!file) return false;
  if (group) file << "--start-group\n";
  for (const std::string& input : inputs) {
    file << '"';
    for (char c : input) {
      if (c == '\\') file << '\\';
      file << c;
    }
    file << "\"\n";
  }
  if (group) file << "--end-group\n";
  file.close();
  return !file.fail();
}

}  // namespace tidewater
