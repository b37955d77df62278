// The colour view of a distance map: the map in viridis over its whole range of finite distances
// (image/ColourMap.h), "no feature pixel" in its own grey, and a legend that gives the distances
// as numbers. Drawn straight into a bitmap (the main window's backing bitmap), scan line by scan
// line; QPainter only writes the legend's numbers, labels and frames.
#pragma once

#include <QImage>
#include <QRect>

#include "image/ImageRecord.h"

namespace dt {

// Shown through MainWindow::tr.
namespace text {
inline constexpr const char* notDistanceMap =
    QT_TRANSLATE_NOOP("dt::MainWindow", "現在の画像は距離画像ではありません。");
inline constexpr const char* legendTitle = QT_TRANSLATE_NOOP("dt::MainWindow", "距離");
inline constexpr const char* legendNoFeature = QT_TRANSLATE_NOOP("dt::MainWindow", "特徴画素なし");
}  // namespace text

// The legend's colour bar: one pixel per entry along a vertical bar (highest distance at the
// top), two along a horizontal one (lowest at the left).
inline constexpr int verticalBarLength = 256;
inline constexpr int horizontalBarLength = 512;
inline constexpr int legendBarThickness = 24;
// Between the picture and its legend.
inline constexpr int legendGap = 16;

// Draws the map at the top-left of bitmap (RGB32; what does not fit is cut off) and its legend:
// to the right of the picture, vertical, when it fits there; otherwise horizontal below it;
// otherwise, when the picture fills the bitmap, horizontal over its bottom-left corner. Returns
// the rectangle the legend covers (its background is white).
QRect DrawColourView(QImage& bitmap, const ImageRecord& map);

}  // namespace dt
