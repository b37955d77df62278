#include "app/Canvas.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <algorithm>
#include <chrono>
#include <thread>

namespace dt {

Canvas::Canvas(const QImage& picture, QWidget* parent) : QWidget(parent), picture_(picture) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(1, 1);
}

void Canvas::RepaintNow(const QRect& rect) {
  ++repaintCount_;
  repaint(rect);
}

void Canvas::FlushDrawing() {
  if (activeDrawing_ != nullptr) activeDrawing_->Flush();
}

void Canvas::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRect area = event->rect();
  const QRect pictureArea = area & picture_.rect();
  if (!pictureArea.isEmpty()) painter.drawImage(pictureArea.topLeft(), picture_, pictureArea);
  // Beyond the bitmap the window is plain white.
  for (const QRect& rest : QRegion(area).subtracted(QRegion(picture_.rect())))
    painter.fillRect(rest, Qt::white);
}

void Canvas::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) emit rightClicked();
  QWidget::mousePressEvent(event);
}

CanvasDrawing::CanvasDrawing(Canvas& canvas, QImage& picture, Clock& clock,
                             int64_t pixelsPerPass)
    : canvas_(canvas),
      previous_(canvas.activeDrawing_),
      backing_(picture),
      window_(canvas, clock),
      targets_{&window_, &backing_} {
  canvas_.activeDrawing_ = this;
  window_.PacePasses(pixelsPerPass);
}

CanvasDrawing::~CanvasDrawing() {
  window_.Flush();
  canvas_.activeDrawing_ = previous_;
}

CanvasDrawing::WindowSurface::WindowSurface(Canvas& canvas, Clock& clock)
    : canvas_(canvas),
      clock_(clock),
      lastRepaintMs_(clock.NowMs()),
      left_(Canvas::pictureWidth),
      top_(Canvas::pictureHeight),
      right_(-1),
      bottom_(-1) {}

void CanvasDrawing::WindowSurface::SetPixel(int x, int y, uint32_t) {
  if (static_cast<unsigned>(x) >= static_cast<unsigned>(Canvas::pictureWidth) ||
      static_cast<unsigned>(y) >= static_cast<unsigned>(Canvas::pictureHeight))
    return;
  left_ = std::min(left_, x);
  right_ = std::max(right_, x);
  top_ = std::min(top_, y);
  bottom_ = std::max(bottom_, y);
  if (++pixelsSinceCheck_ < pixelsPerClockCheck) return;
  pixelsSinceCheck_ = 0;
  const int64_t sinceRepaint = clock_.NowMs() - lastRepaintMs_;
  if (pixelsPerFrame_ > 0 && (pixelsThisFrame_ += pixelsPerClockCheck) >= pixelsPerFrame_) {
    if (sinceRepaint < repaintIntervalMs)
      std::this_thread::sleep_for(std::chrono::milliseconds(repaintIntervalMs - sinceRepaint));
    Flush();
    return;
  }
  if (sinceRepaint >= repaintIntervalMs) Flush();
}

void CanvasDrawing::WindowSurface::PacePasses(int64_t pixelsPerPass) {
  pixelsPerFrame_ =
      pixelsPerPass > 0 ? std::max<int64_t>(pixelsPerClockCheck, pixelsPerPass / framesPerPass) : 0;
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
