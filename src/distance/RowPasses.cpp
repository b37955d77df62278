// The Euclidean row pass's vector parts: the sweep that marks the candidates beaten on their
// right, four rows at once in the lanes of one vector, and the search near each pixel; and the
// triangle's sweeps.
#include "distance/RowPasses.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "image/Processor.h"

namespace dt {

// Candidate r beats x from x on exactly when (r - x)^2 + G(r)^2 <= G(x)^2, since the difference
// of the two falls along the row (and then G(r) < G(x)). One sweep from the right follows a good
// r: at every column the better of the one followed so far and the column just right of it. It
// finds most of them, which is all the envelope needs.
//
// In 32-bit lanes: costs saturate at `cap`, above the square of every G below 2^15; a G from 2^15
// on is never marked and never followed. Saturating only ever loses a mark, so every mark made
// is true. Without SSE2 nothing is marked.
void MarkBeatenOnRight(const EuclidMetric&, const int32_t* const* g, int rows, int width,
                       uint8_t* beaten) {
#if defined(__SSE2__)
  constexpr int32_t cap = (1 << 30) - 1;
  const __m128i vcap = _mm_set1_epi32(cap);
  const __m128i below = _mm_set1_epi32(1 << 15);
  const __m128i one = _mm_set1_epi32(1), two = _mm_set1_epi32(2), three = _mm_set1_epi32(3);
  const auto pick = [](__m128i mask, __m128i a, __m128i b) {
    return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b));
  };
  const auto capped = [&](__m128i v) { return pick(_mm_cmpgt_epi32(v, vcap), vcap, v); };
  // Lanes past the batch repeat its first row; their marks are never read.
  const int32_t* row[4];
  for (int r = 0; r < 4; ++r) row[r] = g[r < rows ? r : 0];
  __m128i best = vcap;  // the followed candidate's cost at column x
  __m128i step = one;   // how much that cost grows from x to x - 1
  for (int x = width - 1; x >= 0; --x) {
    const __m128i gx = _mm_set_epi32(row[3][x], row[2][x], row[1][x], row[0][x]);
    const __m128i small = _mm_cmplt_epi32(gx, below);  // noFeature is not
    const __m128i own = pick(small, _mm_madd_epi16(gx, gx), vcap);  // G^2, as G < 2^15
    const __m128i marked = _mm_andnot_si128(_mm_cmpgt_epi32(best, own), small);
    beaten[x] = static_cast<uint8_t>(_mm_movemask_ps(_mm_castsi128_ps(marked)));
    // Over to column x - 1: the followed candidate moves one further away, x is one away.
    const __m128i further = capped(_mm_add_epi32(best, step));
    const __m128i ownNext = _mm_add_epi32(own, one);
    const __m128i take = _mm_and_si128(_mm_cmpgt_epi32(further, ownNext), small);
    best = pick(take, ownNext, further);
    step = pick(take, three, capped(_mm_add_epi32(step, two)));
  }
#else
  (void)g;
  (void)rows;
  std::fill(beaten, beaten + width, uint8_t{0});
#endif
}

