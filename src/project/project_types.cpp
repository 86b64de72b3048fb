#include "project/project_types.h"

namespace tidewater {

const std::vector<std::string>& projectTypes() {
  static const std::vector<std::string> kTypes = {
      "Executable", "Library", "Object file", "Staging", "Combining", "Externally Built Executable",
  };
  return kTypes;
}

}  // namespace tidewater
