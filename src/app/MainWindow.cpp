#include "app/MainWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QTimer>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <new>
#include <optional>

#include "app/CommandIds.h"
#include "app/PrivateEvents.h"
#include "app/RunningCommand.h"
#include "image/Globals.h"
#include "image/Messages.h"
#include "pictures/QtPictureCodec.h"
#include "platform/qt/QtServices.h"

namespace dt {

namespace {

using Handler = void (MainWindow::*)();

// One row of the menu description: a drop-down (id 0, with a label), an item of the drop-down
// above it, a separator (no label), or a command on the menu bar itself. The labels are
// translated in the context "Menu".
struct MenuRow {
  enum Kind { DropDown, Item, Separator, BarCommand } kind;
  int id;
  const char* label;
  Handler handler;
};

const MenuRow menuRows[] = {
    {MenuRow::DropDown, 0, QT_TRANSLATE_NOOP("Menu", "入出力管理"), nullptr},
    {MenuRow::Item, command::loadInputImage, QT_TRANSLATE_NOOP("Menu", "入力画像取りこみ"),
     &MainWindow::OnLoadInputImage},
    {MenuRow::Separator, 0, nullptr, nullptr},
    {MenuRow::Item, command::sample640, QT_TRANSLATE_NOOP("Menu", "入力画像サンプル（640x480）"),
     &MainWindow::OnSample640},
    {MenuRow::Item, command::sample320, QT_TRANSLATE_NOOP("Menu", "入力画像サンプル（320x240）"),
     &MainWindow::OnSample320},
    {MenuRow::Item, command::sample160, QT_TRANSLATE_NOOP("Menu", "入力画像サンプル（160x120）"),
     &MainWindow::OnSample160},
    {MenuRow::Item, command::sampleSquare, QT_TRANSLATE_NOOP("Menu", "入力画像サンプル（四角形）"),
     &MainWindow::OnSampleSquare},
    {MenuRow::Separator, 0, nullptr, nullptr},
    {MenuRow::Item, command::redisplayInputImage, QT_TRANSLATE_NOOP("Menu", "入力画像再表示"),
     &MainWindow::OnRedisplayInputImage},
    {MenuRow::Item, command::inputView, QT_TRANSLATE_NOOP("Menu", "入力画像別ウインドウ表示"),
     &MainWindow::OnInputView},
    {MenuRow::Separator, 0, nullptr, nullptr},
    {MenuRow::Item, command::saveImage, QT_TRANSLATE_NOOP("Menu", "画像保存"),
     &MainWindow::OnSaveImage},
    {MenuRow::BarCommand, command::distanceTransform, QT_TRANSLATE_NOOP("Menu", "距離変換"),
     &MainWindow::OnDistanceTransform},
    {MenuRow::DropDown, 0, QT_TRANSLATE_NOOP("Menu", "モルフォロジー演算"), nullptr},
    {MenuRow::Item, command::distanceMorphology, QT_TRANSLATE_NOOP("Menu", "距離変換によるモルフォロジー演算"),
     &MainWindow::OnDistanceMorphology},
    {MenuRow::Item, command::editTriangleFilter, QT_TRANSLATE_NOOP("Menu", "独自三角形フィルタ編集"),
     &MainWindow::OnEditTriangleFilter},
    {MenuRow::Separator, 0, nullptr, nullptr},
    {MenuRow::Item, command::loadFilterImage, QT_TRANSLATE_NOOP("Menu", "フィルタ画像取りこみ"),
     &MainWindow::OnLoadFilterImage},
    {MenuRow::Item, command::filterMorphology, QT_TRANSLATE_NOOP("Menu", "フィルタ画像によるモルフォロジー演算"),
     &MainWindow::OnFilterMorphology},
    {MenuRow::Item, command::redisplayFilterImage, QT_TRANSLATE_NOOP("Menu", "フィルタ画像再表示"),
     &MainWindow::OnRedisplayFilterImage},
    {MenuRow::BarCommand, command::clearScreen, QT_TRANSLATE_NOOP("Menu", "画面クリア"),
     &MainWindow::OnClearScreen},
    {MenuRow::BarCommand, command::quit, QT_TRANSLATE_NOOP("Menu", "終了(&E)"), &MainWindow::OnQuit},
    {MenuRow::BarCommand, command::version, QT_TRANSLATE_NOOP("Menu", "バージョン情報"),
     &MainWindow::OnVersion},
    {MenuRow::DropDown, 0, QT_TRANSLATE_NOOP("Menu", "表示"), nullptr},
    {MenuRow::Item, command::colourDistanceView, QT_TRANSLATE_NOOP("Menu", "距離画像をカラーで表示"),
     &MainWindow::OnColourDistanceView},
    {MenuRow::Item, command::greyDistanceView, QT_TRANSLATE_NOOP("Menu", "距離画像を16階調で表示"),
     &MainWindow::OnGreyDistanceView},
    {MenuRow::Item, command::zoomIn, QT_TRANSLATE_NOOP("Menu", "拡大"), &MainWindow::OnZoomIn},
    {MenuRow::Item, command::zoomOut, QT_TRANSLATE_NOOP("Menu", "縮小"), &MainWindow::OnZoomOut},
    {MenuRow::Item, command::zoomActual, QT_TRANSLATE_NOOP("Menu", "等倍表示"),
     &MainWindow::OnZoomActual},
    {MenuRow::Item, command::zoomFit, QT_TRANSLATE_NOOP("Menu", "ウインドウに合わせる"),
     &MainWindow::OnZoomFit},
    {MenuRow::Item, command::envelopePlot, QT_TRANSLATE_NOOP("Menu", "行の下側包絡線を表示"),
     &MainWindow::OnEnvelopePlot},
    {MenuRow::Item, command::voronoiView, QT_TRANSLATE_NOOP("Menu", "ボロノイ領域"),
     &MainWindow::OnVoronoiView},
    // --- the pace of the passes (ViewCommands.cpp) ---
    {MenuRow::Separator, 0, nullptr, nullptr},
    {MenuRow::Item, command::paceQuarter, QT_TRANSLATE_NOOP("Menu", "描画速度 0.25倍"),
     &MainWindow::OnPaceQuarter},
    {MenuRow::Item, command::paceNormal, QT_TRANSLATE_NOOP("Menu", "描画速度 1倍"),
     &MainWindow::OnPaceNormal},
    {MenuRow::Item, command::paceFourfold, QT_TRANSLATE_NOOP("Menu", "描画速度 4倍"),
     &MainWindow::OnPaceFourfold},
    {MenuRow::Item, command::pacePassByPass, QT_TRANSLATE_NOOP("Menu", "描画速度 パスごと"),
     &MainWindow::OnPacePassByPass},
    // --- undo and redo (EditCommands.cpp) ---
    {MenuRow::DropDown, 0, QT_TRANSLATE_NOOP("Menu", "編集"), nullptr},
    {MenuRow::Item, command::undo, QT_TRANSLATE_NOOP("Menu", "元に戻す"), &MainWindow::OnUndo},
    {MenuRow::Item, command::redo, QT_TRANSLATE_NOOP("Menu", "やり直し"), &MainWindow::OnRedo},
};

// The usual keys of a desktop program for some of the commands (made once the application is).
std::vector<std::pair<int, QList<QKeySequence>>> Shortcuts() {
  const auto ctrl = [](int key) { return QKeySequence(Qt::CTRL | key); };
  return {{command::loadInputImage, {ctrl(Qt::Key_O)}},
          {command::saveImage, {ctrl(Qt::Key_S)}},
          {command::quit, {ctrl(Qt::Key_Q)}},
          {command::zoomIn, {ctrl(Qt::Key_Plus), ctrl(Qt::Key_Equal)}},
          {command::zoomOut, {ctrl(Qt::Key_Minus)}},
          {command::zoomActual, {ctrl(Qt::Key_0)}},
          {command::undo, {ctrl(Qt::Key_Z)}},
          {command::redo, {ctrl(Qt::Key_Y)}}};
}

constexpr int outerWidth = 1312;
constexpr int outerHeight = 1150;

const char* const runStopped =
    QT_TRANSLATE_NOOP("dt::MainWindow", "中止しました。画像は実行前の状態に戻しました。");

// A time in milliseconds to three significant digits: "0.0123", "4.56", "789", "12300".
QString ThreeDigits(double ms) {
  if (ms <= 0) return "0";
  const int whole = static_cast<int>(std::floor(std::log10(ms))) + 1;  // digits before the point
  if (whole >= 3) {
    const double unit = std::pow(10.0, whole - 3);
    return QString::number(std::llround(ms / unit) * static_cast<long long>(unit));
  }
  return QString::number(ms, 'f', 3 - whole);
}

}  // namespace

MainWindow::MainWindow() : clock(&steadyClock_) {
  InstallQtPictureCodec();
  setWindowTitle(Translated(appTitle.c_str()));
  setAcceptDrops(true);
  canvas_ = new Canvas(backingBitmap);
  scrollArea_ = new QScrollArea(this);
  scrollArea_->setWidget(canvas_);
  scrollArea_->setFrameShape(QFrame::NoFrame);
  scrollArea_->viewport()->setBackgroundRole(QPalette::Base);
  scrollArea_->viewport()->setAutoFillBackground(true);
  setCentralWidget(scrollArea_);
  connect(canvas_, &Canvas::rightClicked, this, [this] { TriggerCommand(command::clearScreen); });
  connect(canvas_, &Canvas::pointed, this, &MainWindow::ShowPointed);
  connect(canvas_, &Canvas::rowPicked, this, [this](QPoint pixel) {
    if (running_ == nullptr) OpenEnvelopePlot(pixel.y());
  });
  connect(canvas_, &Canvas::zoomStep, this, [this](bool larger, QPoint at) {
    if (running_ == nullptr) StepZoom(larger ? 1 : -1, canvas_->mapTo(scrollArea_->viewport(), at));
  });
  BuildMenu();
  BuildStatusBar();
  ShowRecentFiles();
  ShowPassPace();   // the pace of the passes (ViewCommands.cpp)
  ShowUndoItems();  // nothing to undo yet (EditCommands.cpp)
  ResetCanvas();
  resize(outerWidth, outerHeight);
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildMenu() {
  QMenu* dropDown = nullptr;
  for (const MenuRow& row : menuRows) {
    if (row.kind == MenuRow::DropDown) {
      dropDown = menuBar()->addMenu(QCoreApplication::translate("Menu", row.label));
      if (fileMenu_ == nullptr) fileMenu_ = dropDown;
      continue;
    }
    if (row.kind == MenuRow::Separator) {
      dropDown->addSeparator();
      continue;
    }
    auto* action = new QAction(QCoreApplication::translate("Menu", row.label), this);
    action->setData(row.id);
    action->setObjectName(QString::number(row.id));
    const int id = row.id;
    connect(action, &QAction::triggered, this, [this, id] { TriggerCommand(id); });
    if (row.kind == MenuRow::Item) {
      dropDown->addAction(action);
    } else {
      menuBar()->addAction(action);
      dropDown = nullptr;
    }
    commands_[row.id] = row.handler;
    actions_[row.id] = action;
  }
  for (const auto& [id, keys] : Shortcuts()) actions_[id]->setShortcuts(keys);
}

void MainWindow::PlaceAndShow() {
  // 1312 x 1150 where the screen has room, else as much as it has.
  const QRect room = screen() != nullptr ? screen()->availableGeometry() : QRect(0, 0, 0, 0);
  if (room.width() > 0) {
    outerSize_ = {std::min(outerWidth, room.width()), std::min(outerHeight, room.height())};
    move(room.topLeft());
  } else {
    move(0, 0);
  }
  resize(outerSize_);
  fittingFrame_ = true;
  show();
  QTimer::singleShot(0, this, &MainWindow::FitFrame);
}

// The frame is known only once the window manager has decorated the window (it reports it with a
// move or resize); then the frame is taken off the size so that the outer rectangle is
// 1312 x 1150 at (0, 0). Without a window manager there is no frame and nothing to do.
void MainWindow::FitFrame() {
  if (!fittingFrame_) return;
  const QSize frame = frameGeometry().size() - geometry().size();
  if (frame.width() <= 0 && frame.height() <= 0) return;
  fittingFrame_ = false;
  resize(outerSize_ - frame);
  move(screen() != nullptr ? screen()->availableGeometry().topLeft() : QPoint(0, 0));
}

void MainWindow::TriggerCommand(int id) {
  const auto found = commands_.find(id);
  if (found == commands_.end() || running_ != nullptr) return;
  const UndoStepKind step = UndoStepOf(id);  // --- undo (EditCommands.cpp)
  const bool undoStep = step != UndoStepKind::none;
  if (undoStep) BeginUndoStep(step);
  try {
    (this->*(found->second))();
  } catch (const std::bad_alloc&) {
    ShowMessage(Translate(text::memoryFailure), Translate(text::errorCaption));
  }
  if (undoStep) EndUndoStep();
  ShowUndoItems();  // a computing command turned every item on when it ended
  ShowPointed(pointed_);  // the picture under the pointer may have changed
}

namespace {

// The local file a drag carries, if it carries exactly one.
std::optional<QString> DroppedFile(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls() || data->urls().size() != 1) return std::nullopt;
  const QUrl url = data->urls().constFirst();
  if (!url.isLocalFile()) return std::nullopt;
  return url.toLocalFile();
}

}  // namespace

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (DroppedFile(event->mimeData())) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const std::optional<QString> file = DroppedFile(event->mimeData());
  if (!file || running_ != nullptr) return;
  event->acceptProposedAction();
  OpenGivenFile(*file);
}

