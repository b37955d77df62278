// The calls that one distance transform makes, shared by the desktop command, dtmorph, the
// benchmark and the tests.
#pragma once

#include "image/ImageEngine.h"

namespace dt {

struct TransformChoice {
  TransformAlgorithm algorithm = TransformAlgorithm::envelope;
  Measure measure;       // the distance function and the triangle's apex
  int featureValue = 1;  // the pixels measured to: 1, the white ones (the window's choice), or 0
  bool wantNearest = false;  // also the feature transform, into engine.nearest
};

// The distance map of the input in WorkImage and DistanceMap, drawn pass by pass unless timing
// is on; the input is left as it was. engine.nearest becomes the map's feature transform when
// the choice asks for it, else empty; a run that does not finish (stopped, out of memory)
// leaves it as it was.
void RunDistanceTransform(ImageEngine& engine, const DrawingTargets& targets,
                          const TransformChoice& choice);

}  // namespace dt
