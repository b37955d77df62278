#include "distance/TransformOperations.h"

#include <utility>

namespace dt {

void RunDistanceTransform(ImageEngine& engine, const DrawingTargets& targets,
                          const TransformChoice& choice) {
  FeatureMap nearest;
  if (choice.wantNearest && engine.inputLoaded != 0)
    nearest.Allocate(InputImage.width, InputImage.height);
  FeatureMap* into = choice.wantNearest ? &nearest : nullptr;
  switch (choice.algorithm) {
    case TransformAlgorithm::envelope:
      engine.DistanceTransform1(targets, choice.featureValue, choice.measure, into);
      break;
    case TransformAlgorithm::exhaustive:
      engine.DistanceTransform2(targets, choice.featureValue, choice.measure, into);
      break;
    case TransformAlgorithm::simple:
      engine.SimpleDistanceTransform(targets, choice.featureValue, into);
      break;
  }
  if (engine.inputLoaded != 0) engine.nearest = std::move(nearest);
}

}  // namespace dt
