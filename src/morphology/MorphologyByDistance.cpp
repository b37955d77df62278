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

// The distance map of one half of an operation (algorithm 1 without its checks). The column
// direction follows the shape; for the triangle's erosion half the row pass runs with the
// erosion code, which reflects the triangle, and processKind gets its value back afterwards.
void DistancePass(ImageEngine& engine, const DrawingTargets& targets, int featureValue,
                  bool erosion) {
  const bool triangle = engine.distanceFunction == distance_function::triangle;
  const int32_t operation = engine.processKind;
  if (triangle) {
    engine.t1Direction = erosion ? t1_direction::atOrAbove : t1_direction::atOrBelow;
    engine.processKind = erosion ? process_kind::erosion
                         : operation == process_kind::erosion ? process_kind::dilation
                                                              : operation;
  } else {
    engine.t1Direction = t1_direction::bothWays;
  }
  WorkImage.kind = distanceKind;
  engine.TransformT1(targets, featureValue);
  if (triangle) engine.t1Direction = t1_direction::atOrBelow;
  engine.CopyWorkToDistanceMap();
  WorkImage.kind = distanceKind;
  engine.EnvelopeRowPass(targets);
  engine.processKind = operation;
  engine.CopyWorkToDistanceMap();
  engine.distanceReady = 1;
}

void ReportOwnTime(const ImageEngine& engine, int64_t start, int64_t end) {
  if (engine.measureTime != 1) return;
  char message[128];
  std::snprintf(message, sizeof message, text::tookSecondsOperation, (end - start) / 1000.0);
  ShowMessage(message, appTitle);
}

// Within the filter of a size: a stored distance not above it. noFeature is within no size.
inline bool Within(int32_t distance, int size) {
  return distance != noFeature && distance <= size;
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
  Threshold(*this, [size](int32_t d) { return Within(d, size); });
}

void ImageEngine::ThresholdErode(const DrawingTargets&, int size) {
  Threshold(*this, [size](int32_t d) { return !Within(d, size); });
}

void ImageEngine::DilateByDistance(const DrawingTargets& targets, int featureValue, int size) {
  if (!CheckInputAndShape(*this)) return;
  CopyInputToWork();
  DistancePass(*this, targets, featureValue, false);
  ThresholdDilate(targets, size);
}

void ImageEngine::ErodeByDistance(const DrawingTargets& targets, int featureValue, int size) {
  if (!CheckInputAndShape(*this)) return;
  CopyInputToWork();
  const int64_t start = NowMs();
  DistancePass(*this, targets, featureValue, true);
  ThresholdErode(targets, size);
  ReportOwnTime(*this, start, NowMs());
}

void ImageEngine::OpenByDistance(const DrawingTargets& targets, int featureValue, int size) {
  if (!CheckInputAndShape(*this)) return;
  CopyInputToWork();
  const int64_t start = NowMs();
  DistancePass(*this, targets, featureValue, true);
  ThresholdErode(targets, size);
  if (drawing()) RedrawWorkImage(targets);
  CopyWorkToDistanceMap();
  DistancePass(*this, targets, 1, false);
  ThresholdDilate(targets, size);
  ReportOwnTime(*this, start, NowMs());
}

void ImageEngine::CloseByDistance(const DrawingTargets& targets, int featureValue, int size) {
  if (!CheckInputAndShape(*this)) return;
  CopyInputToWork();
  const int64_t start = NowMs();
  DistancePass(*this, targets, featureValue, false);
  ThresholdDilate(targets, size);
  CopyWorkToDistanceMap();
  if (drawing()) RedrawWorkImage(targets);
  DistancePass(*this, targets, 0, true);
  ThresholdErode(targets, size);
  ReportOwnTime(*this, start, NowMs());
}

}  // namespace dt
