// Morphology by a filter image: both methods against the definition by the filter's offsets,
// the row kernels against their definition, and what the decomposed method shows as it runs.
#include <functional>

#include "filtermorph/DecomposedMorphology.h"
#include "filtermorph/FilterOperations.h"
#include "filtermorph/RowKernels.h"
#include "support/EngineTest.h"
#include "support/References.h"

namespace dt::testing {
namespace {

// Random images with the awkward cases often: one row or column, filters wider or taller than
// the image, filter rows with gaps or without foreground, a background origin, empty and full.
std::pair<Grid, Grid> RandomCase(std::mt19937& rng, int widest = 12) {
  std::uniform_int_distribution<int> filterSide(1, 9), pick(0, 9);
  std::uniform_real_distribution<double> density(0.0, 1.0);
  const Grid image = RandomImage(rng, widest);
  int fw = filterSide(rng), fh = filterSide(rng);
  if (pick(rng) == 0) fw = image.width + 1 + pick(rng);
  if (pick(rng) == 0) fh = image.height + 1 + pick(rng);
  const double filled = pick(rng) == 0 ? (pick(rng) < 5 ? 0.0 : 1.0) : density(rng);
  Grid filter = RandomGrid(rng, fw, fh, filled);
  if (pick(rng) == 0) filter.at(fh / 2, fw / 2) = 0;
  return {image, filter};
}

class Filter : public EngineTest {
 protected:
  Grid Run(FilterMethod method, Operation operation, const Grid& image, const Grid& filter,
           bool draw, RecordingSurface* surface = nullptr) {
    SetInput(engine, image);
    SetFilter(engine, filter);
    engine.measureTime = draw ? 0 : 1;
    NullSurface nowhere;
    RunFilterMorphology(engine, {surface ? surface : static_cast<Surface*>(&nowhere), &nowhere},
                        method, operation);
    EXPECT_EQ(GridOf(WorkImage), GridOf(InputImage));
    EXPECT_EQ(InputImage.whiteCount, GridOf(InputImage).Count(1));
    return GridOf(InputImage);
  }
  void ExpectDefinition(FilterMethod method, const Grid& image, const Grid& filter, bool draw) {
    for (const OperationInfo& operation : operations)
      ASSERT_EQ(Run(method, operation.value, image, filter, draw),
                ReferenceMorphology(operation.value, image, FilterOffsets(filter)))
          << InfoOf(method).name << " " << operation.name << " by " << filter << "of " << image;
  }
};

class EveryMethod : public Filter,
                    public ::testing::WithParamInterface<std::tuple<FilterMethod, bool>> {};

TEST_P(EveryMethod, EveryOperationMatchesTheDefinition) {
  const auto [method, draw] = GetParam();
  std::mt19937 rng(61 + draw);
  for (int n = 0; n < 250; ++n) {
    const auto [image, filter] = RandomCase(rng);
    ExpectDefinition(method, image, filter, draw);
  }
  EXPECT_TRUE(services.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(MethodsDrawnAndTimed, EveryMethod,
                         ::testing::Combine(::testing::Values(FilterMethod::simple,
                                                              FilterMethod::decomposed),
                                            ::testing::Bool()));

// Rows of 32 columns and more take the padded vector rows while timing; runs longer than 255 and
// 65535 pixels take wider distances. The results stay the definition's.
TEST_F(Filter, DecomposedMatchesTheDefinitionOnWideImagesAndLongRuns) {
  std::mt19937 rng(7);
  for (int n = 0; n < 80; ++n) {
    auto [image, filter] = RandomCase(rng, 170);
    image = RandomGrid(rng, 32 + n * 3, image.height, n % 10 == 0 ? n % 20 == 0 : 0.7);
    ExpectDefinition(FilterMethod::decomposed, image, filter, n % 4 == 0);
  }
  for (int fw : {255, 256, 65535, 65536}) {
    Grid filter(fw, 3, 1);
    filter.at(0, fw / 2 + 1) = 0;  // a gap next to the origin
    filter.at(2, 0) = 0;
    ExpectDefinition(FilterMethod::decomposed, RandomGrid(rng, 9, 3, 0.8), filter, false);
  }
}

// With nothing drawn the decomposed method works on 64-pixel words: rows of several words, runs
// and offsets crossing word boundaries, gaps, empty filter rows, foreground far off the origin,
// and 1 x 1, 1 x N, N x 1, empty and full images.
TEST_F(Filter, PackedWordsMatchTheDefinitionAcrossWordBoundaries) {
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> side(1, 150);
  const std::pair<int, int> shapes[] = {{1, 1}, {1, 70}, {70, 1}, {64, 3}, {65, 4}, {150, 5}};
  for (int n = 0; n < 72; ++n) {
    const auto [w, h] = shapes[n % 6];
    const int fw = side(rng), fh = 1 + n % 4;
    Grid filter = RandomGrid(rng, fw, fh, n % 3 == 0 ? 0.95 : 0.4);
    if (n % 4 == 1) {  // one pixel at an end of the bottom row
      filter = Grid(fw, fh);
      filter.at(fh - 1, n % 8 == 1 ? 0 : fw - 1) = 1;
    }
    if (fh > 2) std::fill_n(&filter.at(1, 0), fw, 0);  // an empty filter row
    const double density = n % 7 < 2 ? n % 7 : 0.8;
    ExpectDefinition(FilterMethod::decomposed, RandomGrid(rng, w, h, density), filter, false);
  }
}

// Packed, the result is made a chunk of rows at a time (256 rows, or four times the filter's
// height): tall pictures of several chunks, by short and tall filters.
TEST_F(Filter, PackedChunksOfRowsMatchTheDefinition) {
  std::mt19937 rng(13);
  for (int fh : {3, 90, 91}) {
    Grid filter = RandomGrid(rng, 5, fh, 0.3);
    filter.at(fh - 1, 0) = 1;
    ExpectDefinition(FilterMethod::decomposed, RandomGrid(rng, 30, 800, 0.02), filter, false);
  }
}

TEST(RowKernels, RowDistancesMatchTheirDefinitionAtEveryWidthBothWays) {
  std::mt19937 rng(5);
  const auto check = [&](auto cap) {
    using D = decltype(cap);
    for (int width = 0; width <= 100; ++width)
      for (double density : {0.0, 0.05, 0.5, 1.0}) {
        const Grid row = RandomGrid(rng, width, 1, density);
        for (int32_t value : {0, 1})
          for (bool leftToRight : {true, false}) {
            std::vector<D> out(std::size_t(width) + 1, D(77));
            filtermorph::RowDistances(row.values.data(), width, value, cap, out.data(),
                                      leftToRight);
            for (int x = 0; x < width; ++x)
              ASSERT_EQ(out[x], std::min<int64_t>(RowDistance(row, 0, x, value, leftToRight), cap))
                  << width << " " << x << " " << +cap;
            ASSERT_EQ(out[width], D(77)) << "wrote past the row";
          }
      }
  };
  for (uint8_t cap : {16, 17, 254, 255}) check(cap);
  check(uint16_t{300});
  check(uint32_t{70000});
}

// What the decomposed method draws, read from the calls of one target in order.
class FilterDrawing : public Filter {
 protected:
  // The next block of calls draws every pixel of the image once, in colour(row, column).
  void ExpectWholeImage(const Grid& image, const std::function<uint32_t(int, int)>& colour) {
    ASSERT_LE(at + image.values.size(), surface.calls.size());
    Grid seen(image.width, image.height);
    for (std::size_t end = at + image.values.size(); at < end; ++at) {
      const auto [x, y, rgb] = surface.calls[at];
      ASSERT_TRUE(x >= 0 && y >= 0 && x < image.width && y < image.height);
      ++seen.at(y, x);
      ASSERT_EQ(rgb, colour(y, x)) << x << "," << y << " in a block from " << at;
    }
    EXPECT_EQ(seen, Grid(image.width, image.height, 1));
  }
  // One half: the row distances in grey, black, then a dilation's green passes (each filter
  // row's pixels, brighter each time) or an erosion's (the whole image, green where the filter
  // rows so far fit). Returns the half's result.
  Grid ExpectHalf(const Grid& image, const Grid& filter, Operation half) {
    const bool dilation = half == Operation::dilation;
    ExpectWholeImage(image, [&](int r, int c) {
      return GreyOf(RowDistance(image, r, c, dilation, dilation));  // behind the pixel
    });
    ExpectWholeImage(image, [](int, int) { return 0u; });
    Grid rows(filter.width, filter.height), covered(image.width, image.height);
    for (int p = 0; p < filter.height; ++p) {
      for (int c = 0; c < filter.width; ++c) rows.at(p, c) = filter.at(p, c);
      const Grid fits = ReferenceMorphology(half, image, FilterOffsets(rows));
      const uint32_t green = uint32_t(filtermorph::PassShade(p, filter.height)) << 8;
      if (!dilation) {
        ExpectWholeImage(image, [&](int r, int c) { return fits.at(r, c) ? green : 0u; });
        continue;
      }
      for (; at < surface.calls.size() && surface.calls[at].rgb == green; ++at)
        covered.at(surface.calls[at].y, surface.calls[at].x) = 1;
      EXPECT_EQ(covered, fits) << "after filter row " << p;
    }
    return ReferenceMorphology(half, image, FilterOffsets(filter));
  }
  RecordingSurface surface;
  std::size_t at = 0;
};

// Pass 0 in green 169 covers what filter row 0 covers, then pass 2 in green 253: the middle
// row imposes nothing.
TEST_F(FilterDrawing, DilationShowsItsDistancesThenOneBrighterGreenPassPerFilterRow) {
  const Grid image = GridFromRows({"100000", "000100", "010000", "000001"});
  const Grid filter = GridFromRows({"110", "000", "011"});
  Run(FilterMethod::decomposed, Operation::dilation, image, filter, true, &surface);
  ExpectHalf(image, filter, Operation::dilation);
  EXPECT_EQ(at, surface.calls.size());
  EXPECT_EQ(surface.calls[48].rgb, 169u << 8);
  EXPECT_EQ(surface.calls.back().rgb, 253u << 8);
}

// An opening shows its erosion, the eroded picture, then its dilation; a closing the other way
// round.
TEST_F(FilterDrawing, OpeningAndClosingShowTheirFirstResultBetweenTheHalves) {
  const Grid image = GridFromRows({"01110", "11111", "01110", "00100"});
  for (const auto& [filter, operation] :
       {std::pair{GridFromRows({"11", "11"}), Operation::opening},
        {GridFromRows({"111"}), Operation::closing}}) {
    surface.calls.clear();
    at = 0;
    const Grid result = Run(FilterMethod::decomposed, operation, image, filter, true, &surface);
    const bool opening = operation == Operation::opening;
    const auto [one, two] = opening ? std::pair{Operation::erosion, Operation::dilation}
                                    : std::pair{Operation::dilation, Operation::erosion};
    const Grid first = ExpectHalf(image, filter, one);
    ExpectWholeImage(first, [&](int r, int c) { return first.at(r, c) ? 0xFFFFFFu : 0u; });
    EXPECT_EQ(ExpectHalf(first, filter, two), result);
    EXPECT_EQ(at, surface.calls.size());
  }
}

// The simple method draws nothing itself; its opening and closing show the first half's
// picture. Timing draws nothing at all.
TEST_F(FilterDrawing, TheSimpleMethodShowsOnlyItsFirstHalfAndTimingNothing) {
  const Grid image = GridFromRows({"01110", "11111", "01100"}), filter = GridFromRows({"11"});
  for (Operation operation : {Operation::opening, Operation::closing}) {
    surface.calls.clear();
    at = 0;
    Run(FilterMethod::simple, operation, image, filter, true, &surface);
    const Grid first = ReferenceMorphology(
        operation == Operation::opening ? Operation::erosion : Operation::dilation, image,
        FilterOffsets(filter));
    ExpectWholeImage(first, [&](int r, int c) { return first.at(r, c) ? 0xFFFFFFu : 0u; });
    EXPECT_EQ(at, surface.calls.size());
    surface.calls.clear();
    for (FilterMethod method : {FilterMethod::simple, FilterMethod::decomposed})
      Run(method, operation, image, filter, false, &surface);
    EXPECT_TRUE(surface.calls.empty());
  }
}

}  // namespace
}  // namespace dt::testing
