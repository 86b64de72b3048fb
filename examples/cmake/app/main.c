#include <stdio.h>

#include "stats.h"

int main(void) {
  struct ring ring;
  ring_init(&ring);
  for (unsigned i = 1; i <= SAMPLE_COUNT; ++i) ring_push(&ring, (uint8_t)(i * 3));
  /* The ring keeps the last RING_CAPACITY samples: 15, 18, ..., 36. */
  printf("samples %u, mean %u.%02u, max %u\n", ring.count, stats_mean_centi(&ring) / 100,
         stats_mean_centi(&ring) % 100, stats_max(&ring));
  return 0;
}
