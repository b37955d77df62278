#include "distance/gui/EnvelopePlot.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace dt {

namespace {

constexpr int marginLeft = 60, marginRight = 20, marginTop = 40, winnerStrip = 50,
              marginBottom = 30;

const QColor candidateColour(170, 170, 170), envelopeColour(20, 60, 160),
    storedColour(230, 120, 0), highlightColour(200, 0, 0), winnerColour(90, 150, 90);

}  // namespace

EnvelopePlot::EnvelopePlot(RowEnvelope envelope, QWidget* owner)
    : QWidget(owner, Qt::Window), envelope_(std::move(envelope)) {
  setWindowTitle(tr("下側包絡線（%1 行目）").arg(envelope_.row));
  setMouseTracking(true);
  setAttribute(Qt::WA_DeleteOnClose);
  setMinimumSize(400, 300);
  resize(900, 560);
  const int width = static_cast<int>(envelope_.lowest.size());
  // Room above the highest point of the envelope (and of the stored distances) for the
  // candidates that rise out of it.
  double highest = 1;
  for (int x = 0; x < width; ++x) {
    if (envelope_.lowest[x] >= 0)
      highest = std::max(highest, PlotHeight(envelope_.measure, envelope_.lowest[x]));
  }
  top_ = highest * 1.5 + 1;
  ShowColumns(-0.5, width - 0.5);
}

void EnvelopePlot::ShowColumns(double first, double last) {
  const double width = static_cast<double>(envelope_.lowest.size());
  const double span = std::clamp(last - first, 4.0, width + 1);
  first_ = std::clamp(first, -0.5, std::max(-0.5, width - 0.5 - span));
  last_ = first_ + span;
  update();
}

QRectF EnvelopePlot::PlotArea() const {
  return QRectF(marginLeft, marginTop, width() - marginLeft - marginRight,
                height() - marginTop - winnerStrip - marginBottom);
}

double EnvelopePlot::ScreenX(double column) const {
  const QRectF area = PlotArea();
  return area.left() + (column - first_) / (last_ - first_) * area.width();
}

double EnvelopePlot::ScreenY(double height) const {
  const QRectF area = PlotArea();
  return area.bottom() - height / top_ * area.height();
}

double EnvelopePlot::ColumnAt(double screenX) const {
  const QRectF area = PlotArea();
  return first_ + (screenX - area.left()) / area.width() * (last_ - first_);
}

