#include "distance/Chamfer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace dt {

namespace {

// Distances run in uint32 so that one step from noFeature (2^31 - 1) is 2^31, never a smaller
// number, and the minimum with anything keeps noFeature at most.
inline uint32_t Step(uint32_t v) { return v + 1; }

// The smallest of a row's pixel and, for the chessboard, its two horizontal neighbours.
template <bool diagonal>
void NeighbourMinimum(const uint32_t* __restrict row, uint32_t* __restrict out, int width) {
  if (!diagonal || width == 1) {
    std::memcpy(out, row, sizeof(uint32_t) * std::size_t(width));
    return;
  }
  out[0] = std::min(row[0], row[1]);
  for (int x = 1; x + 1 < width; ++x) out[x] = std::min(std::min(row[x - 1], row[x]), row[x + 1]);
  out[width - 1] = std::min(row[width - 2], row[width - 1]);
}

template <bool diagonal>
void Scan(const ImageRecord& source, int featureValue, ImageRecord& work, ImageRecord& copy) {
  const int width = source.width, height = source.height;
  std::vector<uint32_t> nearby(static_cast<std::size_t>(width));
  const auto row = [&](int y) { return reinterpret_cast<uint32_t*>(work.rows[y]); };
  // Down: the neighbours above (the vertical part runs over the whole row at once), then the one
  // to the left.
  for (int y = 0; y < height; ++y) {
    uint32_t* __restrict out = row(y);
    const int32_t* __restrict pixels = source.rows[y];
    if (y == 0)
      std::fill(nearby.begin(), nearby.end(), uint32_t{noFeature});
    else
      NeighbourMinimum<diagonal>(row(y - 1), nearby.data(), width);
    const uint32_t* __restrict above = nearby.data();
    for (int x = 0; x < width; ++x)
      out[x] = pixels[x] == featureValue ? 0u : std::min<uint32_t>(Step(above[x]), noFeature);
    for (int x = 1; x < width; ++x) out[x] = std::min(out[x], Step(out[x - 1]));
  }
  // Up: the neighbours below, then the one to the right; the row is final then.
  for (int y = height - 1; y >= 0; --y) {
    uint32_t* __restrict out = row(y);
    if (y + 1 < height) {
      NeighbourMinimum<diagonal>(row(y + 1), nearby.data(), width);
      const uint32_t* __restrict below = nearby.data();
      for (int x = 0; x < width; ++x) out[x] = std::min(out[x], Step(below[x]));
    }
    for (int x = width - 2; x >= 0; --x) out[x] = std::min(out[x], Step(out[x + 1]));
    std::memcpy(copy.rows[y], out, sizeof(int32_t) * std::size_t(width));
  }
}

}  // namespace

void ChamferMap(const ImageRecord& source, int featureValue, DistanceFunction function,
                ImageRecord& work, ImageRecord& copy) {
  if (function == DistanceFunction::chessboard)
    Scan<true>(source, featureValue, work, copy);
  else
    Scan<false>(source, featureValue, work, copy);
}

}  // namespace dt
