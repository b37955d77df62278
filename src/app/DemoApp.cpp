#include "app/DemoApp.h"

#include <QFont>

#include "app/DialogLayout.h"
#include "app/MainWindow.h"

namespace dt {

DemoApp::DemoApp(int& argc, char** argv) : QApplication(argc, argv) {
  // Every text is Japanese: prefer a Japanese sans family over whatever the default falls back to.
  QFont font = QApplication::font();
  font.setFamily(DialogLayout::DialogFont().family());
  QApplication::setFont(font);
}

DemoApp::~DemoApp() {
  services_.SetOwnerWindow(nullptr);
  services_.messages.SetBeforeShow(nullptr);
  window_.reset();
}

int DemoApp::Run() {
  window_ = std::make_unique<MainWindow>();
  services_.SetOwnerWindow(window_.get());
  services_.messages.SetBeforeShow([this] { window_->FlushDrawing(); });
  window_->PlaceAndShow();
  return exec();
}

}  // namespace dt
