#include "filtermorph/FilterOperations.h"

namespace dt::filtermorph {

namespace {

void IntermediateRedraw(ImageEngine& engine, const DrawingTargets& targets) {
  if (engine.drawing()) engine.RedrawWorkImage(targets);
}

void RunSimple(ImageEngine& engine, const DrawingTargets& targets, int32_t operation) {
  switch (operation) {
    case filter_operation::dilation:
      engine.SimpleDilation(targets, 1);
      break;
    case filter_operation::erosion:
      engine.SimpleErosion(targets, 1);
      break;
    case filter_operation::opening:
      engine.SimpleErosion(targets, 1);
      IntermediateRedraw(engine, targets);
      engine.SimpleDilation(targets, 1);
      break;
    case filter_operation::closing:
      engine.SimpleDilation(targets, 1);
      IntermediateRedraw(engine, targets);
      engine.SimpleErosion(targets, 1);
      break;
  }
}

void RunDecomposed(ImageEngine& engine, const DrawingTargets& targets, int32_t operation) {
  switch (operation) {
    case filter_operation::dilation:
      engine.DecomposedDilation(targets, 1);
      break;
    case filter_operation::erosion:
      engine.DecomposedErosion(targets, 0);
      break;
    case filter_operation::opening:
      engine.DecomposedOpening(targets, 0);
      break;
    case filter_operation::closing:
      engine.DecomposedClosing(targets, 1);
      break;
  }
}

}  // namespace

void RunFilterMorphology(ImageEngine& engine, const DrawingTargets& targets, int32_t algorithm,
                         int32_t operation) {
  if (algorithm == filter_algorithm::decomposed)
    RunDecomposed(engine, targets, operation);
  else
    RunSimple(engine, targets, operation);
}

}  // namespace dt::filtermorph
