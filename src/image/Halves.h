// The four operations from their two halves, for both kinds of morphology: an opening is an
// erosion then a dilation, a closing a dilation then an erosion, and while drawing the result of
// the first half is shown before the second begins.
#pragma once

#include "image/ImageEngine.h"

namespace dt {

// dilate() and erode() run one half each and return false (after their message) when there was
// nothing to work on; the second half then does not run.
template <class Dilate, class Erode>
void RunByHalves(ImageEngine& engine, const DrawingTargets& targets, Operation operation,
                 Dilate&& dilate, Erode&& erode) {
  const auto then = [&](bool firstRan, auto&& second) {
    if (!firstRan) return;
    if (engine.drawing()) engine.RedrawWorkImage(targets);
    second();
  };
  switch (operation) {
    case Operation::dilation:
      dilate();
      break;
    case Operation::erosion:
      erode();
      break;
    case Operation::opening:
      then(erode(), dilate);
      break;
    case Operation::closing:
      then(dilate(), erode);
      break;
  }
}

}  // namespace dt
