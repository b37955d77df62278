#include <gtest/gtest.h>

#include <random>

#include "distance/DistanceReference.h"
#include "support/EngineFixture.h"

namespace dt::testing {
namespace {

enum class Algorithm { envelope, exhaustive, simple };

class DistanceTransform : public EngineTest {
 protected:
  Grid Run(const Grid& input, Algorithm algorithm, int featureValue = 1, bool draw = false) {
    SetInput(engine, input);
    engine.measureTime = draw ? 0 : 1;
    NullSurface nothing;
    const DrawingTargets targets{&nothing, &nothing};
    switch (algorithm) {
      case Algorithm::envelope: engine.DistanceTransform1(targets, featureValue); break;
      case Algorithm::exhaustive: engine.DistanceTransform2(targets, featureValue); break;
      case Algorithm::simple: engine.SimpleDistanceTransform(targets, featureValue); break;
    }
    EXPECT_EQ(GridOf(DistanceMap), GridOf(WorkImage));
    EXPECT_EQ(WorkImage.kind, distanceKind);
    EXPECT_EQ(engine.distanceReady, 1);
    return GridOf(WorkImage);
  }

  // The column pass alone, drawn into a recording surface.
  Grid ColumnPass(const Grid& input, int direction, RecordingSurface& surface) {
    SetInput(engine, input);
    engine.t1Direction = direction;
    engine.measureTime = 0;
    engine.TransformT1(DrawingTargets{&surface, &surface}, 1);
    return GridOf(WorkImage);
  }
};

// Images of many shapes and densities, the degenerate ones included.
std::vector<Grid> SampleImages(unsigned seed, int count) {
  std::mt19937 rng(seed);
  std::vector<Grid> images = {Grid(0, 0), Grid(1, 1), Grid(1, 1, 1), Grid(5, 4), Grid(6, 3, 1),
                              Grid(1, 9), Grid(9, 1)};
  images.back().at(0, 4) = 1;
  const double densities[] = {0.01, 0.05, 0.2, 0.5, 0.8, 0.97};
  std::uniform_int_distribution<int> side(1, 13);
  for (int n = 0; n < count; ++n) {
    int w = side(rng), h = side(rng);
    if (n % 7 == 0) w = 1;
    if (n % 7 == 1) h = 1;
    images.push_back(RandomGrid(rng, w, h, densities[n % 6]));
  }
  return images;
}

const Measure standardMeasures[] = {{distance_function::euclid},
                                    {distance_function::cityBlock},
                                    {distance_function::chessboard}};

const Measure triangles[] = {
    {distance_function::triangle, 0, 150},         {distance_function::triangle, 150, 150},
    {distance_function::triangle, -150, 300},      {distance_function::triangle, 37, 11},
    {distance_function::triangle, 90, 0},          {distance_function::triangle, 0, 150, true},
    {distance_function::triangle, 150, 150, true}, {distance_function::triangle, -150, 300, true},
    {distance_function::triangle, 37, 11, true},   {distance_function::triangle, 90, 0, true},
    {distance_function::triangle, -61, 2},         {distance_function::triangle, 150, 1, true}};

TEST_F(DistanceTransform, Algorithm1MatchesBruteForceForTheStandardMetrics) {
  for (const Measure& m : standardMeasures) {
    for (const Grid& image : SampleImages(1 + m.function, 120)) {
      Configure(engine, m);
      for (int feature : {1, 0}) {
        ASSERT_EQ(Run(image, Algorithm::envelope, feature), ReferenceTransform(image, feature, m))
            << "metric " << m.function << " feature " << feature << "\n" << ToString(image);
      }
    }
  }
}

TEST_F(DistanceTransform, Algorithm1MatchesBruteForceForTriangles) {
  for (const Measure& m : triangles) {
    for (const Grid& image : SampleImages(40 + m.ax + m.ay, 60)) {
      Configure(engine, m);
      ASSERT_EQ(Run(image, Algorithm::envelope), ReferenceTransform(image, 1, m))
          << "apex " << m.ax << "," << m.ay << (m.reflected ? " reflected\n" : "\n")
          << ToString(image);
    }
  }
}

TEST_F(DistanceTransform, Algorithms1And2AgreeOnEveryImageAndMetric) {
  std::vector<Measure> measures(std::begin(standardMeasures), std::end(standardMeasures));
  measures.insert(measures.end(), std::begin(triangles), std::end(triangles));
  for (const Measure& m : measures) {
    for (const Grid& image : SampleImages(90 + m.ax, 40)) {
      Configure(engine, m);
      const Grid first = Run(image, Algorithm::envelope);
      Configure(engine, m);
      ASSERT_EQ(Run(image, Algorithm::exhaustive), first)
          << "metric " << m.function << " apex " << m.ax << "," << m.ay << "\n"
          << ToString(image);
    }
  }
}

TEST_F(DistanceTransform, DrawingDoesNotChangeTheValues) {
  std::vector<Measure> measures(std::begin(standardMeasures), std::end(standardMeasures));
  measures.push_back(triangles[3]);
  measures.push_back(triangles[8]);
  for (const Measure& m : measures) {
    for (int direction : {1, 2, 3}) {
      for (const Grid& image : SampleImages(5 + direction, 25)) {
        Configure(engine, m);
        engine.t1Direction = direction;
        const Grid timed = Run(image, Algorithm::envelope, 1, false);
        Configure(engine, m);
        engine.t1Direction = direction;
        ASSERT_EQ(Run(image, Algorithm::envelope, 1, true), timed) << ToString(image);
      }
    }
  }
}

// With timing on, algorithm 1 may split its passes over threads (column stripes, then row
// bands). Whatever the split, bands that end in part of a batch of rows included, the map must
// be the one a single thread makes.
TEST_F(DistanceTransform, SeveralThreadsGiveTheSameMapAsOne) {
  std::mt19937 rng(4242);
  std::vector<Measure> measures(std::begin(standardMeasures), std::end(standardMeasures));
  measures.push_back(triangles[3]);
  measures.push_back(triangles[8]);
  const int sides[][2] = {{130, 129}, {300, 131}, {131, 517}, {1100, 200}};
  for (const auto& side : sides) {
    for (double density : {0.001, 0.3}) {
      const Grid image = RandomGrid(rng, side[0], side[1], density);
      for (const Measure& m : measures) {
        for (int direction : {1, 2, 3}) {
          Configure(engine, m);
          engine.t1Direction = direction;
          engine.threads = 1;
          const Grid alone = Run(image, Algorithm::envelope);
          for (int threads : {2, 3, 7, 0}) {
            Configure(engine, m);
            engine.t1Direction = direction;
            engine.threads = threads;
            ASSERT_EQ(Run(image, Algorithm::envelope), alone)
                << side[0] << "x" << side[1] << " density " << density << " metric "
                << m.function << " direction " << direction << " threads " << threads;
          }
        }
      }
    }
  }
}

TEST_F(DistanceTransform, SimpleTransformMatchesAlgorithm2ForEuclid) {
  for (const Grid& image : SampleImages(3, 60)) {
    Configure(engine, standardMeasures[0]);
    const Grid second = Run(image, Algorithm::exhaustive);
    engine.distanceFunction = distance_function::chessboard;  // ignored: always Euclidean
    ASSERT_EQ(Run(image, Algorithm::simple), second) << ToString(image);
  }
}

TEST_F(DistanceTransform, NoFeaturePixelGivesNoFeatureEverywhereInAllThreeAlgorithms) {
  const Grid empty(4, 3);
  const Grid expected(4, 3, noFeature);
  EXPECT_EQ(Run(empty, Algorithm::envelope), expected);
  EXPECT_EQ(Run(empty, Algorithm::exhaustive), expected);
  EXPECT_EQ(Run(empty, Algorithm::simple), expected);
}

TEST_F(DistanceTransform, FormerlyInexactExamplesAreExact) {
  engine.distanceFunction = distance_function::cityBlock;
  EXPECT_EQ(Run(GridFromRows({"001", "110"}), Algorithm::envelope),
            GridFromRows({"110", "001"}));
  engine.distanceFunction = distance_function::euclid;
  const Grid map = Run(GridFromRows({"101", "001", "000", "010"}), Algorithm::envelope);
  EXPECT_EQ(ToString(map), "0 1 0\n1 1 0\n1 1 1\n1 0 1\n");
}

TEST_F(DistanceTransform, SingleFeaturePixelGivesTheDistanceToIt) {
  Grid image(9, 7);
  image.at(2, 6) = 1;
  engine.distanceFunction = distance_function::cityBlock;
  const Grid city = Run(image, Algorithm::envelope);
  engine.distanceFunction = distance_function::euclid;
  const Grid euclid = Run(image, Algorithm::envelope);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 9; ++x) {
      EXPECT_EQ(city.at(y, x), std::abs(x - 6) + std::abs(y - 2));
      EXPECT_EQ(euclid.at(y, x), static_cast<int>(std::sqrt((x - 6) * (x - 6) + (y - 2) * (y - 2))));
    }
}

TEST_F(DistanceTransform, LargeDistancesDoNotOverflow) {
  // 50000 columns: squared distances beyond 2^31.
  Grid row(50000, 1);
  row.at(0, 0) = 1;
  const Grid map = Run(row, Algorithm::envelope);
  EXPECT_EQ(map.at(0, 49999), 49999);
  EXPECT_EQ(map.at(0, 46341), 46341);
  Grid column(1, 3000);
  column.at(0, 0) = 1;
  column.at(2999, 0) = 1;
  EXPECT_EQ(Run(column, Algorithm::envelope).at(1500, 0), 1499);
}

TEST_F(DistanceTransform, ColumnPassValuesAndWritingOrder) {
  const Grid column = GridFromRows({"0", "1", "0", "0", "0", "0", "1"});
  struct Case {
    int direction;
    std::string values;
    std::vector<int> order;
  };
  const Case cases[] = {{1, "1\n0\n1\n2\n2\n1\n0\n", {1, 0, 6, 2, 5, 3, 4}},
                        {2, "1\n0\n4\n3\n2\n1\n0\n", {1, 0, 6, 5, 4, 3, 2}},
                        {3, "INF\n0\n1\n2\n3\n4\n0\n", {1, 0, 6, 2, 3, 4, 5}}};
  for (const Case& c : cases) {
    RecordingSurface surface;
    EXPECT_EQ(ToString(ColumnPass(column, c.direction, surface)), c.values);
    std::vector<int> rows;
    for (const auto& call : surface.calls) rows.push_back(call.y);
    // Each pixel goes to both targets, one after the other; the middle row of an odd run would be
    // written twice.
    std::vector<int> expected;
    for (int r : c.order) expected.insert(expected.end(), {r, r});
    EXPECT_EQ(rows, expected) << "direction " << c.direction;
  }
}

TEST_F(DistanceTransform, ColumnPassTailRunsAndEmptyColumns) {
  RecordingSurface surface;
  // Column 0: a feature on top, then a tail; column 1: no feature; column 2: an odd middle run.
  const Grid image = GridFromRows({"101", "000", "000", "001", "000", "001"});
  EXPECT_EQ(ToString(ColumnPass(image, 1, surface)),
            "0 INF 0\n1 INF 1\n2 INF 1\n3 INF 0\n4 INF 1\n5 INF 0\n");
  std::vector<std::pair<int, int>> calls;
  for (std::size_t k = 0; k < surface.calls.size(); k += 2)
    calls.push_back({surface.calls[k].x, surface.calls[k].y});
  const std::vector<std::pair<int, int>> expected = {
      {0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 5},  // feature, then the tail downward
      {1, 0}, {1, 1}, {1, 2}, {1, 3}, {1, 4}, {1, 5},  // no feature: top to bottom
      {2, 0}, {2, 3}, {2, 1}, {2, 2}, {2, 5}, {2, 4}, {2, 4}};
  EXPECT_EQ(calls, expected);
  EXPECT_EQ(surface.at(0, 1), 0xEFEFEFu);  // distance 1 in grey
  EXPECT_EQ(surface.at(1, 0), 0x000000u);  // noFeature in black

  RecordingSurface below;
  EXPECT_EQ(ToString(ColumnPass(GridFromRows({"1", "0", "0"}), 2, below)), "0\nINF\nINF\n");
  RecordingSurface single;
  EXPECT_EQ(ToString(ColumnPass(GridFromRows({"0110"}), 3, single)), "INF 0 0 INF\n");
}

TEST_F(DistanceTransform, RowPassesDrawInTheirWritingOrder) {
  const Grid image = GridFromRows({"0100", "0001"});
  for (Algorithm algorithm : {Algorithm::envelope, Algorithm::exhaustive}) {
    SetInput(engine, image);
    engine.distanceFunction = distance_function::cityBlock;
    engine.measureTime = 0;
    RecordingSurface a, b;
    const DrawingTargets targets{&a, &b};
    if (algorithm == Algorithm::envelope)
      engine.DistanceTransform1(targets, 1);
    else
      engine.DistanceTransform2(targets, 1);
    ASSERT_EQ(a.calls.size(), 16u);  // 8 pixels in each pass
    std::vector<int> columns;
    for (std::size_t k = 8; k < 16; ++k) columns.push_back(a.calls[k].x);
    const std::vector<int> expected = algorithm == Algorithm::envelope
                                          ? std::vector<int>{3, 2, 1, 0, 3, 2, 1, 0}
                                          : std::vector<int>{0, 1, 2, 3, 0, 1, 2, 3};
    EXPECT_EQ(columns, expected);
    EXPECT_EQ(a.calls[8].y, 0);
    EXPECT_EQ(a.calls[15].y, 1);
    EXPECT_EQ(a.pixels, b.pixels);
    EXPECT_EQ(a.at(0, 0), 0xEFEFEFu);
    EXPECT_EQ(a.at(0, 1), 0xDFDFDFu);  // distance 2, through column 1
  }
}

TEST_F(DistanceTransform, TimingDrawsNothing) {
  SetInput(engine, GridFromRows({"0100", "0001"}));
  engine.measureTime = 1;
  RecordingSurface a, b;
  engine.DistanceTransform1(DrawingTargets{&a, &b}, 1);
  engine.DistanceTransform2(DrawingTargets{&a, &b}, 1);
  engine.SimpleDistanceTransform(DrawingTargets{&a, &b}, 1);
  EXPECT_TRUE(a.calls.empty());
  EXPECT_TRUE(b.calls.empty());
}

TEST_F(DistanceTransform, ChecksComeFirstAndChangeNothing) {
  NullSurface nothing;
  const DrawingTargets targets{&nothing, &nothing};
  engine.DistanceTransform1(targets, 1);
  ASSERT_EQ(services.texts(), std::vector<std::string>{"入力画像が取り込まれていません。"});
  EXPECT_EQ(services.messages[0].caption, "エラー");

  SetInput(engine, GridFromRows({"10", "01"}));
  engine.distanceFunction = distance_function::none;
  services.messages.clear();
  engine.SimpleDistanceTransform(targets, 1);
  engine.DistanceTransform2(targets, 1);
  EXPECT_EQ(services.texts(), (std::vector<std::string>{"距離関数が選択されていません。",
                                                        "距離関数が選択されていません。"}));
  EXPECT_EQ(WorkImage.kind, binaryKind);
  EXPECT_EQ(engine.distanceReady, 0);
}

TEST_F(DistanceTransform, UnknownColumnDirectionEndsTheProcessWithAMessage) {
  SetInput(engine, GridFromRows({"10"}));
  engine.t1Direction = 4;
  NullSurface nothing;
  EXPECT_THROW(engine.DistanceTransform1(DrawingTargets{&nothing, &nothing}, 1), ProcessExited);
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text, "距離関数設定（変換Ｔ１）に失敗しました。");
  EXPECT_EQ(services.messages[0].caption, "終了");
}

TEST_F(DistanceTransform, RowPassesTakeTheTriangleScalesFromTheCurrentApex) {
  SetInput(engine, GridFromRows({"10", "01"}));
  Configure(engine, {distance_function::triangle, 30, 75});
  NullSurface nothing;
  engine.DistanceTransform2(DrawingTargets{&nothing, &nothing}, 1);
  EXPECT_DOUBLE_EQ(engine.triangleScaleX, 0.2);
  EXPECT_DOUBLE_EQ(engine.triangleScaleY, 0.5);
  SetInput(engine, GridFromRows({"10", "01"}));
  engine.distanceFunction = distance_function::euclid;
  engine.DistanceTransform1(DrawingTargets{&nothing, &nothing}, 1);
  EXPECT_EQ(engine.triangleScaleX, 1.0);
  EXPECT_EQ(InputImage.kind, binaryKind);  // the input stays as it was
  EXPECT_EQ(GridOf(InputImage), GridFromRows({"10", "01"}));
}

}  // namespace
}  // namespace dt::testing
