// The sweep that marks the Euclidean candidates beaten on their right, four rows at once in the
// lanes of one vector.
#include "distance/RowPasses.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

}  // namespace dt
