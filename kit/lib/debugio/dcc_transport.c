/* The debug I/O transport over the debug communication channel, the
   coprocessor 14 registers a JTAG debugger reads and writes while the core
   runs. Only the console exists. A word carries up to three bytes in its
   low 24 bits and their count in the top byte; the count 0xFF marks the
   program's exit with the status in the low bits. Waits for the channel
   are bounded, so a program with no debugger attached never stops: its
   output is dropped and its input is at end of file. */

#include "debugio_transport.h"

enum {
  EXIT_MARK = 0xFF,
  /* Polls of the channel before giving up on a debugger. */
  WAIT_LIMIT = 100000,
};

/* The channel's registers moved from CP14 c0/c1 (ARMv4T, ARMv5TE) to the
   v6/v7 debug architecture's DBGDSCR and DBGDTRRX/TX. This file is always
   built for ARM state, where both encodings exist. */
#if __ARM_ARCH >= 6
static unsigned status(void) {
  unsigned value;
  __asm__ volatile("mrc p14, 0, %0, c0, c1, 0" : "=r"(value));
  return value;
}
static int can_send(void) { return !(status() & (1u << 29)); }
static int can_receive(void) { return (status() & (1u << 30)) != 0; }
static void send(unsigned word) { __asm__ volatile("mcr p14, 0, %0, c0, c5, 0" : : "r"(word)); }
static unsigned receive(void) {
  unsigned word;
  __asm__ volatile("mrc p14, 0, %0, c0, c5, 0" : "=r"(word));
  return word;
}
#else
static unsigned status(void) {
  unsigned value;
  __asm__ volatile("mrc p14, 0, %0, c0, c0, 0" : "=r"(value));
  return value;
}
static int can_send(void) { return !(status() & 2u); }
static int can_receive(void) { return (status() & 1u) != 0; }
static void send(unsigned word) { __asm__ volatile("mcr p14, 0, %0, c1, c0, 0" : : "r"(word)); }
static unsigned receive(void) {
  unsigned word;
  __asm__ volatile("mrc p14, 0, %0, c1, c0, 0" : "=r"(word));
  return word;
}
#endif

static int wait_for(int (*ready)(void)) {
  for (int polls = 0; polls < WAIT_LIMIT; ++polls) {
    if (ready()) return 1;
  }
  return 0;
}

int __debugio_console(int stream) { return stream; }

int __debugio_write(int handle, const void *data, unsigned length) {
  (void)handle;
  const unsigned char *bytes = data;
  unsigned sent = 0;
  while (sent < length) {
    const unsigned count = length - sent < 3 ? length - sent : 3;
    unsigned word = count << 24;
    for (unsigned i = 0; i < count; ++i) word |= (unsigned)bytes[sent + i] << (8 * i);
    /* Without a debugger the rest is dropped, as a terminal nobody reads. */
    if (!wait_for(can_send)) return (int)length;
    send(word);
    sent += count;
  }
  return (int)length;
}

int __debugio_read(int handle, void *data, unsigned length) {
  (void)handle;
  if (length < 3 || !wait_for(can_receive)) return 0;
  const unsigned word = receive();
  unsigned count = word >> 24;
  if (count > 3) count = 0;
  unsigned char *bytes = data;
  for (unsigned i = 0; i < count; ++i) bytes[i] = (unsigned char)(word >> (8 * i));
  return (int)count;
}

void __debugio_exit(int status) {
  if (wait_for(can_send)) send((unsigned)EXIT_MARK << 24 | ((unsigned)status & 0xFFFFFFu));
  for (;;) {
  }
}
