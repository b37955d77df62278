// Command 40041 through the real main window: the dialog as the user answers it, the checks, the
// operations it calls, the final drawing and the timing reports.
#include <QAbstractButton>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

#include "app/MainWindow.h"
#include "gui/support/DialogScript.h"
#include "gui/support/ShellHarness.h"
#include "image/Globals.h"

using namespace dt;
using namespace dt::testing;

namespace {

constexpr int morphologyCommand = 40041;
constexpr int transformCommand = 40036;
constexpr int loadCommand = 40034;
constexpr int editTriangleCommand = 40013;

// Answers the morphology dialog: clicks the buttons in order, types the size (unless null),
// then closes with 実行 (1) or ｷｬﾝｾﾙ (2).
std::shared_ptr<bool> Answer(std::vector<int> clicks, const char* size, int closeWith = 1,
                             std::function<void(QDialog*)> inspect = {}) {
  const QString typed = size ? QString::fromUtf8(size) : QString();
  const bool typeIt = size != nullptr;
  return AnswerDialog(clicks, closeWith, inspect, [=](QDialog* dialog) {
    if (!typeIt) return;
    auto* field = dialog->findChild<QLineEdit*>("1010");
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, typed);
  });
}

struct Fixture {
  explicit Fixture(const Rows& rows) : shell(MakeFolder(dir, rows)) { Load(); }
  static QString MakeFolder(QTemporaryDir& dir, const Rows& rows) {
    WriteXpm(dir.filePath("picture.xpm"), rows);
    return dir.path();
  }
  void Load() {
    shell.services.fileAnswers.push_back(std::string("picture.xpm"));
    shell.window->TriggerCommand(loadCommand);
    shell.ClearMessages();
  }
  QTemporaryDir dir;
  ShellHarness shell;
};

const Rows dot = {".......", ".......", ".......", "...#...", ".......", ".......", "......."};

}  // namespace

class MorphologyCommandTest : public QObject {
  Q_OBJECT

 private slots:
  void RefusedBeforeAnyImageAndAfterADistanceTransform() {
    {
      ShellHarness shell;
      ModalGuard guard(0);  // the command must not get as far as its dialog
      shell.window->TriggerCommand(morphologyCommand);
      QVERIFY(!guard.fired());
      QCOMPARE(Texts(shell), QStringList{"現在の画像は２値画像ではありません。"});
      QCOMPARE(QString::fromStdString(shell.services.messages[0].caption), QString("エラー"));
      QVERIFY(shell.services.messages[0].owner == MessageOwner::MainWindow);
    }
    Fixture f(dot);
    MainWindow& w = *f.shell.window;
    auto transform = WhenDialogShown([](QDialog* d) {
      QTest::mouseClick(Button(d, 1000), Qt::LeftButton);
      QTest::mouseClick(Button(d, 1), Qt::LeftButton);
    });
    w.TriggerCommand(transformCommand);
    QVERIFY(*transform);
    const QImage after = w.backingBitmap.copy();
    ModalGuard guard(0);  // the command must not get as far as its dialog
    w.TriggerCommand(morphologyCommand);
    QVERIFY(!guard.fired());
    QCOMPARE(Texts(f.shell), QStringList{"現在の画像は２値画像ではありません。"});
    QCOMPARE(WorkImage.kind, distanceKind);
    QCOMPARE(w.backingBitmap, after);
  }

  void TheFirstRunShowsSizeZeroCircleNoTimingAndNoOperation() {
    Fixture f(dot);
    MainWindow& w = *f.shell.window;
    bool inspected = false;
    auto shown = Answer({1036}, nullptr, 1, [&](QDialog* dialog) {
      inspected = true;
      QCOMPARE(dialog->windowTitle(), QString("距離変換(UDT)を用いたモルフォロジー演算"));
      for (int id : {1036, 1037, 1038, 1039}) QVERIFY(!Button(dialog, id)->isChecked());
      QVERIFY(Button(dialog, 1019)->isChecked());
      for (int id : {1020, 1021, 1022}) QVERIFY(!Button(dialog, id)->isChecked());
      for (int id : {1019, 1020, 1021, 1022}) QVERIFY(Button(dialog, id)->isEnabled());
      QVERIFY(!Button(dialog, 1023)->isChecked());
      QCOMPARE(dialog->findChild<QLineEdit*>("1010")->text(), QString("0"));
    });
    w.TriggerCommand(morphologyCommand);
    QVERIFY(*shown && inspected);
    // Dilation with size 0 changes nothing.
    QVERIFY(f.shell.Texts().empty());
    QCOMPARE(w.engine.processKind, 2);
    QCOMPARE(Current(InputImage), dot);
    QCOMPARE(CanvasRows(f.shell, 7, 7), dot);
  }

