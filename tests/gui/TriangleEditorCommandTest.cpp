// Command 40013 and the triangle filter editor inside the real main window: opening and closing,
// the close box, the stored apex, and the input view's reset of the apex.
#include <QMouseEvent>
#include <QPointer>
#include <QtTest>

#include "app/MainWindow.h"
#include "gui/support/ShellHarness.h"
#include "image/Globals.h"
#include "morphology/gui/OriginalFilterWindow.h"

using namespace dt;
using namespace dt::testing;

namespace {

constexpr int editTriangleCommand = 40013;
constexpr int inputViewCommand = 40040;

void Send(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons held) {
  QMouseEvent event(type, QPointF(p), QPointF(w->mapToGlobal(p)), button, held, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &event);
}

void DragApex(QWidget* editor, QPoint from, QPoint to) {
  Send(editor, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
  Send(editor, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
  Send(editor, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}

void DeleteClosedWindows() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

bool IsBlack(const QImage& image, int x, int y) { return (image.pixel(x, y) & 0xFFFFFF) == 0; }

}  // namespace

class TriangleEditorCommandTest : public QObject {
  Q_OBJECT

 private slots:
  void TheCommandOpensTheEditorAndSelectsTheTriangleThenClosesIt() {
    ShellHarness shell;
    MainWindow& w = *shell.window;
    QVERIFY(w.filterEditor == nullptr);
    w.TriggerCommand(editTriangleCommand);
    QVERIFY(w.filterEditor != nullptr);
    QPointer<OriginalFilterWindow> editor = w.filterEditor;
    QVERIFY(editor->isVisible());
    QVERIFY(editor->isWindow());
    QCOMPARE(editor->parentWidget(), &w);
    QCOMPARE(editor->windowTitle(), QString("OriginalFilterWindow"));
    QCOMPARE(w.engine.distanceFunction, 4);
    QCOMPARE(w.engine.t1Direction, 2);

    // The default apex: an isosceles triangle with its apex at (200, 200).
    const QImage image = editor->grab().toImage();
    QVERIFY(IsBlack(image, 200, 200));
    QVERIFY(IsBlack(image, 125, 275));
    QVERIFY(IsBlack(image, 275, 275));
    QVERIFY(IsBlack(image, 100, 350));
    QCOMPARE(image.pixel(46, 200) & 0xFFFFFF, 0xC8C8C8u);

    w.engine.distanceFunction = 1;
    w.TriggerCommand(editTriangleCommand);
    QVERIFY(w.filterEditor == nullptr);
    QCOMPARE(w.engine.distanceFunction, 1);  // closing selects nothing
    DeleteClosedWindows();
    QVERIFY(editor.isNull());
    QVERIFY(shell.Texts().empty());
  }

  void TheCloseBoxClearsTheEditorAndReopeningShowsTheStoredApex() {
    ShellHarness shell;
    MainWindow& w = *shell.window;
    w.TriggerCommand(editTriangleCommand);
    QPointer<OriginalFilterWindow> editor = w.filterEditor;
    DragApex(editor, QPoint(200, 200), QPoint(370, 20));
    QCOMPARE(triangleApex, (ApexPoint{150, 300}));
    QCOMPARE(editor->figure().apex, QPoint(350, 50));

    editor->close();  // the close box
    QVERIFY(w.filterEditor == nullptr);
    QVERIFY(editor.isNull() || !editor->isVisible());
    DeleteClosedWindows();
    QVERIFY(editor.isNull());
    QCOMPARE(triangleApex, (ApexPoint{150, 300}));  // the apex outlives the window

    w.TriggerCommand(editTriangleCommand);  // the next command opens a fresh editor
    QVERIFY(w.filterEditor != nullptr);
    QCOMPARE(w.filterEditor->figure().apex, QPoint(350, 50));
    const QImage image = w.filterEditor->grab().toImage();
    QVERIFY(IsBlack(image, 350, 50));
    QVERIFY(!IsBlack(image, 275, 275));  // the old right side is gone
    // A press more than 3 pixels off the apex moves nothing.
    DragApex(w.filterEditor, QPoint(346, 50), QPoint(100, 100));
    QCOMPARE(triangleApex, (ApexPoint{150, 300}));
    DragApex(w.filterEditor, QPoint(350, 54), QPoint(100, 100));
    QCOMPARE(triangleApex, (ApexPoint{150, 300}));
    DragApex(w.filterEditor, QPoint(347, 53), QPoint(200, 400));
    QCOMPARE(triangleApex, (ApexPoint{0, 0}));  // down onto the base line
  }

  void TheInputViewResetsTheApex() {
    ShellHarness shell;
    MainWindow& w = *shell.window;
    w.TriggerCommand(editTriangleCommand);
    DragApex(w.filterEditor, QPoint(200, 200), QPoint(120, 90));
    QCOMPARE(triangleApex, (ApexPoint{-80, 260}));

    w.TriggerCommand(inputViewCommand);  // its own engine puts the apex back
    QVERIFY(w.inputView != nullptr);
    QCOMPARE(triangleApex, ApexPoint{});
    const QImage image = w.filterEditor->grab().toImage();  // the next repaint shows it
    QCOMPARE(w.filterEditor->figure().apex, QPoint(200, 200));
    QVERIFY(IsBlack(image, 200, 200));
    QVERIFY(!IsBlack(image, 120, 90));
    w.TriggerCommand(inputViewCommand);
    QVERIFY(w.inputView == nullptr);
    w.TriggerCommand(editTriangleCommand);
    QVERIFY(w.filterEditor == nullptr);
  }
};

QTEST_MAIN(TriangleEditorCommandTest)
#include "TriangleEditorCommandTest.moc"
