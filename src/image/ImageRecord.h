// An image of 32-bit signed pixels addressed as rows[row][column]. The row table points into one
// block that holds all rows one after another (row r starts at r * width), which keeps every
// row-by-row loop on contiguous memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace dt {

// Distance of a pixel that no feature pixel bounds.
constexpr int32_t noFeature = 2147483647;

class PixelRows {
 public:
  PixelRows() = default;
  PixelRows(PixelRows&&) noexcept = default;
  PixelRows& operator=(PixelRows&&) noexcept = default;

  int32_t* operator[](int row) const { return table_[row]; }
  explicit operator bool() const { return table_ != nullptr; }
  bool operator==(std::nullptr_t) const { return table_ == nullptr; }
  bool operator!=(std::nullptr_t) const { return table_ != nullptr; }

  // Allocates width * height uninitialised pixels and the table of height row pointers.
  // Throws std::bad_alloc; on failure the rows stay as they were.
  void Allocate(int width, int height);
  void Release();

  int32_t* data() const { return block_.get(); }

 private:
  std::unique_ptr<int32_t[]> block_;
  std::unique_ptr<int32_t*[]> table_;
};

struct ImageRecord {
  int32_t width = 0;
  int32_t height = 0;
  int32_t originRow = 0;      // filter origin, height / 2 (FilterImage only)
  int32_t originCol = 0;      // filter origin, width / 2 (FilterImage only)
  int32_t kind = 0;           // 2 = binary image, 16 = distance map
  int32_t whiteCount = 0;     // pixels equal to 1 (InputImage only)
  int32_t blackCount = 0;     // all other pixels (InputImage only)
  PixelRows rows;             // null while the record holds no data
};

// A feature pixel found nearest to some pixel: its row and column, both -1 when there is none.
struct FeaturePixel {
  int32_t row = -1;
  int32_t column = -1;
};

// The feature transform beside a distance map: for every pixel, a nearest feature pixel under the
// map's measure, as (row, column) pairs row after row (the layout of an int32 array of shape
// (height, width, 2)), (-1, -1) where the map holds noFeature. Of several feature pixels equally
// near it holds one, always one at the map's distance from the pixel.
struct FeatureMap {
  int32_t width = 0;
  int32_t height = 0;
  std::unique_ptr<int32_t[]> pairs;  // 2 * width * height values; null while it holds nothing

  // Makes the pairs, every one (-1, -1) when `unset` (else left as they are, for a computation
  // that writes every pair), in the block the map holds when its size is the same. Throws
  // std::bad_alloc; on failure the map stays as it was.
  void Allocate(int width, int height, bool unset = true);
  bool empty() const { return pairs == nullptr; }
  int32_t* Row(int row) const { return pairs.get() + 2 * std::size_t(row) * std::size_t(width); }
  FeaturePixel At(int row, int column) const {
    const int32_t* pair = Row(row) + 2 * std::size_t(column);
    return {pair[0], pair[1]};
  }
};

// Image kinds.
constexpr int32_t binaryKind = 2;
constexpr int32_t distanceKind = 16;

}  // namespace dt
