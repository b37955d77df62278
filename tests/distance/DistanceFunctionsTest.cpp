#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <limits>
#include <random>

#include "distance/DistanceFunctions.h"
#include "distance/RowPasses.h"
#include "support/EngineFixture.h"

namespace dt::testing {
namespace {

class DistanceFunctions : public EngineTest {
 protected:
  // One row of column distances G in DistanceMap, as the row passes see it.
  void SetColumnDistances(const std::vector<int32_t>& g) {
    SetInput(engine, Grid(static_cast<int>(g.size()), 1));
    for (std::size_t c = 0; c < g.size(); ++c) DistanceMap.rows[0][c] = g[c];
  }
  double Candidate(int x, int i, int32_t g) {
    std::vector<int32_t> row(std::max(x, i) + 1, 0);
    row[i] = g;
    SetColumnDistances(row);
    return engine.CandidateDistance(0, x, i);
  }
  double Boundary(int i, int u, int32_t gi, int32_t gu) {
    std::vector<int32_t> row(u + 1, 0);
    row[i] = gi;
    row[u] = gu;
    SetColumnDistances(row);
    return engine.EnvelopeBoundary(0, u, i);
  }
};

TEST_F(DistanceFunctions, CandidateExamples) {
  engine.distanceFunction = distance_function::euclid;
  EXPECT_NEAR(Candidate(3, 2, 1), 1.41421356, 1e-8);
  engine.distanceFunction = distance_function::chessboard;
  EXPECT_EQ(Candidate(5, 2, 2), 3.0);
  EXPECT_EQ(Candidate(3, 2, 2), 2.0);
  engine.distanceFunction = distance_function::cityBlock;
  EXPECT_EQ(Candidate(0, 4, 3), 7.0);
}

TEST_F(DistanceFunctions, TriangleCandidateFollowsApexAndReflection) {
  engine.distanceFunction = distance_function::triangle;
  triangleApex = {150, 150};
  engine.processKind = process_kind::dilation;
  EXPECT_EQ(Candidate(5, 2, 1), 3.0);
  engine.processKind = process_kind::erosion;
  EXPECT_EQ(Candidate(5, 2, 1), 5.0);
  // A flat triangle sees only feature pixels on the row itself.
  triangleApex = {90, 0};
  EXPECT_EQ(Candidate(5, 2, 0), 3.0);
  EXPECT_TRUE(std::isinf(Candidate(5, 2, 1)));
  // Apex (37, 11): |11*3 - 37*2| + 300 = 341, over 11.
  triangleApex = {37, 11};
  engine.processKind = process_kind::dilation;
  EXPECT_DOUBLE_EQ(Candidate(5, 2, 2), 341.0 / 11.0);
}

TEST_F(DistanceFunctions, BoundaryExamples) {
  engine.distanceFunction = distance_function::euclid;
  EXPECT_EQ(Boundary(0, 2, 3, 2), -1.0);  // -1/4 rounds down: column 0 goes to column 2 (2^2+2^2 < 3^2)
  EXPECT_EQ(Boundary(0, 1, 1, 1), 0.0);
  EXPECT_EQ(Boundary(0, 2, 0, 0), 1.0);  // the middle column stays with the older one
  engine.distanceFunction = distance_function::cityBlock;
  EXPECT_EQ(Boundary(0, 1, 0, 5), 2147483647.0);
  EXPECT_EQ(Boundary(0, 1, 1, 1), 0.0);  // the crossing 0.5 as a whole column
  EXPECT_EQ(Boundary(0, 1, 3, 0), -2147483648.0);
  // A tie up to column 1 (both give 1 there) keeps column 1 with the older candidate.
  EXPECT_EQ(Boundary(1, 2, 1, 0), 1.0);
  engine.distanceFunction = distance_function::chessboard;
  EXPECT_EQ(Boundary(0, 4, 1, 1), 2.0);
  EXPECT_EQ(Boundary(0, 2, 3, 1), -1.0);
  EXPECT_EQ(Boundary(0, 3, 1, 2), 2.0);  // at column 2 both give 2: the older keeps it
}

TEST_F(DistanceFunctions, TriangleWithDefaultApexIsCityBlock) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> column(0, 12), g(0, 9);
  for (int n = 0; n < 300; ++n) {
    int i = column(rng), u = column(rng);
    if (i == u) continue;
    if (i > u) std::swap(i, u);
    const int gi = g(rng), gu = g(rng);
    engine.distanceFunction = distance_function::cityBlock;
    const double cityBoundary = Boundary(i, u, gi, gu);
    engine.distanceFunction = distance_function::triangle;
    triangleApex = {0, 150};
    EXPECT_EQ(Boundary(i, u, gi, gu), cityBoundary) << i << " " << u << " " << gi << " " << gu;
    for (int x = 0; x <= 12; ++x) {
      engine.distanceFunction = distance_function::cityBlock;
      const double expected = engine.CandidateDistance(0, x, u);
      engine.distanceFunction = distance_function::triangle;
      EXPECT_EQ(engine.CandidateDistance(0, x, u), expected);
    }
  }
}

// The candidates compared exactly, straight from their definitions; the triangle on the common
// denominator apexY (or unscaled when flat, where only G = 0 counts).
struct Definition {
  int metric;
  int ax = 0, ay = 150;
  bool reflected = false;
  // Returns false when the candidate does not take part.
  bool Scaled(int64_t x, int64_t i, int64_t g, int64_t& out) const {
    const int64_t dx = x - i;
    switch (metric) {
      case distance_function::euclid: out = dx * dx + g * g; return true;
      case distance_function::cityBlock: out = std::llabs(dx) + g; return true;
      case distance_function::chessboard: out = std::max<int64_t>(std::llabs(dx), g); return true;
      default:
        if (ay == 0) {
          out = std::llabs(dx);
          return g == 0;
        }
        out = std::llabs(ay * dx - (reflected ? -ax : ax) * g) + 150 * g;
        return true;
    }
  }
};

TEST_F(DistanceFunctions, OlderCandidateWinsOnAPrefixEndingAtTheBoundary) {
  std::mt19937 rng(11);
  const std::vector<Definition> definitions = {
      {distance_function::euclid},          {distance_function::cityBlock},
      {distance_function::chessboard},      {distance_function::triangle, 0, 150},
      {distance_function::triangle, 150, 150}, {distance_function::triangle, -150, 300},
      {distance_function::triangle, 37, 11},   {distance_function::triangle, 37, 11, true},
      {distance_function::triangle, -150, 1},  {distance_function::triangle, 150, 1, true},
      {distance_function::triangle, 90, 0},    {distance_function::triangle, 120, 7, true}};
  std::uniform_int_distribution<int> column(0, 14), g(0, 6);
  for (const Definition& d : definitions) {
    engine.distanceFunction = d.metric;
    triangleApex = {d.ax, d.ay};
    engine.processKind = d.reflected ? process_kind::erosion : process_kind::dilation;
    for (int n = 0; n < 150; ++n) {
      int i = column(rng), u = column(rng);
      if (i == u) continue;
      if (i > u) std::swap(i, u);
      const int gi = g(rng), gu = g(rng);
      const double boundary = Boundary(i, u, gi, gu);
      const int64_t span = 40 + u + 450 * (gi + gu) / std::max(d.ay, 1);
      bool seenLoss = false;
      int64_t lastWin = INT64_MIN;
      for (int64_t x = -span; x <= span; ++x) {
        int64_t ci = 0, cu = 0;
        const bool iIn = d.Scaled(x, i, gi, ci), uIn = d.Scaled(x, u, gu, cu);
        const bool olderAtLeastAsGood = !uIn || (iIn && ci <= cu);
        if (olderAtLeastAsGood) {
          ASSERT_FALSE(seenLoss) << "not a prefix: metric " << d.metric << " apex " << d.ax << ","
                                 << d.ay << " i=" << i << " u=" << u << " gi=" << gi
                                 << " gu=" << gu;
          lastWin = x;
        } else {
          seenLoss = true;
        }
      }
      SCOPED_TRACE(::testing::Message() << "metric " << d.metric << " apex " << d.ax << ","
                                        << d.ay << " i=" << i << " u=" << u << " gi=" << gi
                                        << " gu=" << gu);
      if (lastWin == INT64_MIN)
        EXPECT_EQ(boundary, -2147483648.0);
      else if (!seenLoss)
        EXPECT_EQ(boundary, 2147483647.0);
      else
        EXPECT_EQ(boundary, static_cast<double>(lastWin));
    }
  }
}

TEST_F(DistanceFunctions, UnknownDistanceFunctionEndsTheProcessSilently) {
  SetColumnDistances({0, 1, 2});
  engine.distanceFunction = 5;
  try {
    engine.CandidateDistance(0, 1, 0);
    FAIL() << "expected the process to end";
  } catch (const ProcessExited& e) {
    EXPECT_EQ(e.status, 1);
  }
  EXPECT_THROW(engine.EnvelopeBoundary(0, 2, 0), ProcessExited);
  EXPECT_TRUE(services.messages.empty());
}

// Rows taken several at once, as the transform hands them over: each row of a batch must come
// out as if it were alone. The G values straddle 2^15, where the Euclidean sweep stops marking
// candidates as beaten, and the rows of one batch differ in kind (scattered large G, runs of 0,
// rows without any candidate), so that one row's marks cannot pass for another's.
TEST(RowSweeps, BatchesOfRowsEqualEveryCandidateRowByRow) {
  std::mt19937 rng(77);
  const auto check = [&](const auto& metric) {
    for (int width : {1, 2, 5, 33, 200}) {
      RowScratch scratch(width);
      for (int batch = 0; batch < 500; ++batch) {
        const int rows = 1 + batch % envelopeRowsAtOnce;
        std::vector<std::vector<int32_t>> g(rows, std::vector<int32_t>(std::size_t(width)));
        std::vector<std::vector<int32_t>> out(g), want(g);
        for (int r = 0; r < rows; ++r) {
          const int kind = (batch + r) % 5;
          const int32_t base = std::array<int32_t, 5>{32766, 0, 0, 0, 32700}[kind];
          const int32_t spread = std::array<int32_t, 5>{4, 3, 40000, 0, 200}[kind];
          std::uniform_int_distribution<int32_t> value(base, base + spread);
          std::bernoulli_distribution absent(kind == 3 ? 1.0 : 0.2);
          for (auto& v : g[r]) v = absent(rng) ? noFeature : value(rng);
          ExhaustiveRow(metric, g[r].data(), width, want[r].data());
        }
        std::vector<const int32_t*> in;
        std::vector<int32_t*> to;
        for (int r = 0; r < rows; ++r) {
          in.push_back(g[r].data());
          to.push_back(out[r].data());
        }
        EnvelopeRows(metric, in.data(), to.data(), rows, width, scratch);
        for (int r = 0; r < rows; ++r)
          ASSERT_EQ(out[r], want[r]) << "width " << width << " batch " << batch << " row " << r;
      }
    }
  };
  check(EuclidMetric{});
  check(TriangleMetric(37, 11, false));
  check(CityBlockMetric{});
  check(ChessboardMetric{});
}

// In rows wider than their column distances are tall, a candidate with a large G can tie at its
// own column with one on its left and still win everywhere to its right. The Euclidean sweep
// must not take such a column for beaten just because its G lies beyond the range it marks
// (2^15 and up).
TEST(RowSweeps, EuclidKeepsFarReachingCandidatesWithLargeColumnDistances) {
  for (int32_t gu : {32767, 32768, 40000}) {
    const int width = 3 * gu + 10;
    const int t = 5, u = t + gu;  // t: a feature pixel on the row, as far from u as u's own G
    std::vector<int32_t> g(std::size_t(width), noFeature), out(g.size());
    g[std::size_t(t)] = 0;
    g[std::size_t(u)] = gu;
    RowScratch scratch(width);
    EnvelopeRow(EuclidMetric{}, g.data(), width, scratch, out.data());
    for (int x : {0, t, u, u + 1, u + gu, width - 1}) {
      const int64_t best = std::min(EuclidMetric::Cost(x - t, 0), EuclidMetric::Cost(x - u, gu));
      EXPECT_EQ(out[std::size_t(x)], EuclidMetric::Store(best)) << "G " << gu << " column " << x;
    }
  }
}

}  // namespace
}  // namespace dt::testing

