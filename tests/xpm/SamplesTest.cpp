// The sample pictures that come with the program load and are what they claim to be.
#include <gtest/gtest.h>

#include "support/EngineFixture.h"

namespace dt::testing {
namespace {

std::string Sample(const std::string& name) { return std::string(DT_SAMPLES_DIR) + "/" + name; }

using Samples = EngineTest;

TEST_F(Samples, TheSceneLoadsAtThreeSizesThatLookAlike) {
  double fraction[3];
  const int widths[3] = {640, 320, 160};
  for (int i = 0; i < 3; ++i) {
    const std::string name = "sample1-" + std::to_string(widths[i]) + ".xpm";
    ASSERT_TRUE(engine.LoadInputImage(Sample(name))) << name;
    EXPECT_EQ(InputImage.width, widths[i]);
    EXPECT_EQ(InputImage.height, widths[i] * 3 / 4);
    EXPECT_EQ(InputImage.whiteCount + InputImage.blackCount, InputImage.width * InputImage.height);
    fraction[i] = double(InputImage.whiteCount) / (InputImage.width * InputImage.height);
    // Shapes touch the border: white pixels on the left, top, right and bottom edges.
    const Grid g = GridOf(InputImage);
    bool left = false, right = false, top = false, bottom = false;
    for (int r = 0; r < g.height; ++r) left |= g.at(r, 0) == 1, right |= g.at(r, g.width - 1) == 1;
    for (int c = 0; c < g.width; ++c) top |= g.at(0, c) == 1, bottom |= g.at(g.height - 1, c) == 1;
    EXPECT_TRUE(left && right && top && bottom) << name;
  }
  EXPECT_GT(fraction[0], 0.15);
  EXPECT_LT(fraction[0], 0.5);
  EXPECT_NEAR(fraction[1], fraction[0], 0.02);
  EXPECT_NEAR(fraction[2], fraction[0], 0.03);
  EXPECT_TRUE(services.messages.empty());
}

TEST_F(Samples, SquareIsOneWhiteSquare) {
  ASSERT_TRUE(engine.LoadInputImage(Sample("square.xpm")));
  const Grid g = GridOf(InputImage);
  int top = g.height, bottom = -1, left = g.width, right = -1;
  for (int r = 0; r < g.height; ++r)
    for (int c = 0; c < g.width; ++c)
      if (g.at(r, c) == 1) {
        top = std::min(top, r), bottom = std::max(bottom, r);
        left = std::min(left, c), right = std::max(right, c);
      }
  ASSERT_GE(bottom, 0);
  EXPECT_EQ(bottom - top, right - left);
  EXPECT_EQ(InputImage.whiteCount, (bottom - top + 1) * (right - left + 1));  // filled
  EXPECT_GT(top, 0);
  EXPECT_LT(bottom, g.height - 1);
}

TEST_F(Samples, FilterHasRowsWithGapsAndAForegroundOrigin) {
  ASSERT_TRUE(engine.LoadFilterImage(Sample("filterQX15.xpm")));
  ASSERT_EQ(FilterImage.width, 15);
  ASSERT_EQ(FilterImage.height, 15);
  EXPECT_EQ(FilterImage.originRow, 7);
  EXPECT_EQ(FilterImage.originCol, 7);
  EXPECT_EQ(FilterImage.rows[7][7], 1);
  int rowsWithGaps = 0;
  for (int r = 0; r < 15; ++r) {
    int runs = 0;
    for (int c = 0; c < 15; ++c)
      if (FilterImage.rows[r][c] == 1 && (c == 0 || FilterImage.rows[r][c - 1] == 0)) ++runs;
    EXPECT_GE(runs, 1) << "row " << r;
    rowsWithGaps += runs > 1;
  }
  EXPECT_GE(rowsWithGaps, 10);
}

}  // namespace
}  // namespace dt::testing
