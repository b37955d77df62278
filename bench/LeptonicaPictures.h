// What the Leptonica entries share (built only when Leptonica is installed): the benchmark's
// pictures on one bit per pixel, and the pictures and structuring element an entry keeps.
#pragma once

#include <leptonica/allheaders.h>

#include "Bench.h"

namespace dt::bench {

// A picture on one bit per pixel: 1 where the picture is 1 (where it is 0 when `invert`).
inline PIX* ToPix(const BinaryImage& image, bool invert) {
  PIX* pix = pixCreate(image.width, image.height, 1);
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x)
      if ((image.pixels[std::size_t(y) * image.width + x] == 1) != invert)
        pixSetPixel(pix, x, y, 1);
  return pix;
}

struct LeptonicaPictures {
  PIX* input = nullptr;
  PIX* output = nullptr;
  SEL* sel = nullptr;
  ~LeptonicaPictures() {
    pixDestroy(&input);
    pixDestroy(&output);
    if (sel != nullptr) selDestroy(&sel);
  }
};

}  // namespace dt::bench
