// The nearest feature pixel in the main window: over a distance map the pointer's pixel is joined
// by a line to its nearest feature pixel, whose place the status bar gives with the distance; and
// the view ボロノイ領域 colours every pixel by the connected region (8-connected feature pixels)
// that its nearest feature pixel belongs to, each region its own colour, the feature pixels
// themselves darker.
#include <QColor>
#include <QLabel>
#include <cmath>
#include <vector>

#include "app/MainWindow.h"
#include "image/Globals.h"
#include "image/Messages.h"
#include "image/gui/ColourView.h"

namespace dt {

namespace {

const QColor nearestLineColour(220, 0, 0);
constexpr uint32_t unreachableColour = 0x808080;  // no feature pixel in reach

// The 8-connected regions of the pixels equal to featureValue: a region number for each pixel
// (-1 elsewhere), numbered from 0 in the order their first pixel is met row by row.
std::vector<int32_t> FeatureRegions(const ImageRecord& image, int featureValue, int& count) {
  const int width = image.width, height = image.height;
  std::vector<int32_t> region(std::size_t(width) * height, -1);
  std::vector<int> stack;
  count = 0;
  for (int start = 0; start < width * height; ++start) {
    if (region[start] >= 0 || image.rows.data()[start] != featureValue) continue;
    region[start] = count;
    stack.push_back(start);
    while (!stack.empty()) {
      const int at = stack.back();
      stack.pop_back();
      const int y = at / width, x = at % width;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
          const int ny = y + dy, nx = x + dx;
          if (ny < 0 || ny >= height || nx < 0 || nx >= width) continue;
          const int next = ny * width + nx;
          if (region[next] >= 0 || image.rows.data()[next] != featureValue) continue;
          region[next] = count;
          stack.push_back(next);
        }
    }
    ++count;
  }
  return region;
}

// A distinct, light colour for region k: hues a golden angle apart.
QColor RegionColour(int k) {
  return QColor::fromHsvF(std::fmod(k * 0.618033988749895, 1.0), 0.45, 0.97);
}

bool NearestReady(const ImageEngine& engine) {
  return WorkImage.kind == distanceKind && engine.distanceReady == 1 && !engine.nearest.empty() &&
         engine.nearest.width == WorkImage.width && engine.nearest.height == WorkImage.height;
}

}  // namespace

// Over a distance map with its feature transform: the line to the nearest feature pixel, and its
// place after the distance in the status bar. Elsewhere (or while the envelope plot marks the
// canvas) nothing.
void MainWindow::ShowNearest(QPoint pixel) {
  if (envelopePlot != nullptr) return;
  const bool inside = pixel.x() >= 0 && pixel.y() >= 0 && pixel.x() < WorkImage.width &&
                      pixel.y() < WorkImage.height;
  if (!inside || !NearestReady(engine)) {
    canvas()->SetMarks({});
    return;
  }
  const FeaturePixel nearest = engine.nearest.At(pixel.y(), pixel.x());
  if (nearest.row < 0) {
    canvas()->SetMarks({});
    return;
  }
  canvas()->SetMarks({{pixel, QPoint(nearest.column, nearest.row), nearestLineColour}});
  valueLabel_->setText(valueLabel_->text() +
                       tr("　最近傍の特徴画素 (%1, %2)").arg(nearest.column).arg(nearest.row));
}

void MainWindow::OnVoronoiView() {
  if (!NearestReady(engine) || !lastTransform || InputImage.rows == nullptr) {
    ShowMessage(tr(text::notDistanceMap).toStdString(), Translate(text::errorCaption));
    return;
  }
  EraseColourLegend();
  int count = 0;
  const std::vector<int32_t> region =
      FeatureRegions(InputImage, lastTransform->featureValue, count);
  std::vector<uint32_t> light(static_cast<std::size_t>(count)), dark(light);
  for (int k = 0; k < count; ++k) {
    light[k] = RegionColour(k).rgb() & 0xFFFFFF;
    dark[k] = RegionColour(k).darker(250).rgb() & 0xFFFFFF;
  }
  const int width = std::min(WorkImage.width, backingBitmap.width());
  const int height = std::min(WorkImage.height, backingBitmap.height());
  for (int y = 0; y < height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(backingBitmap.scanLine(y));
    for (int x = 0; x < width; ++x) {
      const FeaturePixel nearest = engine.nearest.At(y, x);
      uint32_t colour = unreachableColour;
      if (nearest.row >= 0) {
        const int32_t k = region[std::size_t(nearest.row) * WorkImage.width + nearest.column];
        if (k >= 0) colour = nearest.row == y && nearest.column == x ? dark[k] : light[k];
      }
      line[x] = 0xFF000000u | colour;
    }
  }
  canvas()->update();
}

}  // namespace dt
