#include "distance/Envelope.h"

#include "distance/DistanceFunctions.h"

namespace dt {

namespace {

// G of one column at a row: the rows to the nearest feature pixel in the directions the measure
// looks (both ways, at or below, or at or above), noFeature when there is none.
int32_t ColumnDistance(const ImageRecord& input, int featureValue, ColumnDirection direction,
                       int row, int column) {
  int64_t best = noFeature;
  if (direction != ColumnDirection::atOrAbove)
    for (int r = row; r < input.height && r - row < best; ++r)
      if (input.rows[r][column] == featureValue) best = r - row;
  if (direction != ColumnDirection::atOrBelow)
    for (int r = row; r >= 0 && row - r < best; --r)
      if (input.rows[r][column] == featureValue) best = row - r;
  return static_cast<int32_t>(best);
}

}  // namespace

int64_t CandidateCost(const RowEnvelope& envelope, int column, int x) {
  const int32_t g = envelope.columnDistance[column];
  int64_t cost = -1;
  WithMetric(envelope.measure, [&](const auto& metric) {
    if (g != noFeature && metric.Candidate(g)) cost = metric.Cost(int64_t{x} - column, g);
  });
  return cost;
}

RowEnvelope EnvelopeOfRow(const ImageRecord& input, int featureValue, const Measure& measure,
                          int row) {
  RowEnvelope envelope;
  envelope.measure = measure;
  envelope.row = row;
  const int width = input.width;
  for (int column = 0; column < width; ++column)
    envelope.columnDistance.push_back(
        ColumnDistance(input, featureValue, measure.columnDirection(), row, column));
  envelope.lowest.assign(width, -1);
  envelope.winner.assign(width, -1);
  envelope.stored.assign(width, noFeature);
  WithMetric(measure, [&](const auto& metric) {
    for (int x = 0; x < width; ++x) {
      for (int column = 0; column < width; ++column) {
        const int64_t cost = CandidateCost(envelope, column, x);
        if (cost >= 0 && (envelope.lowest[x] < 0 || cost < envelope.lowest[x])) {
          envelope.lowest[x] = cost;
          envelope.winner[x] = column;
        }
      }
      if (envelope.winner[x] >= 0) envelope.stored[x] = metric.Store(envelope.lowest[x]);
    }
  });
  return envelope;
}

double PlotHeight(const Measure& measure, int64_t cost) {
  if (measure.function != DistanceFunction::triangle) return static_cast<double>(cost);
  const TriangleMetric triangle(measure.apex.x, measure.apex.y, measure.reflected);
  return static_cast<double>(cost) / static_cast<double>(triangle.scale);
}

double StoredHeight(const Measure& measure, int32_t d) {
  return measure.function == DistanceFunction::euclid ? double(d) * d : double(d);
}

}  // namespace dt
