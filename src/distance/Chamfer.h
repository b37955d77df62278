// City-block and chessboard distances by a raster two-pass chamfer scan: with unit steps to the
// 4 (city-block) or 8 (chessboard) neighbours, one pass down and one pass up give every pixel its
// exact distance to the nearest feature pixel, touching memory once each way. The transform uses
// it when nothing is drawn; the drawing path keeps its column and row passes, which users watch.
#pragma once

#include "image/Choices.h"
#include "image/ImageRecord.h"

namespace dt {

// Whether the chamfer scan gives this function's map exactly.
constexpr bool ChamferIsExact(DistanceFunction function) {
  return function == DistanceFunction::cityBlock || function == DistanceFunction::chessboard;
}

// The map of the pixels equal to featureValue in `source` under `function` (city-block or
// chessboard), written to `work` and `copy` (same size as the source); noFeature everywhere when
// there is no feature pixel; on up to `threads` threads (0: one per processor core).
void ChamferMap(const ImageRecord& source, int featureValue, DistanceFunction function,
                ImageRecord& work, ImageRecord& copy, int threads = 1);

// Whether ThresholdedChamfer takes a picture of this size: its distances must fit 16 bits.
bool ChamferThresholdFits(int width, int height);

// The map of ChamferMap thresholded at once, on one thread: 1 where the distance is within
// `size` (beyond it with `beyond`; noFeature is within none), else 0, written to `work`,
// `second` and `third`; `work` holds the pass down meanwhile, the source may be either other
// image (its rows are all read before any result is written). Returns the number of 1 pixels;
// 0 with nothing written when the picture does not fit.
int64_t ThresholdedChamfer(const ImageRecord& source, int featureValue, DistanceFunction function,
                           int size, bool beyond, ImageRecord& work, ImageRecord& second,
                           ImageRecord& third);

}  // namespace dt
