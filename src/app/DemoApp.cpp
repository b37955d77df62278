#include "app/DemoApp.h"

#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>

#include "app/DialogLayout.h"
#include "app/MainWindow.h"

namespace dt {

bool PrepareApplication(QApplication& app) {
  // The font the dialogs are measured with, whatever the locale would have fontconfig choose.
  QApplication::setFont(DialogLayout::DialogFont());
  // Japanese whatever the locale, not only under ja_JP: every text of the program itself is
  // Japanese, and Qt's beside them should be too.
  auto* translator = new QTranslator(&app);
  if (translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                       QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
      QCoreApplication::installTranslator(translator))
    return true;
  delete translator;
  return false;
}

DemoApp::DemoApp(int& argc, char** argv) : QApplication(argc, argv) {
  // The settings (the recent files) live under ~/.config/dtmorph/dtdemo.conf.
  setOrganizationName("dtmorph");
  setApplicationName("dtdemo");
  PrepareApplication(*this);
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
