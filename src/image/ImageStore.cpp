// The input-sized images: making a picture the input, copying, adopting a result, releasing; and
// reading and writing them through the picture formats, where only a good file replaces anything.
#include <algorithm>
#include <new>
#include <utility>

#include "image/ImageEngine.h"
#include "image/Messages.h"
#include "image/Parallel.h"
#include "xpm/Files.h"
#include "xpm/XpmMessages.h"

namespace dt {

ImageEngine::ImageEngine() { triangleApex = ApexPoint{0, 150}; }

namespace {

std::size_t PixelCount(const ImageRecord& image) {
  return static_cast<std::size_t>(std::max(image.width, 0)) *
         static_cast<std::size_t>(std::max(image.height, 0));
}

// Shows why a file failed, naming the file on a line of its own.
void FileFailure(const std::string& message, const std::string& fileName) {
  ShowMessage(message + "\n" + fileName, Translate(text::errorCaption));
}

std::string WithCount(const char* pattern, int count) {
  std::string text = Translate(pattern);
  const std::size_t at = text.find("%d");
  if (at != std::string::npos) text.replace(at, 2, std::to_string(count));
  return text;
}

// Reads and checks a whole file; on failure shows why and returns false.
bool ReadPicture(const std::string& fileName, ImageRole role, const ReadOptions& options,
                 bool offerThreshold, ImageRecord& image) {
  std::string bytes;
  std::string message;
  if (!ReadWholeFile(fileName, bytes, message)) {
    FileFailure(message, fileName);
    return false;
  }
  ParseResult result = ParsePicture(bytes, role, fileName, options);
  if (!result.ok && result.greyValues > 0 && offerThreshold) {
    const std::string question = WithCount(text::askThreshold, result.greyValues);
    if (ShowMessage(question + "\n" + fileName, Translate(text::questionCaption),
                    MessageButtons::OkCancelQuestion) != MessageResult::Ok)
      return false;
    ReadOptions threshold = options;
    threshold.threshold = 128;
    result = ParsePicture(bytes, role, fileName, threshold);
  }
  if (!result.ok) {
    FileFailure(result.message, fileName);
    return false;
  }
  image = std::move(result.image);
  return true;
}

}  // namespace

bool ImageEngine::ReplaceInput(ImageRecord image, ReplacedImages* replaced) {
  PixelRows distanceRows;
  PixelRows workRows;
  try {
    distanceRows.Allocate(image.width, image.height);
    workRows.Allocate(image.width, image.height);
  } catch (const std::bad_alloc&) {
    return false;
  }
  // The copies first, on every core: most of a copy into fresh memory is the first touch of its
  // pages, which the system serves on each core at once. Whatever throws here leaves the images
  // as they were; nothing below throws.
  if (const std::size_t count = PixelCount(image); count > 0)
    CopyInParallel({{image.rows.data(), distanceRows.data(), count},
                    {image.rows.data(), workRows.data(), count}},
                   0);
  if (replaced != nullptr) {
    replaced->input = std::move(InputImage);
    replaced->work = std::move(WorkImage);
    replaced->distance = std::move(DistanceMap);
  }
  FreeImages();  // what is left of them
  InputImage = std::move(image);
  for (auto [record, rows] : {std::pair{&DistanceMap, &distanceRows}, {&WorkImage, &workRows}}) {
    record->width = InputImage.width;
    record->height = InputImage.height;
    record->kind = InputImage.kind;
    record->rows = std::move(*rows);
  }
  inputLoaded = 1;
  nearest = FeatureMap{};
  spareNearest = FeatureMap{};
  return true;
}

bool ImageEngine::LoadInputImage(const std::string& fileName, const ReadOptions& options,
                                 bool offerThreshold, ReplacedImages* replaced) {
  ImageRecord image;
  if (!ReadPicture(fileName, ImageRole::input, options, offerThreshold, image)) return false;
  if (ReplaceInput(std::move(image), replaced)) return true;
  FileFailure(Translate(text::memoryFailure), fileName);
  return false;
}

bool ImageEngine::ReadInputPicture(const std::string& fileName, const ReadOptions& options,
                                   ImageRecord& image) const {
  return ReadPicture(fileName, ImageRole::input, options, false, image);
}

bool ImageEngine::LoadFilterImage(const std::string& fileName, const ReadOptions& options,
                                  bool offerThreshold) {
  ImageRecord image;
  if (!ReadPicture(fileName, ImageRole::filter, options, offerThreshold, image)) return false;
  FilterImage = std::move(image);
  filterLoaded = 1;
  return true;
}

bool ImageEngine::SaveWorkImage(const std::string& fileName, FileFormat format) {
  if (PixelCount(WorkImage) > 0 && WorkImage.rows == nullptr) {  // the images were released
    ShowMessage(Translate(text::noInputImage), Translate(text::errorCaption));
    return false;
  }
  return SavePicture(WorkImage, fileName, format);
}

bool ImageEngine::SavePicture(const ImageRecord& image, const std::string& fileName,
                              FileFormat format) {
  // Everything is checked and formatted before a byte is written: a refused image leaves no
  // file behind.
  const FormatResult result = FormatPicture(image, format);
  if (!result.ok) {
    FileFailure(result.message, fileName);
    return false;
  }
  if (!ReplaceFileContents(fileName, result.bytes, result.borrowed)) {
    FileFailure(Translate(text::cannotWriteFile), fileName);
    return false;
  }
  if (!result.warning.empty())
    ShowMessage(result.warning + "\n" + fileName, Translate(text::warningCaption));
  return true;
}

bool ImageEngine::SaveNearestPixels(const std::string& fileName) {
  const FormatResult result = FormatNearestPixels(nearest);
  if (!result.ok) {
    FileFailure(result.message, fileName);
    return false;
  }
  if (!ReplaceFileContents(fileName, result.bytes, result.borrowed)) {
    FileFailure(text::cannotWriteFile, fileName);
    return false;
  }
  return true;
}

void ImageEngine::CopyInputToWork() {
  if (inputLoaded == 0) return;
  const std::size_t count = PixelCount(InputImage);
  const int32_t* from = InputImage.rows.data();
  CopyInParallel({{from, DistanceMap.rows.data(), count}, {from, WorkImage.rows.data(), count}},
                 1);
  WorkImage.kind = InputImage.kind;
}

void ImageEngine::AdoptResultAsInput() {
  if (inputLoaded == 0) {
    ShowMessage(Translate(text::noInputImage), Translate(text::errorCaption));
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
  ForgetNearest();
}

void ImageEngine::AdoptWrittenResult(int64_t whitePixels) {
  WorkImage.kind = binaryKind;
  InputImage.kind = binaryKind;
  InputImage.whiteCount = static_cast<int32_t>(whitePixels);
  InputImage.blackCount = static_cast<int32_t>(int64_t(PixelCount(InputImage)) - whitePixels);
  distanceReady = 0;
  ForgetNearest();
}

void ImageEngine::ForgetNearest() {
  if (!nearest.empty()) spareNearest = std::move(nearest);
  nearest = FeatureMap{};
}

void ImageEngine::FreeImages() {
  InputImage.rows.Release();
  DistanceMap.rows.Release();
  WorkImage.rows.Release();
  nearest = FeatureMap{};
  spareNearest = FeatureMap{};
}

InputSnapshot::InputSnapshot()
    : kind_(InputImage.kind),
      whiteCount_(InputImage.whiteCount),
      blackCount_(InputImage.blackCount) {
  if (InputImage.rows)
    pixels_.assign(InputImage.rows.data(), InputImage.rows.data() + PixelCount(InputImage));
}

void InputSnapshot::Restore(ImageEngine& engine) const {
  if (!InputImage.rows) return;
  std::copy(pixels_.begin(), pixels_.end(), InputImage.rows.data());
  InputImage.kind = kind_;
  InputImage.whiteCount = whiteCount_;
  InputImage.blackCount = blackCount_;
  engine.distanceReady = 0;
  engine.ForgetNearest();
  engine.CopyInputToWork();
}

namespace {

// The record's kind and counts, and a block for its pixels, not yet copied.
template <class Copy>
Copy BlankCopyOf(const ImageRecord& image) {
  Copy copy;
  copy.kind = image.kind, copy.whiteCount = image.whiteCount, copy.blackCount = image.blackCount;
  if (image.rows) {
    copy.count = PixelCount(image);
    copy.pixels.reset(new int32_t[copy.count]);
  }
  return copy;
}

template <class Copy>
PixelCopy Into(const ImageRecord& image, const Copy& copy) {
  return {image.rows.data(), copy.pixels.get(), copy.pixels ? copy.count : 0};
}

template <class Copy>
PixelCopy OutOf(const Copy& copy, const ImageRecord& image) {
  return {copy.pixels.get(), image.rows.data(), image.rows ? copy.count : 0};
}

template <class Copy>
void PutBackCounts(const Copy& copy, ImageRecord& image) {
  image.kind = copy.kind;
  image.whiteCount = copy.whiteCount;
  image.blackCount = copy.blackCount;
}

}  // namespace

ImagesSnapshot::ImagesSnapshot(const ImageEngine& engine)
    : input_(BlankCopyOf<Copy>(InputImage)),
      work_(BlankCopyOf<Copy>(WorkImage)),
      distance_(BlankCopyOf<Copy>(DistanceMap)),
      distanceReady_(engine.distanceReady) {
  CopyInParallel({Into(InputImage, input_), Into(WorkImage, work_), Into(DistanceMap, distance_)},
                 0);
}

void ImagesSnapshot::Restore(ImageEngine& engine) const {
  CopyInParallel({OutOf(input_, InputImage), OutOf(work_, WorkImage), OutOf(distance_, DistanceMap)},
                 0);
  PutBackCounts(input_, InputImage);
  PutBackCounts(work_, WorkImage);
  PutBackCounts(distance_, DistanceMap);
  engine.distanceReady = distanceReady_;
}

}  // namespace dt
