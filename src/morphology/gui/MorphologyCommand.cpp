// Command 40041 "距離変換によるモルフォロジー演算": dilation, erosion, opening or closing of the
// current binary image with the shape and size chosen in the dialog, optionally timed. Every
// result becomes the new input, so operations accumulate.
#include <QDialog>

#include "app/MainWindow.h"
#include "image/Globals.h"
#include "image/Messages.h"
#include "morphology/gui/MorphologyDialog.h"

namespace dt {

void MainWindow::OnDistanceMorphology() {
  if (!RequireBinaryImage()) return;
  MorphologyDialog dialog(this);
  dialog.shape = engine.distanceFunction;
  dialog.filterSize = engine.filterSize;
  dialog.measureTime = engine.measureTime;
  if (dialog.exec() != QDialog::Accepted) return;

  engine.processKind = dialog.operation;
  engine.distanceFunction = dialog.shape;
  engine.t1Direction = dialog.shape == distance_function::triangle ? t1_direction::atOrBelow
                                                                    : t1_direction::bothWays;
  engine.filterSize = dialog.filterSize;
  engine.measureTime = dialog.measureTime;

  // The operation and the pixel value whose distance its first pass measures.
  void (ImageEngine::*operation)(const DrawingTargets&, int, int) = nullptr;
  int featureValue = 0;
  switch (engine.processKind) {
    case process_kind::dilation:
      operation = &ImageEngine::DilateByDistance;
      featureValue = 1;
      break;
    case process_kind::erosion:
      operation = &ImageEngine::ErodeByDistance;
      featureValue = 0;
      break;
    case process_kind::opening:
      operation = &ImageEngine::OpenByDistance;
      featureValue = 0;
      break;
    case process_kind::closing:
      operation = &ImageEngine::CloseByDistance;
      featureValue = 1;
      break;
    default:
      ShowMessage(text::nothingChosen, text::errorCaption, MessageButtons::Ok,
                  MessageOwner::MainWindow);
      return;
  }

  CanvasDrawing drawing = MakeDrawingTargets();
  drawing.SetWatchable(true);  // the passes are there to be watched
  const int64_t start = NowMs();
  (engine.*operation)(drawing, featureValue, engine.filterSize);
  drawing.SetWatchable(false);
  const int64_t end = NowMs();
  engine.RedrawWorkImage(drawing);
  if (engine.measureTime == 1) ReportCommandTime(start, end);
}

}  // namespace dt
