/* The debug I/O transport: the few operations the C library's system calls
   need from whatever carries data between the target and a debugger or
   simulator. Each transport library (semihosting, DCC, memory poll) defines
   all of them; a transport that cannot do something returns -ENOSYS. */
#ifndef DEBUGIO_TRANSPORT_H
#define DEBUGIO_TRANSPORT_H

/* Console streams, as the first argument of __debugio_console. */
enum { DEBUGIO_STDIN = 0, DEBUGIO_STDOUT = 1, DEBUGIO_STDERR = 2 };

/* Handle of a console stream, or a negative errno value. */
int __debugio_console(int stream);

/* Opens a host file with open()-style flags; a handle or a negative errno. */
int __debugio_open(const char *path, int flags);
int __debugio_close(int handle);

/* Bytes transferred (0 at end of input), or a negative errno value. */
int __debugio_write(int handle, const void *data, unsigned length);
int __debugio_read(int handle, void *data, unsigned length);

/* Moves to an absolute position; 0 or a negative errno value. */
int __debugio_seek(int handle, long position);
/* The file's length in bytes, or a negative errno value. */
long __debugio_length(int handle);
/* 1 for a terminal, 0 for a file, or a negative errno value. */
int __debugio_is_terminal(int handle);
int __debugio_remove(const char *path);

/* Seconds since 1970, or a negative errno value. */
long __debugio_time(void);
/* Hundredths of a second since the program started, or a negative errno. */
long __debugio_clock(void);

/* Ends the program; the host sees the status where the transport allows. */
void __debugio_exit(int status) __attribute__((noreturn));

#endif
