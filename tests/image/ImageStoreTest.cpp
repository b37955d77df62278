#include <gtest/gtest.h>

#include "support/EngineFixture.h"

namespace dt::testing {
namespace {

using ImageStore = EngineTest;

TEST_F(ImageStore, NewEngineResetsTheTriangleApex) {
  triangleApex = ApexPoint{40, 20};
  ImageEngine another;
  EXPECT_EQ(triangleApex, (ApexPoint{0, 150}));
  EXPECT_EQ(another.distanceFunction, 1);
  EXPECT_EQ(another.t1Direction, 1);
  EXPECT_EQ(another.measureTime, 0);
}

TEST_F(ImageStore, AdoptResultMakesAllThreeImagesEqualAndRecounts) {
  SetInput(engine, GridFromRows({"1010", "0011", "0000"}));
  engine.distanceReady = 1;
  WorkImage.rows[0][0] = 0;
  WorkImage.rows[2][3] = 1;
  WorkImage.rows[2][2] = 1;
  engine.AdoptResultAsInput();
  const Grid expected = GridFromRows({"0010", "0011", "0011"});
  EXPECT_EQ(GridOf(InputImage), expected);
  EXPECT_EQ(GridOf(DistanceMap), expected);
  EXPECT_EQ(GridOf(WorkImage), expected);
  EXPECT_EQ(InputImage.whiteCount, 5);
  EXPECT_EQ(InputImage.whiteCount + InputImage.blackCount, 12);
  EXPECT_EQ(engine.distanceReady, 0);
  EXPECT_TRUE(services.messages.empty());
}

TEST_F(ImageStore, AdoptResultBeforeAnyInputOnlyReports) {
  engine.AdoptResultAsInput();
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text, "入力画像が取り込まれていません。");
  EXPECT_EQ(services.messages[0].caption, "エラー");
}

TEST_F(ImageStore, AdoptResultTakesTheKindOfTheResult) {
  SetInput(engine, GridFromRows({"10", "01"}));
  WorkImage.kind = distanceKind;
  WorkImage.rows[0][1] = 7;
  engine.AdoptResultAsInput();
  EXPECT_EQ(InputImage.kind, distanceKind);
  EXPECT_EQ(InputImage.whiteCount, 2);  // 7 is not white
  EXPECT_EQ(InputImage.blackCount, 2);
}

TEST_F(ImageStore, CopyInputToWorkBeforeAnyInputDoesNothing) {
  engine.CopyInputToWork();
  EXPECT_EQ(WorkImage.rows, nullptr);
  EXPECT_TRUE(services.messages.empty());
}

TEST_F(ImageStore, FreeImagesTwiceKeepsSizesAndFilter) {
  SetInput(engine, GridFromRows({"101", "001"}));
  SetFilter(engine, GridFromRows({"1"}));
  engine.FreeImages();
  engine.FreeImages();
  EXPECT_EQ(InputImage.rows, nullptr);
  EXPECT_EQ(WorkImage.rows, nullptr);
  EXPECT_EQ(DistanceMap.rows, nullptr);
  EXPECT_NE(FilterImage.rows, nullptr);
  EXPECT_EQ(InputImage.width, 3);
  EXPECT_EQ(InputImage.whiteCount, 3);
}

TEST_F(ImageStore, WorkImagesFollowTheInputSize) {
  SetInput(engine, GridFromRows({"1010", "0011", "0000"}));
  SetInput(engine, GridFromRows({"1", "0"}));
  EXPECT_EQ(WorkImage.width, 1);
  EXPECT_EQ(DistanceMap.height, 2);
  EXPECT_EQ(GridOf(WorkImage), GridFromRows({"1", "0"}));
  EXPECT_EQ(WorkImage.kind, binaryKind);
}

}  // namespace
}  // namespace dt::testing
