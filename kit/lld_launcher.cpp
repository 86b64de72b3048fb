// Installed as llvm/bin/lld. LLD picks its flavour from the name it is
// started under, and a plain "lld" names none, so a symbolic link would not
// do: this starts the GNU-flavoured linker under the name "ld.lld". It also
// resolves R_ARM_TARGET2 as GNU ld does for bare-metal ARM (relative), which
// the C++ runtime's exception tables expect; the caller's arguments follow.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

int main(int argc, char** argv) {
  char name[] = "ld.lld";
  char target2[] = "--target2=rel";
  std::vector<char*> arguments = {name, target2};
  arguments.insert(arguments.end(), argv + 1, argv + argc);
  arguments.push_back(nullptr);
  ::execv(TW_LD_LLD_PATH, arguments.data());
  std::fprintf(stderr, "lld: cannot start %s: %s\n", TW_LD_LLD_PATH, std::strerror(errno));
  return 127;
}
