// Command 40036 through the real main window: its checks, the dialog as the user answers it, the
// warnings, the timing report and the distance map on the canvas.
#include <QAbstractButton>
#include <QDialog>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <functional>
#include <random>

#include "app/MainWindow.h"
#include "gui/support/DialogScript.h"
#include "gui/support/ShellHarness.h"
#include "image/Globals.h"
#include "morphology/gui/OriginalFilterWindow.h"

using namespace dt;
using namespace dt::testing;

namespace {

constexpr int transformCommand = 40036;
constexpr int loadCommand = 40034;
constexpr int editTriangleCommand = 40013;

const char* const slowWarning =
    "かなり処理に時間がかかります。\n（参考：320x240画像をPentium133MHzで処理して１分以上かかります。）\n"
    "（画像サイズ縦横倍になると処理時間は約 8倍になります。）\n\n実行すると中断は出来ません。\n"
    "その場合は強制終了してください。";
const char* const verySlowWarning =
    "めちゃくちゃ処理に時間がかかります。\n（参考：160x120画像をPentium133MHzで処理して１分以上かかります。）\n"
    "（画像サイズ縦横倍になると処理時間は約16倍になります。）\n\n実行すると中断は出来ません。\n"
    "その場合は強制終了してください。";

Rows RandomRows(int width, int height, double density, unsigned seed) {
  std::mt19937 rng(seed);
  std::bernoulli_distribution on(density);
  Rows rows(height, std::string(width, '.'));
  for (auto& row : rows)
    for (auto& c : row) c = on(rng) ? '#' : '.';
  return rows;
}

// floor of the Euclidean distance to the nearest '#', or noFeature without any.
std::vector<int32_t> BruteForceEuclid(const Rows& rows) {
  const int h = int(rows.size()), w = int(rows[0].size());
  std::vector<int32_t> out(std::size_t(w) * h, noFeature);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int64_t best = -1;
      for (int k = 0; k < h; ++k)
        for (int l = 0; l < w; ++l)
          if (rows[k][l] == '#') {
            const int64_t d = int64_t(x - l) * (x - l) + int64_t(y - k) * (y - k);
            if (best < 0 || d < best) best = d;
          }
      if (best >= 0) {
        int64_t r = int64_t(std::sqrt(double(best)));
        while (r * r > best) --r;
        while ((r + 1) * (r + 1) <= best) ++r;
        out[std::size_t(y) * w + x] = int32_t(r);
      }
    }
  return out;
}

QRgb Grey(int32_t value) {
  const int g = value == noFeature ? 255 : std::min<int64_t>(int64_t(value) * 16, 255);
  return qRgb(255 - g, 255 - g, 255 - g) & 0xFFFFFF;
}

// A clock that lets the test look at the window at each reading.
class WatchingClock final : public Clock {
 public:
  int64_t NowMs() override {
    if (onRead) onRead(reads);
    ++reads;
    const int64_t t = now;
    now += step;
    return t;
  }
  std::function<void(int)> onRead;
  int reads = 0;
  int64_t now = 1000;
  int64_t step = 250;
};

struct Fixture {
  explicit Fixture(const Rows& rows) : shell(MakeFolder(dir, rows)) {
    shell.services.fileAnswers.push_back(std::string("picture.xpm"));
    shell.window->TriggerCommand(loadCommand);
    shell.ClearMessages();
  }
  static QString MakeFolder(QTemporaryDir& dir, const Rows& rows) {
    WriteXpm(dir.filePath("picture.xpm"), rows);
    return dir.path();
  }
  QTemporaryDir dir;
  ShellHarness shell;
};

// Where the canvas differs from the expected greys of values over a w x h image.
QString CompareGreys(const ShellHarness& shell, const std::vector<int32_t>& values, int w, int h) {
  const QImage screen = ScreenOfCanvas(*shell.window);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const QRgb expected = Grey(values[std::size_t(y) * w + x]);
      if (shell.Pixel(x, y) != expected || (screen.pixel(x, y) & 0xFFFFFF) != expected)
        return QString("(%1, %2): %3 instead of %4")
            .arg(x).arg(y).arg(shell.Pixel(x, y), 6, 16).arg(expected, 6, 16);
    }
  return {};
}

