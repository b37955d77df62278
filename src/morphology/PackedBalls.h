// Dilation and erosion halves by small balls on packed bits, for callers that draw nothing.
#pragma once

#include <cstdint>

#include "image/ImageEngine.h"

namespace dt {

// Whether a half by the ball of this measure and size, on up to `threads` threads, runs faster
// on packed bits than through the thresholded distance map of the input: the packed work grows
// with the rows of the ball, the distance map's does not.
bool PackedBallPays(const Measure& measure, int size, int threads = 1);

// The same result as ThresholdedMapWithoutDrawing (distance/DistanceTransform.h), computed on
// one bit per pixel: the ball is a union of row runs (the metric's chords of each column
// distance), so the pixels within the size are the OR, over the ball's rows, of the feature
// rows dilated along the row by their run. Writes 1 where within the size (or, for an erosion's
// pass, where not) into WorkImage, InputImage and DistanceMap; source may be InputImage itself.
// Returns the number of 1 pixels; kinds, counts and flags are left to the caller. Bands of rows
// go to up to `threads` threads (0: one per processor core).
int64_t PackedBallWithoutDrawing(const ImageRecord& source, int featureValue,
                                 const Measure& measure, int size, int threads = 1);

}  // namespace dt
