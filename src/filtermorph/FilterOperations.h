// The calls that one filter-image morphology makes, shared by the desktop command, dtmorph, the
// benchmark and the tests.
#pragma once

#include "image/ImageEngine.h"

namespace dt {

// Runs the operation on the input by its halves (image/Halves.h), by the method. The simple
// halves take the foreground value 1; the decomposed ones the value they measure from, 1 for a
// dilation and 0 (the background) for an erosion. The result becomes the input.
void RunFilterMorphology(ImageEngine& engine, const DrawingTargets& targets, FilterMethod method,
                         Operation operation);

}  // namespace dt
