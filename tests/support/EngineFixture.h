// Helpers for engine tests: fresh global state per test, images built from text, and a surface
// that records what is drawn.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "image/ImageEngine.h"
#include "support/RecordingServices.h"

namespace dt::testing {

// A plain width x height grid of values, row-major; the tests' own image type.
struct Grid {
  int width = 0;
  int height = 0;
  std::vector<int32_t> values;

  Grid() = default;
  Grid(int w, int h, int32_t fill = 0) : width(w), height(h), values(std::size_t(w) * h, fill) {}
  int32_t& at(int row, int column) { return values[std::size_t(row) * width + column]; }
  int32_t at(int row, int column) const { return values[std::size_t(row) * width + column]; }
  bool operator==(const Grid& o) const {
    return width == o.width && height == o.height && values == o.values;
  }
};

// Rows of '1'/'#' (1) and '0'/'.' (0), e.g. {"101", "001"}.
Grid GridFromRows(const std::vector<std::string>& rows);
Grid RandomGrid(std::mt19937& rng, int width, int height, double density);
Grid GridOf(const ImageRecord& image);  // the image at the input's size
std::string ToString(const Grid& grid);
void PrintTo(const Grid& grid, std::ostream* os);

// Loads a grid as the input image, as a successful read would leave it.
void SetInput(ImageEngine& engine, const Grid& grid);
// Puts a grid into FilterImage with its origin at height / 2, width / 2.
void SetFilter(ImageEngine& engine, const Grid& grid);

// Resets every global and installs RecordingServices for the test's duration.
class EngineTest : public ::testing::Test {
 protected:
  EngineTest() { ResetGlobalState(); }
  ~EngineTest() override { ResetGlobalState(); }
  RecordingServices services;
  ImageEngine engine;
};

// Records the last colour drawn at each pixel and the order of the calls.
class RecordingSurface final : public Surface {
 public:
  RecordingSurface(int width = 1300, int height = 1100);
  void SetPixel(int x, int y, uint32_t rgb) override;
  uint32_t at(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
  int width;
  int height;
  std::vector<uint32_t> pixels;  // 0x01000000 marks a pixel never drawn
  struct Call {
    int x, y;
    uint32_t rgb;
  };
  std::vector<Call> calls;
  bool recordCalls = true;
  static constexpr uint32_t untouched = 0x01000000;
};

}  // namespace dt::testing
