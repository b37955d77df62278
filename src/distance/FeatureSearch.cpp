#include "distance/FeatureSearch.h"

#include <algorithm>
#include <climits>

#include "image/Processor.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define DT_FEATURE_SEARCH_AVX2 1
#endif

namespace dt {

namespace {

constexpr std::size_t widest = 8;  // entries a vector, at most

// Row in the low half, column in the high half, as the feature pixels are held.
inline int32_t Entry(int row, int column) {
  return static_cast<int32_t>(uint32_t(uint16_t(row)) | uint32_t(uint16_t(column)) << 16);
}

#if defined(__SSE2__)
inline __m128i Min32(__m128i a, __m128i b) {  // SSE2 has no minimum of 32-bit lanes
  const __m128i aLarger = _mm_cmpgt_epi32(a, b);
  return _mm_or_si128(_mm_and_si128(aLarger, b), _mm_andnot_si128(aLarger, a));
}

inline int32_t Least(__m128i v) {
  v = Min32(v, _mm_shuffle_epi32(v, _MM_SHUFFLE(1, 0, 3, 2)));
  v = Min32(v, _mm_shuffle_epi32(v, _MM_SHUFFLE(2, 3, 0, 1)));
  return _mm_cvtsi128_si32(v);
}

inline __m128i Select(__m128i mask, __m128i ifSet, __m128i otherwise) {
  return _mm_or_si128(_mm_and_si128(mask, ifSet), _mm_andnot_si128(mask, otherwise));
}

// From the differences (dy, dx) of a lane's two halves, the lane's cost: dy^2 + dx^2,
// |dy| + |dx|, max(|dy|, |dx|), or |a dy + b dx| + c dy with the halves of `slope` (a, b) and
// of `rise` (c, 0). Differences lie within +-32767, so none overflows.
template <FeatureSearch::Cost cost>
inline __m128i CostOf(__m128i d, __m128i slope, __m128i rise) {
  if (cost == FeatureSearch::Cost::squares) return _mm_madd_epi16(d, d);
  if (cost == FeatureSearch::Cost::slanted) {
    const __m128i across = _mm_madd_epi16(d, slope);
    const __m128i sign = _mm_srai_epi32(across, 31);
    return _mm_add_epi32(_mm_sub_epi32(_mm_xor_si128(across, sign), sign),
                         _mm_madd_epi16(d, rise));
  }
  const __m128i size = _mm_max_epi16(d, _mm_sub_epi16(_mm_setzero_si128(), d));
  if (cost == FeatureSearch::Cost::sum) return _mm_madd_epi16(size, _mm_set1_epi16(1));
  return _mm_and_si128(_mm_max_epi16(size, _mm_srli_epi32(size, 16)), _mm_set1_epi32(0xFFFF));
}

// Four pixels at once (the last of n again where n is less) against four feature pixels at a
// time: each vector of entries is loaded once for all four. With `first`, each lane also keeps
// the number of the first entry that gave its least value; of the lanes with the pixel's least
// value, the smallest such number is the pixel's first feature pixel at that distance.
template <FeatureSearch::Cost cost, bool withFirst>
void Search4(const int32_t* entries, std::size_t count, const int32_t* weights, int y, int x, int n,
             int32_t* least, int32_t* first) {
  const __m128i slope = _mm_set1_epi32(weights[0]), rise = _mm_set1_epi32(weights[1]);
  __m128i at[4], best[4], where[4];
  for (int i = 0; i < 4; ++i) {
    at[i] = _mm_set1_epi32(Entry(y, x + std::min(i, n - 1)));
    best[i] = _mm_set1_epi32(INT32_MAX);
    where[i] = _mm_setzero_si128();
  }
  __m128i numbers = _mm_setr_epi32(0, 1, 2, 3);
  for (std::size_t f = 0; f < count; f += 4) {
    const __m128i feature = _mm_loadu_si128(reinterpret_cast<const __m128i*>(entries + f));
    for (int i = 0; i < 4; ++i) {
      const __m128i costs = CostOf<cost>(_mm_sub_epi16(at[i], feature), slope, rise);
      const __m128i closer = _mm_cmpgt_epi32(best[i], costs);
      best[i] = Select(closer, costs, best[i]);
      if (withFirst) where[i] = Select(closer, numbers, where[i]);
    }
    if (withFirst) numbers = _mm_add_epi32(numbers, _mm_set1_epi32(4));
  }
  for (int i = 0; i < n; ++i) {
    least[i] = Least(best[i]);
    if (withFirst)
      first[i] = Least(Select(_mm_cmpeq_epi32(best[i], _mm_set1_epi32(least[i])), where[i],
                              _mm_set1_epi32(INT32_MAX)));
  }
}
#endif

#if defined(DT_FEATURE_SEARCH_AVX2)
__attribute__((target("avx2"))) inline int32_t Least(__m256i v) {
  __m128i half = _mm_min_epi32(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1));
  half = _mm_min_epi32(half, _mm_shuffle_epi32(half, _MM_SHUFFLE(1, 0, 3, 2)));
  half = _mm_min_epi32(half, _mm_shuffle_epi32(half, _MM_SHUFFLE(2, 3, 0, 1)));
  return _mm_cvtsi128_si32(half);
}

template <FeatureSearch::Cost cost>
__attribute__((target("avx2"))) inline __m256i CostOf(__m256i d, __m256i slope, __m256i rise) {
  if (cost == FeatureSearch::Cost::squares) return _mm256_madd_epi16(d, d);
  if (cost == FeatureSearch::Cost::slanted)
    return _mm256_add_epi32(_mm256_abs_epi32(_mm256_madd_epi16(d, slope)),
                            _mm256_madd_epi16(d, rise));
  const __m256i size = _mm256_abs_epi16(d);
  if (cost == FeatureSearch::Cost::sum) return _mm256_madd_epi16(size, _mm256_set1_epi16(1));
  return _mm256_and_si256(_mm256_max_epi16(size, _mm256_srli_epi32(size, 16)),
                          _mm256_set1_epi32(0xFFFF));
}

// The same, eight feature pixels at a time.
template <FeatureSearch::Cost cost, bool withFirst>
__attribute__((target("avx2"))) void Search8(const int32_t* entries, std::size_t count,
                                             const int32_t* weights, int y, int x, int n,
                                             int32_t* least, int32_t* first) {
  const __m256i slope = _mm256_set1_epi32(weights[0]), rise = _mm256_set1_epi32(weights[1]);
  __m256i at[4], best[4], where[4];
  for (int i = 0; i < 4; ++i) {
    at[i] = _mm256_set1_epi32(Entry(y, x + std::min(i, n - 1)));
    best[i] = _mm256_set1_epi32(INT32_MAX);
    where[i] = _mm256_setzero_si256();
  }
  __m256i numbers = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  for (std::size_t f = 0; f < count; f += 8) {
    const __m256i feature = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(entries + f));
    for (int i = 0; i < 4; ++i) {
      const __m256i costs = CostOf<cost>(_mm256_sub_epi16(at[i], feature), slope, rise);
      if (withFirst)
        where[i] = _mm256_blendv_epi8(where[i], numbers, _mm256_cmpgt_epi32(best[i], costs));
      best[i] = _mm256_min_epi32(best[i], costs);
    }
    if (withFirst) numbers = _mm256_add_epi32(numbers, _mm256_set1_epi32(8));
  }
  for (int i = 0; i < n; ++i) {
    least[i] = Least(best[i]);
    if (withFirst)
      first[i] = Least(_mm256_blendv_epi8(_mm256_set1_epi32(INT32_MAX), where[i],
                                          _mm256_cmpeq_epi32(best[i],
                                                             _mm256_set1_epi32(least[i]))));
  }
}
#endif

}  // namespace

