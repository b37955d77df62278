// The row distances of the decomposed method against their definition, at every width around
// the vector block sizes, both ways, for each distance width.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "filtermorph/RowKernels.h"

namespace dt::filtermorph {
namespace {

// Distance to the nearest pixel equal to value at or behind x, saturated at cap.
uint32_t Expected(const std::vector<int32_t>& row, int x, int32_t value, uint32_t cap, bool ltr) {
  for (uint32_t d = 0;; ++d) {
    const int at = ltr ? x - int(d) : x + int(d);
    if (d >= cap || at < 0 || at >= int(row.size())) return cap;
    if (row[at] == value) return d;
  }
}

template <class D>
void CheckWidths(std::mt19937& rng, uint32_t cap) {
  for (int width = 0; width <= 100; ++width) {
    for (double density : {0.0, 0.05, 0.5, 1.0}) {
      std::bernoulli_distribution on(density);
      std::vector<int32_t> row(width);
      for (auto& v : row) v = on(rng) ? 1 : 0;
      for (int32_t value : {0, 1}) {
        for (bool ltr : {true, false}) {
          std::vector<D> out(width + 1, D(77));
          RowDistances(row.data(), width, value, static_cast<D>(cap), out.data(), ltr);
          for (int x = 0; x < width; ++x)
            ASSERT_EQ(out[x], Expected(row, x, value, cap, ltr))
                << "width " << width << " x " << x << " cap " << cap << (ltr ? " ltr" : " rtl");
          ASSERT_EQ(out[width], D(77)) << "wrote past the row";
        }
      }
    }
  }
}

TEST(RowDistances, MatchTheDefinitionAtEveryWidthBothWays) {
  std::mt19937 rng(5);
  for (uint32_t cap : {16u, 17u, 40u, 254u, 255u}) CheckWidths<uint8_t>(rng, cap);
  CheckWidths<uint16_t>(rng, 300);
  CheckWidths<uint32_t>(rng, 70000);
}

}  // namespace
}  // namespace dt::filtermorph
