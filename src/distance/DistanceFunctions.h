// The four distance functions as the two passes of a separable transform see them.
//
// The column pass leaves, in every pixel, the vertical distance G to the nearest feature pixel of
// its column. The row pass then gives pixel x of a row the smallest candidate over the columns i
// of the row, each candidate being a function of dx = x - i and G(i). Each metric below is a small
// functor that the row passes take as a template parameter:
//
//   Cost(dx, g)          an exact integer that orders candidates like their distances
//   Store(cost)          the stored distance: the floor of the exact distance
//   StoreRow(costs, g, out, n, largest)
//                        Store for a whole row whose largest cost is known, and 0 wherever
//                        G is 0 (out may be g)
//   LastOlderColumn(i, gi, u, gu)
//                        for columns i < u, the last column x at which candidate i is at least as
//                        good as candidate u; u is strictly better at every column after it.
//                        neverBetter: u is never strictly better; alwaysBetter: u is strictly
//                        better everywhere.
//   Candidate(g)         whether a column with a finite G takes part at all
//   Reach(size)          the largest G whose candidate can still be within the size somewhere
//   Chord(g, size, lo, hi)
//                        the offsets dx with Store(Cost(dx, g)) <= size: exactly lo..hi
//                        (false when there are none)
//
// Every metric is exact in integer arithmetic, so results never depend on floating-point ties.
// For each pair i < u the columns where the older candidate i is at least as good form a prefix
// of the row, which is what the lower-envelope row pass relies on.
//
// The triangle of apex (ax, ay) is measured towards feature pixels at or below (G counts rows
// down); scaled by ay, the candidate through column i is |ay*(x - i) - s*ax*g| + 150*g, a V of
// slope ay whose lowest point 150*g lies at ay*i + s*ax*g, with s = +1 for the normal triangle and
// -1 for the reflected one (the triangle turned half a turn, used by erosion). The stored distance
// is the floor of that value divided by ay. With ay = 0 (apex on the base line) the triangle is
// flat: only feature pixels of the row itself (G = 0) count, at their horizontal distance.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "image/Choices.h"
#include "image/ImageRecord.h"