void EnvelopePlot::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF area = PlotArea();
  const int width = static_cast<int>(envelope_.lowest.size());
  const int from = std::max(0, static_cast<int>(std::floor(first_)));
  const int to = std::min(width - 1, static_cast<int>(std::ceil(last_)));
  const bool euclid = envelope_.measure.function == DistanceFunction::euclid;

  // Axes and their labels.
  painter.setPen(Qt::black);
  painter.drawRect(area);
  painter.drawText(QRectF(0, 4, width > 0 ? this->width() : 0, marginTop - 8),
                   Qt::AlignCenter,
                   tr("%1 行目の候補と下側包絡線（縦軸: %2）")
                       .arg(envelope_.row)
                       .arg(euclid ? tr("距離の２乗") : tr("距離")));
  for (int i = 0; i <= 4; ++i) {
    const double h = top_ * i / 4;
    painter.drawText(QRectF(0, ScreenY(h) - 8, marginLeft - 6, 16), Qt::AlignRight,
                     QString::number(h, 'g', 4));
  }
  const int step = std::max(1, static_cast<int>((last_ - first_) / 10));
  for (int x = from - from % step; x <= to; x += step) {
    painter.drawText(QRectF(ScreenX(x) - 30, area.bottom() + winnerStrip, 60, marginBottom),
                     Qt::AlignCenter, QString::number(x));
  }

  painter.save();
  painter.setClipRect(area);
  // Each column's candidate along the visible row, the highlighted one last and in red.
  // (Only the part within the plot's height is drawn, which keeps wide rows quick.)
  const auto candidate = [&](int column) {
    QPainterPath path;
    bool started = false;
    for (int x = from; x <= to; ++x) {
      const int64_t cost = CandidateCost(envelope_, column, x);
      if (cost < 0) return path;
      const double h = PlotHeight(envelope_.measure, cost);
      if (h > top_ * 4) {  // far above: the steep sides leave the plot before this
        started = false;
        continue;
      }
      const QPointF point(ScreenX(x), ScreenY(h));
      started ? path.lineTo(point) : path.moveTo(point);
      started = true;
    }
    return path;
  };
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(QPen(candidateColour, 1));
  for (int column = 0; column < width; ++column)
    if (column != highlighted_) painter.drawPath(candidate(column));
  painter.setRenderHint(QPainter::Antialiasing);
  // The lower envelope, bold.
  QPainterPath envelope;
  bool started = false;
  for (int x = from; x <= to; ++x) {
    if (envelope_.lowest[x] < 0) {
      started = false;
      continue;
    }
    const QPointF point(ScreenX(x), ScreenY(PlotHeight(envelope_.measure, envelope_.lowest[x])));
    started ? envelope.lineTo(point) : envelope.moveTo(point);
    started = true;
  }
  painter.setPen(QPen(envelopeColour, 3));
  painter.drawPath(envelope);
  // The stored distances.
  painter.setPen(Qt::NoPen);
  painter.setBrush(storedColour);
  for (int x = from; x <= to; ++x)
    if (envelope_.stored[x] != noFeature)
      painter.drawRect(QRectF(ScreenX(x) - 2.5,
                              ScreenY(StoredHeight(envelope_.measure, envelope_.stored[x])) - 2.5,
                              5, 5));
  if (highlighted_ >= 0) {
    painter.setPen(QPen(highlightColour, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(candidate(highlighted_));
    painter.drawLine(QPointF(ScreenX(highlighted_), area.top()),
                     QPointF(ScreenX(highlighted_), area.bottom()));
  }
  painter.restore();

  // Below the plot, from each pixel x down to the column that wins at x.
  const QRectF strip(area.left(), area.bottom(), area.width(), winnerStrip);
  painter.save();
  painter.setClipRect(strip);
  for (int x = from; x <= to; ++x) {
    const int winner = envelope_.winner[x];
    if (winner < 0) continue;
    const bool lit = winner == highlighted_ || x == highlighted_;
    painter.setPen(QPen(lit ? highlightColour : winnerColour, lit ? 2 : 1));
    painter.drawLine(QPointF(ScreenX(x), strip.top() + 4),
                     QPointF(ScreenX(winner), strip.bottom() - 4));
  }
  painter.restore();

  // What is under the pointer.
  if (highlighted_ >= 0) {
    const int x = highlighted_;
    const int32_t g = envelope_.columnDistance[x];
    const QString distance = envelope_.stored[x] == noFeature
                                 ? tr("特徴画素なし")
                                 : tr("距離 %1").arg(envelope_.stored[x]);
    const QString column = g == noFeature ? tr("列の特徴画素なし") : QString("G = %1").arg(g);
    const QString won = envelope_.winner[x] < 0
                            ? QString()
                            : tr("　勝った列 %1").arg(envelope_.winner[x]);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(area.left() + 6, area.top() + 4, area.width() - 12, 20),
                     Qt::AlignLeft, tr("列 %1: %2　%3%4").arg(x).arg(column, distance, won));
  }
}

void EnvelopePlot::mouseMoveEvent(QMouseEvent* event) {
  const int column = static_cast<int>(std::lround(ColumnAt(event->position().x())));
  const int width = static_cast<int>(envelope_.lowest.size());
  const int now = column >= 0 && column < width ? column : -1;
  if (now != highlighted_) {
    highlighted_ = now;
    update();
    emit columnHighlighted(envelope_.row, highlighted_);
  }
  QWidget::mouseMoveEvent(event);
}

void EnvelopePlot::leaveEvent(QEvent* event) {
  if (highlighted_ >= 0) {
    highlighted_ = -1;
    update();
    emit columnHighlighted(envelope_.row, -1);
  }
  QWidget::leaveEvent(event);
}

void EnvelopePlot::wheelEvent(QWheelEvent* event) {
  if (event->angleDelta().y() == 0) return;
  const double at = ColumnAt(event->position().x());
  const double factor = event->angleDelta().y() > 0 ? 0.8 : 1.25;
  ShowColumns(at - (at - first_) * factor, at + (last_ - at) * factor);
  event->accept();
}

}  // namespace dt
