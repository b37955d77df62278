// Copies split over threads: every pixel of every block arrives, wherever the parts' bounds fall.
#include "image/Parallel.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace dt::testing {
namespace {

TEST(Parallel, ACopyOverSeveralThreadsIsEveryBlockWhole) {
  // Blocks of odd sizes, empty ones among them, enough pixels together for three parts.
  const std::vector<std::size_t> sizes{(1u << 20) + 3, 0, 5, (1u << 21) + 77, 1, 0, 4099};
  std::vector<std::vector<int32_t>> from;
  int32_t next = 1;
  for (std::size_t size : sizes) {
    from.emplace_back(size);
    std::iota(from.back().begin(), from.back().end(), next);
    next += static_cast<int32_t>(size);
  }
  for (int threads : {1, 2, 3, 7, 0}) {
    std::vector<std::vector<int32_t>> to;
    std::vector<PixelCopy> copies;
    for (const std::vector<int32_t>& block : from) {
      to.emplace_back(block.size() + 1, -1);  // one past the end, which nothing may touch
      copies.push_back({block.data(), to.back().data(), block.size()});
    }
    CopyInParallel(copies, threads);
    for (std::size_t b = 0; b < from.size(); ++b) {
      EXPECT_TRUE(std::equal(from[b].begin(), from[b].end(), to[b].begin()))
          << "block " << b << ", " << threads << " threads";
      EXPECT_EQ(to[b].back(), -1) << "block " << b << ", " << threads << " threads";
    }
  }
}

}  // namespace
}  // namespace dt::testing
