#include "support/EngineFixture.h"

#include <algorithm>
#include <ostream>

namespace dt::testing {

Grid GridFromRows(const std::vector<std::string>& rows) {
  Grid grid(rows.empty() ? 0 : static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
  for (int r = 0; r < grid.height; ++r)
    for (int c = 0; c < grid.width; ++c)
      grid.at(r, c) = (rows[r][c] == '1' || rows[r][c] == '#') ? 1 : 0;
  return grid;
}

Grid RandomGrid(std::mt19937& rng, int width, int height, double density) {
  Grid grid(width, height);
  std::bernoulli_distribution on(density);
  for (auto& v : grid.values) v = on(rng) ? 1 : 0;
  return grid;
}

Grid GridOf(const ImageRecord& image) {
  Grid grid(InputImage.width, InputImage.height);
  for (int r = 0; r < grid.height; ++r)
    for (int c = 0; c < grid.width; ++c) grid.at(r, c) = image.rows[r][c];
  return grid;
}

std::string ToString(const Grid& grid) {
  std::string s;
  for (int r = 0; r < grid.height; ++r) {
    for (int c = 0; c < grid.width; ++c) {
      if (c) s += ' ';
      const int32_t v = grid.at(r, c);
      s += v == noFeature ? std::string("INF") : std::to_string(v);
    }
    s += '\n';
  }
  return s;
}

void PrintTo(const Grid& grid, std::ostream* os) {
  *os << grid.width << "x" << grid.height << "\n" << ToString(grid);
}

namespace {

void Fill(ImageRecord& image, const Grid& grid) {
  image.width = grid.width;
  image.height = grid.height;
  image.kind = binaryKind;
  image.charsPerPixel = 1;
  image.rows.Allocate(grid.width, grid.height);
  std::copy(grid.values.begin(), grid.values.end(), image.rows.data());
}

}  // namespace

void SetInput(ImageEngine& engine, const Grid& grid) {
  engine.FreeImages();
  Fill(InputImage, grid);
  const auto white = std::count(grid.values.begin(), grid.values.end(), 1);
  InputImage.whiteCount = static_cast<int32_t>(white);
  InputImage.blackCount = static_cast<int32_t>(grid.values.size() - white);
  engine.AllocateWorkImages();
  engine.inputLoaded = 1;
  engine.CopyInputToWork();
}

void SetFilter(ImageEngine& engine, const Grid& grid) {
  Fill(FilterImage, grid);
  FilterImage.originRow = grid.height / 2;
  FilterImage.originCol = grid.width / 2;
  engine.filterLoaded = 1;
}

RecordingSurface::RecordingSurface(int w, int h)
    : width(w), height(h), pixels(std::size_t(w) * h, untouched) {}

void RecordingSurface::SetPixel(int x, int y, uint32_t rgb) {
  if (x >= 0 && y >= 0 && x < width && y < height) pixels[std::size_t(y) * width + x] = rgb;
  if (recordCalls) calls.push_back({x, y, rgb});
}

}  // namespace dt::testing
