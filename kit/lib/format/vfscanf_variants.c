/* The scanf implementations the link chooses between: it defines
   __vfscanf as one of the __vfscanf_<variant> names below. Variants without
   floating point map to the C library's integer-only scanner, the others to
   its full one; both match character classes ("%[...]"), so the "_cc"
   variants share their code with the plain ones. */
#include <stdarg.h>
#include <stdio.h>

int __vfscanf_integer(FILE *stream, const char *format, va_list arguments) {
  return vfiscanf(stream, format, arguments);
}

int __vfscanf_floating(FILE *stream, const char *format, va_list arguments) {
  return vfscanf(stream, format, arguments);
}

#ifdef DEBUGIO_NANO_LIBC
/* The small C library converts floating point only when its conversion
   module is linked; it looks for that module through a weak reference. */
extern int _scanf_float();
static int (*const link_float_conversion)() __attribute__((used)) = _scanf_float;
#endif

#define VARIANT(name, implementation)                                     \
  int __vfscanf_##name(FILE *, const char *, va_list)                    \
      __attribute__((alias("__vfscanf_" #implementation)));               \
  int __vfscanf_##name##_cc(FILE *, const char *, va_list)               \
      __attribute__((alias("__vfscanf_" #implementation)));

VARIANT(int, integer)
VARIANT(long, integer)
VARIANT(long_long, integer)
VARIANT(float_long, floating)
VARIANT(float_long_long, floating)
