// The row operations of packed morphology (morphology/PackedRows.h).
#include "morphology/PackedRows.h"

#include <algorithm>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

#include "image/ImageEngine.h"
#include "image/Processor.h"
#include "image/Streaming.h"

namespace dt::packed {

namespace {

#if defined(__SSE2__)
// The four 0/1 pixels of each value of four bits, bit i being pixel i.
struct NibblePixels {
  NibblePixels() {
    for (int bits = 0; bits < 16; ++bits)
      for (int i = 0; i < 4; ++i) pixels[bits][i] = bits >> i & 1;
  }
  alignas(16) int32_t pixels[16][4];
};
const NibblePixels nibblePixels;
#endif

// The 1 bits of n words. Without the processor's popcnt instruction (which every processor with
// AVX2 has), a count is a library call that looks up a byte at a time: that took 3-5 % of a
// small ball's dilation.
int64_t OnesPortable(const Word* row, int n) {
  int64_t ones = 0;
  for (int k = 0; k < n; ++k) {
    Word v = row[k] - (row[k] >> 1 & 0x5555555555555555u);
    v = (v & 0x3333333333333333u) + (v >> 2 & 0x3333333333333333u);
    v = (v + (v >> 4)) & 0x0f0f0f0f0f0f0f0fu;
    ones += static_cast<int64_t>(v * 0x0101010101010101u >> 56);
  }
  return ones;
}

#if defined(__x86_64__) && defined(__GNUC__)
__attribute__((target("popcnt"))) int64_t OnesByInstruction(const Word* row, int n) {
  int64_t ones = 0;
  for (int k = 0; k < n; ++k) ones += __builtin_popcountll(row[k]);
  return ones;
}
#endif

int64_t OnesOf(const Word* row, int n) {
#if defined(__x86_64__) && defined(__GNUC__)
  if (UseAvx2()) return OnesByInstruction(row, n);
#endif
  return OnesPortable(row, n);
}

#if defined(__x86_64__) && defined(__GNUC__)
// Eight pixels a store where the processor has AVX2: to[j][i] for i from x on while eight
// remain before `count`, the pixel of column from + i. The byte of bits is spread over the lanes
// by shifting each lane by its own count. Returns the first i not written.
template <std::size_t n>
__attribute__((target("avx2"))) int WriteEightsAvx2(const Word* row, int32_t* const (&to)[n],
                                                    int from, int x, int count) {
  const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  const __m256i one = _mm256_set1_epi32(1);
  for (; x + 8 <= count; x += 8) {
    const int shift = (from + x) % wordBits;
    Word bits = row[(from + x) / wordBits] >> shift;
    if (shift > wordBits - 8) bits |= row[(from + x) / wordBits + 1] << (wordBits - shift);
    const __m256i spread = _mm256_set1_epi32(static_cast<int>(bits & 255));
    const __m256i eight = _mm256_and_si256(_mm256_srlv_epi32(spread, lanes), one);
    for (int32_t* pixels : to) _mm256_storeu_si256(reinterpret_cast<__m256i*>(pixels + x), eight);
  }
  return x;
}
#endif

// A row of the result written as 0/1 pixels to the three images. Returns the number of 1 pixels.
// Plain stores put four pixels to all three images at once: each store first reads its line,
// and three rows read at once keep more reads under way (made a piece at a time, as streaming
// stores are, they took 4.5-4.7 ms against 3.6-3.8 at 2048 x 2048). Streaming stores read
// nothing: with them, at 4000 x 4000, a piece at a time took 21.3-23.4 ms against 23.2-25.5.
int64_t WriteRowToImages(const Word* row, int width, int y, bool streaming) {
  int32_t* const images[3] = {WorkImage.rows[y], InputImage.rows[y], DistanceMap.rows[y]};
  const int64_t ones = OnesOf(row, (width + wordBits - 1) / wordBits);
  const auto pixel = [row](int x) {
    return static_cast<int32_t>(row[x / wordBits] >> x % wordBits & 1);
  };
#if defined(__x86_64__) && defined(__GNUC__)
  static const bool avx2 = UseAvx2();
#endif
#if defined(__SSE2__)
  // The four pixels from x on, which may begin in one word and end in the next.
  const auto four = [row](int x) {
    const int shift = x % wordBits;
    Word bits = row[x / wordBits] >> shift;
    if (shift > wordBits - 4) bits |= row[x / wordBits + 1] << (wordBits - shift);
    return _mm_load_si128(reinterpret_cast<const __m128i*>(nibblePixels.pixels[bits & 15]));
  };
  if (streaming) {
    StreamInPieces(images, width, [&](int from, int count, int32_t* pixels) {
      int x = 0;
#if defined(__x86_64__) && defined(__GNUC__)
      if (avx2) {
        int32_t* const piece[1] = {pixels};
        x = WriteEightsAvx2(row, piece, from, x, count);
      }
#endif
      for (; x + 4 <= count; x += 4)
        _mm_store_si128(reinterpret_cast<__m128i*>(pixels + x), four(from + x));
      for (; x < count; ++x) pixels[x] = pixel(from + x);
    });
    return ones;
  }
  // The images' rows lie alike in their blocks, so one column starts the aligned stores of all
  // three, or none does and the row is written a pixel at a time.
  int x = 0;
  const auto offset = [](const int32_t* at) { return reinterpret_cast<std::uintptr_t>(at) & 15; };
  const std::uintptr_t misaligned = offset(images[0]);
  if (misaligned % sizeof(int32_t) == 0 && offset(images[1]) == misaligned &&
      offset(images[2]) == misaligned) {
    const int head = std::min(width, static_cast<int>((16 - misaligned) % 16 / sizeof(int32_t)));
    for (; x < head; ++x)
      for (int32_t* image : images) image[x] = pixel(x);
#if defined(__x86_64__) && defined(__GNUC__)
    if (avx2) x = WriteEightsAvx2(row, images, 0, x, width);
#endif
    for (; x + 4 <= width; x += 4) StoreFour(images, x, four(x));
  }
#else
  (void)streaming;
  int x = 0;
#endif
  for (; x < width; ++x)
    for (int32_t* image : images) image[x] = pixel(x);
  return ones;
}

// The source of a shifted OR, word by word: one row, or the OR of two.
struct OneRow {
  [[gnu::always_inline]] Word operator()(int k) const { return a[k]; }
  const Word* a;
};
struct TwoRows {
  [[gnu::always_inline]] Word operator()(int k) const { return a[k] | c[k]; }
  const Word* a;
  const Word* c;
};

// to[k] = base[k] | the bits of `source` moved `shift` columns to the right (left when
// negative), for the words k of 0 .. n - 1; `source` has the words that this reads on either
// side. Written once, built for SSE2 and for AVX2 (four words a vector), whose shifts of every
// lane by one count both have.
template <class Source>
[[gnu::always_inline]] inline void MoveAndOrBody(Word* to, const Word* base, Source source,
                                                 int shift, int n) {
  const int q = (shift >= 0 ? shift : -shift) / wordBits;
  const int b = (shift >= 0 ? shift : -shift) % wordBits;
  if (b == 0) {
    const int at = shift >= 0 ? -q : q;
    for (int k = 0; k < n; ++k) to[k] = base[k] | source(k + at);
  } else if (shift > 0) {
    for (int k = 0; k < n; ++k)
      to[k] = base[k] | source(k - q) << b | source(k - q - 1) >> (wordBits - b);
  } else {
    for (int k = 0; k < n; ++k)
      to[k] = base[k] | source(k + q) >> b | source(k + q + 1) << (wordBits - b);
  }
}

#if defined(__x86_64__) && defined(__GNUC__)
template <class Source>
__attribute__((target("avx2"))) void MoveAndOrAvx2(Word* to, const Word* base, Source source,
                                                   int shift, int n) {
  MoveAndOrBody(to, base, source, shift, n);
}
#endif

template <class Source>
void MoveAndOr(Word* to, const Word* base, Source source, int shift, int n) {
#if defined(__x86_64__) && defined(__GNUC__)
  static const bool avx2 = UseAvx2();
  if (avx2) {
    MoveAndOrAvx2(to, base, source, shift, n);
    return;
  }
#endif
  MoveAndOrBody(to, base, source, shift, n);
}

}  // namespace

void OrShifted(Word* to, const Word* from, int shift, int n) {
  MoveAndOr(to, to, OneRow{from}, shift, n);
}

void OrShifted(Word* to, const Word* a, const Word* c, int shift, int n) {
  MoveAndOr(to, to, TwoRows{a, c}, shift, n);
}

// Pixels equal to featureValue as bits, four at a time from a comparison of four pixels.
void PackRow(const int32_t* in, int width, int featureValue, Word* out) {
  const int words = (width + wordBits - 1) / wordBits;
  std::fill(out, out + words, Word{0});
  int x = 0;
#if defined(__SSE2__)
  const __m128i value = _mm_set1_epi32(featureValue);
  for (; x + wordBits <= width; x += wordBits) {
    // The rows of a picture follow one another, so the lines asked for past a row's end are
    // those of the next row.
    for (int line = 0; line < wordBits; line += 16) Prefetch(in + x + line, 1024);
    Word w = 0;
    for (int i = 0; i < wordBits; i += 4) {
      const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x + i));
      const int bits = _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(four, value)));
      w |= Word(static_cast<unsigned>(bits)) << i;
    }
    out[x / wordBits] = w;
  }
