// What the window and dialog tests share: a main window as the program starts it with messages
// and file dialogs scripted, a way to answer a real modal dialog, and looks at the canvas.
#pragma once

#include <QAbstractButton>
#include <QDialog>
#include <QString>
#include <QStringList>
#include <QtTest>
#include <functional>
#include <memory>
#include <vector>

#include "app/MainWindow.h"
#include "support/Files.h"
#include "support/RecordingServices.h"

namespace dt::testing {

// A shown MainWindow working in `folder`, with RecordingServices installed (messages answer OK
// and file dialogs cancel unless scripted) and a clock the test sets. Every global is put back
// to its start-up state before and after.
class Shell {
 public:
  explicit Shell(const QString& folder = QStringLiteral(DT_SAMPLES_DIR));
  ~Shell();

  // Loads a file through the load command, then forgets the messages so far.
  void Load(const std::string& name);
  QStringList Texts() const;
  // The first pixel of the canvas, in the backing bitmap or on screen, that is not the picture
  // at the top-left corner (in black and white, or a distance map in greys) and white beyond
  // it, or an empty text.
  QString Shows(const Grid& binary) const;
  QString ShowsGreys(const Grid& map) const;

  RecordingServices services;
  StepClock clock;
  QString previousFolder;
  std::unique_ptr<MainWindow> window;
  // A modal dialog left open for 5 s is rejected and counted, so a test fails instead of hanging.
  int unanswered = 0;
};

// The button of a dialog by its id; a missing one ends the test run.
QAbstractButton* Button(QWidget* dialog, int id);

// Runs action on the next modal dialog that comes up (looked for from a timer while the code
// under test waits in the dialog's event loop); the flag turns true once it has run.
std::shared_ptr<bool> WhenDialogShown(std::function<void(QDialog*)> action);
// Answers the next dialog: inspect(dialog), click the buttons in order, then 実行 (1) or ｷｬﾝｾﾙ (2).
std::shared_ptr<bool> Answer(std::vector<int> clicks, int closeWith = 1,
                             std::function<void(QDialog*)> inspect = {});

}  // namespace dt::testing
