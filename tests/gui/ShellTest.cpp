// The main window as a user meets it: the menu, the samples, loading, saving, clearing and
// quitting, the platform's real dialogs, the input view, the triangle editor, and the pacing of
// what a running command draws.
#include <QFileDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QTemporaryDir>

#include "app/PrivateEvents.h"
#include "gui/support/Gui.h"
#include "image/gui/InputImageView.h"
#include "morphology/gui/OriginalFilterWindow.h"
#include "platform/qt/QtServices.h"

using namespace dt;
using namespace dt::testing;

namespace {

Grid Sample(const QString& name) {
  return ReadXpm(ReadText(DT_SAMPLES_DIR "/" + name.toStdString())).value_or(Grid());
}

QString SizeMessage(const Grid& picture) {
  return QString("画像サイズは %1 × %2 です。\n白黒比率は %3：%4 です。")
      .arg(picture.width).arg(picture.height).arg(picture.Count(1)).arg(picture.Count(0));
}

QList<QAction*> MenuItems(MainWindow& window) {
  QList<QAction*> items;
  for (QAction* action : window.menuBar()->actions())
    items << (action->menu() ? action->menu()->actions() : QList<QAction*>{action});
  return items;
}

}  // namespace

class ShellTest : public QObject {
  Q_OBJECT

 private slots:
  // Each sample item of the menu draws its picture at the top-left, on screen as in the
  // bitmap, and reports its size; nothing else is touched.
  void TheSampleItemsDrawTheirPictures_data() {
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("file");
    QTest::newRow("640") << "入力画像サンプル（640x480）" << "sample1-640.xpm";
    QTest::newRow("160") << "入力画像サンプル（160x120）" << "sample1-160.xpm";
    QTest::newRow("square") << "入力画像サンプル（四角形）" << "square.xpm";
  }
  void TheSampleItemsDrawTheirPictures() {
    QFETCH(QString, label);
    QFETCH(QString, file);
    const Grid picture = Sample(file);
    Shell shell;
    QAction* item = nullptr;
    for (QAction* action : MenuItems(*shell.window)) {
      QVERIFY2(action->isSeparator() || action->isEnabled(), qPrintable(action->text()));
      if (action->text() == label) item = action;
    }
    QVERIFY(item != nullptr);
    item->trigger();
    QCOMPARE(shell.Differs(picture.width, picture.height, [&](int r, int c) { return BlackOrWhite(picture.at(r, c)); }), QString());
    QVERIFY(shell.White(QRect(picture.width, 0, 1300, 1100)));
    QVERIFY(shell.White(QRect(0, picture.height, 1300, 1100)));
    QCOMPARE(shell.Texts(), QStringList{SizeMessage(picture)});
    QCOMPARE(shell.services.messages[0].caption, appTitle);
    QCOMPARE(GridOf(InputImage), picture);
  }

  void LoadingAsksForAPictureAndABadOneChangesNothing() {
    QTemporaryDir folder;
    WriteText(folder.filePath("bad.xpm").toStdString(), "\"4 3 2 1\",\n\". c #000000\",\n\"# c #ffffff\",\n\"#..#\",\n");
    WriteText(folder.filePath("good.xpm").toStdString(), ReadText(DT_SAMPLES_DIR "/sample1-160.xpm"));
    Shell shell(folder.path());
    shell.window->TriggerCommand(40034);  // cancelled: nothing happens
    QCOMPARE(shell.services.fileRequests.size(), std::size_t(1));
    const FileDialogRequest& request = shell.services.fileRequests[0];
    QVERIFY(request.mode == FileDialogRequest::Mode::Open);
    QCOMPARE(request.initialName, std::string("dreamcast.xpm"));
    QCOMPARE(request.filter, std::string("XPM files (*.xpm)"));
    QVERIFY(shell.White(shell.window->backingBitmap.rect()) && shell.Texts().isEmpty());
    shell.Load("good.xpm");
    shell.window->engine.distanceReady = 1;
    const QImage before = shell.window->backingBitmap.copy();
    for (const char* name : {"bad.xpm", "missing.xpm"}) {
      shell.services.fileAnswers.push_back(std::string(name));
      shell.window->TriggerCommand(40034);
      QCOMPARE(shell.services.messages.size(), std::size_t(1));
      QCOMPARE(shell.services.messages[0].caption, std::string("エラー"));
      QCOMPARE(shell.window->backingBitmap, before);
      QCOMPARE(GridOf(InputImage), Sample("sample1-160.xpm"));
      QCOMPARE(shell.window->engine.distanceReady, 1);
      shell.services.messages.clear();
    }
  }

