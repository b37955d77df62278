#include "morphology/MorphologyOperations.h"

#include "image/Halves.h"

namespace dt {

void RunDistanceMorphology(ImageEngine& engine, const DrawingTargets& targets,
                           const MorphologyChoice& choice) {
  RunByHalves(
      engine, targets, choice.operation,
      [&] { return engine.DilateByDistance(targets, 1, choice.ball); },
      [&] { return engine.ErodeByDistance(targets, 0, choice.ball); });
}

}  // namespace dt
