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

// Distances from the nearest pixel equal to `value` at or behind each pixel of one row, in the
// direction of the pass, saturated at cap (also where no such pixel lies behind).
void RowDistances(const int32_t* source, int width, int32_t value, uint8_t cap, uint8_t* out,
                  bool leftToRight);
void RowDistances(const int32_t* source, int width, int32_t value, uint16_t cap, uint16_t* out,
                  bool leftToRight);
void RowDistances(const int32_t* source, int width, int32_t value, uint32_t cap, uint32_t* out,
                  bool leftToRight);

// One run as an output row sees it: the distance row of its source image row, its length and its
// column offset.
template <class D>
struct RunSource {
  const D* distances;
  int32_t length;
  int32_t colOffset;
};

// The row kernel that both orders of work share: adds the shortfalls of `count` runs to one
// output row, acc[x] |= length - distance where the distance is below the length, for the
// distance each run reads for column x. Afterwards acc[x] is nonzero exactly when some run covers
// x (Dilation = true, distances to the nearest foreground behind) or some run does not fit at x
// (erosion, distances to the nearest background ahead). Saturating subtraction and OR make the
// middle of a row two vector operations per run; only the columns where a run crosses the image
// border are done one by one. D is uint8_t, uint16_t or uint32_t.
template <class D, bool Dilation>
void AccumulateRuns(const RunSource<D>* runs, int count, int width, D* acc);

}  // namespace dt::filtermorph
