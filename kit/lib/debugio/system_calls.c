/* The C library's system calls over the debug I/O transport. File
   descriptors 0 to 2 are the console streams, opened on first use; the
   others index a small table of host handles with the position each file
   has reached, because the transport only seeks to absolute positions. */
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/times.h>
#include <unistd.h>

#include "debugio_transport.h"

#define FILE_LIMIT 20
#define CONSOLE_BUFFER_SIZE 128

struct open_file {
  int handle; /* transport handle + 1; 0 marks a free slot */
  long position;
};

static struct open_file files[FILE_LIMIT];

static int fail(int error) {
  errno = error;
  return -1;
}

/* The slot of an open descriptor, opening a console stream on first use. */
static struct open_file *file_of(int fd) {
  if (fd < 0 || fd >= FILE_LIMIT) return 0;
  struct open_file *file = &files[fd];
  if (file->handle == 0 && fd <= DEBUGIO_STDERR) {
    const int handle = __debugio_console(fd);
    if (handle >= 0) file->handle = handle + 1;
  }
  return file->handle ? file : 0;
}

int _open(const char *path, int flags, ...) {
  int fd = DEBUGIO_STDERR + 1;
  while (fd < FILE_LIMIT && files[fd].handle) ++fd;
  if (fd == FILE_LIMIT) return fail(EMFILE);
  const int handle = __debugio_open(path, flags);
  if (handle < 0) return fail(-handle);
  files[fd].handle = handle + 1;
  files[fd].position = 0;
  if (flags & O_APPEND) {
    const long length = __debugio_length(handle);
    if (length > 0) files[fd].position = length;
  }
  return fd;
}

int _close(int fd) {
  struct open_file *file = file_of(fd);
  if (!file) return fail(EBADF);
  const int result = __debugio_close(file->handle - 1);
  file->handle = 0;
  return result < 0 ? fail(-result) : 0;
}

int _write(int fd, const void *data, size_t length) {
  struct open_file *file = file_of(fd);
  if (!file) return fail(EBADF);
  const int written = __debugio_write(file->handle - 1, data, length);
  if (written < 0) return fail(-written);
  file->position += written;
  return written;
}

int _read(int fd, void *data, size_t length) {
  struct open_file *file = file_of(fd);
  if (!file) return fail(EBADF);
  const int count = __debugio_read(file->handle - 1, data, length);
  if (count < 0) return fail(-count);
  file->position += count;
  return count;
}

off_t _lseek(int fd, off_t offset, int whence) {
  struct open_file *file = file_of(fd);
  if (!file) return fail(EBADF);
  const int handle = file->handle - 1;
  long base = 0;
  if (whence == SEEK_CUR) {
    base = file->position;
  } else if (whence == SEEK_END) {
    base = __debugio_length(handle);
    if (base < 0) return fail((int)-base);
  } else if (whence != SEEK_SET) {
    return fail(EINVAL);
  }
  const long position = base + offset;
  if (position < 0) return fail(EINVAL);
  const int result = __debugio_seek(handle, position);
  if (result < 0) return fail(-result);
  file->position = position;
  return position;
}

int _isatty(int fd) {
  struct open_file *file = file_of(fd);
  if (!file) return fail(EBADF);
  const int terminal = __debugio_is_terminal(file->handle - 1);
  if (terminal < 0) return fail(-terminal);
  return terminal;
}

int _fstat(int fd, struct stat *status) {
  struct open_file *file = file_of(fd);
  if (!file) return fail(EBADF);
  __builtin_memset(status, 0, sizeof *status);
  const int handle = file->handle - 1;
  if (__debugio_is_terminal(handle) > 0) {
    /* A character device is line buffered; the small block size keeps the
       buffer the C library allocates for it from filling a small heap. */
    status->st_mode = S_IFCHR;
    status->st_blksize = CONSOLE_BUFFER_SIZE;
  } else {
    status->st_mode = S_IFREG;
    const long length = __debugio_length(handle);
    if (length >= 0) status->st_size = length;
  }
  return 0;
}

int _stat(const char *path, struct stat *status) {
  const int fd = _open(path, O_RDONLY);
  if (fd < 0) return -1;
  const int result = _fstat(fd, status);
  _close(fd);
  return result;
}

int _unlink(const char *path) {
  const int result = __debugio_remove(path);
  return result < 0 ? fail(-result) : 0;
}

int _link(const char *existing, const char *name) {
  (void)existing;
  (void)name;
  return fail(EMLINK);
}

int _gettimeofday(struct timeval *now, void *zone) {
  (void)zone;
  const long seconds = __debugio_time();
  if (seconds < 0) return fail((int)-seconds);
  if (now) {
    now->tv_sec = seconds;
    now->tv_usec = 0;
  }
  return 0;
}

clock_t _times(struct tms *buffer) {
  const long ticks = __debugio_clock();
  if (ticks < 0) return (clock_t)fail((int)-ticks);
  if (buffer) {
    buffer->tms_utime = ticks;
    buffer->tms_stime = 0;
    buffer->tms_cutime = 0;
    buffer->tms_cstime = 0;
  }
  return ticks;
}

int _getpid(void) { return 1; }

/* There is one process: a signal sent to it ends it the way a shell reports
   a signalled program, with 128 plus the signal number. */
int _kill(int pid, int signal) {
  if (pid != 1) return fail(ESRCH);
  __debugio_exit(128 + signal);
}

void _exit(int status) { __debugio_exit(status); }
