// The row passes of the separable transforms, one row at a time, with the metric as a template
// parameter. Both read the column distances G of one row and hand every result to emit(x, value)
// in their writing order; the caller decides whether that stores, draws or thresholds.
#pragma once

#include <cstdint>
#include <limits>
#include <vector>

#include "distance/DistanceFunctions.h"

namespace dt {

// The lower envelope of one row, kept across rows so that a pass allocates once.
struct EnvelopeScratch {
  explicit EnvelopeScratch(int width)
      : site(Size(width)), g(Size(width)), start(Size(width)) {}
  std::vector<int32_t> site;   // columns of the candidates on the envelope, left to right
  std::vector<int64_t> g;      // their G
  std::vector<int32_t> start;  // the first column each of them owns

 private:
  static std::size_t Size(int width) { return width > 0 ? static_cast<std::size_t>(width) : 1; }
};

// Algorithm 1's row pass: the exact lower envelope of the candidates (Meijster, Roerdink and
// Hesselink 2000), written from right to left.
//
// A new candidate u pops the top entry while it is strictly better at the first column that entry
// owns: since the older candidate wins on a prefix of the row, u is then strictly better on all of
// that entry's columns. Any entry can go, the first ones included, which keeps the result exact
// everywhere. u then owns the columns after LastOlderColumn(top, u), if any lies inside the row.
// Ties stay with the older candidate; the value is the same either way.
template <class Metric, class Emit>
void EnvelopeRow(const Metric& metric, const int32_t* g, int width, EnvelopeScratch& scratch,
                 Emit&& emit) {
  int32_t* site = scratch.site.data();
  int64_t* sg = scratch.g.data();
  int32_t* start = scratch.start.data();
  int q = -1;
  for (int u = 0; u < width; ++u) {
    const int64_t gu = g[u];
    if (gu == noFeature || !metric.Candidate(gu)) continue;
    while (q >= 0 && metric.Cost(start[q] - site[q], sg[q]) > metric.Cost(start[q] - u, gu)) --q;
    if (q < 0) {
      q = 0;
      site[0] = u;
      sg[0] = gu;
      start[0] = 0;
      continue;
    }
    // Not popped: the top is at least as good at its first column, so the crossing lies at or
    // after it (or there is none).
    const int64_t last = metric.LastOlderColumn(site[q], sg[q], u, gu);
    if (last >= width - 1) continue;  // u owns no column of the row
    ++q;
    site[q] = u;
    sg[q] = gu;
    start[q] = static_cast<int32_t>(last + 1);
  }
  if (q < 0) {
    for (int x = width - 1; x >= 0; --x) emit(x, noFeature);
    return;
  }
  for (int x = width - 1; x >= 0; --x) {
    while (start[q] > x) --q;  // start[0] is 0
    emit(x, metric.Store(metric.Cost(x - site[q], sg[q])));
  }
}

// Algorithm 2's row pass: every pixel against every candidate of its row, left to right.
template <class Metric, class Emit>
void ExhaustiveRow(const Metric& metric, const int32_t* g, int width, Emit&& emit) {
  for (int x = 0; x < width; ++x) {
    int64_t best = std::numeric_limits<int64_t>::max();
    bool found = false;
    for (int k = 0; k < width; ++k) {
      const int64_t gk = g[k];
      if (gk == noFeature || !metric.Candidate(gk)) continue;
      const int64_t cost = metric.Cost(x - k, gk);
      if (cost < best) best = cost;
      found = true;
    }
    emit(x, found ? metric.Store(best) : noFeature);
  }
}

}  // namespace dt
