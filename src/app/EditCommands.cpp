// The 編集 menu: 元に戻す (Ctrl+Z) and やり直し (Ctrl+Y), and the undo steps taken around every
// command that changes the images (UndoHistory holds them).
#include <QAction>
#include <QStatusBar>

#include "app/CommandIds.h"
#include "app/MainWindow.h"
#include "distance/gui/EnvelopePlot.h"
#include "image/Globals.h"

namespace dt {

namespace {

constexpr int messageMs = 10000;  // how long the status bar shows what became of a step

void SayDropped(QStatusBar* bar, int dropped) {
  if (dropped > 0)
    bar->showMessage(
        MainWindow::tr("元に戻す履歴がメモリの上限を超えたため、古い操作 %1 件を削除しました。")
            .arg(dropped),
        messageMs);
}

}  // namespace

// Whether the command `id` may change the images, and so is an undo step: a load replaces every
// image, and its step takes the ones it replaces instead of copying them; a transform leaves
// the input as it is, and its step copies the other two; the others' steps copy all three.
MainWindow::UndoStepKind MainWindow::UndoStepOf(int id) {
  switch (id) {
    case command::loadInputImage:
    case command::sample640:
    case command::sample320:
    case command::sample160:
    case command::sampleSquare:
      return UndoStepKind::replacing;
    case command::distanceTransform:
      return UndoStepKind::inputStays;
    case command::distanceMorphology:
    case command::filterMorphology:
      return UndoStepKind::whole;
    default:
      return UndoStepKind::none;
  }
}

void MainWindow::BeginUndoStep(UndoStepKind kind) {
  if (kind == UndoStepKind::replacing)
    undoHistory.BeginReplacing(engine);
  else
    undoHistory.Begin(engine, /*inputStays=*/kind == UndoStepKind::inputStays);
}

// Said once the command is over, so that no message hides 中止 while it computes.
void MainWindow::EndUndoStep() {
  const UndoHistory::Outcome outcome = undoHistory.End(engine);
  if (outcome.kept == UndoHistory::Kept::tooLarge)
    statusBar()->showMessage(tr("画像が大きすぎるため、この操作は元に戻せません。"), messageMs);
  else if (outcome.kept == UndoHistory::Kept::noMemory)
    statusBar()->showMessage(tr("メモリが足りないため、この操作は元に戻せません。"), messageMs);
  SayDropped(statusBar(), outcome.dropped);
  ShowUndoItems();
}

// The nearest feature pixels and the envelope plot belong to the map of the last transform, which
// an undone or redone step no longer shows.
void MainWindow::OnUndo() {
  ForgetTransform();
  ShowUndone(undoHistory.Undo(engine));
}

void MainWindow::OnRedo() {
  ForgetTransform();
  ShowUndone(undoHistory.Redo(engine));
}

void MainWindow::ForgetTransform() {
  engine.ForgetNearest();
  lastTransform.reset();
  if (envelopePlot != nullptr) envelopePlot->close();
}

// The canvas shows the images as they are now: the work image (the picture after a load or a
// morphology, the map after a transform) on white, or white alone before any picture.
void MainWindow::ShowUndone(int dropped) {
  ResetCanvas();
  {
    const CanvasDrawing drawing = MakeDrawingTargets();
    engine.RedrawWorkImage(drawing);
  }
  canvas_->update();
  SayDropped(statusBar(), dropped);
}

void MainWindow::ShowUndoItems() {
  actions_[command::undo]->setEnabled(undoHistory.CanUndo());
  actions_[command::redo]->setEnabled(undoHistory.CanRedo());
}

}  // namespace dt