namespace dt {

namespace boundary {
// LastOlderColumn results meaning "no crossing".
constexpr int64_t neverBetter = std::numeric_limits<int64_t>::max();
constexpr int64_t alwaysBetter = std::numeric_limits<int64_t>::min();
}  // namespace boundary

// One pixel further than distance v, without a branch (so that sweeps vectorise); noFeature
// stays noFeature.
inline int32_t OneFurther(int32_t v) {
  const uint32_t next = static_cast<uint32_t>(v) + 1u;
  return static_cast<int32_t>(next - (next >> 31));
}

// a / b rounded toward minus infinity, for b > 0.
inline int64_t FloorDiv(int64_t a, int64_t b) {
  const int64_t q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}

// The same through a double division, which is much faster than a 64-bit integer one: below
// 2^53 the rounded quotient lies on the same side of every integer as the exact one.
inline int64_t FastFloorDiv(int64_t a, int64_t b) {
  constexpr int64_t exactBelow = int64_t{1} << 53;
  if (a >= exactBelow || a <= -exactBelow) return FloorDiv(a, b);
  const auto q = static_cast<int64_t>(static_cast<double>(a) / static_cast<double>(b));
  return q - static_cast<int64_t>(q * b > a);
}

// The largest r with r * r <= v, for v >= 0. The double square root is exact below 2^52.
inline int64_t FloorSqrt(int64_t v) {
  auto r = static_cast<int64_t>(std::sqrt(static_cast<double>(v)));
  if (v >= (int64_t{1} << 52)) {
    while (r > 0 && r > v / r) --r;
    while (r + 1 <= v / (r + 1)) ++r;
  }
  return r;
}

// Distances are stored as 32-bit ints; noFeature is reserved for "no feature pixel reachable".
inline int32_t ClampDistance(int64_t v) {
  return static_cast<int32_t>(std::min<int64_t>(v, noFeature - 1));
}

// 0 where a column's G is 0 (its own feature pixel), else v.
inline int32_t UnlessOnFeature(int32_t g, int32_t v) {
  return v & -static_cast<int32_t>(g != 0);
}

// StoreRow one column at a time.
template <class Metric>
void StoreEachOf(const Metric& metric, const int64_t* cost, const int32_t* g, int32_t* out,
                 int n) {
  for (int x = 0; x < n; ++x) out[x] = UnlessOnFeature(g[x], metric.Store(cost[x]));
}

struct EuclidMetric {
  static bool Candidate(int64_t) { return true; }
  static int64_t Reach(int64_t size) { return size; }
  // floor(sqrt(dx^2 + g^2)) <= size exactly when dx^2 <= (size + 1)^2 - 1 - g^2.
  static bool Chord(int64_t g, int64_t size, int64_t& lo, int64_t& hi) {
    const int64_t room = (size + 1) * (size + 1) - 1 - g * g;
    if (size < 0 || room < 0) return false;
    hi = FloorSqrt(room);
    lo = -hi;
    return true;
  }
  static int64_t Cost(int64_t dx, int64_t g) { return dx * dx + g * g; }
  static int32_t Store(int64_t cost) { return ClampDistance(FloorSqrt(cost)); }
  // Below 2^22 the single-precision square root rounded down is exact (the nearest float to the
  // root of k*k - 1 stays below k while k < 2^11.5), and it vectorises.
  static constexpr int64_t floatExactBelow = int64_t{1} << 22;
  static void StoreRow(const int64_t* cost, const int32_t* g, int32_t* out, int n,
                       int64_t largest) {
    if (largest < floatExactBelow) {
      for (int x = 0; x < n; ++x) {
        const float root = std::sqrt(static_cast<float>(static_cast<int32_t>(cost[x])));
        out[x] = UnlessOnFeature(g[x], static_cast<int32_t>(root));
      }
    } else {
      StoreEachOf(EuclidMetric{}, cost, g, out, n);
    }
  }
  // Candidate i wins where (x-i)^2 + gi^2 <= (x-u)^2 + gu^2,
  // i.e. x <= (u^2-i^2+gu^2-gi^2)/(2(u-i)).
  static int64_t LastOlderColumn(int64_t i, int64_t gi, int64_t u, int64_t gu) {
    return FastFloorDiv(u * u - i * i + gu * gu - gi * gi, 2 * (u - i));
  }
};

struct CityBlockMetric {
  static bool Candidate(int64_t) { return true; }
  static int64_t Reach(int64_t size) { return size; }
  static bool Chord(int64_t g, int64_t size, int64_t& lo, int64_t& hi) {
    if (g > size) return false;
    hi = size - g;
    lo = -hi;
    return true;
  }
  static int64_t Cost(int64_t dx, int64_t g) { return std::abs(dx) + g; }
  static int32_t Store(int64_t cost) { return ClampDistance(cost); }
  static void StoreRow(const int64_t* cost, const int32_t* g, int32_t* out, int n, int64_t) {
    StoreEachOf(CityBlockMetric{}, cost, g, out, n);
  }
  // The difference of the two candidates rises from (i-u)+gi-gu to (u-i)+gi-gu.
  static int64_t LastOlderColumn(int64_t i, int64_t gi, int64_t u, int64_t gu) {
    if ((u - i) + gi - gu <= 0) return boundary::neverBetter;
    if ((i - u) + gi - gu > 0) return boundary::alwaysBetter;
    return (i + u + gu - gi) >> 1;  // not negative here
  }
};

struct ChessboardMetric {
  static bool Candidate(int64_t) { return true; }
  static int64_t Reach(int64_t size) { return size; }
  static bool Chord(int64_t g, int64_t size, int64_t& lo, int64_t& hi) {
    if (g > size) return false;
    hi = size;
    lo = -size;
    return true;
  }
  static int64_t Cost(int64_t dx, int64_t g) { return std::max(std::abs(dx), g); }
  static int32_t Store(int64_t cost) { return ClampDistance(cost); }
  static void StoreRow(const int64_t* cost, const int32_t* g, int32_t* out, int n, int64_t) {
    StoreEachOf(ChessboardMetric{}, cost, g, out, n);
  }
  // Meijster's separator for the maximum metric; the two candidates always cross.
  static int64_t LastOlderColumn(int64_t i, int64_t gi, int64_t u, int64_t gu) {
    const int64_t middle = (i + u) >> 1;
    return gi <= gu ? std::max(i + gu, middle) : std::min(u - gi, middle);
  }
};

struct TriangleMetric {
  // apexX is kept within -150..150 and apexY within 0..300, the editor's range; reflected selects
  // the triangle turned half a turn.
  TriangleMetric(int apexX, int apexY, bool reflected) {
    const int64_t ax = std::clamp(apexX, -150, 150);
    const int64_t ay = std::clamp(apexY, 0, 300);
    flat = ay == 0;
    scale = flat ? 1 : ay;
    slant = flat ? 0 : (reflected ? -ax : ax);
  }

