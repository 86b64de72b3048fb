/* The debug I/O transport over a RAM mailbox that a debugger polls through
   its memory access. The debugger finds __debugio_mailbox by symbol, checks
   its magic word and sets "attached"; the program then posts one request at
   a time and waits until the debugger clears "request". While nobody is
   attached the program never waits: output is dropped and input is at end
   of file, so a program runs the same with or without a debugger. */

#include "debugio_transport.h"

enum request {
  REQUEST_NONE = 0,
  REQUEST_WRITE = 1,
  REQUEST_READ = 2,
  REQUEST_EXIT = 3,
};

enum { MAILBOX_MAGIC = 0x4D424F58 /* "MBOX" */, BUFFER_SIZE = 256 };

struct debugio_mailbox {
  unsigned magic;
  unsigned attached; /* written by the debugger */
  unsigned request;  /* set by the program, cleared by the debugger when done */
  int handle;        /* console stream, or the exit status for REQUEST_EXIT */
  unsigned length;   /* bytes in buffer: to send, or room to fill */
  int result;        /* bytes read, written by the debugger */
  unsigned char buffer[BUFFER_SIZE];
};

volatile struct debugio_mailbox __debugio_mailbox = {.magic = MAILBOX_MAGIC};

/* Posts the request and waits for the debugger; 0 when none is attached
   (or it went away while the request was pending). */
static int post(enum request request, int handle, unsigned length) {
  if (!__debugio_mailbox.attached) return 0;
  __debugio_mailbox.handle = handle;
  __debugio_mailbox.length = length;
  __debugio_mailbox.result = 0;
  __sync_synchronize();
  __debugio_mailbox.request = request;
  while (__debugio_mailbox.request != REQUEST_NONE) {
    if (!__debugio_mailbox.attached) {
      __debugio_mailbox.request = REQUEST_NONE;
      return 0;
    }
  }
  __sync_synchronize();
  return 1;
}

int __debugio_console(int stream) { return stream; }

int __debugio_write(int handle, const void *data, unsigned length) {
  const unsigned char *bytes = data;
  unsigned sent = 0;
  while (sent < length && __debugio_mailbox.attached) {
    const unsigned count = length - sent < BUFFER_SIZE ? length - sent : BUFFER_SIZE;
    for (unsigned i = 0; i < count; ++i) __debugio_mailbox.buffer[i] = bytes[sent + i];
    if (!post(REQUEST_WRITE, handle, count)) break;
    sent += count;
  }
  return (int)length;
}

int __debugio_read(int handle, void *data, unsigned length) {
  const unsigned room = length < BUFFER_SIZE ? length : BUFFER_SIZE;
  if (!post(REQUEST_READ, handle, room)) return 0;
  int count = __debugio_mailbox.result;
  if (count < 0 || (unsigned)count > room) count = 0;
  unsigned char *bytes = data;
  for (int i = 0; i < count; ++i) bytes[i] = __debugio_mailbox.buffer[i];
  return count;
}

void __debugio_exit(int status) {
  post(REQUEST_EXIT, status, 0);
  for (;;) {
  }
}
