/* The C library's heap: the region between the linker-defined symbols
   __heap_start__ and __heap_end__. Running past its end fails with ENOMEM
   instead of growing into the stack. The first block starts 8-byte aligned,
   as the C library's allocator expects of fresh memory. */
#include <errno.h>
#include <malloc.h>
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

enum {
  /* The full C library's allocator grows the heap in steps of this size
     after its first request. */
  ALLOCATOR_STEP = 4096,
  /* The most a small heap's first allocation may ask for and still be
     padded to the rest of the heap. */
  FIRST_REQUEST_LIMIT = 256,
};

/* A heap under two steps would serve little more than the allocator's
   first request, however much of it is left: that request is padded to
   take all of the heap but FIRST_REQUEST_LIMIT bytes, and later allocations
   are carved from it. (A larger first request, such as the 1 KB console
   buffer, then fails and the stream stays unbuffered.) The small C library's allocator takes what it needs and
   ignores the setting. Runs before other constructors, which may allocate. */
__attribute__((constructor(101))) static void use_small_heap_whole(void) {
  const ptrdiff_t size = __heap_end__ - __heap_start__;
  if (size > FIRST_REQUEST_LIMIT && size < 2 * ALLOCATOR_STEP) mallopt(M_TOP_PAD, (int)(size - FIRST_REQUEST_LIMIT));
}
