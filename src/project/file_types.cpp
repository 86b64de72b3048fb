#include "project/file_types.h"

namespace tidewater {

const std::vector<std::string>& fileTypes() {
  static const std::vector<std::string> kTypes = {
      "C",           "C++",           "Assembly",     "Section Placement", "Memory Map",
      "Register Definitions",         "Threads Script", "Target Script",   "Reset Script",
      "Linker Script", "Executable",  "Library",      "Object file",
  };
  return kTypes;
}

}  // namespace tidewater
