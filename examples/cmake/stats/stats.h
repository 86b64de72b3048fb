#ifndef STATS_H
#define STATS_H

#include "ring.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The mean of the samples in the ring, in hundredths. */
unsigned stats_mean_centi(const struct ring* ring);
/* The largest sample in the ring. */
unsigned stats_max(const struct ring* ring);

#ifdef __cplusplus
}
#endif

#endif
