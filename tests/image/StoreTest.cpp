// The image store: what every computation needs before it starts, and adopting a result.
#include <functional>

#include "distance/TransformOperations.h"
#include "filtermorph/FilterOperations.h"
#include "morphology/MorphologyOperations.h"
#include "support/EngineTest.h"

namespace dt::testing {
namespace {

using Store = EngineTest;

// Every computation says what it misses, in the same words, and changes nothing.
TEST_F(Store, EveryComputationRefusesWithoutItsImages) {
  const auto run = [&](auto call) { return std::function<void()>([this, call] { call(engine); }); };
  std::vector<std::function<void()>> needInput, needFilter;
  for (const TransformAlgorithmInfo& algorithm : transformAlgorithms)
    needInput.push_back(run([a = algorithm.value](ImageEngine& e) { RunDistanceTransform(e, {}, {a, Measure{}}); }));
  for (const OperationInfo& operation : operations) {
    needInput.push_back(run([o = operation.value](ImageEngine& e) { RunDistanceMorphology(e, {}, {o, Ball{}}); }));
    for (const FilterMethodInfo& method : filterMethods)
      needFilter.push_back(run([o = operation.value, m = method.value](ImageEngine& e) { RunFilterMorphology(e, {}, m, o); }));
  }
  needInput.insert(needInput.end(), needFilter.begin(), needFilter.end());
  for (const auto& computation : needInput) {
    services.messages.clear();
    computation();
    EXPECT_EQ(services.texts(), std::vector<std::string>{"入力画像が取り込まれていません。"});
    EXPECT_EQ(services.messages[0].caption, "エラー");
  }
  const Grid image = GridFromRows({"010", "111"});
  SetInput(engine, image);
  for (const auto& computation : needFilter) {
    services.messages.clear();
    computation();
    EXPECT_EQ(services.texts(), std::vector<std::string>{"フィルタ画像が取り込まれていません。"});
    EXPECT_EQ(GridOf(InputImage), image);
    EXPECT_EQ(GridOf(WorkImage), image);
  }
}

TEST_F(Store, AdoptingAResultMakesAllThreeImagesEqualAndRecounts) {
  SetInput(engine, GridFromRows({"1010", "0011", "0000"}));
  engine.distanceReady = 1;
  WorkImage.kind = distanceKind;
  WorkImage.rows[0][0] = 7;  // only 1 counts as white
  WorkImage.rows[2][3] = 1;
  engine.AdoptResultAsInput();
  Grid expected = GridFromRows({"0010", "0011", "0001"});
  expected.at(0, 0) = 7;
  for (const ImageRecord* image : {&InputImage, &WorkImage, &DistanceMap})
    EXPECT_EQ(GridOf(*image), expected);
  EXPECT_EQ(InputImage.kind, distanceKind);
  EXPECT_EQ(InputImage.whiteCount, 4);
  EXPECT_EQ(InputImage.blackCount, 8);
  EXPECT_EQ(engine.distanceReady, 0);
  // A new engine (as each input view makes) puts the triangle's apex back.
  triangleApex = ApexPoint{40, 20};
  ImageEngine another;
  EXPECT_EQ(triangleApex, (ApexPoint{0, 150}));
}

}  // namespace
}  // namespace dt::testing