QAction* MainWindow::ActionFor(int id) const {
  const auto found = actions_.find(id);
  return found == actions_.end() ? nullptr : found->second;
}

void MainWindow::ResetCanvas() {
  if (backingBitmap.isNull())
    backingBitmap = QImage(Canvas::pictureWidth, Canvas::pictureHeight, QImage::Format_RGB32);
  backingBitmap.fill(Qt::white);
}

CanvasDrawing MainWindow::MakeDrawingTargets() {
  EraseColourLegend();
  return CanvasDrawing(*canvas_, backingBitmap, *clock);
}

CanvasDrawing MainWindow::MakeWatchableDrawing() {
  EraseColourLegend();
  const double speed = passPace_ == PassPace::quarter    ? 0.25
                       : passPace_ == PassPace::fourfold ? 4.0
                                                         : 1.0;  // the pace of the passes
  return CanvasDrawing(*canvas_, backingBitmap, *clock,
                       int64_t{InputImage.width} * InputImage.height, speed);
}

bool MainWindow::RequireBinaryImage() {
  if (WorkImage.kind == binaryKind) return true;
  ShowMessage(Translate(text::notBinaryImage), Translate(text::errorCaption));
  return false;
}

bool MainWindow::Compute(const std::function<void()>& computation,
                         const std::function<void()>& untimed) {
  // A computation may make its result the new input half way (an opening, say): the images as
  // they are now are kept aside first, and if that does not fit, the computation does not start.
  // The command's undo step holds them already when it could keep them.
  std::optional<ImagesSnapshot> original;
  const bool keptForUndo = undoHistory.HoldsBefore();
  const char* failure = nullptr;
  std::chrono::duration<double, std::milli> took{};
  try {
    if (!keptForUndo) original.emplace(engine);
    RunningCommand running(*this);
    const auto start = std::chrono::steady_clock::now();  // the computation's time, not the copy's
    computation();
    took = std::chrono::steady_clock::now() - start;
    if (untimed) {
      running.RestartPasses();
      untimed();
    }
  } catch (const std::bad_alloc&) {
    failure = text::memoryFailure;
    engine.spareNearest = FeatureMap{};  // the memory it keeps goes back, for a try again
  } catch (const Stopped&) {
    failure = runStopped;
  }
  if (failure == nullptr) {
    runLabel_->setText(tr("処理時間 %1 ms").arg(ThreeDigits(took.count())));
    return true;
  }
  if (keptForUndo)
    undoHistory.PutBackBefore(engine);
  else if (original)
    original->Restore(engine);
  runLabel_->clear();
  if (failure == runStopped)
    ShowMessage(tr(runStopped).toStdString(), Translate(appTitle.c_str()));
  else
    ShowMessage(Translate(failure), Translate(text::errorCaption));
  return false;
}

void MainWindow::ReportCommandTime(int64_t start, int64_t end) {
  char report[160];
  std::snprintf(report, sizeof report, Translate(text::tookSecondsCommand).c_str(),
                (end - start) / 1000.0);
  ShowMessage(report, Translate(appTitle.c_str()));
}

bool MainWindow::event(QEvent* event) {
  if (event->type() == FilterEditorClosed) {
    CloseFilterEditor();
    return true;
  }
  if (event->type() == InputViewClosed) {
    CloseInputView();
    return true;
  }
  if (fittingFrame_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
    QTimer::singleShot(0, this, &MainWindow::FitFrame);
  return QMainWindow::event(event);
}

// Closing through the frame needs no confirmation; the owned windows go with the main window.
// While a command computes, closing asks it to stop first.
void MainWindow::closeEvent(QCloseEvent* event) {
  if (running_ != nullptr) {
    event->ignore();
    return;
  }
  if (inputView != nullptr) CloseInputView();
  if (filterEditor != nullptr) CloseFilterEditor();
  QMainWindow::closeEvent(event);
}

}  // namespace dt
