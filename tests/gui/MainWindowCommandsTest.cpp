// The shell's commands driven through the real main window by command id, with messages and file
// dialogs scripted: loading, redisplay, clearing, saving, quitting and the version text.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "app/MainWindow.h"
#include "gui/support/DialogScript.h"
#include "gui/support/ShellHarness.h"
#include "image/Globals.h"

using namespace dt;
using namespace dt::testing;

class MainWindowCommandsTest : public QObject {
  Q_OBJECT

 private slots:
  void samplesAreDrawnAtTopLeftAndReported_data();
  void samplesAreDrawnAtTopLeftAndReported();
  void loadDialogAsksForAnXpmAndLoadsTheChoice();
  void cancelInLoadDialogChangesNothing();
  void smallerImageLeavesTheRestOfTheLargerVisible();
  void clearAndRightClickWhitenButKeepImages();
  void redisplayBeforeAnyInputOnlyReports();
  void badFileIsReportedAndChangesNothing();
  void saveWritesTheResultAndCancelWritesNothing();
  void quitAsksAndCancelKeepsRunning();
  void distanceGreysOnTheCanvas();
};

namespace {

QString Sample(const QString& name) { return QStringLiteral(DT_SAMPLES_DIR) + "/" + name; }

QString SizeMessage(const XpmPicture& picture) {
  return QString("画像サイズは %1 × %2 です。\n白黒比率は %3：%4 です。")
      .arg(picture.width)
      .arg(picture.height)
      .arg(picture.whiteCount())
      .arg(picture.width * picture.height - picture.whiteCount());
}

// Compares the canvas with the picture placed at the top-left; reports the first difference.
QString CompareCanvas(const ShellHarness& shell, const XpmPicture& picture) {
  for (int r = 0; r < picture.height; ++r)
    for (int c = 0; c < picture.width; ++c) {
      const QRgb expected = picture.at(r, c) == 1 ? 0xFFFFFF : 0x000000;
      if (shell.Pixel(c, r) != expected)
        return QString("pixel (%1, %2) is %3").arg(c).arg(r).arg(shell.Pixel(c, r), 6, 16);
    }
  return {};
}

}  // namespace

void MainWindowCommandsTest::samplesAreDrawnAtTopLeftAndReported_data() {
  QTest::addColumn<int>("id");
  QTest::addColumn<QString>("file");
  QTest::newRow("640") << 40011 << "sample1-640.xpm";
  QTest::newRow("320") << 40014 << "sample1-320.xpm";
  QTest::newRow("160") << 40015 << "sample1-160.xpm";
  QTest::newRow("square") << 40018 << "square.xpm";
}

void MainWindowCommandsTest::samplesAreDrawnAtTopLeftAndReported() {
  QFETCH(int, id);
  QFETCH(QString, file);
  const XpmPicture picture = ReadXpmForTest(Sample(file));
  QVERIFY2(picture.width > 0 && picture.height > 0, qPrintable(file));
  ShellHarness shell;
  shell.window->engine.distanceReady = 1;
  const long repaints = shell.window->canvas()->repaintCount();

  shell.window->TriggerCommand(id);

  QCOMPARE(CompareCanvas(shell, picture), QString());
  // Nothing is drawn beside or below the picture.
  QVERIFY(CanvasIsWhite(*shell.window, QRect(picture.width, 0, 1300, 1100)));
  QVERIFY(CanvasIsWhite(*shell.window, QRect(0, picture.height, 1300, 1100)));
  QCOMPARE(Texts(shell), QStringList{SizeMessage(picture)});
  QCOMPARE(shell.services.messages[0].caption, appTitle);
  if (id == 40011) QVERIFY(SizeMessage(picture).startsWith("画像サイズは 640 × 480 です。\n白黒比率は "));
  QCOMPARE(InputImage.width, picture.width);
  QCOMPARE(InputImage.height, picture.height);
  QCOMPARE(shell.window->engine.distanceReady, 0);
  QCOMPARE(shell.window->engine.inputLoaded, 1);
  QVERIFY(shell.services.fileRequests.empty());
  // The drawing was brought on screen by the command itself, not left to a later paint.
  QVERIFY(shell.window->canvas()->repaintCount() > repaints);
  // What reaches the screen is the backing bitmap.
  QCOMPARE(ScreenOfCanvas(*shell.window).copy(0, 0, picture.width, picture.height),
           shell.window->backingBitmap.copy(0, 0, picture.width, picture.height));
}

void MainWindowCommandsTest::loadDialogAsksForAnXpmAndLoadsTheChoice() {
  ShellHarness shell;
  shell.services.fileAnswers.push_back(std::string("sample1-160.xpm"));
  shell.window->TriggerCommand(40034);

  QCOMPARE(shell.services.fileRequests.size(), std::size_t(1));
  const FileDialogRequest& request = shell.services.fileRequests[0];
  QVERIFY(request.mode == FileDialogRequest::Mode::Open);
  QCOMPARE(request.initialName, std::string("dreamcast.xpm"));
  QCOMPARE(request.defaultExtension, std::string(".xpm"));
  QCOMPARE(request.filter, std::string("XPM files (*.xpm)"));
  const XpmPicture picture = ReadXpmForTest(Sample("sample1-160.xpm"));
  QCOMPARE(CompareCanvas(shell, picture), QString());
  QCOMPARE(Texts(shell), QStringList{SizeMessage(picture)});
}