#if defined(__SSE2__)
namespace {

// The search's lanes in GCC's vector types: four in SSE2 registers for the baseline, eight in
// AVX2 registers where the processor has them.
template <int Lanes>
struct Vectors;
template <>
struct Vectors<4> {
  using Floats = float __attribute__((vector_size(16)));
  using Ints = int32_t __attribute__((vector_size(16)));
  using Longs = long long __attribute__((vector_size(16)));
};
template <>
struct Vectors<8> {
  using Floats = float __attribute__((vector_size(32)));
  using Ints = int32_t __attribute__((vector_size(32)));
  using Longs = long long __attribute__((vector_size(32)));
};

#define DT_INLINE inline __attribute__((always_inline))

template <class V>
DT_INLINE V Load(const void* at) {
  V v;
  std::memcpy(&v, at, sizeof v);
  return v;
}

template <int Lanes>
DT_INLINE bool AnySet(typename Vectors<Lanes>::Ints mask) {
  const auto words = reinterpret_cast<typename Vectors<Lanes>::Longs>(mask);
  long long any = 0;
  for (int k = 0; k < Lanes / 2; ++k) any |= words[k];
  return any != 0;
}

template <class V>
DT_INLINE V Min(V a, V b) {
  return a < b ? a : b;
}

// The start of a group's search: each lane's own column, where `left` columns of the row remain,
// and 0 past the row, which ends its search at once.
template <int Lanes, class V, int count, class Element>
DT_INLINE void StartGroup(V (&best)[count], const Element* at, int left) {
  typename Vectors<Lanes>::Ints lanes;
  for (int k = 0; k < Lanes; ++k) lanes[k] = k;
  for (int v = 0; v < count; ++v)
    best[v] = lanes + Lanes * v < left ? Load<V>(at + Lanes * v) : V{};
}

// The body of NearbyEuclidRow without winners: Lanes columns a vector, Group columns searched
// together (a multiple of Lanes, at most RowScratch::nearbyGroup).
template <int Lanes, int Group>
DT_INLINE bool SearchNearby(const int32_t* g, int width, RowScratch& scratch, int32_t* out) {
  using Floats = typename Vectors<Lanes>::Floats;
  using Ints = typename Vectors<Lanes>::Ints;
  constexpr int vectors = Group / Lanes;
  static_assert(Group % Lanes == 0 && Group <= RowScratch::nearbyGroup, "whole vectors, padded");
  // An integer below 2^24 in every lane (GCC builds an initializer list a lane at a time).
  const auto broadcast = [](int32_t value) __attribute__((always_inline)) {
    return __builtin_convertvector(Ints{} + value, Floats);
  };
  // G from 2^12 on has no exact square in single precision, but its candidate costs more than
  // nearbyReach^2 and so never gives a distance here.
  float* square = scratch.nearby.data() + nearbyReach + RowScratch::nearbyGroup;
  int x = 0;
  for (; x + Lanes <= width; x += Lanes) {  // squared in single precision, exact below 2^24
    const Ints value = Load<Ints>(g + x);
    const Floats real = __builtin_convertvector(value, Floats);
    const Floats squared = value < 4096 ? real * real : Floats{} + RowScratch::nearbyFar;
    std::memcpy(square + x, &squared, sizeof squared);
  }
  for (; x < width; ++x)
    square[x] = g[x] < 4096 ? static_cast<float>(g[x] * g[x]) : RowScratch::nearbyFar;
  int64_t budget = 4 * int64_t{width};
  for (int x0 = 0; x0 < width; x0 += Group) {
    const float* at = square + x0;
    Floats best[vectors];
    StartGroup<Lanes>(best, at, width - x0);
    // Four steps between the tests whether every lane's best is within d, where its search ends.
    for (int d = 1;; d += 4) {
      const Floats dd = broadcast(d * d);
      Ints open = best[0] > dd;
      for (int v = 1; v < vectors; ++v) open |= best[v] > dd;
      if (!AnySet<Lanes>(open)) break;
      budget -= 4;
      if (d + 3 > nearbyReach || budget < 0) return false;
      // The candidates d .. d + 3 columns away on either side, their minimum taken as a tree so
      // that each lane's best waits for one minimum a step, not four.
      Floats away[4];
      for (int k = 0; k < 4; ++k) away[k] = broadcast((d + k) * (d + k));
      for (int v = 0; v < vectors; ++v) {
        const float* lane = at + Lanes * v;
        Floats cost[4];
        for (int k = 0; k < 4; ++k)
          cost[k] = Min(Load<Floats>(lane - d - k), Load<Floats>(lane + d + k)) + away[k];
        best[v] = Min(best[v], Min(Min(cost[0], cost[1]), Min(cost[2], cost[3])));
      }
    }
    // Below 2^22 the square root truncated is exact (see EuclidMetric::StoreRow).
    alignas(32) float bests[Group];
    std::memcpy(bests, best, sizeof bests);
    alignas(16) int32_t root[Group];
    for (int q = 0; q < Group; q += 4)
      _mm_store_si128(reinterpret_cast<__m128i*>(root + q),
                      _mm_cvttps_epi32(_mm_sqrt_ps(_mm_load_ps(bests + q))));
    std::copy(root, root + std::min(Group, width - x0), out + x0);
  }
  return true;
}

// The same search with winners, on the integer keys of RowScratch: the candidate e columns to
// the left of x has the key keys[x - e] + 2048 e^2 - e, the one to the right keys[x + e] +
// 2048 e^2 + e, the column itself keys[x]; the least key is the least cost and, of the columns
// that give it, the leftmost.
template <int Lanes, int Group>
DT_INLINE bool SearchNearbyWinners(const int32_t* g, int width, RowScratch& scratch,
                                   int32_t* out, int32_t* winner) {
  using Ints = typename Vectors<Lanes>::Ints;
  constexpr int vectors = Group / Lanes;
  constexpr int reach = RowScratch::keyReach;
  static_assert(Group % Lanes == 0 && Group <= RowScratch::nearbyGroup, "whole vectors, padded");
  int32_t* keys = scratch.nearbyKeys.data() + nearbyReach + RowScratch::nearbyGroup;
  for (int x = 0; x < width; ++x) {
    keys[x] = (g[x] < reach ? g[x] * g[x] : RowScratch::keyCap) * 2048 + 1024;
  }
  int64_t budget = 4 * int64_t{width};
  for (int x0 = 0; x0 < width; x0 += Group) {
    const int32_t* at = keys + x0;
    Ints best[vectors];
    StartGroup<Lanes>(best, at, width - x0);
    for (int d = 1;; d += 4) {
      // A lane is done once its cost is at most d^2, its key below 2048 (d^2 + 1).
      const Ints done = Ints{} + (d * d + 1) * 2048;
      Ints open = best[0] >= done;
      for (int v = 1; v < vectors; ++v) open |= best[v] >= done;
      if (!AnySet<Lanes>(open)) break;
      budget -= 4;
      if (d + 3 > reach || budget < 0) return false;
      int32_t left[4], right[4];
      for (int k = 0; k < 4; ++k) {
        const int32_t e = d + k;
        left[k] = 2048 * e * e - e;
        right[k] = 2048 * e * e + e;
      }
      for (int v = 0; v < vectors; ++v) {
        const int32_t* lane = at + Lanes * v;
        Ints key[4];
        for (int k = 0; k < 4; ++k)
          key[k] = Min(Load<Ints>(lane - d - k) + left[k], Load<Ints>(lane + d + k) + right[k]);
        best[v] = Min(best[v], Min(Min(key[0], key[1]), Min(key[2], key[3])));
      }
    }
    alignas(32) int32_t bests[Group];
    std::memcpy(bests, best, sizeof bests);
    const int count = std::min(Group, width - x0);
    for (int k = 0; k < count; ++k) {
      // Below 2^20 the square root truncated is exact (see EuclidMetric::StoreRow).
      out[x0 + k] = static_cast<int32_t>(std::sqrt(static_cast<float>(bests[k] >> 11)));
      winner[x0 + k] = x0 + k + (bests[k] & 2047) - 1024;
    }
  }
  return true;
}

#undef DT_INLINE

bool SearchNearby4(const int32_t* g, int width, RowScratch& scratch, int32_t* out,
                   int32_t* winner) {
  return winner == nullptr ? SearchNearby<4, 16>(g, width, scratch, out)
                           : SearchNearbyWinners<4, 16>(g, width, scratch, out, winner);
}

#if defined(__x86_64__) && defined(__GNUC__)
#define DT_NEARBY_AVX2 1
__attribute__((target("avx2"))) bool SearchNearby8(const int32_t* g, int width,
                                                   RowScratch& scratch, int32_t* out,
                                                   int32_t* winner) {
  return winner == nullptr ? SearchNearby<8, 32>(g, width, scratch, out)
                           : SearchNearbyWinners<8, 32>(g, width, scratch, out, winner);
}
#endif

struct NearbySearch {
  bool (*run)(const int32_t*, int, RowScratch&, int32_t*, int32_t*);
  int lanes;
  // The mean distances up to which it costs less than the envelope, without and with winners.
  int meanDistance;
  int meanDistanceWithWinners;
};

const NearbySearch narrowSearch = {SearchNearby4, 4, 20, 10};

// Measured on points of several densities and on blobs: the envelope costs as much as the search
// at a mean distance of about 20 with four lanes and about 28 with eight; with winners, whose
// keys SSE2 has no minimum of its own for, at about 10 and 28.
const NearbySearch& ChosenSearch() {
  static const NearbySearch chosen = [] {
#if defined(DT_NEARBY_AVX2)
    if (UseAvx2()) return NearbySearch{SearchNearby8, 8, 28, 28};
#endif
    return narrowSearch;
  }();
  return chosen;
}

}  // namespace
#endif