  void NoOperationChosenComputesAndReportsNothing() {
    Fixture f(dot);
    MainWindow& w = *f.shell.window;
    w.TriggerCommand(40006);
    const QImage before = w.backingBitmap.copy();
    auto shown = Answer({1021, 1023}, "4");
    w.TriggerCommand(morphologyCommand);
    QVERIFY(*shown);
    QCOMPARE(Texts(f.shell), QStringList{"処理内容が選択されていません。"});
    QCOMPARE(QString::fromStdString(f.shell.services.messages[0].caption), QString("エラー"));
    QCOMPARE(w.engine.processKind, 0);
    QCOMPARE(w.engine.distanceFunction, 3);  // the settings are stored all the same
    QCOMPARE(w.engine.filterSize, 4);
    QCOMPARE(w.engine.measureTime, 1);
    QCOMPARE(Current(InputImage), dot);
    QCOMPARE(w.backingBitmap, before);  // nothing redrawn
  }

  void TheSizeFieldIsReadAsAnUnsignedNumber() {
    const std::pair<const char*, int> cases[] = {
        {"  12abc", 12}, {"-5", 0}, {"abc", 0}, {"", 0}, {"99999999999", 2147483647}};
    for (const auto& [typed, size] : cases) {
      Fixture f(dot);
      auto shown = Answer({1036, 1021}, typed);
      f.shell.window->TriggerCommand(morphologyCommand);
      QVERIFY(*shown);
      QCOMPARE(f.shell.window->engine.filterSize, size);
    }
  }

  void AHugeSizeIsNeverNegative() {
    // Dilating by the largest size fills an image that holds any foreground; a negative size
    // would have cleared it.
    Fixture f(dot);
    auto dilate = Answer({1036, 1021}, "99999999999");
    f.shell.window->TriggerCommand(morphologyCommand);
    QVERIFY(*dilate);
    QCOMPARE(Current(InputImage), Rows(7, "#######"));
    QCOMPARE(CanvasRows(f.shell, 7, 7), Rows(7, "#######"));
    // Eroding a full image by it keeps it full: the border is not background.
    auto erode = Answer({1037}, nullptr);
    f.shell.window->TriggerCommand(morphologyCommand);
    QVERIFY(*erode);
    QCOMPARE(f.shell.window->engine.filterSize, 2147483647);
    QCOMPARE(Current(InputImage), Rows(7, "#######"));
  }

  void ResultsAccumulateAndAreDrawn() {
    Fixture f(dot);
    MainWindow& w = *f.shell.window;
    auto first = Answer({1036, 1021}, "1");
    w.TriggerCommand(morphologyCommand);
    QVERIFY(*first);
    const Rows block3 = {".......", ".......", "..###..", "..###..",
                         "..###..", ".......", "......."};
    QCOMPARE(Current(InputImage), block3);
    QCOMPARE(CanvasRows(f.shell, 7, 7), block3);
    // The dialog opens with the last shape and size; the second dilation works on the first's
    // result.
    bool inspected = false;
    auto second = Answer({1036}, nullptr, 1, [&](QDialog* dialog) {
      inspected = true;
      QVERIFY(Button(dialog, 1021)->isChecked());
      QVERIFY(!Button(dialog, 1036)->isChecked());
      QCOMPARE(dialog->findChild<QLineEdit*>("1010")->text(), QString("1"));
    });
    w.TriggerCommand(morphologyCommand);
    QVERIFY(*second && inspected);
    const Rows block5 = {".......", ".#####.", ".#####.", ".#####.",
                         ".#####.", ".#####.", "......."};
    QCOMPARE(Current(InputImage), block5);
    QCOMPARE(Current(WorkImage), block5);
    QCOMPARE(CanvasRows(f.shell, 7, 7), block5);
    QCOMPARE(InputImage.whiteCount, 25);
    // Opening by the same square leaves the 5 x 5 block.
    auto open = Answer({1038}, nullptr);
    w.TriggerCommand(morphologyCommand);
    QVERIFY(*open);
    QCOMPARE(Current(InputImage), block5);
  }