  void SavingWritesTheResultAndCancelWritesNothing() {
    QTemporaryDir folder;
    Shell shell(folder.path());
    SetInput(shell.window->engine, Sample("sample1-160.xpm"));
    shell.window->TriggerCommand(40035);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList());
    const FileDialogRequest& request = shell.services.fileRequests[0];
    QVERIFY(request.mode == FileDialogRequest::Mode::Save && request.overwritePrompt);
    QCOMPARE(request.initialName, std::string("output.xpm"));
    QCOMPARE(request.defaultExtension, std::string(".xpm"));
    shell.services.fileAnswers.push_back(std::string("out.xpm"));
    shell.window->TriggerCommand(40035);
    QCOMPARE(ReadXpm(ReadText(folder.filePath("out.xpm").toStdString())), std::optional(Sample("sample1-160.xpm")));
  }

  void ClearingWhitensTheCanvasAndKeepsTheImages() {
    const Grid picture = Sample("sample1-160.xpm");
    Shell shell;
    shell.Load("sample1-160.xpm");
    shell.window->TriggerCommand(40006);
    QCOMPARE(shell.Differs(1300, 1100, [](int, int) { return 0xFFFFFFu; }), QString());
    shell.window->TriggerCommand(40005);  // the input is still there to be shown again
    QCOMPARE(shell.Texts(), QStringList{SizeMessage(picture)});
    QTest::mouseClick(shell.window->canvas(), Qt::LeftButton, {}, QPoint(50, 50));
    QCOMPARE(shell.Differs(160, 120, [&](int r, int c) { return BlackOrWhite(picture.at(r, c)); }), QString());
    QTest::mouseClick(shell.window->canvas(), Qt::RightButton, {}, QPoint(50, 50));
    QVERIFY(shell.White(shell.window->backingBitmap.rect()));
    QCOMPARE(GridOf(InputImage), picture);
  }

  void QuittingAsksFirst() {
    Shell shell;
    shell.Load("square.xpm");
    shell.services.messageAnswers = {MessageResult::Cancel, MessageResult::Ok};
    shell.window->TriggerCommand(40007);
    QCOMPARE(shell.Texts(), QStringList{"終了しますか？"});
    QVERIFY(shell.services.messages[0].buttons == MessageButtons::OkCancelQuestion);
    QVERIFY(shell.window->isVisible() && InputImage.rows != nullptr);
    shell.window->TriggerCommand(40007);
    QVERIFY(!shell.window->isVisible() && InputImage.rows == nullptr && WorkImage.rows == nullptr);
  }

  // The real message boxes are modal to the main window and give the answer clicked.
  void MessagesAreModalBoxesThatGiveTheAnswer() {
    QMainWindow owner;
    owner.show();
    QtServices services;
    services.SetOwnerWindow(&owner);
    int flushes = 0;
    services.messages.SetBeforeShow([&] { ++flushes; });
    for (const auto& [buttons, click] : {std::pair{MessageButtons::OkCancelQuestion, QMessageBox::Cancel},
                                         {MessageButtons::OkCancelQuestion, QMessageBox::Ok},
                                         {MessageButtons::Ok, QMessageBox::Ok}}) {
      QMessageBox* seen = nullptr;
      auto answered = WhenDialogShown([&, click = click](QDialog* dialog) {
        seen = qobject_cast<QMessageBox*>(dialog);
        QVERIFY(seen && seen->windowModality() == Qt::ApplicationModal && seen->parentWidget() == &owner);
        QCOMPARE(seen->text(), QString("終了しますか？"));
        QCOMPARE(seen->windowTitle(), QString("デモ"));
        QCOMPARE(seen->icon(), buttons == MessageButtons::Ok ? QMessageBox::NoIcon : QMessageBox::Question);
        QCOMPARE(seen->button(QMessageBox::Cancel) != nullptr, buttons != MessageButtons::Ok);
        seen->button(click)->click();
      });
      const bool ok = ShowMessage("終了しますか？", "デモ", buttons) == MessageResult::Ok;
      QVERIFY(*answered);
      QCOMPARE(ok, click == QMessageBox::Ok);
    }
    QCOMPARE(flushes, 3);
  }

  // The real file dialogs give the bare name, move to the file's folder, add the suffix and ask
  // before replacing a file.
  void FileDialogsGiveTheBareNameInItsFolder() {
    QTemporaryDir root;
    QVERIFY(QDir(root.path()).mkdir("pictures"));
    WriteText(root.filePath("pictures/star.xpm").toStdString(), "x");
    const QString here = QDir::currentPath();
    QDir::setCurrent(root.path());
    QtServices services;
    bool asked = false;  // whether the question to replace came up
    const auto ask = [&](FileDialogRequest::Mode mode, const QString& typed, bool accept,
                         bool replaces = false) {
      FileDialogRequest request{mode, "dreamcast.xpm", DialogDefaultExtension(), DialogFilter(), mode == FileDialogRequest::Mode::Save};
      auto answered = WhenDialogShown([&](QDialog* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        QVERIFY(files);
        QCOMPARE(files->nameFilters(), QStringList{"XPM files (*.xpm)"});
        QCOMPARE(QFileInfo(files->selectedFiles().value(0)).fileName(), QString("dreamcast.xpm"));
        if (replaces)
          WhenDialogShown([&](QDialog* question) {
            auto* box = qobject_cast<QMessageBox*>(question);
            asked = box != nullptr;
            box ? box->button(QMessageBox::Yes)->click() : question->reject();
          });
        files->findChild<QLineEdit*>("fileNameEdit")->setText(typed);
        if (accept) static_cast<QDialog*>(files)->accept(); else files->reject();
      });
      const auto name = services.files.Ask(request);
      return *answered ? name : std::optional<std::string>("no dialog");
    };
    QCOMPARE(ask(FileDialogRequest::Mode::Open, root.filePath("pictures/star.xpm"), true), std::optional<std::string>("star.xpm"));
    QCOMPARE(QFileInfo(QDir::currentPath()), QFileInfo(root.filePath("pictures")));
    QCOMPARE(ask(FileDialogRequest::Mode::Open, "star.xpm", false), std::optional<std::string>());
    QCOMPARE(ask(FileDialogRequest::Mode::Save, "output", true), std::optional<std::string>("output.xpm"));
    QCOMPARE(ask(FileDialogRequest::Mode::Save, "star", true, true), std::optional<std::string>("star.xpm"));
    QVERIFY(asked);
    QDir::setCurrent(here);
  }

  // The input view shows the input as it was when opened, with its size message once, and goes
  // when its close box is used or the main window closes; it puts the triangle's apex back.
  void TheInputViewShowsTheInputOnce() {
    Shell shell;
    shell.window->TriggerCommand(40040);
    QTRY_COMPARE(shell.Texts(), QStringList{"入力画像が取り込まれていません。"});
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
      for (int x = 0; x < 160; ++x) QCOMPARE(shown.pixel(x, y) & 0xFFFFFF, BlackOrWhite(picture.at(y, x)));
    view->close();  // the close box only tells the owner, which closes it
    QVERIFY(shell.window->inputView == nullptr);
    shell.window->TriggerCommand(40040);
    shell.window->close();
    QVERIFY(shell.window->inputView == nullptr);
  }

  // The editor draws its frame, base, sides and origin; dragging the apex (within its area)
  // sets the triangle that the commands use, and the command selects the triangle.
  void TheTriangleEditorDragsTheApex() {
    Shell shell;
    shell.window->engine.distanceFunction = DistanceFunction::cityBlock;
    shell.window->TriggerCommand(40013);
    OriginalFilterWindow* editor = shell.window->filterEditor;
    QVERIFY(editor && QTest::qWaitForWindowExposed(editor));
    QCOMPARE(shell.window->engine.distanceFunction, DistanceFunction::triangle);
    const auto pixel = [&](int x, int y) { return editor->grab().toImage().pixel(x, y) & 0xFFFFFF; };
    QCOMPARE(pixel(46, 200), 0xC8C8C8u);   // frame
    QCOMPARE(pixel(120, 350), 0u);         // base
    QCOMPARE(pixel(125, 275), 0u);         // a side, from (50, 350) to (200, 200)
    QCOMPARE(pixel(200, 345), 0u);         // the origin's circle
    QCOMPARE(pixel(100, 100), 0xFFFFFFu);
    QTest::mousePress(editor, Qt::LeftButton, {}, QPoint(204, 200));  // off the apex: no drag
    QTest::mouseMove(editor, QPoint(250, 120));
    QTest::mouseRelease(editor, Qt::LeftButton, {}, QPoint(250, 120));
    QCOMPARE(triangleApex, (ApexPoint{0, 150}));
    QTest::mousePress(editor, Qt::LeftButton, {}, QPoint(202, 198));
    QMouseEvent move(QEvent::MouseMove, QPointF(500, 20), QPointF(500, 20), Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(editor, &move);
    QTest::mouseRelease(editor, Qt::LeftButton, {}, QPoint(500, 20));
    QCOMPARE(triangleApex, (ApexPoint{150, 300}));  // held inside the drawing area
    editor->close();
    QVERIFY(shell.window->filterEditor == nullptr);
    shell.window->TriggerCommand(40013);
    QVERIFY(shell.window->filterEditor != nullptr);
    shell.window->TriggerCommand(40013);
    QVERIFY(shell.window->filterEditor == nullptr);
  }

  // While a command draws, the canvas is repainted at most every 16 ms of the clock, each time
  // over what was drawn since; paced, a pass spans several repaints; pixels beyond the canvas
  // are dropped; an inner drawing leaves the outer one in force.
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
      {
        CanvasDrawing inner = shell.window->MakeDrawingTargets();
      }
      drawing.targets().a->SetPixel(1, 1, 0);
      shell.window->FlushDrawing();
      QCOMPARE(canvas->repaintCount(), start + 2);
    }
    QCOMPARE(canvas->repaintCount(), start + 2);  // nothing was left to repaint
    SetInput(shell.window->engine, Grid(400, 300));
    const long before = canvas->repaintCount();
    {
      CanvasDrawing paced = shell.window->MakeWatchableDrawing();
      for (int i = 0; i < 400 * 300; ++i) paced.targets().a->SetPixel(i % 400, i / 400, 0);
    }
    QVERIFY(canvas->repaintCount() - before >= CanvasDrawing::framesPerPass);
  }
};

QTEST_MAIN(ShellTest)
#include "ShellTest.moc"