bool NearbyEuclidRow(const int32_t* g, int width, RowScratch& scratch, int32_t* out,
                     int32_t* winner) {
  return NearbyEuclidRowWith(NearbyLanes(), g, width, scratch, out, winner);
}

bool NearbyEuclidRowWith(int lanes, const int32_t* g, int width, RowScratch& scratch,
                         int32_t* out, int32_t* winner) {
#if defined(__SSE2__)
  const NearbySearch& search = lanes == narrowSearch.lanes ? narrowSearch : ChosenSearch();
  return search.run(g, width, scratch, out, winner);
#else
  (void)lanes;
  (void)g;
  (void)width;
  (void)scratch;
  (void)out;
  (void)winner;
  return false;
#endif
}

int NearbyLanes() {
#if defined(__SSE2__)
  return ChosenSearch().lanes;
#else
  return 0;
#endif
}

int NearbyMeanDistance(bool winners) {
#if defined(__SSE2__)
  return winners ? ChosenSearch().meanDistanceWithWinners : ChosenSearch().meanDistance;
#else
  (void)winners;
  return 0;
#endif
}

void EuclidRows(const int32_t* const* g, int32_t* const* out, int rows, int width,
                RowScratch& scratch, int32_t* const* winner) {
  const int32_t* farG[envelopeRowsAtOnce] = {};
  int32_t* farOut[envelopeRowsAtOnce] = {};
  int32_t* farWinner[envelopeRowsAtOnce] = {};
  int far = 0;
  for (int r = 0; r < rows; ++r) {
    int32_t* won = winner != nullptr ? winner[r] : nullptr;
    if (scratch.shortDistances && NearbyEuclidRow(g[r], width, scratch, out[r], won)) continue;
    farG[far] = g[r];
    farWinner[far] = won;
    farOut[far++] = out[r];
  }
  if (far > 0)
    EnvelopeRows(EuclidMetric{}, farG, farOut, far, width, scratch,
                 winner != nullptr ? farWinner : nullptr);
  // From one row to the next no distance grows by more than 1, so the mean of the last row
  // tells what the next batch costs.
  int64_t sum = 0;
  for (int x = 0; x < width; ++x) sum += out[rows - 1][x];
  scratch.shortDistances = sum <= int64_t{NearbyMeanDistance(winner != nullptr)} * width;
}

