// Dilation and erosion by thresholding distance maps, one half of an operation each.
//
// A dilation half measures every pixel's distance to the nearest foreground pixel and keeps the
// pixels within the filter size; an erosion half measures the distance to the nearest background
// pixel and keeps the pixels beyond it. The filter is the ball of the selected distance function.
// The triangle is not symmetric: an erosion half measures with the triangle turned half a turn
// (column pass towards rows above, reflected row pass), so that dilation and erosion use the same
// filter. Pixels outside the image are neither foreground nor background.
//
// Every threshold makes its binary result the new input, so operations build on each other.
#include "distance/DistanceTransform.h"
#include "image/ImageEngine.h"
#include "image/Messages.h"
#include "morphology/PackedBalls.h"

namespace dt {

namespace {

constexpr const char* notDistanceMap =
    QT_TRANSLATE_NOOP("dtcore", "入力が距離変換結果ではありません。");

bool CheckInput(const ImageEngine& engine) {
  if (engine.inputLoaded != 0) return true;
  ShowMessage(Translate(text::noInputImage), Translate(text::errorCaption));
  return false;
}

// The distance map (algorithm 1 without its checks) and its threshold, which makes the result
// the new input. Step by step while drawing; otherwise in one go, with the same result. While
// nothing is drawn the half reads InputImage itself, so the copy of the input into the work
// images is left out, and small balls take the packed bits of morphology/PackedBalls.h.
bool Half(ImageEngine& engine, const DrawingTargets& targets, int featureValue, const Ball& ball,
          bool erosion) {
  if (!CheckInput(engine)) return false;
  const Measure measure = ball.MeasureFor(erosion);
  if (!engine.drawing()) {
    const int64_t ones =
        PackedBallPays(measure, ball.size, engine.threads)
            ? PackedBallWithoutDrawing(InputImage, featureValue, measure, ball.size,
                                       engine.threads)
            : ThresholdedMapWithoutDrawing(InputImage, featureValue, measure, ball.size,
                                           engine.threads);
    engine.AdoptWrittenResult(ones);
    return true;
  }
  engine.CopyInputToWork();
  WorkImage.kind = distanceKind;
  engine.TransformT1(targets, featureValue, measure.columnDirection());
  engine.CopyWorkToDistanceMap();
  engine.EnvelopeRowPass(targets, measure);
  engine.CopyWorkToDistanceMap();
  engine.distanceReady = 1;
  if (erosion)
    engine.ThresholdErode(ball.size);
  else
    engine.ThresholdDilate(ball.size);
  return true;
}

template <class Keep>
void Threshold(ImageEngine& engine, Keep&& keep) {
  if (!CheckInput(engine)) return;
  if (engine.distanceReady != 1) {
    ShowMessage(Translate(notDistanceMap), Translate(text::errorCaption));
    return;
  }
  WorkImage.kind = binaryKind;
  for (int y = 0; y < InputImage.height; ++y) {
    const int32_t* distance = DistanceMap.rows[y];
    int32_t* out = WorkImage.rows[y];
    for (int x = 0; x < InputImage.width; ++x) out[x] = keep(distance[x]) ? 1 : 0;
  }
  engine.AdoptResultAsInput();
}

}  // namespace

void ImageEngine::ThresholdDilate(int size) {
  Threshold(*this, [size](int32_t d) { return WithinSize(d, size); });
}

void ImageEngine::ThresholdErode(int size) {
  Threshold(*this, [size](int32_t d) { return !WithinSize(d, size); });
}

bool ImageEngine::DilateByDistance(const DrawingTargets& targets, int featureValue,
                                   const Ball& ball) {
  return Half(*this, targets, featureValue, ball, false);
}

bool ImageEngine::ErodeByDistance(const DrawingTargets& targets, int featureValue,
                                  const Ball& ball) {
  return Half(*this, targets, featureValue, ball, true);
}

}  // namespace dt
