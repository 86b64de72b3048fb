/* The floating-point scanf variants; see vfscanf_integer.c for how the
   link picks one. */
#include <stdarg.h>
#include <stdio.h>

#ifdef DEBUGIO_NANO_LIBC
extern int _scanf_float();
#endif

int __vfscanf_floating(FILE *stream, const char *format, va_list arguments) {
#ifdef DEBUGIO_NANO_LIBC
  __asm__ volatile("" : : "r"(_scanf_float));
#endif
  return _vfscanf_r(_REENT, stream, format, arguments);
}

#define VARIANT(name)                                                                        \
  int __vfscanf_##name(FILE *, const char *, va_list) __attribute__((alias("__vfscanf_floating"))); \
  int __vfscanf_##name##_cc(FILE *, const char *, va_list) __attribute__((alias("__vfscanf_floating")));

VARIANT(float_long)
VARIANT(float_long_long)
