// Allocation, copying and release of the input-sized images.
#include <algorithm>
#include <new>
#include <utility>

#include "image/ImageEngine.h"
#include "image/Messages.h"

namespace dt {

ImageEngine::ImageEngine() { triangleApex = ApexPoint{0, 150}; }

namespace {

std::size_t PixelCount(const ImageRecord& image) {
  return static_cast<std::size_t>(std::max(image.width, 0)) *
         static_cast<std::size_t>(std::max(image.height, 0));
}

void CopyPixels(const ImageRecord& from, ImageRecord& to) {
  std::copy_n(from.rows.data(), PixelCount(InputImage), to.rows.data());
}

// Gives one work image the size and kind of the input; out of memory ends the process.
void AllocateLike(ImageRecord& image, const char* caption) {
  image.width = InputImage.width;
  image.height = InputImage.height;
  image.kind = InputImage.kind;
  try {
    image.rows.Allocate(InputImage.width, InputImage.height);
  } catch (const std::bad_alloc&) {
    ShowMessage(text::memoryFailure, caption);
    ExitProcess(1);
  }
}

}  // namespace

void ImageEngine::AllocateWorkImages() {
  AllocateLike(DistanceMap, text::errorCaption);
  AllocateLike(WorkImage, text::endCaption);
}

void ImageEngine::CopyInputToWork() {
  if (inputLoaded == 0) return;
  CopyPixels(InputImage, DistanceMap);
  CopyPixels(InputImage, WorkImage);
  WorkImage.kind = InputImage.kind;
}

void ImageEngine::AdoptResultAsInput() {
  if (inputLoaded == 0) {
    ShowMessage(text::noInputImage, text::errorCaption);
    return;
  }
  // The result becomes the input by exchanging the two blocks; one pass then copies it back into
  // WorkImage and DistanceMap and counts its white pixels on the way.
  std::swap(InputImage.rows, WorkImage.rows);
  const std::size_t total = PixelCount(InputImage);
  const int32_t* from = InputImage.rows.data();
  int32_t* work = WorkImage.rows.data();
  int32_t* distance = DistanceMap.rows.data();
  std::size_t white = 0;
  for (std::size_t i = 0; i < total; ++i) {
    const int32_t v = from[i];
    work[i] = v;
    distance[i] = v;
    white += v == 1;
  }
  InputImage.kind = WorkImage.kind;
  InputImage.whiteCount = static_cast<int32_t>(white);
  InputImage.blackCount = static_cast<int32_t>(total - white);
  distanceReady = 0;
}

void ImageEngine::FreeImages() {
  InputImage.rows.Release();
  DistanceMap.rows.Release();
  WorkImage.rows.Release();
}

}  // namespace dt
