// ImageEngine carries the processing settings and state flags, and every image operation of the
// program runs on it. It works on the global records of image/Globals.h and never talks to a
// toolkit: messages go through the platform's message service, pixels through DrawingTargets.
//
// Each subsystem defines its share of the methods in its own folder:
//   image/        the store (reading and writing files through xpm/'s formats) and drawing
//   distance/     distance functions and the three transforms
//   morphology/   morphology by thresholding distance maps
//   filtermorph/  the filter image, the simple and the decomposed methods
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "image/Choices.h"
#include "image/Globals.h"
#include "image/ImageRecord.h"
#include "platform/Platform.h"
#include "xpm/FileFormats.h"

namespace dt {

// One contiguous stretch of foreground in a row of the filter image: the displacements
// (rowOffset, colOffset + t) for t = 0 .. length - 1.
struct FilterRun {
  int32_t length = 0;
  int32_t rowOffset = 0;  // filter row minus originRow
  int32_t colOffset = 0;  // first column of the stretch minus originCol
  int32_t filterRow = 0;  // the filter row it comes from (one drawing pass per filter row)
};

// The filter of morphology by distance transform: the ball of radius `size` of a distance
// function (the triangle's with its apex).
struct Ball {
  DistanceFunction shape = DistanceFunction::euclid;
  ApexPoint apex{};
  int32_t size = 0;

  // The measure of one pass: an erosion's pass turns the triangle half a turn.
  Measure MeasureFor(bool erosion) const { return Measure{shape, apex, erosion}; }
};

class ImageEngine {
 public:
  // Sets triangleApex to (0, 150), as every new engine does.
  ImageEngine();

  // Settings and flags, with their values at construction. The choices are kept from one command
  // to the next, so that the dialogs open with them.
  DistanceFunction distanceFunction = DistanceFunction::euclid;
  int32_t processKind = 0;  // the last computation chosen: an algorithm's or an operation's code
  int32_t filterSize = 0;
  int32_t distanceReady = 0;  // 1 while WorkImage holds a distance transform of the input
  int32_t inputLoaded = 0;    // 1 once an input image has been read
  int32_t measureTime = 0;    // 1 = time the command and draw nothing while it runs
  // Threads that algorithm 1 and morphology by distance may use while nothing is drawn (0: one
  // per processor core).
  int32_t threads = 1;
  Operation filterOperation = Operation::dilation;
  FilterMethod filterAlgorithm = FilterMethod::simple;
  int32_t filterLoaded = 0;  // 1 once a filter image has been read

  // The feature transform of the distance map in WorkImage: for each pixel a nearest feature
  // pixel under the transform's measure (image/ImageRecord.h), which is what the window shows
  // as the pixel's nearest feature pixel and its region. RunDistanceTransform fills it when the
  // choice asks for it (TransformChoice::wantNearest, 8 bytes a pixel) and empties it when not;
  // a new input or a result adopted as the input empties it too, and a stopped transform leaves
  // it as it was. It belongs to the map while distanceReady is 1 and it is not empty; then
  // nearest.At(row, column) is the feature pixel of that pixel (row -1 where the map holds
  // noFeature), and the map's distance of the pixel is the stored distance to it.
  FeatureMap nearest;
  // The block of the feature transform last forgotten (ForgetNearest), kept until the next
  // transform, which writes its pairs there when the picture's size is the same: the window
  // forgets the pairs before every transform (a transform needs a binary picture, and the ways
  // back to one, undoing and adopting a result, forget them), and 8 bytes a pixel of fresh memory
  // cost a page fault every 4 KB. A new input lets go of it.
  FeatureMap spareNearest;
  // Empties `nearest`, keeping its block as spareNearest.
  void ForgetNearest();

  // --- Store (image/ImageStore.cpp) ---
  // The three images that a new input replaced, handed back whole instead of freed.
  struct ReplacedImages {
    ImageRecord input, work, distance;
  };
  // Makes a binary image the input: InputImage, and copies in WorkImage and DistanceMap. The
  // work images are allocated first, so that running out of memory (false) leaves everything as
  // it was. The images it replaces go to `replaced` when given (the window's undo step keeps
  // them), else they are freed.
  bool ReplaceInput(ImageRecord image, ReplacedImages* replaced = nullptr);
  void CopyInputToWork();     // InputImage into DistanceMap and WorkImage
  void AdoptResultAsInput();  // WorkImage becomes the new input
  // The same for a binary result that its computation wrote into all three images itself, with
  // `whitePixels` 1 pixels: the kinds, the counts, and no distance map any more.
  void AdoptWrittenResult(int64_t whitePixels);
  void FreeImages();          // releases InputImage, DistanceMap, WorkImage

