#include "distance/Chamfer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "image/Parallel.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace dt {

namespace {

// One step further than distance v; noFeature stays noFeature.
inline int32_t Step(int32_t v) { return std::min(v, noFeature - 1) + 1; }

// The smallest of a row's pixel and, for the chessboard, its two horizontal neighbours.
template <bool diagonal>
void NeighbourMinimum(const int32_t* __restrict row, int32_t* __restrict out, int width) {
  if (!diagonal || width == 1) {
    std::memcpy(out, row, sizeof(int32_t) * std::size_t(width));
    return;
  }
  out[0] = std::min(row[0], row[1]);
  for (int x = 1; x + 1 < width; ++x) out[x] = std::min(std::min(row[x - 1], row[x]), row[x + 1]);
  out[width - 1] = std::min(row[width - 2], row[width - 1]);
}

// The scans along a row, out[x] = min(out[x], out[x - 1] + 1) from the left and
// min(out[x], out[x + 1] + 1) from the right, have each pixel wait for the one before it. As a
// running minimum of out[k] - k (from the left) or out[k] + k - (width - 1) (from the right), the
// wait is one minimum per four pixels: the minimum of four pixels takes two shifted minimums, and
// only the carry from the four before them is serial. Both differences lie between -(width - 1)
// and noFeature, and so does every result, as the pixel's own term is among those it takes the
// minimum of.
#if defined(__SSE2__)
inline __m128i Min(__m128i a, __m128i b) {
  const __m128i aSmaller = _mm_cmpgt_epi32(b, a);
  return _mm_or_si128(_mm_and_si128(aSmaller, a), _mm_andnot_si128(aSmaller, b));
}

inline __m128i Step(__m128i v) {
  return _mm_add_epi32(Min(v, _mm_set1_epi32(noFeature - 1)), _mm_set1_epi32(1));
}
#endif

// A row of the pass down: 0 at feature pixels, else one step further than `above`, the nearest
// of the neighbours above (noFeature on the first row); then the scan from the left.
void DownRow(const int32_t* pixels, int featureValue, const int32_t* above, int32_t* out,
             int width) {
  int x = 0;
  int32_t carry = noFeature;  // the running minimum of out[k] - k
#if defined(__SSE2__)
  const __m128i feature = _mm_set1_epi32(featureValue);
  const __m128i fill = _mm_set_epi32(0, 0, 0, noFeature);
  __m128i index = _mm_set_epi32(3, 2, 1, 0);
  __m128i running = _mm_set1_epi32(noFeature);
  for (; x + 4 <= width; x += 4) {
    const __m128i isFeature = _mm_cmpeq_epi32(
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels + x)), feature);
    const __m128i up = Step(_mm_loadu_si128(reinterpret_cast<const __m128i*>(above + x)));
    __m128i v = _mm_sub_epi32(_mm_andnot_si128(isFeature, up), index);
    v = Min(v, _mm_or_si128(_mm_slli_si128(v, 4), fill));
    v = Min(v, _mm_or_si128(_mm_slli_si128(v, 8), _mm_shuffle_epi32(fill, 0x50)));
    v = Min(v, running);
    running = _mm_shuffle_epi32(v, 0xff);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_add_epi32(v, index));
    index = _mm_add_epi32(index, _mm_set1_epi32(4));
  }
  carry = _mm_cvtsi128_si32(running);
#endif
  for (; x < width; ++x) {
    carry = std::min(carry, (pixels[x] == featureValue ? 0 : Step(above[x])) - x);
    out[x] = carry + x;
  }
}

// A row of the pass up: the smaller of the row and one step further than `below`, the nearest
// of the neighbours below (none on the last row); then the scan from the right. The row is final
// and goes to `copy` too.
void UpRow(const int32_t* below, int32_t* out, int32_t* copy, int width) {
  const int32_t last = width - 1;
  int x = width;
  int32_t carry = noFeature;  // the running minimum of out[k] + k - last
#if defined(__SSE2__)
  const __m128i fill = _mm_set_epi32(noFeature, 0, 0, 0);
  __m128i index = _mm_set_epi32(0, -1, -2, -3);  // k - last for the four pixels at the end
  __m128i running = _mm_set1_epi32(noFeature);
  for (; x >= 4; x -= 4) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(out + x - 4));
    if (below != nullptr)
      v = Min(v, Step(_mm_loadu_si128(reinterpret_cast<const __m128i*>(below + x - 4))));
    v = _mm_add_epi32(v, index);
    v = Min(v, _mm_or_si128(_mm_srli_si128(v, 4), fill));
    v = Min(v, _mm_or_si128(_mm_srli_si128(v, 8), _mm_shuffle_epi32(fill, 0xf0)));
    v = Min(v, running);
    running = _mm_shuffle_epi32(v, 0x00);
    v = _mm_sub_epi32(v, index);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x - 4), v);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(copy + x - 4), v);
    index = _mm_sub_epi32(index, _mm_set1_epi32(4));
  }
  carry = _mm_cvtsi128_si32(running);
#endif
  for (--x; x >= 0; --x) {
    const int32_t v = below != nullptr ? std::min(out[x], Step(below[x])) : out[x];
    carry = std::min(carry, v + (x - last));  // x - last <= 0: no overflow
    out[x] = copy[x] = carry - (x - last);
  }
}

