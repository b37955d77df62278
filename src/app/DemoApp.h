// The application object: installs the Qt platform services, creates the main window and runs
// the event loop until the main window closes. `dtdemo FILE` opens FILE as the input picture.
#pragma once

#include <QApplication>
#include <memory>

#include "platform/qt/QtServices.h"

namespace dt {

class MainWindow;

// What the program sets on the application before any window opens, in every locale: the dialog
// font (IPAPGothic 9 pt, the font the dialog layouts are measured with) as the application's
// font, and Qt's own texts (file dialogs, standard buttons, edit menus) in Japanese from
// qtbase_ja.qm in Qt's translations folder. False when that file cannot be loaded (Debian
// package qt6-translations-l10n); Qt's texts then stay English.
bool PrepareApplication(QApplication& app);

class DemoApp : public QApplication {
  Q_OBJECT

 public:
  DemoApp(int& argc, char** argv);
  ~DemoApp() override;

  int Run();

 private:
  QtServices services_;
  std::unique_ptr<MainWindow> window_;
};

}  // namespace dt