#endif
  for (; x < width; ++x) out[x / wordBits] |= Word{in[x] == featureValue} << x % wordBits;
}

int64_t WritePackedRows(Word* rows, int words, int width, int first, int last, bool complement) {
  const Word lastMask = width % wordBits == 0 ? ~Word{0} : (Word{1} << width % wordBits) - 1;
  const bool streaming = ImagesOutgrowCache(width, InputImage.height);
  int64_t ones = 0;
  for (int y = first; y < last; ++y) {
    Word* row = rows + static_cast<std::size_t>(words) * (y - first);
    if (complement)
      for (int k = 0; k < words; ++k) row[k] = ~row[k];
    row[words - 1] &= lastMask;
    ones += WriteRowToImages(row, width, y, streaming);
  }
  if (streaming) FinishStreaming();
  return ones;
}

int WidenRuns(PackedPicture& picture, PackedPicture& scratch, int rows, int paddedWords,
              int length, int target) {
  while (length < target) {
    const int step = std::min(target - length, length);
    for (int y = 0; y < rows; ++y)
      MoveAndOr(scratch.Row(y), picture.Row(y), OneRow{picture.Row(y)}, step, paddedWords);
    std::swap(picture.bits, scratch.bits);
    length += step;
  }
  return length;
}

void WidenColumns(PackedPicture& picture, int rows, int paddedWords, int target) {
  for (int length = 1; length < target;) {
    const int step = std::min(target - length, length);
    // Row y + step is still unwidened by this step when row y takes it.
    for (int y = 0; y + step < rows; ++y) {
      Word* to = picture.Row(y);
      const Word* from = picture.Row(y + step);
      for (int k = 0; k < paddedWords; ++k) to[k] |= from[k];
    }
    length += step;
  }
}

}  // namespace dt::packed
