// The row passes of the separable transforms, with the metric as a template parameter. Both read
// the column distances G of a row and write its distances; the caller draws them in the pass's
// writing order when it draws. Algorithm 1's row pass is EnvelopeRows (a few rows at once;
// EnvelopeRow for one): the lower envelope for any metric, and for city-block, chessboard and the
// triangle (a leaning one without winners) overloads in two plain sweeps that give the same values
// faster; both drawing and timing go through it. With nothing drawn, the Euclidean rows go through
// EuclidRows, which searches near each pixel where distances are short and takes the envelope
// elsewhere.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "distance/DistanceFunctions.h"

namespace dt {

// Algorithm 1's row pass takes up to this many rows at once (EnvelopeRows).
constexpr int envelopeRowsAtOnce = 4;

// NearbyEuclidRow looks at most this many columns to either side of a pixel (its squared
// distances stay below 2^22, where single precision is exact for them).
constexpr int nearbyReach = 1024;
// Working memory of the row passes, allocated once per pass and reused for every row.
struct RowScratch {
  // What the envelope of one row needs.
  struct Lane {
    explicit Lane(std::size_t n)
        : site(n), g(n), start(n + 1), cost(n + block), staysOut(n) {}
    std::vector<int32_t> site;   // columns of the candidates on the envelope, left to right
    std::vector<int64_t> g;      // their G
    std::vector<int32_t> start;  // the first column each of them owns, and the row's end
    std::vector<int64_t> cost;   // the winning candidate's cost at every column, and padding
    std::vector<uint8_t> staysOut;  // per column: 1 where no candidate enters the envelope
  };
  static constexpr int block = 8;

  explicit RowScratch(int width)
      : lanes(envelopeRowsAtOnce, Lane(Size(width))),
        beatenOnRight(Size(width)),
        leftBest(Size(width)),
        lastOfG(Size(width) + 2, -1),
        nearby(Size(width) + 2 * (nearbyReach + nearbyGroup), nearbyFar),
        nearbyKeys(nearby.size(), farKey),
        armsRight(Size(width)),
        armsLeft(Size(width)) {}
  std::vector<Lane> lanes;
  std::vector<uint8_t> beatenOnRight;  // per column, bit r for lane r: a candidate to the right
                                       // is at least as good from there on
  std::vector<int32_t> leftBest;  // chessboard: the best candidate at or left of each column
  std::vector<int64_t> lastOfG;   // chessboard: where G = t was seen last, as stamp + column
  int64_t stamp = 0;              // chessboard: entries of lastOfG below it are from earlier rows
  std::vector<int32_t> winners;   // the winning columns of a batch, when they are asked for
  // NearbyEuclidRow: the squares of a row's G, with nearbyReach + nearbyGroup columns of
  // nearbyFar on either side (nearbyGroup: the most pixels searched together); and whether the
  // last row EuclidRows finished had short distances.
  static constexpr int nearbyGroup = 32;
  static constexpr float nearbyFar = 1e30f;
  std::vector<float> nearby;
  bool shortDistances = true;
  // NearbyEuclidRow with winners searches integer keys, cost * 2048 + 1024 + offset, the least of
  // which gives both the distance and its column. Costs below keyCap + keyReach^2 < 2^20 keep
  // every key below 2^31: the search reaches keyReach columns, and a squared G from keyCap on
  // (farKey, as beyond the row) never wins within that reach.
  static constexpr int keyReach = 724;
  static constexpr int32_t keyCap = (1 << 20) - keyReach * keyReach - 1;
  static constexpr int32_t farKey = keyCap * 2048 + 1024;
  std::vector<int32_t> nearbyKeys;
  // The triangle's sweeps in single precision: per column, the least of the arms that join the
  // sweep from the left there (then that sweep's costs) and of those that join the one from the
  // right; and, for a leaning triangle, the floor and ceiling of slant * G / scale for G from 0
  // on, as far as its rows have needed them.
  std::vector<float> armsRight, armsLeft;
  std::vector<int32_t> leanFloor, leanCeiling;

