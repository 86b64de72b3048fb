// Installed as gcc/arm-none-eabi/bin/ld. Clang's objects carry a
// .note.GNU-stack section; once one input has it, GNU ld warns that every
// input without one (the runtime libraries' objects, used unchanged) implies
// an executable stack, and the link line's --fatal-warnings makes that an
// error. A bare-metal image has no stack permissions to get wrong, so this
// starts the linker with that warning off, ahead of the caller's arguments.
// With objects of the GNU compiler only, no input has the note and the
// option changes nothing.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

int main(int argc, char** argv) {
  // The caller's name stays: the linker begins each message with it.
  const char* name = argc > 0 ? argv[0] : "ld";
  std::vector<const char*> arguments = {name, "--no-warn-execstack"};
  if (argc > 1) arguments.insert(arguments.end(), argv + 1, argv + argc);
  arguments.push_back(nullptr);
  ::execv(TW_ARM_LD_PATH, const_cast<char* const*>(arguments.data()));
  std::fprintf(stderr, "ld: cannot start %s: %s\n", TW_ARM_LD_PATH, std::strerror(errno));
  return 127;
}
