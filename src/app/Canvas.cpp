#include "app/Canvas.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>
#include <QRegion>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

namespace dt {

Canvas::Canvas(const QImage& picture, QWidget* parent) : QWidget(parent), picture_(picture) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  SetZoom(Zoom{});
}

const std::vector<Canvas::Zoom>& Canvas::Zooms() {
  static const std::vector<Zoom> zooms = {{1, 8}, {1, 4}, {1, 2}, {1, 1}, {2, 1},  {3, 1}, {4, 1},
                                          {6, 1}, {8, 1}, {12, 1}, {16, 1}, {24, 1}, {32, 1}};
  return zooms;
}

void Canvas::SetZoom(Zoom zoom) {
  zoom_ = zoom;
  setFixedSize(OnCanvas(QRect(0, 0, pictureWidth, pictureHeight)).size());
  update();
}

QString Canvas::ZoomText() const {
  return QString::number(100.0 * zoom_.times / zoom_.over) + "%";
}

QPoint Canvas::PictureAt(const QPoint& point) const {
  return {point.x() * zoom_.over / zoom_.times, point.y() * zoom_.over / zoom_.times};
}

QRect Canvas::OnCanvas(const QRect& pictureRect) const {
  const auto down = [&](int v) { return v * zoom_.times / zoom_.over; };
  const auto up = [&](int v) { return (v * zoom_.times + zoom_.over - 1) / zoom_.over; };
  return QRect(QPoint(down(pictureRect.left()), down(pictureRect.top())),
               QPoint(up(pictureRect.right() + 1) - 1, up(pictureRect.bottom() + 1) - 1));
}

void Canvas::SetMarks(std::vector<Mark> marks) {
  marks_ = std::move(marks);
  update();
}

void Canvas::RepaintNow(const QRect& rect) {
  ++repaintCount_;
  repaint(OnCanvas(rect));
}

void Canvas::FlushDrawing() {
  if (activeDrawing_ != nullptr) activeDrawing_->Flush();
}

void Canvas::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRect area = event->rect();
  if (zoom_.over > 1) {  // every over-th pixel, the rest of the canvas white
    painter.setClipRect(area);
    painter.fillRect(area, Qt::white);
    painter.drawImage(OnCanvas(picture_.rect()), picture_);
    DrawMarks(painter);
    return;
  }
  // The bitmap pixels the area touches, each drawn as a times x times square.
  const QRect pictureArea =
      QRect(PictureAt(area.topLeft()), PictureAt(area.bottomRight())) & picture_.rect();
  if (!pictureArea.isEmpty())
    painter.drawImage(OnCanvas(pictureArea), picture_, pictureArea);
  // Beyond the bitmap the window is plain white.
  for (const QRect& rest : QRegion(area).subtracted(QRegion(OnCanvas(picture_.rect()))))
    painter.fillRect(rest, Qt::white);
  DrawMarks(painter);
}

void Canvas::DrawMarks(QPainter& painter) const {
  const double scale = double(zoom_.times) / zoom_.over;
  const auto centre = [&](QPoint p) {
    return QPointF((p.x() + 0.5) * scale, (p.y() + 0.5) * scale);
  };
  painter.setRenderHint(QPainter::Antialiasing);
  for (const Mark& mark : marks_) {
    painter.setPen(QPen(mark.colour, std::max(1.5, scale / 3)));
    painter.drawLine(centre(mark.from), centre(mark.to));
    painter.setBrush(mark.colour);
    painter.drawEllipse(centre(mark.to), std::max(2.0, scale / 3), std::max(2.0, scale / 3));
  }
}

void Canvas::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) emit rightClicked();
  if (event->button() == Qt::LeftButton &&
      (pickingRow || (event->modifiers() & Qt::ShiftModifier))) {
    pickingRow = false;
    emit rowPicked(PictureAt(event->position().toPoint()));
  }
  QWidget::mousePressEvent(event);
}

void Canvas::mouseMoveEvent(QMouseEvent* event) {
  emit pointed(PictureAt(event->position().toPoint()));
  QWidget::mouseMoveEvent(event);
}

void Canvas::leaveEvent(QEvent* event) {
  emit pointed(QPoint(-1, -1));
  QWidget::leaveEvent(event);
}