  // Files, through the picture formats of xpm/FileFormats.h. A file is read and checked whole
  // into a fresh record and replaces the current image only when it is good; on failure a
  // message that names the file is shown, nothing changes and the result is false. A picture of
  // more than two grey values needs a threshold; with `offerThreshold` the user is asked whether
  // to read it with the threshold 128, and answering no is a false without a message.
  bool LoadInputImage(const std::string& fileName, const ReadOptions& options = {},
                      bool offerThreshold = false, ReplacedImages* replaced = nullptr);
  bool LoadFilterImage(const std::string& fileName, const ReadOptions& options = {},
                       bool offerThreshold = false);
  // Reads a file as LoadInputImage does, with its checks and messages, into `image` alone: no
  // image of the engine is made or changed.
  bool ReadInputPicture(const std::string& fileName, const ReadOptions& options,
                        ImageRecord& image) const;
  // Writes WorkImage beside the target and renames it over; false (with a message) on failure,
  // any earlier file left untouched. A format that cannot hold the image is refused with the
  // formats that can; values a format must clip are said in a warning after the write.
  bool SaveWorkImage(const std::string& fileName, FileFormat format = FileFormat::xpm);
  // The same for a picture of its own, such as one from ReadInputPicture.
  static bool SavePicture(const ImageRecord& image, const std::string& fileName,
                          FileFormat format);
  // Writes `nearest` the same way, as a NumPy int32 array of shape (height, width, 2).
  bool SaveNearestPixels(const std::string& fileName);

  // --- Drawing (image/Drawing.cpp) ---
  void PutPixel(const DrawingTargets& targets, int x, int y, int red, int green, int blue);
  void DrawDistancePixel(const DrawingTargets& targets, int row, int column, int32_t value);
  void ShowInputImage(const DrawingTargets& targets);
  void RedrawWorkImage(const DrawingTargets& targets);

  // --- Distance transforms (distance/) ---
  // The passes read DistanceMap and write WorkImage, drawing each value unless timing is on.
  // Given `nearest` (allocated at the input's size), a row pass also writes the feature
  // transform there, from the column distances it reads.
  void TransformT1(const DrawingTargets& targets, int featureValue, ColumnDirection direction);
  void EnvelopeRowPass(const DrawingTargets& targets, const Measure& measure,
                       FeatureMap* nearest = nullptr);
  void ExhaustiveRowPass(const DrawingTargets& targets, const Measure& measure,
                         FeatureMap* nearest = nullptr);
  void CopyWorkToDistanceMap();
  // The distance map of the input to the pixels equal to featureValue, in WorkImage and
  // DistanceMap, and given `nearest` (allocated at the input's size) its feature transform. The
  // simple transform is Euclidean whatever the measure.
  void DistanceTransform1(const DrawingTargets& targets, int featureValue, const Measure& measure,
                          FeatureMap* nearest = nullptr);
  void DistanceTransform2(const DrawingTargets& targets, int featureValue, const Measure& measure,
                          FeatureMap* nearest = nullptr);
  void SimpleDistanceTransform(const DrawingTargets& targets, int featureValue,
                               FeatureMap* nearest = nullptr);

  // --- Morphology by distance transform (morphology/) ---
  // One half each: the distance map to the pixels equal to featureValue, thresholded at the
  // ball's size; the result becomes the new input. False (after its message) without an input.
  bool DilateByDistance(const DrawingTargets& targets, int featureValue, const Ball& ball);
  bool ErodeByDistance(const DrawingTargets& targets, int featureValue, const Ball& ball);
  void ThresholdDilate(int size);
  void ThresholdErode(int size);

  // --- Morphology by filter image (filtermorph/) ---
  void ShowFilterImage(const DrawingTargets& targets);
  // One half each; false (after its message) without an input or a filter. The result becomes
  // the new input.
  bool SimpleDilation(int key);
  bool SimpleErosion(int key);
  std::vector<FilterRun> BuildFilterRuns() const;
  bool DecomposedDilation(const DrawingTargets& targets, int key);
  bool DecomposedErosion(const DrawingTargets& targets, int key);

  bool drawing() const { return measureTime != 1; }
};

// A copy of the input image (image/ImageStore.cpp), for computations that make their result the
// new input: taken before one starts, it puts the picture back for a repeated run or after a
// failed one. Taking it throws std::bad_alloc when the copy does not fit.
class InputSnapshot {
 public:
  InputSnapshot();  // copies InputImage as it is now
  // Puts the copy back into InputImage, WorkImage and DistanceMap (same size as when taken).
  void Restore(ImageEngine& engine) const;

 private:
  std::vector<int32_t> pixels_;
  int32_t kind_ = 0;
  int32_t whiteCount_ = 0;
  int32_t blackCount_ = 0;
};

// The input image, the work image and the distance map as they are now, with their kinds and
// whether a map is ready (image/ImageStore.cpp): what a command that is stopped or runs out of
// memory puts back. Taking it throws std::bad_alloc when the copies do not fit. The pixels are
// copied on every core (for the window, whose pictures beyond its undo bound take this copy).
class ImagesSnapshot {
 public:
  explicit ImagesSnapshot(const ImageEngine& engine);
  void Restore(ImageEngine& engine) const;  // the images are the same size as when taken

 private:
  struct Copy {
    std::unique_ptr<int32_t[]> pixels;  // null when the image had none
    std::size_t count = 0;
    int32_t kind = 0, whiteCount = 0, blackCount = 0;
  };
  Copy input_, work_, distance_;
  int32_t distanceReady_;
};

}  // namespace dt