  void EveryOperationIsCalledWithItsOwnFeatureValue() {
    const Rows holes = {"#########", "#########", "##.######", "#########",
                        "######.##", "#########", "#########"};
    // Closing by the square of size 1 fills the single holes; opening keeps the image, whose
    // foreground is everywhere at least 3 x 3 wide.
    Fixture f(holes);
    auto close = Answer({1039, 1021}, "1");
    f.shell.window->TriggerCommand(morphologyCommand);
    QVERIFY(*close);
    QCOMPARE(Current(InputImage), Rows(7, "#########"));
    QCOMPARE(CanvasRows(f.shell, 9, 7), Rows(7, "#########"));

    Fixture g(holes);
    auto erode = Answer({1037, 1021}, "1");
    g.shell.window->TriggerCommand(morphologyCommand);
    QVERIFY(*erode);
    const Rows eroded = {"#########", "#...#####", "#...#####", "#...#...#",
                         "#####...#", "#####...#", "#########"};
    QCOMPARE(Current(InputImage), eroded);
    QCOMPARE(CanvasRows(g.shell, 9, 7), eroded);
  }

  void TimingReportsTwiceForErosionAndOnceForDilation() {
    Fixture f(dot);
    MainWindow& w = *f.shell.window;
    f.shell.services.clockMs = 0;
    f.shell.services.clockStep = 250;
    auto erode = Answer({1037, 1019, 1023}, "1");
    w.TriggerCommand(morphologyCommand);
    QVERIFY(*erode);
    QCOMPARE(Texts(f.shell), (QStringList{"    0.25 秒かかりました",
                                          "    0.75 秒かかりました。\n（最終結果描画時間は含みません）"}));
    for (const auto& m : f.shell.services.messages) QCOMPARE(m.caption, appTitle);
    QVERIFY(f.shell.services.messages[1].owner == MessageOwner::MainWindow);
    QCOMPARE(Current(InputImage), Rows(7, "......."));
    QCOMPARE(CanvasRows(f.shell, 7, 7), Rows(7, "......."));  // drawn after the reports

    f.Load();
    f.shell.services.clockMs = 0;
    auto dilate = Answer({1036}, nullptr, 1, [](QDialog* dialog) {
      QVERIFY(Button(dialog, 1023)->isChecked());  // timing stays on
    });
    w.TriggerCommand(morphologyCommand);
    QVERIFY(*dilate);
    QCOMPARE(Texts(f.shell),
             QStringList{"    0.25 秒かかりました。\n（最終結果描画時間は含みません）"});
    QCOMPARE(CanvasRows(f.shell, 7, 7), (Rows{".......", ".......", "..###..", "..###..", "..###..",
                                         ".......", "......."}));
  }

  void CancelKeepsEverySetting() {
    Fixture f(dot);
    MainWindow& w = *f.shell.window;
    auto shown = Answer({1037, 1022, 1023}, "9", 2);
    w.TriggerCommand(morphologyCommand);
    QVERIFY(*shown);
    QCOMPARE(w.engine.measureTime, 0);
    QCOMPARE(w.engine.distanceFunction, 1);
    QCOMPARE(w.engine.filterSize, 0);
    QCOMPARE(w.engine.processKind, 0);
    QVERIFY(f.shell.Texts().empty());
    QCOMPARE(Current(InputImage), dot);
  }

  void TheTriangleFromTheEditorIsPreselectedAndUsed() {
    Fixture f(dot);
    MainWindow& w = *f.shell.window;
    w.TriggerCommand(editTriangleCommand);
    bool inspected = false;
    auto shown = Answer({1036}, "3", 1, [&](QDialog* dialog) {
      inspected = true;
      QVERIFY(Button(dialog, 1022)->isChecked());
    });
    w.TriggerCommand(morphologyCommand);
    QVERIFY(*shown && inspected);
    QCOMPARE(w.engine.t1Direction, 2);
    // The default apex: rows of 1, 3, 5 and 7 pixels, the widest on the pixel's own row.
    const Rows triangle = {"...#...", "..###..", ".#####.", "#######",
                           ".......", ".......", "......."};
    QCOMPARE(Current(InputImage), triangle);
    QCOMPARE(CanvasRows(f.shell, 7, 7), triangle);
    w.TriggerCommand(editTriangleCommand);
  }
};

QTEST_MAIN(MorphologyCommandTest)
#include "MorphologyCommandTest.moc"
