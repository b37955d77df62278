#include <gtest/gtest.h>

#include <random>

#include "support/EngineFixture.h"

namespace dt::testing {
namespace {

enum class Operation { dilate, erode, open, close };

struct Shape {
  int function;
  int ax = 0, ay = 150;
};

// The filter of a shape and size as offsets (dy down, dx right), straight from its definition.
std::vector<std::pair<int, int>> FilterOffsets(const Shape& s, int r) {
  std::vector<std::pair<int, int>> offsets;
  const int reach = 3 * (r + 1);
  for (int dy = -reach; dy <= reach; ++dy)
    for (int dx = -reach; dx <= reach; ++dx) {
      bool in = false;
      switch (s.function) {
        case distance_function::euclid: in = dx * dx + dy * dy < (r + 1) * (r + 1); break;
        case distance_function::cityBlock: in = std::abs(dx) + std::abs(dy) <= r; break;
        case distance_function::chessboard: in = std::max(std::abs(dx), std::abs(dy)) <= r; break;
        default: {
          const int h = -dy;  // rows above the origin
          if (h < 0) break;
          if (s.ay == 0)
            in = h == 0 && std::abs(dx) < r + 1;
          else  // |dx - h*ax/ay| + h*150/ay < r + 1, on the denominator ay
            in = std::abs(s.ay * dx - s.ax * h) + 150 * h < (r + 1) * s.ay;
        }
      }
      if (in) offsets.push_back({dy, dx});
    }
  return offsets;
}

Grid BruteDilate(const Grid& in, const std::vector<std::pair<int, int>>& filter) {
  Grid out(in.width, in.height);
  for (int y = 0; y < in.height; ++y)
    for (int x = 0; x < in.width; ++x) {
      if (in.at(y, x) != 1) continue;
      for (auto [dy, dx] : filter) {
        const int py = y + dy, px = x + dx;
        if (py >= 0 && px >= 0 && py < in.height && px < in.width) out.at(py, px) = 1;
      }
    }
  return out;
}

Grid BruteErode(const Grid& in, const std::vector<std::pair<int, int>>& filter) {
  Grid out(in.width, in.height);
  for (int y = 0; y < in.height; ++y)
    for (int x = 0; x < in.width; ++x) {
      bool keep = in.at(y, x) == 1;
      for (auto [dy, dx] : filter) {
        const int py = y + dy, px = x + dx;
        if (py >= 0 && px >= 0 && py < in.height && px < in.width && in.at(py, px) != 1)
          keep = false;
      }
      out.at(y, x) = keep ? 1 : 0;
    }
  return out;
}

Grid BruteForce(Operation op, const Grid& in, const Shape& s, int r) {
  const auto f = FilterOffsets(s, r);
  switch (op) {
    case Operation::dilate: return BruteDilate(in, f);
    case Operation::erode: return BruteErode(in, f);
    case Operation::open: return BruteDilate(BruteErode(in, f), f);
    case Operation::close: return BruteErode(BruteDilate(in, f), f);
  }
  return in;
}

class MorphologyByDistance : public EngineTest {
 protected:
  // Runs an operation as the morphology command does, with the featureValue it passes.
  void Apply(Operation op, const Shape& s, int size, const DrawingTargets& targets) {
    engine.distanceFunction = s.function;
    triangleApex = {s.ax, s.ay};
    engine.t1Direction = s.function == distance_function::triangle ? t1_direction::atOrBelow
                                                                    : t1_direction::bothWays;
    engine.filterSize = size;
    switch (op) {
      case Operation::dilate:
        engine.processKind = process_kind::dilation;
        engine.DilateByDistance(targets, 1, size);
        break;
      case Operation::erode:
        engine.processKind = process_kind::erosion;
        engine.ErodeByDistance(targets, 0, size);
        break;
      case Operation::open:
        engine.processKind = process_kind::opening;
        engine.OpenByDistance(targets, 0, size);
        break;
      case Operation::close:
        engine.processKind = process_kind::closing;
        engine.CloseByDistance(targets, 1, size);
        break;
    }
  }
  Grid Run(Operation op, const Grid& input, const Shape& s, int size, bool draw = false) {
    SetInput(engine, input);
    engine.measureTime = draw ? 0 : 1;
    NullSurface nothing;
    Apply(op, s, size, DrawingTargets{&nothing, &nothing});
    return GridOf(InputImage);
  }
};

const Shape shapes[] = {{distance_function::euclid},
                        {distance_function::cityBlock},
                        {distance_function::chessboard},
                        {distance_function::triangle, 0, 150},
                        {distance_function::triangle, 150, 150},
                        {distance_function::triangle, -150, 300},
                        {distance_function::triangle, 37, 11},
                        {distance_function::triangle, -90, 60},
                        {distance_function::triangle, 90, 0}};

const char* Name(Operation op) {
  switch (op) {
    case Operation::dilate: return "dilation";
    case Operation::erode: return "erosion";
    case Operation::open: return "opening";
    case Operation::close: return "closing";
  }
  return "";
}

TEST_F(MorphologyByDistance, MatchesTheFilterDefinitionOnRandomImages) {
  std::mt19937 rng(2024);
  std::uniform_int_distribution<int> side(1, 12), sizes(0, 6);
  const double densities[] = {0.03, 0.3, 0.6, 0.9};
  int n = 0;
  for (const Shape& s : shapes) {
    for (Operation op : {Operation::dilate, Operation::erode, Operation::open, Operation::close}) {
      for (int k = 0; k < 24; ++k, ++n) {
        const int w = n % 9 == 0 ? 1 : side(rng), h = n % 9 == 1 ? 1 : side(rng);
        const Grid image = RandomGrid(rng, w, h, densities[n % 4]);
        const int size = k < 7 ? k : sizes(rng);
        ASSERT_EQ(Run(op, image, s, size), BruteForce(op, image, s, size))
            << Name(op) << " shape " << s.function << " apex " << s.ax << "," << s.ay << " size "
            << size << "\n"
            << ToString(image);
        // All three images hold the result, binary, ready for the next operation.
        EXPECT_EQ(GridOf(WorkImage), GridOf(InputImage));
        EXPECT_EQ(GridOf(DistanceMap), GridOf(InputImage));
      }
    }
  }
}

TEST_F(MorphologyByDistance, DrawingDoesNotChangeTheResult) {
  std::mt19937 rng(5);
  for (const Shape& s : {shapes[0], shapes[6]})
    for (Operation op : {Operation::open, Operation::close}) {
      const Grid image = RandomGrid(rng, 9, 8, 0.5);
      EXPECT_EQ(Run(op, image, s, 2, true), Run(op, image, s, 2, false));
    }
}

Grid SinglePixel(int w, int h, int y, int x) {
  Grid g(w, h);
  g.at(y, x) = 1;
  return g;
}

TEST_F(MorphologyByDistance, SmallFiltersHaveTheirKnownShapes) {
  const Grid dot = SinglePixel(9, 9, 4, 4);
  EXPECT_EQ(Run(Operation::dilate, dot, shapes[0], 0), dot);
  auto count = [](const Grid& g) { return std::count(g.values.begin(), g.values.end(), 1); };
  EXPECT_EQ(count(Run(Operation::dilate, dot, shapes[0], 1)), 9);   // 3 x 3 block
  EXPECT_EQ(count(Run(Operation::dilate, dot, shapes[0], 2)), 25);  // 5 x 5 block
  EXPECT_EQ(count(Run(Operation::dilate, dot, shapes[0], 3)), 45);  // 7 x 7 without corners
  EXPECT_EQ(count(Run(Operation::dilate, dot, shapes[1], 2)), 13);
  EXPECT_EQ(count(Run(Operation::dilate, dot, shapes[2], 2)), 25);
  // The default triangle of size 3: rows of 1, 3, 5 and 7 pixels, the widest on the pixel's row.
  EXPECT_EQ(ToString(Run(Operation::dilate, dot, shapes[3], 3)),
            ToString(GridFromRows({"000000000", "000010000", "000111000", "001111100",
                                   "011111110", "000000000", "000000000", "000000000",
                                   "000000000"})));
}

TEST_F(MorphologyByDistance, ErosionByTheTriangleLeavesAnUpsideDownHole) {
  Grid full(9, 9, 1);
  full.at(4, 4) = 0;
  EXPECT_EQ(ToString(Run(Operation::erode, full, shapes[3], 2)),
            ToString(GridFromRows({"111111111", "111111111", "111111111", "111111111",
                                   "110000011", "111000111", "111101111", "111111111",
                                   "111111111"})));
}

TEST_F(MorphologyByDistance, LargestSizeNeverReachesAMissingFeature) {
  const Grid empty(5, 4), full(5, 4, 1);
  for (const Shape& s : shapes) {
    EXPECT_EQ(Run(Operation::dilate, empty, s, 2147483647), empty);
    EXPECT_EQ(Run(Operation::erode, full, s, 2147483647), full);
    EXPECT_EQ(Run(Operation::erode, full, s, 3), full);  // the border is not background
  }
}

TEST_F(MorphologyByDistance, OpeningAndClosingEdgeCases) {
  const Shape square = shapes[2];
  const Grid two = GridFromRows({"000000", "011000", "011000", "000000"});
  EXPECT_EQ(Run(Operation::open, two, square, 1), Grid(6, 4));
  const Grid three = GridFromRows({"0000000", "0111000", "0111000", "0111000", "0000000"});
  EXPECT_EQ(Run(Operation::open, three, square, 1), three);
  const Grid hole = GridFromRows({"11111", "11111", "11011", "11111", "11111"});
  EXPECT_EQ(Run(Operation::close, hole, square, 1), Grid(5, 5, 1));
  // A block one pixel away from the top and left borders grows to them.
  const Grid block = GridFromRows({"000000", "011100", "011100", "011100", "000000", "000000"});
  EXPECT_EQ(Run(Operation::close, block, square, 1),
            GridFromRows({"111100", "111100", "111100", "111100", "000000", "000000"}));
}

TEST_F(MorphologyByDistance, OperationsBuildOnEachOther) {
  SetInput(engine, SinglePixel(7, 7, 3, 3));
  engine.measureTime = 1;
  NullSurface nothing;
  const DrawingTargets targets{&nothing, &nothing};
  Apply(Operation::dilate, shapes[2], 1, targets);
  Apply(Operation::dilate, shapes[2], 1, targets);
  EXPECT_EQ(InputImage.whiteCount, 25);
  EXPECT_EQ(InputImage.blackCount, 24);
  EXPECT_EQ(InputImage.kind, binaryKind);
  EXPECT_EQ(WorkImage.kind, binaryKind);
  EXPECT_EQ(engine.distanceReady, 0);
  EXPECT_EQ(engine.processKind, process_kind::dilation);
}

TEST_F(MorphologyByDistance, TriangleSettingsAreRestoredAfterEachHalf) {
  SetInput(engine, SinglePixel(7, 7, 3, 3));
  engine.measureTime = 1;
  NullSurface nothing;
  Apply(Operation::open, shapes[4], 1, DrawingTargets{&nothing, &nothing});
  EXPECT_EQ(engine.processKind, process_kind::opening);
  EXPECT_EQ(engine.t1Direction, t1_direction::atOrBelow);
  Apply(Operation::erode, shapes[4], 1, DrawingTargets{&nothing, &nothing});
  EXPECT_EQ(engine.processKind, process_kind::erosion);
  EXPECT_EQ(engine.t1Direction, t1_direction::atOrBelow);
}

TEST_F(MorphologyByDistance, OwnTimeReportForErosionOpeningAndClosingOnly) {
  services.clockStep = 1250;
  for (Operation op : {Operation::dilate, Operation::erode, Operation::open, Operation::close}) {
    services.messages.clear();
    Run(op, SinglePixel(5, 5, 2, 2), shapes[0], 1);
    if (op == Operation::dilate) {
      EXPECT_TRUE(services.messages.empty());
    } else {
      ASSERT_EQ(services.messages.size(), 1u) << Name(op);
      EXPECT_EQ(services.messages[0].text, "    1.25 秒かかりました");
      EXPECT_EQ(services.messages[0].caption, appTitle);
      EXPECT_EQ(services.messages[0].owner, MessageOwner::None);
    }
  }
  services.messages.clear();
  Run(Operation::erode, SinglePixel(5, 5, 2, 2), shapes[0], 1, true);
  EXPECT_TRUE(services.messages.empty());  // no report while drawing
}

TEST_F(MorphologyByDistance, DrawsProgressOnlyWhenNotTiming) {
  RecordingSurface a, b;
  SetInput(engine, SinglePixel(6, 5, 2, 2));
  engine.measureTime = 0;
  Apply(Operation::open, shapes[1], 1, DrawingTargets{&a, &b});
  // Two distance passes of two passes each, plus the intermediate redraw: 5 x 30 pixels, and the
  // erosion's column pass writes the one-row run at the foreground pixel twice.
  EXPECT_EQ(a.calls.size(), 151u);
  EXPECT_EQ(a.pixels, b.pixels);
  RecordingSurface c, d;
  SetInput(engine, SinglePixel(6, 5, 2, 2));
  engine.measureTime = 1;
  Apply(Operation::close, shapes[1], 1, DrawingTargets{&c, &d});
  EXPECT_TRUE(c.calls.empty());
}

TEST_F(MorphologyByDistance, FailedChecksChangeNothing) {
  NullSurface nothing;
  const DrawingTargets targets{&nothing, &nothing};
  engine.DilateByDistance(targets, 1, 2);
  engine.ThresholdErode(targets, 2);
  EXPECT_EQ(services.texts(), (std::vector<std::string>{"入力画像が取り込まれていません。",
                                                        "入力画像が取り込まれていません。"}));
  const Grid image = SinglePixel(4, 4, 1, 1);
  SetInput(engine, image);
  services.messages.clear();
  engine.distanceFunction = distance_function::none;
  engine.measureTime = 1;
  engine.ErodeByDistance(targets, 0, 1);
  engine.distanceFunction = distance_function::euclid;
  engine.ThresholdDilate(targets, 1);
  EXPECT_EQ(services.texts(), (std::vector<std::string>{"距離関数が選択されていません。",
                                                        "入力が距離変換結果ではありません。"}));
  EXPECT_EQ(services.messages[1].caption, "エラー");
  EXPECT_EQ(GridOf(InputImage), image);
  EXPECT_EQ(GridOf(WorkImage), image);
}

}  // namespace
}  // namespace dt::testing
