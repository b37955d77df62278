#include "gui/support/Gui.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPointer>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>

#include "support/References.h"

namespace dt::testing {

Shell::Shell(const QString& folder) : previousFolder(QDir::currentPath()) {
  ResetGlobalState();
  QStandardPaths::setTestModeEnabled(true);  // the settings of a test, not the user's
  QSettings().remove("recentFiles");
  QSettings().remove("passPace");
  QDir::setCurrent(folder);
  window = std::make_unique<MainWindow>();
  window->clock = &clock;
  window->move(0, 0);
  window->show();
  auto* guard = new QTimer(window.get());
  auto since = std::make_shared<QElapsedTimer>();
  QObject::connect(guard, &QTimer::timeout, guard, [this, since] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return since->invalidate();
    if (!since->isValid()) return since->start();
    if (since->elapsed() < 5000) return;
    ++unanswered;
    since->invalidate();
    dialog->reject();
  });
  guard->start(100);
  if (!QTest::qWaitForWindowExposed(window.get())) qWarning("main window not exposed");
}

Shell::~Shell() {
  window.reset();
  // Windows closed with deleteLater go now, while the globals still exist.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QDir::setCurrent(previousFolder);
  ResetGlobalState();
}

void Shell::Load(const std::string& name) {
  services.fileAnswers.push_back(name);
  window->TriggerCommand(40034);
  services.messages.clear();
}

QStringList Shell::Texts() const {
  QStringList texts;
  for (const std::string& text : services.texts()) texts << QString::fromStdString(text);
  return texts;
}

namespace {

QString Differs(const MainWindow& window, const Grid& picture,
                const std::function<uint32_t(int32_t)>& colour) {
  const QImage screen = window.canvas()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < Canvas::pictureHeight; ++y)
    for (int x = 0; x < Canvas::pictureWidth; ++x) {
      const bool inside = x < picture.width && y < picture.height;
      const uint32_t expected = inside ? colour(picture.at(y, x)) : 0xFFFFFF;
      const uint32_t bitmap = window.backingBitmap.pixel(x, y) & 0xFFFFFF;
      if (bitmap != expected || (screen.pixel(x, y) & 0xFFFFFF) != expected)
        return QString("(%1, %2) is %3").arg(x).arg(y).arg(bitmap, 6, 16, QChar('0'));
    }
  return {};
}

}  // namespace

QString Shell::Shows(const Grid& binary) const {
  return Differs(*window, binary, [](int32_t v) { return v == 1 ? 0xFFFFFFu : 0u; });
}

QString Shell::ShowsGreys(const Grid& map) const { return Differs(*window, map, GreyOf); }

QAbstractButton* Button(QWidget* dialog, int id) {
  auto* button = dialog->findChild<QAbstractButton*>(QString::number(id));
  if (button == nullptr) qFatal("no button %d", id);
  return button;
}

std::shared_ptr<bool> WhenDialogShown(std::function<void(QDialog*)> action) {
  static QList<QPointer<QDialog>> answered;
  auto done = std::make_shared<bool>(false);
  auto* timer = new QTimer(qApp);
  auto started = std::make_shared<QElapsedTimer>();
  started->start();
  QObject::connect(timer, &QTimer::timeout, timer, [=] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->isVisible() || answered.contains(dialog)) {
      if (started->elapsed() > 10000) timer->deleteLater();  // nothing came: the test fails
      return;
    }
    answered.append(dialog);
    timer->deleteLater();
    *done = true;
    action(dialog);
  });
  timer->start(10);
  return done;
}

std::shared_ptr<bool> Answer(std::vector<int> clicks, int closeWith,
                             std::function<void(QDialog*)> inspect) {
  return WhenDialogShown([=](QDialog* dialog) {
    if (inspect) inspect(dialog);
    for (int id : clicks) QTest::mouseClick(Button(dialog, id), Qt::LeftButton);
    QTest::mouseClick(Button(dialog, closeWith), Qt::LeftButton);
  });
}

}  // namespace dt::testing
