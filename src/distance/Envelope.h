// One row of a separable distance transform laid open, for the envelope plot of the window: the
// column distance G of every column at the row, each column's candidate function along the row,
// their lower envelope, the column that wins at each pixel and the distance stored there. It is
// computed afresh from the input with the same metric functors the transforms use, so what the
// plot shows is what the row pass computes.
#pragma once

#include <cstdint>
#include <vector>

#include "image/Choices.h"
#include "image/ImageRecord.h"

namespace dt {

struct RowEnvelope {
  Measure measure;
  int row = 0;
  std::vector<int32_t> columnDistance;  // G of each column at the row; noFeature where none
  std::vector<int64_t> lowest;          // the envelope's cost at each pixel; -1 where none
  std::vector<int> winner;              // the column whose candidate is lowest (the first of
                                        // equals); -1 where none
  std::vector<int32_t> stored;          // the distance stored from the envelope; noFeature
};

// The envelope of `row` of the input, measured to the pixels equal to featureValue.
RowEnvelope EnvelopeOfRow(const ImageRecord& input, int featureValue, const Measure& measure,
                          int row);

// The cost of column i's candidate at pixel x of the row (in the metric's own exact units), or -1
// when the column takes no part (no feature pixel in reach).
int64_t CandidateCost(const RowEnvelope& envelope, int column, int x);

// A cost as a height on the plot: the squared distance for Euclid, the distance itself for the
// others (the triangle's scaled cost divided back).
double PlotHeight(const Measure& measure, int64_t cost);
// The plot height of a stored distance d: d squared for Euclid, d for the others.
double StoredHeight(const Measure& measure, int32_t d);

}  // namespace dt
