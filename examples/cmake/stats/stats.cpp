#include "stats.h"

namespace {

// Visits the samples a ring holds, oldest first order does not matter here.
template <typename Visit>
void forEachSample(const ring& r, Visit visit) {
  for (unsigned i = 0; i < r.count; ++i) visit(r.samples[i]);
}

}  // namespace

extern "C" unsigned stats_mean_centi(const ring* r) {
  if (r->count == 0) return 0;
  return ring_sum(r->samples, r->count) * 100u / r->count;
}

extern "C" unsigned stats_max(const ring* r) {
  unsigned largest = 0;
  forEachSample(*r, [&largest](unsigned sample) {
    if (sample > largest) largest = sample;
  });
  return largest;
}
