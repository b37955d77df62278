// The arithmetic of the colour view where the window tests cannot reach: distances over the
// whole 32-bit range, and a map of a single distance. (The window tests check the pixels.)
#include <gtest/gtest.h>

#include "image/ColourMap.h"

namespace dt::testing {
namespace {

TEST(ColourMap, TheRangeIsCutIntoEqualPartsWithoutOverflow) {
  const DistanceRange whole{0, noFeature - 1, true};
  EXPECT_EQ(ColourIndex(0, whole), 0);
  EXPECT_EQ(ColourIndex(noFeature / 2, whole), 128);
  EXPECT_EQ(ColourIndex(noFeature - 1, whole), 255);
  const DistanceRange small{10, 14, true};
  EXPECT_EQ(ColourIndex(11, small), 64);
  EXPECT_EQ(ColourIndex(14, small), 255);
  EXPECT_EQ(ColourIndex(7, DistanceRange{7, 7, true}), 0);  // one distance: the first entry
  EXPECT_EQ(DistanceColour(noFeature, whole), noFeatureColour);
}

}  // namespace
}  // namespace dt::testing
