// The application object: installs the Qt platform services, creates the main window and runs
// the event loop until the main window closes. `dtdemo FILE` opens FILE as the input picture;
// `dtdemo --lang en` (or DTDEMO_LANG=en) shows the program in English.
#pragma once

#include <QApplication>
#include <QString>
#include <QStringList>
#include <memory>

#include "platform/qt/QtServices.h"

namespace dt {

class MainWindow;

// The language of the program's texts: Japanese, as they are written, or English.
enum class Language { japanese, english };

// What dtdemo's command line asks for: the language (`--lang ja|en` or `--lang=ja|en`, else
// environment, the value of DTDEMO_LANG, else Japanese; a locale name such as en_GB.UTF-8 counts
// as its language) and the picture to open (the first other argument). A language that is
// neither is named in problem and left out.
struct StartOptions {
  Language language = Language::japanese;
  QString file;
  QString problem;
};
StartOptions ReadStartOptions(const QStringList& arguments, const QString& environment);

// What the program sets on the application before any window opens, in every locale: the dialog
// font (IPAPGothic 9 pt, the font the dialog layouts are measured with) as the application's
// font, and the texts in the language of ReadStartOptions (the application's arguments and
// DTDEMO_LANG; a problem is written on standard error). In Japanese, Qt's own texts (file
// dialogs, standard buttons, edit menus) come from qtbase_ja.qm in Qt's translations folder;
// false when that cannot be loaded (Debian package qt6-translations-l10n), and Qt's texts stay
// English. In English, the program's texts and its engine's come from the translation built
// into the program (translations/dtdemo_en.ts) and Qt's stay as Qt writes them; false when it
// cannot be loaded, and every text stays Japanese.
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
