/* The first program for a new board: prints through the C library, whose
   output reaches the debugger (or QEMU's semihosting) through the debug I/O
   library, and returns a status the host sees as the program's exit code.

     cc -ylm3s6965evb -o hello.elf hello.c
     qemu-system-arm -M lm3s6965evb -nographic -monitor none -serial none \
       -semihosting-config enable=on,target=native -kernel hello.elf */
#include <stdio.h>

int main(void) {
  const int answer = 42;
  const char *board = "an ARM board";
  const double ratio = 355.0 / 113.0;
  printf("Hello from %s: %d, %.6f\n", board, answer, ratio);
  return 0;
}
