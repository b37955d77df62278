// The shell's own commands: loading an input image (by file dialog, one of the samples or the
// file given at start), saving the current result, clearing the screen, quitting and the version
// text.
#include "app/MainWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QSettings>
#include <QStatusBar>
#include <new>
#include <utility>

#include "app/CommandIds.h"
#include "app/SampleFiles.h"
#include "image/Globals.h"
#include "image/Messages.h"

namespace dt {

namespace {

const char* const versionText = QT_TRANSLATE_NOOP(
    "dt::MainWindow",
    "距離変換＆モルフォロジー演算デモソフト\nVer.0.48\n\n《使用上の注意》\n"
    "・画像ファイルは必ず実行ファイルと同じ場所においてください。\n"
    "・入力画像の端の方に前景画素があるとうまくいかないことがあります。\n"
    "・フィルタ画像は各行に最低ひとつは前景画素がないと１次元分解距離変換型は正常動作しません。");

// The wait cursor while a file is read or written, which takes a while for large pictures (a
// second to save a map of 4000 x 4000 as PNG). Messages shown meanwhile take the arrow.
class BusyCursor {
 public:
  BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
  ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

std::string Sample(const char* name) {
  return FindSample(name, QCoreApplication::applicationDirPath());
}

}  // namespace

std::optional<std::string> MainWindow::AskFileName(FileDialogRequest::Mode mode,
                                                   const char* initialName) {
  FileDialogService* files = CurrentServices().files;
  if (files == nullptr) return std::nullopt;
  FileDialogRequest request;
  request.mode = mode;
  request.initialName = initialName;
  request.defaultExtension = DialogDefaultExtension();
  request.filter =
      mode == FileDialogRequest::Mode::Open ? OpenDialogFilter() : SaveDialogFilter(WorkImage.kind);
  request.overwritePrompt = mode == FileDialogRequest::Mode::Save;
  return files->Ask(request);
}

bool MainWindow::LoadAndShowInput(const std::string& fileName) {
  auto drawing = MakeDrawingTargets();
  ImageEngine::ReplacedImages replaced;
  const BusyCursor busy;
  if (!engine.LoadInputImage(fileName, {}, /*offerThreshold=*/true, &replaced)) return false;
  undoHistory.Replaced(std::move(replaced));
  engine.ShowInputImage(drawing);
  engine.distanceReady = 0;
  return true;
}

void MainWindow::OnLoadInputImage() {
  const auto name = AskFileName(FileDialogRequest::Mode::Open, "dreamcast.xpm");
  if (name && LoadAndShowInput(*name)) RememberFile(*name);
}

void MainWindow::OpenGivenFile(const QString& path) {
  BeginUndoStep(UndoStepKind::replacing);  // a load is a step (EditCommands.cpp)
  bool loaded = false;
  try {
    loaded = LoadAndShowInput(QFile::encodeName(path).toStdString());
  } catch (const std::bad_alloc&) {
    ShowMessage(Translate(text::memoryFailure), Translate(text::errorCaption));
  }
  EndUndoStep();
  if (!loaded) return;
  const QString folder = QFileInfo(path).absolutePath();
  RememberFile(QFile::encodeName(path).toStdString());
  if (QFileInfo(folder) != QFileInfo(QDir::currentPath())) QDir::setCurrent(folder);
}

QStringList MainWindow::RecentFiles() const {
  return QSettings().value("recentFiles").toStringList().mid(0, command::recentFiles);
}

void MainWindow::RememberFile(const std::string& fileName) {
  const QString path = QFileInfo(QFile::decodeName(fileName.c_str())).absoluteFilePath();
  QStringList files = RecentFiles();
  files.removeAll(path);
  files.prepend(path);
  QSettings().setValue("recentFiles", files.mid(0, command::recentFiles));
  ShowRecentFiles();
}

// The recent files close the 入出力管理 menu, after a separator, as "1 name" to "4 name".
void MainWindow::ShowRecentFiles() {
  if (recentActions_.empty()) {
    recentActions_.push_back(fileMenu_->addSeparator());
    for (int i = 0; i < command::recentFiles; ++i) {
      QAction* action = fileMenu_->addAction(QString());
      action->setObjectName(QString::number(command::recentFile + i));
      connect(action, &QAction::triggered, this, [this, i] {
        if (running_ == nullptr) OnRecentFile(i);
      });
      recentActions_.push_back(action);
    }
  }
  const QStringList files = RecentFiles();
  recentActions_[0]->setVisible(!files.isEmpty());
  for (int i = 0; i < command::recentFiles; ++i) {
    QAction* action = recentActions_[i + 1];
    action->setVisible(i < files.size());
    if (i >= files.size()) continue;
    action->setText(QString("&%1 %2").arg(i + 1).arg(QFileInfo(files[i]).fileName()));
    action->setStatusTip(files[i]);
    action->setToolTip(files[i]);
  }
}

void MainWindow::OnRecentFile(int index) {
  const QStringList files = RecentFiles();
  if (index < files.size()) OpenGivenFile(files[index]);
}

void MainWindow::OnSample640() { LoadAndShowInput(Sample("sample1-640.xpm")); }
void MainWindow::OnSample320() { LoadAndShowInput(Sample("sample1-320.xpm")); }
void MainWindow::OnSample160() { LoadAndShowInput(Sample("sample1-160.xpm")); }
void MainWindow::OnSampleSquare() { LoadAndShowInput(Sample("square.xpm")); }

void MainWindow::OnSaveImage() {
  const auto name = AskFileName(FileDialogRequest::Mode::Save, "output.xpm");
  if (!name) return;
  const BusyCursor busy;
  // The extension chooses the format; a name without a known one is XPM, as it always was.
  if (engine.SaveWorkImage(*name, FormatOfName(*name).value_or(FileFormat::xpm)))
    statusBar()->showMessage(tr("保存しました: %1").arg(QString::fromStdString(*name)), 10000);
}

void MainWindow::OnClearScreen() {
  ResetCanvas();
  canvas_->update();
}

void MainWindow::OnQuit() {
  if (ShowMessage(tr("終了しますか？").toStdString(), Translate(appTitle.c_str()),
                  MessageButtons::OkCancelQuestion) != MessageResult::Ok)
    return;
  engine.FreeImages();
  close();
}

void MainWindow::OnVersion() {
  ShowMessage(tr(versionText).toStdString(), tr("バージョン情報").toStdString());
}

}  // namespace dt
