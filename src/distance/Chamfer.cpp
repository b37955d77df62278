#include "distance/Chamfer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "image/Parallel.h"
#include "image/Streaming.h"
#include "platform/Platform.h"

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

#if defined(__SSE2__)
// Stripes whose distances stay below far16 are scanned in 16-bit cells, eight a vector, with
// SSE2's own signed minimum (of 32-bit lanes it has none: Min above takes four instructions).
// The pass down keeps its rows in the first half of each row of `work`, and the pass up reads a
// row there before it writes the row's final distances over it. With streaming stores that moves
// 16 bytes a pixel (the input read, the cells written and read, both images written) where the
// 32-bit scan moves 28, and it takes no memory of its own beyond a few rows.
constexpr int16_t far16 = 32767;  // no feature pixel; noFeature in the images
static_assert(noFeature == (int32_t{far16} << 16 | 0xffff), "WidenCells makes noFeature of far16");

// Whether every distance in a stripe `width` columns wide stays below far16: a stripe's
// distances are at most (width - 1) + (height - 1). A step further than the largest may reach
// far16, but the step that gives a pixel its distance starts from a neighbour one nearer.
bool FitsCells(int width, int height) { return int64_t{width} - 1 + height - 1 < far16; }

// Room for the rows of cells that ScanInCells keeps of a stripe `width` columns wide.
constexpr std::size_t CellRows(int width) { return 5 * (static_cast<std::size_t>(width) + 2); }

inline __m128i Load(const void* at) { return _mm_loadu_si128(static_cast<const __m128i*>(at)); }
inline void Store(void* at, __m128i v) { _mm_storeu_si128(static_cast<__m128i*>(at), v); }

// The scans ask for the lines they read about 1 KB before they reach them, into the row they
// read next when they near a row's end (in a stripe, that row does not follow in memory).
constexpr int aheadPixels = 256, aheadCells = 512;  // 1 KB

// The nearest of a row of cells' neighbours at x .. x + 7 (one beyond either end of the row).
template <bool diagonal>
inline __m128i Nearest(const int16_t* row, int x) {
  const __m128i v = Load(row + x);
  if (!diagonal) return v;
  return _mm_min_epi16(_mm_min_epi16(Load(row + x - 1), v), Load(row + x + 1));
}

template <bool diagonal>
inline int NearestCell(const int16_t* row, int x) {
  return diagonal ? std::min({row[x - 1], row[x], row[x + 1]}) : row[x];
}

// The cells of v moved `bytes` bytes towards the right end of the row (or the left), zeros in.
template <bool rightwards, int bytes>
inline __m128i Moved(__m128i v) {
  if constexpr (rightwards)
    return _mm_slli_si128(v, bytes);
  else
    return _mm_srli_si128(v, bytes);
}

// The running minimum of eight cells from the left (or from the right), continuing from `carry`
// (every lane the minimum of the cells before them), which moves on past them. A lane moved in
// takes far16, which leaves every minimum as it is.
template <bool fromLeft>
inline __m128i RunningMinimum(__m128i v, __m128i& carry) {
  const __m128i far = _mm_set1_epi16(far16);
  v = _mm_min_epi16(v, _mm_or_si128(Moved<fromLeft, 2>(v), Moved<!fromLeft, 14>(far)));
  v = _mm_min_epi16(v, _mm_or_si128(Moved<fromLeft, 4>(v), Moved<!fromLeft, 12>(far)));
  v = _mm_min_epi16(v, _mm_or_si128(Moved<fromLeft, 8>(v), Moved<!fromLeft, 8>(far)));
  v = _mm_min_epi16(v, carry);
  if constexpr (fromLeft) {
    carry = _mm_shufflehi_epi16(v, 0xff);
    carry = _mm_unpackhi_epi64(carry, carry);
  } else {
    carry = _mm_shufflelo_epi16(v, 0x00);
    carry = _mm_unpacklo_epi64(carry, carry);
  }
  return v;
}