namespace {

// CityBlockRowsWithWinners for n rows; the running minimums and columns of a fixed number of rows
// stay in registers.
template <int n>
void CityBlockWinnerSweeps(const int32_t* const* g, int32_t* const* out, int width,
                           int32_t* const* winner) {
  int32_t run[n], at[n];
  for (int r = 0; r < n; ++r) {
    run[r] = noFeature;
    at[r] = -1;
  }
  for (int x = 0; x < width; ++x)
    for (int r = 0; r < n; ++r) {
      const int32_t gx = g[r][x], moved = OneFurther(run[r]);
      at[r] = gx < moved ? x : at[r];  // noFeature never wins
      out[r][x] = run[r] = std::min(gx, moved);
      winner[r][x] = at[r];
    }
  for (int x = width - 2; x >= 0; --x)
    for (int r = 0; r < n; ++r) {
      const int32_t moved = OneFurther(run[r]), left = out[r][x];
      const bool nearer = moved < left;
      at[r] = nearer ? at[r] : winner[r][x];
      out[r][x] = run[r] = nearer ? moved : left;
      winner[r][x] = at[r];
    }
}

}  // namespace

void CityBlockRowsWithWinners(const int32_t* const* g, int32_t* const* out, int rows, int width,
                              int32_t* const* winner) {
  if (rows == envelopeRowsAtOnce) {
    CityBlockWinnerSweeps<envelopeRowsAtOnce>(g, out, width, winner);
    return;
  }
  for (int r = 0; r < rows; ++r) CityBlockWinnerSweeps<1>(g + r, out + r, width, winner + r);
}

