// The main window as it starts: title, placement, canvas and the menu with every label and
// command id in its order.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include "app/MainWindow.h"
#include "gui/support/ShellHarness.h"
#include "image/Globals.h"

using namespace dt;
using namespace dt::testing;

class MainWindowMenuTest : public QObject {
  Q_OBJECT

 private slots:
  void menuHasEveryLabelAndIdInOrder();
  void everyMenuItemIsEnabled();
  void choosingAMenuItemRunsItsCommand();
  void titleCanvasAndPlacement();
  void unknownCommandDoesNothing();
};

namespace {

// The menu as the user sees it, one line per entry: "[drop-down]", "id label", "----" for a
// separator, "bar id label" for a command on the menu bar itself.
const QStringList expectedMenu = {
    "[入出力管理]",
    "40034 入力画像取りこみ",
    "----",
    "40011 入力画像サンプル（640x480）",
    "40014 入力画像サンプル（320x240）",
    "40015 入力画像サンプル（160x120）",
    "40018 入力画像サンプル（四角形）",
    "----",
    "40005 入力画像再表示",
    "40040 入力画像別ウインドウ表示",
    "----",
    "40035 画像保存",
    "bar 40036 距離変換",
    "[モルフォロジー演算]",
    "40041 距離変換によるモルフォロジー演算",
    "40013 独自三角形フィルタ編集",
    "----",
    "40038 フィルタ画像取りこみ",
    "40042 フィルタ画像によるモルフォロジー演算",
    "40028 フィルタ画像再表示",
    "bar 40006 画面クリア",
    "bar 40007 終了(&E)",
    "bar 40043 バージョン情報",
};

QString Describe(const QAction* action) {
  // The id must be both in data() and in the object name.
  const QString id = action->data().toString();
  if (action->objectName() != id) return "name/id mismatch: " + action->objectName() + " " + id;
  return id + " " + action->text();
}

QStringList MenuOf(MainWindow& window) {
  QStringList lines;
  for (QAction* top : window.menuBar()->actions()) {
    if (QMenu* menu = top->menu()) {
      lines << "[" + menu->title() + "]";
      for (QAction* item : menu->actions())
        lines << (item->isSeparator() ? QString("----") : Describe(item));
    } else {
      lines << "bar " + Describe(top);
    }
  }
  return lines;
}

QList<QAction*> AllActions(MainWindow& window) {
  QList<QAction*> all;
  for (QAction* top : window.menuBar()->actions()) {
    all << top;
    if (top->menu()) all << top->menu()->actions();
  }
  return all;
}

}  // namespace

void MainWindowMenuTest::menuHasEveryLabelAndIdInOrder() {
  ShellHarness shell;
  QCOMPARE(MenuOf(*shell.window), expectedMenu);
  for (const QString& line : expectedMenu) {
    const QStringList parts = line.split(' ');
    const int id = parts[0] == "bar" ? parts[1].toInt() : parts[0].toInt();
    if (id == 0) continue;
    QVERIFY2(shell.window->ActionFor(id) != nullptr, qPrintable(line));
    QCOMPARE(shell.window->ActionFor(id)->data().toInt(), id);
  }
}

void MainWindowMenuTest::everyMenuItemIsEnabled() {
  ShellHarness shell;
  for (QAction* action : AllActions(*shell.window)) {
    if (action->isSeparator()) continue;
    QVERIFY2(action->isEnabled() && action->isVisible(), qPrintable(action->text()));
  }
  // The triangle editor too, though it is the one item that used to start greyed.
  QVERIFY(shell.window->ActionFor(40013)->isEnabled());
}

void MainWindowMenuTest::choosingAMenuItemRunsItsCommand() {
  ShellHarness shell;
  shell.window->ActionFor(40043)->trigger();
  QCOMPARE(shell.services.messages.size(), std::size_t(1));
  QCOMPARE(QString::fromStdString(shell.services.messages[0].caption), QString("バージョン情報"));
  QCOMPARE(QString::fromStdString(shell.services.messages[0].text),
           QString("距離変換＆モルフォロジー演算デモソフト\nVer.0.48\n\n《使用上の注意》\n"
                   "・画像ファイルは必ず実行ファイルと同じ場所においてください。\n"
                   "・入力画像の端の方に前景画素があるとうまくいかないことがあります。\n"
                   "・フィルタ画像は各行に最低ひとつは前景画素がないと１次元分解距離変換型は"
                   "正常動作しません。"));
  QVERIFY(shell.services.messages[0].buttons == MessageButtons::Ok);
  QVERIFY(shell.services.messages[0].owner == MessageOwner::MainWindow);
}

void MainWindowMenuTest::titleCanvasAndPlacement() {
  FreshGlobals globals;
  RecordingServices services;
  triangleApex = {40, 20};
  MainWindow window;
  QCOMPARE(window.windowTitle(), QString("距離変換＆モルフォロジー演算デモ"));
  QCOMPARE(window.windowTitle().toStdString(), appTitle);
  // A new main window's engine puts the triangle apex back to its start.
  QVERIFY(triangleApex == (ApexPoint{0, 150}));
  QVERIFY(window.filterEditor == nullptr);
  QVERIFY(window.inputView == nullptr);
  QCOMPARE(window.centralWidget(), static_cast<QWidget*>(window.canvas()));
  QCOMPARE(window.backingBitmap.size(), QSize(1300, 1100));
  QCOMPARE(window.backingBitmap.format(), QImage::Format_RGB32);
  QVERIFY(CanvasIsWhite(window, window.backingBitmap.rect()));

  window.PlaceAndShow();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  QTRY_COMPARE(window.frameGeometry(), QRect(0, 0, 1312, 1150));
  // The canvas fills the window below the menu bar.
  QVERIFY(window.canvas()->width() >= 1300);
  QCOMPARE(window.canvas()->mapTo(&window, QPoint(0, 0)).y(), window.menuBar()->height());
}

void MainWindowMenuTest::unknownCommandDoesNothing() {
  ShellHarness shell;
  shell.window->TriggerCommand(12345);
  shell.window->TriggerCommand(0);
  QVERIFY(shell.services.messages.empty());
  QVERIFY(shell.services.fileRequests.empty());
}

QTEST_MAIN(MainWindowMenuTest)
#include "MainWindowMenuTest.moc"