// A row of the pass down in cells, as DownRow, from the row before (far16 on the first row and
// beyond either end); `next` is the source row read after this one.
template <bool diagonal>
void DownCells(const int32_t* pixels, const int32_t* next, int featureValue,
               const int16_t* above, int16_t* out, int width) {
  const __m128i feature = _mm_set1_epi32(featureValue), one = _mm_set1_epi16(1);
  __m128i index = _mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7);
  __m128i running = _mm_set1_epi16(far16);  // the running minimum of out[k] - k
  int x = 0;
  for (; x + 8 <= width; x += 8) {
    const int ahead = x + aheadPixels;
    if (ahead < width)
      Prefetch(pixels, 4 * ahead);
    else
      Prefetch(next, 4 * (ahead - width));
    const __m128i isFeature = _mm_packs_epi32(_mm_cmpeq_epi32(Load(pixels + x), feature),
                                              _mm_cmpeq_epi32(Load(pixels + x + 4), feature));
    const __m128i up = _mm_adds_epi16(Nearest<diagonal>(above, x), one);  // far16 stays
    const __m128i v = _mm_sub_epi16(_mm_andnot_si128(isFeature, up), index);
    Store(out + x, _mm_add_epi16(RunningMinimum<true>(v, running), index));
    index = _mm_add_epi16(index, _mm_set1_epi16(8));
  }
  int carry = static_cast<int16_t>(_mm_cvtsi128_si32(running));
  for (; x < width; ++x) {
    const int up = std::min(NearestCell<diagonal>(above, x) + 1, int{far16});
    carry = std::min(carry, (pixels[x] == featureValue ? 0 : up) - x);
    out[x] = static_cast<int16_t>(carry + x);
  }
}

// A row of the pass up in cells, as UpRow: `down` the row of the pass down (in an image's
// memory, read as bytes), `below` the final row below (far16 on the last row and beyond either
// end); the final row goes to `out`. `downNext` is the row of the pass down read after this one.
template <bool diagonal>
void UpCells(const void* down, const void* downNext, const int16_t* below, int16_t* out,
             int width) {
  const int last = width - 1, vectors = width / 8 * 8;
  int carry = far16;  // the running minimum of out[k] + k - last
  for (int x = last; x >= vectors; --x) {
    int16_t cell;
    std::memcpy(&cell, static_cast<const char*>(down) + 2 * x, sizeof cell);
    const int v = std::min(int{cell}, std::min(NearestCell<diagonal>(below, x) + 1, int{far16}));
    carry = std::min(carry, v + (x - last));
    out[x] = static_cast<int16_t>(carry - (x - last));
  }
  const __m128i one = _mm_set1_epi16(1);
  __m128i index = _mm_add_epi16(_mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7),
                                _mm_set1_epi16(static_cast<int16_t>(vectors - 8 - last)));
  __m128i running = _mm_set1_epi16(static_cast<int16_t>(carry));
  for (int x = vectors - 8; x >= 0; x -= 8) {
    const int ahead = x - aheadCells;
    if (ahead >= 0)
      Prefetch(down, 2 * ahead);
    else
      Prefetch(downNext, 2 * (ahead + width));
    __m128i v = Load(static_cast<const char*>(down) + 2 * x);
    v = _mm_min_epi16(v, _mm_adds_epi16(Nearest<diagonal>(below, x), one));
    v = RunningMinimum<false>(_mm_add_epi16(v, index), running);
    Store(out + x, _mm_sub_epi16(v, index));
    index = _mm_sub_epi16(index, _mm_set1_epi16(8));
  }
}

// The cells of a row of the pass down into the first half of the image row `to`.
void PutCells(const int16_t* cells, int32_t* to, int width, bool streaming) {
  char* bytes = reinterpret_cast<char*>(to);
  int x = 0;
  if (streaming && (reinterpret_cast<std::uintptr_t>(to) & 15) == 0) {
    for (; x + 8 <= width; x += 8)
      _mm_stream_si128(reinterpret_cast<__m128i*>(bytes + 2 * x), Load(cells + x));
  }
  std::memcpy(bytes + 2 * x, cells + x, sizeof(int16_t) * std::size_t(width - x));
}