std::vector<int32_t> WorkValues() {
  std::vector<int32_t> values;
  for (int y = 0; y < InputImage.height; ++y)
    for (int x = 0; x < InputImage.width; ++x) values.push_back(WorkImage.rows[y][x]);
  return values;
}

}  // namespace

class DistanceTransformCommandTest : public QObject {
  Q_OBJECT

 private slots:
  void RefusedBeforeAnyImage() {
    ShellHarness shell;
    ModalGuard guard(0);  // the command must not get as far as its dialog
    shell.window->TriggerCommand(transformCommand);
    QVERIFY(!guard.fired());
    QCOMPARE(shell.services.messages.size(), std::size_t(1));
    const RecordedMessage& m = shell.services.messages[0];
    QCOMPARE(QString::fromStdString(m.text), QString("現在の画像は２値画像ではありません。"));
    QCOMPARE(QString::fromStdString(m.caption), QString("エラー"));
    QVERIFY(m.owner == MessageOwner::MainWindow);
    QVERIFY(CanvasIsWhite(*shell.window, QRect(0, 0, 1300, 1100)));
  }

  void TheDialogOpensWithTheStoredSettingsAndCancelKeepsThem() {
    Fixture f(RandomRows(12, 9, 0.2, 1));
    MainWindow& w = *f.shell.window;
    w.engine.distanceFunction = 3;
    w.engine.measureTime = 1;
    bool inspected = false;
    auto shown = AnswerDialog({1000, 1019, 1023}, 2, [&](QDialog* dialog) {
      inspected = true;
      QCOMPARE(dialog->windowTitle(), QString("距離変換"));
      QVERIFY(!Button(dialog, 1000)->isChecked());
      QVERIFY(!Button(dialog, 1003)->isChecked());
      QVERIFY(!Button(dialog, 1004)->isChecked());
      QVERIFY(Button(dialog, 1021)->isChecked());
      QVERIFY(Button(dialog, 1023)->isChecked());
      QVERIFY(!Button(dialog, 1022)->isEnabled());
    });
    w.TriggerCommand(transformCommand);
    QVERIFY(*shown && inspected);
    QCOMPARE(w.engine.distanceFunction, 3);
    QCOMPARE(w.engine.measureTime, 1);
    QCOMPARE(WorkImage.kind, binaryKind);
    QVERIFY(f.shell.Texts().empty());
  }

  void RunWithoutAlgorithmStoresTheSettingsAndComputesNothing() {
    const Rows rows = RandomRows(10, 8, 0.3, 2);
    Fixture f(rows);
    MainWindow& w = *f.shell.window;
    const QImage before = w.backingBitmap.copy();
    auto shown = AnswerDialog({1020, 1023});
    w.TriggerCommand(transformCommand);
    QVERIFY(*shown);
    QCOMPARE(Texts(f.shell), QStringList{"処理内容が選択されていません。"});
    QCOMPARE(QString::fromStdString(f.shell.services.messages[0].caption), QString("エラー"));
    QVERIFY(f.shell.services.messages[0].owner == MessageOwner::MainWindow);
    QCOMPARE(w.engine.processKind, 0);
    QCOMPARE(w.engine.distanceFunction, 2);
    QCOMPARE(w.engine.t1Direction, 1);
    QCOMPARE(w.engine.measureTime, 1);
    QCOMPARE(WorkImage.kind, binaryKind);
    QCOMPARE(w.backingBitmap, before);
  }