void MainWindowCommandsTest::cancelInLoadDialogChangesNothing() {
  ShellHarness shell;
  shell.window->TriggerCommand(40015);
  shell.window->engine.distanceReady = 1;
  const QImage before = shell.window->backingBitmap.copy();
  const int32_t* pixels = InputImage.rows.data();
  shell.ClearMessages();

  shell.window->TriggerCommand(40034);  // no answer scripted: the dialog is cancelled

  QCOMPARE(shell.services.fileRequests.size(), std::size_t(1));
  QVERIFY(shell.services.messages.empty());
  QCOMPARE(shell.window->backingBitmap, before);
  QCOMPARE(InputImage.rows.data(), pixels);
  QCOMPARE(InputImage.width, 160);
  QCOMPARE(shell.window->engine.distanceReady, 1);
}

void MainWindowCommandsTest::smallerImageLeavesTheRestOfTheLargerVisible() {
  const XpmPicture large = ReadXpmForTest(Sample("sample1-640.xpm"));
  const XpmPicture small = ReadXpmForTest(Sample("sample1-160.xpm"));
  ShellHarness shell;
  shell.window->TriggerCommand(40011);
  shell.window->TriggerCommand(40015);

  QCOMPARE(CompareCanvas(shell, small), QString());
  int oldPixelsChecked = 0;
  for (int r = 0; r < large.height; ++r)
    for (int c = 0; c < large.width; ++c) {
      if (r < small.height && c < small.width) continue;
      const QRgb expected = large.at(r, c) == 1 ? 0xFFFFFF : 0x000000;
      if (shell.Pixel(c, r) != expected) QFAIL(qPrintable(QString("(%1, %2)").arg(c).arg(r)));
      ++oldPixelsChecked;
    }
  QCOMPARE(oldPixelsChecked, 640 * 480 - 160 * 120);
  QCOMPARE(InputImage.width, 160);
}

void MainWindowCommandsTest::clearAndRightClickWhitenButKeepImages() {
  const XpmPicture picture = ReadXpmForTest(Sample("sample1-320.xpm"));
  ShellHarness shell;
  MainWindow& window = *shell.window;
  window.TriggerCommand(40014);
  QVERIFY(!CanvasIsWhite(window, window.backingBitmap.rect()));

  window.TriggerCommand(40006);
  QVERIFY(CanvasIsWhite(window, window.backingBitmap.rect()));
  QImage white(1300, 1100, QImage::Format_RGB32);
  white.fill(Qt::white);
  QCOMPARE(ScreenOfCanvas(window).copy(0, 0, 1300, 1100), white);
  QVERIFY(InputImage.rows != nullptr);
  QCOMPARE(InputImage.width, 320);

  shell.ClearMessages();
  window.TriggerCommand(40005);
  QCOMPARE(CompareCanvas(shell, picture), QString());
  QCOMPARE(Texts(shell), QStringList{SizeMessage(picture)});

  // A left click does nothing, a right click clears like the command.
  QTest::mouseClick(window.canvas(), Qt::LeftButton, {}, QPoint(50, 50));
  QCOMPARE(CompareCanvas(shell, picture), QString());
  QTest::mouseClick(window.canvas(), Qt::RightButton, {}, QPoint(50, 50));
  QVERIFY(CanvasIsWhite(window, window.backingBitmap.rect()));
  QCOMPARE(ScreenOfCanvas(window).pixel(1, 1) & 0xFFFFFF, 0xFFFFFFu);
  QVERIFY(InputImage.rows != nullptr);
  window.TriggerCommand(40005);
  QCOMPARE(CompareCanvas(shell, picture), QString());
}

void MainWindowCommandsTest::redisplayBeforeAnyInputOnlyReports() {
  ShellHarness shell;
  shell.window->TriggerCommand(40005);
  QCOMPARE(Texts(shell), QStringList{"入力画像が取り込まれていません。"});
  QCOMPARE(shell.services.messages[0].caption, appTitle);
  QVERIFY(CanvasIsWhite(*shell.window, shell.window->backingBitmap.rect()));
}

