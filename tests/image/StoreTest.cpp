// What every computation needs before it starts.
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
  std::vector<std::function<void()>> needInput, needFilter;
  for (const TransformAlgorithmInfo& a : transformAlgorithms)
    needInput.push_back([&] { RunDistanceTransform(engine, {}, {a.value, Measure{}}); });
  for (const OperationInfo& o : operations) {
    needInput.push_back([&] { RunDistanceMorphology(engine, {}, {o.value, Ball{}}); });
    for (const FilterMethodInfo& m : filterMethods)
      needFilter.push_back([&] { RunFilterMorphology(engine, {}, m.value, o.value); });
  }
  for (const auto* computations : {&needInput, &needFilter})
    for (const auto& computation : *computations) {
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

}  // namespace
}  // namespace dt::testing
