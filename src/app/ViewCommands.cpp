// The view of the main window: the zoom of the canvas (the 表示 menu, Ctrl++, Ctrl+-, Ctrl+0,
// Ctrl+wheel), the pace at which computing commands draw their passes (表示 too), and the status
// bar, which shows the pixel under the pointer with its value, the picture's size and the zoom,
// and a command's progress and time.
#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <algorithm>
#include <optional>

#include "app/CommandIds.h"
#include "app/MainWindow.h"
#include "app/RunningCommand.h"
#include "image/Globals.h"

namespace dt {

void MainWindow::BuildStatusBar() {
  positionLabel_ = new QLabel(this);
  valueLabel_ = new QLabel(this);
  sizeLabel_ = new QLabel(this);
  runLabel_ = new QLabel(this);
  auto* stop = new QPushButton(tr("中止"), this);
  stop->setEnabled(false);
  stop->setFocusPolicy(Qt::NoFocus);
  connect(stop, &QPushButton::clicked, this, [this] {
    if (running_ != nullptr) running_->AskToStop();
  });
  stopButton_ = stop;
  // 続行: shown while passes are drawn one at a time, enabled while a run waits after a pass.
  auto* next = new QPushButton(tr("続行"), this);
  next->setEnabled(false);
  next->setFocusPolicy(Qt::NoFocus);
  next->setObjectName("continue");
  connect(next, &QPushButton::clicked, this, [this] {
    if (running_ != nullptr) running_->Continue();
  });
  continueButton_ = next;
  positionLabel_->setObjectName("position");
  valueLabel_->setObjectName("value");
  sizeLabel_->setObjectName("size");
  runLabel_->setObjectName("run");
  stop->setObjectName("stop");
  for (QLabel* label : {positionLabel_, valueLabel_, sizeLabel_})
    statusBar()->addPermanentWidget(label);
  statusBar()->addWidget(runLabel_);
  statusBar()->addWidget(stopButton_);
  statusBar()->addWidget(continueButton_);
  ShowPictureSize();
}

void MainWindow::ShowPointed(QPoint pixel) {
  pointed_ = pixel;
  const ImageRecord& shown = WorkImage;
  const bool inside = shown.rows != nullptr && pixel.x() >= 0 && pixel.y() >= 0 &&
                      pixel.x() < shown.width && pixel.y() < shown.height;
  positionLabel_->setText(pixel.x() < 0 ? QString()
                                        : QString("(%1, %2)").arg(pixel.x()).arg(pixel.y()));
  if (!inside) {
    valueLabel_->clear();
  } else {
    const int32_t value = shown.rows[pixel.y()][pixel.x()];
    if (shown.kind == binaryKind)
      valueLabel_->setText(tr("値 %1").arg(value));
    else
      valueLabel_->setText(value == noFeature ? tr("特徴画素なし") : tr("距離 %1").arg(value));
  }
  ShowNearest(pixel);
  ShowPictureSize();
}

void MainWindow::ShowPictureSize() {
  const QString size =
      InputImage.rows ? tr("%1 × %2　").arg(InputImage.width).arg(InputImage.height) : QString();
  sizeLabel_->setText(size + canvas_->ZoomText());
}

void MainWindow::SetZoom(Canvas::Zoom zoom, std::optional<QPoint> anchor) {
  QScrollBar* across = scrollArea_->horizontalScrollBar();
  QScrollBar* down = scrollArea_->verticalScrollBar();
  const QPoint scrolled(across->value(), down->value());
  if (!anchor) {
    // The picture's top-left corner while all of it shows (it grows from there), else the middle
    // of what shows of it, or the view's top-left corner when none of it shows.
    const QRect picture = canvas_->OnCanvas(
        InputImage.rows ? QRect(0, 0, InputImage.width, InputImage.height) : canvas_->rect());
    const QRect onView = picture.translated(-scrolled);
    const QRect seen = onView & QRect(QPoint(0, 0), scrollArea_->viewport()->size());
    anchor = seen == onView ? onView.topLeft() : seen.isEmpty() ? QPoint(0, 0) : seen.center();
  }
  // The bitmap pixel under the anchor stays there.
  const QPoint pixel = canvas_->PictureAt(scrolled + *anchor);
  canvas_->SetZoom(zoom);
  const QPoint moved = canvas_->OnCanvas(QRect(pixel, QSize(1, 1))).topLeft() - *anchor;
  across->setValue(moved.x());
  down->setValue(moved.y());
  ShowPictureSize();
}

void MainWindow::StepZoom(int steps, std::optional<QPoint> anchor) {
  const auto& zooms = Canvas::Zooms();
  const auto now = std::find(zooms.begin(), zooms.end(), canvas_->zoom()) - zooms.begin();
  const auto next = std::clamp<std::ptrdiff_t>(now + steps, 0, zooms.size() - 1);
  if (next != now) SetZoom(zooms[next], anchor);
}

void MainWindow::OnZoomIn() { StepZoom(1); }
void MainWindow::OnZoomOut() { StepZoom(-1); }
void MainWindow::OnZoomActual() { SetZoom(Canvas::Zoom{}); }

// The largest zoom at which the current picture (the whole canvas before any is loaded) fits in
// the window.
void MainWindow::OnZoomFit() {
  const QSize picture = InputImage.rows ? QSize(InputImage.width, InputImage.height)
                                        : QSize(Canvas::pictureWidth, Canvas::pictureHeight);
  const QSize room = scrollArea_->maximumViewportSize();
  Canvas::Zoom best = Canvas::Zooms().front();
  for (const Canvas::Zoom& zoom : Canvas::Zooms()) {
    const QSize shown = QSize(picture.width() * zoom.times / zoom.over,
                              picture.height() * zoom.times / zoom.over);
    if (shown.width() <= room.width() && shown.height() <= room.height()) best = zoom;
  }
  SetZoom(best);
  scrollArea_->horizontalScrollBar()->setValue(0);
  scrollArea_->verticalScrollBar()->setValue(0);
}

// --- The pace of the passes ---

namespace {

// The menu item of each pace, and its name in the settings.
struct PaceItem {
  MainWindow::PassPace pace;
  int id;
  const char* name;
};
const PaceItem paceItems[] = {{MainWindow::PassPace::quarter, command::paceQuarter, "0.25"},
                              {MainWindow::PassPace::normal, command::paceNormal, "1"},
                              {MainWindow::PassPace::fourfold, command::paceFourfold, "4"},
                              {MainWindow::PassPace::passByPass, command::pacePassByPass, "pass"}};

}  // namespace

void MainWindow::OnPaceQuarter() { SetPassPace(PassPace::quarter); }
void MainWindow::OnPaceNormal() { SetPassPace(PassPace::normal); }
void MainWindow::OnPaceFourfold() { SetPassPace(PassPace::fourfold); }
void MainWindow::OnPacePassByPass() { SetPassPace(PassPace::passByPass); }

void MainWindow::SetPassPace(PassPace pace) {
  for (const PaceItem& item : paceItems)
    if (item.pace == pace) QSettings().setValue("passPace", item.name);
  ShowPassPace();
}

// The pace in the settings (the usual one when there is none) checked in the menu, one item of
// the four at a time, and 続行 shown while the passes are drawn one at a time.
void MainWindow::ShowPassPace() {
  const QString stored = QSettings().value("passPace").toString();
  passPace_ = PassPace::normal;
  QActionGroup* group = actions_[paceItems[0].id]->actionGroup();
  if (group == nullptr) group = new QActionGroup(this);
  for (const PaceItem& item : paceItems) {
    if (stored == item.name) passPace_ = item.pace;
    actions_[item.id]->setCheckable(true);
    group->addAction(actions_[item.id]);
  }
  for (const PaceItem& item : paceItems) actions_[item.id]->setChecked(item.pace == passPace_);
  continueButton_->setVisible(passPace_ == PassPace::passByPass);
}

}  // namespace dt