void MainWindowCommandsTest::badFileIsReportedAndChangesNothing() {
  QTemporaryDir folder;
  QVERIFY(QFile::copy(Sample("sample1-160.xpm"), folder.filePath("good.xpm")));
  QFile bad(folder.filePath("bad.xpm"));
  QVERIFY(bad.open(QIODevice::WriteOnly));
  bad.write("/* XPM */\nstatic char *bad[] = {\n\"4 3 2 1\",\n\". c #000000\",\n\"# c #ffffff\",\n"
            "\"#..#\",\n");  // cut off after the first row
  bad.close();

  ShellHarness shell(folder.path());
  shell.services.fileAnswers.push_back(std::string("good.xpm"));
  shell.window->TriggerCommand(40034);
  shell.window->engine.distanceReady = 1;
  const QImage before = shell.window->backingBitmap.copy();
  const int32_t* pixels = InputImage.rows.data();

  for (const char* name : {"bad.xpm", "missing.xpm"}) {
    shell.ClearMessages();
    shell.services.fileAnswers.push_back(std::string(name));
    shell.window->TriggerCommand(40034);
    QCOMPARE(shell.services.messages.size(), std::size_t(1));
    QCOMPARE(shell.services.messages[0].caption, std::string("エラー"));
    QCOMPARE(shell.window->backingBitmap, before);
    QCOMPARE(InputImage.rows.data(), pixels);
    QCOMPARE(InputImage.width, 160);
    QCOMPARE(shell.window->engine.distanceReady, 1);
  }
}

void MainWindowCommandsTest::saveWritesTheResultAndCancelWritesNothing() {
  QTemporaryDir folder;
  QVERIFY(QFile::copy(Sample("sample1-160.xpm"), folder.filePath("in.xpm")));
  ShellHarness shell(folder.path());
  shell.services.fileAnswers.push_back(std::string("in.xpm"));
  shell.window->TriggerCommand(40034);
  shell.services.fileRequests.clear();

  shell.window->TriggerCommand(40035);  // cancelled
  QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{"in.xpm"});
  QCOMPARE(shell.services.fileRequests.size(), std::size_t(1));
  const FileDialogRequest& request = shell.services.fileRequests[0];
  QVERIFY(request.mode == FileDialogRequest::Mode::Save);
  QCOMPARE(request.initialName, std::string("output.xpm"));
  QCOMPARE(request.defaultExtension, std::string(".xpm"));
  QCOMPARE(request.filter, std::string("XPM files (*.xpm)"));
  QVERIFY(request.overwritePrompt);

  shell.services.fileAnswers.push_back(std::string("out.xpm"));
  shell.window->TriggerCommand(40035);
  const XpmPicture saved = ReadXpmForTest(folder.filePath("out.xpm"));
  const XpmPicture original = ReadXpmForTest(folder.filePath("in.xpm"));
  QCOMPARE(saved.width, 160);
  QCOMPARE(saved.height, 120);
  QVERIFY(saved.pixels == original.pixels);
}

void MainWindowCommandsTest::quitAsksAndCancelKeepsRunning() {
  ShellHarness shell;
  shell.window->TriggerCommand(40018);
  shell.ClearMessages();

  shell.services.messageAnswers.push_back(MessageResult::Cancel);
  shell.window->TriggerCommand(40007);
  QCOMPARE(Texts(shell), QStringList{"終了しますか？"});
  const RecordedMessage& question = shell.services.messages[0];
  QCOMPARE(question.caption, appTitle);
  QVERIFY(question.buttons == MessageButtons::OkCancelQuestion);
  QVERIFY(question.owner == MessageOwner::MainWindow);
  QVERIFY(shell.window->isVisible());
  QVERIFY(InputImage.rows != nullptr);
  QVERIFY(WorkImage.rows != nullptr);

  shell.services.messageAnswers.push_back(MessageResult::Ok);
  shell.window->TriggerCommand(40007);
  QCOMPARE(shell.services.messages.size(), std::size_t(2));
  QVERIFY(!shell.window->isVisible());
  QVERIFY(InputImage.rows == nullptr);
  QVERIFY(WorkImage.rows == nullptr);
  QVERIFY(DistanceMap.rows == nullptr);
}

void MainWindowCommandsTest::distanceGreysOnTheCanvas() {
  ShellHarness shell;
  const int32_t values[] = {0, 1, 15, 16, 2147483647, 2, 8};
  const QRgb greys[] = {255, 239, 15, 0, 0, 223, 127};
  {
    auto drawing = shell.window->MakeDrawingTargets();
    for (int i = 0; i < 7; ++i) shell.window->engine.DrawDistancePixel(drawing, 3, 10 + i, values[i]);
  }
  const QImage screen = ScreenOfCanvas(*shell.window);
  for (int i = 0; i < 7; ++i) {
    const QRgb expected = greys[i] << 16 | greys[i] << 8 | greys[i];
    QCOMPARE(shell.Pixel(10 + i, 3), expected);
    QCOMPARE(screen.pixel(10 + i, 3) & 0xFFFFFF, expected);
  }
  QCOMPARE(shell.Pixel(10, 2), 0xFFFFFFu);  // row before column: nothing went to (3, 10)
  QCOMPARE(shell.Pixel(3, 10), 0xFFFFFFu);
}

QTEST_MAIN(MainWindowCommandsTest)
#include "MainWindowCommandsTest.moc"
