// The row kernels of the decomposed filter method: one-dimensional row distances, and the
// application of one filter run to one image row.
//
// The filter is split into runs, contiguous horizontal stretches of foreground. Dilation by a run
// of length L covers a pixel exactly when one of the L source pixels behind it is foreground, that
// is when the distance to the nearest foreground pixel at or before the source position is below
// L. Erosion by a run fits exactly when the L pixels ahead of the start are all foreground, that
// is when the distance to the nearest background pixel at or after the start is at least L. One
// distance row serves every run, so a run costs one comparison per pixel whatever its length.
//
// The kernels work target-driven (for each output pixel, look at its source), which keeps the
// inner loops free of scattered writes so that they vectorise, and makes the image borders behave
// exactly as in the direct method:
//  - dilation: a source position beyond the right edge still covers the targets whose sources
//    inside the image are within reach; positions outside contribute nothing;
//  - erosion: the part of a run outside the image is not tested, a run entirely outside fits.
//
// Distances are saturated at a cap no smaller than the longest run, so they fit in narrow types
// (uint8_t for runs up to 255, uint16_t up to 65535): every comparison with a run length gives the
// same answer as with the true distance. The cap is also at least 16, the distance from which the
// grey drawing is black, so drawn distances look the same as unsaturated ones. Every kernel
// below expects a run length of at most the cap of the distances it reads.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace dt::filtermorph {

// Distances from the nearest pixel equal to `value` at or behind each pixel, in the direction of
// the pass, saturated at cap (also where no such pixel lies behind).
template <class D>
void RowDistancesLeftToRight(const int32_t* source, int width, int32_t value, D cap, D* out) {
  D d = cap;
  for (int x = 0; x < width; ++x) {
    d = source[x] == value ? D(0) : (d < cap ? D(d + 1) : cap);
    out[x] = d;
  }
}

template <class D>
void RowDistancesRightToLeft(const int32_t* source, int width, int32_t value, D cap, D* out) {
  D d = cap;
  for (int x = width - 1; x >= 0; --x) {
    d = source[x] == value ? D(0) : (d < cap ? D(d + 1) : cap);
    out[x] = d;
  }
}

// Dilation of one target row by one run whose source row has the left-to-right distances
// `behind`: target column tx takes its source at s = tx - colOffset and is covered when a
// foreground pixel lies among the `length` source columns s - length + 1 .. s. Covered columns
// are set to 1 in `out`; nothing is cleared.
template <class D>
void DilateRowByRun(const D* behind, int width, int32_t length, int32_t colOffset, uint8_t* out) {
  if (length <= 0 || width <= 0) return;
  const int64_t w = width;
  const int64_t c = colOffset;
  // Sources inside the image: tx in [max(0, c), min(w, w + c)).
  const int64_t lo = std::max<int64_t>(0, c);
  const int64_t hi = std::min<int64_t>(w, w + c);
  if (lo < hi) {
    const D* src = behind + (lo - c);
    uint8_t* dst = out + lo;
    const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(hi - lo);
    const D l = static_cast<D>(length);
    for (std::ptrdiff_t i = 0; i < n; ++i) dst[i] |= static_cast<uint8_t>(src[i] < l);
  }
  // Sources beyond the right edge (colOffset < 0): the nearest foreground at or before the last
  // column, seen from s, is (s - (w - 1)) further away.
  const int64_t last = static_cast<int64_t>(behind[width - 1]);
  for (int64_t tx = std::max<int64_t>(0, w + c); tx < w; ++tx) {
    const int64_t beyond = tx - c - (w - 1);
    if (last + beyond < length) out[tx] = 1;
  }
}

// Erosion of one mask row by one run whose source row has the right-to-left distances `ahead`
// (to the nearest background pixel): column x keeps its mask only if the run placed at
// a = x + colOffset lies on foreground wherever it is inside the image.
template <class D>
void ErodeRowByRun(const D* ahead, int width, int32_t length, int32_t colOffset, uint8_t* mask) {
  if (length <= 0 || width <= 0) return;
  const int64_t w = width;
  const int64_t c = colOffset;
  // Runs that start inside the image: x in [max(0, -c), min(w, w - c)). The right end may reach
  // past the edge: there the saturated distance of a row without background ahead is at least
  // the cap, and a background pixel ahead inside the row is nearer than the run's inside part.
  const int64_t lo = std::max<int64_t>(0, -c);
  const int64_t hi = std::min<int64_t>(w, w - c);
  if (lo < hi) {
    const D* src = ahead + (lo + c);
    uint8_t* dst = mask + lo;
    const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(hi - lo);
    const D l = static_cast<D>(length);
    for (std::ptrdiff_t i = 0; i < n; ++i) dst[i] &= static_cast<uint8_t>(src[i] >= l);
  }
  // Runs that start left of the image: only their part from column 0 on is tested.
  const int64_t first = static_cast<int64_t>(ahead[0]);
  for (int64_t x = 0; x < std::min<int64_t>(w, -c); ++x) {
    const int64_t inside = x + c + length;  // columns of the run at 0 .. inside - 1
    if (inside > 0 && first < std::min<int64_t>(inside, w)) mask[x] = 0;
  }
}

}  // namespace dt::filtermorph
