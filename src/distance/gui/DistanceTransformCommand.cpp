// Command 40036 "距離変換": the distance transform of the current binary image by the algorithm
// and distance function chosen in the dialog, optionally timed.
#include <functional>

#include <QDialog>

#include "app/MainWindow.h"
#include "distance/TransformOperations.h"
#include "distance/gui/DistanceTransformDialog.h"
#include "image/Globals.h"
#include "image/Messages.h"

namespace dt {

namespace {

const char* const slowWarning = QT_TRANSLATE_NOOP(
    "dt::MainWindow",
    "かなり処理に時間がかかります。\n"
    "（参考：320x240画像をPentium133MHzで処理して１分以上かかります。）\n"
    "（画像サイズ縦横倍になると処理時間は約 8倍になります。）\n\n"
    "実行すると中断は出来ません。\nその場合は強制終了してください。");
const char* const verySlowWarning = QT_TRANSLATE_NOOP(
    "dt::MainWindow",
    "めちゃくちゃ処理に時間がかかります。\n"
    "（参考：160x120画像をPentium133MHzで処理して１分以上かかります。）\n"
    "（画像サイズ縦横倍になると処理時間は約16倍になります。）\n\n"
    "実行すると中断は出来ません。\nその場合は強制終了してください。");

// The warning shown before the slow transforms, or null.
const char* WarningFor(TransformAlgorithm algorithm) {
  switch (algorithm) {
    case TransformAlgorithm::envelope:
      return nullptr;
    case TransformAlgorithm::exhaustive:
      return slowWarning;
    case TransformAlgorithm::simple:
      return verySlowWarning;
  }
  return nullptr;
}

}  // namespace

void MainWindow::OnDistanceTransform() {
  if (!RequireBinaryImage()) return;
  DistanceTransformDialog dialog(this);
  dialog.distanceFunction = engine.distanceFunction;
  dialog.measureTime = engine.measureTime;
  if (dialog.exec() != QDialog::Accepted) return;

  // The choices are kept even when no transform runs below.
  engine.processKind = dialog.algorithm ? CodeOf(*dialog.algorithm) : 0;
  engine.distanceFunction = dialog.distanceFunction;
  engine.measureTime = dialog.measureTime;
  if (!dialog.algorithm) {
    ShowMessage(Translate(text::nothingChosen), Translate(text::errorCaption));
    return;
  }
  const char* warning = WarningFor(*dialog.algorithm);
  if (warning != nullptr &&
      ShowMessage(tr(warning).toStdString(), Translate(text::warningCaption),
                  MessageButtons::OkCancelQuestion) != MessageResult::Ok)
    return;

  // Distances to the nearest white pixel, with the nearest feature pixel of every pixel, which
  // the window shows under the pointer. Timed, algorithm 1 finds the map alone within the time,
  // as dtmorph and the benchmark time it (city-block and chessboard then take their chamfer
  // scan, Euclid a search that keeps no winners), and the nearest pixels in a second run after
  // the clock stops. The other two find them in their own search at little cost.
  TransformChoice choice{*dialog.algorithm, Measure{engine.distanceFunction, triangleApex}};
  const bool nearestUntimed =
      engine.measureTime == 1 && choice.algorithm == TransformAlgorithm::envelope;
  choice.wantNearest = !nearestUntimed;
  CanvasDrawing drawing = MakeWatchableDrawing();
  int64_t start = 0, end = 0;  // read once the images are kept aside: the computation's time
  const auto findNearest = [&] {
    choice.wantNearest = true;
    RunDistanceTransform(engine, drawing, choice);
  };
  const bool done = Compute(
      [&] {
        start = clock->NowMs();
        RunDistanceTransform(engine, drawing, choice);
        end = clock->NowMs();
      },
      nearestUntimed ? std::function<void()>(findNearest) : nullptr);
  if (done) lastTransform = choice;
  drawing.PacePasses(0);
  // The whole map in one go: with timing on the passes drew nothing, without it this repeats
  // what they drew.
  engine.RedrawWorkImage(drawing);
  if (done && engine.measureTime == 1) ReportCommandTime(start, end);
}

}  // namespace dt
