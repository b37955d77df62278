// The filter image commands through the real main window: loading and showing the filter, and
// command 40042 with its checks, its dialog, the warning before the decomposed method, the final
// drawing and the timing report.
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

constexpr int filterMorphologyCommand = 40042;
constexpr int loadFilterCommand = 40038;
constexpr int redisplayFilterCommand = 40028;
constexpr int loadCommand = 40034;
constexpr int transformCommand = 40036;

const char* const warningText =
    "フィルタの縦画素回だけ描画するため、\n入力画像またはフィルタ画像が大きい場合\n"
    "非常に時間がかかることがあります。\n\n実行すると中断は出来ません。\n"
    "その場合は強制終了してください。";

// A folder with an input picture and a filter, the picture loaded and the filter chosen.
struct Fixture {
  Fixture(const Rows& picture, const Rows& filter) : shell(MakeFolder(dir, picture, filter)) {
    shell.services.fileAnswers.push_back(std::string("picture.xpm"));
    shell.window->TriggerCommand(loadCommand);
    shell.services.fileAnswers.push_back(std::string("filter.xpm"));
    shell.window->TriggerCommand(loadFilterCommand);
    shell.ClearMessages();
  }
  static QString MakeFolder(QTemporaryDir& dir, const Rows& picture, const Rows& filter) {
    WriteXpm(dir.filePath("picture.xpm"), picture);
    WriteXpm(dir.filePath("filter.xpm"), filter);
    return dir.path();
  }
  QTemporaryDir dir;
  ShellHarness shell;
};

const Rows picture = {"........", "..##....", "..##....", "......#.", "........"};
const Rows bar = {"###"};
// The picture dilated by bar: every white pixel spreads one column to each side.
const Rows widened = {"........", ".####...", ".####...", ".....###", "........"};

}  // namespace

class FilterMorphologyCommandTest : public QObject {
  Q_OBJECT

 private slots:
  void LoadingAFilterDrawsItAndReportsItsSize() {
    ShellHarness shell;
    shell.window->TriggerCommand(redisplayFilterCommand);
    QCOMPARE(Texts(shell), QStringList{"フィルタ画像が取り込まれていません。"});
    QCOMPARE(QString::fromStdString(shell.services.messages[0].caption), QString("エラー"));
    QVERIFY(CanvasIsWhite(*shell.window, QRect(0, 0, 20, 20)));
    shell.ClearMessages();

    shell.services.fileAnswers.push_back(std::nullopt);  // cancel: nothing happens
    shell.window->TriggerCommand(loadFilterCommand);
    QCOMPARE(shell.services.fileRequests.size(), std::size_t(1));
    const FileDialogRequest& request = shell.services.fileRequests[0];
    QVERIFY(request.mode == FileDialogRequest::Mode::Open);
    QCOMPARE(QString::fromStdString(request.initialName), QString("filterQX15.xpm"));
    QCOMPARE(QString::fromStdString(request.defaultExtension), QString(".xpm"));
    QCOMPARE(QString::fromStdString(request.filter), QString("XPM files (*.xpm)"));
    QVERIFY(Texts(shell).isEmpty());
    QCOMPARE(shell.window->engine.filterLoaded, 0);
    QVERIFY(filterFileName.empty());

    shell.services.fileAnswers.push_back(std::string("filterQX15.xpm"));
    shell.window->TriggerCommand(loadFilterCommand);
    QCOMPARE(QString::fromStdString(filterFileName), QString("filterQX15.xpm"));
    QCOMPARE(Texts(shell), QStringList{"画像サイズは 15 × 15 です。"});
    QCOMPARE(shell.services.messages[0].caption, appTitle);
    const XpmPicture filter = ReadXpmForTest(QStringLiteral(DT_SAMPLES_DIR) + "/filterQX15.xpm");
    QCOMPARE(filter.width, 15);
    for (int r = 0; r < 15; ++r)
      for (int c = 0; c < 15; ++c)
        QCOMPARE(shell.Pixel(c, r), QRgb(filter.at(r, c) ? 0xFFFFFF : 0));
    QVERIFY(CanvasIsWhite(*shell.window, QRect(15, 0, 5, 20)));

    // Redisplay draws it again over whatever is there.
    shell.window->TriggerCommand(40006);  // clear the screen
    shell.ClearMessages();
    shell.window->TriggerCommand(redisplayFilterCommand);
    QCOMPARE(Texts(shell), QStringList{"画像サイズは 15 × 15 です。"});
    QCOMPARE(shell.Pixel(7, 0), QRgb(0xFFFFFF));

    // A later cancelled dialog keeps the name.
    shell.window->TriggerCommand(loadFilterCommand);
    QCOMPARE(QString::fromStdString(filterFileName), QString("filterQX15.xpm"));
  }