// A final row of cells to both rows `to`, far16 as noFeature. Streaming stores go a piece of the
// row at a time, to one row and then the other: taking turns between the rows four pixels at a
// time kept the chamfer scan of 4000 x 4000 blobs at 28-37 ms on a Zen 3, 19-21 ms in pieces.
void WidenCells(const int16_t* cells, int32_t* const (&to)[2], int width, bool streaming) {
  const __m128i farCells = _mm_set1_epi16(far16);
  // Low halves 0xffff and high halves far16 where far, the cell and 0 elsewhere.
  const auto widen = [&](int from, int count, int32_t* pixels) {
    int x = 0;
    for (; x + 8 <= count; x += 8) {
      const __m128i v = Load(cells + from + x);
      const __m128i isFar = _mm_cmpeq_epi16(v, farCells);
      const __m128i low = _mm_or_si128(v, isFar), high = _mm_and_si128(isFar, farCells);
      Store(pixels + x, _mm_unpacklo_epi16(low, high));
      Store(pixels + x + 4, _mm_unpackhi_epi16(low, high));
    }
    for (; x < count; ++x) pixels[x] = cells[from + x] == far16 ? noFeature : cells[from + x];
  };
  if (streaming) {
    StreamInPieces(to, width, widen);
    return;
  }
  widen(0, width, to[0]);
  std::memcpy(to[1], to[0], sizeof(int32_t) * std::size_t(width));
}

// The scan of the columns first .. last - 1 as a picture of their own, in cells, with `rows`
// (room for CellRows(last - first)); the cells of the pass down go to `work`, and each final row
// of cells to finish(cells, y) from the last row up, once every source row has been read. When
// `reported`, both passes are reported row by row (on the calling thread alone, as a report may
// throw Stopped).
template <bool diagonal, class Finish>
void ScanInCells(const ImageRecord& source, int featureValue, ImageRecord& work, int first,
                 int last, int16_t* rows, bool streaming, bool reported, Finish&& finish) {
  const int width = last - first, height = source.height;
  // Rows of cells, each with a far16 on either side: two of the pass down, two final ones, and
  // one of far16 alone.
  const std::size_t stride = static_cast<std::size_t>(width) + 2;
  std::fill(rows, rows + CellRows(width), far16);
  const auto row = [&](int k) { return rows + k * stride + 1; };
  int16_t* downRows[2] = {row(0), row(1)};
  int16_t* finalRows[2] = {row(2), row(3)};
  const int16_t* none = row(4);
  std::optional<Pass> pass;
  if (reported) pass.emplace(height);
  for (int y = 0; y < height; ++y) {
    const int16_t* above = y > 0 ? downRows[(y - 1) & 1] : none;
    DownCells<diagonal>(source.rows[y] + first, source.rows[std::min(y + 1, height - 1)] + first,
                        featureValue, above, downRows[y & 1], width);
    if (y + 1 < height) PutCells(downRows[y & 1], work.rows[y] + first, width, streaming);
    if (pass) pass->Done(y + 1);
  }
  FinishStreaming();
  if (reported) pass.emplace(height);
  for (int y = height - 1; y >= 0; --y) {
    const void* down = y + 1 < height ? static_cast<const void*>(work.rows[y] + first)
                                      : downRows[y & 1];
    const int16_t* below = y + 1 < height ? finalRows[(y + 1) & 1] : none;
    UpCells<diagonal>(down, work.rows[std::max(y - 1, 0)] + first, below, finalRows[y & 1],
                      width);
    finish(static_cast<const int16_t*>(finalRows[y & 1]), y);
    if (pass) pass->Done(height - y);
  }
  FinishStreaming();
}

