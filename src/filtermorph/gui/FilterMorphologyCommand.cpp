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

const char* const chooseFilterFirst = "フィルタ画像を先に選択してください。";
const char* const decomposedWarning =
    "フィルタの縦画素回だけ描画するため、\n入力画像またはフィルタ画像が大きい場合\n"
    "非常に時間がかかることがあります。\n\n実行すると中断は出来ません。\n"
    "その場合は強制終了してください。";

void ShowOwned(const char* text, const std::string& caption) {
  ShowMessage(text, caption, MessageButtons::Ok, MessageOwner::MainWindow);
}

}  // namespace

void MainWindow::OnLoadFilterImage() {
  FileDialogService* files = CurrentServices().files;
  if (files == nullptr) return;
  FileDialogRequest request;
  request.mode = FileDialogRequest::Mode::Open;
  request.initialName = "filterQX15.xpm";
  request.defaultExtension = ".xpm";
  request.filter = "XPM files (*.xpm)";
  const std::optional<std::string> name = files->Ask(request);
  if (!name) return;
  filterFileName = *name;
  const CanvasDrawing drawing = MakeDrawingTargets();
  // A bad file leaves the earlier filter in place; its message has been shown.
  if (engine.LoadFilterImage(filterFileName)) engine.ShowFilterImage(drawing);
}

void MainWindow::OnRedisplayFilterImage() {
  const CanvasDrawing drawing = MakeDrawingTargets();
  engine.ShowFilterImage(drawing);
}

void MainWindow::OnFilterMorphology() {
  if (!RequireBinaryImage()) return;
  if (engine.filterLoaded != 1) {
    ShowOwned(chooseFilterFirst, text::errorCaption);
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
  if (engine.filterAlgorithm == filter_algorithm::decomposed && engine.measureTime != 1 &&
      ShowMessage(decomposedWarning, text::warningCaption, MessageButtons::OkCancelQuestion,
                  MessageOwner::MainWindow) != MessageResult::Ok)
    return;

  const CanvasDrawing drawing = MakeDrawingTargets();
  const int64_t start = NowMs();
  filtermorph::RunFilterMorphology(engine, drawing, engine.filterAlgorithm,
                                   engine.filterOperation);
  const int64_t end = NowMs();
  engine.RedrawWorkImage(drawing);
  if (engine.measureTime == 1) ReportCommandTime(start, end);
}

}  // namespace dt