  void RefusedWithoutABinaryImageOrAFilter() {
    {
      ShellHarness shell;
      ModalGuard guard(0);  // the command must not get as far as its dialog
      shell.window->TriggerCommand(filterMorphologyCommand);
      QVERIFY(!guard.fired());
      QCOMPARE(Texts(shell), QStringList{"現在の画像は２値画像ではありません。"});
      QCOMPARE(QString::fromStdString(shell.services.messages[0].caption), QString("エラー"));
      QVERIFY(shell.services.messages[0].owner == MessageOwner::MainWindow);

      shell.ClearMessages();
      shell.services.fileAnswers.push_back(std::string("square.xpm"));
      shell.window->TriggerCommand(loadCommand);
      shell.ClearMessages();
      shell.window->TriggerCommand(filterMorphologyCommand);
      QVERIFY(!guard.fired());
      QCOMPARE(Texts(shell), QStringList{"フィルタ画像を先に選択してください。"});
      QCOMPARE(QString::fromStdString(shell.services.messages[0].caption), QString("エラー"));
    }
    // After a distance transform the current image is a grey map.
    Fixture f(picture, bar);
    auto transform = WhenDialogShown([](QDialog* d) {
      QTest::mouseClick(Button(d, 1000), Qt::LeftButton);
      QTest::mouseClick(Button(d, 1), Qt::LeftButton);
    });
    f.shell.window->TriggerCommand(transformCommand);
    QVERIFY(*transform);
    f.shell.ClearMessages();
    ModalGuard guard(0);
    f.shell.window->TriggerCommand(filterMorphologyCommand);
    QVERIFY(!guard.fired());
    QCOMPARE(Texts(f.shell), QStringList{"現在の画像は２値画像ではありません。"});
  }

  void SimpleDilationDrawsTheResultWithoutAsking() {
    Fixture f(picture, bar);
    ModalGuard guard;
    auto answered = AnswerDialog({1030}, 1, [](QDialog* d) {
      auto* name = d->findChild<QLineEdit*>("1035");
      QCOMPARE(name->text(), QString("filter.xpm"));
      QVERIFY(!name->isEnabled());
      QVERIFY(Button(d, 1028)->isChecked());  // simple, as at start
    });
    f.shell.window->TriggerCommand(filterMorphologyCommand);
    QVERIFY(*answered);
    QVERIFY(Texts(f.shell).isEmpty());  // no warning, no report
    QCOMPARE(Current(InputImage), widened);
    QCOMPARE(CanvasRows(f.shell, 8, 5), widened);
    QCOMPARE(f.shell.window->engine.filterOperation, 0);
    QCOMPARE(f.shell.window->engine.filterAlgorithm, 0);
  }

