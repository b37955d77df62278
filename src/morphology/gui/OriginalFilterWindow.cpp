#include "morphology/gui/OriginalFilterWindow.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cstdlib>

#include "app/PrivateEvents.h"
#include "image/Globals.h"

namespace dt {

namespace {

const QColor black(0, 0, 0);
const QColor grey(200, 200, 200);
const QColor white(255, 255, 255);

// The frame round the drawing area and the origin marker, as rectangles whose right and bottom
// edges lie one pixel inside the given corners (46, 46)-(355, 355) and (195, 345)-(205, 355).
const QRect frameRect(46, 46, 355 - 46 - 1, 355 - 46 - 1);
const QRect originMarker(195, 345, 205 - 195 - 1, 355 - 345 - 1);

}  // namespace

void TriangleFigure::LoadApex() {
  apex = QPoint(origin.x() + triangleApex.x, origin.y() - triangleApex.y);
}

bool TriangleFigure::NearApex(QPoint p) const {
  return std::abs(p.x() - apex.x()) <= grip && std::abs(p.y() - apex.y()) <= grip;
}

void TriangleFigure::MoveApex(QPoint p) {
  apex = QPoint(std::clamp(p.x(), lowest, highest), std::clamp(p.y(), lowest, highest));
  triangleApex.x = apex.x() - origin.x();
  triangleApex.y = origin.y() - apex.y();
}

QRect TriangleFigure::Handle() const {
  return QRect(apex.x() - grip, apex.y() - grip, 2 * grip - 1, 2 * grip - 1);
}

OriginalFilterWindow::OriginalFilterWindow(QWidget* owner)
    : QWidget(owner, Qt::Window), owner_(owner) {
  setWindowTitle(tr("OriginalFilterWindow"));
  setObjectName("OriginalFilterWindow");
  // The client area of a 400 x 420 window with a usual frame; the drawing needs 356 x 356.
  resize(outerWidth - 12, outerHeight - 31);
  setAttribute(Qt::WA_OpaquePaintEvent);
  figure_.LoadApex();
}

void OriginalFilterWindow::paintEvent(QPaintEvent*) {
  figure_.LoadApex();  // another window may have changed the apex meanwhile
  QPainter painter(this);
  painter.fillRect(rect(), white);
  painter.setBrush(white);

  painter.setPen(grey);
  painter.drawRect(frameRect);

  painter.setPen(black);
  painter.drawLine(figure_.baseLeft, figure_.baseRight);
  painter.drawLine(figure_.apex, figure_.baseLeft);
  painter.drawLine(figure_.baseRight, figure_.apex);
  painter.drawEllipse(originMarker);
  if (figure_.dragging == 1) painter.drawRect(figure_.Handle());
}

void OriginalFilterWindow::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  figure_.LoadApex();
  if (figure_.NearApex(event->position().toPoint())) {
    figure_.dragging = 1;
    update();
  }
}

void OriginalFilterWindow::mouseMoveEvent(QMouseEvent* event) {
  if ((event->buttons() & Qt::LeftButton) && figure_.dragging == 1) {
    figure_.MoveApex(event->position().toPoint());
    update();
  }
}

void OriginalFilterWindow::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  figure_.dragging = 0;
  update();
}

void OriginalFilterWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  NotifyOwner(owner_, FilterEditorClosed);
}

}  // namespace dt
