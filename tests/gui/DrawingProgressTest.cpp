// Progress drawing as the user watches it: a distance transform with timing off repaints the
// window while it runs, showing partly drawn passes, and finishes with the whole map; with timing
// on the window is not repainted until the final drawing.
#include <QAbstractButton>
#include <QDialog>
#include <QEvent>
#include <QtTest>
#include <vector>

#include "app/MainWindow.h"
#include "gui/support/ShellHarness.h"
#include "image/Globals.h"

using namespace dt;
using namespace dt::testing;

namespace {

constexpr int sample640Command = 40011;
constexpr int transformCommand = 40036;

// Keeps a copy of the backing bitmap at every paint of the canvas.
class PaintRecorder final : public QObject {
 public:
  explicit PaintRecorder(MainWindow& window) : window_(window) {
    window.canvas()->installEventFilter(this);
  }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) seen.push_back(window_.backingBitmap.copy());
    return false;
  }
  std::vector<QImage> seen;

 private:
  MainWindow& window_;
};

// Runs algorithm 1 with the Euclidean distance through the dialog, timing on or off.
void RunAlgorithm1(MainWindow& window, bool timing) {
  window.engine.measureTime = 0;
  auto shown = WhenDialogShown([timing](QDialog* dialog) {
    std::vector<int> clicks = {1000, 1019};
    if (timing) clicks.push_back(1023);
    for (int id : clicks)
      QTest::mouseClick(dialog->findChild<QAbstractButton*>(QString::number(id)), Qt::LeftButton);
    QTest::mouseClick(dialog->findChild<QAbstractButton*>("1"), Qt::LeftButton);
  });
  window.TriggerCommand(transformCommand);
  QVERIFY(*shown);
}

QImage InputPicture(const MainWindow& window) {
  return window.backingBitmap.copy(0, 0, InputImage.width, InputImage.height);
}

// True when every pixel of shown is the pixel of one of the two pictures: the first picture, the
// second, or the second partly drawn over the first.
bool EveryPixelFromEither(const QImage& shown, const QImage& first, const QImage& second) {
  for (int y = 0; y < shown.height(); ++y)
    for (int x = 0; x < shown.width(); ++x) {
      const QRgb p = shown.pixel(x, y);
      if (p != first.pixel(x, y) && p != second.pixel(x, y)) return false;
    }
  return true;
}

}  // namespace

class DrawingProgressTest : public QObject {
  Q_OBJECT

 private slots:
  void TheTransformRepaintsTheWindowWhileItsPassesAreDrawn() {
    ShellHarness shell;
    MainWindow& window = *shell.window;
    window.TriggerCommand(sample640Command);
    QCOMPARE(InputImage.width, 640);
    const QImage input = InputPicture(window);
    const long before = window.canvas()->repaintCount();
    PaintRecorder recorder(window);

    RunAlgorithm1(window, false);

    QCOMPARE(WorkImage.kind, distanceKind);
    const QImage finalMap = InputPicture(window);
    QVERIFY(finalMap != input);
    // Each of the two passes spans several frames.
    const long repaints = window.canvas()->repaintCount() - before;
    QVERIFY2(repaints >= 2 * (CanvasDrawing::framesPerPass - 1),
             qPrintable(QString("only %1 repaints").arg(repaints)));
    // Some of what the user saw was neither the input nor the finished map: passes in progress.
    int partial = 0;
    for (const QImage& seen : recorder.seen) {
      const QImage shown = seen.copy(0, 0, 640, 480);
      if (shown != input && shown != finalMap) ++partial;
    }
    QVERIFY2(partial >= CanvasDrawing::framesPerPass,
             qPrintable(QString("%1 partial frames").arg(partial)));
  }

  void WithTimingOnNothingIsRepaintedBeforeTheFinalDrawing() {
    ShellHarness shell;
    MainWindow& window = *shell.window;
    window.TriggerCommand(sample640Command);
    const QImage input = InputPicture(window);
    shell.ClearMessages();
    PaintRecorder recorder(window);

    RunAlgorithm1(window, true);

    QCOMPARE(WorkImage.kind, distanceKind);
    const QImage finalMap = InputPicture(window);
    // No pass was drawn: whatever was repainted shows the input, the final map, or the final map
    // being drawn over the input (a slow machine may repaint during the final drawing).
    for (const QImage& seen : recorder.seen)
      QVERIFY(EveryPixelFromEither(seen.copy(0, 0, 640, 480), input, finalMap));
    QCOMPARE(shell.services.messages.size(), std::size_t(1));  // the time report
  }
};

QTEST_MAIN(DrawingProgressTest)
#include "DrawingProgressTest.moc"
