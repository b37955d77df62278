// Morphology by filter image: the simple method against a brute force of the definition, the
// decomposed method against the simple one, and the cases users meet at the borders.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "filtermorph/DecomposedMorphology.h"
#include "support/EngineFixture.h"

namespace dt::testing {
namespace {

// --- The definition, written independently of the engine ---

struct Shift {
  int dy, dx;
};

std::vector<Shift> ShiftsOf(const Grid& filter) {
  std::vector<Shift> shifts;
  for (int r = 0; r < filter.height; ++r)
    for (int c = 0; c < filter.width; ++c)
      if (filter.at(r, c) == 1) shifts.push_back({r - filter.height / 2, c - filter.width / 2});
  return shifts;
}

bool Inside(const Grid& g, int r, int c) { return r >= 0 && c >= 0 && r < g.height && c < g.width; }

// p is foreground when p = q + o for a foreground q and an offset o.
Grid BruteDilation(const Grid& image, const Grid& filter) {
  Grid out(image.width, image.height);
  const auto shifts = ShiftsOf(filter);
  for (int r = 0; r < image.height; ++r)
    for (int c = 0; c < image.width; ++c)
      for (const Shift& s : shifts) {
        const int qr = r - s.dy, qc = c - s.dx;
        if (Inside(image, qr, qc) && image.at(qr, qc) == 1) out.at(r, c) = 1;
      }
  return out;
}

// p stays when it is foreground and every p + o is foreground or outside.
Grid BruteErosion(const Grid& image, const Grid& filter) {
  Grid out(image.width, image.height);
  const auto shifts = ShiftsOf(filter);
  for (int r = 0; r < image.height; ++r)
    for (int c = 0; c < image.width; ++c) {
      bool stays = image.at(r, c) == 1;
      for (const Shift& s : shifts)
        if (Inside(image, r + s.dy, c + s.dx) && image.at(r + s.dy, c + s.dx) != 1) stays = false;
      out.at(r, c) = stays ? 1 : 0;
    }
  return out;
}

// --- Running the engine on grids ---

class FilterMorphology : public EngineTest {
 protected:
  using Operation = std::function<void(ImageEngine&, const DrawingTargets&)>;

  // Runs the operation on a fresh copy of image with filter and returns the new input image,
  // checking that the result was adopted everywhere.
  Grid Run(const Grid& image, const Grid& filter, const Operation& operation) {
    SetInput(engine, image);
    SetFilter(engine, filter);
    engine.distanceReady = 1;
    operation(engine, targets);
    const Grid result = GridOf(InputImage);
    EXPECT_EQ(GridOf(WorkImage), result);
    EXPECT_EQ(GridOf(DistanceMap), result);
    EXPECT_EQ(WorkImage.kind, binaryKind);
    EXPECT_EQ(InputImage.kind, binaryKind);
    EXPECT_EQ(engine.distanceReady, 0);
    return result;
  }

  Grid SimpleDilate(const Grid& image, const Grid& filter) {
    return Run(image, filter,
               [](ImageEngine& e, const DrawingTargets& t) { e.SimpleDilation(t, 1); });
  }
  Grid SimpleErode(const Grid& image, const Grid& filter) {
    return Run(image, filter,
               [](ImageEngine& e, const DrawingTargets& t) { e.SimpleErosion(t, 1); });
  }
  Grid DecomposedDilate(const Grid& image, const Grid& filter) {
    return Run(image, filter,
               [](ImageEngine& e, const DrawingTargets& t) { e.DecomposedDilation(t, 1); });
  }
  Grid DecomposedErode(const Grid& image, const Grid& filter) {
    return Run(image, filter,
               [](ImageEngine& e, const DrawingTargets& t) { e.DecomposedErosion(t, 0); });
  }
  Grid DecomposedOpen(const Grid& image, const Grid& filter) {
    return Run(image, filter,
               [](ImageEngine& e, const DrawingTargets& t) { e.DecomposedOpening(t, 0); });
  }
  Grid DecomposedClose(const Grid& image, const Grid& filter) {
    return Run(image, filter,
               [](ImageEngine& e, const DrawingTargets& t) { e.DecomposedClosing(t, 1); });
  }

