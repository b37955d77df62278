// The views of the distance map (menu 表示): the colour view with its legend, and the 16 greys
// the passes draw. Commands 40100 and 40101.
#include "image/gui/ColourView.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "app/DialogLayout.h"
#include "app/MainWindow.h"
#include "image/ColourMap.h"
#include "image/Globals.h"
#include "image/Messages.h"

namespace dt {

namespace {

constexpr int padding = 8;        // around the legend's contents
constexpr int tickLength = 4;     // the marks beside the bar
constexpr int swatchHeight = 16;  // the no-feature swatch under a vertical bar
constexpr uint32_t white = 0xFFFFFF;
const QColor frameColour(0x40, 0x40, 0x40);

QFont LegendFont() {
  QFont font = DialogLayout::DialogFont();
  font.setPixelSize(13);
  return font;
}

// One labelled distance on the bar; position counts pixels along the bar from its lowest end.
struct Tick {
  int position;
  QString label;
  int width;  // of the label
};

// A step of 1, 2 or 5 times a power of ten that cuts span into about `count` parts (at least 1).
int64_t NiceStep(int64_t span, int count) {
  const double raw = static_cast<double>(span) / count;
  if (raw <= 1) return 1;
  const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 5.0, 10.0})
    if (m * magnitude >= raw) return std::max<int64_t>(1, std::llround(m * magnitude));
  return std::max<int64_t>(1, std::llround(10 * magnitude));
}

// The ends of the range and the round distances between them whose labels have room.
std::vector<Tick> TicksOf(const DistanceRange& range, int length, bool vertical,
                          const QFontMetrics& metrics) {
  const int64_t top = std::max<int64_t>(range.max, int64_t{range.min} + 1);
  const auto tick = [&](int64_t value) {
    const int index = ColourIndex(static_cast<int32_t>(value), range);
    const QString label = QString::number(value);
    return Tick{index * length / colourMapSize, label, metrics.horizontalAdvance(label)};
  };
  // Two labels have room when they do not touch: stacked (vertical) or side by side.
  const auto apart = [&](const Tick& low, const Tick& high) {
    const int distance = high.position - low.position;
    return vertical ? distance >= metrics.height()
                    : distance >= (low.width + high.width) / 2 + metrics.horizontalAdvance("00");
  };
  std::vector<Tick> ticks{tick(range.min)};
  const Tick last = tick(top);
  const int64_t step = NiceStep(top - range.min, 8);
  for (int64_t value = (range.min / step + 1) * step; value < top; value += step) {
    const Tick inner = tick(value);
    if (apart(ticks.back(), inner) && apart(inner, last)) ticks.push_back(inner);
  }
  ticks.push_back(last);
  return ticks;
}

// Where the parts of a legend go, relative to its top-left corner.
struct Legend {
  bool vertical = true;
  bool hasBar = false;
  QSize size;
  QPoint title;  // baseline start of the title
  QRect bar;
  QRect swatch;
  QPoint swatchLabel;  // baseline start
  std::vector<Tick> ticks;
};

Legend VerticalLegend(const DistanceRange& range, const QFontMetrics& metrics) {
  Legend legend;
  const int lineHeight = metrics.height();
  const int titleWidth = metrics.horizontalAdvance(MainWindow::tr(text::legendTitle));
  const int noFeatureWidth = metrics.horizontalAdvance(MainWindow::tr(text::legendNoFeature));
  legend.title = {padding, padding + metrics.ascent()};
  int bottom = padding + lineHeight;
  int right = padding + titleWidth;
  const int labelX = padding + 1 + legendBarThickness + 1 + tickLength + 3;
  if (range.any) {
    legend.hasBar = true;
    legend.bar =
        QRect(padding + 1, bottom + 4 + lineHeight / 2, legendBarThickness, verticalBarLength);
    legend.ticks = TicksOf(range, verticalBarLength, true, metrics);
    for (const Tick& tick : legend.ticks) right = std::max(right, labelX + tick.width);
    bottom = legend.bar.bottom() + 1 + lineHeight / 2;
  }
  legend.swatch = QRect(padding + 1, bottom + 10, legendBarThickness, swatchHeight);
  legend.swatchLabel = {labelX, legend.swatch.center().y() - lineHeight / 2 + metrics.ascent()};
  right = std::max(right, labelX + noFeatureWidth);
  legend.size = QSize(right + padding, legend.swatch.bottom() + 2 + padding);
  return legend;
}

Legend HorizontalLegend(const DistanceRange& range, const QFontMetrics& metrics) {
  Legend legend;
  legend.vertical = false;
  const int lineHeight = metrics.height();
  const int titleWidth = metrics.horizontalAdvance(MainWindow::tr(text::legendTitle));
  const int noFeatureWidth = metrics.horizontalAdvance(MainWindow::tr(text::legendNoFeature));
  const int barTop = padding + 1;
  const int centre = barTop + legendBarThickness / 2;
  legend.title = {padding, centre - lineHeight / 2 + metrics.ascent()};
  int left = padding + titleWidth + 12;  // where the next part may start
  int bottom = barTop + legendBarThickness + 1;
  if (range.any) {
    legend.hasBar = true;
    legend.ticks = TicksOf(range, horizontalBarLength, false, metrics);
    const int firstHalf = legend.ticks.front().width / 2;
    const int lastHalf = legend.ticks.back().width / 2;
    legend.bar = QRect(left + firstHalf, barTop, horizontalBarLength, legendBarThickness);
    left = legend.bar.right() + 1 + lastHalf + 24;
    bottom += 1 + tickLength + 2 + lineHeight;
  }
  legend.swatch = QRect(left + 1, barTop, legendBarThickness, legendBarThickness);
  legend.swatchLabel = {legend.swatch.right() + 1 + 8, legend.title.y()};
  legend.size = QSize(legend.swatchLabel.x() + noFeatureWidth + padding, bottom + padding);
  return legend;
}

