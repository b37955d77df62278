#include "app/DemoApp.h"

#include <QFont>
#include <QIcon>
#include <QTimer>

#include "app/DialogLayout.h"
#include "app/MainWindow.h"

namespace dt {

DemoApp::DemoApp(int& argc, char** argv) : QApplication(argc, argv) {
  // The settings (the recent files) live under ~/.config/dtmorph/dtdemo.conf.
  setOrganizationName("dtmorph");
  setApplicationName("dtdemo");
  // Every text is Japanese: prefer a Japanese sans family over whatever the default falls back to.
  QFont font = QApplication::font();
  font.setFamily(DialogLayout::DialogFont().family());
  QApplication::setFont(font);
  // The desktop entry and icon that cmake/Install.cmake installs: the window system finds the
  // entry by this name; the icon shows where the icon theme has it and Qt can draw SVG.
  setDesktopFileName(QStringLiteral("dtmorph"));
  setWindowIcon(QIcon::fromTheme(QStringLiteral("dtmorph")));
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
  // `dtdemo FILE` (what a file manager runs to open a picture) opens FILE once the window is up.
  if (arguments().size() > 1)
    QTimer::singleShot(0, window_.get(), [this, file = arguments().at(1)] {
      window_->OpenGivenFile(file);
    });
  return exec();
}

}  // namespace dt
