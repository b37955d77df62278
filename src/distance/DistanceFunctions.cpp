// The candidate distance and the envelope boundary of one row, through the same metric functors
// that the row passes use.
#include "distance/DistanceFunctions.h"

#include <limits>

#include "image/ImageEngine.h"

namespace dt {

namespace {

int64_t ColumnDistance(int row, int column) { return DistanceMap.rows[row][column]; }

}  // namespace

// The exact distance from pixel (row, x) through column i; +infinity when column i cannot take
// part (the flat triangle above the row). An unknown distance function ends the process.
double ImageEngine::CandidateDistance(int row, int x, int i) const {
  const int64_t g = ColumnDistance(row, i);
  double result = 0.0;
  const bool known = WithMetric(distanceFunction, processKind == process_kind::erosion,
                                [&](const auto& metric) {
    result = metric.Candidate(g) ? metric.Exact(metric.Cost(x - i, g))
                                 : std::numeric_limits<double>::infinity();
  });
  if (!known) ExitProcess(1);
  return result;
}

// The last column at which the older candidate i is at least as good as the newer candidate u
// (i < u); +2147483647.0 when u is never better, -2147483648.0 when u is better everywhere.
double ImageEngine::EnvelopeBoundary(int row, int u, int i) const {
  const int64_t gi = ColumnDistance(row, i);
  const int64_t gu = ColumnDistance(row, u);
  int64_t last = 0;
  const bool known = WithMetric(distanceFunction, processKind == process_kind::erosion,
                                [&](const auto& metric) {
    last = metric.LastOlderColumn(i, gi, u, gu);
  });
  if (!known) ExitProcess(1);
  if (last == boundary::neverBetter) return 2147483647.0;
  if (last == boundary::alwaysBetter) return -2147483648.0;
  return static_cast<double>(last);
}

}  // namespace dt
