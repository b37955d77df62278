// Commands whose subsystems are not built yet. Each subsystem replaces its placeholders here with
// the real handlers in its own folder.
#include "app/MainWindow.h"
#include "image/Globals.h"

namespace dt {

namespace {

void NotAvailableYet() {
  ShowMessage("この機能はまだ使えません。", appTitle, MessageButtons::Ok, MessageOwner::MainWindow);
}

}  // namespace

void MainWindow::OnLoadFilterImage() { NotAvailableYet(); }
void MainWindow::OnFilterMorphology() { NotAvailableYet(); }
void MainWindow::OnRedisplayFilterImage() { NotAvailableYet(); }

}  // namespace dt
