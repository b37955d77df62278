// A drawing surface on a QImage of format RGB32: each pixel is one store into the scan line.
// Pixels outside the image are dropped, as on any bitmap.
#pragma once

#include <QImage>
#include <algorithm>

#include "platform/Platform.h"

namespace dt {

class ImageSurface final : public Surface {
 public:
  // The image must be RGB32 and must not be reallocated or resized while the surface is used.
  explicit ImageSurface(QImage& image)
      : bits_(image.bits()),
        stride_(image.bytesPerLine()),
        width_(image.width()),
        height_(image.height()) {}

  void SetPixel(int x, int y, uint32_t rgb) override {
    if (static_cast<unsigned>(x) >= static_cast<unsigned>(width_) ||
        static_cast<unsigned>(y) >= static_cast<unsigned>(height_))
      return;
    reinterpret_cast<QRgb*>(bits_ + static_cast<qsizetype>(y) * stride_)[x] = 0xFF000000u | rgb;
  }

  void SetRow(int x, int y, const uint32_t* rgb, int n) override {
    if (static_cast<unsigned>(y) >= static_cast<unsigned>(height_)) return;
    const int from = std::max(x, 0), to = std::min(x + n, width_);  // the columns inside
    QRgb* line = reinterpret_cast<QRgb*>(bits_ + static_cast<qsizetype>(y) * stride_);
    for (int column = from; column < to; ++column)
      line[column] = 0xFF000000u | rgb[column - x];
  }

 private:
  uchar* bits_;
  qsizetype stride_;
  int width_;
  int height_;
};

}  // namespace dt
