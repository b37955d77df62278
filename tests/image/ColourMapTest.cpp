// The arithmetic of the colour view: which entry of the colour map a distance takes, and the
// range a map spans. (The window tests check the pixels drawn with it.)
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "image/ColourMap.h"
#include "support/Grid.h"

namespace dt::testing {
namespace {

ImageRecord RecordOfMap(const Grid& map) {
  ImageRecord record;
  record.width = map.width;
  record.height = map.height;
  record.kind = distanceKind;
  record.rows.Allocate(map.width, map.height);
  std::copy(map.values.begin(), map.values.end(), record.rows.data());
  return record;
}

// [min, max] in 256 equal parts: min takes the first entry, max the last, and the entries rise
// with the distance, even over the whole range of 32-bit distances.
TEST(ColourMap, TheRangeIsCutIntoEqualParts) {
  const DistanceRange small{10, 14, true};
  EXPECT_EQ(ColourIndex(10, small), 0);
  EXPECT_EQ(ColourIndex(11, small), 64);
  EXPECT_EQ(ColourIndex(13, small), 192);
  EXPECT_EQ(ColourIndex(14, small), 255);
  const DistanceRange whole{0, noFeature - 1, true};
  EXPECT_EQ(ColourIndex(0, whole), 0);
  EXPECT_EQ(ColourIndex(noFeature / 2, whole), 128);
  EXPECT_EQ(ColourIndex(noFeature - 1, whole), 255);
  const DistanceRange wide{0, 1000, true};
  for (int32_t d = 1; d <= 1000; ++d)
    EXPECT_LE(ColourIndex(d - 1, wide), ColourIndex(d, wide)) << d;
  // One distance only: it takes the first entry.
  EXPECT_EQ(ColourIndex(7, DistanceRange{7, 7, true}), 0);
}

// noFeature has its own colour, which no entry has; the ends are viridis's published ones.
TEST(ColourMap, NoFeatureIsNotAnEntry) {
  const DistanceRange range{0, 100, true};
  EXPECT_EQ(DistanceColour(noFeature, range), noFeatureColour);
  EXPECT_EQ(DistanceColour(0, range), ViridisColour(0));
  EXPECT_EQ(DistanceColour(100, range), ViridisColour(255));
  std::set<uint32_t> entries;
  for (int i = 0; i < colourMapSize; ++i) entries.insert(ViridisColour(i));
  EXPECT_EQ(entries.count(noFeatureColour), 0u);
  EXPECT_GE(entries.size(), 250u);
  EXPECT_EQ(ViridisColour(0), 0x440154u);
  EXPECT_EQ(ViridisColour(255), 0xFDE725u);
}

// The range of a map leaves noFeature out; a map of noFeature alone has none.
TEST(ColourMap, TheRangeLeavesNoFeatureOut) {
  Grid map(3, 2, noFeature);
  EXPECT_FALSE(RangeOf(RecordOfMap(map)).any);
  map.at(0, 1) = 5;
  map.at(1, 2) = 40;
  const DistanceRange range = RangeOf(RecordOfMap(map));
  EXPECT_TRUE(range.any);
  EXPECT_EQ(range.min, 5);
  EXPECT_EQ(range.max, 40);
  EXPECT_FALSE(RangeOf(ImageRecord()).any);
}

}  // namespace
}  // namespace dt::testing
