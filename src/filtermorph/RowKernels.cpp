// The row kernels compiled for the machine: vector code for the row distances of 8-bit rows, and
// the saturated run shortfalls of 8-bit rows in SSE2, or AVX2 where the processor has it.
#include "filtermorph/RowKernels.h"

#include <algorithm>
#include <cstddef>
#include <type_traits>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

#include "image/Processor.h"

namespace dt::filtermorph {

namespace {

template <class D>
void ScalarDistances(const int32_t* source, int width, int32_t value, D cap, D* out,
                     bool leftToRight, int from, int to, uint32_t d) {
  // d is at least cap while nothing was seen; it stays below 2^32 since cap and width are int32.
  for (int i = from; i < to; ++i) {
    const int x = leftToRight ? i : width - 1 - i;
    d = source[x] == value ? 0u : d + 1u;
    out[x] = static_cast<D>(d < cap ? d : cap);
  }
}

#if defined(__SSE2__)
// 0xFF in the bytes of the 16 pixels from p that equal value, 0 elsewhere.
inline __m128i EqualBytes(const int32_t* p, __m128i value) {
  const auto load = [&](int k) {
    return _mm_cmpeq_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 4 * k)), value);
  };
  return _mm_packs_epi16(_mm_packs_epi32(load(0), load(1)), _mm_packs_epi32(load(2), load(3)));
}

// One doubling step of the in-block scan: each lane takes the minimum of itself and the lane K
// behind it plus K, with "none" (255) shifted in from outside the block.
template <int K, bool LeftToRight>
inline __m128i ScanStep(__m128i t, __m128i fill) {
  const __m128i behind = LeftToRight ? _mm_slli_si128(t, K) : _mm_srli_si128(t, K);
  return _mm_min_epu8(t, _mm_adds_epu8(_mm_or_si128(behind, fill), _mm_set1_epi8(K)));
}

// 16 pixels at a time: each block starts at "none" (255) off the value pixels, takes the minimum
// over earlier lanes plus their distance in four doubling steps, then over the previous block's
// last distance plus the lane's distance from it. Saturating byte additions keep "none" at 255.
void VectorDistancesU8(const int32_t* source, int width, int32_t value, uint8_t cap, uint8_t* out,
                       bool leftToRight) {
  const __m128i v = _mm_set1_epi32(value);
  const __m128i capv = _mm_set1_epi8(static_cast<char>(cap));
  const __m128i ones = _mm_set1_epi8(-1);
  const int blocks = width / 16;
  const int rest = width - blocks * 16;
  if (leftToRight) {
    const __m128i fill1 = _mm_srli_si128(ones, 15), fill2 = _mm_srli_si128(ones, 14);
    const __m128i fill4 = _mm_srli_si128(ones, 12), fill8 = _mm_srli_si128(ones, 8);
    const __m128i ramp = _mm_setr_epi8(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    __m128i carry = capv;
    uint32_t last = cap;
    for (int b = 0; b < blocks; ++b) {
      const int x = b * 16;
      __m128i t = _mm_xor_si128(EqualBytes(source + x, v), ones);
      t = ScanStep<1, true>(t, fill1);
      t = ScanStep<2, true>(t, fill2);
      t = ScanStep<4, true>(t, fill4);
      t = ScanStep<8, true>(t, fill8);
      t = _mm_min_epu8(t, _mm_adds_epu8(carry, ramp));
      t = _mm_min_epu8(t, capv);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), t);
      last = static_cast<uint32_t>(_mm_extract_epi16(t, 7)) >> 8;
      carry = _mm_set1_epi8(static_cast<char>(last));
    }
    ScalarDistances(source, width, value, cap, out, true, blocks * 16, width, last);
  } else {
    const __m128i fill1 = _mm_slli_si128(ones, 15), fill2 = _mm_slli_si128(ones, 14);
    const __m128i fill4 = _mm_slli_si128(ones, 12), fill8 = _mm_slli_si128(ones, 8);
    const __m128i ramp = _mm_setr_epi8(16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1);
    // The rightmost pixels that do not fill a block come first.
    ScalarDistances(source, width, value, cap, out, false, 0, rest, cap);
    uint32_t last = rest > 0 ? out[width - rest] : cap;
    __m128i carry = _mm_set1_epi8(static_cast<char>(last));
    for (int b = blocks - 1; b >= 0; --b) {
      const int x = b * 16;
      __m128i t = _mm_xor_si128(EqualBytes(source + x, v), ones);
      t = ScanStep<1, false>(t, fill1);
      t = ScanStep<2, false>(t, fill2);
      t = ScanStep<4, false>(t, fill4);
      t = ScanStep<8, false>(t, fill8);
      t = _mm_min_epu8(t, _mm_adds_epu8(carry, ramp));
      t = _mm_min_epu8(t, capv);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), t);
      last = static_cast<uint32_t>(_mm_cvtsi128_si32(t)) & 0xFF;
      carry = _mm_set1_epi8(static_cast<char>(last));
    }
  }
}
#endif

}  // namespace

