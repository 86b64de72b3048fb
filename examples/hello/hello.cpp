// The C++ first program: a global object constructed before main, a call
// through a virtual function, and, when built with exceptions ("-exceptions"),
// an exception thrown and caught.
//
//   cc -ylm3s6965evb -exceptions -o hello.elf hello.cpp
#include <stdio.h>

namespace {

struct Banner {
  Banner() { printf("Constructed before main\n"); }
};

Banner banner;

struct Greeter {
  virtual ~Greeter() {}
  virtual const char* name() const { return "a greeter"; }
};

struct Board : Greeter {
  virtual const char* name() const { return "an ARM board"; }
};

}  // namespace

int main() {
  const Board board;
  const Greeter& greeter = board;
  printf("Hello from %s\n", greeter.name());
#ifdef __cpp_exceptions
  try {
    throw 42;
  } catch (int value) {
    printf("Caught %d\n", value);
  }
#endif
  return 0;
}
