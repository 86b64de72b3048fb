/* The integer scanf variants: the link defines __vfscanf as one of these
   names, which pulls this object, and with it the C library's integer-only
   scanner, out of the library. Both scanners match character classes
   ("%[...]"), so the "_cc" variants share their code with the plain ones. */
#include <stdarg.h>
#include <stdio.h>

int __vfscanf_integer(FILE *stream, const char *format, va_list arguments) {
#ifdef DEBUGIO_NANO_LIBC
  /* The small C library has one scanner, converting floating point only
     when its conversion module is linked, which only the floating variants
     do. */
  return _vfscanf_r(_REENT, stream, format, arguments);
#else
  return _vfiscanf_r(_REENT, stream, format, arguments);
#endif
}

#define VARIANT(name)                                                                       \
  int __vfscanf_##name(FILE *, const char *, va_list) __attribute__((alias("__vfscanf_integer"))); \
  int __vfscanf_##name##_cc(FILE *, const char *, va_list) __attribute__((alias("__vfscanf_integer")));

VARIANT(int)
VARIANT(long)
VARIANT(long_long)
