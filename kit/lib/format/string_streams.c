/* The formatters write through a stream's buffer and its write function, so
   a sink stream gets a small buffer of its own and a write function that
   copies into the caller's text; unlike a stream over the text itself it
   needs no string-only formatter and truncates without losing the count. A
   source stream is the text itself as an already filled read buffer. */
#include "string_streams.h"

#include <string.h>

static _READ_WRITE_RETURN_TYPE write_to_text(struct _reent *reent, void *cookie, const char *data,
                                             _READ_WRITE_BUFSIZE_TYPE length) {
  (void)reent;
  struct string_sink *sink = cookie;
  if (sink->capacity > 0 && sink->stored < sink->capacity - 1) {
    size_t room = sink->capacity - 1 - sink->stored;
    size_t count = (size_t)length < room ? (size_t)length : room;
    memcpy(sink->text + sink->stored, data, count);
  }
  sink->stored += (size_t)length;
  return length;
}

FILE *string_sink_open(struct string_sink *sink, char *text, size_t capacity) {
  memset(&sink->stream, 0, sizeof sink->stream);
  sink->text = text;
  sink->capacity = capacity;
  sink->stored = 0;
  FILE *stream = &sink->stream;
  stream->_flags = __SWR;
  /* Nobody else sees this stream, so it needs no lock. */
  stream->_flags2 = __SNLK;
  stream->_file = -1;
  stream->_bf._base = stream->_p = sink->buffer;
  stream->_bf._size = stream->_w = STRING_SINK_BUFFER_SIZE;
  stream->_cookie = sink;
  stream->_write = write_to_text;
  return stream;
}

int string_sink_close(struct string_sink *sink, int result) {
  fflush(&sink->stream);
  if (sink->capacity > 0) {
    size_t end = sink->stored < sink->capacity - 1 ? sink->stored : sink->capacity - 1;
    sink->text[end] = '\0';
  }
  return result;
}

static _READ_WRITE_RETURN_TYPE end_of_text(struct _reent *reent, void *cookie, char *data,
                                           _READ_WRITE_BUFSIZE_TYPE length) {
  (void)reent;
  (void)cookie;
  (void)data;
  (void)length;
  return 0;
}

FILE *string_source_open(FILE *stream, const char *text) {
  memset(stream, 0, sizeof *stream);
  stream->_flags = __SRD;
  stream->_flags2 = __SNLK;
  stream->_file = -1;
  /* The reader only moves through the buffer; ungetting a character it has
     read leaves the text as it was. */
  stream->_bf._base = stream->_p = (unsigned char *)text;
  stream->_bf._size = stream->_r = (int)strlen(text);
  stream->_read = end_of_text;
  return stream;
}
