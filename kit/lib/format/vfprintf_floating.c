/* The floating-point printf variants ("Float" and "Double" share the
   double formatter): the link defines __vfprintf as one of these names,
   which pulls this object, and with it the C library's formatter, out of
   the library; an image whose variant is another never carries it. */
#include <stdarg.h>
#include <stdio.h>

#ifdef DEBUGIO_NANO_LIBC
/* The small C library formats floating point only when its conversion
   module is linked; its formatter finds it through a weak reference. */
extern int _printf_float();
#endif

int __vfprintf_floating(FILE *stream, const char *format, va_list arguments) {
#ifdef DEBUGIO_NANO_LIBC
  __asm__ volatile("" : : "r"(_printf_float));
#endif
  return _vfprintf_r(_REENT, stream, format, arguments);
}

#define VARIANT(name)                                                                          \
  int __vfprintf_##name(FILE *, const char *, va_list) __attribute__((alias("__vfprintf_floating"))); \
  int __vfprintf_##name##_wchar(FILE *, const char *, va_list) __attribute__((alias("__vfprintf_floating")));

VARIANT(float_long)
VARIANT(float_long_long)
VARIANT(short_float_long)
VARIANT(short_float_long_long)
