// Helpers for the window tests: a main window as the program starts it, with messages and file
// dialogs scripted, a way to answer a real modal dialog, and access to the canvas pixels.
#pragma once

#include <QDialog>
#include <QImage>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/MainWindow.h"
#include "support/RecordingServices.h"

namespace dt::testing {

// Puts every global back to its start-up state when made and again when destroyed.
struct FreshGlobals {
  FreshGlobals();
  ~FreshGlobals();
};

// Changes the working directory for its lifetime.
class WorkingDirectory {
 public:
  explicit WorkingDirectory(const QString& path);
  ~WorkingDirectory();

 private:
  QString previous_;
};

// A shown MainWindow in the sample folder, with RecordingServices installed: messages answer OK
// and file dialogs cancel unless the test scripts them (services.messageAnswers, fileAnswers).
class ShellHarness {
 public:
  explicit ShellHarness(const QString& folder = QStringLiteral(DT_SAMPLES_DIR));
  ~ShellHarness();

  // The canvas colour at (x, y) as 0xRRGGBB.
  QRgb Pixel(int x, int y) const;
  // The texts of the messages shown so far; ClearMessages forgets them.
  std::vector<std::string> Texts() const { return services.texts(); }
  void ClearMessages() { services.messages.clear(); }

  FreshGlobals globals;
  RecordingServices services;
  WorkingDirectory folder;
  std::unique_ptr<MainWindow> window;
};

// Runs action on the next modal dialog that comes up and has not been answered before (checked
// from a timer while the code under test waits in the dialog's event loop). The returned flag
// turns true once the action has run.
std::shared_ptr<bool> WhenDialogShown(std::function<void(QDialog*)> action,
                                      int timeoutMs = 10000);

// A safety net against a dialog that nobody answers: from timeoutMs after its making until its end,
// every modal dialog that is open is rejected, so a test fails instead of hanging. fired() says
// whether that happened.
class ModalGuard {
 public:
  explicit ModalGuard(int timeoutMs = 15000);
  ~ModalGuard();
  bool fired() const { return *fired_; }

 private:
  std::shared_ptr<bool> fired_;
  QTimer* timer_;
};

// Renders the canvas widget the way it reaches the screen (through its paint).
QImage ScreenOfCanvas(const MainWindow& window);

// True when every pixel of rect (clipped to the backing bitmap) is white.
bool CanvasIsWhite(const MainWindow& window, const QRect& rect);

// A two-colour XPM file read by the tests on their own: 1 for the colour ffffff, 0 otherwise.
struct XpmPicture {
  int width = 0;
  int height = 0;
  std::vector<int> pixels;  // row-major
  int at(int row, int column) const { return pixels[std::size_t(row) * width + column]; }
  int whiteCount() const;
};
XpmPicture ReadXpmForTest(const QString& path);

}  // namespace dt::testing
