// Leptonica side by side (built only when Leptonica is installed): binary morphology on one bit
// per pixel with the same balls as our entries (bricks for the square, structuring elements for
// the others), and its distance function for city-block and chessboard, single-threaded, on the
// same pictures. Its entries for the filter pictures are beside OpenCV's in FilterBench.cpp.
//
// Leptonica's distance function measures, inside the foreground, the distance to the nearest
// background pixel; it gets the inverted picture, so that its background is our feature pixels.
#include <cstdlib>
#include <memory>

#include "Bench.h"
#include "LeptonicaPictures.h"

namespace dt::bench {

namespace {

// The ball of a shape and radius as a structuring element centred on its origin: circle
// dx^2 + dy^2 < (r + 1)^2, diamond |dx| + |dy| <= r.
SEL* Ball(DistanceFunction shape, int r) {
  SEL* sel = selCreate(2 * r + 1, 2 * r + 1, nullptr);
  selSetOrigin(sel, r, r);
  for (int dy = -r; dy <= r; ++dy)
    for (int dx = -r; dx <= r; ++dx) {
      const bool in = shape == DistanceFunction::euclid ? dx * dx + dy * dy < (r + 1) * (r + 1)
                                                        : std::abs(dx) + std::abs(dy) <= r;
      if (in) selSetElement(sel, dy + r, dx + r, SEL_HIT);
    }
  return sel;
}

const Registration leptonica(91, "Leptonica (not compared above)", [] {
  setLeptDebugOK(0);
  const int sizes[][2] = {{640, 480}, {2000, 2000}, {2048, 2048}, {4000, 4000}, {4096, 4096}};
  for (Pattern pattern : {Pattern::blobs, Pattern::sparse})
    for (const auto& size : sizes)
      for (const auto& [name, connectivity] : {std::pair{"cityblock", 4}, {"chessboard", 8}}) {
        auto pictures = std::make_shared<LeptonicaPictures>();
        const int w = size[0], h = size[1], c = connectivity;
        Add({std::string("leptonica/distanceFunction/") + name + "/" + PatternName(pattern) +
                 "/" + SizeName(w, h),
             [pictures, pattern, w, h] {
               if (pictures->input == nullptr) pictures->input = ToPix(Image(pattern, w, h), true);
             },
             [pictures, c] {
               PIX* map = pixDistanceFunction(pictures->input, c, 16, L_BOUNDARY_FG);
               pixDestroy(&map);
             },
             ""});
      }
  // A structuring element costs a pass over the picture per element: the circle and diamond of
  // size 100 (some 30 000 elements) would take minutes, so they stop at 30.
  for (Pattern pattern : {Pattern::blobs, Pattern::sparse})
    for (bool erosion : {false, true})
      for (DistanceFunction shape : {DistanceFunction::euclid, DistanceFunction::cityBlock,
                                     DistanceFunction::chessboard})
        for (int size : morphologySizes) {
          if (size > 30 && shape != DistanceFunction::chessboard) continue;
          auto pictures = std::make_shared<LeptonicaPictures>();
          const Operation operation = erosion ? Operation::erosion : Operation::dilation;
          Add({"leptonica/" + MorphologyName(operation, shape, size, pattern),
               [pictures, pattern, shape, size] {
                 if (pictures->input != nullptr) return;
                 pictures->input = ToPix(Image(pattern, 2048, 2048), false);
                 pictures->output = pixCreateTemplate(pictures->input);
                 if (shape != DistanceFunction::chessboard) pictures->sel = Ball(shape, size);
               },
               [pictures, erosion, size] {
                 LeptonicaPictures& p = *pictures;
                 const int side = 2 * size + 1;
                 if (p.sel == nullptr)  // the square: a brick, by the fastest method Leptonica has
                   erosion ? pixErodeCompBrickDwa(p.output, p.input, side, side)
                           : pixDilateCompBrickDwa(p.output, p.input, side, side);
                 else
                   erosion ? pixErode(p.output, p.input, p.sel)
                           : pixDilate(p.output, p.input, p.sel);
               },
               ""});
        }
});

}  // namespace

}  // namespace dt::bench