void RowDistances(const int32_t* source, int width, int32_t value, uint8_t cap, uint8_t* out,
                  bool leftToRight) {
#if defined(__SSE2__)
  VectorDistancesU8(source, width, value, cap, out, leftToRight);
#else
  ScalarDistances(source, width, value, cap, out, leftToRight, 0, width, cap);
#endif
}

void RowDistances(const int32_t* source, int width, int32_t value, uint16_t cap, uint16_t* out,
                  bool leftToRight) {
  ScalarDistances(source, width, value, cap, out, leftToRight, 0, width, cap);
}

void RowDistances(const int32_t* source, int width, int32_t value, uint32_t cap, uint32_t* out,
                  bool leftToRight) {
  ScalarDistances(source, width, value, cap, out, leftToRight, 0, width, cap);
}

namespace {

// dst[i] |= l - min(l, src[i]) for i in [0, n): the saturated shortfall of a run of length l.
template <class D>
void OrShortfall(const D* src, D l, D* dst, std::ptrdiff_t n) {
  for (std::ptrdiff_t i = 0; i < n; ++i) dst[i] |= static_cast<D>(l - std::min(l, src[i]));
}

#if defined(__SSE2__)
// OR is idempotent, so the last vector may overlap the one before it instead of a scalar tail.
void OrShortfallSse2(const uint8_t* src, uint8_t l, uint8_t* dst, std::ptrdiff_t n) {
  if (n < 16) return OrShortfall(src, l, dst, n);
  const __m128i lv = _mm_set1_epi8(static_cast<char>(l));
  const auto step = [&](std::ptrdiff_t i) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_or_si128(d, _mm_subs_epu8(lv, s)));
  };
  for (std::ptrdiff_t i = 0; i + 16 <= n; i += 16) step(i);
  if (n % 16) step(n - 16);
}
#endif

#if defined(__x86_64__) && defined(__GNUC__)
#define DT_HAVE_AVX2_CLONE 1
__attribute__((target("avx2"))) void OrShortfallAvx2(const uint8_t* src, uint8_t l, uint8_t* dst,
                                                     std::ptrdiff_t n) {
  if (n < 32) return OrShortfallSse2(src, l, dst, n);
  const __m256i lv = _mm256_set1_epi8(static_cast<char>(l));
  const auto step = [&](std::ptrdiff_t i) __attribute__((target("avx2"))) {
    const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
    const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i),
                        _mm256_or_si256(d, _mm256_subs_epu8(lv, s)));
  };
  for (std::ptrdiff_t i = 0; i + 32 <= n; i += 32) step(i);
  if (n % 32) step(n - 32);
}
#endif

using ShortfallRow = void (*)(const uint8_t*, uint8_t, uint8_t*, std::ptrdiff_t);

ShortfallRow BestShortfallRow() {
#if defined(DT_HAVE_AVX2_CLONE)
  if (UseAvx2()) return OrShortfallAvx2;
#endif
#if defined(__SSE2__)
  return OrShortfallSse2;
#else
  return OrShortfall<uint8_t>;
#endif
}

