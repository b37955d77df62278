#include "app/RunningCommand.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
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
  window_.statusBar()->clearMessage();  // a message would hide the progress, 中止 and 続行
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

void RunningCommand::AskToStop() {
  stopAsked_ = true;
  Continue();
}

void RunningCommand::Continue() {
  if (waiting_ != nullptr) waiting_->quit();
}

// Passes drawn one at a time: every pass after the first waits to begin, the one before it on
// screen, until Space or 続行 (or a stop, which the pass's first row then answers).
void RunningCommand::PassBegun() {
  ++pass_;
  if (pass_ == 1 || stopAsked_ || window_.passPace() != MainWindow::PassPace::passByPass ||
      !window_.engine.drawing() || QThread::currentThread() != window_.thread())
    return;
  window_.FlushDrawing();
  window_.runLabel_->setText(
      MainWindow::tr("パス %1 終了　Space または 続行 で次のパスへ").arg(pass_ - 1));
  window_.continueButton_->setEnabled(true);
  QEventLoop loop;
  waiting_ = &loop;
  loop.exec();
  waiting_ = nullptr;
  window_.continueButton_->setEnabled(false);
  sinceEvents_.restart();
}

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
      if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) Continue();
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
      // Only the 中止 and 続行 buttons take clicks.
      return watched != window_.stopButton_ && watched != window_.continueButton_;
    case QEvent::Close:
      if (watched == &window_) AskToStop();
      return watched->isWidgetType();
    default:
      return false;
  }
}

}  // namespace dt
