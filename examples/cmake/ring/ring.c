#include "ring.h"

void ring_init(struct ring* ring) {
  ring->next = 0;
  ring->count = 0;
}

void ring_push(struct ring* ring, uint8_t sample) {
  ring->samples[ring->next] = sample;
  ring->next = (ring->next + 1) % RING_CAPACITY;
  if (ring->count < RING_CAPACITY) ring->count++;
}