void FillRect(QImage& bitmap, const QRect& rect, uint32_t rgb) {
  const QRect area = rect & bitmap.rect();
  for (int y = area.top(); y <= area.bottom(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(bitmap.scanLine(y));
    std::fill(line + area.left(), line + area.right() + 1, 0xFF000000u | rgb);
  }
}

void DrawLegend(QImage& bitmap, const Legend& legend, QPoint at, bool framed) {
  const QRect block(at, legend.size);
  FillRect(bitmap, block, white);
  const QRect bar = legend.bar.translated(at);
  const QRect swatch = legend.swatch.translated(at);
  if (legend.hasBar) {
    // The bar, one scan line at a time: highest entry at the top of a vertical bar, lowest at
    // the left of a horizontal one.
    for (int y = std::max(bar.top(), 0); y <= std::min(bar.bottom(), bitmap.height() - 1); ++y) {
      auto* line = reinterpret_cast<QRgb*>(bitmap.scanLine(y));
      for (int x = std::max(bar.left(), 0); x <= std::min(bar.right(), bitmap.width() - 1); ++x) {
        const int along = legend.vertical ? bar.bottom() - y : x - bar.left();
        const int length = legend.vertical ? bar.height() : bar.width();
        line[x] = 0xFF000000u | ViridisColour(along * colourMapSize / length);
      }
    }
  }
  FillRect(bitmap, swatch, noFeatureColour);

  QPainter painter(&bitmap);
  const QFont font = LegendFont();
  painter.setFont(font);
  const QFontMetrics metrics(font);
  painter.setPen(frameColour);
  if (framed) painter.drawRect(block.adjusted(0, 0, -1, -1));
  const auto frame = [&](const QRect& r) { painter.drawRect(r.adjusted(-1, -1, 0, 0)); };
  frame(swatch);
  if (legend.hasBar) {
    frame(bar);
    for (const Tick& tick : legend.ticks) {
      if (legend.vertical) {
        const int y = bar.bottom() - tick.position;
        painter.drawLine(bar.right() + 2, y, bar.right() + 1 + tickLength, y);
      } else {
        const int x = bar.left() + tick.position;
        painter.drawLine(x, bar.bottom() + 2, x, bar.bottom() + 1 + tickLength);
      }
    }
  }
  painter.setPen(Qt::black);
  painter.drawText(legend.title + at, MainWindow::tr(text::legendTitle));
  painter.drawText(legend.swatchLabel + at, MainWindow::tr(text::legendNoFeature));
  if (!legend.hasBar) return;
  for (const Tick& tick : legend.ticks) {
    if (legend.vertical) {
      const int y = bar.bottom() - tick.position;
      painter.drawText(
          QPoint(bar.right() + 2 + tickLength + 3, y - metrics.height() / 2 + metrics.ascent()),
          tick.label);
    } else {
      const int x = bar.left() + tick.position;
      painter.drawText(
          QPoint(x - tick.width / 2, bar.bottom() + 2 + tickLength + 2 + metrics.ascent()),
          tick.label);
    }
  }
}

}  // namespace

QRect DrawColourView(QImage& bitmap, const ImageRecord& map) {
  const DistanceRange range = RangeOf(map);
  const int width = std::min(map.width, bitmap.width());
  const int height = std::min(map.height, bitmap.height());
  for (int y = 0; y < height; ++y) {
    const int32_t* values = map.rows[y];
    auto* line = reinterpret_cast<QRgb*>(bitmap.scanLine(y));
    for (int x = 0; x < width; ++x) line[x] = 0xFF000000u | DistanceColour(values[x], range);
  }

  const QFontMetrics metrics(LegendFont());
  const Legend beside = VerticalLegend(range, metrics);
  if (map.width + legendGap + beside.size.width() <= bitmap.width() &&
      beside.size.height() <= bitmap.height()) {
    const QPoint at(map.width + legendGap, 0);
    DrawLegend(bitmap, beside, at, false);
    return QRect(at, beside.size);
  }
  const Legend below = HorizontalLegend(range, metrics);
  if (map.height + legendGap + below.size.height() <= bitmap.height()) {
    const QPoint at(0, map.height + legendGap);
    DrawLegend(bitmap, below, at, false);
    return QRect(at, below.size);
  }
  // The picture fills the bitmap: the legend goes over its bottom-left corner, framed.
  const QPoint at(0, bitmap.height() - below.size.height());
  DrawLegend(bitmap, below, at, true);
  return QRect(at, below.size);
}

void MainWindow::OnColourDistanceView() {
  if (WorkImage.kind != distanceKind || WorkImage.rows == nullptr) {
    ShowMessage(tr(text::notDistanceMap).toStdString(), Translate(text::errorCaption));
    return;
  }
  EraseColourLegend();
  colourLegendArea = DrawColourView(backingBitmap, WorkImage);
  canvas()->update();
}

void MainWindow::OnGreyDistanceView() {
  if (WorkImage.kind != distanceKind || WorkImage.rows == nullptr) {
    ShowMessage(tr(text::notDistanceMap).toStdString(), Translate(text::errorCaption));
    return;
  }
  auto drawing = MakeDrawingTargets();  // takes the legend away
  engine.RedrawWorkImage(drawing);
}

void MainWindow::EraseColourLegend() {
  if (colourLegendArea.isEmpty()) return;
  FillRect(backingBitmap, colourLegendArea, white);
  canvas()->update(colourLegendArea);
  colourLegendArea = QRect();
}

}  // namespace dt
