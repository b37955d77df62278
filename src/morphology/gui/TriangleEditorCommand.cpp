// Command 40013 "独自三角形フィルタ編集": opens the triangle filter editor, which also makes the
// triangle the current shape, or closes it when it is open.
#include "app/MainWindow.h"
#include "morphology/gui/OriginalFilterWindow.h"

namespace dt {

void MainWindow::OnEditTriangleFilter() {
  if (filterEditor != nullptr) {
    CloseFilterEditor();
    return;
  }
  engine.distanceFunction = DistanceFunction::triangle;
  OpenFilterEditor();
}

void MainWindow::OpenFilterEditor() {
  filterEditor = new OriginalFilterWindow(this);
  filterEditor->show();
}

void MainWindow::CloseFilterEditor() {
  if (filterEditor == nullptr) return;
  // The editor may be in the middle of its own close request, which is how this is reached when
  // the user closes it: hide it now and let the event loop delete it afterwards.
  filterEditor->hide();
  filterEditor->deleteLater();
  filterEditor = nullptr;
}

}  // namespace dt
