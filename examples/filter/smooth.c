/* Smooths a step through the filter and clamps the result to 16 bits. The
   demo builds it as a makefile would: this file compiled on its own, the
   filter's objects archived into a library, and a link of the two. */
#include <stdio.h>

#include "filter.h"

int32_t saturate_q15(int32_t value);

int main(void) {
  struct filter smoother = {0, 2};
  int32_t level = 0;
  for (int i = 0; i < 8; ++i) level = filter_step(&smoother, 40000);
  printf("filtered %ld, saturated %ld\n", (long)level, (long)saturate_q15(level));
  return 0;
}
