// ImageEngine carries the processing settings and state flags, and every image operation of the
// program runs on it. It works on the global records of image/Globals.h and never talks to a
// toolkit: messages go through the platform's message service, pixels through DrawingTargets.
//
// Each subsystem defines its share of the methods in its own folder:
//   image/        store operations and drawing
//   xpm/          reading and writing XPM files
//   distance/     distance functions and the three transforms
//   morphology/   morphology by thresholding distance maps
//   filtermorph/  the filter image, the simple and the decomposed methods
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/Codes.h"
#include "image/Globals.h"
#include "image/ImageRecord.h"
#include "platform/Platform.h"

namespace dt {

// One contiguous stretch of foreground in a row of the filter image: the displacements
// (rowOffset, colOffset + t) for t = 0 .. length - 1.
struct FilterRun {
  int32_t length = 0;
  int32_t rowOffset = 0;  // filter row minus originRow
  int32_t colOffset = 0;  // first column of the stretch minus originCol
  int32_t filterRow = 0;  // the filter row it comes from (one drawing pass per filter row)
};

class ImageEngine {
 public:
  // Sets triangleApex to (0, 150), as every new engine does.
  ImageEngine();

  // Settings and flags, with their values at construction.
  int32_t distanceFunction = distance_function::euclid;
  double triangleScaleY = 1.0;  // triangleApex.y / 150 while the triangle is selected
  double triangleScaleX = 1.0;  // triangleApex.x / 150 while the triangle is selected
  int32_t t1Direction = t1_direction::bothWays;
  int32_t processKind = process_kind::none;
  int32_t filterSize = 0;
  int32_t distanceReady = 0;  // 1 while WorkImage holds a distance transform of the input
  int32_t inputLoaded = 0;    // 1 once an input image has been read
  int32_t measureTime = 0;    // 1 = time the command and draw nothing while it runs
  int32_t threads = 1;  // threads algorithm 1 may use while nothing is drawn (0: one per core)
  int32_t filterOperation = filter_operation::dilation;
  int32_t filterAlgorithm = filter_algorithm::simple;
  int32_t filterLoaded = 0;  // 1 once a filter image has been read

  // --- Store (image/ImageStore.cpp) ---
  void AllocateWorkImages();  // WorkImage and DistanceMap at the size and kind of InputImage
  void CopyInputToWork();     // InputImage into DistanceMap and WorkImage
  void AdoptResultAsInput();  // WorkImage becomes the new input
  void FreeImages();          // releases InputImage, DistanceMap, WorkImage

  // --- Drawing (image/Drawing.cpp) ---
  void PutPixel(const DrawingTargets& targets, int x, int y, int red, int green, int blue);
  void DrawDistancePixel(const DrawingTargets& targets, int row, int column, int32_t value);
  void ShowInputImage(const DrawingTargets& targets);
  void RedrawWorkImage(const DrawingTargets& targets);

  // --- XPM files (xpm/) ---
  // Read the whole file into a fresh record and replace the current image only when it is good;
  // on failure a message is shown, nothing changes and the result is false.
  bool LoadInputImage(const std::string& fileName);
  bool LoadFilterImage(const std::string& fileName);
  // Writes WorkImage beside the target and renames it over; false (with a message) on failure,
  // any earlier file left untouched.
  bool SaveWorkImage(const std::string& fileName);
  // The XPM character of one WorkImage pixel: ".#abcdefghijklmn" by value, 15 and more give 'n'.
  char PixelCharacter(int row, int column) const;

  // --- Distance transforms (distance/) ---
  double CandidateDistance(int row, int x, int i) const;
  double EnvelopeBoundary(int row, int u, int i) const;
  void TransformT1(const DrawingTargets& targets, int featureValue);
  void EnvelopeRowPass(const DrawingTargets& targets);
  void ExhaustiveRowPass(const DrawingTargets& targets);
  void CopyWorkToDistanceMap();
  void DistanceTransform1(const DrawingTargets& targets, int featureValue);
  void DistanceTransform2(const DrawingTargets& targets, int featureValue);
  void SimpleDistanceTransform(const DrawingTargets& targets, int featureValue);

  // --- Morphology by distance transform (morphology/) ---
  void DilateByDistance(const DrawingTargets& targets, int featureValue, int size);
  void ErodeByDistance(const DrawingTargets& targets, int featureValue, int size);
  void OpenByDistance(const DrawingTargets& targets, int featureValue, int size);
  void CloseByDistance(const DrawingTargets& targets, int featureValue, int size);
  void ThresholdDilate(const DrawingTargets& targets, int size);
  void ThresholdErode(const DrawingTargets& targets, int size);

  // --- Morphology by filter image (filtermorph/) ---
  void ShowFilterImage(const DrawingTargets& targets);
  void SimpleDilation(const DrawingTargets& targets, int key);
  void SimpleErosion(const DrawingTargets& targets, int key);
  std::vector<FilterRun> BuildFilterRuns() const;
  void DecomposedDilation(const DrawingTargets& targets, int key);
  void DecomposedErosion(const DrawingTargets& targets, int key);
  void DecomposedOpening(const DrawingTargets& targets, int key);
  void DecomposedClosing(const DrawingTargets& targets, int key);

  bool drawing() const { return measureTime != 1; }
};

}  // namespace dt
