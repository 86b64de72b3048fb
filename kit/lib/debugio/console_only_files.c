/* The file operations of a transport that carries only the console (DCC,
   memory poll): there are no host files, the console streams are
   terminals, and there is no host clock. */
#include <errno.h>

#include "debugio_transport.h"

int __debugio_open(const char *path, int flags) {
  (void)path;
  (void)flags;
  return -ENOSYS;
}
int __debugio_close(int handle) { return handle <= DEBUGIO_STDERR ? 0 : -EBADF; }
int __debugio_seek(int handle, long position) {
  (void)handle;
  (void)position;
  return -ESPIPE;
}
long __debugio_length(int handle) {
  (void)handle;
  return -ESPIPE;
}
int __debugio_is_terminal(int handle) { return handle <= DEBUGIO_STDERR ? 1 : -EBADF; }
int __debugio_remove(const char *path) {
  (void)path;
  return -ENOSYS;
}
long __debugio_time(void) { return -ENOSYS; }
long __debugio_clock(void) { return -ENOSYS; }
