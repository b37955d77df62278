// Morphology by a filter image: both methods against the definition by the filter's offsets,
// the row kernels against their definition, and what the decomposed method shows as it runs.
#include <functional>
#include <map>

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
          << InfoOf(method).name << " " << operation.name << "\nfilter\n" << ToString(filter)
          << "image\n" << ToString(image);
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

// Drawing, as calls of one target: `at` is where a block of one call per pixel should start.
class FilterDrawing : public Filter {
 protected:
  // The block of calls from `at` draws every pixel of the image once in colour(row, column).
  void ExpectWholeImage(std::size_t& at, const std::function<uint32_t(int, int)>& colour,
                        const char* what) {
    const Grid& image = shown;
    ASSERT_LE(at + image.values.size(), surface.calls.size()) << what;
    Grid seen(image.width, image.height);
    for (std::size_t end = at + image.values.size(); at < end; ++at) {
      const RecordingSurface::Call& c = surface.calls[at];
      ASSERT_TRUE(c.x >= 0 && c.y >= 0 && c.x < image.width && c.y < image.height) << what;
      ++seen.at(c.y, c.x);
      ASSERT_EQ(c.rgb, colour(c.y, c.x)) << what << " at " << c.x << "," << c.y;
    }
    EXPECT_EQ(seen, Grid(image.width, image.height, 1)) << what;
  }
  // The row distances of a half and the black of its clearing.
  void ExpectDistancesAndClearing(std::size_t& at, const Grid& image, int32_t value,
                                  bool leftToRight) {
    ExpectWholeImage(at, [&](int r, int c) { return GreyOf(RowDistance(image, r, c, value, leftToRight)); }, "distances");
    ExpectWholeImage(at, [](int, int) { return 0u; }, "clearing");
  }
  // The erosion passes: after pass p, green where the filter rows 0..p fit, black elsewhere.
  void ExpectErosionPasses(std::size_t& at, const Grid& image, const Grid& filter) {
    Grid rows = Grid(filter.width, filter.height);
    for (int p = 0; p < filter.height; ++p) {
      for (int c = 0; c < filter.width; ++c) rows.at(p, c) = filter.at(p, c);
      const Grid fits = ReferenceMorphology(Operation::erosion, image, FilterOffsets(rows));
      const uint32_t green = uint32_t(filtermorph::PassShade(p, filter.height)) << 8;
      ExpectWholeImage(at, [&](int r, int c) { return fits.at(r, c) ? green : 0u; }, "erosion pass");
    }
  }
  void ExpectPicture(std::size_t& at, const Grid& picture) {
    ExpectWholeImage(at, [&](int r, int c) { return picture.at(r, c) ? 0xFFFFFFu : 0u; }, "picture");
  }
  RecordingSurface surface;
  Grid shown;
};

TEST_F(FilterDrawing, DilationShowsItsDistancesThenOneBrighterGreenPassPerFilterRow) {
  shown = GridFromRows({"100000", "000100", "010000", "000001"});
  const Grid filter = GridFromRows({"110", "000", "011"});  // the middle row imposes nothing
  const Grid result = Run(FilterMethod::decomposed, Operation::dilation, shown, filter, true, &surface);
  std::size_t at = 0;
  ExpectDistancesAndClearing(at, shown, 1, true);
  // Pass 0 in green 169 covers what filter row 0 covers, then pass 2 in green 253.
  std::map<uint32_t, Grid> passes = {{169u << 8, Grid(6, 4)}, {253u << 8, Grid(6, 4)}};
  uint32_t last = 0;
  for (; at < surface.calls.size(); ++at) {
    const auto& c = surface.calls[at];
    ASSERT_TRUE(passes.count(c.rgb) && c.rgb >= last) << std::hex << c.rgb;
    passes[last = c.rgb].at(c.y, c.x) = 1;
  }
  EXPECT_EQ(passes[169u << 8], ReferenceMorphology(Operation::dilation, shown, FilterOffsets(GridFromRows({"110", "000", "000"}))));
  EXPECT_EQ(passes[253u << 8], ReferenceMorphology(Operation::dilation, shown, FilterOffsets(GridFromRows({"000", "000", "011"}))));
  EXPECT_EQ(result, ReferenceMorphology(Operation::dilation, shown, FilterOffsets(filter)));
}

