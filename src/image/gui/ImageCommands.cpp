// The main window's commands that show the input image: redisplay on the canvas and the separate
// input view.
#include "app/MainWindow.h"
#include "image/gui/InputImageView.h"

namespace dt {

void MainWindow::OnRedisplayInputImage() {
  auto drawing = MakeDrawingTargets();
  engine.ShowInputImage(drawing);
}

void MainWindow::OnInputView() {
  if (inputView == nullptr)
    OpenInputView();
  else
    CloseInputView();
}

void MainWindow::OpenInputView() {
  inputView = new InputImageView(this);
  inputView->show();
}

// Called also from the view's own close request, so the view goes at the next turn of the event
// loop rather than inside its own event handler.
void MainWindow::CloseInputView() {
  if (inputView == nullptr) return;
  inputView->hide();
  inputView->deleteLater();
  inputView = nullptr;
}

}  // namespace dt
