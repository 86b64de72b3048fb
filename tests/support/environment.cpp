#include "support/environment.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tidewater::test {

// The build names both directories; the environment may point elsewhere.
static std::string fromEnvironment(const char* name, const char* builtIn) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? value : builtIn;
}

std::string distDirectory() { return fromEnvironment("TW_DIST", TW_E2E_DIST_DIR); }
std::string testDataDirectory() { return fromEnvironment("TW_TEST_DATA", TW_TEST_DATA_DIR); }

std::string readFile(const std::string& path) {
  std::ifstream stream(path, std::ios::binary);
  if (!stream) throw std::runtime_error("cannot read " + path);
  std::ostringstream content;
  content << stream.rdbuf();
  return content.str();
}

}  // namespace tidewater::test
