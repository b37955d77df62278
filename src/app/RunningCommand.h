// What the main window does while a command computes. The menus are off and the user's input is
// held back, so nothing clicked or typed meanwhile runs as a command later; the computation's
// progress shows in the status bar, and the event loop turns between rows so that the canvas,
// the scroll bars and Esc or the 中止 button keep working. Esc, 中止, or closing the window ask
// the computation to stop, which it does at the end of the row it is working on. When the passes
// are drawn one at a time, each pass after the first waits to begin until Space or 続行; Esc, 中止
// and closing stop it there too.
#pragma once

#include <QElapsedTimer>
#include <QObject>

class QEventLoop;

#include "platform/Platform.h"

namespace dt {

class MainWindow;

class RunningCommand final : public QObject, public ProgressService {
 public:
  explicit RunningCommand(MainWindow& window);
  ~RunningCommand() override;
  RunningCommand(const RunningCommand&) = delete;
  RunningCommand& operator=(const RunningCommand&) = delete;

  void AskToStop();
  void Continue();  // ends the wait after a pass, if it waits
  void RestartPasses() { pass_ = 0; }  // a second computation counts its own passes

  void PassBegun() override;
  bool Advanced(int64_t done, int64_t total) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  MainWindow& window_;
  Services previous_;
  RunningCommand* outer_;
  int pass_ = 0;
  bool stopAsked_ = false;
  QEventLoop* waiting_ = nullptr;  // turning while the run waits after a pass
  QElapsedTimer sinceEvents_;
};

}  // namespace dt
