#include "support/environment.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tidewater::test {

std::string distDirectory() { return TW_E2E_DIST_DIR; }
std::string testDataDirectory() { return TW_TEST_DATA_DIR; }
std::string examplesDirectory() { return TW_EXAMPLES_DIR; }

std::string readFile(const std::string& path) {
  std::ifstream stream(path, std::ios::binary);
  if (!stream) throw std::runtime_error("cannot read " + path);
  std::ostringstream content;
  content << stream.rdbuf();
  return content.str();
}

}  // namespace tidewater::test
