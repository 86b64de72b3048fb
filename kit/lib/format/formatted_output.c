/* The printf family, linked ahead of the C library's: every member formats
   through __vfprintf, which the link defines as the formatter the project
   chose (-printf=), so a program carries only that formatter. Each C
   library object these replace is replaced whole (its reentrant and
   integer-only names too), so none of them ever joins a link beside ours. */
#include <stdarg.h>
#include <stdio.h>

#include "string_streams.h"

int __vfprintf(FILE *stream, const char *format, va_list arguments);

#define ALIAS(name, target) __typeof__(target) name __attribute__((alias(#target)))


int vprintf(const char *format, va_list arguments) { return __vfprintf(stdout, format, arguments); }
int _vprintf_r(struct _reent *reent, const char *format, va_list arguments) {
  return __vfprintf(_stdout_r(reent), format, arguments);
}
ALIAS(viprintf, vprintf);
ALIAS(_viprintf_r, _vprintf_r);

int printf(const char *format, ...) {
  va_list arguments;
  va_start(arguments, format);
  const int result = __vfprintf(stdout, format, arguments);
  va_end(arguments);
  return result;
}
int _printf_r(struct _reent *reent, const char *format, ...) {
  va_list arguments;
  va_start(arguments, format);
  const int result = __vfprintf(_stdout_r(reent), format, arguments);
  va_end(arguments);
  return result;
}
ALIAS(iprintf, printf);
ALIAS(_iprintf_r, _printf_r);

int fprintf(FILE *stream, const char *format, ...) {
  va_list arguments;
  va_start(arguments, format);
  const int result = __vfprintf(stream, format, arguments);
  va_end(arguments);
  return result;
}
int _fprintf_r(struct _reent *reent, FILE *stream, const char *format, ...) {
  (void)reent;
  va_list arguments;
  va_start(arguments, format);
  const int result = __vfprintf(stream, format, arguments);
  va_end(arguments);
  return result;
}
ALIAS(fiprintf, fprintf);
ALIAS(_fiprintf_r, _fprintf_r);

/* sprintf's text has no known bound: it may take the whole address space. */
static const size_t UNBOUNDED = (size_t)-1;

static int format_to_text(char *text, size_t capacity, const char *format, va_list arguments) {
  struct string_sink sink;
  FILE *stream = string_sink_open(&sink, text, capacity);
  return string_sink_close(&sink, __vfprintf(stream, format, arguments));
}

int vsnprintf(char *text, size_t capacity, const char *format, va_list arguments) {
  return format_to_text(text, capacity, format, arguments);
}
int _vsnprintf_r(struct _reent *reent, char *text, size_t capacity, const char *format, va_list arguments) {
  (void)reent;
  return format_to_text(text, capacity, format, arguments);
}
ALIAS(vsniprintf, vsnprintf);
ALIAS(_vsniprintf_r, _vsnprintf_r);

int vsprintf(char *text, const char *format, va_list arguments) {
  return format_to_text(text, UNBOUNDED, format, arguments);
}
int _vsprintf_r(struct _reent *reent, char *text, const char *format, va_list arguments) {
  (void)reent;
  return format_to_text(text, UNBOUNDED, format, arguments);
}
ALIAS(vsiprintf, vsprintf);
ALIAS(_vsiprintf_r, _vsprintf_r);

int snprintf(char *text, size_t capacity, const char *format, ...) {
  va_list arguments;
  va_start(arguments, format);
  const int result = format_to_text(text, capacity, format, arguments);
  va_end(arguments);
  return result;
}
int _snprintf_r(struct _reent *reent, char *text, size_t capacity, const char *format, ...) {
  (void)reent;
  va_list arguments;
  va_start(arguments, format);
  const int result = format_to_text(text, capacity, format, arguments);
  va_end(arguments);
  return result;
}
ALIAS(sniprintf, snprintf);
ALIAS(_sniprintf_r, _snprintf_r);

int sprintf(char *text, const char *format, ...) {
  va_list arguments;
  va_start(arguments, format);
  const int result = format_to_text(text, UNBOUNDED, format, arguments);
  va_end(arguments);
  return result;
}
int _sprintf_r(struct _reent *reent, char *text, const char *format, ...) {
  (void)reent;
  va_list arguments;
  va_start(arguments, format);
  const int result = format_to_text(text, UNBOUNDED, format, arguments);
  va_end(arguments);
  return result;
}
ALIAS(siprintf, sprintf);
ALIAS(_siprintf_r, _sprintf_r);
