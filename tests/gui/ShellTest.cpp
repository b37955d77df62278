// The main window as a user meets it: the menu, the samples, loading, saving, clearing and
// quitting, the platform's real dialogs, the input view, the triangle editor, and the pacing of
// what a running command draws.
#include <QFileDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>

#include "app/SampleFiles.h"
#include "gui/support/Gui.h"
#include "image/gui/InputImageView.h"
#include "morphology/gui/OriginalFilterWindow.h"
#include "platform/qt/QtServices.h"

using namespace dt;
using namespace dt::testing;

namespace {

std::string SourceText(const std::string& name) { return ReadText(DT_SAMPLES_DIR "/" + name); }
Grid Sample(const std::string& name) { return ReadXpm(SourceText(name)).value_or(Grid()); }

QString SizeMessage(const Grid& picture) {
  return QString("画像サイズは %1 × %2 です。\n白黒比率は %3：%4 です。")
      .arg(picture.width).arg(picture.height).arg(picture.Count(1)).arg(picture.Count(0));
}

}  // namespace

class ShellTest : public QObject {
  Q_OBJECT

 private slots:
  // Each sample item of the menu (whose items are all enabled but 元に戻す and やり直し, with
  // nothing to undo yet) draws its picture at the top-left, on screen as in the bitmap, and
  // reports its size; nothing else is touched.
  void TheSampleItemsDrawTheirPictures() {
    for (const auto& [label, file] : {std::pair{"入力画像サンプル（640x480）", "sample1-640.xpm"},
                                      {"入力画像サンプル（160x120）", "sample1-160.xpm"},
                                      {"入力画像サンプル（四角形）", "square.xpm"}}) {
      const Grid picture = Sample(file);
      Shell shell;
      QAction* item = nullptr;
      for (QAction* menu : shell.window->menuBar()->actions())
        for (QAction* action : menu->menu() ? menu->menu()->actions() : QList<QAction*>{menu}) {
          const bool undo = action->objectName() == "40140" || action->objectName() == "40141";
          QVERIFY(action->isSeparator() || !action->isVisible() || action->isEnabled() != undo);
          if (action->text() == label) item = action;
        }
      QVERIFY(item != nullptr);
      QCOMPARE(shell.window->windowTitle(), QString("距離変換＆モルフォロジー演算デモ"));
      item->trigger();
      QCOMPARE(shell.Shows(picture), QString());
      QCOMPARE(shell.Texts(), QStringList{SizeMessage(picture)});
      QCOMPARE(shell.services.messages[0].caption, appTitle);
      QCOMPARE(GridOf(InputImage), picture);
    }
  }

