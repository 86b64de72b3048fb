#ifndef RING_H
#define RING_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* A ring of the last RING_CAPACITY samples. */
struct ring {
  uint8_t samples[RING_CAPACITY];
  unsigned next;
  unsigned count;
};

void ring_init(struct ring* ring);
void ring_push(struct ring* ring, uint8_t sample);
/* The sum of the samples held (written in assembly). */
uint32_t ring_sum(const uint8_t* samples, unsigned count);

#ifdef __cplusplus
}
#endif

#endif
