#include "app/RunningCommand.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QThread>

#include "app/MainWindow.h"

namespace dt {

namespace {

// How often the event loop turns while a computation runs.
constexpr int eventIntervalMs = 30;

}  // namespace

RunningCommand::RunningCommand(MainWindow& window)
    : window_(window), previous_(CurrentServices()), outer_(window.running_) {
  Services services = previous_;
  services.progress = this;
  InstallServices(services);
  window_.running_ = this;
  window_.menuBar()->setEnabled(false);
  for (QAction* action : window_.findChildren<QAction*>()) action->setEnabled(false);
  window_.stopButton_->setEnabled(true);
  qApp->installEventFilter(this);
  sinceEvents_.start();
}

RunningCommand::~RunningCommand() {
  // Input that came meanwhile and still waits is dropped now, before the menus come back.
  QApplication::processEvents();
  qApp->removeEventFilter(this);
  window_.running_ = outer_;
  if (outer_ == nullptr) {
    window_.stopButton_->setEnabled(false);
    for (QAction* action : window_.findChildren<QAction*>()) action->setEnabled(true);
    window_.menuBar()->setEnabled(true);
  }
  InstallServices(previous_);
}

void RunningCommand::PassBegun() { ++pass_; }

bool RunningCommand::Advanced(int64_t done, int64_t total) {
  // Worker threads only report; the window's thread shows and turns the event loop.
  if (QThread::currentThread() != window_.thread() || sinceEvents_.elapsed() < eventIntervalMs)
    return !stopAsked_;
  const int percent = total > 0 ? static_cast<int>(100 * done / total) : 0;
  window_.runLabel_->setText(MainWindow::tr("パス %1　%2%").arg(pass_).arg(percent));
  window_.FlushDrawing();
  QApplication::processEvents();
  sinceEvents_.restart();
  return !stopAsked_;
}

bool RunningCommand::eventFilter(QObject* watched, QEvent* event) {
  if (QApplication::activeModalWidget() != nullptr) return false;  // a message of the computation
  switch (event->type()) {
    case QEvent::KeyPress:
      if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) AskToStop();
      return true;
    case QEvent::ShortcutOverride:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::ContextMenu:
      return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
      // Only the 中止 button takes clicks.
      return watched != window_.stopButton_;
    case QEvent::Close:
      if (watched == &window_) AskToStop();
      return watched->isWidgetType();
    default:
      return false;
  }
}

}  // namespace dt