void OrShortfallRow(const uint8_t* src, uint8_t l, uint8_t* dst, std::ptrdiff_t n) {
  static const ShortfallRow best = BestShortfallRow();
  best(src, l, dst, n);
}
template <class D>
void OrShortfallRow(const D* src, D l, D* dst, std::ptrdiff_t n) {
  OrShortfall(src, l, dst, n);
}

// Column x of a run reads distance x + shift: a dilation's target takes its source colOffset to
// the left, an erosion's run starts colOffset to the right. The distance is inside the image for
// x in [Lo, Hi) (clipped to the row).
template <bool Dilation>
int64_t Shift(int32_t colOffset) {
  return Dilation ? -int64_t{colOffset} : int64_t{colOffset};
}
inline int64_t Lo(int64_t shift) { return std::max<int64_t>(0, -shift); }
inline int64_t Hi(int64_t shift, int64_t w) { return std::min<int64_t>(w, w - shift); }

// The middle part of one run, for the columns [from, to) within [Lo, Hi).
template <class D>
void RunMiddle(const RunSource<D>& run, int64_t shift, int64_t from, int64_t to, D* acc) {
  if (from < to)
    OrShortfallRow(run.distances + (from + shift), static_cast<D>(run.length), acc + from,
                   static_cast<std::ptrdiff_t>(to - from));
}

// The columns where a run crosses the image border.
template <class D, bool Dilation>
void RunBorder(const RunSource<D>& run, int64_t shift, int64_t w, D* acc) {
  if (Dilation) {
    // Sources beyond the right edge (colOffset < 0): the nearest foreground at or before the last
    // column is (source - (w - 1)) further away from the source. Sources left of the image
    // contribute nothing.
    const int64_t last = static_cast<int64_t>(run.distances[w - 1]);
    for (int64_t tx = std::max<int64_t>(0, Hi(shift, w)); tx < w; ++tx) {
      const int64_t beyond = tx + shift - (w - 1);
      if (last + beyond < run.length) acc[tx] |= 1;
    }
  } else {
    // Runs that start left of the image: only their part from column 0 on is tested. Runs that
    // start beyond the right edge lie wholly outside and fit.
    const int64_t first = static_cast<int64_t>(run.distances[0]);
    for (int64_t x = 0; x < std::min<int64_t>(w, Lo(shift)); ++x) {
      const int64_t inside = x + shift + run.length;  // columns of the run at 0 .. inside - 1
      if (inside > 0 && first < std::min<int64_t>(inside, w)) acc[x] |= 1;
    }
  }
}

#if defined(DT_HAVE_AVX2_CLONE)
#define DT_LOAD256(p) _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p))
#define DT_STORE256(p, v) _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v)
// The columns [from, to) that every run reads inside the image, with the output kept in
// registers across all runs: four vectors of 32 columns at a time, then single vectors (the last
// one may overlap the one before it). to - from is at least 32.
__attribute__((target("avx2"))) void CommonMiddleAvx2(const uint8_t* const* sources,
                                                      const uint8_t* lengths, int count,
                                                      int64_t from, int64_t to, uint8_t* acc) {
  int64_t x = from;
  for (; x + 128 <= to; x += 128) {
    __m256i a0 = DT_LOAD256(acc + x), a1 = DT_LOAD256(acc + x + 32);
    __m256i a2 = DT_LOAD256(acc + x + 64), a3 = DT_LOAD256(acc + x + 96);
    for (int r = 0; r < count; ++r) {
      const uint8_t* s = sources[r] + x;
      const __m256i l = _mm256_set1_epi8(static_cast<char>(lengths[r]));
      a0 = _mm256_or_si256(a0, _mm256_subs_epu8(l, DT_LOAD256(s)));
      a1 = _mm256_or_si256(a1, _mm256_subs_epu8(l, DT_LOAD256(s + 32)));
      a2 = _mm256_or_si256(a2, _mm256_subs_epu8(l, DT_LOAD256(s + 64)));
      a3 = _mm256_or_si256(a3, _mm256_subs_epu8(l, DT_LOAD256(s + 96)));
    }
    DT_STORE256(acc + x, a0);
    DT_STORE256(acc + x + 32, a1);
    DT_STORE256(acc + x + 64, a2);
    DT_STORE256(acc + x + 96, a3);
  }
  const auto single = [&](int64_t at) __attribute__((target("avx2"))) {
    __m256i a = DT_LOAD256(acc + at);
    for (int r = 0; r < count; ++r) {
      const __m256i l = _mm256_set1_epi8(static_cast<char>(lengths[r]));
      a = _mm256_or_si256(a, _mm256_subs_epu8(l, DT_LOAD256(sources[r] + at)));
    }
    DT_STORE256(acc + at, a);
  };
  for (; x + 32 <= to; x += 32) single(x);
  if (x < to) single(to - 32);
}
#undef DT_LOAD256
#undef DT_STORE256
#endif