namespace dt::testing {
namespace {

TEST(IntegerHelpers, FastFloorDivRoundsDownLikeTheIntegerDivision) {
  std::mt19937_64 rng(3);
  const int64_t magnitudes[] = {10, 1000, int64_t{1} << 31, int64_t{1} << 52, int64_t{1} << 53,
                                int64_t{1} << 60};
  for (int64_t m : magnitudes) {
    std::uniform_int_distribution<int64_t> a(-m, m), b(1, 100000);
    for (int n = 0; n < 20000; ++n) {
      const int64_t x = a(rng), y = b(rng);
      ASSERT_EQ(FastFloorDiv(x, y), FloorDiv(x, y)) << x << " / " << y;
      ASSERT_EQ(FloorDiv(x, y), static_cast<int64_t>(std::floor(static_cast<long double>(x) / y)));
    }
  }
  EXPECT_EQ(FastFloorDiv(-1, 4), -1);
  EXPECT_EQ(FastFloorDiv(-8, 4), -2);
  EXPECT_EQ(FastFloorDiv((int64_t{1} << 53) - 1, 1), (int64_t{1} << 53) - 1);
}

TEST(IntegerHelpers, EuclideanRowStoreIsTheExactFloorOfTheRoot) {
  // Every squared distance the single-precision path may see, and the wide path beyond it.
  std::vector<int64_t> costs(EuclidMetric::floatExactBelow);
  for (std::size_t n = 0; n < costs.size(); ++n) costs[n] = static_cast<int64_t>(n);
  std::vector<int32_t> out(costs.size());
  const std::vector<int32_t> g(costs.size(), 1);  // no feature pixel on the row
  EuclidMetric::StoreRow(costs.data(), g.data(), out.data(), static_cast<int>(costs.size()),
                         static_cast<int64_t>(costs.size()) - 1);
  for (int64_t r = 0; r * r < static_cast<int64_t>(costs.size()); ++r) {
    ASSERT_EQ(out[r * r], r);
    if (r > 0) {
      ASSERT_EQ(out[r * r - 1], r - 1);
    }
  }
  const int64_t wide[] = {(int64_t{1} << 52) - 1, int64_t{1} << 52, 4503599761588224,
                          (int64_t{3037000499} * 3037000499) - 1};
  for (int64_t v : wide) {
    const int64_t r = FloorSqrt(v);
    EXPECT_LE(r * r, v);
    EXPECT_GT((r + 1) * (r + 1), v);
  }
}


// Algorithm 1's row pass of every metric (the envelope, or two sweeps) against every candidate
// of the row, on rows the image transforms rarely produce: G beyond the width, columns
// without a candidate, long runs of equal G; one scratch serves all rows, every other row in place.
template <class Metric>
void ExpectSweepsEqualEveryCandidate(const Metric& metric) {
  std::mt19937 rng(2024);
  const int widths[] = {1, 2, 3, 7, 16, 41};
  for (int width : widths) {
    RowScratch scratch(width);
    std::vector<int32_t> g(static_cast<std::size_t>(width)), out(g.size()), want(g.size());
    for (int row = 0; row < 3000; ++row) {
      const int top = std::array<int, 4>{1, 4, width, 3 * width}[row % 4];
      std::uniform_int_distribution<int> value(0, top);
      std::bernoulli_distribution absent(std::array<double, 3>{0.0, 0.3, 0.9}[row % 3]);
      for (auto& v : g) v = absent(rng) ? noFeature : value(rng);
      ExhaustiveRow(metric, g.data(), width, want.data());
      if (row % 2 == 0) {
        EnvelopeRow(metric, g.data(), width, scratch, out.data());
      } else {
        out = g;
        EnvelopeRow(metric, out.data(), width, scratch, out.data());
      }
      ASSERT_EQ(out, want) << "width " << width << " row " << row;
    }
  }
}

TEST(RowSweeps, ChessboardEqualsEveryCandidateOnRandomRows) {
  ExpectSweepsEqualEveryCandidate(ChessboardMetric{});
}

TEST(RowSweeps, CityBlockEqualsEveryCandidateOnRandomRows) {
  ExpectSweepsEqualEveryCandidate(CityBlockMetric{});
}

TEST(RowSweeps, EuclidEnvelopeEqualsEveryCandidateOnRandomRows) {
  ExpectSweepsEqualEveryCandidate(EuclidMetric{});
}

TEST(RowSweeps, TriangleEnvelopeEqualsEveryCandidateOnRandomRows) {
  for (const auto& apex : {std::array<int, 2>{0, 150}, {150, 150}, {-150, 300}, {37, 11},
                           {90, 0}}) {
    ExpectSweepsEqualEveryCandidate(TriangleMetric(apex[0], apex[1], false));
    ExpectSweepsEqualEveryCandidate(TriangleMetric(apex[0], apex[1], true));
  }
}

}  // namespace
}  // namespace dt::testing
