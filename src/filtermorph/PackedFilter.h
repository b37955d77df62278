// The decomposed filter method on packed bits, for callers that draw nothing.
#pragma once

#include <cstdint>
#include <vector>

#include "image/ImageEngine.h"

namespace dt::filtermorph {

// One half of the decomposed method on one bit per pixel (64 pixels a word): the filter is a
// union of runs, so a dilation is the OR, over the runs, of the input rows the run comes from
// dilated along the row by the run's length and shifted to its first column; an erosion keeps
// the foreground pixels that no run finds background from, the same OR taken over the
// background. Pixels outside the image are neither. Same result as the row kernels: dilation of
// the pixels of InputImage equal to value, or erosion of those other than value. Writes the 0/1
// result into WorkImage, InputImage and DistanceMap and returns the number of 1 pixels; kinds,
// counts and flags are left to the caller.
int64_t PackedFilterWithoutDrawing(const std::vector<FilterRun>& runs, bool dilation,
                                   int32_t value);

}  // namespace dt::filtermorph
