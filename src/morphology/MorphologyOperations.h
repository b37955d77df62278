// The calls that one morphology by distance transform makes, shared by the desktop command,
// dtmorph, the benchmark and the tests.
#pragma once

#include "image/ImageEngine.h"

namespace dt {

struct MorphologyChoice {
  Operation operation = Operation::dilation;
  Ball ball;  // the filter: shape, the triangle's apex and the size
};

// Runs the operation on the input by its halves (image/Halves.h). A dilation half measures the
// distance to the white pixels, an erosion half to the black ones. The result becomes the input.
void RunDistanceMorphology(ImageEngine& engine, const DrawingTargets& targets,
                           const MorphologyChoice& choice);

}  // namespace dt
