// The tests' one image type and the ways in and out of the engine's records.
#pragma once

#include <cstdint>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "image/ImageEngine.h"

namespace dt::testing {

// A plain width x height grid of values, row-major.
struct Grid {
  int width = 0;
  int height = 0;
  std::vector<int32_t> values;

  Grid() = default;
  Grid(int w, int h, int32_t fill = 0) : width(w), height(h), values(std::size_t(w) * h, fill) {}
  int32_t& at(int row, int column) { return values[std::size_t(row) * width + column]; }
  int32_t at(int row, int column) const { return values[std::size_t(row) * width + column]; }
  int64_t Count(int32_t value) const;
  bool operator==(const Grid& o) const {
    return width == o.width && height == o.height && values == o.values;
  }
};

// Rows of '1'/'#' (1) and '0'/'.' (0), e.g. {"101", "001"}.
Grid GridFromRows(const std::vector<std::string>& rows);
Grid RandomGrid(std::mt19937& rng, int width, int height, double density);
// Random sizes from 1 to maxSide, one row and one column often, densities from sparse to full.
Grid RandomImage(std::mt19937& rng, int maxSide);
Grid GridOf(const ImageRecord& image);   // at the record's own size
std::string ToString(const Grid& grid);  // rows of values, "INF" for noFeature
std::ostream& operator<<(std::ostream& os, const Grid& grid);  // its size, then ToString

// Makes the grid the input image, as a successful load does.
void SetInput(ImageEngine& engine, const Grid& grid);
// Makes the grid the filter image, origin at (height / 2, width / 2).
void SetFilter(ImageEngine& engine, const Grid& grid);

}  // namespace dt::testing
