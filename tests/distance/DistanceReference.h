// Slow, obviously right distance maps for the tests: every pixel against every feature pixel.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "support/EngineFixture.h"

namespace dt::testing {

// The shape of a distance measure as the tests define it, independently of the engine.
struct Measure {
  int function = distance_function::euclid;
  int ax = 0, ay = 150;    // triangle apex
  bool reflected = false;  // the triangle turned half a turn (erosion)
};

inline int64_t ReferenceFloorSqrt(int64_t v) {
  int64_t r = 0;
  while ((r + 1) * (r + 1) <= v) ++r;
  return r;
}

// The distance from (y, x) to the feature pixel (fy, fx) as stored (rounded down), or -1 when
// that feature pixel is out of reach.
inline int64_t ReferenceDistance(const Measure& m, int y, int x, int fy, int fx) {
  const int64_t dx = x - fx, dy = y - fy;
  switch (m.function) {
    case distance_function::euclid: return ReferenceFloorSqrt(dx * dx + dy * dy);
    case distance_function::cityBlock: return std::llabs(dx) + std::llabs(dy);
    case distance_function::chessboard: return std::max(std::llabs(dx), std::llabs(dy));
    default: {
      // Normal: feature pixels at or below (h rows down); reflected: at or above.
      const int64_t h = m.reflected ? dy : -dy;
      if (h < 0) return -1;
      if (m.ay == 0) return h == 0 ? std::llabs(dx) : -1;
      // |x - centre| + h*150/ay with centre = fx + s*h*ax/ay, on the denominator ay.
      const int64_t s = m.reflected ? -1 : 1;
      return (std::llabs(m.ay * dx - s * m.ax * h) + 150 * h) / m.ay;
    }
  }
}

inline Grid ReferenceTransform(const Grid& input, int featureValue, const Measure& m) {
  Grid out(input.width, input.height, noFeature);
  for (int y = 0; y < input.height; ++y)
    for (int x = 0; x < input.width; ++x)
      for (int fy = 0; fy < input.height; ++fy)
        for (int fx = 0; fx < input.width; ++fx) {
          if (input.at(fy, fx) != featureValue) continue;
          const int64_t d = ReferenceDistance(m, y, x, fy, fx);
          if (d >= 0 && d < out.at(y, x)) out.at(y, x) = static_cast<int32_t>(d);
        }
  return out;
}

// Sets the engine up for a measure as the commands do.
inline void Configure(ImageEngine& engine, const Measure& m) {
  engine.distanceFunction = m.function;
  triangleApex = {m.ax, m.ay};
  const bool triangle = m.function == distance_function::triangle;
  engine.t1Direction = !triangle ? t1_direction::bothWays
                                 : (m.reflected ? t1_direction::atOrAbove : t1_direction::atOrBelow);
  engine.processKind = m.reflected ? process_kind::erosion : process_kind::transform1;
}

}  // namespace dt::testing
