// Allocation, copying and release of the input-sized images.
#include <algorithm>
#include <new>

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
  CopyPixels(WorkImage, InputImage);
  CopyPixels(WorkImage, DistanceMap);
  InputImage.kind = WorkImage.kind;
  const std::size_t total = PixelCount(InputImage);
  const int32_t* pixels = InputImage.rows.data();
  const auto white = static_cast<int32_t>(std::count(pixels, pixels + total, 1));
  InputImage.whiteCount = white;
  InputImage.blackCount = static_cast<int32_t>(total) - white;
  distanceReady = 0;
}

void ImageEngine::FreeImages() {
  InputImage.rows.Release();
  DistanceMap.rows.Release();
  WorkImage.rows.Release();
}

}  // namespace dt
