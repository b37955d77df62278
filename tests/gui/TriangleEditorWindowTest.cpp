// The triangle filter editor window on its own: its drawing, dragging the apex, and its close
// request, which only tells the owner.
#include <QMouseEvent>
#include <QtTest>

#include "app/PrivateEvents.h"
#include "image/Globals.h"
#include "morphology/gui/OriginalFilterWindow.h"

using dt::OriginalFilterWindow;
using dt::triangleApex;

namespace {

const QEvent::Type closedType = dt::FilterEditorClosed;

// Stands in for the main window: counts the close notifications it receives.
class Owner : public QWidget {
 public:
  int closedCount = 0;

 protected:
  bool event(QEvent* event) override {
    if (event->type() == closedType) {
      ++closedCount;
      return true;
    }
    return QWidget::event(event);
  }
};

void Send(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons held) {
  QMouseEvent event(type, QPointF(p), QPointF(w->mapToGlobal(p)), button, held, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &event);
}
void Press(QWidget* w, QPoint p) {
  Send(w, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
}
void Drag(QWidget* w, QPoint p) { Send(w, QEvent::MouseMove, p, Qt::NoButton, Qt::LeftButton); }
void Hover(QWidget* w, QPoint p) { Send(w, QEvent::MouseMove, p, Qt::NoButton, Qt::NoButton); }
void Release(QWidget* w, QPoint p) {
  Send(w, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
}

bool IsBlack(const QImage& image, int x, int y) { return image.pixel(x, y) == qRgb(0, 0, 0); }
bool IsWhite(const QImage& image, int x, int y) {
  return image.pixel(x, y) == qRgb(255, 255, 255);
}

}  // namespace

class TriangleEditorWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { dt::ResetGlobalState(); }

  void DrawsFrameTriangleAndOriginAtTheDefaultApex() {
    Owner owner;
    OriginalFilterWindow editor(&owner);
    QCOMPARE(editor.windowTitle(), QString("OriginalFilterWindow"));
    QVERIFY(editor.isWindow());
    QCOMPARE(editor.parentWidget(), &owner);
    QVERIFY(editor.width() >= 356 && editor.height() >= 356);
    editor.show();
    const QImage image = editor.grab().toImage();
    QCOMPARE(editor.figure().apex, QPoint(200, 200));

    // The grey frame: (46, 46) to (354, 354), white inside.
    const QRgb grey = qRgb(200, 200, 200);
    for (int t = 46; t <= 354; t += 2) {
      QCOMPARE(image.pixel(t, 46), grey);
      QCOMPARE(image.pixel(46, t), grey);
      QCOMPARE(image.pixel(354, t), grey);
    }
    QCOMPARE(image.pixel(355, 200), qRgb(255, 255, 255));
    QCOMPARE(image.pixel(200, 355), qRgb(255, 255, 255));
    QCOMPARE(image.pixel(45, 200), qRgb(255, 255, 255));

    // The base from (50, 350) to (350, 350) and the two sides meeting at (200, 200).
    for (int x = 50; x <= 349; ++x)
      if (x < 194 || x > 206) QVERIFY2(IsBlack(image, x, 350), qPrintable(QString::number(x)));
    QVERIFY(IsBlack(image, 200, 200));
    for (int t = 0; t <= 150; t += 5) {
      QVERIFY(IsBlack(image, 200 - t, 200 + t));  // left side
      QVERIFY(IsBlack(image, 200 + t, 200 + t));  // right side
    }
    QVERIFY(IsWhite(image, 200, 199));  // nothing above the apex
    QVERIFY(IsWhite(image, 200, 275));  // inside the triangle
    QVERIFY(IsWhite(image, 100, 200));  // outside it
    QVERIFY(IsWhite(image, 200, 197));  // no handle while nothing is dragged

    // The origin marker: a small circle round (200, 350), white in its middle.
    QVERIFY(IsBlack(image, 195, 349) || IsBlack(image, 195, 350));
    QVERIFY(IsBlack(image, 200, 345) || IsBlack(image, 199, 345));
    QVERIFY(IsWhite(image, 200, 347));
    QVERIFY(IsWhite(image, 200, 343));
  }

  void DraggingTheApexClampsItToTheDrawingArea() {
    Owner owner;
    OriginalFilterWindow editor(&owner);
    editor.show();
    Press(&editor, QPoint(202, 197));  // within 3 pixels on both axes
    QCOMPARE(editor.figure().dragging, 1);
    QVERIFY(IsBlack(editor.grab().toImage(), 197, 197));  // the handle shows while dragging
    Drag(&editor, QPoint(260, 120));
    QCOMPARE(triangleApex, (dt::ApexPoint{60, 230}));
    Drag(&editor, QPoint(370, 20));
    QCOMPARE(editor.figure().apex, QPoint(350, 50));
    QCOMPARE(triangleApex, (dt::ApexPoint{150, 300}));
    Drag(&editor, QPoint(-40, 500));
    QCOMPARE(triangleApex, (dt::ApexPoint{-150, 0}));  // down onto the base line
    Drag(&editor, QPoint(30, 200));
    QCOMPARE(triangleApex, (dt::ApexPoint{-150, 150}));
    Release(&editor, QPoint(30, 200));
    QCOMPARE(editor.figure().dragging, 0);

    // The drawing follows the apex: the left side is now vertical at x = 50.
    const QImage image = editor.grab().toImage();
    for (int y = 200; y <= 350; y += 10) QVERIFY(IsBlack(image, 50, y));
    QVERIFY(IsWhite(image, 200, 200));
    QVERIFY(IsWhite(image, 47, 197));  // no handle after the release

    // Moving without the button held, or after the release, moves nothing.
    Hover(&editor, QPoint(100, 100));
    Drag(&editor, QPoint(100, 100));
    QCOMPARE(triangleApex, (dt::ApexPoint{-150, 150}));
  }

  void APressMoreThanThreePixelsOffDoesNotDrag() {
    Owner owner;
    OriginalFilterWindow editor(&owner);
    editor.show();
    for (QPoint p : {QPoint(204, 200), QPoint(196, 200), QPoint(200, 204), QPoint(200, 196),
                     QPoint(204, 204), QPoint(50, 350)}) {
      Press(&editor, p);
      QCOMPARE(editor.figure().dragging, 0);
      Drag(&editor, QPoint(300, 100));
      Release(&editor, QPoint(300, 100));
      QCOMPARE(triangleApex, dt::ApexPoint{});
    }
    // The corners of the grip still catch.
    Press(&editor, QPoint(197, 203));
    QCOMPARE(editor.figure().dragging, 1);
    Release(&editor, QPoint(197, 203));
  }

  void ShowsTheApexStoredElsewhere() {
    triangleApex = {-60, 90};
    Owner owner;
    OriginalFilterWindow editor(&owner);
    editor.show();
    QImage image = editor.grab().toImage();
    QCOMPARE(editor.figure().apex, QPoint(140, 260));
    QVERIFY(IsBlack(image, 140, 260));
    QVERIFY(IsWhite(image, 200, 200));
    // A change made while the editor is open shows at its next repaint, and a press hits the
    // apex as it now is.
    triangleApex = {0, 150};
    image = editor.grab().toImage();
    QVERIFY(IsBlack(image, 200, 200));
    Press(&editor, QPoint(200, 200));
    QCOMPARE(editor.figure().dragging, 1);
  }

  void ACloseRequestOnlyTellsTheOwner() {
    Owner owner;
    auto* editor = new OriginalFilterWindow(&owner);
    editor->show();
    QVERIFY(!editor->close());
    QCOMPARE(owner.closedCount, 1);
    QVERIFY(editor->isVisible());
    QVERIFY(!editor->close());
    QCOMPARE(owner.closedCount, 2);
  }
};

QTEST_MAIN(TriangleEditorWindowTest)
#include "TriangleEditorWindowTest.moc"
