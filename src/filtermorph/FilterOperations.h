// The calls that one filter-image morphology command makes, shared by the desktop command and
// dtmorph.
#pragma once

#include <cstdint>

#include "image/ImageEngine.h"

namespace dt::filtermorph {

// Runs `operation` (filter_operation::...) by `algorithm` (filter_algorithm::...) on the input:
// the simple opening and closing are an erosion and a dilation in a row, with WorkImage redrawn
// between them unless timing is on; the decomposed operations take the key values they need
// (dilation and closing 1, erosion and opening 0).
void RunFilterMorphology(ImageEngine& engine, const DrawingTargets& targets, int32_t algorithm,
                         int32_t operation);

}  // namespace dt::filtermorph
