// Morphology by distance transform against the definition: the offsets of the ball of each shape.
#include "distance/DistanceTransform.h"
#include "distance/TransformOperations.h"
#include "morphology/MorphologyOperations.h"
#include "morphology/PackedBalls.h"
#include "support/EngineTest.h"
#include "support/References.h"

namespace dt::testing {
namespace {

class Morphology : public EngineTest {
 protected:
  Grid Run(Operation operation, const Grid& image, const Measure& shape, int size, bool draw) {
    SetInput(engine, image);
    engine.measureTime = draw ? 0 : 1;
    surface.calls.clear();
    NullSurface nowhere;
    RunDistanceMorphology(engine, {&surface, &nowhere},
                          {operation, Ball{shape.function, shape.apex, size}});
    // All three images hold the result, binary and counted, ready for the next operation.
    const Grid result = GridOf(InputImage);
    EXPECT_EQ(GridOf(WorkImage), result);
    EXPECT_EQ(GridOf(DistanceMap), result);
    EXPECT_TRUE(InputImage.kind == binaryKind && WorkImage.kind == binaryKind);
    EXPECT_EQ(std::pair(InputImage.whiteCount, InputImage.blackCount),
              std::pair(int32_t(result.Count(1)), int32_t(result.Count(0))));
    EXPECT_EQ(engine.distanceReady, 0);
    return result;
  }
  RecordingSurface surface;
};

class EveryShape : public Morphology, public ::testing::WithParamInterface<Measure> {};

// Also at the largest size, which reaches no further than the image: an empty image dilated
// stays empty, a full one eroded stays full (the border is not background).
TEST_P(EveryShape, EveryOperationMatchesTheDefinitionByItsBall) {
  const Measure shape = GetParam();
  std::mt19937 rng(2024 + shape.apex.x + shape.apex.y);
  for (const OperationInfo& operation : operations)
    for (int n = 0; n < 24; ++n) {
      const Grid image = RandomImage(rng, 12);
      const int size = n < 7 ? n : n % 5;
      ASSERT_EQ(Run(operation.value, image, shape, size, n % 2),
                ReferenceMorphology(operation.value, image, BallOffsets(shape, size)))
          << operation.name << " size " << size << " of " << image;
    }
  EXPECT_EQ(Run(Operation::dilation, Grid(5, 4), shape, 2147483647, false), Grid(5, 4));
  EXPECT_EQ(Run(Operation::erosion, Grid(5, 4, 1), shape, 2147483647, true), Grid(5, 4, 1));
}

// With timing on, both sides of the choice between packed bits and the distance map (the
// largest size done on packed bits and the next, when below 400) on thin, single-pixel, empty
// and full pictures; the reference takes the ball's offsets that reach within the picture.
TEST_P(EveryShape, TimedOperationsMatchTheDefinitionOnBothSidesOfTheChoice) {
  const Measure shape = GetParam();
  int most = 0;
  while (most < 400 && PackedBallPays(shape, most + 1)) ++most;
  std::mt19937 rng(7 + shape.apex.x + shape.apex.y);
  const std::pair<int, int> sides[] = {{1, 9}, {9, 1}, {1, 1}, {5, 4}, {70, 2}};
  for (int size : {0, 2, most, most + 1}) {
    const Offsets ball = BallOffsets(shape, size);
    for (const auto& [width, height] : sides) {
      Offsets reaching;
      for (const auto& [dy, dx] : ball)
        if (std::abs(dy) < height && std::abs(dx) < width) reaching.emplace_back(dy, dx);
      for (const OperationInfo& operation : operations)
        for (const Grid& image :
             {RandomGrid(rng, width, height, 0.5), Grid(width, height), Grid(width, height, 1)})
          ASSERT_EQ(Run(operation.value, image, shape, size, false),
                    ReferenceMorphology(operation.value, image, reaching))
              << operation.name << " size " << size << " of " << image;
    }
  }
  // Rows of several words, with runs that cross from one word into the next, and of exactly one
  // word (a ball of size 64 reaches 64 columns along its middle row).
  for (int size : {3, 7, 64, 70})
    for (const OperationInfo& operation : operations) {
      const Grid image = RandomGrid(rng, 200, size < 64 ? 24 : 10, size < 64 ? 0.1 : 0.01);
      ASSERT_EQ(Run(operation.value, image, shape, size, false),
                ReferenceMorphology(operation.value, image, BallOffsets(shape, size)))
          << operation.name << " size " << size << " of " << image;
    }
}

// Bands of rows on threads give what one thread gives, with bands that end within the ball's
// reach of each other: a small ball on packed bits and one beyond them, and the thresholded
// distance map on its own at a size smaller than the bands, on sparse to dense pictures.
TEST_P(EveryShape, ThreadsGiveWhatOneThreadGives) {
  const Measure shape = GetParam();
  int most = 0;
  while (most < 400 && PackedBallPays(shape, most + 1)) ++most;
  const auto thresholded = [&](const Grid& image, bool reflected, int threads) {
    SetInput(engine, image);
    Measure measure = shape;
    measure.reflected = reflected;
    ThresholdedMapWithoutDrawing(InputImage, 1, measure, 9, threads);
    return GridOf(InputImage);
  };
  std::mt19937 rng(11 + shape.apex.x + shape.apex.y);
  for (const auto& [width, height] : {std::pair(300, 131), std::pair(131, 517)})
    for (double density : {0.001, 0.03, 0.3, 0.999}) {
      const Grid image = RandomGrid(rng, width, height, density);
      for (int threads : {2, 3, 0}) {
        for (bool reflected : {false, true})
          ASSERT_EQ(thresholded(image, reflected, threads), thresholded(image, reflected, 1))
              << "threshold, reflected " << reflected << ", threads " << threads;
        for (int size : {4, most + 1})
          for (const OperationInfo& operation : operations) {
            engine.threads = 1;
            const Grid single = Run(operation.value, image, shape, size, false);
            engine.threads = threads;
            ASSERT_EQ(Run(operation.value, image, shape, size, false), single)
                << operation.name << " size " << size << " threads " << threads;
          }
      }
    }
}

// Packed bits make the result a chunk of rows at a time (256 rows, or eight times the ball's
// reach): on pictures of several chunks they give what thresholding the distance map gives.
TEST_P(EveryShape, PackedBitsGiveTheThresholdedMapAcrossChunksOfRows) {
  const Measure shape = GetParam();
  int most = 0;
  while (most < 400 && PackedBallPays(shape, most + 1)) ++most;
  std::mt19937 rng(41 + shape.apex.x + shape.apex.y);
  for (int size : {1, 12, 40, most})
    for (bool reflected : {false, true}) {
      const Grid image = RandomGrid(rng, 70, 1300, reflected ? 0.98 : 0.004);
      Measure measure = shape;
      measure.reflected = reflected;
      const auto half = [&](auto way) {
        SetInput(engine, image);
        way(InputImage, 1, measure, size, 1);
        return GridOf(InputImage);
      };
      EXPECT_TRUE(half(PackedBallWithoutDrawing) == half(ThresholdedMapWithoutDrawing))
          << "size " << size << ", reflected " << reflected;
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, EveryShape, ::testing::ValuesIn([] {
                           std::vector<Measure> shapes;
                           for (const Measure& m : AllMeasures())
                             if (!m.reflected) shapes.push_back(m);
                           return shapes;
                         }()),
                         [](const auto& info) { return std::to_string(info.index); });

// While drawing, each half shows its two passes and an opening shows its eroded picture between
// the halves.
TEST_F(Morphology, DrawsEveryPass) {
  Grid dot(6, 5);
  dot.at(2, 2) = 1;
  Run(Operation::opening, dot, Measure{DistanceFunction::cityBlock}, 1, true);
  // Four passes and the redraw of 30 pixels each; the erosion's column pass writes the one-row
  // run at the dot twice.
  EXPECT_EQ(surface.calls.size(), 151u);
}

// Images too large for any processor's cache (over 64 MB the three) take streaming stores, the
// pixels made a piece of the row at a time: on packed bits, a row of many pieces, the last one
// partial; and the chamfer scan's threshold (a large diamond on one thread), checked against the
// map of algorithm 1's passes (with nearest pixels, which leave the chamfer scan aside). Compared
// whole, as a difference would print millions of pixels.
TEST_F(Morphology, ImagesBeyondTheCacheGetTheResultWhole) {
  std::mt19937 rng(31);
  const Measure diamond{DistanceFunction::cityBlock};
  const Grid wide = RandomGrid(rng, 1400003, 4, 0.1);
  EXPECT_TRUE(Run(Operation::dilation, wide, diamond, 1, false) ==
              ReferenceMorphology(Operation::dilation, wide, BallOffsets(diamond, 1)));
  for (const auto& [operation, feature] :
       {std::pair{Operation::dilation, 1}, std::pair{Operation::erosion, 0}}) {
    const Grid large = RandomGrid(rng, 2403, 2400, feature == 1 ? 0.0005 : 0.9995);
    SetInput(engine, large);
    engine.measureTime = 1;
    RunDistanceTransform(engine, {&surface, &surface},
                         {TransformAlgorithm::envelope, diamond, feature, true});
    Grid expected = GridOf(WorkImage);
    for (int32_t& value : expected.values) value = (value <= 30) == (feature == 1) ? 1 : 0;
    EXPECT_TRUE(Run(operation, large, diamond, 30, false) == expected);
  }
}

}  // namespace
}  // namespace dt::testing
