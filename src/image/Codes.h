// The codes the engine keeps for every choice, in one place for the dialogs, the command-line
// tool and the tests.
#pragma once

#include <cstdint>

namespace dt {

// distanceFunction: the distance function, which is also the filter shape.
namespace distance_function {
constexpr int32_t none = 0;
constexpr int32_t euclid = 1;      // circle
constexpr int32_t cityBlock = 2;   // diamond
constexpr int32_t chessboard = 3;  // square
constexpr int32_t triangle = 4;    // the custom triangle
}  // namespace distance_function

// processKind: the processing chosen last.
namespace process_kind {
constexpr int32_t none = 0;
constexpr int32_t transform1 = 1;  // distance transform algorithm 1 ("UDT")
constexpr int32_t dilation = 2;
constexpr int32_t erosion = 3;
constexpr int32_t transform2 = 4;       // distance transform algorithm 2
constexpr int32_t simpleTransform = 5;  // the exhaustive simple transform
constexpr int32_t opening = 7;
constexpr int32_t closing = 8;
}  // namespace process_kind

// t1Direction: where the column pass looks for feature pixels.
namespace t1_direction {
constexpr int32_t bothWays = 1;
constexpr int32_t atOrBelow = 2;
constexpr int32_t atOrAbove = 3;
}  // namespace t1_direction

// filterOperation and filterAlgorithm of filter-image morphology.
namespace filter_operation {
constexpr int32_t dilation = 0;
constexpr int32_t erosion = 1;
constexpr int32_t opening = 2;
constexpr int32_t closing = 3;
}  // namespace filter_operation
namespace filter_algorithm {
constexpr int32_t simple = 0;
constexpr int32_t decomposed = 1;
}  // namespace filter_algorithm

}  // namespace dt
