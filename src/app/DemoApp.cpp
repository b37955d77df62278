#include "app/DemoApp.h"

#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QTimer>
#include <QTranslator>
#include <cstdio>
#include <optional>

#include "app/DialogLayout.h"
#include "app/MainWindow.h"

namespace dt {

namespace {

// "en", "EN", "en_GB.UTF-8" and "en-GB" are English; "ja", "ja_JP.UTF-8" Japanese.
std::optional<Language> LanguageNamed(const QString& name) {
  const QString code = name.section(QRegularExpression(QStringLiteral("[_.@-]")), 0, 0).toLower();
  if (code == QLatin1String("ja")) return Language::japanese;
  if (code == QLatin1String("en")) return Language::english;
  return std::nullopt;
}

}  // namespace

StartOptions ReadStartOptions(const QStringList& arguments, const QString& environment) {
  StartOptions options;
  std::optional<Language> chosen;
  const auto choose = [&](const QString& name, const char* where) {
    const std::optional<Language> language = LanguageNamed(name);
    if (!language)
      options.problem = QStringLiteral("%1 \"%2\" is not a language of the program (ja or en)")
                            .arg(QLatin1String(where), name);
    return language;
  };
  for (int i = 1; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    if (argument == QLatin1String("--lang") && i + 1 == arguments.size()) {
      options.problem = QStringLiteral("--lang needs a language (ja or en)");
    } else if (argument == QLatin1String("--lang")) {
      if (const auto language = choose(arguments[++i], "--lang")) chosen = language;
    } else if (argument.startsWith(QLatin1String("--lang="))) {
      if (const auto language = choose(argument.mid(7), "--lang")) chosen = language;
    } else if (options.file.isEmpty()) {
      options.file = argument;
    }
  }
  if (!chosen && !environment.isEmpty()) chosen = choose(environment, "DTDEMO_LANG");
  options.language = chosen.value_or(Language::japanese);
  return options;
}

bool PrepareApplication(QApplication& app) {
  // The font the dialogs are measured with, whatever the locale would have fontconfig choose.
  QApplication::setFont(DialogLayout::DialogFont());
  const StartOptions options =
      ReadStartOptions(app.arguments(), qEnvironmentVariable("DTDEMO_LANG"));
  if (!options.problem.isEmpty())
    std::fprintf(stderr, "dtdemo: %s; the texts stay Japanese unless English is asked for.\n",
                 qPrintable(options.problem));
  auto* translator = new QTranslator(&app);
  if (options.language == Language::english) {
    // The program's own texts and, through the engine's translator, the engine's; Qt's own are
    // English as Qt writes them.
    if (translator->load(QStringLiteral(":/i18n/dtdemo_en.qm")) &&
        QCoreApplication::installTranslator(translator)) {
      InstallTranslator(&TranslateOnQt);
      return true;
    }
    std::fprintf(stderr, "dtdemo: the English translation could not be loaded.\n");
  } else if (translator->load(QLocale(QLocale::Japanese, QLocale::Japan),
                              QStringLiteral("qtbase"), QStringLiteral("_"),
                              QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
             QCoreApplication::installTranslator(translator)) {
    // Japanese whatever the locale, not only under ja_JP: every text of the program itself is
    // Japanese, and Qt's beside them should be too.
    return true;
  }
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
  const QString file = ReadStartOptions(arguments(), QString()).file;
  if (!file.isEmpty())
    QTimer::singleShot(0, window_.get(), [this, file] { window_->OpenGivenFile(file); });
  return exec();
}

}  // namespace dt
