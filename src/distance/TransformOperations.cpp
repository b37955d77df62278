#include "distance/TransformOperations.h"

#include <utility>

namespace dt {

void RunDistanceTransform(ImageEngine& engine, const DrawingTargets& targets,
                          const TransformChoice& choice) {
  FeatureMap nearest;
  if (choice.wantNearest && engine.inputLoaded != 0) {
    // The last transform's pairs, or the block of those forgotten since, serve again for a
    // picture of the same size: no new memory to touch for the first time (a page fault every
    // 4 KB) and no second map beside the old one. A run that stops then leaves no pairs, as an
    // undo does.
    const auto fits = [](const FeatureMap& map) {
      return map.width == InputImage.width && map.height == InputImage.height;
    };
    if (fits(engine.nearest))
      nearest = std::exchange(engine.nearest, FeatureMap{});
    else if (fits(engine.spareNearest))
      nearest = std::exchange(engine.spareNearest, FeatureMap{});
    engine.spareNearest = FeatureMap{};  // one block of pairs at a time
    // Algorithm 1 with nothing drawn writes every pair.
    const bool everyPair =
        choice.algorithm == TransformAlgorithm::envelope && !engine.drawing();
    nearest.Allocate(InputImage.width, InputImage.height, !everyPair);
  }
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
  if (engine.inputLoaded == 0) return;
  if (choice.wantNearest)
    engine.nearest = std::move(nearest);
  else
    engine.ForgetNearest();
}

}  // namespace dt
