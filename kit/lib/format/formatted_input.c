/* The scanf family, linked ahead of the C library's: every member scans
   through __vfscanf, which the link defines as the scanner the project
   chose (-scanf=). As with the printf family, each C library object these
   replace is replaced with all its names. */
#include <stdarg.h>
#include <stdio.h>

#include "string_streams.h"

int __vfscanf(FILE *stream, const char *format, va_list arguments);

#define ALIAS(name, target) __typeof__(target) name __attribute__((alias(#target)))

int vscanf(const char *format, va_list arguments) { return __vfscanf(stdin, format, arguments); }
int _vscanf_r(struct _reent *reent, const char *format, va_list arguments) {
  return __vfscanf(_stdin_r(reent), format, arguments);
}
ALIAS(viscanf, vscanf);
ALIAS(_viscanf_r, _vscanf_r);

int scanf(const char *format, ...) {
  va_list arguments;
  va_start(arguments, format);
  const int result = __vfscanf(stdin, format, arguments);
  va_end(arguments);
  return result;
}
int _scanf_r(struct _reent *reent, const char *format, ...) {
  va_list arguments;
  va_start(arguments, format);
  const int result = __vfscanf(_stdin_r(reent), format, arguments);
  va_end(arguments);
  return result;
}
ALIAS(iscanf, scanf);
ALIAS(_iscanf_r, _scanf_r);

int fscanf(FILE *stream, const char *format, ...) {
  va_list arguments;
  va_start(arguments, format);
  const int result = __vfscanf(stream, format, arguments);
  va_end(arguments);
  return result;
}
int _fscanf_r(struct _reent *reent, FILE *stream, const char *format, ...) {
  (void)reent;
  va_list arguments;
  va_start(arguments, format);
  const int result = __vfscanf(stream, format, arguments);
  va_end(arguments);
  return result;
}
ALIAS(fiscanf, fscanf);
ALIAS(_fiscanf_r, _fscanf_r);

int vsscanf(const char *text, const char *format, va_list arguments) {
  FILE stream;
  return __vfscanf(string_source_open(&stream, text), format, arguments);
}
int _vsscanf_r(struct _reent *reent, const char *text, const char *format, va_list arguments) {
  (void)reent;
  return vsscanf(text, format, arguments);
}
ALIAS(vsiscanf, vsscanf);
ALIAS(_vsiscanf_r, _vsscanf_r);

int sscanf(const char *text, const char *format, ...) {
  va_list arguments;
  va_start(arguments, format);
  const int result = vsscanf(text, format, arguments);
  va_end(arguments);
  return result;
}
int _sscanf_r(struct _reent *reent, const char *text, const char *format, ...) {
  (void)reent;
  va_list arguments;
  va_start(arguments, format);
  const int result = vsscanf(text, format, arguments);
  va_end(arguments);
  return result;
}
ALIAS(siscanf, sscanf);
ALIAS(_siscanf_r, _sscanf_r);
