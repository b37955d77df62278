#include "support/Grid.h"

#include <algorithm>

namespace dt::testing {

int64_t Grid::Count(int32_t value) const { return std::count(values.begin(), values.end(), value); }

Grid GridFromRows(const std::vector<std::string>& rows) {
  Grid grid(rows.empty() ? 0 : static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
  for (int r = 0; r < grid.height; ++r)
    for (int c = 0; c < grid.width; ++c) grid.at(r, c) = rows[r][c] == '1' || rows[r][c] == '#';
  return grid;
}

Grid RandomGrid(std::mt19937& rng, int width, int height, double density) {
  Grid grid(width, height);
  std::bernoulli_distribution on(density);
  for (auto& v : grid.values) v = on(rng) ? 1 : 0;
  return grid;
}

Grid RandomImage(std::mt19937& rng, int maxSide) {
  std::uniform_int_distribution<int> side(1, maxSide), pick(0, 6);
  const double densities[] = {0.0, 0.02, 0.1, 0.3, 0.5, 0.8, 1.0};
  const int w = pick(rng) == 0 ? 1 : side(rng), h = pick(rng) == 0 ? 1 : side(rng);
  return RandomGrid(rng, w, h, densities[pick(rng)]);
}

Grid GridOf(const ImageRecord& image) {
  Grid grid(image.width, image.height);
  if (image.rows) std::copy_n(image.rows.data(), grid.values.size(), grid.values.begin());
  return grid;
}

std::string ToString(const Grid& grid) {
  std::string s;
  for (int r = 0; r < grid.height; ++r) {
    for (int c = 0; c < grid.width; ++c) {
      const int32_t v = grid.at(r, c);
      s += (c ? " " : "") + (v == noFeature ? std::string("INF") : std::to_string(v));
    }
    s += '\n';
  }
  return s;
}

std::ostream& operator<<(std::ostream& os, const Grid& grid) {
  return os << grid.width << "x" << grid.height << "\n" << ToString(grid);
}

namespace {

// A binary grid as a record that the reader could have made: counts and, as a filter, origin.
ImageRecord RecordOf(const Grid& grid, ImageRole role = ImageRole::input) {
  ImageRecord image;
  image.width = grid.width;
  image.height = grid.height;
  image.kind = binaryKind;
  image.rows.Allocate(grid.width, grid.height);
  std::copy(grid.values.begin(), grid.values.end(), image.rows.data());
  if (role == ImageRole::filter) {
    image.originRow = grid.height / 2;
    image.originCol = grid.width / 2;
  } else {
    image.whiteCount = static_cast<int32_t>(grid.Count(1));
    image.blackCount = static_cast<int32_t>(grid.values.size()) - image.whiteCount;
  }
  return image;
}

}  // namespace

void SetInput(ImageEngine& engine, const Grid& grid) { engine.ReplaceInput(RecordOf(grid)); }

void SetFilter(ImageEngine& engine, const Grid& grid) {
  FilterImage = RecordOf(grid, ImageRole::filter);
  engine.filterLoaded = 1;
}

}  // namespace dt::testing
