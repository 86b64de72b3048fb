/* A first-order low-pass filter over fixed-point samples. */
#include <stdint.h>

#include "filter.h"

int32_t filter_step(struct filter *f, int32_t sample) {
  f->state += (sample - f->state) >> f->shift;
  return f->state;
}
