// Command 40041 "距離変換によるモルフォロジー演算": dilation, erosion, opening or closing of the
// current binary image with the shape and size chosen in the dialog, optionally timed. Every
// result becomes the new input, so operations accumulate.
#include <QDialog>
#include <cstdio>

#include "app/MainWindow.h"
#include "image/Globals.h"
#include "image/Messages.h"
#include "morphology/MorphologyOperations.h"
#include "morphology/gui/MorphologyDialog.h"

namespace dt {

void MainWindow::OnDistanceMorphology() {
  if (!RequireBinaryImage()) return;
  MorphologyDialog dialog(this);
  dialog.shape = engine.distanceFunction;
  dialog.filterSize = engine.filterSize;
  dialog.measureTime = engine.measureTime;
  if (dialog.exec() != QDialog::Accepted) return;

  engine.processKind = dialog.operation ? InfoOf(*dialog.operation).processKind : 0;
  engine.distanceFunction = dialog.shape;
  engine.filterSize = dialog.filterSize;
  engine.measureTime = dialog.measureTime;
  if (!dialog.operation) {
    ShowMessage(Translate(text::nothingChosen), Translate(text::errorCaption));
    return;
  }

  const MorphologyChoice choice{*dialog.operation,
                                Ball{engine.distanceFunction, triangleApex, engine.filterSize}};
  CanvasDrawing drawing = MakeWatchableDrawing();
  int64_t start = 0;  // read once the images are kept aside: the time is the computation's
  const bool done = Compute([&] {
    start = clock->NowMs();
    RunDistanceMorphology(engine, drawing, choice);
  });
  drawing.PacePasses(0);
  const int64_t end = clock->NowMs();
  const bool timed = done && engine.measureTime == 1;
  // Erosion, opening and closing also report the time of the operation itself, before the
  // result is drawn.
  if (timed && choice.operation != Operation::dilation) {
    char report[128];
    std::snprintf(report, sizeof report, Translate(text::tookSecondsOperation).c_str(),
                  (end - start) / 1000.0);
    ShowMessage(report, Translate(appTitle.c_str()));
  }
  engine.RedrawWorkImage(drawing);
  if (timed) ReportCommandTime(start, end);
}

}  // namespace dt
