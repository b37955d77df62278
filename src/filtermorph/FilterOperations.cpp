#include "filtermorph/FilterOperations.h"

#include "image/Halves.h"

namespace dt {

void RunFilterMorphology(ImageEngine& engine, const DrawingTargets& targets, FilterMethod method,
                         Operation operation) {
  if (method == FilterMethod::decomposed)
    RunByHalves(
        engine, targets, operation, [&] { return engine.DecomposedDilation(targets, 1); },
        [&] { return engine.DecomposedErosion(targets, 0); });
  else
    RunByHalves(
        engine, targets, operation, [&] { return engine.SimpleDilation(1); },
        [&] { return engine.SimpleErosion(1); });
}

}  // namespace dt
