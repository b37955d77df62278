#include "gui/support/ShellHarness.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <algorithm>

#include "image/Globals.h"

namespace dt::testing {

FreshGlobals::FreshGlobals() { ResetGlobalState(); }
FreshGlobals::~FreshGlobals() { ResetGlobalState(); }

WorkingDirectory::WorkingDirectory(const QString& path) : previous_(QDir::currentPath()) {
  QDir::setCurrent(path);
}
WorkingDirectory::~WorkingDirectory() { QDir::setCurrent(previous_); }

ShellHarness::ShellHarness(const QString& path)
    : folder(path), window(std::make_unique<MainWindow>()) {
  window->move(0, 0);
  window->show();
  if (!QTest::qWaitForWindowExposed(window.get())) qWarning("main window not exposed");
}

ShellHarness::~ShellHarness() {
  window.reset();
  // Windows closed with deleteLater go now, while the globals still exist.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QRgb ShellHarness::Pixel(int x, int y) const {
  return window->backingBitmap.pixel(x, y) & 0xFFFFFF;
}

std::shared_ptr<bool> WhenDialogShown(std::function<void(QDialog*)> action, int timeoutMs) {
  static QList<QPointer<QDialog>> answered;
  auto done = std::make_shared<bool>(false);
  auto* timer = new QTimer(qApp);
  auto started = std::make_shared<QElapsedTimer>();
  started->start();
  QObject::connect(timer, &QTimer::timeout, timer, [=] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    const bool fresh = dialog != nullptr && dialog->isVisible() &&
                       std::none_of(answered.begin(), answered.end(),
                                    [dialog](const QPointer<QDialog>& d) { return d == dialog; });
    if (!fresh) {
      if (started->elapsed() > timeoutMs) timer->deleteLater();
      return;
    }
    answered.append(dialog);
    timer->stop();
    timer->deleteLater();
    *done = true;
    action(dialog);
  });
  timer->start(10);
  return done;
}

ModalGuard::ModalGuard(int timeoutMs)
    : fired_(std::make_shared<bool>(false)), timer_(new QTimer(qApp)) {
  auto started = std::make_shared<QElapsedTimer>();
  started->start();
  auto fired = fired_;
  QObject::connect(timer_, &QTimer::timeout, timer_, [=] {
    if (started->elapsed() < timeoutMs) return;
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
      *fired = true;
      dialog->reject();
    }
  });
  timer_->start(100);
}

ModalGuard::~ModalGuard() { delete timer_; }

QImage ScreenOfCanvas(const MainWindow& window) {
  return window.canvas()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

bool CanvasIsWhite(const MainWindow& window, const QRect& rect) {
  const QRect area = rect & window.backingBitmap.rect();
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if ((window.backingBitmap.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) return false;
  return true;
}

int XpmPicture::whiteCount() const {
  return static_cast<int>(std::count(pixels.begin(), pixels.end(), 1));
}

XpmPicture ReadXpmForTest(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QString text = QString::fromLatin1(file.readAll());
  QStringList strings;
  auto matches = QRegularExpression("\"([^\"]*)\"").globalMatch(text);
  while (matches.hasNext()) strings << matches.next().captured(1);
  if (strings.isEmpty()) return {};
  const QStringList header = strings[0].split(' ', Qt::SkipEmptyParts);
  if (header.size() < 4) return {};
  XpmPicture picture;
  picture.width = header[0].toInt();
  picture.height = header[1].toInt();
  const int colours = header[2].toInt();
  if (strings.size() < 1 + colours + picture.height) return {};
  QChar whiteChar;
  for (int i = 1; i <= colours; ++i)
    if (strings[i].contains("ffffff", Qt::CaseInsensitive)) whiteChar = strings[i][0];
  for (int r = 0; r < picture.height; ++r) {
    const QString& row = strings[1 + colours + r];
    for (int c = 0; c < picture.width; ++c)
      picture.pixels.push_back(c < row.size() && row[c] == whiteChar ? 1 : 0);
  }
  return picture;
}

}  // namespace dt::testing