// The columns every run of the row reads inside the image, when there are at least 32 of them
// and the chunked code can take them; [0, 0) otherwise.
template <class D, bool Dilation>
std::pair<int64_t, int64_t> CommonMiddle(const RunSource<D>* runs, int count, int64_t w, D* acc) {
#if defined(DT_HAVE_AVX2_CLONE)
  if constexpr (std::is_same_v<D, uint8_t>) {
    if (count < 2 || !UseAvx2()) return {0, 0};
    int64_t from = 0, to = w;
    for (int r = 0; r < count; ++r) {
      const int64_t shift = Shift<Dilation>(runs[r].colOffset);
      from = std::max(from, Lo(shift));
      to = std::min(to, Hi(shift, w));
    }
    if (to - from < 32) return {0, 0};
    thread_local std::vector<const uint8_t*> sources;
    thread_local std::vector<uint8_t> lengths;
    sources.clear();
    lengths.clear();
    for (int r = 0; r < count; ++r) {
      if (runs[r].length <= 0) continue;
      sources.push_back(runs[r].distances + Shift<Dilation>(runs[r].colOffset));
      lengths.push_back(static_cast<uint8_t>(runs[r].length));
    }
    CommonMiddleAvx2(sources.data(), lengths.data(), static_cast<int>(sources.size()), from, to,
                     acc);
    return {from, to};
  }
#endif
  (void)runs, (void)count, (void)w, (void)acc;
  return {0, 0};
}

}  // namespace

template <class D, bool Dilation>
void AccumulateRuns(const RunSource<D>* runs, int count, int width, D* acc) {
  if (width <= 0) return;
  const int64_t w = width;
  const auto [from, to] = CommonMiddle<D, Dilation>(runs, count, w, acc);
  for (int r = 0; r < count; ++r) {
    const RunSource<D>& run = runs[r];
    if (run.length <= 0) continue;
    const int64_t shift = Shift<Dilation>(run.colOffset);
    const int64_t lo = Lo(shift), hi = Hi(shift, w);
    if (from < to) {
      RunMiddle(run, shift, lo, std::min(hi, from), acc);
      RunMiddle(run, shift, std::max(lo, to), hi, acc);
    } else {
      RunMiddle(run, shift, lo, hi, acc);
    }
    RunBorder<D, Dilation>(run, shift, w, acc);
  }
}

template void AccumulateRuns<uint8_t, true>(const RunSource<uint8_t>*, int, int, uint8_t*);
template void AccumulateRuns<uint8_t, false>(const RunSource<uint8_t>*, int, int, uint8_t*);
template void AccumulateRuns<uint16_t, true>(const RunSource<uint16_t>*, int, int, uint16_t*);
template void AccumulateRuns<uint16_t, false>(const RunSource<uint16_t>*, int, int, uint16_t*);
template void AccumulateRuns<uint32_t, true>(const RunSource<uint32_t>*, int, int, uint32_t*);
template void AccumulateRuns<uint32_t, false>(const RunSource<uint32_t>*, int, int, uint32_t*);

}  // namespace dt::filtermorph