 private:
  static std::size_t Size(int width) { return width > 0 ? static_cast<std::size_t>(width) : 1; }
};

// Marks the columns whose candidate can be left out of the envelope without looking at the
// others: no candidate at all, or the inner columns of a run of G = 0 (feature pixels on the row
// itself). Such a column costs 0 on itself, which the row pass writes directly, and beyond the
// run its outermost columns beat it.
template <class Metric>
void MarkColumnsStayingOut(const Metric& metric, const int32_t* g, int width, uint8_t* staysOut) {
  // A copy the byte stores cannot alias, so that the loop vectorises.
  const Metric candidates = metric;
  const auto stays = [&](int32_t left, int32_t gx, int32_t right) {
    return static_cast<uint8_t>((gx == noFeature) | !candidates.Candidate(gx) |
                                ((gx == 0) & (left == 0) & (right == 0)));
  };
  if (width == 1) staysOut[0] = stays(noFeature, g[0], noFeature);
  if (width < 2) return;
  staysOut[0] = stays(noFeature, g[0], g[1]);
  for (int x = 1; x < width - 1; ++x) staysOut[x] = stays(g[x - 1], g[x], g[x + 1]);
  staysOut[width - 1] = stays(g[width - 2], g[width - 1], noFeature);
}

// Marks the columns x for which some candidate r > x is at least as good as x at every column
// from x on, for rows rows at once: bit r of beaten[x] for row r. Only the Euclidean metric marks
// any (RowPasses.cpp); for the others it is left unknown.
template <class Metric>
void MarkBeatenOnRight(const Metric&, const int32_t* const*, int, int width, uint8_t* beaten) {
  std::fill(beaten, beaten + width, uint8_t{0});
}

void MarkBeatenOnRight(const EuclidMetric&, const int32_t* const* g, int rows, int width,
                       uint8_t* beaten);

// The Euclidean row pass by looking near each pixel: D(x)^2 is the least d^2 + G(x + d)^2, and
// once d^2 reaches the best so far no candidate further away does better, so the search around
// x ends after about D(x) columns. Where distances are short that is less work than the
// envelope, and it has no branch to mispredict but the end of each search. Sixteen pixels are
// searched together in single precision, 32 on processors with AVX2. Returns false, with out
// partly written, where a distance lies beyond nearbyReach (RowScratch::keyReach with winners)
// or the groups' searches take more than 4 * width steps in all (64 columns to either side of a
// pixel on average): the row is then the envelope's. out must not be g. Given `winner`,
// winner[x] is the column whose candidate gives x its distance (the leftmost, where several do).
bool NearbyEuclidRow(const int32_t* g, int width, RowScratch& scratch, int32_t* out,
                     int32_t* winner = nullptr);

// The pixels a vector of NearbyEuclidRow's search holds on this processor (8 with AVX2, 4
// without; 0 without SSE2, where it always gives up), and the same search with 4 lanes or
// NearbyLanes() of them chosen.
int NearbyLanes();
bool NearbyEuclidRowWith(int lanes, const int32_t* g, int width, RowScratch& scratch,
                         int32_t* out, int32_t* winner = nullptr);

// The search for a pixel ends after about its distance in columns, and the envelope costs about
// the same at every pixel: EuclidRows gives rows to NearbyEuclidRow while the last row finished
// had a mean distance up to this (20 where the search takes four pixels a vector, 28 where it
// takes eight, on processors with AVX2; on sparse points the mean is about 16). With winners the
// search minimizes integer keys, for which SSE2 has no minimum of its own: 10 with four lanes,
// 28 with eight.
int NearbyMeanDistance(bool winners);

// Algorithm 1's row pass: the exact lower envelope of the candidates (Meijster, Roerdink and
// Hesselink 2000) of rows rows at once (1 to envelopeRowsAtOnce), row r read from g[r] and
// written to out[r] (which may be g[r]). The rows are independent; taking their candidates in
// turn, column by column, lets the processor get on with one row while another waits for a
// division or a mispredicted branch.
//
// A new candidate u pops the top entry while it is strictly better at the first column that entry
// owns: since the older candidate wins on a prefix of the row, u is then strictly better on all of
// that entry's columns. Any entry can go, the first ones included, which keeps the result exact
// everywhere. u then owns the columns after LastOlderColumn(top, u), if any lies inside the row.
// Ties stay with the older candidate; the value is the same either way.
//
// A candidate beaten on its right that the top of the envelope also beats at its own column is
// beaten everywhere (the older one wins on a prefix) and never enters: on rows of scattered G
// that leaves out most columns before any unpredictable branch is spent on them.
//
// Given `winner`, each column's winner[r][x] is the column whose candidate gives its distance
// (the envelope's owner there, the column itself where G is 0), -1 where there is none. The
// sweeps below for city-block, chessboard and the upright triangle keep winners of their own.
template <class Metric>
void EnvelopeRows(const Metric& metric, const int32_t* const* g, int32_t* const* out, int rows,
                  int width, RowScratch& scratch, int32_t* const* winner = nullptr) {
  struct Row {
    const int32_t* g;
    const uint8_t* staysOut;
    int32_t* site;
    int64_t* sg;
    int32_t* start;
    int q;  // the top entry, -1 while the envelope is empty
  };
  Row row[envelopeRowsAtOnce];
  for (int r = 0; r < rows; ++r) {
    RowScratch::Lane& lane = scratch.lanes[static_cast<std::size_t>(r)];
    MarkColumnsStayingOut(metric, g[r], width, lane.staysOut.data());
    row[r] = Row{g[r], lane.staysOut.data(), lane.site.data(), lane.g.data(), lane.start.data(),
                 -1};
  }
  const uint8_t* beaten = scratch.beatenOnRight.data();
  MarkBeatenOnRight(metric, g, rows, width, scratch.beatenOnRight.data());
  for (int u = 0; u < width; ++u) {
    for (int r = 0; r < rows; ++r) {
      Row* it = row + r;
      if (it->staysOut[u]) continue;
      const int64_t gu = it->g[u];
      int32_t* site = it->site;
      int64_t* sg = it->sg;
      int32_t* start = it->start;
      int q = it->q;
      if (((beaten[u] >> r) & 1u) && q >= 0 &&
          metric.Cost(u - site[q], sg[q]) <= metric.Cost(0, gu))
        continue;
      while (q >= 0 && metric.Cost(start[q] - site[q], sg[q]) > metric.Cost(start[q] - u, gu)) --q;
      // Not popped: the top is at least as good at its first column, so the crossing lies at or
      // after it (or there is none).
      const int64_t boundary = q < 0 ? -1 : metric.LastOlderColumn(site[q], sg[q], u, gu);
      if (boundary < width - 1) {  // else u owns no column of the row
        ++q;
        site[q] = u;
        sg[q] = gu;
        start[q] = static_cast<int32_t>(boundary + 1);
      }
      it->q = q;
    }
  }
  for (int r = 0; r < rows; ++r) {
    const Row& it = row[r];
    if (winner != nullptr) {  // before the distances, which may overwrite g
      for (int k = 0; k <= it.q; ++k)
        std::fill(winner[r] + it.start[k], winner[r] + (k < it.q ? it.start[k + 1] : width),
                  it.site[k]);
      if (it.q < 0) std::fill(winner[r], winner[r] + width, -1);
      for (int x = 0; x < width; ++x)
        if (it.g[x] == 0) winner[r][x] = x;
    }
    if (it.q < 0) {  // no candidate at all
      std::fill(out[r], out[r] + width, noFeature);
      continue;
    }
    // Each entry's columns, in blocks of a fixed size: the branch that ends a short run of
    // columns is then predictable. A block runs over into the next entry's columns, which that
    // entry writes afterwards, or into the padding after the row.
    int64_t* cost = scratch.lanes[static_cast<std::size_t>(r)].cost.data();
    int64_t largest = 0;
    it.start[it.q + 1] = width;
    for (int k = 0; k <= it.q; ++k) {
      const int from = it.start[k], end = it.start[k + 1];
      const int64_t s = it.site[k], gs = it.sg[k];
      for (int x = from; x < end; x += RowScratch::block)
        for (int j = 0; j < RowScratch::block; ++j) cost[x + j] = metric.Cost(x + j - s, gs);
      // Every candidate is convex along the row: its largest cost lies at an end of its columns.
      largest = std::max({largest, metric.Cost(from - s, gs), metric.Cost(end - 1 - s, gs)});
    }
    // A column of G = 0 is its own best candidate: StoreRow writes 0 there.
    metric.StoreRow(cost, it.g, out[r], width, largest);
  }
}

// The distances of one row by algorithm 1 into out (which may be g itself).
template <class Metric>
void EnvelopeRow(const Metric& metric, const int32_t* g, int width, RowScratch& scratch,
                 int32_t* out) {
  EnvelopeRows(metric, &g, &out, 1, width, scratch);
}

// Algorithm 1's row pass for the city-block distance: min over i of |x - i| + G(i) is the
// classic pair of sweeps, D(x) = min(G(x), D(x - 1) + 1) from the left, then
// D(x) = min(D(x), D(x + 1) + 1) from the right; no candidate stays noFeature. In place is fine.
// CityBlockRowsWithWinners keeps the column each minimum came from.
inline void EnvelopeRow(const CityBlockMetric&, const int32_t* g, int width, RowScratch&,
                        int32_t* out) {
  int32_t run = noFeature;
  for (int x = 0; x < width; ++x) out[x] = run = std::min(g[x], OneFurther(run));
  for (int x = width - 2; x >= 0; --x) out[x] = std::min(out[x], OneFurther(out[x + 1]));
}

// Algorithm 1's row pass for the chessboard distance, in two linear sweeps without a stack.
// L(x) = min over i <= x of max(x - i, G(i)) never falls when the candidate x itself is left
// out: the others only move further away. Leaving out x, the best is L(x - 1) while a candidate
// i <= x - 1 with G(i) <= L(x - 1) lies within x - L(x - 1), and L(x - 1) + 1 otherwise. The
// sweep keeps the witness w: the nearest column seen so far with G(w) <= L, always within L of
// the current column. Then
//   M = L(x - 1) if x - w <= L(x - 1), else L(x - 1) + 1, and L(x) = min(G(x), M);
// the witness becomes x if G(x) <= M, else stays w, or moves to the last column with G = M when
// M grew (the nearest column with G <= M + 1 is the nearer of these two). L stays below the
// width once M grows, so only G up to the width need their last column. The sweep from the right
// gives R the same way, and the distance is min(L, R), the value the lower envelope gives. The
// witness gives L at its column, so given `winner` it is the winner there.
inline void EnvelopeRow(const ChessboardMetric&, const int32_t* g, int width, RowScratch& scratch,
                        int32_t* out, int32_t* winner = nullptr) {
  int32_t* left = scratch.leftBest.data();
  int64_t* lastOfG = scratch.lastOfG.data();
  // Sweeps from column `from` in direction step (+1 or -1); emit(x, L, witness) for every column
  // (witness -1 before the first candidate). Returns false when the row has no candidate.
  auto sweep = [&](int from, int step, auto&& emit) {
    const int64_t base = scratch.stamp;
    scratch.stamp += width;
    int x = from, n = 0;
    for (; n < width && g[x] == noFeature; ++n, x += step) emit(x, noFeature, -1);
    if (n == width) return false;
    int32_t best = g[x];
    int witness = x;
    if (best <= width) lastOfG[best] = base + x;
    emit(x, best, witness);
    for (++n, x += step; n < width; ++n, x += step) {
      const int32_t gx = g[x];
      int32_t m = best;
      if ((x - witness) * step > best) {  // the witness went out of reach: best grows by 1
        m = best + 1;
        if (m <= width && lastOfG[m] >= base) {
          const auto seen = static_cast<int>(lastOfG[m] - base);
          if ((x - seen) * step < (x - witness) * step) witness = seen;
        }
      }
      if (gx <= m) {
        best = gx;
        witness = x;
      } else {
        best = m;
      }
      if (gx <= width) lastOfG[gx] = base + x;
      emit(x, best, witness);
    }
    return true;
  };
  if (winner == nullptr) {
    if (!sweep(0, 1, [&](int x, int32_t best, int) { left[x] = best; })) {
      std::fill(out, out + width, noFeature);
      return;
    }
    // g[x] is read before out[x] is written, so out may be g itself.
    sweep(width - 1, -1, [&](int x, int32_t best, int) { out[x] = std::min(left[x], best); });
    return;
  }
  const bool any = sweep(0, 1, [&](int x, int32_t best, int witness) {
    left[x] = best;
    winner[x] = witness;
  });
  if (!any) {
    std::fill(out, out + width, noFeature);
    return;
  }
  sweep(width - 1, -1, [&](int x, int32_t best, int witness) {
    if (best < left[x]) winner[x] = witness;
    out[x] = std::min(left[x], best);
  });
}

// Algorithm 1's Euclidean row pass with nothing drawn (out[r] not g[r]): by NearbyEuclidRow
// while the last row finished had a mean distance up to NearbyMeanDistance, else (and where it
// gives up) by the envelope; with the winning columns as EnvelopeRows gives them when `winner`
// is not null.
void EuclidRows(const int32_t* const* g, int32_t* const* out, int rows, int width,
                RowScratch& scratch, int32_t* const* winner = nullptr);

// The city-block sweeps of EnvelopeRow keeping winners, for rows rows side by side, so that none
// waits for its own minimum and winner of the column before. In place is fine.
void CityBlockRowsWithWinners(const int32_t* const* g, int32_t* const* out, int rows, int width,
                              int32_t* const* winner);

// City-block rows without winners go one after another (their sweeps vectorise), and so do the
// chessboard's.
inline void EnvelopeRows(const CityBlockMetric& metric, const int32_t* const* g,
                         int32_t* const* out, int rows, int width, RowScratch& scratch,
                         int32_t* const* winner = nullptr) {
  if (winner != nullptr) {
    CityBlockRowsWithWinners(g, out, rows, width, winner);
    return;
  }
  for (int r = 0; r < rows; ++r) EnvelopeRow(metric, g[r], width, scratch, out[r]);
}

inline void EnvelopeRows(const ChessboardMetric& metric, const int32_t* const* g,
                         int32_t* const* out, int rows, int width, RowScratch& scratch,
                         int32_t* const* winner = nullptr) {
  for (int r = 0; r < rows; ++r)
    EnvelopeRow(metric, g[r], width, scratch, out[r], winner ? winner[r] : nullptr);
}

// Algorithm 1's row pass for the triangle. Scaled by the apex's height, the candidate of column
// i costs |scale * (x - i) - slant * G(i)| + 150 * G(i): without winners, two sweeps that each
// candidate's arms join at the columns where they start to hold, a row at a time in single
// precision where the row's costs allow; else, for a triangle of slant 0 (the apex above the
// centre of the base, or on the base), the city-block sweeps with each column further costing
// scale, of rows rows side by side (given `winner`, keeping the column each minimum came from),
// and for a leaning one the envelope. In place is fine.
void TriangleRows(const TriangleMetric& metric, const int32_t* const* g, int32_t* const* out,
                  int rows, int width, RowScratch& scratch, int32_t* const* winner);

inline void EnvelopeRows(const TriangleMetric& metric, const int32_t* const* g,
                         int32_t* const* out, int rows, int width, RowScratch& scratch,
                         int32_t* const* winner = nullptr) {
  TriangleRows(metric, g, out, rows, width, scratch, winner);
}

// For a threshold of algorithm 1's row distances at one size: which offsets each G allows, for a
// row of a given width (offsets beyond the row are cut, which changes nothing inside it).
struct ChordTable {
  // G from 0 to top (the column distances that can still be within the size; top may be -1);
  // any larger G, noFeature included, allows nothing.
  template <class Metric>
  ChordTable(const Metric& metric, int64_t size, int32_t top, int width) {
    const std::size_t n = static_cast<std::size_t>(std::max(top, -1)) + 2;
    lo.assign(n, 0);  // allows nothing: reaches one column short of its start
    hi.assign(n, -1);
    const int64_t limit = std::max(width, 1);
    for (int32_t g = 0; g <= top; ++g) {
      int64_t a = 0, b = 0;
      if (metric.Chord(g, size, a, b)) {
        lo[g] = static_cast<int32_t>(std::clamp(a, -limit, limit));
        hi[g] = static_cast<int32_t>(std::clamp(b, -limit, limit));
      }
    }
    last = static_cast<int32_t>(n - 1);
  }
  std::vector<int32_t> lo, hi;
  int32_t last = 0;  // the entry that allows nothing
};

// Algorithm 1's row pass and a threshold in one: whether the distance of each column lies
// within the size, without the distances. Column x is within it exactly when some candidate i
// allows x - i (the chord of G(i)), so the row is the union of the candidates' intervals: each
// candidate records how far its interval reaches at the column where it begins, and one sweep
// keeps the furthest reach so far. Writes 1 where within the size (not within, for an erosion).
//
// reachFrom holds 3 * width entries: entry width + c stands for column c, so that every interval
// start (the chords are cut to the row's width) has its place without clamping.
inline void ThresholdRow(const ChordTable& chords, const int32_t* g, int width,
                         std::vector<int32_t>& reachFrom, int32_t* out, bool erosion) {
  int32_t* reach = reachFrom.data();
  std::fill(reach, reach + 2 * std::size_t(width), -1);
  int32_t* at = reach + width;  // at[c] for column c, c from -width to 2 * width - 1
  const int32_t* lo = chords.lo.data();
  const int32_t* hi = chords.hi.data();
  for (int x = 0; x < width; ++x) {
    const auto k = static_cast<std::size_t>(std::min(g[x], chords.last));
    int32_t& slot = at[x + lo[k]];
    slot = std::max(slot, x + hi[k]);
  }
  int32_t furthest = *std::max_element(reach, reach + width);  // intervals begun left of the row
  for (int x = 0; x < width; ++x) {
    furthest = std::max(furthest, at[x]);
    out[x] = static_cast<int32_t>((furthest >= x) != erosion);
  }
}

// Algorithm 2's row pass: every pixel against every candidate of its row. Given `winner`, also
// the first column whose candidate gives each column its distance, -1 where there is none.
template <class Metric>
void ExhaustiveRow(const Metric& metric, const int32_t* g, int width, int32_t* out,
                   int32_t* winner = nullptr) {
  const auto candidate = [&](int k) { return g[k] != noFeature && metric.Candidate(g[k]); };
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
    out[x] = found ? metric.Store(best) : noFeature;
    if (winner == nullptr) continue;
    winner[x] = -1;
    for (int k = 0; found && winner[x] < 0; ++k)
      if (candidate(k) && metric.Cost(x - k, g[k]) == best) winner[x] = k;
  }
}

}  // namespace dt
