#ifndef FILTER_H
#define FILTER_H

#include <stdint.h>

struct filter {
  int32_t state;
  unsigned shift;
};

int32_t filter_step(struct filter *f, int32_t sample);

#endif
