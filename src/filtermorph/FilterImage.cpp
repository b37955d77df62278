// Drawing the filter image.
#include <cstdio>

#include "image/ImageEngine.h"
#include "image/Messages.h"

namespace dt {

void ImageEngine::ShowFilterImage(const DrawingTargets& targets) {
  if (filterLoaded == 0) {
    ShowMessage(text::noFilterImage, text::errorCaption);
    return;
  }
  for (int row = 0; row < FilterImage.height; ++row) {
    const int32_t* pixels = FilterImage.rows[row];
    for (int column = 0; column < FilterImage.width; ++column) {
      const int level = pixels[column] == 1 ? 255 : 0;
      PutPixel(targets, column, row, level, level, level);
    }
  }
  char message[128];
  std::snprintf(message, sizeof message, "画像サイズは %d × %d です。", FilterImage.width,
                FilterImage.height);
  ShowMessage(message, appTitle);
}

}  // namespace dt
