/* The C library's heap: the region between the linker-defined symbols
   __heap_start__ and __heap_end__. Running past its end fails with ENOMEM
   instead of growing into the stack. The first block starts 8-byte aligned,
   as the C library's allocator expects of fresh memory. */
#include <errno.h>
#include <stddef.h>

extern char __heap_start__[];
extern char __heap_end__[];

static char *heap_top;

void *_sbrk(ptrdiff_t increment) {
  if (!heap_top) heap_top = __heap_start__ + (-(unsigned long)__heap_start__ & 7u);
  char *const previous = heap_top;
  if (increment > __heap_end__ - previous || increment < __heap_start__ - previous) {
    errno = ENOMEM;
    return (void *)-1;
  }
  heap_top = previous + increment;
  return previous;
}
