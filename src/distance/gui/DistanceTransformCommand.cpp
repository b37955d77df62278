// Command 40036 "距離変換": the distance transform of the current binary image by the algorithm
// and distance function chosen in the dialog, optionally timed.
#include <QDialog>

#include "app/MainWindow.h"
#include "distance/gui/DistanceTransformDialog.h"
#include "image/Globals.h"
#include "image/Messages.h"

namespace dt {

namespace {

const char* const slowWarning =
    "かなり処理に時間がかかります。\n"
    "（参考：320x240画像をPentium133MHzで処理して１分以上かかります。）\n"
    "（画像サイズ縦横倍になると処理時間は約 8倍になります。）\n\n"
    "実行すると中断は出来ません。\nその場合は強制終了してください。";
const char* const verySlowWarning =
    "めちゃくちゃ処理に時間がかかります。\n"
    "（参考：160x120画像をPentium133MHzで処理して１分以上かかります。）\n"
    "（画像サイズ縦横倍になると処理時間は約16倍になります。）\n\n"
    "実行すると中断は出来ません。\nその場合は強制終了してください。";

MessageResult AskMainWindow(const char* text, const char* caption, MessageButtons buttons) {
  return ShowMessage(text, caption, buttons, MessageOwner::MainWindow);
}

}  // namespace

void MainWindow::OnDistanceTransform() {
  if (!RequireBinaryImage()) return;
  DistanceTransformDialog dialog(this);
  dialog.distanceFunction = engine.distanceFunction;
  dialog.measureTime = engine.measureTime;
  if (dialog.exec() != QDialog::Accepted) return;

  // The choices are kept even when no transform runs below.
  engine.processKind = dialog.algorithm;
  engine.distanceFunction = dialog.distanceFunction;
  engine.t1Direction = dialog.distanceFunction == distance_function::triangle
                           ? t1_direction::atOrBelow
                           : t1_direction::bothWays;
  engine.measureTime = dialog.measureTime;

  const char* warning = nullptr;
  void (ImageEngine::*transform)(const DrawingTargets&, int) = nullptr;
  switch (dialog.algorithm) {
    case process_kind::transform1:
      transform = &ImageEngine::DistanceTransform1;
      break;
    case process_kind::transform2:
      warning = slowWarning;
      transform = &ImageEngine::DistanceTransform2;
      break;
    case process_kind::simpleTransform:
      warning = verySlowWarning;
      transform = &ImageEngine::SimpleDistanceTransform;
      break;
    default:
      AskMainWindow(text::nothingChosen, text::errorCaption, MessageButtons::Ok);
      return;
  }
  if (warning != nullptr &&
      AskMainWindow(warning, text::warningCaption, MessageButtons::OkCancelQuestion) !=
          MessageResult::Ok)
    return;

  CanvasDrawing drawing = MakeDrawingTargets();
  drawing.SetWatchable(true);  // the passes are there to be watched
  const int64_t start = NowMs();
  (engine.*transform)(drawing, 1);  // distances to the nearest white pixel
  drawing.SetWatchable(false);
  const int64_t end = NowMs();
  // The whole map in one go: with timing on the passes drew nothing, without it this repeats
  // what they drew.
  engine.RedrawWorkImage(drawing);
  if (engine.measureTime == 1) ReportCommandTime(start, end);
}

}  // namespace dt