// The scan of the columns first .. last - 1 as a picture of their own, with `nearby` (room for
// a row of it).
template <bool diagonal>
void Scan(const ImageRecord& source, int featureValue, ImageRecord& work, ImageRecord& copy,
          int first, int last, int32_t* nearby) {
  const int width = last - first, height = source.height;
  std::fill(nearby, nearby + width, noFeature);
  for (int y = 0; y < height; ++y) {
    if (y > 0) NeighbourMinimum<diagonal>(work.rows[y - 1] + first, nearby, width);
    DownRow(source.rows[y] + first, featureValue, nearby, work.rows[y] + first, width);
  }
  for (int y = height - 1; y >= 0; --y) {
    if (y + 1 < height) NeighbourMinimum<diagonal>(work.rows[y + 1] + first, nearby, width);
    UpRow(y + 1 < height ? nearby : nullptr, work.rows[y] + first, copy.rows[y] + first, width);
  }
}

// On several threads the picture is cut into stripes of columns, each scanned as a picture of its
// own: that gives every pixel its distance to the feature pixels of its own stripe. The feature
// pixels beyond a stripe's edge reach it through the column just outside: with E the distances
// there (to every feature pixel on that side), a pixel k columns in has the candidate k + E(y)
// for the city-block, and k + the smallest E within k rows for the chessboard (a shortest path
// crosses the column at most k rows off its own, and E changes by at most one a row). Candidates
// only grow with k, so a row of the stripe is done once one does not help (city-block) or its
// own distance is at most k (chessboard, whose later candidates are at least their k). The edges
// are taken from left to right, then from right to left, each after the stripe beside it is
// complete from that side, and each reaches across its own stripe alone.
struct Edge {
  int from;   // the first column the candidates reach
  int end;    // one past the last (smaller than `from` when they go to the left)
  int outer;  // the column just outside, whose distances E are
};

template <bool diagonal>
void CrossEdge(const Edge& edge, const int32_t* outside, int height, int y, ImageRecord& work,
               ImageRecord& copy) {
  const int direction = edge.end > edge.from ? 1 : -1;
  int32_t nearest = outside[y];
  int32_t* row = work.rows[y];
  for (int k = 1, x = edge.from; x != edge.end; ++k, x += direction) {
    if (diagonal) {
      if (y - k >= 0) nearest = std::min(nearest, outside[y - k]);
      if (y + k < height) nearest = std::min(nearest, outside[y + k]);
    }
    if (nearest == noFeature) {
      if (!diagonal) return;
      if (row[x] <= k) return;
      continue;
    }
    const int32_t candidate = nearest + k;
    if (candidate < row[x]) {
      row[x] = copy.rows[y][x] = candidate;
    } else if (!diagonal || row[x] <= k) {
      return;
    }
  }
}

template <bool diagonal>
void StripedScan(const ImageRecord& source, int featureValue, ImageRecord& work,
                 ImageRecord& copy, int parts) {
  const int width = source.width, height = source.height;
  // Stripe bounds on multiples of a cache line of int32, so that threads rarely share a line.
  constexpr int cacheLine = 64 / sizeof(int32_t);
  std::vector<int32_t> nearby(static_cast<std::size_t>(width) + cacheLine * parts);
  std::vector<int32_t> outside(static_cast<std::size_t>(height));
  InParallel(width, parts, cacheLine, [&](int first, int last, int part) {
    Scan<diagonal>(source, featureValue, work, copy, first, last,
                   nearby.data() + first + cacheLine * part);
  });
  const auto cross = [&](const Edge& edge) {
    for (int y = 0; y < height; ++y) outside[y] = work.rows[y][edge.outer];
    InParallel(height, parts, 1, [&](int first, int last, int) {
      for (int y = first; y < last; ++y)
        CrossEdge<diagonal>(edge, outside.data(), height, y, work, copy);
    });
  };
  const auto start = [&](int part) { return PartStart(width, parts, cacheLine, part); };
  for (int part = 1; part < parts; ++part)
    cross(Edge{start(part), start(part + 1), start(part) - 1});
  for (int part = parts - 1; part >= 1; --part)
    cross(Edge{start(part) - 1, start(part - 1) - 1, start(part)});
}

template <bool diagonal>
void Scan(const ImageRecord& source, int featureValue, ImageRecord& work, ImageRecord& copy,
          int threads) {
  // Narrower stripes than this would not pay for a thread.
  const int parts = PartsFor(threads, source.width, 256);
  if (parts > 1) {
    StripedScan<diagonal>(source, featureValue, work, copy, parts);
    return;
  }
  std::vector<int32_t> nearby(static_cast<std::size_t>(source.width));
  Scan<diagonal>(source, featureValue, work, copy, 0, source.width, nearby.data());
}

}  // namespace

void ChamferMap(const ImageRecord& source, int featureValue, DistanceFunction function,
                ImageRecord& work, ImageRecord& copy, int threads) {
  if (function == DistanceFunction::chessboard)
    Scan<true>(source, featureValue, work, copy, threads);
  else
    Scan<false>(source, featureValue, work, copy, threads);
}

}  // namespace dt
