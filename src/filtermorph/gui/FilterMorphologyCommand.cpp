// The filter image commands of the main window: 40038 "フィルタ画像取りこみ" (load a filter image),
// 40028 "フィルタ画像再表示" (show it again) and 40042 "フィルタ画像によるモルフォロジー演算"
// (dilation, erosion, opening or closing with it, by the simple or the decomposed method).
#include <QDialog>

#include "app/MainWindow.h"
#include "filtermorph/FilterOperations.h"
#include "filtermorph/gui/FilterMorphologyDialog.h"
#include "image/Globals.h"
#include "image/Messages.h"

namespace dt {

namespace {

const char* const chooseFilterFirst =
    QT_TRANSLATE_NOOP("dt::MainWindow", "フィルタ画像を先に選択してください。");
const char* const decomposedWarning = QT_TRANSLATE_NOOP(
    "dt::MainWindow",
    "フィルタの縦画素回だけ描画するため、\n入力画像またはフィルタ画像が大きい場合\n"
    "非常に時間がかかることがあります。\n\n実行すると中断は出来ません。\n"
    "その場合は強制終了してください。");

}  // namespace

void MainWindow::OnLoadFilterImage() {
  const std::optional<std::string> name =
      AskFileName(FileDialogRequest::Mode::Open, "filterQX15.xpm");
  if (!name) return;
  const CanvasDrawing drawing = MakeDrawingTargets();
  // A bad file leaves the earlier filter, and its name, in place; its message has been shown.
  if (!engine.LoadFilterImage(*name, {}, /*offerThreshold=*/true)) return;
  filterFileName = *name;
  engine.ShowFilterImage(drawing);
}

void MainWindow::OnRedisplayFilterImage() {
  const CanvasDrawing drawing = MakeDrawingTargets();
  engine.ShowFilterImage(drawing);
}

void MainWindow::OnFilterMorphology() {
  if (!RequireBinaryImage()) return;
  if (engine.filterLoaded != 1) {
    ShowMessage(tr(chooseFilterFirst).toStdString(), Translate(text::errorCaption));
    return;
  }
  FilterMorphologyDialog dialog(this);
  dialog.algorithm = engine.filterAlgorithm;
  dialog.measureTime = engine.measureTime;
  if (dialog.exec() != QDialog::Accepted) return;

  engine.filterAlgorithm = dialog.algorithm;
  engine.filterOperation = dialog.operation;
  engine.measureTime = dialog.measureTime;

  // The decomposed method draws one pass per filter row and cannot be stopped: ask first, unless
  // it draws nothing.
  if (engine.filterAlgorithm == FilterMethod::decomposed && engine.measureTime != 1 &&
      ShowMessage(tr(decomposedWarning).toStdString(), Translate(text::warningCaption),
                  MessageButtons::OkCancelQuestion) != MessageResult::Ok)
    return;

  const CanvasDrawing drawing = MakeDrawingTargets();
  int64_t start = 0;  // read once the images are kept aside: the time is the computation's
  const bool done = Compute([&] {
    start = clock->NowMs();
    RunFilterMorphology(engine, drawing, engine.filterAlgorithm, engine.filterOperation);
  });
  const int64_t end = clock->NowMs();
  engine.RedrawWorkImage(drawing);
  if (done && engine.measureTime == 1) ReportCommandTime(start, end);
}

}  // namespace dt