namespace {

#if defined(__SSE2__)
// A triangle's candidate i costs |scale * x - p| + 150 G(i) at column x, with p = scale * i +
// slant * G(i) its lowest point: its left arm p + 150 G - scale * x holds up to column
// floor(p / scale), its right arm scale * x + 150 G - p from column ceil(p / scale) on, and
// between them they cover the row. So the row's costs are two sweeps: from the left, scale * x
// plus the running minimum of the right arms' 150 G - p, each from its first column; from the
// right, the running minimum of the left arms' p + 150 G, each from its last column, minus
// scale * x. TriangleArms holds, per column, the least of the arms that join there.
//
// The sweeps go four columns a vector in single precision, so that only the carry from the
// four columns before waits. While (150 + |slant|) G + scale * (width - 1) stays below 2^22 for
// every candidate of the row, every value they take is an exact integer (a column no arm joins
// holds about 2^29, rounded, and never wins where any candidate reaches), and so is the
// quotient by scale that StoreRow takes.
struct TriangleArms {
  static constexpr float none = 0x1p29f;
  float* right;  // 150 G - p of the right arms starting at each column (then the sweep's costs)
  float* left;   // p + 150 G of the left arms ending at each column
};

// Whether a row whose candidates' largest G is `most` keeps its sweeps in single precision.
bool ArmsFitFloats(const TriangleMetric& metric, int64_t most, int width) {
  const int64_t slant = metric.slant < 0 ? -metric.slant : metric.slant;
  return (150 + slant) * most + metric.scale * (width - 1) < EuclidMetric::floatExactBelow;
}

// The two sweeps over the arms of a row with at least one candidate, and its distances to `out`.
void SweepArms(const TriangleArms& arms, float step, const int32_t* g, int32_t* out, int width) {
  const int vectors = width / 4 * 4;
  // Lanes moved in take +infinity, which leaves every minimum as it is.
  const __m128i infinity = _mm_set1_epi32(0x7f800000);
  const auto moved = [&](__m128 v, auto shift, __m128i fill) {
    return _mm_castsi128_ps(_mm_or_si128(shift(_mm_castps_si128(v)), fill));
  };
  const __m128i fillLeft1 = _mm_srli_si128(infinity, 12), fillLeft2 = _mm_srli_si128(infinity, 8);
  const __m128i fillRight1 = _mm_slli_si128(infinity, 12), fillRight2 = _mm_slli_si128(infinity, 8);
  const __m128 stepFour = _mm_set1_ps(4 * step);

  __m128 index = _mm_mul_ps(_mm_setr_ps(0, 1, 2, 3), _mm_set1_ps(step));  // step * x
  __m128 running = _mm_set1_ps(TriangleArms::none);
  int x = 0;
  for (; x < vectors; x += 4) {
    __m128 v = _mm_loadu_ps(arms.right + x);
    v = _mm_min_ps(v, moved(v, [](__m128i a) { return _mm_slli_si128(a, 4); }, fillLeft1));
    v = _mm_min_ps(v, moved(v, [](__m128i a) { return _mm_slli_si128(a, 8); }, fillLeft2));
    v = _mm_min_ps(v, running);
    running = _mm_shuffle_ps(v, v, 0xff);
    _mm_storeu_ps(arms.right + x, _mm_add_ps(v, index));
    index = _mm_add_ps(index, stepFour);
  }
  float carry = _mm_cvtss_f32(running);
  for (; x < width; ++x) {
    carry = std::min(carry, arms.right[x]);
    arms.right[x] = carry + step * static_cast<float>(x);
  }

  const __m128 divisor = _mm_set1_ps(step);
  carry = TriangleArms::none;
  for (x = width - 1; x >= vectors; --x) {
    carry = std::min(carry, arms.left[x]);
    const float cost = std::min(arms.right[x], carry - step * static_cast<float>(x));
    out[x] = UnlessOnFeature(g[x], static_cast<int32_t>(cost / step));
  }
  index = _mm_mul_ps(_mm_add_ps(_mm_setr_ps(-4, -3, -2, -1), _mm_set1_ps(vectors)),
                     _mm_set1_ps(step));  // step * x
  running = _mm_set1_ps(carry);
  const __m128i zero = _mm_setzero_si128();
  for (x = vectors - 4; x >= 0; x -= 4) {
    const __m128i gs = _mm_loadu_si128(reinterpret_cast<const __m128i*>(g + x));
    __m128 v = _mm_loadu_ps(arms.left + x);
    v = _mm_min_ps(v, moved(v, [](__m128i a) { return _mm_srli_si128(a, 4); }, fillRight1));
    v = _mm_min_ps(v, moved(v, [](__m128i a) { return _mm_srli_si128(a, 8); }, fillRight2));
    v = _mm_min_ps(v, running);
    running = _mm_shuffle_ps(v, v, 0x00);
    const __m128 cost = _mm_min_ps(_mm_loadu_ps(arms.right + x), _mm_sub_ps(v, index));
    const __m128i distance = _mm_cvttps_epi32(_mm_div_ps(cost, divisor));
    const __m128i onFeature = _mm_cmpeq_epi32(gs, zero);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_andnot_si128(onFeature, distance));
    index = _mm_sub_ps(index, stepFour);
  }
}

