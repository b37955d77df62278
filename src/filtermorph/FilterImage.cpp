// Drawing the filter image.
#include <cstdio>

#include "image/ImageEngine.h"
#include "image/Messages.h"

namespace dt {

void ImageEngine::ShowFilterImage(const DrawingTargets& targets) {
  if (filterLoaded == 0) {
    ShowMessage(Translate(text::noFilterImage), Translate(text::errorCaption));
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
  const char* const report = QT_TRANSLATE_NOOP("dtcore", "画像サイズは %d × %d です。");
  std::snprintf(message, sizeof message, Translate(report).c_str(), FilterImage.width,
                FilterImage.height);
  ShowMessage(message, Translate(appTitle.c_str()));
}

}  // namespace dt