  void DecomposedAsksFirstAndCancelKeepsTheChoicesButComputesNothing() {
    Fixture f(picture, bar);
    ModalGuard guard;
    MainWindow& w = *f.shell.window;
    const QImage before = w.backingBitmap.copy(0, 0, 20, 20);
    f.shell.services.messageAnswers.push_back(MessageResult::Cancel);
    auto answered = AnswerDialog({1031, 1029});
    w.TriggerCommand(filterMorphologyCommand);
    QVERIFY(*answered);
    QCOMPARE(Texts(f.shell), QStringList{warningText});
    const RecordedMessage& warning = f.shell.services.messages[0];
    QCOMPARE(QString::fromStdString(warning.caption), QString("警告"));
    QVERIFY(warning.buttons == MessageButtons::OkCancelQuestion);
    QVERIFY(warning.owner == MessageOwner::MainWindow);
    QCOMPARE(Current(InputImage), picture);
    QCOMPARE(Current(WorkImage), picture);
    QCOMPARE(w.backingBitmap.copy(0, 0, 20, 20), before);
    QCOMPARE(w.engine.filterAlgorithm, 1);
    QCOMPARE(w.engine.filterOperation, 1);

    // The next opening shows the remembered method and no operation; OK to the warning runs it.
    f.shell.ClearMessages();
    auto again = AnswerDialog({1030}, 1, [](QDialog* d) {
      QVERIFY(Button(d, 1029)->isChecked());
      for (int id : {1030, 1031, 1032, 1033}) QVERIFY(!Button(d, id)->isChecked());
    });
    w.TriggerCommand(filterMorphologyCommand);
    QVERIFY(*again);
    QCOMPARE(Texts(f.shell), QStringList{warningText});
    QCOMPARE(Current(InputImage), widened);
    QCOMPARE(CanvasRows(f.shell, 8, 5), widened);
  }

  void TimingSkipsTheWarningAndReportsTheSeconds() {
    Fixture f(picture, bar);
    ModalGuard guard;
    f.shell.services.clockMs = 10000;
    f.shell.services.clockStep = 1250;  // each reading of the clock moves it on by 1.25 s
    auto answered = AnswerDialog({1032, 1029, 1023});
    f.shell.window->TriggerCommand(filterMorphologyCommand);
    QVERIFY(*answered);
    QCOMPARE(Texts(f.shell),
             QStringList{"    1.25 秒かかりました。\n（最終結果描画時間は含みません）"});
    QCOMPARE(f.shell.services.messages[0].caption, appTitle);
    QCOMPARE(f.shell.window->engine.measureTime, 1);
    // A bar of three is wider than every white stretch: the opening removes them all.
    const Rows opened = {"........", "........", "........", "........", "........"};
    QCOMPARE(Current(InputImage), opened);
    QCOMPARE(CanvasRows(f.shell, 8, 5), opened);
  }

  void RunWithoutAnOperationWaitsForAChoice() {
    Fixture f(picture, bar);
    ModalGuard guard;
    auto answered = WhenDialogShown([](QDialog* d) {
      QTest::mouseClick(Button(d, 1), Qt::LeftButton);  // nothing chosen yet
      QVERIFY(d->isVisible());
      QTest::mouseClick(Button(d, 1033), Qt::LeftButton);
      QTest::mouseClick(Button(d, 1), Qt::LeftButton);
    });
    f.shell.window->TriggerCommand(filterMorphologyCommand);
    QVERIFY(*answered);
    QCOMPARE(Texts(f.shell), QStringList{"処理内容が選択されていません。"});
    QCOMPARE(f.shell.window->engine.filterOperation, 3);
    // The right border counts as neither colour, so the dot at the edge grows to it.
    const Rows closed = {"........", "..##....", "..##....", "......##", "........"};
    QCOMPARE(Current(InputImage), closed);
  }

  void CancelInTheDialogChangesNothing() {
    Fixture f(picture, bar);
    ModalGuard guard;
    auto answered = AnswerDialog({1030, 1029, 1023}, 2);
    f.shell.window->TriggerCommand(filterMorphologyCommand);
    QVERIFY(*answered);
    QVERIFY(Texts(f.shell).isEmpty());
    QCOMPARE(f.shell.window->engine.filterAlgorithm, 0);
    QCOMPARE(f.shell.window->engine.measureTime, 0);
    QCOMPARE(Current(InputImage), picture);
  }
};

QTEST_MAIN(FilterMorphologyCommandTest)
#include "FilterMorphologyCommandTest.moc"