  NullSurface null;
  DrawingTargets targets{&null, &null};
};

// Random sizes with the awkward ones often: 1 x 1, one row, one column, filters larger than the
// image; densities from empty to full, so filter rows have gaps, no foreground at all, and the
// origin is often background.
struct Case {
  Grid image, filter;
};

Case RandomCase(std::mt19937& rng) {
  std::uniform_int_distribution<int> imageSide(1, 12), filterSide(1, 9), pick(0, 9);
  std::uniform_real_distribution<double> density(0.0, 1.0);
  int w = imageSide(rng), h = imageSide(rng);
  if (pick(rng) == 0) w = 1;
  if (pick(rng) == 0) h = 1;
  int fw = filterSide(rng), fh = filterSide(rng);
  if (pick(rng) == 0) fw = w + 3 + pick(rng);  // wider than the image
  if (pick(rng) == 0) fh = h + 3 + pick(rng);  // taller than the image
  const double filterDensity = pick(rng) == 0 ? (pick(rng) < 5 ? 0.0 : 1.0) : density(rng);
  Case c{RandomGrid(rng, w, h, density(rng)), RandomGrid(rng, fw, fh, filterDensity)};
  if (pick(rng) == 0) c.filter.at(c.filter.height / 2, c.filter.width / 2) = 0;
  return c;
}

TEST_F(FilterMorphology, SimpleMethodFollowsTheDefinition) {
  std::mt19937 rng(61);
  for (int i = 0; i < 400; ++i) {
    const Case c = RandomCase(rng);
    ASSERT_EQ(SimpleDilate(c.image, c.filter), BruteDilation(c.image, c.filter))
        << "filter\n"
        << ToString(c.filter) << "image\n"
        << ToString(c.image);
    ASSERT_EQ(SimpleErode(c.image, c.filter), BruteErosion(c.image, c.filter))
        << "filter\n"
        << ToString(c.filter) << "image\n"
        << ToString(c.image);
  }
  EXPECT_TRUE(services.messages.empty());
}

// Both orders of work: row by row (timing on) and pass by pass with drawing.
class DecomposedEqualsSimple : public FilterMorphology,
                               public ::testing::WithParamInterface<int> {};

TEST_P(DecomposedEqualsSimple, ForEveryOperationImageAndFilter) {
  std::mt19937 rng(1000 + GetParam());
  for (int i = 0; i < 300; ++i) {
    const Case c = RandomCase(rng);
    engine.measureTime = GetParam();
    const Grid eroded = SimpleErode(c.image, c.filter);
    const Grid dilated = SimpleDilate(c.image, c.filter);
    const Grid opened = SimpleDilate(eroded, c.filter);
    const Grid closed = SimpleErode(dilated, c.filter);
    const auto context = [&] {
      return "filter\n" + ToString(c.filter) + "image\n" + ToString(c.image);
    };
    ASSERT_EQ(DecomposedDilate(c.image, c.filter), dilated) << context();
    ASSERT_EQ(DecomposedErode(c.image, c.filter), eroded) << context();
    ASSERT_EQ(DecomposedOpen(c.image, c.filter), opened) << context();
    ASSERT_EQ(DecomposedClose(c.image, c.filter), closed) << context();
  }
  EXPECT_TRUE(services.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(TimedAndDrawn, DecomposedEqualsSimple, ::testing::Values(1, 0));

// Runs longer than 255 and 65535 pixels take wider distance rows; the results must not change.
TEST_F(FilterMorphology, DecomposedEqualsSimpleWithVeryLongRuns) {
  std::mt19937 rng(7);
  engine.measureTime = 1;
  for (int fw : {255, 256, 300, 65535, 65536, 70001}) {
    for (int i = 0; i < 3; ++i) {
      const Grid image = RandomGrid(rng, 1 + i * 4, 3, 0.8);
      Grid filter(fw, 3, 1);
      filter.at(0, fw / 2 + i) = 0;  // a gap next to the origin
      filter.at(2, 0) = 0;
      SCOPED_TRACE(fw);
      EXPECT_EQ(DecomposedDilate(image, filter), SimpleDilate(image, filter));
      EXPECT_EQ(DecomposedErode(image, filter), SimpleErode(image, filter));
    }
  }
}

// Images of 300 columns against short filters: the vectorised middle of each row and its
// border parts meet at many different places.
TEST_F(FilterMorphology, DecomposedEqualsSimpleOnWideImages) {
  std::mt19937 rng(99);
  for (int i = 0; i < 30; ++i) {
    engine.measureTime = i % 2;
    std::uniform_int_distribution<int> side(1, 40);
    const Grid image = RandomGrid(rng, 250 + side(rng), 1 + i % 4, 0.7);
    const Grid filter = RandomGrid(rng, side(rng), 1 + i % 5, 0.6);
    EXPECT_EQ(DecomposedDilate(image, filter), SimpleDilate(image, filter));
    EXPECT_EQ(DecomposedErode(image, filter), SimpleErode(image, filter));
  }
}

// Timing on, images of 32 columns and more take the padded vector rows: filters wider and taller
// than the image, empty and full filters and images, and widths around the vector sizes.
TEST_F(FilterMorphology, DecomposedEqualsSimpleOnPaddedRows) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> width(32, 170), height(1, 14), fside(1, 24), pick(0, 7);
  std::uniform_real_distribution<double> density(0.0, 1.0);
  engine.measureTime = 1;
  for (int i = 0; i < 120; ++i) {
    const int w = pick(rng) == 0 ? 32 : width(rng), h = height(rng);
    const int fw = pick(rng) == 0 ? w + 1 + pick(rng) : fside(rng);
    const int fh = pick(rng) == 0 ? h + 1 + pick(rng) : fside(rng) % 9 + 1;
    const double imageDensity = pick(rng) == 0 ? (pick(rng) < 4 ? 0.0 : 1.0) : density(rng);
    const double filterDensity = pick(rng) == 0 ? (pick(rng) < 4 ? 0.0 : 1.0) : density(rng);
    const Grid image = RandomGrid(rng, w, h, imageDensity);
    const Grid filter = RandomGrid(rng, fw, fh, filterDensity);
    ASSERT_EQ(DecomposedDilate(image, filter), SimpleDilate(image, filter))
        << "filter\n" << ToString(filter) << "image\n" << ToString(image);
    ASSERT_EQ(DecomposedErode(image, filter), SimpleErode(image, filter))
        << "filter\n" << ToString(filter) << "image\n" << ToString(image);
  }
}

// --- Cases a user can check by eye ---

TEST_F(FilterMorphology, OriginOnlyFilterLeavesTheImageUnchanged) {
  const Grid image = GridFromRows({"0110", "1001", "0111"});
  const Grid filter = GridFromRows({"000", "010", "000"});
  EXPECT_EQ(SimpleDilate(image, filter), image);
  EXPECT_EQ(SimpleErode(image, filter), image);
  EXPECT_EQ(DecomposedDilate(image, filter), image);
  EXPECT_EQ(DecomposedErode(image, filter), image);
}

TEST_F(FilterMorphology, FilterWithoutForegroundEmptiesDilationAndKeepsErosion) {
  const Grid image = GridFromRows({"0110", "1001", "0111"});
  const Grid filter(3, 2, 0);
  const Grid empty(4, 3, 0);
  EXPECT_EQ(SimpleDilate(image, filter), empty);
  EXPECT_EQ(DecomposedDilate(image, filter), empty);
  EXPECT_EQ(SimpleErode(image, filter), image);
  EXPECT_EQ(DecomposedErode(image, filter), image);
  EXPECT_EQ(DecomposedOpen(image, filter), empty);
  EXPECT_EQ(DecomposedClose(image, filter), empty);
}

TEST_F(FilterMorphology, FullSquareGrowsAndShrinksByOnePixelKeepingBorderPixels) {
  const Grid square(3, 3, 1);
  const Grid dot = GridFromRows({"00000", "00000", "00100", "00000"});
  const Grid grown = GridFromRows({"00000", "01110", "01110", "01110"});
  EXPECT_EQ(SimpleDilate(dot, square), grown);
  EXPECT_EQ(DecomposedDilate(dot, square), grown);

  // The border is not background: an all-foreground image keeps every pixel, last column too.
  const Grid full(5, 4, 1);
  EXPECT_EQ(SimpleErode(full, square), full);
  EXPECT_EQ(DecomposedErode(full, square), full);

  const Grid blob = GridFromRows({"11110", "11111", "11111", "01111"});
  const Grid core = GridFromRows({"11100", "11100", "00111", "00111"});
  EXPECT_EQ(SimpleErode(blob, square), core);
  EXPECT_EQ(DecomposedErode(blob, square), core);
}

TEST_F(FilterMorphology, DilationReachesTheLastColumnAndRow) {
  const Grid square(3, 3, 1);
  const Grid corner = GridFromRows({"000", "000", "001"});
  const Grid expected = GridFromRows({"000", "011", "011"});
  EXPECT_EQ(SimpleDilate(corner, square), expected);
  EXPECT_EQ(DecomposedDilate(corner, square), expected);
  // A pixel in the last column keeps its own position and its column.
  const Grid column = GridFromRows({"0001", "0001"});
  EXPECT_EQ(DecomposedDilate(column, square), GridFromRows({"0011", "0011"}));
}

TEST_F(FilterMorphology, HorizontalRunsDilateAlongTheRow) {
  Grid image(9, 8, 0);
  image.at(5, 5) = 1;
  Grid expected(9, 8, 0);
  for (int c : {4, 5, 6}) expected.at(5, c) = 1;
  EXPECT_EQ(SimpleDilate(image, Grid(3, 1, 1)), expected);
  EXPECT_EQ(DecomposedDilate(image, Grid(3, 1, 1)), expected);

  // Width 2: the origin is the right pixel, so the run reaches one column to the left.
  Grid left(9, 8, 0);
  left.at(5, 4) = left.at(5, 5) = 1;
  EXPECT_EQ(SimpleDilate(image, Grid(2, 1, 1)), left);
  EXPECT_EQ(DecomposedDilate(image, Grid(2, 1, 1)), left);
}

TEST_F(FilterMorphology, WidthTwoErosionNeedsTheLeftNeighbourAndKeepsColumnZero) {
  const Grid image = GridFromRows({"11011", "01110", "10001"});
  const Grid expected = GridFromRows({"11001", "00110", "10000"});
  EXPECT_EQ(SimpleErode(image, Grid(2, 1, 1)), expected);
  EXPECT_EQ(DecomposedErode(image, Grid(2, 1, 1)), expected);
}

TEST_F(FilterMorphology, OffsetFilterShiftsDilationAndErosionKeepsOnlyForeground) {
  const Grid filter = GridFromRows({"001"});  // one displacement, one column right
  const Grid image = GridFromRows({"01101", "11010"});
  const Grid shifted = GridFromRows({"00110", "01101"});
  // Survivors are foreground with a foreground right neighbour or the edge on their right.
  const Grid eroded = GridFromRows({"01001", "10000"});
  EXPECT_EQ(SimpleDilate(image, filter), shifted);
  EXPECT_EQ(DecomposedDilate(image, filter), shifted);
  EXPECT_EQ(SimpleErode(image, filter), eroded);
  EXPECT_EQ(DecomposedErode(image, filter), eroded);
}

TEST_F(FilterMorphology, GapsInAFilterRowAreNotClosed) {
  const Grid filter = GridFromRows({"101"});  // displacements -1 and +1, not 0
  const Grid image = GridFromRows({"0010000"});
  const Grid expected = GridFromRows({"0101000"});
  EXPECT_EQ(SimpleDilate(image, filter), expected);
  EXPECT_EQ(DecomposedDilate(image, filter), expected);
  const Grid comb = GridFromRows({"1111011"});
  const Grid combEroded = GridFromRows({"1110001"});
  EXPECT_EQ(SimpleErode(comb, filter), combEroded);
  EXPECT_EQ(DecomposedErode(comb, filter), combEroded);
}

TEST_F(FilterMorphology, ImageWithoutForegroundStaysEmpty) {
  const Grid empty(6, 4, 0);
  const Grid filter = GridFromRows({"010", "111", "010"});
  EXPECT_EQ(SimpleDilate(empty, filter), empty);
  EXPECT_EQ(SimpleErode(empty, filter), empty);
  EXPECT_EQ(DecomposedDilate(empty, filter), empty);
  EXPECT_EQ(DecomposedErode(empty, filter), empty);
}

TEST_F(FilterMorphology, ResultsAccumulateOnTheInput) {
  const Grid image = GridFromRows({"00000", "00100", "00000"});
  SetInput(engine, image);
  SetFilter(engine, Grid(3, 1, 1));
  engine.DecomposedDilation(targets, 1);
  engine.DecomposedDilation(targets, 1);
  EXPECT_EQ(GridOf(InputImage), GridFromRows({"00000", "11111", "00000"}));
  EXPECT_EQ(InputImage.whiteCount, 5);
  EXPECT_EQ(InputImage.blackCount, 10);
}

// --- Missing images ---

TEST_F(FilterMorphology, EveryOperationReportsAMissingInputOrFilter) {
  const std::vector<Operation> operations = {
      [](ImageEngine& e, const DrawingTargets& t) { e.SimpleDilation(t, 1); },
      [](ImageEngine& e, const DrawingTargets& t) { e.SimpleErosion(t, 1); },
      [](ImageEngine& e, const DrawingTargets& t) { e.DecomposedDilation(t, 1); },
      [](ImageEngine& e, const DrawingTargets& t) { e.DecomposedErosion(t, 0); },
      [](ImageEngine& e, const DrawingTargets& t) { e.DecomposedOpening(t, 0); },
      [](ImageEngine& e, const DrawingTargets& t) { e.DecomposedClosing(t, 1); },
  };
  for (const auto& operation : operations) {
    services.messages.clear();
    operation(engine, targets);
    ASSERT_EQ(services.texts(), std::vector<std::string>{"入力画像が取り込まれていません。"});
    EXPECT_EQ(services.messages[0].caption, "エラー");
  }
  const Grid image = GridFromRows({"010", "111"});
  SetInput(engine, image);
  for (const auto& operation : operations) {
    services.messages.clear();
    operation(engine, targets);
    ASSERT_EQ(services.texts(), std::vector<std::string>{"フィルタ画像が取り込まれていません。"});
    EXPECT_EQ(services.messages[0].caption, "エラー");
    EXPECT_EQ(GridOf(InputImage), image);
    EXPECT_EQ(GridOf(WorkImage), image);
  }
}

// --- The run table ---

TEST_F(FilterMorphology, RunsAreContiguousStretchesOfEachRow) {
  SetFilter(engine, GridFromRows({"10110", "00000", "01111"}));  // origin (1, 2)
  const std::vector<FilterRun> runs = engine.BuildFilterRuns();
  ASSERT_EQ(runs.size(), 3u);
  auto same = [](const FilterRun& a, std::vector<int> b) {
    return std::vector<int>{a.length, a.rowOffset, a.colOffset, a.filterRow} == b;
  };
  EXPECT_TRUE(same(runs[0], {1, -1, -2, 0}));
  EXPECT_TRUE(same(runs[1], {2, -1, 0, 0}));
  EXPECT_TRUE(same(runs[2], {4, 1, -1, 2}));
}

TEST(PassShade, BrightensFromPassToPassWithinItsRange) {
  EXPECT_EQ(filtermorph::PassShade(0, 1), 255);
  std::vector<int> fifteen;
  for (int p = 0; p < 15; ++p) fifteen.push_back(filtermorph::PassShade(p, 15));
  EXPECT_EQ(fifteen.front(), 135);
  EXPECT_EQ(fifteen.back(), 247);
  for (int p = 1; p < 15; ++p) EXPECT_EQ(fifteen[p] - fifteen[p - 1], 8);
  EXPECT_EQ(filtermorph::PassShade(0, 2), 191);
  EXPECT_EQ(filtermorph::PassShade(1, 2), 255);
  EXPECT_EQ(filtermorph::PassShade(0, 129), 127);
  EXPECT_EQ(filtermorph::PassShade(128, 129), 127);
  EXPECT_EQ(filtermorph::PassShade(5, 3), 255);  // capped
}

}  // namespace
}  // namespace dt::testing
