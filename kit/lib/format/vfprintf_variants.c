/* The printf implementations the link chooses between: it defines
   __vfprintf as one of the __vfprintf_<variant> names below. Variants
   without floating point map to the C library's integer-only formatter,
   the others to its full one. The full formatter always understands width,
   precision, long long and wide characters, so those parts of a variant
   name need no code of their own. */
#include <stdarg.h>
#include <stdio.h>

int __vfprintf_integer(FILE *stream, const char *format, va_list arguments) {
  return vfiprintf(stream, format, arguments);
}

int __vfprintf_floating(FILE *stream, const char *format, va_list arguments) {
  return vfprintf(stream, format, arguments);
}

#ifdef DEBUGIO_NANO_LIBC
/* The small C library formats floating point only when its conversion
   module is linked; it looks for that module through a weak reference. */
extern int _printf_float();
static int (*const link_float_conversion)() __attribute__((used)) = _printf_float;
#endif

#define VARIANT(name, implementation)                                     \
  int __vfprintf_##name(FILE *, const char *, va_list)                   \
      __attribute__((alias("__vfprintf_" #implementation)));              \
  int __vfprintf_##name##_wchar(FILE *, const char *, va_list)           \
      __attribute__((alias("__vfprintf_" #implementation)));

VARIANT(int, integer)
VARIANT(int_nwp, integer)
VARIANT(long, integer)
VARIANT(long_nwp, integer)
VARIANT(long_long, integer)
VARIANT(long_long_nwp, integer)
VARIANT(float_long, floating)
VARIANT(float_long_long, floating)
VARIANT(short_float_long, floating)
VARIANT(short_float_long_long, floating)
