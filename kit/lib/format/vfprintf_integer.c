/* The integer printf variants: the link defines __vfprintf as one of these
   names, which pulls this object, and with it the C library's integer-only
   formatter, out of the library; an image whose variant is another never
   carries it. The C library's formatter always understands width,
   precision, long long and wide characters, so those parts of a variant
   name need no code of their own. */
#include <stdarg.h>
#include <stdio.h>

int __vfprintf_integer(FILE *stream, const char *format, va_list arguments) {
  /* The small C library's single formatter converts no floating point
     unless its conversion module is linked, which only the floating
     variants do. */
  return _vfiprintf_r(_REENT, stream, format, arguments);
}

#define VARIANT(name)                                                                         \
  int __vfprintf_##name(FILE *, const char *, va_list) __attribute__((alias("__vfprintf_integer"))); \
  int __vfprintf_##name##_wchar(FILE *, const char *, va_list) __attribute__((alias("__vfprintf_integer")));

VARIANT(int)
VARIANT(int_nwp)
VARIANT(long)
VARIANT(long_nwp)
VARIANT(long_long)
VARIANT(long_long_nwp)