// A final row of cells thresholded: 1 where the distance is at most `most` (above it with
// `beyond`), else 0, to each of the rows `to`; returns the number of 1 pixels. `most` lies in
// -1 .. far16 - 1, so that far16 is never within it.
int64_t ThresholdCells(const int16_t* cells, int16_t most, bool beyond, int32_t* const (&to)[3],
                       int width, bool streaming) {
  const __m128i limit = _mm_set1_epi16(most), flip = _mm_set1_epi16(beyond ? 0 : -1);
  const __m128i one = _mm_set1_epi16(1), zero = _mm_setzero_si128();
  __m128i counts = zero;  // of 1 pixels in each lane, at most width / 8 < 2^12
  int64_t ones = 0;
  // Pixels x .. x + 7 as 0/1 in 16 bits, counted.
  const auto eight = [&](int x) {
    const __m128i kept = _mm_xor_si128(_mm_cmpgt_epi16(Load(cells + x), limit), flip);
    counts = _mm_sub_epi16(counts, kept);
    return _mm_and_si128(kept, one);
  };
  const auto pixel = [&](int x) {
    const int32_t kept = (cells[x] > most) == beyond ? 1 : 0;
    ones += kept;
    return kept;
  };
  if (streaming) {  // the three rows one after the other, a piece at a time
    StreamInPieces(to, width, [&](int from, int count, int32_t* pixels) {
      int x = 0;
      for (; x + 8 <= count; x += 8) {
        const __m128i bits = eight(from + x);
        Store(pixels + x, _mm_unpacklo_epi16(bits, zero));
        Store(pixels + x + 4, _mm_unpackhi_epi16(bits, zero));
      }
      for (; x < count; ++x) pixels[x] = pixel(from + x);
    });
  } else {
    int x = 0;
    for (; x + 8 <= width; x += 8) {
      const __m128i bits = eight(x);
      StoreFour(to, x, _mm_unpacklo_epi16(bits, zero));
      StoreFour(to, x + 4, _mm_unpackhi_epi16(bits, zero));
    }
    for (; x < width; ++x) to[0][x] = to[1][x] = to[2][x] = pixel(x);
  }
  alignas(16) int32_t sums[4];
  _mm_store_si128(reinterpret_cast<__m128i*>(sums), _mm_madd_epi16(counts, one));
  return ones + sums[0] + sums[1] + sums[2] + sums[3];
}
#endif

// The scan of the columns first .. last - 1 as a picture of their own, with `nearby` (room for
// a row of it); both passes reported when `reported`, as ScanInCells does.
template <bool diagonal>
void Scan(const ImageRecord& source, int featureValue, ImageRecord& work, ImageRecord& copy,
          int first, int last, int32_t* nearby, bool reported) {
  const int width = last - first, height = source.height;
  std::fill(nearby, nearby + width, noFeature);
  std::optional<Pass> pass;
  if (reported) pass.emplace(height);
  for (int y = 0; y < height; ++y) {
    if (y > 0) NeighbourMinimum<diagonal>(work.rows[y - 1] + first, nearby, width);
    DownRow(source.rows[y] + first, featureValue, nearby, work.rows[y] + first, width);
    if (pass) pass->Done(y + 1);
  }
  if (reported) pass.emplace(height);
  for (int y = height - 1; y >= 0; --y) {
    if (y + 1 < height) NeighbourMinimum<diagonal>(work.rows[y + 1] + first, nearby, width);
    UpRow(y + 1 < height ? nearby : nullptr, work.rows[y] + first, copy.rows[y] + first, width);
    if (pass) pass->Done(height - y);
  }
}

// Room for the rows that the scans of a picture's stripes keep, taken before any thread starts:
// a row of int32 for a 32-bit scan, the rows of cells for a scan in cells; the stripes' rows a
// cache line apart, so that threads rarely share a line.
class StripeRooms {
 public:
  StripeRooms(int width, int parts)
      : nearby_(static_cast<std::size_t>(width + lineCells * parts)),
        cells_(5 * static_cast<std::size_t>(width + 2 * parts + lineCells * parts)) {}

  int32_t* Nearby(int first, int part) { return nearby_.data() + first + lineCells * part; }
  int16_t* Cells(int first, int part) {
    return cells_.data() + 5 * static_cast<std::size_t>(first + 2 * part + lineCells * part);
  }

 private:
  static constexpr int lineCells = 32;  // a cache line of int16, and more than one of int32
  std::vector<int32_t> nearby_;
  std::vector<int16_t> cells_;
};

