#include "distance/TransformOperations.h"

namespace dt {

void RunDistanceTransform(ImageEngine& engine, const DrawingTargets& targets,
                          const TransformChoice& choice) {
  switch (choice.algorithm) {
    case TransformAlgorithm::envelope:
      engine.DistanceTransform1(targets, choice.featureValue, choice.measure);
      break;
    case TransformAlgorithm::exhaustive:
      engine.DistanceTransform2(targets, choice.featureValue, choice.measure);
      break;
    case TransformAlgorithm::simple:
      engine.SimpleDistanceTransform(targets, choice.featureValue);
      break;
  }
}

}  // namespace dt
