// The separate input view: opened and closed by command 40040 and by its close box, sized by the
// input, drawing the input and reporting it once per opening.
#include <QPointer>
#include <QTest>

#include "app/MainWindow.h"
#include "app/PrivateEvents.h"
#include "gui/support/DialogScript.h"
#include "gui/support/ShellHarness.h"
#include "image/Globals.h"
#include "image/gui/InputImageView.h"

using namespace dt;
using namespace dt::testing;

class InputViewTest : public QObject {
  Q_OBJECT

 private slots:
  void opensClosesAndReopens();
  void closeBoxTellsTheOwnerWhichClosesIt();
  void beforeAnyInputOnlyTheNoInputMessageOnce();
  void showsTheInputAndItsSizeOnce();
  void closingTheMainWindowTakesTheViewAlong();
};

namespace {

// Paints the view several times over, as covering and uncovering it would.
void RepaintSeveralTimes(QWidget* view) {
  for (int i = 0; i < 5; ++i) {
    view->repaint();
    view->update();
    QTest::qWait(20);
  }
}

void DeleteClosedWindows() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

}  // namespace

void InputViewTest::opensClosesAndReopens() {
  ShellHarness shell;
  MainWindow& window = *shell.window;
  window.TriggerCommand(40040);
  QPointer<InputImageView> first = window.inputView;
  QVERIFY(first);
  QVERIFY(first->isVisible());
  QVERIFY(first->isWindow());
  QCOMPARE(first->windowTitle(), QString("InputImageView"));
  QCOMPARE(first->parentWidget(), static_cast<QWidget*>(&window));

  window.TriggerCommand(40040);
  QVERIFY(window.inputView == nullptr);
  DeleteClosedWindows();
  QVERIFY(first.isNull());

  window.TriggerCommand(40040);
  QVERIFY(window.inputView != nullptr);
  QVERIFY(window.inputView->isVisible());
  window.TriggerCommand(40040);
  QVERIFY(window.inputView == nullptr);
}

void InputViewTest::closeBoxTellsTheOwnerWhichClosesIt() {
  ShellHarness shell;
  MainWindow& window = *shell.window;
  window.TriggerCommand(40040);
  QPointer<InputImageView> view = window.inputView;
  QVERIFY(QTest::qWaitForWindowExposed(view.data()));

  view->close();  // the close box
  QVERIFY(window.inputView == nullptr);
  QVERIFY(view.isNull() || !view->isVisible());
  DeleteClosedWindows();
  QVERIFY(view.isNull());

  // The private message alone closes an open view, synchronously.
  window.TriggerCommand(40040);
  view = window.inputView;
  NotifyOwner(&window, InputViewClosed);
  QVERIFY(window.inputView == nullptr);
  DeleteClosedWindows();
  QVERIFY(view.isNull());
  window.TriggerCommand(40040);
  QVERIFY(window.inputView != nullptr);
}

void InputViewTest::beforeAnyInputOnlyTheNoInputMessageOnce() {
  ShellHarness shell;
  MainWindow& window = *shell.window;
  triangleApex = {25, 75};
  window.TriggerCommand(40040);
  InputImageView* view = window.inputView;
  QVERIFY(triangleApex == (ApexPoint{0, 150}));  // the view's engine starts afresh
  QCOMPARE(view->engine.inputLoaded, 0);
  QVERIFY(view->width() <= 1 && view->height() <= 1);
  QVERIFY(QTest::qWaitForWindowExposed(view));
  QTRY_COMPARE(Texts(shell), QStringList{"入力画像が取り込まれていません。"});
  QCOMPARE(shell.services.messages[0].caption, appTitle);
  RepaintSeveralTimes(view);
  QCOMPARE(Texts(shell), QStringList{"入力画像が取り込まれていません。"});

  // An input loaded later is not shown by a view opened before it.
  window.TriggerCommand(40015);
  shell.ClearMessages();
  RepaintSeveralTimes(view);
  QVERIFY(shell.services.messages.empty());
  QCOMPARE(view->engine.inputLoaded, 0);
  QVERIFY(view->width() <= 1);
}

void InputViewTest::showsTheInputAndItsSizeOnce() {
  const XpmPicture picture = ReadXpmForTest(QStringLiteral(DT_SAMPLES_DIR "/sample1-160.xpm"));
  ShellHarness shell;
  MainWindow& window = *shell.window;
  window.TriggerCommand(40015);
  shell.ClearMessages();

  window.TriggerCommand(40040);
  InputImageView* view = window.inputView;
  QCOMPARE(view->engine.inputLoaded, 1);
  QCOMPARE(view->size(), QSize(160, 120));
  QVERIFY(QTest::qWaitForWindowExposed(view));
  const QString size = QString("画像サイズは 160 × 120 です。\n白黒比率は %1：%2 です。")
                           .arg(picture.whiteCount())
                           .arg(160 * 120 - picture.whiteCount());
  QTRY_COMPARE(Texts(shell), QStringList{size});
  RepaintSeveralTimes(view);
  QCOMPARE(Texts(shell), QStringList{size});

  const QImage shown = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
  for (int r = 0; r < 120; ++r)
    for (int c = 0; c < 160; ++c)
      QCOMPARE(shown.pixel(c, r) & 0xFFFFFF, picture.at(r, c) == 1 ? 0xFFFFFFu : 0u);

  // The next opening reports again, once.
  window.TriggerCommand(40040);
  window.TriggerCommand(40040);
  QVERIFY(QTest::qWaitForWindowExposed(window.inputView));
  QTRY_COMPARE(Texts(shell), (QStringList{size, size}));
  RepaintSeveralTimes(window.inputView);
  QCOMPARE(shell.services.messages.size(), std::size_t(2));
}

void InputViewTest::closingTheMainWindowTakesTheViewAlong() {
  ShellHarness shell;
  shell.window->TriggerCommand(40040);
  QPointer<InputImageView> view = shell.window->inputView;
  shell.window->close();
  QVERIFY(shell.window->inputView == nullptr);
  QVERIFY(view.isNull() || !view->isVisible());
}

QTEST_MAIN(InputViewTest)
#include "InputViewTest.moc"
