// The distance transforms against the brute-force truth, for every measure, and the row passes
// against every candidate of a row.
#include <array>
#include <cmath>
#include <map>
#include <type_traits>

#include "distance/DistanceTransform.h"
#include "distance/Envelope.h"
#include "distance/RowPasses.h"
#include "distance/TransformOperations.h"
#include "support/EngineTest.h"
#include "support/References.h"

namespace dt::testing {
namespace {

class Transform : public EngineTest {
 protected:
  // The map of `image` by one algorithm, drawn (into surface) or timed (drawing nothing);
  // checks what every transform leaves, and with `nearest` its feature transform.
  Grid Run(const Grid& image, TransformAlgorithm algorithm, const Measure& m, int featureValue,
           bool draw, bool nearest = false) {
    SetInput(engine, image);
    engine.measureTime = draw ? 0 : 1;
    surface.calls.clear();
    NullSurface nowhere;
    RunDistanceTransform(engine, {&surface, &nowhere}, {algorithm, m, featureValue, nearest});
    EXPECT_TRUE(draw || surface.calls.empty());
    const Grid map = GridOf(WorkImage);
    EXPECT_EQ(GridOf(DistanceMap), map);
    EXPECT_EQ(GridOf(InputImage), image);
    EXPECT_EQ(WorkImage.kind, distanceKind);
    EXPECT_EQ(engine.distanceReady, 1);
    const int32_t* pairs = engine.nearest.pairs.get();
    const Measure truth = algorithm == TransformAlgorithm::simple ? Measure{} : m;
    EXPECT_EQ(pairs != nullptr, nearest);
    EXPECT_EQ(pairs ? NearestFault(image, featureValue, truth, map, pairs) : "", "") << image;
    return map;
  }
  RecordingSurface surface;
};

class EveryMeasure : public Transform, public ::testing::WithParamInterface<Measure> {};

// Algorithms 1 and 2 give exactly the brute-force map, drawing or not, to either feature value,
// on many small images: degenerate sizes, empty and full ones among them.
TEST_P(EveryMeasure, AlgorithmsOneAndTwoGiveTheBruteForceMap) {
  const Measure m = GetParam();
  std::mt19937 rng(7 + m.apex.x + 3 * m.apex.y + m.reflected);
  for (int n = 0; n < 66; ++n) {
    const Grid image = RandomImage(rng, n < 60 ? 12 : 45);  // a few rows of many vectors
    const int feature = n % 3 == 2 ? 0 : 1;
    const Grid truth = ReferenceTransform(image, feature, m);
    const bool nearest = n % 3 != 1;
    ASSERT_EQ(Run(image, TransformAlgorithm::envelope, m, feature, n % 2, nearest), truth) << image;
    ASSERT_EQ(Run(image, TransformAlgorithm::exhaustive, m, feature, n % 4 < 2, nearest), truth)
        << image;
    for (int row = 0; row < image.height; ++row) {  // the envelope plot's row, computed afresh
      const auto first = truth.values.begin() + std::ptrdiff_t(row) * image.width;
      ASSERT_EQ(EnvelopeOfRow(InputImage, feature, m, row).stored,
                std::vector<int32_t>(first, first + image.width)) << row << image;
    }
  }
}

// A rounded-down distance hides a farther pixel: 26 and 25 both store 5. In the row of the gap,
// every pixel but one finds a pixel within 4 columns; the one at column 10 first meets the pixel
// 5 rows up in the next column (26), and only further on the row's own at 5 columns (25).
TEST_F(Transform, TheNearestPixelIsTheNearestWhereRoundedDistancesTie) {
  Grid image(32, 12);
  for (int x = 0; x < 32; ++x) image.at(6, x) = x < 6 || x > 14;
  image.at(1, 11) = 1;
  for (bool draw : {false, true}) {
    Run(image, TransformAlgorithm::envelope, Measure{}, 1, draw, true);
    EXPECT_EQ(engine.nearest.At(6, 10).row, 6) << "drawn " << draw;
  }
}

// A result adopted as the input forgets the pairs but keeps their block, and the next transform
// of a picture of that size writes every pair of it again: none is left from the last picture.
TEST_F(Transform, ForgottenPairsAreWrittenAgainWhole) {
  std::mt19937 rng(61);
  NullSurface nowhere;
  for (DistanceFunction function :
       {DistanceFunction::euclid, DistanceFunction::cityBlock, DistanceFunction::chessboard}) {
    const Measure m{function};
    Run(RandomGrid(rng, 67, 41, 0.3), TransformAlgorithm::envelope, m, 1, false, true);
    const int32_t* block = engine.nearest.pairs.get();
    ASSERT_TRUE(engine.DilateByDistance({&nowhere, &nowhere}, 1, Ball{function, {}, 2}));
    ASSERT_TRUE(engine.nearest.empty());
    const Grid dilated = GridOf(InputImage);
    RunDistanceTransform(engine, {&nowhere, &nowhere}, {TransformAlgorithm::envelope, m, 0, true});
    EXPECT_EQ(engine.nearest.pairs.get(), block);
    EXPECT_EQ(NearestFault(dilated, 0, m, GridOf(WorkImage), engine.nearest.pairs.get()), "");
  }
}

// With timing on, algorithm 1 may split its passes over threads (column stripes, then row
// bands, some ending inside a batch of rows; the chamfer scan in stripes of columns whose
// distances then cross the stripes' edges): the map is the one a single thread makes.
TEST_P(EveryMeasure, SeveralThreadsGiveTheMapOfOne) {
  std::mt19937 rng(4242);
  std::vector<Grid> pictures = {RandomGrid(rng, 300, 131, 0.3), RandomGrid(rng, 131, 517, 0.001),
                                Grid(1100, 60)};
  pictures.back().at(30, 3) = 1;  // one feature pixel, far from the other stripes
  // One feature pixel in the top or bottom row, at every column of the middle third: some lie on
  // the columns beside the edge of two stripes.
  for (int column = 200; column < 400; ++column)
    for (int row : {0, 11}) {
      pictures.emplace_back(600, 12);
      pictures.back().at(row, column) = 1;
    }
  // Stripes of a few hundred columns over few rows, so that paths cross their edges at every
  // slant, from the rows at the top and bottom too.
  const double densities[] = {0.0005, 0.002, 0.01, 0.1, 0.5};
  std::uniform_int_distribution<int> width(520, 800), height(1, 24), pick(0, 4);
  for (int n = 0; n < 80; ++n)
    pictures.push_back(RandomGrid(rng, width(rng), height(rng), densities[pick(rng)]));
  for (const Grid& image : pictures) {
    engine.threads = 1;
    const Grid alone = Run(image, TransformAlgorithm::envelope, GetParam(), 1, false);
    for (int threads : {2, 3, 0}) {
      engine.threads = threads;
      ASSERT_EQ(Run(image, TransformAlgorithm::envelope, GetParam(), 1, false, threads == 0), alone)
          << threads << image;
    }
  }
}

// Algorithm 1's row pass (a few rows at once, or one in place) against every candidate of the
// row, on rows the transforms rarely make: G beyond the width and around 2^15 (where the
// Euclidean sweep stops marking candidates), runs of 0, columns without a candidate, empty rows.
TEST_P(EveryMeasure, RowPassEqualsEveryCandidate) {
  std::mt19937 rng(2024);
  // Euclidean rows the search near each pixel finished, by lanes (negative: with winners).
  std::map<int, int> searched;
  bool euclid = false;
  WithMetric(GetParam(), [&](const auto& metric) {
    for (int width : {1, 2, 5, 16, 41, 120}) {
      RowScratch scratch(width);
      for (int batch = 0; batch < 250; ++batch) {
        const int rows = 1 + batch % envelopeRowsAtOnce;
        std::vector<std::vector<int32_t>> g(rows, std::vector<int32_t>(std::size_t(width)));
        std::vector<std::vector<int32_t>> out(g), want(g), won(g), viaWinners(g);
        const int32_t* in[envelopeRowsAtOnce];
        int32_t *to[envelopeRowsAtOnce], *wonTo[envelopeRowsAtOnce], *viaTo[envelopeRowsAtOnce];
        for (int r = 0; r < rows; ++r) {
          const int kind = (batch + r) % 6;
          const int32_t base = std::array<int32_t, 6>{32766, 0, 0, 0, 32700, 0}[kind];
          const int32_t top = std::array<int32_t, 6>{4, 3, 40000, 0, 200, 3 * width}[kind];
          std::uniform_int_distribution<int32_t> value(base, base + top);
          std::bernoulli_distribution absent(kind == 3 ? 1.0 : 0.1 * (batch % 9));
          for (auto& v : g[r]) v = absent(rng) ? noFeature : value(rng);
          ExhaustiveRow(metric, g[r].data(), width, want[r].data());
          in[r] = g[r].data();
          to[r] = rows == 1 ? g[r].data() : out[r].data();  // a single row in place
          wonTo[r] = won[r].data();
          viaTo[r] = viaWinners[r].data();
        }
        // Distances and winners given for row r: the distances wanted, each one its winner's
        // candidate.
        const auto check = [&](int r, const char* by) {
          for (int x = 0; x < width; ++x) {
            const int32_t w = won[r][x];
            ASSERT_TRUE(viaWinners[r][x] == want[r][x] &&
                        (w < 0 ? want[r][x] == noFeature
                               : w < width && g[r][w] != noFeature && metric.Candidate(g[r][w]) &&
                                     metric.Store(metric.Cost(x - w, g[r][w])) == want[r][x]))
                << by << " " << width << " " << batch << " " << r << " " << x;
          }
        };
        // With the winning columns (the envelope for every metric).
        EnvelopeRows(metric, in, viaTo, rows, width, scratch, wonTo);
        for (int r = 0; r < rows; ++r) check(r, "envelope");
        // The Euclidean rows of the transforms, with and without winners: searched near each
        // pixel or by the envelope, by what the batches before left in the scratch; and the
        // search near each pixel with every vector width this processor has, where it does not
        // give up.
        if constexpr (std::is_same_v<std::decay_t<decltype(metric)>, EuclidMetric>) {
          euclid = true;
          EuclidRows(in, viaTo, rows, width, scratch, wonTo);
          for (int r = 0; r < rows; ++r) check(r, "rows");
          EuclidRows(in, wonTo, rows, width, scratch);
          for (int r = 0; r < rows; ++r)
            ASSERT_EQ(won[r], want[r]) << width << " " << batch << " " << r;
          for (int lanes : {4, NearbyLanes()}) {
            for (int r = 0; r < rows; ++r) {
              std::fill(won[r].begin(), won[r].end(), -7);
              if (NearbyEuclidRowWith(lanes, in[r], width, scratch, wonTo[r])) {
                ASSERT_EQ(won[r], want[r]) << lanes << " " << width << " " << batch << " " << r;
                ++searched[lanes];
              }
              std::fill(viaWinners[r].begin(), viaWinners[r].end(), -7);
              if (NearbyEuclidRowWith(lanes, in[r], width, scratch, viaTo[r], wonTo[r])) {
                check(r, "search");
                ++searched[-lanes];
              }
            }
          }
        }
        EnvelopeRows(metric, in, to, rows, width, scratch);
        for (int r = 0; r < rows; ++r)
          ASSERT_EQ(rows == 1 ? g[r] : out[r], want[r]) << width << " " << batch << " " << r;
      }
    }
  });
  if (euclid && NearbyLanes() > 0) {
    for (int lanes : {4, NearbyLanes(), -4, -NearbyLanes()})
      EXPECT_GT(searched[lanes], 500) << lanes;
  }
}

// The envelope relies on this: of two candidates i < u, the older one is at least as good on a
// prefix of the row, which ends where LastOlderColumn says.
TEST_P(EveryMeasure, OlderCandidateWinsOnAPrefixEndingAtTheBoundary) {
  const Measure m = GetParam();
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> column(0, 14), g(0, 6);
  WithMetric(m, [&](const auto& metric) {
    for (int n = 0; n < 300; ++n) {
      const int i = column(rng), u = i + 1 + column(rng), gi = g(rng), gu = g(rng);
      SCOPED_TRACE(::testing::Message() << i << " " << gi << ", " << u << " " << gu);
      int64_t lastWin = boundary::alwaysBetter;
      bool lost = false;
      const int64_t span = 40 + u + 450 * (gi + gu) / std::max(m.apex.y, 1);
      for (int64_t x = -span; x <= span; ++x) {
        // The candidates of columns i and u, G rows towards the measure's side.
        const auto ci = Cost(m, m.reflected ? gi : -gi, x - i);
        const auto cu = Cost(m, m.reflected ? gu : -gu, x - u);
        if (!cu || (ci && *ci <= *cu)) {
          ASSERT_FALSE(lost) << "not a prefix";
          lastWin = x;
        } else {
          lost = true;
        }
      }
      EXPECT_EQ(metric.LastOlderColumn(i, gi, u, gu), lost ? lastWin : boundary::neverBetter);
    }
  });
}

INSTANTIATE_TEST_SUITE_P(Measures, EveryMeasure, ::testing::ValuesIn(AllMeasures()),
                         [](const auto& info) { return std::to_string(info.index); });

TEST_F(Transform, SimpleTransformIsEuclideanWhateverTheMeasure) {
  std::mt19937 rng(3);
  for (int n = 0; n < 40; ++n) {
    const Grid image = RandomImage(rng, 10);
    ASSERT_EQ(Run(image, TransformAlgorithm::simple, AllMeasures()[n % 15], 1, n % 2, n % 3),
              ReferenceTransform(image, 1, Measure{}))
        << image;
  }
  // The longest lines the 16-bit search takes (here and in algorithm 2's Euclidean rows), and
  // one pixel longer, which it leaves to the 64-bit one: distances up to 32768, a feature pixel
  // at either end, a tie in the middle.
  for (const auto& [w, h] : {std::pair{32768, 1}, {1, 32768}, {32769, 1}, {1, 32769}}) {
    Grid image(w, h), map(w, h);
    image.values.front() = image.values.back() = 1;
    const int last = w * h - 1;
    for (int i = 0; i <= last; ++i) map.values[i] = std::min(i, last - i);
    ASSERT_EQ(Run(image, TransformAlgorithm::simple, Measure{}, 1, false, true), map)
        << w << " x " << h;
    if (w <= 32768) {  // a row of 32769 against itself takes a billion steps in 64 bits
      ASSERT_EQ(Run(image, TransformAlgorithm::exhaustive, Measure{}, 1, false, true), map)
          << w << " x " << h;
    }
  }
}

// The column pass writes (and draws) each column's runs as its scan reaches the feature pixel
// below them, in an order of its direction: both ways from the ends of a run toward its middle
// (whose row is written twice), else from the feature pixel on; a column without any feature
// pixel from the top. The row passes write right to left (algorithm 1), left to right (2).
TEST_F(Transform, PassesDrawTheirValuesInTheirWritingOrder) {
  constexpr int32_t none = noFeature;
  struct Case {
    Measure measure;
    std::vector<int> order;  // the pixels of column 1 in their drawing order, by row
    std::vector<int32_t> values;
  };
  const Case cases[] = {
      {Measure{DistanceFunction::euclid}, {1, 0, 5, 2, 4, 3, 3, 6}, {1, 0, 1, 2, 1, 0, 1}},
      {Measure{DistanceFunction::triangle}, {1, 0, 5, 4, 3, 2, 6}, {1, 0, 3, 2, 1, 0, none}},
      {Measure{DistanceFunction::triangle, {}, true},
       {1, 0, 5, 2, 3, 4, 6},
       {none, 0, 1, 2, 3, 0, 1}}};
  for (const Case& c : cases) {
    SetInput(engine, GridFromRows({"00", "01", "00", "00", "00", "01", "00"}));
    surface.calls.clear();
    engine.TransformT1({&surface, &surface}, 1, c.measure.columnDirection());
    std::vector<int> order;
    for (std::size_t k = 0; k < surface.calls.size(); k += 2) {
      const auto [x, y, rgb] = surface.calls[k];
      // Column 0, without feature pixels, first and top down.
      EXPECT_EQ(std::pair(x, y), k < 14 ? std::pair(0, int(k / 2)) : std::pair(1, y));
      if (x == 1) order.push_back(y);
      EXPECT_EQ(rgb, GreyOf(WorkImage.rows[y][x]));
    }
    EXPECT_EQ(order, c.order) << ::testing::PrintToString(c.measure);
    Grid expected(2, 7, none);
    for (int y = 0; y < 7; ++y) expected.at(y, 1) = c.values[y];
    EXPECT_EQ(GridOf(WorkImage), expected) << ::testing::PrintToString(c.measure);
  }
  for (TransformAlgorithm algorithm :
       {TransformAlgorithm::envelope, TransformAlgorithm::exhaustive}) {
    const Grid map = Run(GridFromRows({"0100", "0001"}), algorithm,
                         Measure{DistanceFunction::cityBlock}, 1, true);
    ASSERT_EQ(surface.calls.size(), 16u);  // two passes of 8 pixels
    for (int k = 8; k < 16; ++k) {
      const int x = algorithm == TransformAlgorithm::envelope ? 3 - k % 4 : k % 4;
      EXPECT_EQ(std::pair(surface.calls[k].x, surface.calls[k].y), std::pair(x, (k - 8) / 4));
      EXPECT_EQ(surface.calls[k].rgb, GreyOf(map.at((k - 8) / 4, x)));
    }
  }
}

TEST_F(Transform, LargeDistancesDoNotOverflow) {
  Grid row(50000, 1);  // squared distances beyond 2^31
  row.at(0, 0) = 1;
  const Grid map = Run(row, TransformAlgorithm::envelope, Measure{}, 1, false);
  EXPECT_EQ(map.at(0, 49999), 49999);
  EXPECT_EQ(map.at(0, 46341), 46341);
  // In rows wider than their column distances are tall, a candidate with a large G can tie at
  // its own column with one on its left and still win everywhere to its right.
  for (int32_t gu : {32767, 32768, 40000}) {
    const int width = 3 * gu + 10, t = 5, u = t + gu;
    std::vector<int32_t> g(std::size_t(width), noFeature), out(g.size());
    g[std::size_t(t)] = 0;
    g[std::size_t(u)] = gu;
    RowScratch scratch(width);
    EnvelopeRow(EuclidMetric{}, g.data(), width, scratch, out.data());
    for (int x : {0, t, u, u + 1, u + gu, width - 1})
      EXPECT_EQ(out[std::size_t(x)],
                std::min(Distance(Measure{}, 0, x - t), Distance(Measure{}, gu, x - u)))
          << gu << " " << x;
  }
}

// The first pixel at which `map` is not the exact map under m of a picture whose feature pixels
// are `features`, (row, column) pairs; "" where there is none.
using Features = std::vector<std::pair<int, int>>;
std::string FeatureMapFault(const Grid& map, const Measure& m, const Features& features) {
  for (int y = 0; y < map.height; ++y)
    for (int x = 0; x < map.width; ++x) {
      int32_t expected = noFeature;
      for (const auto& [row, column] : features)
        expected = std::min(expected, Distance(m, y - row, x - column));
      if (map.at(y, x) != expected)
        return ::testing::PrintToString(m) + " " + std::to_string(map.width) + "x" +
               std::to_string(map.height) + " at " + std::to_string(y) + "," +
               std::to_string(x) + ": " + std::to_string(map.at(y, x)) + ", not " +
               std::to_string(expected);
    }
  return "";
}

Grid PictureOf(int width, int height, const Features& features) {
  Grid image(width, height);
  for (const auto& [row, column] : features) image.at(row, column) = 1;
  return image;
}

// City-block and chessboard, timed and without nearest pixels, take a chamfer scan of their
// own, eight pixels a vector while the picture's (or each stripe's) largest distance fits in
// 16 bits: the brute-force map on rows of several vectors; the exact distances at that bound,
// one past it, and in stripes that fit, or not, of pictures that do not; and on a picture that
// outgrows the cache (streaming stores), the map and its threshold.
TEST_F(Transform, ChamferScanGivesExactDistances) {
  std::mt19937 rng(99);
  std::uniform_int_distribution<int> width(8, 90), height(1, 16);
  const double densities[] = {0.002, 0.02, 0.1, 0.5};
  struct Case {
    int width, height, threads;
    Features features;
  };
  const Case cases[] = {{32767, 1, 1, {{0, 0}}},         {32768, 1, 1, {{0, 0}}},
                        {32766, 2, 1, {{0, 0}}},         {32767, 3, 1, {{0, 0}, {2, 32766}}},
                        {65100, 2, 2, {{0, 0}}},         {65100, 3, 2, {{2, 40000}, {0, 9}}},
                        {70000, 2, 2, {{0, 0}, {1, 69999}}}, {40000, 2, 1, {}},
                        {2403, 2400, 1, {{0, 0}, {1700, 2402}, {2399, 3}}}};
  for (DistanceFunction function : {DistanceFunction::cityBlock, DistanceFunction::chessboard}) {
    const Measure m{function};
    engine.threads = 1;
    for (int n = 0; n < 40; ++n) {
      const Grid image = RandomGrid(rng, width(rng), height(rng), densities[n % 4]);
      ASSERT_EQ(Run(image, TransformAlgorithm::envelope, m, 1, false),
                ReferenceTransform(image, 1, m)) << image;
    }
    for (const Case& c : cases) {
      engine.threads = c.threads;
      const Grid map =
          Run(PictureOf(c.width, c.height, c.features), TransformAlgorithm::envelope, m, 1, false);
      ASSERT_EQ(FeatureMapFault(map, m, c.features), "");
      if (c.height < 2400) continue;
      ThresholdedMapWithoutDrawing(InputImage, 1, m, 700, 1);
      for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x)
          ASSERT_EQ(InputImage.rows[y][x], map.at(y, x) <= 700 ? 1 : 0) << y << "," << x;
    }
  }
}

// The triangle's row sweeps go in single precision while a row's costs stay below 2^22 and
// take the 64-bit sweeps or the envelope beyond: rows on either side of that bound (150 · 27962
// lies just below it), costs past 2^24, where single precision would round odd ones (apex height
// 299, 60000 columns), and, on a narrow tall picture, rows whose column distances pass the bound
// part of the way along; for apex heights from 1 to 299, leaning, flat and reflected triangles.
TEST_F(Transform, TriangleRowsAreExactWhereverTheirCostsReach) {
  struct Case {
    int width, height;
    Features features;
  };
  const Case cases[] = {{27963, 5, {{0, 0}, {1, 20000}, {4, 27962}}},
                        {60000, 5, {{0, 0}, {1, 20000}, {4, 27962}}},
                        {3, 16000, {{0, 0}, {15999, 2}}}};
  const Measure measures[] = {{DistanceFunction::triangle, {0, 150}},
                              {DistanceFunction::triangle, {0, 299}},
                              {DistanceFunction::triangle, {0, 1}},
                              {DistanceFunction::triangle, {0, 0}},
                              {DistanceFunction::triangle, {0, 150}, true},
                              {DistanceFunction::triangle, {60, 100}},
                              {DistanceFunction::triangle, {-150, 299}},
                              {DistanceFunction::triangle, {150, 1}, true}};
  for (const Case& c : cases) {
    const Grid image = PictureOf(c.width, c.height, c.features);
    for (const Measure& m : measures)
      ASSERT_EQ(FeatureMapFault(Run(image, TransformAlgorithm::envelope, m, 1, false), m,
                                c.features),
                "");
  }
}

TEST(IntegerHelpers, FastFloorDivAndTheEuclideanStoreAreExact) {
  std::mt19937_64 rng(3);
  for (int64_t m : {int64_t{1000}, int64_t{1} << 31, int64_t{1} << 53, int64_t{1} << 60}) {
    std::uniform_int_distribution<int64_t> a(-m, m), b(1, 100000);
    for (int n = 0; n < 20000; ++n) {
      const int64_t x = a(rng), y = b(rng);
      ASSERT_EQ(FastFloorDiv(x, y),
                static_cast<int64_t>(std::floor(static_cast<long double>(x) / y)))
          << x << " / " << y;
    }
  }
  // Every squared distance the single-precision row store may see.
  std::vector<int64_t> costs(EuclidMetric::floatExactBelow);
  for (std::size_t n = 0; n < costs.size(); ++n) costs[n] = static_cast<int64_t>(n);
  std::vector<int32_t> out(costs.size());
  const std::vector<int32_t> g(costs.size(), 1);
  EuclidMetric::StoreRow(costs.data(), g.data(), out.data(), static_cast<int>(costs.size()),
                         static_cast<int64_t>(costs.size()) - 1);
  for (std::size_t n = 0; n < costs.size(); ++n)
    ASSERT_EQ(out[n], Stored(Measure{}, costs[n])) << n;
  // Beyond 2^52 the double square root may land on either side of a whole root.
  for (int64_t k : {int64_t{67108865}, int64_t{2147483649}, int64_t{3037000499}})
    for (int64_t v : {k * k - 1, k * k, k * k + 1}) EXPECT_EQ(FloorSqrt(v), Stored(Measure{}, v));
}

}  // namespace
}  // namespace dt::testing
