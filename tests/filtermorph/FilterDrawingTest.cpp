// What the filter operations show while they run: the filter image itself, the grey row
// distances, the black clearing and one green pass per filter row of the decomposed method.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "filtermorph/DecomposedMorphology.h"
#include "filtermorph/FilterOperations.h"
#include "support/EngineFixture.h"

namespace dt::testing {
namespace {

using Call = RecordingSurface::Call;

uint32_t Grey(int level) { return uint32_t(level) << 16 | uint32_t(level) << 8 | uint32_t(level); }
uint32_t Green(int level) { return uint32_t(level) << 8; }
constexpr uint32_t black = 0, white = 0xFFFFFF;

// The grey of a row distance: 16 levels per pixel of distance, black from 16 on.
uint32_t DistanceGrey(int distance) { return Grey(255 - std::min(255, distance * 16)); }

// Distance along the row to the nearest pixel equal to value, looking left (step -1) or right
// (+1); "none" is drawn black like any distance of 16 or more.
int RowDistance(const Grid& g, int r, int c, int value, int step) {
  for (int d = 0; c - d * step >= 0 && c - d * step < g.width; ++d)
    if (g.at(r, c - d * step) == value) return d;
  return 1000;
}

// Keeps only the filter rows listed (same size, same origin).
Grid FilterRows(const Grid& filter, const std::set<int>& rows) {
  Grid out = filter;
  for (int r = 0; r < filter.height; ++r)
    if (!rows.count(r))
      for (int c = 0; c < filter.width; ++c) out.at(r, c) = 0;
  return out;
}

class FilterDrawing : public EngineTest {
 protected:
  FilterDrawing() : a(32, 32), b(32, 32), targets{&a, &b} {}

  // The result of a simple operation on its own, without touching the surfaces' record.
  Grid SimpleResult(const Grid& image, const Grid& filter, bool dilate) {
    SetInput(engine, image);
    SetFilter(engine, filter);
    NullSurface null;
    if (dilate)
      engine.SimpleDilation({&null, &null}, 1);
    else
      engine.SimpleErosion({&null, &null}, 1);
    return GridOf(InputImage);
  }

  void Start(const Grid& image, const Grid& filter) {
    SetInput(engine, image);
    SetFilter(engine, filter);
    a.calls.clear();
  }

  // Checks that calls [at, at + W*H) draw every pixel of the image once with the colour given,
  // and returns the index after them.
  template <class Colour>
  std::size_t ExpectFullImage(std::size_t at, const Grid& image, Colour colour, const char* what) {
    const std::size_t n = std::size_t(image.width) * image.height;
    EXPECT_LE(at + n, a.calls.size()) << what;
    if (at + n > a.calls.size()) return a.calls.size();
    Grid seen(image.width, image.height, 0);
    for (std::size_t i = at; i < at + n; ++i) {
      const Call& call = a.calls[i];
      EXPECT_TRUE(call.x >= 0 && call.y >= 0 && call.x < image.width && call.y < image.height)
          << what;
      if (!(call.x >= 0 && call.y >= 0 && call.x < image.width && call.y < image.height)) continue;
      ++seen.at(call.y, call.x);
      EXPECT_EQ(call.rgb, colour(call.y, call.x)) << what << " at " << call.x << "," << call.y;
    }
    EXPECT_EQ(seen, Grid(image.width, image.height, 1)) << what;
    return at + n;
  }