  void CancelInAWarningComputesNothing_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("warning");
    QTest::addColumn<int>("kind");
    QTest::newRow("algorithm 2") << 1003 << QString(slowWarning) << 4;
    QTest::newRow("simple") << 1004 << QString(verySlowWarning) << 5;
  }
  void CancelInAWarningComputesNothing() {
    QFETCH(int, button);
    QFETCH(QString, warning);
    QFETCH(int, kind);
    Fixture f(RandomRows(10, 8, 0.3, 3));
    MainWindow& w = *f.shell.window;
    const QImage before = w.backingBitmap.copy();
    f.shell.services.messageAnswers.push_back(MessageResult::Cancel);
    auto shown = AnswerDialog({button, 1023});
    w.TriggerCommand(transformCommand);
    QVERIFY(*shown);
    QCOMPARE(f.shell.services.messages.size(), std::size_t(1));  // the warning, no time report
    const RecordedMessage& m = f.shell.services.messages[0];
    QCOMPARE(QString::fromStdString(m.text), warning);
    QCOMPARE(QString::fromStdString(m.caption), QString("警告"));
    QVERIFY(m.buttons == MessageButtons::OkCancelQuestion);
    QVERIFY(m.owner == MessageOwner::MainWindow);
    QCOMPARE(w.engine.processKind, kind);  // the choice is kept all the same
    QCOMPARE(w.engine.measureTime, 1);
    QCOMPARE(WorkImage.kind, binaryKind);
    QCOMPARE(w.engine.distanceReady, 0);
    QCOMPARE(w.backingBitmap, before);
  }

  void OkInTheWarningRunsTheSlowTransforms() {
    const Rows rows = RandomRows(11, 7, 0.15, 4);
    for (int button : {1003, 1004}) {
      Fixture f(rows);
      MainWindow& w = *f.shell.window;
      auto shown = AnswerDialog({button});
      w.TriggerCommand(transformCommand);
      QVERIFY(*shown);
      QCOMPARE(f.shell.services.messages.size(), std::size_t(1));  // the warning only
      QCOMPARE(WorkImage.kind, distanceKind);
      QCOMPARE(WorkValues(), BruteForceEuclid(rows));
      const QString diff = CompareGreys(f.shell, BruteForceEuclid(rows), 11, 7);
      QVERIFY2(diff.isEmpty(), qPrintable(diff));
    }
  }

  void AlgorithmOneDrawsTheExactMapInGrey() {
    const Rows rows = RandomRows(37, 23, 0.04, 5);
    Fixture f(rows);
    MainWindow& w = *f.shell.window;
    auto shown = AnswerDialog({1000, 1019});
    w.TriggerCommand(transformCommand);
    QVERIFY(*shown);
    QVERIFY(f.shell.Texts().empty());  // no warning, and no report without timing
    QCOMPARE(w.engine.processKind, 1);
    QCOMPARE(WorkImage.kind, distanceKind);
    QCOMPARE(w.engine.distanceReady, 1);
    const std::vector<int32_t> expected = BruteForceEuclid(rows);
    QCOMPARE(WorkValues(), expected);
    const QString diff = CompareGreys(f.shell, expected, 37, 23);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    // The input is untouched.
    for (int y = 0; y < 23; ++y)
      for (int x = 0; x < 37; ++x) QCOMPARE(InputImage.rows[y][x], rows[y][x] == '#' ? 1 : 0);
  }

  void ASecondRunIsRefused() {
    Fixture f(RandomRows(9, 9, 0.2, 6));
    MainWindow& w = *f.shell.window;
    auto first = AnswerDialog({1000});
    w.TriggerCommand(transformCommand);
    QVERIFY(*first);
    const QImage after = w.backingBitmap.copy();
    {
      ModalGuard guard(0);  // the command must not get as far as its dialog
      w.TriggerCommand(transformCommand);
      QVERIFY(!guard.fired());
    }
    QCOMPARE(Texts(f.shell), QStringList{"現在の画像は２値画像ではありません。"});
    QCOMPARE(w.backingBitmap, after);
    // Loading the input again makes it possible once more.
    f.shell.services.fileAnswers.push_back(std::string("picture.xpm"));
    w.TriggerCommand(loadCommand);
    f.shell.ClearMessages();
    auto third = AnswerDialog({1000});
    w.TriggerCommand(transformCommand);
    QVERIFY(*third);
    QVERIFY(f.shell.Texts().empty());
  }

  void WithTimingNothingIsDrawnUntilTheResultAndTheSecondsAreReported() {
    const Rows rows = RandomRows(30, 20, 0.05, 7);
    Fixture f(rows);
    MainWindow& w = *f.shell.window;
    w.TriggerCommand(40006);  // a white canvas, so any pixel drawn would show
    const QImage before = w.backingBitmap.copy();
    WatchingClock clock;
    QImage atEnd;
    long repaintsAtStart = -1, repaintsAtEnd = -1;
    clock.onRead = [&](int read) {
      if (read == 0) repaintsAtStart = w.canvas()->repaintCount();
      if (read == 1) {
        atEnd = w.backingBitmap.copy();
        repaintsAtEnd = w.canvas()->repaintCount();
      }
    };
    InstallServices(Services{&f.shell.services, &f.shell.services, &clock, &f.shell.services});
    auto shown = AnswerDialog({1000, 1023});
    w.TriggerCommand(transformCommand);
    InstallServices(Services{&f.shell.services, &f.shell.services, &f.shell.services,
                             &f.shell.services});
    QVERIFY(*shown);
    QCOMPARE(clock.reads, 2);
    QCOMPARE(atEnd, before);  // the transform itself drew nothing
    QCOMPARE(repaintsAtEnd, repaintsAtStart);
    const QString diff = CompareGreys(f.shell, BruteForceEuclid(rows), 30, 20);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));  // the final redraw
    QCOMPARE(Texts(f.shell),
             QStringList{"    0.25 秒かかりました。\n（最終結果描画時間は含みません）"});
    QCOMPARE(f.shell.services.messages[0].caption, appTitle);
    QVERIFY(f.shell.services.messages[0].owner == MessageOwner::MainWindow);
  }

  void TheReportShowsTwoDecimalsRightAligned() {
    const std::pair<int64_t, const char*> cases[] = {
        {0, "    0.00"}, {1234, "    1.23"}, {98766, "   98.77"}, {123456789, "123456.79"}};
    for (const auto& [ms, shown] : cases) {
      Fixture f(RandomRows(5, 4, 0.3, 8));
      f.shell.services.clockMs = 0;
      f.shell.services.clockStep = ms;
      auto answered = AnswerDialog({1000, 1023});
      f.shell.window->TriggerCommand(transformCommand);
      QVERIFY(*answered);
      QCOMPARE(Texts(f.shell),
               QStringList{QString(shown) + " 秒かかりました。\n（最終結果描画時間は含みません）"});
    }
  }

  void TheTriangleSelectedInTheEditorIsShownAndUsed() {
    Fixture f(RandomRows(15, 12, 0.1, 9));
    MainWindow& w = *f.shell.window;
    w.TriggerCommand(editTriangleCommand);
    QVERIFY(w.filterEditor != nullptr);
    w.TriggerCommand(editTriangleCommand);  // closing the editor keeps the triangle selected
    QVERIFY(w.filterEditor == nullptr);
    bool inspected = false;
    auto shown = AnswerDialog({1000}, 1, [&](QDialog* dialog) {
      inspected = true;
      QVERIFY(Button(dialog, 1022)->isChecked());
      QVERIFY(!Button(dialog, 1022)->isEnabled());
    });
    w.TriggerCommand(transformCommand);
    QVERIFY(*shown && inspected);
    QCOMPARE(w.engine.distanceFunction, 4);
    QCOMPARE(w.engine.t1Direction, 2);
    QCOMPARE(WorkImage.kind, distanceKind);
    QVERIFY(f.shell.Texts().empty());
  }
};

QTEST_MAIN(DistanceTransformCommandTest)
#include "DistanceTransformCommandTest.moc"