// The arms of a row's candidates for SweepArms, and the row's distances by it where they fit
// single precision; false, with `out` untouched, where they may not.
bool TriangleRowInFloats(const TriangleMetric& metric, const int32_t* g, int32_t* out, int width,
                         RowScratch& scratch) {
  const TriangleArms arms{scratch.armsRight.data(), scratch.armsLeft.data()};
  const float step = static_cast<float>(metric.scale), none = TriangleArms::none;
  int32_t most = -1;  // the largest G of a candidate
  if (metric.slant == 0) {  // each candidate's arms meet at its own column
    const __m128i noCandidate = _mm_set1_epi32(noFeature), zero = _mm_setzero_si128();
    const __m128i notAny = _mm_set1_epi32(-1);
    const auto pick = [](__m128i mask, __m128i a, __m128i b) {
      return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b));
    };
    __m128 index = _mm_mul_ps(_mm_setr_ps(0, 1, 2, 3), _mm_set1_ps(step));  // step * x
    __m128i most4 = notAny;
    int x = 0;
    for (; x + 4 <= width; x += 4) {
      const __m128i gs = _mm_loadu_si128(reinterpret_cast<const __m128i*>(g + x));
      const __m128i candidate = metric.flat ? _mm_cmpeq_epi32(gs, zero)
                                            : _mm_xor_si128(_mm_cmpeq_epi32(gs, noCandidate),
                                                            notAny);
      const __m128 own = _mm_castsi128_ps(
          pick(candidate, _mm_castps_si128(_mm_mul_ps(_mm_cvtepi32_ps(gs), _mm_set1_ps(150.0f))),
               _mm_castps_si128(_mm_set1_ps(none))));
      _mm_storeu_ps(arms.right + x, _mm_sub_ps(own, index));
      _mm_storeu_ps(arms.left + x, _mm_add_ps(own, index));
      const __m128i kept = pick(candidate, gs, notAny);
      most4 = pick(_mm_cmpgt_epi32(kept, most4), kept, most4);
      index = _mm_add_ps(index, _mm_set1_ps(4 * step));
    }
    alignas(16) int32_t lanes[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), most4);
    most = std::max({lanes[0], lanes[1], lanes[2], lanes[3]});
    for (; x < width; ++x) {
      const int32_t gx = g[x];
      const bool candidate = gx != noFeature && metric.Candidate(gx);
      const float own = candidate ? 150.0f * static_cast<float>(gx) : none;
      arms.right[x] = own - step * static_cast<float>(x);
      arms.left[x] = own + step * static_cast<float>(x);
      most = std::max(most, candidate ? gx : -1);
    }
  } else {
    std::fill(arms.right, arms.right + width, none);
    std::fill(arms.left, arms.left + width, none);
    std::vector<int32_t>& lowest = scratch.leanFloor;
    std::vector<int32_t>& highest = scratch.leanCeiling;
    const int64_t scale = metric.scale, slant = metric.slant;
    for (int i = 0; i < width; ++i) {
      const int32_t gi = g[i];
      if (gi == noFeature) continue;  // every other column has a candidate
      if (gi > most) {
        most = gi;
        if (!ArmsFitFloats(metric, most, width)) return false;
        for (auto k = static_cast<int64_t>(lowest.size()); k <= gi; ++k) {
          lowest.push_back(static_cast<int32_t>(FloorDiv(slant * k, scale)));
          highest.push_back(static_cast<int32_t>(-FloorDiv(-slant * k, scale)));
        }
      }
      const auto p = static_cast<float>(scale * i + slant * gi);
      const float c = 150.0f * static_cast<float>(gi);
      const int64_t last = int64_t{i} + lowest[gi], first = int64_t{i} + highest[gi];
      if (last >= 0) {
        float& at = arms.left[std::min<int64_t>(last, width - 1)];
        at = std::min(at, p + c);
      }
      if (first < width) {
        float& at = arms.right[std::max<int64_t>(first, 0)];
        at = std::min(at, c - p);
      }
    }
  }
  if (most < 0) {  // no candidate at all
    std::fill(out, out + width, noFeature);
    return true;
  }
  if (!ArmsFitFloats(metric, most, width)) return false;
  SweepArms(arms, step, g, out, width);
  return true;
}

