// Dilation, erosion, opening and closing by thresholding distance maps.
//
// A dilation pass measures every pixel's distance to the nearest foreground pixel and keeps the
// pixels within the filter size; an erosion pass measures the distance to the nearest background
// pixel and keeps the pixels beyond it. The filter is the ball of the selected distance function.
// The triangle is not symmetric: an erosion pass measures with the triangle turned half a turn
// (column pass towards rows above, reflected row pass), so that dilation and erosion use the same
// filter. Pixels outside the image are neither foreground nor background.
//
// Every threshold makes its binary result the new input, so operations build on each other.
#include <cstdio>

#include "distance/DistanceTransform.h"
#include "image/ImageEngine.h"
#include "image/Messages.h"

namespace dt {

namespace {

constexpr const char* notDistanceMap = "入力が距離変換結果ではありません。";

bool CheckInputAndShape(const ImageEngine& engine) {
  if (engine.inputLoaded == 0) {
    ShowMessage(text::noInputImage, text::errorCaption);
    return false;
  }
  if (engine.distanceFunction == distance_function::none) {
    ShowMessage(text::noDistanceFunction, text::errorCaption);
    return false;
  }
  return true;
}

// The shape's settings for one half of an operation. The column direction follows the shape;
// for the triangle's erosion half the row pass runs with the erosion code, which reflects the
// triangle, and processKind gets its value back afterwards.
class HalfSettings {
 public:
  HalfSettings(ImageEngine& engine, bool erosion)
      : engine_(engine), operation_(engine.processKind),
        triangle_(engine.distanceFunction == distance_function::triangle) {
    if (triangle_) {
      engine.t1Direction = erosion ? t1_direction::atOrAbove : t1_direction::atOrBelow;
      engine.processKind = erosion ? process_kind::erosion
                           : operation_ == process_kind::erosion ? process_kind::dilation
                                                                 : operation_;
    } else {
      engine.t1Direction = t1_direction::bothWays;
    }
  }
  // After the column pass the triangle's direction goes back to the dilation's.
  void ColumnPassDone() {
    if (triangle_) engine_.t1Direction = t1_direction::atOrBelow;
  }
  ~HalfSettings() {
    ColumnPassDone();
    engine_.processKind = operation_;
  }

 private:
  ImageEngine& engine_;
  int32_t operation_;
  bool triangle_;
};

// One half of an operation: the distance map (algorithm 1 without its checks) and its threshold,
// which makes the result the new input. Step by step while drawing; otherwise in one go, with
// the same result.
void Half(ImageEngine& engine, const DrawingTargets& targets, int featureValue, bool erosion,
          int size) {
  if (!engine.drawing()) {
    int64_t ones = 0;
    {
      HalfSettings settings(engine, erosion);
      ones = ThresholdedMapWithoutDrawing(engine, InputImage, featureValue, erosion, size);
    }
    // The result is in all three images already; the rest of adopting it as the input.
    WorkImage.kind = binaryKind;
    InputImage.kind = binaryKind;
    InputImage.whiteCount = static_cast<int32_t>(ones);
    InputImage.blackCount =
        static_cast<int32_t>(int64_t{InputImage.width} * InputImage.height - ones);
    engine.distanceReady = 0;
    return;
  }
  {
    HalfSettings settings(engine, erosion);
    WorkImage.kind = distanceKind;
    engine.TransformT1(targets, featureValue);
    settings.ColumnPassDone();
    engine.CopyWorkToDistanceMap();
    WorkImage.kind = distanceKind;
    engine.EnvelopeRowPass(targets);
  }
  engine.CopyWorkToDistanceMap();
  engine.distanceReady = 1;
  if (erosion)
    engine.ThresholdErode(targets, size);
  else
    engine.ThresholdDilate(targets, size);
}

void ReportOwnTime(const ImageEngine& engine, int64_t start, int64_t end) {
  if (engine.measureTime != 1) return;
  char message[128];
  std::snprintf(message, sizeof message, text::tookSecondsOperation, (end - start) / 1000.0);
  ShowMessage(message, appTitle);
}

template <class Keep>
void Threshold(ImageEngine& engine, Keep&& keep) {
  if (!CheckInputAndShape(engine)) return;
  if (engine.distanceReady != 1) {
    ShowMessage(notDistanceMap, text::errorCaption);
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

void ImageEngine::ThresholdDilate(const DrawingTargets&, int size) {
  Threshold(*this, [size](int32_t d) { return WithinSize(d, size); });
}

void ImageEngine::ThresholdErode(const DrawingTargets&, int size) {
  Threshold(*this, [size](int32_t d) { return !WithinSize(d, size); });
}

// While nothing is drawn the halves read InputImage itself, so the copy of the input into the
// work images is left out; the results are the same.
void ImageEngine::DilateByDistance(const DrawingTargets& targets, int featureValue, int size) {
  if (!CheckInputAndShape(*this)) return;
  if (drawing()) CopyInputToWork();
  Half(*this, targets, featureValue, false, size);
}

void ImageEngine::ErodeByDistance(const DrawingTargets& targets, int featureValue, int size) {
  if (!CheckInputAndShape(*this)) return;
  if (drawing()) CopyInputToWork();
  const int64_t start = NowMs();
  Half(*this, targets, featureValue, true, size);
  ReportOwnTime(*this, start, NowMs());
}

void ImageEngine::OpenByDistance(const DrawingTargets& targets, int featureValue, int size) {
  if (!CheckInputAndShape(*this)) return;
  if (drawing()) CopyInputToWork();
  const int64_t start = NowMs();
  Half(*this, targets, featureValue, true, size);
  if (drawing()) {
    RedrawWorkImage(targets);
    CopyWorkToDistanceMap();
  }
  Half(*this, targets, 1, false, size);
  ReportOwnTime(*this, start, NowMs());
}

void ImageEngine::CloseByDistance(const DrawingTargets& targets, int featureValue, int size) {
  if (!CheckInputAndShape(*this)) return;
  if (drawing()) CopyInputToWork();
  const int64_t start = NowMs();
  Half(*this, targets, featureValue, false, size);
  if (drawing()) {
    CopyWorkToDistanceMap();
    RedrawWorkImage(targets);
  }
  Half(*this, targets, 0, true, size);
  ReportOwnTime(*this, start, NowMs());
}

}  // namespace dt