TEST_F(FilterDrawing, OpeningShowsTheErosionPassesItsResultThenTheDilation) {
  shown = GridFromRows({"01110", "11111", "01110", "00100"});
  const Grid filter = GridFromRows({"11", "11"});
  const Grid eroded = ReferenceMorphology(Operation::erosion, shown, FilterOffsets(filter));
  const Grid opened = Run(FilterMethod::decomposed, Operation::opening, shown, filter, true, &surface);
  std::size_t at = 0;
  ExpectDistancesAndClearing(at, shown, 0, false);
  ExpectErosionPasses(at, shown, filter);
  ExpectPicture(at, eroded);
  ExpectDistancesAndClearing(at, eroded, 1, true);
  Grid covered(shown.width, shown.height);
  for (; at < surface.calls.size(); ++at) covered.at(surface.calls[at].y, surface.calls[at].x) = 1;
  EXPECT_EQ(covered, opened);
}

TEST_F(FilterDrawing, ClosingShowsItsDilatedPictureBetweenTheHalves) {
  shown = GridFromRows({"10100", "00000", "00101"});
  const Grid filter = GridFromRows({"111"});
  const Grid dilated = ReferenceMorphology(Operation::dilation, shown, FilterOffsets(filter));
  Run(FilterMethod::decomposed, Operation::closing, shown, filter, true, &surface);
  std::size_t at = 0;
  ExpectDistancesAndClearing(at, shown, 1, true);
  while (at < surface.calls.size() && surface.calls[at].rgb == 0xFF00) ++at;  // one pass, pure green
  ExpectPicture(at, dilated);
  ExpectDistancesAndClearing(at, dilated, 0, false);
  ExpectErosionPasses(at, dilated, filter);
  EXPECT_EQ(at, surface.calls.size());
}

// The simple method draws nothing itself; its opening and closing show the first half's
// picture. Timing draws nothing at all.
TEST_F(FilterDrawing, TheSimpleMethodShowsOnlyItsFirstHalfAndTimingNothing) {
  shown = GridFromRows({"01110", "11111", "01100"});
  const Grid filter = GridFromRows({"11"});
  for (Operation operation : {Operation::opening, Operation::closing}) {
    surface.calls.clear();
    Run(FilterMethod::simple, operation, shown, filter, true, &surface);
    std::size_t at = 0;
    const Operation first = operation == Operation::opening ? Operation::erosion : Operation::dilation;
    ExpectPicture(at, ReferenceMorphology(first, shown, FilterOffsets(filter)));
    EXPECT_EQ(at, surface.calls.size());
    surface.calls.clear();
    for (FilterMethod method : {FilterMethod::simple, FilterMethod::decomposed})
      Run(method, operation, shown, filter, false, &surface);
    EXPECT_TRUE(surface.calls.empty());
  }
}

TEST_F(FilterDrawing, PassesBrightenInEvenStepsUpToPureGreen) {
  EXPECT_EQ(filtermorph::PassShade(0, 1), 255);
  EXPECT_EQ(filtermorph::PassShade(0, 15), 135);
  EXPECT_EQ(filtermorph::PassShade(1, 15), 143);
  EXPECT_EQ(filtermorph::PassShade(14, 15), 247);
  EXPECT_EQ(filtermorph::PassShade(128, 129), 127);
  EXPECT_EQ(filtermorph::PassShade(5, 3), 255);
}

TEST_F(FilterDrawing, TheFilterImageIsShownAtTheCornerWithItsSize) {
  engine.ShowFilterImage({&surface, &surface});
  EXPECT_EQ(services.texts(), std::vector<std::string>{"フィルタ画像が取り込まれていません。"});
  EXPECT_TRUE(surface.calls.empty());
  services.messages.clear();
  shown = GridFromRows({"1001", "0110"});
  SetFilter(engine, shown);
  engine.ShowFilterImage({&surface, &surface});
  EXPECT_EQ(services.texts(), std::vector<std::string>{"画像サイズは 4 × 2 です。"});
  EXPECT_EQ(services.messages[0].caption, appTitle);
  const std::vector<uint32_t> picture = surface.Picture(4, 2);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(picture[i], shown.values[i] ? 0xFFFFFFu : 0u) << i;
}

}  // namespace
}  // namespace dt::testing