#endif

// The upright triangle's sweeps in 64 bits, of rows rows side by side; given `winner`, keeping
// the column each minimum came from.
void UprightTriangleRows(const TriangleMetric& metric, const int32_t* const* g,
                         int32_t* const* out, int rows, int width, RowScratch& scratch,
                         int32_t* const* winner) {
  // Above every cost the row can make, and far from overflowing when a column's step is added.
  constexpr int64_t none = int64_t{1} << 60;
  const int64_t step = metric.scale;
  const TriangleMetric candidates = metric;
  const auto own = [&](int64_t gx) {  // the candidate's cost on its own column
    return gx != noFeature && candidates.Candidate(gx) ? 150 * gx : none;
  };
  int64_t* cost[envelopeRowsAtOnce];
  int64_t run[envelopeRowsAtOnce], largest[envelopeRowsAtOnce];
  for (int r = 0; r < rows; ++r) {
    cost[r] = scratch.lanes[static_cast<std::size_t>(r)].cost.data();
    run[r] = none;
    largest[r] = 0;
  }
  if (winner == nullptr) {
    // The rows' sweeps side by side, so that none waits for its own minimum of the column before.
    for (int x = 0; x < width; ++x)
      for (int r = 0; r < rows; ++r) cost[r][x] = run[r] = std::min(run[r] + step, own(g[r][x]));
    for (int r = 0; r < rows; ++r) run[r] = none;
    for (int x = width - 1; x >= 0; --x)
      for (int r = 0; r < rows; ++r) {
        run[r] = std::min(run[r] + step, own(g[r][x]));
        cost[r][x] = std::min(cost[r][x], run[r]);
        largest[r] = std::max(largest[r], cost[r][x]);
      }
  } else {
    for (int r = 0; r < rows; ++r) {
      // Held at `none` while there is no candidate, so that a column without one never wins.
      const auto further = [&](int64_t v) { return std::min(v + step, none); };
      int32_t from = -1;
      for (int x = 0; x < width; ++x) {
        const int64_t here = own(g[r][x]), moved = further(run[r]);
        from = here < moved ? x : from;
        cost[r][x] = run[r] = std::min(here, moved);
        winner[r][x] = from;
      }
      run[r] = none;
      from = -1;
      for (int x = width - 1; x >= 0; --x) {
        const int64_t here = own(g[r][x]), moved = further(run[r]);
        from = here < moved ? x : from;
        run[r] = std::min(here, moved);
        winner[r][x] = run[r] < cost[r][x] ? from : winner[r][x];
        cost[r][x] = std::min(cost[r][x], run[r]);
        largest[r] = std::max(largest[r], cost[r][x]);
      }
    }
  }
  for (int r = 0; r < rows; ++r) {
    if (width == 0 || cost[r][0] >= none)  // no candidate at all
      std::fill(out[r], out[r] + width, noFeature);
    else
      metric.StoreRow(cost[r], g[r], out[r], width, largest[r]);
  }
}

}  // namespace

void TriangleRows(const TriangleMetric& metric, const int32_t* const* g, int32_t* const* out,
                  int rows, int width, RowScratch& scratch, int32_t* const* winner) {
#if defined(__SSE2__)
  // The rows whose costs may outgrow single precision are left to the others.
  const int32_t* leftG[envelopeRowsAtOnce];
  int32_t* leftOut[envelopeRowsAtOnce];
  if (winner == nullptr) {
    int left = 0;
    for (int r = 0; r < rows; ++r) {
      if (TriangleRowInFloats(metric, g[r], out[r], width, scratch)) continue;
      leftG[left] = g[r];
      leftOut[left++] = out[r];
    }
    if (left == 0) return;
    g = leftG;
    out = leftOut;
    rows = left;
  }
#endif
  if (metric.slant != 0)
    EnvelopeRows<TriangleMetric>(metric, g, out, rows, width, scratch, winner);
  else
    UprightTriangleRows(metric, g, out, rows, width, scratch, winner);
}

}  // namespace dt