  RecordingSurface a, b;
  DrawingTargets targets;
};

TEST_F(FilterDrawing, DilationShowsDistancesBlackThenOneGreenPassPerFilterRowWithRuns) {
  const Grid image = GridFromRows({"100000", "000100", "010000", "000001"});
  const Grid filter = GridFromRows({"110", "000", "011"});  // the middle row imposes nothing
  const Grid expected = SimpleResult(image, filter, true);
  Start(image, filter);
  engine.DecomposedDilation(targets, 1);
  ASSERT_EQ(GridOf(InputImage), expected);

  std::size_t at = ExpectFullImage(
      0, image, [&](int r, int c) { return DistanceGrey(RowDistance(image, r, c, 1, +1)); },
      "row distances");
  at = ExpectFullImage(
      at, image, [](int, int) { return black; }, "clearing");

  // The rest is green: pass 0 in shade 169 covers exactly what filter row 0 covers, then pass 2
  // in shade 253; filter row 1 has no pass.
  const int shade0 = filtermorph::PassShade(0, 3), shade2 = filtermorph::PassShade(2, 3);
  ASSERT_EQ(shade0, 169);
  ASSERT_EQ(shade2, 253);
  Grid pass0(image.width, image.height), pass2(image.width, image.height);
  bool secondPassStarted = false;
  for (std::size_t i = at; i < a.calls.size(); ++i) {
    const Call& call = a.calls[i];
    if (call.rgb == Green(shade2)) secondPassStarted = true;
    ASSERT_EQ(call.rgb, Green(secondPassStarted ? shade2 : shade0)) << "call " << i;
    ++(secondPassStarted ? pass2 : pass0).at(call.y, call.x);
  }
  EXPECT_EQ(pass0, SimpleResult(image, FilterRows(filter, {0}), true));
  EXPECT_EQ(pass2, SimpleResult(image, FilterRows(filter, {2}), true));
  EXPECT_EQ(a.pixels, b.pixels);
}

TEST_F(FilterDrawing, ErosionRedrawsTheImageOncePerFilterRowShowingWhatStillFits) {
  const Grid image = GridFromRows({"111110", "111111", "011111", "111101", "111111"});
  const Grid filter = GridFromRows({"010", "000", "111", "100"});  // origin (2, 1)
  const Grid expected = SimpleResult(image, filter, false);
  Start(image, filter);
  engine.DecomposedErosion(targets, 0);
  ASSERT_EQ(GridOf(InputImage), expected);

  std::size_t at = ExpectFullImage(
      0, image, [&](int r, int c) { return DistanceGrey(RowDistance(image, r, c, 0, -1)); },
      "row distances");
  at = ExpectFullImage(
      at, image, [](int, int) { return black; }, "clearing");
  std::set<int> rowsSoFar;
  for (int p = 0; p < filter.height; ++p) {
    rowsSoFar.insert(p);
    const Grid fits = SimpleResult(image, FilterRows(filter, rowsSoFar), false);
    const uint32_t green = Green(filtermorph::PassShade(p, filter.height));
    at = ExpectFullImage(
        at, image, [&](int r, int c) { return fits.at(r, c) ? green : black; }, "erosion pass");
  }
  EXPECT_EQ(at, a.calls.size());
  EXPECT_EQ(a.pixels, b.pixels);
}

TEST_F(FilterDrawing, OpeningShowsErosionPassesTheErodedImageThenDilationPasses) {
  const Grid image = GridFromRows({"01110", "11111", "01110", "00100"});
  const Grid filter = GridFromRows({"11", "11"});
  const Grid eroded = SimpleResult(image, filter, false);
  const Grid opened = SimpleResult(eroded, filter, true);
  Start(image, filter);
  engine.DecomposedOpening(targets, 0);
  ASSERT_EQ(GridOf(InputImage), opened);

  std::size_t at = ExpectFullImage(
      0, image, [&](int r, int c) { return DistanceGrey(RowDistance(image, r, c, 0, -1)); },
      "erosion distances");
  at = ExpectFullImage(
      at, image, [](int, int) { return black; }, "clearing");
  for (int p = 0; p < 2; ++p) {
    const Grid fits = SimpleResult(
        image, FilterRows(filter, p == 0 ? std::set<int>{0} : std::set<int>{0, 1}), false);
    const uint32_t green = Green(filtermorph::PassShade(p, 2));
    at = ExpectFullImage(
        at, image, [&](int r, int c) { return fits.at(r, c) ? green : black; }, "erosion pass");
  }
  at = ExpectFullImage(
      at, image, [&](int r, int c) { return eroded.at(r, c) ? white : black; }, "eroded image");
  at = ExpectFullImage(
      at, image, [&](int r, int c) { return DistanceGrey(RowDistance(eroded, r, c, 1, +1)); },
      "dilation distances");
  at = ExpectFullImage(
      at, image, [](int, int) { return black; }, "clearing");
  Grid covered(image.width, image.height);
  uint32_t lastGreen = 0;
  for (; at < a.calls.size(); ++at) {
    const Call& call = a.calls[at];
    ASSERT_EQ(call.rgb & 0xFF00FF, 0u);
    ASSERT_GE(call.rgb, lastGreen);  // passes brighten
    lastGreen = call.rgb;
    covered.at(call.y, call.x) = 1;
  }
  EXPECT_EQ(covered, opened);
  EXPECT_EQ(lastGreen, Green(255));
}

TEST_F(FilterDrawing, ClosingShowsTheDilatedImageBetweenItsHalves) {
  const Grid image = GridFromRows({"10100", "00000", "00101"});
  const Grid filter = GridFromRows({"111"});
  const Grid dilated = SimpleResult(image, filter, true);
  Start(image, filter);
  engine.DecomposedClosing(targets, 1);
  std::size_t at = ExpectFullImage(
      0, image, [&](int r, int c) { return DistanceGrey(RowDistance(image, r, c, 1, +1)); },
      "dilation distances");
  at = ExpectFullImage(
      at, image, [](int, int) { return black; }, "clearing");
  // A filter of one row draws its single pass in pure green.
  while (at < a.calls.size() && a.calls[at].rgb == Green(255)) ++at;
  at = ExpectFullImage(
      at, image, [&](int r, int c) { return dilated.at(r, c) ? white : black; }, "dilated image");
  at = ExpectFullImage(
      at, image, [&](int r, int c) { return DistanceGrey(RowDistance(dilated, r, c, 0, -1)); },
      "erosion distances");
  at = ExpectFullImage(
      at, image, [](int, int) { return black; }, "clearing");
  const Grid closed = GridOf(InputImage);
  at = ExpectFullImage(
      at, image, [&](int r, int c) { return closed.at(r, c) ? Green(255) : black; },
      "erosion pass");
  EXPECT_EQ(at, a.calls.size());
}

TEST_F(FilterDrawing, SimpleOpeningAndClosingShowTheirFirstHalfOnlyWhenDrawing) {
  const Grid image = GridFromRows({"01110", "11111", "01100"});
  const Grid filter = GridFromRows({"11"});
  const Grid eroded = SimpleResult(image, filter, false);
  const Grid dilated = SimpleResult(image, filter, true);
  for (int32_t operation : {filter_operation::opening, filter_operation::closing}) {
    const Grid& half = operation == filter_operation::opening ? eroded : dilated;
    Start(image, filter);
    filtermorph::RunFilterMorphology(engine, targets, filter_algorithm::simple, operation);
    const std::size_t end = ExpectFullImage(
        0, image, [&](int r, int c) { return half.at(r, c) ? white : black; }, "first half");
    EXPECT_EQ(end, a.calls.size());

    Start(image, filter);
    engine.measureTime = 1;
    filtermorph::RunFilterMorphology(engine, targets, filter_algorithm::simple, operation);
    engine.measureTime = 0;
    EXPECT_TRUE(a.calls.empty());
  }
  EXPECT_TRUE(services.messages.empty());
}

TEST_F(FilterDrawing, NothingIsDrawnWhileTimingOrByTheSimpleMethod) {
  const Grid image = GridFromRows({"0110", "1111", "0110"});
  const Grid filter = GridFromRows({"010", "111", "010"});
  Start(image, filter);
  engine.measureTime = 1;
  engine.DecomposedDilation(targets, 1);
  engine.DecomposedErosion(targets, 0);
  engine.DecomposedOpening(targets, 0);
  engine.DecomposedClosing(targets, 1);
  engine.measureTime = 0;
  engine.SimpleDilation(targets, 1);
  engine.SimpleErosion(targets, 1);
  EXPECT_TRUE(a.calls.empty());
  EXPECT_TRUE(b.calls.empty());
  EXPECT_TRUE(services.messages.empty());
}

TEST_F(FilterDrawing, FilterImageIsDrawnAtTheCornerThenItsSizeIsReported) {
  engine.ShowFilterImage(targets);
  ASSERT_EQ(services.texts(), std::vector<std::string>{"フィルタ画像が取り込まれていません。"});
  EXPECT_EQ(services.messages[0].caption, "エラー");
  EXPECT_TRUE(a.calls.empty());

  services.messages.clear();
  const Grid filter = GridFromRows({"1001", "0110"});
  SetFilter(engine, filter);
  engine.ShowFilterImage(targets);
  ASSERT_EQ(services.texts(), std::vector<std::string>{"画像サイズは 4 × 2 です。"});
  EXPECT_EQ(services.messages[0].caption, appTitle);
  EXPECT_EQ(services.messages[0].buttons, MessageButtons::Ok);
  ExpectFullImage(
      0, filter, [&](int r, int c) { return filter.at(r, c) ? white : black; }, "filter");
  EXPECT_EQ(a.calls.size(), 8u);
  EXPECT_EQ(b.at(3, 0), white);
  EXPECT_EQ(b.at(4, 0), RecordingSurface::untouched);
}

}  // namespace
}  // namespace dt::testing
