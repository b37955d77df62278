// Distance transforms and morphology by distance transform, timing on.
#include <utility>

#include "Bench.h"
#include "distance/TransformOperations.h"
#include "morphology/MorphologyOperations.h"

namespace dt::bench {

namespace {

// `name` stands for the measure in the entry's name; an empty one is the metric's own.
void AddTransform(TransformAlgorithm algorithm, const Measure& measure, Pattern pattern,
                  int width, int height, std::string name = {}) {
  const BinaryImage* image = &Image(pattern, width, height);
  if (name.empty()) name = InfoOf(measure.function).metricName;
  const std::string what = name + "/" + PatternName(pattern) + "/" + SizeName(width, height);
  const TransformChoice choice{algorithm, measure};
  Add({std::string("transform/") + InfoOf(algorithm).name + "/" + what,
       [image] {
         LoadInput(*image);
         Engine().threads = 1;
       },
       [choice] { RunDistanceTransform(Engine(), NoDrawing(), choice); },
       algorithm == TransformAlgorithm::envelope ? "opencv/distanceTransform/" + what
                                                 : std::string()});
}

const Registration transforms(10, "distance transform, algorithm 1", [] {
  const int sizes[][2] = {{640, 480}, {2000, 2000}, {2048, 2048}, {4000, 4000}, {4096, 4096}};
  for (Pattern pattern : {Pattern::blobs, Pattern::sparse})
    for (const auto& size : sizes)
      for (const DistanceFunctionInfo& metric : distanceFunctions)
        AddTransform(TransformAlgorithm::envelope, Measure{metric.value}, pattern, size[0],
                     size[1]);
  // A triangle leaning to the right, whose row pass is the envelope's.
  for (Pattern pattern : {Pattern::blobs, Pattern::sparse})
    for (int size : {2000, 4000})
      AddTransform(TransformAlgorithm::envelope,
                   Measure{DistanceFunction::triangle, ApexPoint{60, 100}}, pattern, size, size,
                   "triangle-60,100");
});

// The same work twice, both timed by the wall clock: `onethread/what` on one thread, then
// `threads/what` with one thread per core, compared with it. (Processor time would leave out of
// the one-thread figure what a shared machine takes from it, which the wall clock of the threads
// includes.)
void AddOnEveryCore(const std::string& what, const BinaryImage* image,
                    const std::function<void()>& run) {
  for (const int threads : {1, 0}) {
    Entry entry{(threads == 1 ? "onethread/" : "threads/") + what,
                [image, threads] {
                  LoadInput(*image);
                  Engine().threads = threads;
                },
                run, threads == 1 ? std::string() : "onethread/" + what};
    entry.wallClock = true;
    Add(std::move(entry));
  }
}

// Algorithm 1 on every core, against itself on one: a figure of its own, by the wall clock.
const Registration threadedTransforms(12, "distance transform, algorithm 1 on every core", [] {
  const int sizes[][2] = {{2048, 2048}, {4000, 4000}};
  for (Pattern pattern : {Pattern::blobs, Pattern::sparse})
    for (const auto& size : sizes)
      for (const DistanceFunctionInfo& metric : distanceFunctions) {
        const BinaryImage* image = &Image(pattern, size[0], size[1]);
        const std::string what = std::string(metric.metricName) + "/" + PatternName(pattern) +
                                 "/" + SizeName(size[0], size[1]);
        const TransformChoice choice{TransformAlgorithm::envelope, Measure{metric.value}};
        AddOnEveryCore("udt/" + what, image,
                       [choice] { RunDistanceTransform(Engine(), NoDrawing(), choice); });
      }
});

// Algorithm 1 as the window runs it: with the nearest feature pixel of every pixel as well.
const Registration nearestTransforms(13, "distance transform, algorithm 1 with nearest pixels", [] {
  for (Pattern pattern : {Pattern::blobs, Pattern::sparse})
    for (const DistanceFunctionInfo& metric : distanceFunctions) {
      const BinaryImage* image = &Image(pattern, 2048, 2048);
      TransformChoice choice{TransformAlgorithm::envelope, Measure{metric.value}};
      choice.wantNearest = true;
      Add({std::string("nearest/udt/") + metric.metricName + "/" + PatternName(pattern) +
               "/2048x2048",
           [image] {
             LoadInput(*image);
             Engine().threads = 1;
           },
           [choice] { RunDistanceTransform(Engine(), NoDrawing(), choice); }, std::string()});
    }
});

const Registration slowTransforms(11, "distance transform, algorithm 2 and simple", [] {
  const int sizes[][2] = {{160, 120}, {320, 240}};
  for (Pattern pattern : {Pattern::blobs, Pattern::sparse})
    for (const auto& size : sizes)
      for (TransformAlgorithm algorithm :
           {TransformAlgorithm::exhaustive, TransformAlgorithm::simple})
        AddTransform(algorithm, Measure{}, pattern, size[0], size[1]);
});

const Registration morphology(20, "morphology by distance transform, 2048x2048", [] {
  for (Pattern pattern : {Pattern::blobs, Pattern::sparse}) {
    const BinaryImage* image = &Image(pattern, 2048, 2048);
    // The floor under every size: a ball of size 0 reads the input into bits and writes the
    // three images, and does nothing else.
    Add({"morph/" + MorphologyName(Operation::dilation, DistanceFunction::euclid, 0, pattern),
         [image] {
           LoadInput(*image);
           Engine().threads = 1;
         },
         [] { RunDistanceMorphology(Engine(), NoDrawing(), {Operation::dilation, Ball{}}); },
         std::string()});
    for (Operation operation : {Operation::dilation, Operation::erosion})
      for (DistanceFunction shape : {DistanceFunction::euclid, DistanceFunction::cityBlock,
                                     DistanceFunction::chessboard, DistanceFunction::triangle})
        for (int size : morphologySizes) {
          const std::string suffix = MorphologyName(operation, shape, size, pattern);
          const MorphologyChoice choice{operation, Ball{shape, ApexPoint{}, size}};
          Add({"morph/" + suffix,
               [image] {
                 LoadInput(*image);
                 Engine().threads = 1;
               },
               [choice] { RunDistanceMorphology(Engine(), NoDrawing(), choice); },
               shape == DistanceFunction::triangle ? std::string() : "opencv/" + suffix});
        }
  }
});

// Morphology by distance transform on every core, against itself on one, by the wall clock. Size
// 0 is the floor, which shows what two threads gain where the work is bound by memory alone.
const Registration threadedMorphology(21, "morphology by distance transform on every core", [] {
  const BinaryImage* image = &Image(Pattern::blobs, 4000, 4000);
  for (int size : {0, 3, 30}) {
    const std::string suffix = "dilate/circle/" + std::to_string(size) + "/blobs/4000x4000";
    const MorphologyChoice choice{Operation::dilation, Ball{DistanceFunction::euclid, {}, size}};
    AddOnEveryCore("morph/" + suffix, image,
                   [choice] { RunDistanceMorphology(Engine(), NoDrawing(), choice); });
  }
});

}  // namespace

}  // namespace dt::bench
