// The main window's drawing targets: every pixel lands in the backing bitmap, and the window is
// repainted while a command draws, but at most about 60 times a second.
#include <QPaintEvent>
#include <QTest>

#include "app/MainWindow.h"
#include "gui/support/ShellHarness.h"

using namespace dt;
using namespace dt::testing;

class MainWindowDrawingTest : public QObject {
  Q_OBJECT

 private slots:
  void repaintsArePacedByTheClock();
  void repaintCoversWhatWasDrawn();
  void pixelsOutsideTheCanvasAreDropped();
  void nestedDrawingKeepsTheOuterOne();
};

namespace {

class ManualClock final : public Clock {
 public:
  int64_t NowMs() override { return now; }
  int64_t now = 1000;
};

// Records the rectangles of the paint events a widget receives.
class PaintSpy : public QObject {
 public:
  explicit PaintSpy(QWidget* widget) { widget->installEventFilter(this); }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) rects << static_cast<QPaintEvent*>(event)->rect();
    return false;
  }
  QList<QRect> rects;
};

// Draws count pixels row by row from (0, y), in a 1000-pixel-wide band.
void DrawPixels(MainWindow& window, const DrawingTargets& targets, int count, int& next) {
  for (int i = 0; i < count; ++i, ++next)
    window.engine.PutPixel(targets, next % 1000, next / 1000, 0, 0, 0);
}

}  // namespace

void MainWindowDrawingTest::repaintsArePacedByTheClock() {
  ShellHarness shell;
  ManualClock clock;
  shell.window->repaintClock = &clock;
  const long start = shell.window->canvas()->repaintCount();
  const int chunk = CanvasDrawing::pixelsPerClockCheck;
  int next = 0;
  {
    auto drawing = shell.window->MakeDrawingTargets();
    // A stopped clock: no repaint while drawing, however much is drawn.
    DrawPixels(*shell.window, drawing, chunk * 20, next);
    QCOMPARE(shell.window->canvas()->repaintCount(), start);
    // 5 ms per chunk: a repaint every fourth chunk (16 ms), never more often.
    for (int i = 0; i < 40; ++i) {
      clock.now += 5;
      DrawPixels(*shell.window, drawing, chunk, next);
    }
    QCOMPARE(shell.window->canvas()->repaintCount() - start, 10L);
    // 40 ms per chunk: one repaint per chunk.
    for (int i = 0; i < 5; ++i) {
      clock.now += 40;
      DrawPixels(*shell.window, drawing, chunk, next);
    }
    QCOMPARE(shell.window->canvas()->repaintCount() - start, 15L);
    DrawPixels(*shell.window, drawing, 10, next);
  }
  // What was left is shown when the drawing ends.
  QCOMPARE(shell.window->canvas()->repaintCount() - start, 16L);
  // Drawing nothing repaints nothing.
  { auto drawing = shell.window->MakeDrawingTargets(); }
  QCOMPARE(shell.window->canvas()->repaintCount() - start, 16L);
}

void MainWindowDrawingTest::repaintCoversWhatWasDrawn() {
  ShellHarness shell;
  PaintSpy spy(shell.window->canvas());
  {
    auto drawing = shell.window->MakeDrawingTargets();
    shell.window->engine.PutPixel(drawing, 700, 500, 255, 0, 0);
    shell.window->engine.PutPixel(drawing, 20, 900, 0, 255, 0);
    spy.rects.clear();
    // A message box would now come up: what was drawn must be on screen first.
    shell.window->FlushDrawing();
    QCOMPARE(spy.rects.size(), 1);
    QCOMPARE(spy.rects[0], QRect(QPoint(20, 500), QPoint(700, 900)));
  }
  QCOMPARE(spy.rects.size(), 1);  // nothing new to show at the end
  QCOMPARE(shell.Pixel(700, 500), 0xFF0000u);
  QCOMPARE(shell.Pixel(20, 900), 0x00FF00u);
  const QImage screen = ScreenOfCanvas(*shell.window);
  QCOMPARE(screen.pixel(700, 500) & 0xFFFFFF, 0xFF0000u);
  // Only the low 8 bits of each component count.
  {
    auto drawing = shell.window->MakeDrawingTargets();
    shell.window->engine.PutPixel(drawing, 1, 1, 256 + 1, -1, 512 + 0x80);
  }
  QCOMPARE(shell.Pixel(1, 1), 0x01FF80u);
}

void MainWindowDrawingTest::pixelsOutsideTheCanvasAreDropped() {
  ShellHarness shell;
  const QImage before = shell.window->backingBitmap.copy();
  const long repaints = shell.window->canvas()->repaintCount();
  {
    auto drawing = shell.window->MakeDrawingTargets();
    for (const QPoint& p : {QPoint(1300, 0), QPoint(-1, 5), QPoint(5, 1100), QPoint(5000, 5000),
                            QPoint(-100000, -3)})
      shell.window->engine.PutPixel(drawing, p.x(), p.y(), 0, 0, 0);
  }
  QCOMPARE(shell.window->backingBitmap, before);
  QCOMPARE(shell.window->canvas()->repaintCount(), repaints);
}

void MainWindowDrawingTest::nestedDrawingKeepsTheOuterOne() {
  ShellHarness shell;
  PaintSpy spy(shell.window->canvas());
  auto outer = std::make_unique<CanvasDrawing>(*shell.window->canvas(),
                                               shell.window->backingBitmap, *shell.window->repaintClock);
  shell.window->engine.PutPixel(*outer, 5, 5, 0, 0, 0);
  { auto inner = shell.window->MakeDrawingTargets(); }
  spy.rects.clear();
  shell.window->FlushDrawing();  // the outer drawing is the running one again
  QCOMPARE(spy.rects, QList<QRect>{QRect(5, 5, 1, 1)});
  outer.reset();
  spy.rects.clear();
  shell.window->FlushDrawing();
  QVERIFY(spy.rects.isEmpty());
}

QTEST_MAIN(MainWindowDrawingTest)
#include "MainWindowDrawingTest.moc"
