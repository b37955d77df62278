// The simple transform's search: every pixel against every feature pixel. Each feature pixel is
// held as its row and column in the two 16-bit halves of one entry, so that one subtraction and
// one multiply-add (SSE2's pmaddwd) give (y - row)^2 + (x - column)^2 for four (eight with AVX2)
// feature pixels at once, exactly: with rows and columns below 32768 the sum stays below 2^31.
// Larger pictures, and processors without SSE2, are not searched here. Algorithm 2's row pass
// searches the same way, each column's candidate taken as the pixel (G, column).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace dt {

class FeatureSearch {
 public:
  // Whether pictures of this size can be searched here.
  static bool Fits(int width, int height);

  // The feature pixels in the order they are added: row by row, from the left.
  void Add(int row, int column);
  void Clear() {
    entries_.clear();
    count_ = 0;
  }
  std::size_t size() const { return count_; }

  // What is measured from (y, x) to a feature pixel (row, column), with dy = y - row and
  // dx = x - column: the squared Euclidean distance, the city-block distance |dy| + |dx|, the
  // chessboard distance max(|dy|, |dx|), or |a dy + b dx| + c dy with the numbers of SetSlant.
  enum class Cost { squares, sum, largest, slanted };
  // a, b and c within +-32767, and |a dy + b dx| + c dy below 2^31 wherever it is measured.
  void SetSlant(int a, int b, int c);

  // The least cost from (y, x + i) to any feature pixel, for i from 0 to n - 1 (n from 1 to 4),
  // into least[i]; with `first`, into first[i] the number of the first feature pixel, in the
  // order added, at that cost. At least one feature pixel must have been added.
  void Nearest(int y, int x, int n, int32_t* least, int32_t* first = nullptr,
               Cost cost = Cost::squares);
  int Row(std::size_t feature) const { return int(uint32_t(entries_[feature]) & 0xFFFF); }
  int Column(std::size_t feature) const { return int(uint32_t(entries_[feature]) >> 16); }

 private:
  template <Cost cost>
  void Search(int y, int x, int n, int32_t* least, int32_t* first);
  void Pad();  // to whole vectors, with copies of the last feature pixel

  std::vector<int32_t> entries_;
  std::size_t count_ = 0;
  int32_t weights_[2] = {0, 0};  // (a, b) and (c, 0) of the slanted cost
};

}  // namespace dt
