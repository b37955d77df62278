// Algorithm 1 of the distance transform for callers that draw nothing.
#pragma once

#include "image/ImageEngine.h"

namespace dt {

// The distance map of the binary picture in `source` (InputImage, or DistanceMap holding the
// current picture) by algorithm 1 with the measure, into WorkImage and DistanceMap, on the
// engine's number of threads. It gives exactly what TransformT1, CopyWorkToDistanceMap,
// EnvelopeRowPass and CopyWorkToDistanceMap give with timing on, in fewer passes over memory.
// Draws nothing; leaves kind and distanceReady to the caller. Given `nearest` (allocated at the
// input's size), also the feature transform there.
void DistanceMapWithoutDrawing(const ImageEngine& engine, const ImageRecord& source,
                               int featureValue, const Measure& measure,
                               FeatureMap* nearest = nullptr);

// Whether a stored distance lies within a filter size: signed, and noFeature is within none.
inline bool WithinSize(int32_t distance, int size) {
  return distance != noFeature && distance <= size;
}

// The same distance map thresholded at once, nothing drawn: 1 where the distance is within the
// size (or, for an erosion's pass, where it is not), else 0, written into WorkImage, InputImage
// and DistanceMap as adopting the result would; source may be InputImage itself. Returns the
// number of 1 pixels. The distance map itself is not kept; kinds, counts and flags are left to
// the caller. Up to `threads` threads share the work (0: one per processor core).
int64_t ThresholdedMapWithoutDrawing(const ImageRecord& source, int featureValue,
                                     const Measure& measure, int size, int threads = 1);

// Whether ThresholdedMapWithoutDrawing takes the chamfer scan for a width x height picture: for
// city-block and chessboard on one or two threads, as the scan on one thread takes about half
// the time of the column and row passes on one.
bool ThresholdedByChamfer(const Measure& measure, int width, int height, int threads);

}  // namespace dt
