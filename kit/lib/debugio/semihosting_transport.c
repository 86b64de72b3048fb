/* The debug I/O transport over semihosting: a trap the debugger or
   simulator catches (BKPT 0xAB on Cortex-M, SVC 0xAB in Thumb state and
   SVC 0x123456 in ARM state elsewhere) with the operation in r0 and a
   pointer to its argument block in r1. */
#include <errno.h>
#include <fcntl.h>

#include "debugio_transport.h"

enum operation {
  SYS_OPEN = 0x01,
  SYS_CLOSE = 0x02,
  SYS_WRITE = 0x05,
  SYS_READ = 0x06,
  SYS_ISTTY = 0x09,
  SYS_SEEK = 0x0A,
  SYS_FLEN = 0x0C,
  SYS_REMOVE = 0x0E,
  SYS_CLOCK = 0x10,
  SYS_TIME = 0x11,
  SYS_ERRNO = 0x13,
  SYS_EXIT = 0x18,
  SYS_EXIT_EXTENDED = 0x20,
};

enum {
  ADP_Stopped_ApplicationExit = 0x20026,
  ADP_Stopped_RunTimeErrorUnknown = 0x20023,
  /* Open modes index "r", "rb", "r+", "r+b", "w", "wb", "w+", "w+b", "a", ... */
  MODE_READ = 0,
  MODE_READ_WRITE = 2,
  MODE_WRITE = 4,
  MODE_WRITE_READ = 6,
  MODE_APPEND = 8,
  MODE_APPEND_READ = 10,
  MODE_BINARY = 1,
  /* Bit 0 of the first feature byte: SYS_EXIT_EXTENDED is understood. */
  FEATURE_EXIT_EXTENDED = 0x01,
};

static long semihost(enum operation operation, const void *argument) {
  register long r0 __asm__("r0") = operation;
  register const void *r1 __asm__("r1") = argument;
#if defined(__ARM_ARCH_PROFILE) && __ARM_ARCH_PROFILE == 'M'
  __asm__ volatile("bkpt 0xab" : "+r"(r0) : "r"(r1) : "memory");
#elif defined(__thumb__)
  __asm__ volatile("svc 0xab" : "+r"(r0) : "r"(r1) : "memory");
#else
  __asm__ volatile("svc 0x123456" : "+r"(r0) : "r"(r1) : "memory");
#endif
  return r0;
}

/* The host's errno for the call that just failed, as a negative value. */
static int host_error(void) {
  const long error = semihost(SYS_ERRNO, 0);
  return error > 0 ? (int)-error : -EIO;
}

static unsigned length_of(const char *text) {
  unsigned length = 0;
  while (text[length]) ++length;
  return length;
}

static int open_mode(int flags) {
  int mode = MODE_READ;
  switch (flags & O_ACCMODE) {
    case O_RDONLY: mode = MODE_READ; break;
    case O_WRONLY: mode = flags & O_APPEND ? MODE_APPEND : MODE_WRITE; break;
    default:
      if (flags & O_APPEND) mode = MODE_APPEND_READ;
      else mode = flags & O_TRUNC ? MODE_WRITE_READ : MODE_READ_WRITE;
      break;
  }
  return mode | MODE_BINARY;
}

static int open_host(const char *path, int mode) {
  const long block[3] = {(long)path, mode, (long)length_of(path)};
  const long handle = semihost(SYS_OPEN, block);
  return handle < 0 ? host_error() : (int)handle;
}

int __debugio_console(int stream) {
  static const int modes[] = {MODE_READ, MODE_WRITE, MODE_APPEND};
  return open_host(":tt", modes[stream]);
}

int __debugio_open(const char *path, int flags) { return open_host(path, open_mode(flags)); }

int __debugio_close(int handle) {
  const long block[1] = {handle};
  return semihost(SYS_CLOSE, block) == 0 ? 0 : host_error();
}

int __debugio_write(int handle, const void *data, unsigned length) {
  const long block[3] = {handle, (long)data, (long)length};
  const long unwritten = semihost(SYS_WRITE, block);
  if (unwritten < 0 || (unsigned long)unwritten > length) return -EIO;
  if (unwritten == (long)length && length != 0) return host_error();
  return (int)(length - unwritten);
}

int __debugio_read(int handle, void *data, unsigned length) {
  const long block[3] = {handle, (long)data, (long)length};
  const long unread = semihost(SYS_READ, block);
  if (unread < 0 || (unsigned long)unread > length) return -EIO;
  return (int)(length - unread);
}

int __debugio_seek(int handle, long position) {
  const long block[2] = {handle, position};
  return semihost(SYS_SEEK, block) == 0 ? 0 : host_error();
}

long __debugio_length(int handle) {
  const long block[1] = {handle};
  const long length = semihost(SYS_FLEN, block);
  return length < 0 ? host_error() : length;
}

int __debugio_is_terminal(int handle) {
  const long block[1] = {handle};
  const long terminal = semihost(SYS_ISTTY, block);
  if (terminal == 1) return 1;
  return terminal == 0 ? 0 : host_error();
}

int __debugio_remove(const char *path) {
  const long block[2] = {(long)path, (long)length_of(path)};
  return semihost(SYS_REMOVE, block) == 0 ? 0 : host_error();
}

long __debugio_time(void) { return semihost(SYS_TIME, 0); }

long __debugio_clock(void) {
  const long ticks = semihost(SYS_CLOCK, 0);
  return ticks < 0 ? -ENOSYS : ticks;
}

/* Whether the host reports, in its ":semihosting-features" file, that it
   takes an exit status with SYS_EXIT_EXTENDED. */
static int host_has_exit_extended(void) {
  const int handle = open_host(":semihosting-features", MODE_READ | MODE_BINARY);
  if (handle < 0) return 0;
  unsigned char features[5] = {0};
  const int count = __debugio_read(handle, features, sizeof features);
  __debugio_close(handle);
  return count == (int)sizeof features && features[0] == 'S' && features[1] == 'H' && features[2] == 'F' &&
         features[3] == 'B' && (features[4] & FEATURE_EXIT_EXTENDED);
}

void __debugio_exit(int status) {
  if (host_has_exit_extended()) {
    const long block[2] = {ADP_Stopped_ApplicationExit, status};
    semihost(SYS_EXIT_EXTENDED, block);
  }
  /* Without the extension only success or failure reaches the host. The
     reason goes in r1 itself on 32-bit targets, not in a block. */
  semihost(SYS_EXIT, (const void *)(long)(status == 0 ? ADP_Stopped_ApplicationExit
                                                       : ADP_Stopped_RunTimeErrorUnknown));
  for (;;) {
  }
}