  bool Candidate(int64_t g) const { return !flat || g == 0; }
  // Within the size needs (|...| + 150 g) / scale < size + 1, so 150 g < (size + 1) * scale.
  int64_t Reach(int64_t size) const {
    if (flat) return size < 0 ? -1 : 0;
    return FloorDiv((size + 1) * scale - 1, 150);
  }
  // cost / scale <= size exactly when |scale * dx - slant * g| <= (size + 1) * scale - 1 - 150 g.
  bool Chord(int64_t g, int64_t size, int64_t& lo, int64_t& hi) const {
    const int64_t room = (size + 1) * scale - 1 - 150 * g;
    if (!Candidate(g) || size < 0 || room < 0) return false;
    lo = -FloorDiv(room - slant * g, scale);  // the ceiling of (slant * g - room) / scale
    hi = FloorDiv(slant * g + room, scale);
    return lo <= hi;
  }
  int64_t Cost(int64_t dx, int64_t g) const { return std::abs(scale * dx - slant * g) + 150 * g; }
  int32_t Store(int64_t cost) const { return ClampDistance(FastFloorDiv(cost, scale)); }
  // Below 2^22 the single-precision quotient rounded down is exact, and it vectorises: for
  // cost = k * scale + r with 0 < r < scale the quotient lies at least 1 / scale below k + 1,
  // more than half a unit in the last place while (k + 1) * scale < 2^24, so it rounds to below
  // k + 1 and not below k.
  void StoreRow(const int64_t* cost, const int32_t* g, int32_t* out, int n,
                int64_t largest) const {
    if (largest < EuclidMetric::floatExactBelow) {
      const auto divisor = static_cast<float>(scale);
      for (int x = 0; x < n; ++x) {
        const float quotient = static_cast<float>(static_cast<int32_t>(cost[x])) / divisor;
        out[x] = UnlessOnFeature(g[x], static_cast<int32_t>(quotient));
      }
    } else {
      StoreEachOf(*this, cost, g, out, n);
    }
  }
  int64_t LastOlderColumn(int64_t i, int64_t gi, int64_t u, int64_t gu) const {
    if (!Candidate(gu)) return boundary::neverBetter;
    if (!Candidate(gi)) return boundary::alwaysBetter;
    const int64_t pi = scale * i + slant * gi;  // lowest points, scaled
    const int64_t pu = scale * u + slant * gu;
    const int64_t dh = 150 * (gi - gu);
    const int64_t leftEnd = pi - pu + dh;  // candidate i minus candidate u far left
    const int64_t rightEnd = pu - pi + dh;  // and far right
    if (std::max(leftEnd, rightEnd) <= 0) return boundary::neverBetter;
    if (leftEnd > 0) return boundary::alwaysBetter;
    return FastFloorDiv(pi + pu - dh, 2 * scale);
  }

  bool flat = false;
  int64_t scale = 150;  // ay, or 1 for the flat triangle
  int64_t slant = 0;    // s * ax
};

// Runs body(metric) with the functor of the measure.
template <class Body>
void WithMetric(const Measure& measure, Body&& body) {
  switch (measure.function) {
    case DistanceFunction::euclid:
      return body(EuclidMetric{});
    case DistanceFunction::cityBlock:
      return body(CityBlockMetric{});
    case DistanceFunction::chessboard:
      return body(ChessboardMetric{});
    case DistanceFunction::triangle:
      return body(TriangleMetric(measure.apex.x, measure.apex.y, measure.reflected));
  }
}

}  // namespace dt