// The scan of the columns first .. last - 1 of stripe `part`, in cells where they fit.
template <bool diagonal>
void ScanStripe(const ImageRecord& source, int featureValue, ImageRecord& work,
                ImageRecord& copy, int first, int last, StripeRooms& rooms, int part,
                bool streaming) {
#if defined(__SSE2__)
  if (FitsCells(last - first, source.height)) {
    ScanInCells<diagonal>(source, featureValue, work, first, last, rooms.Cells(first, part),
                          streaming, part == 0, [&](const int16_t* cells, int y) {
      int32_t* const to[2] = {work.rows[y] + first, copy.rows[y] + first};
      WidenCells(cells, to, last - first, streaming);
    });
    return;
  }
#else
  (void)streaming;
#endif
  Scan<diagonal>(source, featureValue, work, copy, first, last, rooms.Nearby(first, part),
                 part == 0);
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
// complete from that side, and each reaches across its own stripe alone; of two stripes, each is
// complete from its side once scanned, and both edges cross at once.
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
  StripeRooms rooms(width, parts);
  std::vector<int32_t> outside(static_cast<std::size_t>(height));
  std::vector<int32_t> outsideRight(parts == 2 ? outside.size() : 0);
  const bool streaming = ImagesOutgrowCache(width, height);
  const auto start = [&](int part) { return PartStart(width, parts, cacheLine, part); };
  InParallel(width, parts, cacheLine, [&](int first, int last, int part) {
    ScanStripe<diagonal>(source, featureValue, work, copy, first, last, rooms, part, streaming);
    if (parts != 2) return;
    // Each of two stripes keeps its column beside the edge for the other.
    std::vector<int32_t>& kept = part == 0 ? outside : outsideRight;
    for (int y = 0; y < height; ++y) kept[y] = work.rows[y][part == 0 ? last - 1 : first];
  });
  if (parts == 2) {
    const int edge = start(1);
    InParallel(height, parts, 1, [&](int first, int last, int) {
      for (int y = first; y < last; ++y) {
        CrossEdge<diagonal>(Edge{edge, width, edge - 1}, outside.data(), height, y, work, copy);
        CrossEdge<diagonal>(Edge{edge - 1, -1, edge}, outsideRight.data(), height, y, work,
                            copy);
      }
    });
    return;
  }
  const auto cross = [&](const Edge& edge) {
    for (int y = 0; y < height; ++y) outside[y] = work.rows[y][edge.outer];
    InParallel(height, parts, 1, [&](int first, int last, int) {
      for (int y = first; y < last; ++y)
        CrossEdge<diagonal>(edge, outside.data(), height, y, work, copy);
    });
  };
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
  StripeRooms rooms(source.width, 1);
  ScanStripe<diagonal>(source, featureValue, work, copy, 0, source.width, rooms, 0,
                       ImagesOutgrowCache(source.width, source.height));
}

}  // namespace

bool ChamferThresholdFits(int width, int height) {
#if defined(__SSE2__)
  return FitsCells(width, height);
#else
  (void)width;
  (void)height;
  return false;
#endif
}

int64_t ThresholdedChamfer(const ImageRecord& source, int featureValue, DistanceFunction function,
                           int size, bool beyond, ImageRecord& work, ImageRecord& second,
                           ImageRecord& third) {
  int64_t ones = 0;
#if defined(__SSE2__)
  const int width = source.width, height = source.height;
  if (!FitsCells(width, height)) return 0;
  const bool streaming = ImagesOutgrowCache(width, height);
  const auto most = static_cast<int16_t>(std::clamp(size, -1, far16 - 1));
  std::vector<int16_t> rows(CellRows(width));
  const auto finish = [&](const int16_t* cells, int y) {
    int32_t* const to[3] = {work.rows[y], second.rows[y], third.rows[y]};
    ones += ThresholdCells(cells, most, beyond, to, width, streaming);
  };
  if (function == DistanceFunction::chessboard)
    ScanInCells<true>(source, featureValue, work, 0, width, rows.data(), streaming, true, finish);
  else
    ScanInCells<false>(source, featureValue, work, 0, width, rows.data(), streaming, true, finish);
#else
  (void)source, (void)featureValue, (void)function, (void)size, (void)beyond, (void)work;
  (void)second, (void)third;
#endif
  return ones;
}

void ChamferMap(const ImageRecord& source, int featureValue, DistanceFunction function,
                ImageRecord& work, ImageRecord& copy, int threads) {
  if (function == DistanceFunction::chessboard)
    Scan<true>(source, featureValue, work, copy, threads);
  else
    Scan<false>(source, featureValue, work, copy, threads);
}

}  // namespace dt
