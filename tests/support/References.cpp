#include "support/References.h"

#include <cmath>
#include <cstdlib>

namespace dt {

void PrintTo(const Measure& m, std::ostream* os) {
  *os << InfoOf(m.function).metricName << " " << m.apex.x << "," << m.apex.y
      << (m.reflected ? " reflected" : "");
}

}  // namespace dt

namespace dt::testing {

std::vector<Measure> AllMeasures() {
  std::vector<Measure> all = {Measure{DistanceFunction::euclid},
                              Measure{DistanceFunction::cityBlock},
                              Measure{DistanceFunction::chessboard}};
  const ApexPoint apexes[] = {{0, 150}, {150, 151}, {-40, 300}, {37, 11}, {-61, 2}, {90, 0}};
  for (bool reflected : {false, true})
    for (const ApexPoint& apex : apexes)
      all.push_back(Measure{DistanceFunction::triangle, apex, reflected});
  return all;
}


std::optional<int64_t> Cost(const Measure& m, int64_t dy, int64_t dx) {
  switch (m.function) {
    case DistanceFunction::euclid:
      return dx * dx + dy * dy;
    case DistanceFunction::cityBlock:
      return std::llabs(dx) + std::llabs(dy);
    case DistanceFunction::chessboard:
      return std::max(std::llabs(dx), std::llabs(dy));
    case DistanceFunction::triangle: {
      // h rows towards the apex side; the triangle through the feature pixel has its lowest
      // point h * ax / ay columns along and rises by 150 / ay per row.
      const int64_t h = m.reflected ? dy : -dy;
      const int64_t ax = m.reflected ? -m.apex.x : m.apex.x, ay = m.apex.y;
      if (h < 0) return std::nullopt;
      if (ay == 0) return h == 0 ? std::optional<int64_t>(std::llabs(dx)) : std::nullopt;
      return std::llabs(ay * dx - ax * h) + 150 * h;
    }
  }
  return std::nullopt;
}

int64_t Stored(const Measure& m, int64_t cost) {
  if (m.function == DistanceFunction::euclid) {
    auto r = static_cast<int64_t>(std::sqrt(static_cast<long double>(cost)));
    while (r > cost / std::max<int64_t>(r, 1)) --r;  // divisions: no square overflows
    while (r + 1 <= cost / (r + 1)) ++r;
    return r;
  }
  if (m.function == DistanceFunction::triangle && m.apex.y > 0) return cost / m.apex.y;
  return cost;
}

int32_t Distance(const Measure& m, int64_t dy, int64_t dx) {
  const std::optional<int64_t> cost = Cost(m, dy, dx);
  return cost ? static_cast<int32_t>(Stored(m, *cost)) : noFeature;
}

Grid ReferenceTransform(const Grid& image, int featureValue, const Measure& m) {
  Grid out(image.width, image.height, noFeature);
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x)
      for (int fy = 0; fy < image.height; ++fy)
        for (int fx = 0; fx < image.width; ++fx)
          if (image.at(fy, fx) == featureValue)
            out.at(y, x) = std::min(out.at(y, x), Distance(m, y - fy, x - fx));
  return out;
}

std::string NearestFault(const Grid& image, int featureValue, const Measure& m, const Grid& map,
                         const int32_t* pairs) {
  // On small pictures, the least cost of a pixel by brute force, where the stored distance
  // rounds it (the city-block's and the chessboard's are their costs).
  const bool leastChecked = int64_t{image.width} * image.height <= 4096 &&
                            (m.function == DistanceFunction::euclid ||
                             (m.function == DistanceFunction::triangle && m.apex.y > 1));
  std::vector<std::pair<int, int>> features;
  for (int fy = 0; leastChecked && fy < image.height; ++fy)
    for (int fx = 0; fx < image.width; ++fx)
      if (image.at(fy, fx) == featureValue) features.emplace_back(fy, fx);
  const auto leastCost = [&](int y, int x) {
    std::optional<int64_t> least;
    for (const auto& [fy, fx] : features)
      if (const std::optional<int64_t> cost = Cost(m, y - fy, x - fx);
          cost && (!least || *cost < *least))
        least = cost;
    return least;
  };
  for (int y = 0; y < map.height; ++y)
    for (int x = 0; x < map.width; ++x, pairs += 2) {
      const int32_t fy = pairs[0], fx = pairs[1], d = map.at(y, x);
      const bool inside = fy >= 0 && fx >= 0 && fy < image.height && fx < image.width;
      if (d == noFeature ? fy != -1 || fx != -1
                         : !inside || image.at(fy, fx) != featureValue ||
                               Distance(m, y - fy, x - fx) != d ||
                               (leastChecked && Cost(m, y - fy, x - fx) != leastCost(y, x)))
        return std::to_string(y) + "," + std::to_string(x) + ": " + std::to_string(fy) + "," +
               std::to_string(fx);
    }
  return "";
}

Offsets BallOffsets(const Measure& shape, int size) {
  Offsets ball;
  const int reach = 2 * size + 2;  // no shape reaches further
  for (int dy = -reach; dy <= reach; ++dy)
    for (int dx = -reach; dx <= reach; ++dx)
      if (Distance(shape, dy, dx) <= size) ball.emplace_back(dy, dx);
  return ball;
}

Offsets FilterOffsets(const Grid& filter) {
  Offsets offsets;
  for (int r = 0; r < filter.height; ++r)
    for (int c = 0; c < filter.width; ++c)
      if (filter.at(r, c) == 1) offsets.emplace_back(r - filter.height / 2, c - filter.width / 2);
  return offsets;
}

namespace {

bool Inside(const Grid& g, int64_t y, int64_t x) {
  return y >= 0 && x >= 0 && y < g.height && x < g.width;
}

Grid Dilate(const Grid& in, const Offsets& filter) {
  Grid out(in.width, in.height);
  for (int y = 0; y < in.height; ++y)
    for (int x = 0; x < in.width; ++x)
      for (auto [dy, dx] : filter)
        if (Inside(in, y - int64_t{dy}, x - int64_t{dx}) && in.at(y - dy, x - dx) == 1)
          out.at(y, x) = 1;
  return out;
}

Grid Erode(const Grid& in, const Offsets& filter) {
  Grid out(in.width, in.height);
  for (int y = 0; y < in.height; ++y)
    for (int x = 0; x < in.width; ++x) {
      bool fits = in.at(y, x) == 1;
      for (auto [dy, dx] : filter)
        if (Inside(in, y + int64_t{dy}, x + int64_t{dx}) && in.at(y + dy, x + dx) != 1)
          fits = false;
      out.at(y, x) = fits;
    }
  return out;
}

}  // namespace

Grid ReferenceMorphology(Operation operation, const Grid& image, const Offsets& filter) {
  switch (operation) {
    case Operation::dilation:
      return Dilate(image, filter);
    case Operation::erosion:
      return Erode(image, filter);
    case Operation::opening:
      return Dilate(Erode(image, filter), filter);
    case Operation::closing:
      return Erode(Dilate(image, filter), filter);
  }
  return image;
}

int32_t RowDistance(const Grid& g, int r, int c, int32_t value, bool leftToRight) {
  for (int d = 0, x = c; x >= 0 && x < g.width; ++d, x += leftToRight ? -1 : 1)
    if (g.at(r, x) == value) return d;
  return noFeature;
}

uint32_t GreyOf(int32_t distance) {
  const int64_t fall = distance == noFeature ? 255 : std::min<int64_t>(int64_t{distance} * 16, 255);
  const auto level = static_cast<uint32_t>(255 - fall);
  return level << 16 | level << 8 | level;
}

}  // namespace dt::testing