  // Loading asks for a picture; a bad or missing one changes nothing. Saving writes the
  // result; a cancelled dialog does nothing.
  void LoadingAndSavingGoThroughTheFileDialogs() {
    QTemporaryDir folder;
    WriteText(folder.filePath("bad.xpm").toStdString(), "\"4 3 2 1\",\n");
    WriteText(folder.filePath("good.xpm").toStdString(), XpmOf(Sample("sample1-160.xpm")));
    Shell shell(folder.path());
    shell.window->TriggerCommand(40034);
    shell.window->TriggerCommand(40035);
    QVERIFY(shell.Shows(Grid()).isEmpty() && shell.Texts().isEmpty());
    const FileDialogRequest& load = shell.services.fileRequests[0];
    const FileDialogRequest& save = shell.services.fileRequests[1];
    QVERIFY(load.mode == FileDialogRequest::Mode::Open && !load.overwritePrompt);
    QVERIFY(save.mode == FileDialogRequest::Mode::Save && save.overwritePrompt);
    QCOMPARE(load.initialName + save.initialName, std::string("dreamcast.xpmoutput.xpm"));
    QVERIFY(load.filter.rfind("XPM files (*.xpm);;", 0) == 0 && save.defaultExtension == ".xpm");
    QVERIFY(save.filter.rfind("XPM files (*.xpm);;", 0) == 0);
    shell.Load("good.xpm");
    shell.window->engine.distanceReady = 1;
    const QImage before = shell.window->backingBitmap.copy();
    // The wait cursor is up while a file is read or written, and only then.
    std::vector<bool> busy;
    shell.services.whileShown = [&] {
      busy.push_back(QGuiApplication::overrideCursor() &&
                     QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor);
    };
    for (const char* name : {"bad.xpm", "missing.xpm", "no-such-folder/out.xpm"}) {
      shell.services.fileAnswers.push_back(std::string(name));
      shell.window->TriggerCommand(name[0] == 'n' ? 40035 : 40034);
      QCOMPARE(shell.services.messages.back().caption, std::string("エラー"));
      QVERIFY(shell.Texts().last().endsWith(QString("\n") + name));  // the file named
      QCOMPARE(shell.window->backingBitmap, before);
      QCOMPARE(shell.window->engine.distanceReady, 1);
      QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    }
    QCOMPARE(busy, std::vector<bool>(3, true));
    QCOMPARE(shell.Texts().size(), 3);
    shell.services.fileAnswers.push_back(std::string("out.xpm"));
    shell.window->TriggerCommand(40035);
    QCOMPARE(ReadXpm(ReadText(folder.filePath("out.xpm").toStdString())),
             std::optional(Sample("sample1-160.xpm")));
    // Other formats by their extension, both ways, and a PNG dropped on the window.
    shell.services.fileAnswers.push_back(std::string("out.png"));
    shell.window->TriggerCommand(40035);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(folder.filePath("out.png"))});
    QDragEnterEvent enter({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    for (bool dropped : {false, true}) {
      ResetGlobalState();
      shell.window->TriggerCommand(40006);
      shell.services.fileAnswers.push_back(std::string("out.png"));
      if (dropped) {
        QApplication::sendEvent(shell.window.get(), &enter);
        QApplication::sendEvent(shell.window.get(), &drop);
      } else {
        shell.window->TriggerCommand(40034);
      }
      QCOMPARE(shell.Shows(Sample("sample1-160.xpm")), QString());
    }
    QVERIFY(enter.isAccepted() && drop.isAccepted());
    data.setUrls({QUrl::fromLocalFile(folder.filePath("out.png")),
                  QUrl::fromLocalFile(folder.filePath("out.xpm"))});  // two files: which one?
    QDragEnterEvent both({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(shell.window.get(), &both);
    QVERIFY(!both.isAccepted());
    QCOMPARE(shell.Texts().mid(3), QStringList(2, SizeMessage(Sample("sample1-160.xpm"))));
  }

  // The usual keys open, save and quit (asking first); the files opened last close the
  // 入出力管理 menu, newest first, and open again from there; a save is confirmed below.
  void KeysAndRecentFiles() {
    QTemporaryDir folder;
    const Grid a = GridFromRows({"101"}), b = GridFromRows({"01", "11"});
    WriteText(folder.filePath("a.xpm").toStdString(), XpmOf(a));
    WriteText(folder.filePath("b.xpm").toStdString(), XpmOf(b));
    Shell shell(folder.path());
    QWidget* window = shell.window.get();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    shell.services.fileAnswers = {std::string("a.xpm")};
    QTest::keyClick(window, Qt::Key_O, Qt::ControlModifier);
    shell.window->OpenGivenFile(folder.filePath("b.xpm"));
    const auto recent = [&](int i) { return window->findChild<QAction*>(QString::number(i)); };
    QCOMPARE(recent(40130)->text() + " " + recent(40131)->text(), QString("&1 b.xpm &2 a.xpm"));
    QVERIFY(!recent(40132)->isVisible() && GridOf(InputImage) == b);
    recent(40131)->trigger();
    QCOMPARE(GridOf(InputImage), a);
    QCOMPARE(recent(40130)->text(), QString("&1 a.xpm"));
    shell.services.fileAnswers = {std::string("out.xpm")};
    QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(shell.window->statusBar()->currentMessage(), QString("保存しました: out.xpm"));
    shell.services.messages.clear();
    shell.services.messageAnswers = {MessageResult::Cancel};
    QTest::keyClick(window, Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(shell.Texts() == QStringList{"終了しますか？"} && window->isVisible());
  }

  // Clearing (the command or a right click) whitens the canvas and keeps the images; the version
  // is shown on request; quitting asks first and, when confirmed, lets the images go and closes
  // the window.
  void ClearingAndQuitting() {
    const Grid picture = Sample("sample1-160.xpm");
    Shell shell;
    shell.Load("sample1-160.xpm");
    shell.window->TriggerCommand(40006);
    QCOMPARE(shell.Shows(Grid()), QString());
    shell.window->TriggerCommand(40005);  // the input is still there to be shown again
    QCOMPARE(shell.Texts(), QStringList{SizeMessage(picture)});
    QTest::mouseClick(shell.window->canvas(), Qt::LeftButton, {}, QPoint(50, 50));
    QCOMPARE(shell.Shows(picture), QString());
    QTest::mouseClick(shell.window->canvas(), Qt::RightButton, {}, QPoint(50, 50));
    QCOMPARE(shell.Shows(Grid()), QString());
    shell.services.messages.clear();
    shell.services.messageAnswers = {MessageResult::Cancel, MessageResult::Ok};
    shell.window->TriggerCommand(40007);
    QCOMPARE(shell.Texts(), QStringList{"終了しますか？"});
    QVERIFY(shell.services.messages[0].buttons == MessageButtons::OkCancelQuestion);
    QVERIFY(shell.window->isVisible() && GridOf(InputImage) == picture);
    shell.window->TriggerCommand(40043);
    QVERIFY(shell.Texts().value(1).contains("Ver.0.48"));
    QCOMPARE(shell.services.messages[1].caption, std::string("バージョン情報"));
    shell.window->TriggerCommand(40007);
    QVERIFY(!shell.window->isVisible() && InputImage.rows == nullptr && WorkImage.rows == nullptr);
  }

  // The real message boxes are modal to the main window and give the answer clicked; the file
  // dialogs give the bare name, move to its folder, add the suffix and ask before replacing.
  void ThePlatformsDialogsGiveTheAnswers() {
    QTemporaryDir root;
    QVERIFY(QDir(root.path()).mkdir("pictures"));
    WriteText(root.filePath("pictures/star.xpm").toStdString(), "x");
    Shell shell(root.path());
    QtServices services;
    services.SetOwnerWindow(shell.window.get());
    for (const auto click : {QMessageBox::Cancel, QMessageBox::Ok}) {
      auto answered = WhenDialogShown([&](QDialog* dialog) {
        auto* box = qobject_cast<QMessageBox*>(dialog);
        QVERIFY(box && box->windowModality() == Qt::ApplicationModal &&
                box->parentWidget() == shell.window.get() && box->icon() == QMessageBox::Question);
        QCOMPARE(box->text() + box->windowTitle(), QString("終了しますか？デモ"));
        box->button(click)->click();
      });
      const MessageResult result = ShowMessage("終了しますか？", "デモ", MessageButtons::OkCancelQuestion);
      QVERIFY(*answered && (result == MessageResult::Ok) == (click == QMessageBox::Ok));
    }
    // A message in the middle of a long task is answered with the arrow, and the wait comes back.
    const auto cursor = [] {
      const QCursor* shown = QGuiApplication::overrideCursor();
      return shown ? shown->shape() : Qt::BlankCursor;  // none set: not one this program sets
    };
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    Qt::CursorShape whileShown = Qt::WaitCursor;
    auto shown = WhenDialogShown([&](QDialog* box) {
      whileShown = cursor();
      box->accept();
    });
    ShowMessage("保存しました", "デモ");
    const Qt::CursorShape after = cursor();
    if (after != Qt::BlankCursor) QGuiApplication::restoreOverrideCursor();
    QVERIFY(*shown && whileShown == Qt::ArrowCursor && after == Qt::WaitCursor);
    bool asked = false;  // whether the question to replace came up
    const auto ask = [&](FileDialogRequest::Mode mode, const QString& typed, bool replaces) {
      auto answered = WhenDialogShown([&](QDialog* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        QVERIFY(files && files->nameFilters().value(0) == "XPM files (*.xpm)");
        QCOMPARE(QFileInfo(files->selectedFiles().value(0)).fileName(), QString("dreamcast.xpm"));
        if (replaces) WhenDialogShown([&](QDialog* question) {
            auto* box = qobject_cast<QMessageBox*>(question);
            asked = box != nullptr;
            box ? box->button(QMessageBox::Yes)->click() : question->reject();
          });
        if (typed.startsWith("png:")) {  // the PNG type chosen, as from the type list
          files->selectNameFilter("PNG files (*.png)");
          emit files->filterSelected("PNG files (*.png)");
        }
        files->findChild<QLineEdit*>("fileNameEdit")->setText(typed.mid(typed.indexOf(':') + 1));
        typed.isEmpty() ? files->reject() : static_cast<QDialog*>(files)->accept();
      });
      const auto name = services.files.Ask({mode, "dreamcast.xpm", DialogDefaultExtension(),
                                            SaveDialogFilter(binaryKind), replaces});
      return *answered ? name.value_or("cancelled") : "no dialog";
    };
    using Mode = FileDialogRequest::Mode;
    QCOMPARE(ask(Mode::Open, root.filePath("pictures/star.xpm"), false), "star.xpm");
    QCOMPARE(QFileInfo(QDir::currentPath()), QFileInfo(root.filePath("pictures")));
    QCOMPARE(ask(Mode::Open, "", false), "cancelled");
    QCOMPARE(ask(Mode::Save, "output", false), "output.xpm");
    QCOMPARE(ask(Mode::Save, "star", true), "star.xpm");
    QCOMPARE(ask(Mode::Save, "png:chart", false), "chart.png");
    QVERIFY(asked);
  }

  // The input view shows the input as it was when opened, with its size message once, and goes
  // when its close box is used or the main window closes; it puts the triangle's apex back.
  void TheInputViewShowsTheInputOnce() {
    Shell shell;
    shell.window->TriggerCommand(40040);
    QTRY_COMPARE(shell.Texts(), QStringList{"入力画像が取り込まれていません。"});
    QCOMPARE(shell.window->inputView->size(), QSize(240, 120));  // not a sliver
    shell.window->TriggerCommand(40040);
    QVERIFY(shell.window->inputView == nullptr);
    shell.Load("sample1-160.xpm");
    triangleApex = {40, 20};
    shell.window->TriggerCommand(40040);
    InputImageView* view = shell.window->inputView;
    QVERIFY(view && QTest::qWaitForWindowExposed(view));
    QCOMPARE(triangleApex, (ApexPoint{0, 150}));
    QCOMPARE(view->size(), QSize(160, 120));
    QTRY_COMPARE(shell.Texts(), QStringList{SizeMessage(Sample("sample1-160.xpm"))});
    view->repaint();
    QCOMPARE(shell.Texts().size(), 1);
    const QImage shown = view->grab().toImage();
    const Grid picture = Sample("sample1-160.xpm");
    for (int y = 0; y < 120; ++y)
      for (int x = 0; x < 160; ++x)
        QCOMPARE(shown.pixel(x, y) & 0xFFFFFF, picture.at(y, x) ? 0xFFFFFFu : 0u);
    view->close();  // the close box only tells the owner, which closes it
    QVERIFY(shell.window->inputView == nullptr);
    // A picture larger than the screen: the view takes most of the screen and scrolls.
    SetInput(shell.window->engine, Grid(2000, 1500, 1));
    shell.window->TriggerCommand(40040);
    const QSize room = shell.window->inputView->screen()->availableGeometry().size() * 4 / 5;
    QCOMPARE(shell.window->inputView->size(), QSize(2000, 1500).boundedTo(room));
    QVERIFY(shell.window->inputView->findChild<QScrollBar*>()->isVisible());
    shell.window->close();
    QVERIFY(shell.window->inputView == nullptr);
  }

  // The editor draws its frame, base, sides and origin; dragging the apex (within its area)
  // sets the triangle that the commands use, and the command selects the triangle. The editor
  // goes with its close box, its command or the main window.
  void TheTriangleEditorDragsTheApex() {
    Shell shell;
    shell.window->engine.distanceFunction = DistanceFunction::cityBlock;
    shell.window->TriggerCommand(40013);
    OriginalFilterWindow* editor = shell.window->filterEditor;
    QVERIFY(editor && QTest::qWaitForWindowExposed(editor));
    QCOMPARE(shell.window->engine.distanceFunction, DistanceFunction::triangle);
    const QImage drawn = editor->grab().toImage();
    const auto pixel = [&](int x, int y) { return drawn.pixel(x, y) & 0xFFFFFF; };
    QCOMPARE(pixel(46, 200), 0xC8C8C8u);  // frame
    QCOMPARE(pixel(120, 350), 0u);        // base
    QCOMPARE(pixel(125, 275), 0u);        // a side, from (50, 350) to (200, 200)
    QCOMPARE(pixel(200, 345), 0u);        // the origin's circle
    QCOMPARE(pixel(100, 100), 0xFFFFFFu);
    QTest::mousePress(editor, Qt::LeftButton, {}, QPoint(204, 200));  // off the apex: no drag
    QTest::mouseMove(editor, QPoint(250, 120));
    QTest::mouseRelease(editor, Qt::LeftButton, {}, QPoint(250, 120));
    QCOMPARE(triangleApex, (ApexPoint{0, 150}));
    QTest::mousePress(editor, Qt::LeftButton, {}, QPoint(203, 197));  // grip's edge
    QMouseEvent move(QEvent::MouseMove, QPointF(500, 20), QPointF(500, 20), Qt::NoButton,
                     Qt::LeftButton, {});
    QApplication::sendEvent(editor, &move);
    QTest::mouseRelease(editor, Qt::LeftButton, {}, QPoint(500, 20));
    QCOMPARE(triangleApex, (ApexPoint{150, 300}));  // held inside the drawing area
    editor->repaint();  // the apex is taken again where the last drag left it
    QTest::mousePress(editor, Qt::LeftButton, {}, QPoint(350, 50));
    QMouseEvent back(QEvent::MouseMove, QPointF(300, 100), QPointF(300, 100), Qt::NoButton,
                     Qt::LeftButton, {});
    QApplication::sendEvent(editor, &back);
    QTest::mouseRelease(editor, Qt::LeftButton, {}, QPoint(300, 100));
    QCOMPARE(triangleApex, (ApexPoint{100, 250}));
    editor->close();
    QVERIFY(shell.window->filterEditor == nullptr);
    shell.window->TriggerCommand(40013);
    QVERIFY(shell.window->filterEditor != nullptr);
    shell.window->TriggerCommand(40013);
    QVERIFY(shell.window->filterEditor == nullptr);
    shell.window->TriggerCommand(40013);
    shell.window->close();
    QVERIFY(shell.window->filterEditor == nullptr);
  }

  // While a command draws, the canvas is repainted at most every 16 ms of the clock, each time
  // over what was drawn since; paced, a pass spans eight repaints, times four at 0.25 and a
  // quarter of them at 4 (menu 表示); pixels beyond the canvas are dropped; an inner drawing
  // leaves the outer one in force.
  void DrawingIsRepaintedAsItGoes() {
    Shell shell;
    Canvas* canvas = shell.window->canvas();
    const long start = canvas->repaintCount();
    {
      CanvasDrawing drawing = shell.window->MakeDrawingTargets();
      for (int i = 0; i < 4096 * 3; ++i) drawing.targets().a->SetPixel(i % 100, i / 100, 0);
      QCOMPARE(canvas->repaintCount(), start);  // the clock stands still
      shell.clock.now += 16;
      for (int i = 0; i < 4096; ++i) drawing.targets().a->SetPixel(i % 10, 200, 0);
      QCOMPARE(canvas->repaintCount(), start + 1);
      drawing.targets().a->SetPixel(5000, 5000, 0);
      { CanvasDrawing inner = shell.window->MakeDrawingTargets(); }
      drawing.targets().a->SetPixel(1, 1, 0);
      shell.window->FlushDrawing();
      QCOMPARE(canvas->repaintCount(), start + 2);
    }
    QCOMPARE(canvas->repaintCount(), start + 2);  // nothing was left to repaint
    SetInput(shell.window->engine, Grid(400, 300));
    const int frames = CanvasDrawing::framesPerPass;
    for (const auto& [item, repaints] : {std::pair{40150, frames * 4}, {40151, frames},
                                         {40152, frames / 4}}) {
      shell.window->TriggerCommand(item);
      const long before = canvas->repaintCount();
      {
        CanvasDrawing paced = shell.window->MakeWatchableDrawing();
        for (int i = 0; i < 400 * 300; ++i) paced.targets().a->SetPixel(i % 400, i / 400, 0);
      }
      QCOMPARE(canvas->repaintCount() - before, long{repaints});
    }
  }

  // A row drawn at once is its pixels drawn in turn, on the backing bitmap (clipped to it) and in
  // the repaints that follow; a redrawn map goes a row at a time.
  void ARowIsItsPixelsInTurn() {
    Shell shell;
    MainWindow& window = *shell.window;
    const int width = window.backingBitmap.width(), height = window.backingBitmap.height();
    std::vector<uint32_t> colours(std::size_t(width) + 20);
    for (std::size_t k = 0; k < colours.size(); ++k)
      colours[k] = static_cast<uint32_t>(k * 2654435761u) & 0xFFFFFF;
    QImage byPixels;
    long repaintsByPixels = 0;
    for (const bool rows : {false, true}) {
      window.ResetCanvas();
      const long start = window.canvas()->repaintCount();
      {
        CanvasDrawing drawing = window.MakeDrawingTargets();
        std::vector<int> ys = {-1, height - 1, height};
        for (int y = 0; y < 20; ++y) ys.push_back(y);
        for (const int y : ys) {
          for (Surface* surface : {drawing.targets().a, drawing.targets().b}) {
            if (rows) {
              surface->SetRow(-10, y, colours.data(), int(colours.size()));
            } else {
              for (std::size_t k = 0; k < colours.size(); ++k)
                surface->SetPixel(int(k) - 10, y, colours[k]);
            }
          }
          shell.clock.now += 8;  // a repaint every other row
        }
      }
      const long repaints = window.canvas()->repaintCount() - start;
      if (!rows) {
        byPixels = window.backingBitmap.copy();
        repaintsByPixels = repaints;
      } else {
        QCOMPARE(window.backingBitmap, byPixels);
        QCOMPARE(repaints, repaintsByPixels);
      }
    }
    QVERIFY(repaintsByPixels >= 2);
  }

  // The program as installed (the test install_tree installs it first, into DT_INSTALL_TREE).
  // In a folder without pictures each sample is the installed copy of the source tree's, or for
  // a program not installed the source tree's own. A picture of the same name in the working
  // directory comes first, and one found nowhere keeps its bare name for the message.
  void TheSamplesAreFoundFromAnyFolder() {
    QTemporaryDir folder;
    Shell shell(folder.path());
    const QString bin = DT_INSTALL_TREE "/bin";
    QVERIFY2(QFileInfo(bin + "/dtdemo").isExecutable(), "nothing installed: run through ctest");
    for (const std::string name : {"sample1-640.xpm", "sample1-320.xpm", "sample1-160.xpm",
                                   "square.xpm"}) {
      const std::string found = FindSample(name, bin);
      QVERIFY2(found.rfind(DT_INSTALL_TREE "/", 0) == 0, found.c_str());
      QCOMPARE(ReadText(found), SourceText(name));
    }
    QCOMPARE(ReadText(FindSample("square.xpm", folder.path())), SourceText("square.xpm"));
    shell.window->TriggerCommand(40015);  // the test is not installed: the source tree's sample
    QCOMPARE(shell.Shows(Sample("sample1-160.xpm")), QString());
    WriteText(folder.filePath("square.xpm").toStdString(), "x");
    QCOMPARE(FindSample("square.xpm", bin), std::string("square.xpm"));
    shell.window->TriggerCommand(40018);
    QVERIFY(shell.Texts().last().endsWith("\nsquare.xpm"));
    QCOMPARE(FindSample("none.xpm", bin), std::string("none.xpm"));
  }

  // `dtdemo FILE`: a bad picture is named in the usual message and the canvas stays empty; a
  // good one is shown and its folder becomes the working directory.
  void AFileGivenAtStartIsOpened() {
    QTemporaryDir folder;
    const QString bad = folder.filePath("bad.xpm"), good = folder.filePath("good.xpm");
    const Grid picture = Sample("sample1-160.xpm");
    WriteText(bad.toStdString(), "\"4 3 2 1\",\n");
    WriteText(good.toStdString(), XpmOf(picture));
    Shell shell;
    shell.window->OpenGivenFile(bad);
    QVERIFY(shell.Texts().value(0).endsWith("\n" + bad) && shell.Shows(Grid()).isEmpty());
    QVERIFY(QFileInfo(QDir::currentPath()) == QFileInfo(DT_SAMPLES_DIR));
    shell.window->OpenGivenFile(good);
    QCOMPARE(shell.Shows(picture), QString());
    QVERIFY(QFileInfo(QDir::currentPath()) == QFileInfo(folder.path()));
  }
};

QTEST_MAIN(ShellTest)
#include "ShellTest.moc"
