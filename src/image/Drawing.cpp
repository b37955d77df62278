// Pixel-by-pixel drawing of images into the two drawing targets.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "image/ImageEngine.h"
#include "image/Messages.h"

namespace dt {

namespace {

constexpr uint32_t white = 0xFFFFFF;
constexpr uint32_t black = 0x000000;

// The screen grey falls by 16 per unit of distance: 0 is white, 16 and more (and noFeature) black.
// (A negative value, which no map holds, keeps the low byte of 255 - 16 * value.) Without a
// branch, so that a whole row converts in vectors.
uint32_t DistanceColour(int32_t value) {
  const uint32_t level = value >= 16 ? 0 : (255u - 16u * static_cast<uint32_t>(value)) & 0xFF;
  return level * 0x010101u;
}

void SetBoth(const DrawingTargets& targets, int x, int y, uint32_t rgb) {
  targets.a->SetPixel(x, y, rgb);
  targets.b->SetPixel(x, y, rgb);
}

}  // namespace

void ImageEngine::PutPixel(const DrawingTargets& targets, int x, int y, int red, int green,
                           int blue) {
  const uint32_t rgb = (static_cast<uint32_t>(red) & 0xFF) << 16 |
                       (static_cast<uint32_t>(green) & 0xFF) << 8 |
                       (static_cast<uint32_t>(blue) & 0xFF);
  SetBoth(targets, x, y, rgb);
}

void ImageEngine::DrawDistancePixel(const DrawingTargets& targets, int row, int column,
                                    int32_t value) {
  SetBoth(targets, column, row, DistanceColour(value));
}

void ImageEngine::ShowInputImage(const DrawingTargets& targets) {
  if (inputLoaded == 0) {
    ShowMessage(Translate(text::noInputImage), Translate(appTitle.c_str()));
    return;
  }
  std::vector<uint32_t> colours(static_cast<std::size_t>(std::max(InputImage.width, 0)));
  for (int row = 0; row < InputImage.height; ++row) {
    const int32_t* pixels = InputImage.rows[row];
    for (int column = 0; column < InputImage.width; ++column)
      colours[std::size_t(column)] = pixels[column] == 1 ? white : black;
    targets.a->SetRow(0, row, colours.data(), InputImage.width);
    targets.b->SetRow(0, row, colours.data(), InputImage.width);
  }
  char message[256];
  const char* const report =
      QT_TRANSLATE_NOOP("dtcore", "画像サイズは %d × %d です。\n白黒比率は %d：%d です。");
  std::snprintf(message, sizeof message, Translate(report).c_str(), InputImage.width,
                InputImage.height, InputImage.whiteCount, InputImage.blackCount);
  ShowMessage(message, Translate(appTitle.c_str()));
}

void ImageEngine::RedrawWorkImage(const DrawingTargets& targets) {
  if (WorkImage.kind != binaryKind && WorkImage.kind != distanceKind) return;
  if (WorkImage.rows == nullptr) return;
  const bool binary = WorkImage.kind == binaryKind;
  std::vector<uint32_t> colours(static_cast<std::size_t>(std::max(InputImage.width, 0)));
  for (int row = 0; row < InputImage.height; ++row) {
    const int32_t* pixels = WorkImage.rows[row];
    if (binary)
      for (int column = 0; column < InputImage.width; ++column)
        colours[std::size_t(column)] = pixels[column] == 1 ? white : black;
    else
      for (int column = 0; column < InputImage.width; ++column)
        colours[std::size_t(column)] = DistanceColour(pixels[column]);
    targets.a->SetRow(0, row, colours.data(), InputImage.width);
    targets.b->SetRow(0, row, colours.data(), InputImage.width);
  }
}

}  // namespace dt