bool FeatureSearch::Fits(int width, int height) {
#if defined(__SSE2__)
  return width <= 32768 && height <= 32768;
#else
  (void)width;
  (void)height;
  return false;
#endif
}

void FeatureSearch::Add(int row, int column) {
  entries_.resize(count_);  // no padding before the last one
  entries_.push_back(Entry(row, column));
  ++count_;
}

void FeatureSearch::Pad() {
  const std::size_t whole = (count_ + widest - 1) / widest * widest;
  entries_.resize(count_);
  entries_.resize(whole, entries_.back());
}

template <FeatureSearch::Cost cost>
void FeatureSearch::Search(int y, int x, int n, int32_t* least, int32_t* first) {
  const int32_t* entries = entries_.data();
  const std::size_t count = entries_.size();
#if defined(DT_FEATURE_SEARCH_AVX2)
  if (UseAvx2())
    return first == nullptr
               ? Search8<cost, false>(entries, count, weights_, y, x, n, least, first)
               : Search8<cost, true>(entries, count, weights_, y, x, n, least, first);
#endif
#if defined(__SSE2__)
  first == nullptr ? Search4<cost, false>(entries, count, weights_, y, x, n, least, first)
                   : Search4<cost, true>(entries, count, weights_, y, x, n, least, first);
#else
  (void)entries;
  (void)count;
  (void)y;
  (void)x;
  (void)n;
  (void)least;
  (void)first;
#endif
}

void FeatureSearch::Nearest(int y, int x, int n, int32_t* least, int32_t* first, Cost cost) {
  if (entries_.size() % widest != 0) Pad();
  switch (cost) {
    case Cost::squares:
      return Search<Cost::squares>(y, x, n, least, first);
    case Cost::sum:
      return Search<Cost::sum>(y, x, n, least, first);
    case Cost::largest:
      return Search<Cost::largest>(y, x, n, least, first);
    case Cost::slanted:
      return Search<Cost::slanted>(y, x, n, least, first);
  }
}

void FeatureSearch::SetSlant(int a, int b, int c) {
  weights_[0] = Entry(a, b);
  weights_[1] = Entry(c, 0);
}

}  // namespace dt
