/* Streams over memory for the string members of the printf and scanf
   families, so that they reach the formatter the link chose through the
   same stream interface as the console. */
#ifndef TIDEWATER_STRING_STREAMS_H
#define TIDEWATER_STRING_STREAMS_H

#include <stddef.h>
#include <stdio.h>

enum { STRING_SINK_BUFFER_SIZE = 32 };

/* Output into "text", keeping at most "capacity" bytes including the
   terminating NUL (none for capacity 0) and counting everything written. */
struct string_sink {
  FILE stream;
  char *text;
  size_t capacity;
  size_t stored;
  unsigned char buffer[STRING_SINK_BUFFER_SIZE];
};

FILE *string_sink_open(struct string_sink *sink, char *text, size_t capacity);
/* Flushes, terminates the text and passes on the formatter's result. */
int string_sink_close(struct string_sink *sink, int result);

/* Input from a NUL-terminated text; reading past its end gives EOF. */
FILE *string_source_open(FILE *stream, const char *text);

#endif
