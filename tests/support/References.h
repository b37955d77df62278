// The tests' truth: slow, obviously right definitions written independently of the engine. Every
// distance reference derives from one exact cost per measure, so the brute-force transform, the
// balls of morphology and the candidates of a row cannot disagree with each other.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/Grid.h"

namespace dt {
void PrintTo(const Measure& m, std::ostream* os);  // found by GoogleTest beside Measure
}

namespace dt::testing {

// Every measure worth telling apart: the three symmetric ones, and triangles of many apexes,
// flat ones (apex on the base) included, in both orientations.
std::vector<Measure> AllMeasures();

// The cost from a pixel to a feature pixel dy rows above and dx columns left of it: an exact
// integer ordered like the distances (for the triangle scaled by the apex height), or nothing
// when the measure does not reach it (the triangle only looks towards its apex side: below the
// pixel, or above it when reflected).
std::optional<int64_t> Cost(const Measure& m, int64_t dy, int64_t dx);
// The stored distance of a cost: the exact distance rounded down.
int64_t Stored(const Measure& m, int64_t cost);
// The stored distance, or noFeature when the feature pixel is out of reach.
int32_t Distance(const Measure& m, int64_t dy, int64_t dx);

// The distance map by brute force: every pixel against every pixel equal to featureValue.
Grid ReferenceTransform(const Grid& image, int featureValue, const Measure& m);
// Where a feature transform ((row, column) pairs for the map's pixels, row after row) fails the
// map of the image: "" when each pair is (-1, -1) exactly where the map holds noFeature and
// otherwise a pixel equal to featureValue at the map's distance and, on pictures of at most
// 4096 pixels, at the least cost of all where the stored distance rounds the cost down (Euclid's
// squared distance, the triangle's), else the first that fails.
std::string NearestFault(const Grid& image, int featureValue, const Measure& m, const Grid& map,
                         const int32_t* pairs);

// A filter as offsets (dy down, dx right) from its origin.
using Offsets = std::vector<std::pair<int, int>>;
// The ball of a shape (the measure, never reflected) and size: the offsets within the size.
Offsets BallOffsets(const Measure& shape, int size);
// The foreground pixels of a filter image, from its origin at (height / 2, width / 2).
Offsets FilterOffsets(const Grid& filter);
// Morphology by an offset set: pixels outside the image contribute nothing to a dilation and are
// not tested by an erosion; an erosion keeps only foreground pixels.
Grid ReferenceMorphology(Operation operation, const Grid& image, const Offsets& filter);

// Along row r, the distance from column c to the nearest pixel equal to value at or behind it
// (to its left when leftToRight), noFeature when there is none.
int32_t RowDistance(const Grid& g, int r, int c, int32_t value, bool leftToRight);

// The screen colour of a distance: white at 0, 16 levels darker per unit, black from 16 on.
uint32_t GreyOf(int32_t distance);

}  // namespace dt::testing
