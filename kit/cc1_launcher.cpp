// Installed as gcc/arm-none-eabi/bin/cc1 and cc1plus: the GNU compiler with
// the default section options of the compile (see section_renamings.h). A
// compile without them starts the compiler unchanged.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "section_renamings.h"

int main(int argc, char** argv) {
  const char* name = argc > 0 ? argv[0] : "cc1";
  SectionRenamings renamings;
  std::vector<const char*> arguments = {name};
  std::string output;
  bool preprocessing = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (renamings.take(argument)) continue;
    if (argument == "-E") preprocessing = true;
    if (argument == "-o" && i + 1 < argc) output = argv[i + 1];
    arguments.push_back(argv[i]);
  }
  arguments.push_back(nullptr);
  if (renamings.any() && !preprocessing && !output.empty()) {
    return runAndRename(TW_ARM_CC1_PATH, arguments, output, renamings);
  }
  ::execv(TW_ARM_CC1_PATH, const_cast<char* const*>(arguments.data()));
  std::fprintf(stderr, "%s: cannot start %s: %s\n", name, TW_ARM_CC1_PATH, std::strerror(errno));
  return 127;
}
