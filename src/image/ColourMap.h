// The colours of the colour view of a distance map: viridis, a perceptual colour map (its
// lightness rises evenly and it reads the same to most colour-blind eyes and in grey print),
// stretched over the finite distances of the map, and one colour outside it for "no feature
// pixel". Pure data and arithmetic: the window draws with it (src/image/gui/ColourView.cpp).
#pragma once

#include <cstdint>

#include "image/ImageRecord.h"

namespace dt {

// Entries of the colour map.
constexpr int colourMapSize = 256;

// Entry index (0 .. 255) of viridis as 0xRRGGBB, each channel the published value times 255,
// rounded: entry 0 is dark violet (0x440154), entry 255 yellow (0xFDE725).
uint32_t ViridisColour(int index);

// The colour of noFeature: a mid grey, which viridis never gives.
constexpr uint32_t noFeatureColour = 0x808080;

// The finite distances of a map: their smallest and largest value. `any` is false when the map
// holds no finite value (no feature pixel at all); min and max are 0 then.
struct DistanceRange {
  int32_t min = 0;
  int32_t max = 0;
  bool any = false;
};
DistanceRange RangeOf(const ImageRecord& map);

// The entry of distance `value` (finite, within range): [min, max] is cut into 256 equal parts,
// lowest first, max itself taking the last entry, so min gives entry 0 and max entry 255. When
// min equals max the range is taken as [min, min + 1].
int ColourIndex(int32_t value, const DistanceRange& range);

// The colour of any value of the map: its entry, or noFeatureColour for noFeature.
uint32_t DistanceColour(int32_t value, const DistanceRange& range);

}  // namespace dt