void Canvas::wheelEvent(QWheelEvent* event) {
  if (!(event->modifiers() & Qt::ControlModifier) || event->angleDelta().y() == 0) {
    event->ignore();  // the scroll area scrolls
    return;
  }
  emit zoomStep(event->angleDelta().y() > 0, event->position().toPoint());
  event->accept();
}

CanvasDrawing::CanvasDrawing(Canvas& canvas, QImage& picture, Clock& clock,
                             int64_t pixelsPerPass, double speed)
    : canvas_(canvas),
      previous_(canvas.activeDrawing_),
      backing_(picture),
      window_(canvas, clock, speed),
      targets_{&window_, &backing_} {
  canvas_.activeDrawing_ = this;
  window_.PacePasses(pixelsPerPass);
}

CanvasDrawing::~CanvasDrawing() {
  window_.Flush();
  canvas_.activeDrawing_ = previous_;
}

CanvasDrawing::WindowSurface::WindowSurface(Canvas& canvas, Clock& clock, double speed)
    : canvas_(canvas),
      clock_(clock),
      lastRepaintMs_(clock.NowMs()),
      speed_(speed),
      left_(Canvas::pictureWidth),
      top_(Canvas::pictureHeight),
      right_(-1),
      bottom_(-1) {}

void CanvasDrawing::WindowSurface::SetPixel(int x, int y, uint32_t) {
  if (static_cast<unsigned>(x) >= static_cast<unsigned>(Canvas::pictureWidth) ||
      static_cast<unsigned>(y) >= static_cast<unsigned>(Canvas::pictureHeight))
    return;
  Drawn(x, x, y, 1);
}

// A row counts as its pixels inside the picture, the clock looked at as often as for them one
// by one.
void CanvasDrawing::WindowSurface::SetRow(int x, int y, const uint32_t*, int n) {
  const int from = std::max(x, 0), to = std::min(x + n, Canvas::pictureWidth) - 1;
  if (static_cast<unsigned>(y) >= static_cast<unsigned>(Canvas::pictureHeight) || to < from)
    return;
  Drawn(from, to, y, to - from + 1);
}

void CanvasDrawing::WindowSurface::Drawn(int left, int right, int y, int64_t pixels) {
  left_ = std::min(left_, left);
  right_ = std::max(right_, right);
  top_ = std::min(top_, y);
  bottom_ = std::max(bottom_, y);
  for (pixelsSinceCheck_ += pixels; pixelsSinceCheck_ >= pixelsPerCheck_;) {
    pixelsSinceCheck_ -= pixelsPerCheck_;
    const int64_t sinceRepaint = clock_.NowMs() - lastRepaintMs_;
    if (pixelsPerFrame_ > 0 && (pixelsThisFrame_ += pixelsPerCheck_) >= pixelsPerFrame_) {
      if (sinceRepaint < repaintIntervalMs)
        std::this_thread::sleep_for(std::chrono::milliseconds(repaintIntervalMs - sinceRepaint));
      Flush();
    } else if (sinceRepaint >= repaintIntervalMs) {
      Flush();
    }
  }
}

// A frame is an eighth of a pass, or pixelsPerClockCheck pixels when that is more, times the
// speed; the clock is looked at in equal steps of at most pixelsPerClockCheck pixels that end
// where the frame does.
void CanvasDrawing::WindowSurface::PacePasses(int64_t pixelsPerPass) {
  const int64_t usual = std::max<int64_t>(pixelsPerClockCheck, pixelsPerPass / framesPerPass);
  pixelsPerFrame_ =
      pixelsPerPass > 0 ? std::max<int64_t>(1, std::llround(static_cast<double>(usual) * speed_))
                        : 0;
  const int64_t checks = (pixelsPerFrame_ + pixelsPerClockCheck - 1) / pixelsPerClockCheck;
  pixelsPerCheck_ =
      pixelsPerFrame_ > 0 ? (pixelsPerFrame_ + checks - 1) / checks : pixelsPerClockCheck;
  pixelsSinceCheck_ = 0;
  pixelsThisFrame_ = 0;
}

void CanvasDrawing::WindowSurface::Flush() {
  if (right_ < left_) return;
  const QRect dirty(QPoint(left_, top_), QPoint(right_, bottom_));
  left_ = Canvas::pictureWidth;
  top_ = Canvas::pictureHeight;
  right_ = bottom_ = -1;
  canvas_.RepaintNow(dirty);
  lastRepaintMs_ = clock_.NowMs();
  pixelsThisFrame_ = 0;
}

}  // namespace dt
