// Distance transforms and morphology by distance transform, timing on.
#include <utility>

#include "Bench.h"

namespace dt::bench {

namespace {

struct Metric {
  int32_t code;
  const char* name;
};
const Metric metrics[] = {{distance_function::euclid, "euclid"},
                          {distance_function::cityBlock, "cityblock"},
                          {distance_function::chessboard, "chessboard"},
                          {distance_function::triangle, "triangle"}};

// Settings as the distance transform command stores them.
void Configure(int32_t metric, int32_t algorithm) {
  ImageEngine& engine = Engine();
  engine.threads = 1;
  engine.processKind = algorithm;
  engine.distanceFunction = metric;
  engine.t1Direction =
      metric == distance_function::triangle ? t1_direction::atOrBelow : t1_direction::bothWays;
  triangleApex = {0, 150};
}

void AddTransform(const char* algorithmName, int32_t algorithm, const Metric& metric,
                  Pattern pattern, int width, int height) {
  const BinaryImage* image = &Image(pattern, width, height);
  const std::string name = std::string("transform/") + algorithmName + "/" + metric.name + "/" +
                           PatternName(pattern) + "/" + SizeName(width, height);
  const int32_t code = metric.code;
  const std::string opencv = std::string("opencv/distanceTransform/") + metric.name + "/" +
                             PatternName(pattern) + "/" + SizeName(width, height);
  Add({name,
       [image, code, algorithm] {
         LoadInput(*image);
         Configure(code, algorithm);
       },
       [algorithm] {
         ImageEngine& engine = Engine();
         if (algorithm == process_kind::transform1)
           engine.DistanceTransform1(NoDrawing(), 1);
         else if (algorithm == process_kind::transform2)
           engine.DistanceTransform2(NoDrawing(), 1);
         else
           engine.SimpleDistanceTransform(NoDrawing(), 1);
       },
       algorithm == process_kind::transform1 ? opencv : std::string()});
}

const Registration transforms(10, "distance transform, algorithm 1", [] {
  const int sizes[][2] = {{640, 480}, {2000, 2000}, {2048, 2048}, {4000, 4000}, {4096, 4096}};
  for (Pattern pattern : {Pattern::blobs, Pattern::sparse})
    for (const auto& size : sizes)
      for (const Metric& metric : metrics)
        AddTransform("udt", process_kind::transform1, metric, pattern, size[0], size[1]);
});

// Algorithm 1 on every core, against itself on one: a figure of its own, by the wall clock.
const Registration threadedTransforms(12, "distance transform, algorithm 1 on every core", [] {
  const int sizes[][2] = {{2048, 2048}, {4000, 4000}};
  for (Pattern pattern : {Pattern::blobs, Pattern::sparse})
    for (const auto& size : sizes)
      for (const Metric& metric : metrics) {
        const BinaryImage* image = &Image(pattern, size[0], size[1]);
        const std::string what = std::string(metric.name) + "/" + PatternName(pattern) + "/" +
                                 SizeName(size[0], size[1]);
        const int32_t code = metric.code;
        Entry entry{"threads/udt/" + what,
                    [image, code] {
                      LoadInput(*image);
                      Configure(code, process_kind::transform1);
                      Engine().threads = 0;  // one per core
                    },
                    [] { Engine().DistanceTransform1(NoDrawing(), 1); },
                    "transform/udt/" + what};
        entry.wallClock = true;
        Add(std::move(entry));
      }
});

const Registration slowTransforms(11, "distance transform, algorithm 2 and simple", [] {
  const int sizes[][2] = {{160, 120}, {320, 240}};
  for (Pattern pattern : {Pattern::blobs, Pattern::sparse})
    for (const auto& size : sizes) {
      AddTransform("exhaustive", process_kind::transform2, metrics[0], pattern, size[0], size[1]);
      AddTransform("simple", process_kind::simpleTransform, metrics[0], pattern, size[0],
                   size[1]);
    }
});

const char* ShapeName(int32_t code) {
  switch (code) {
    case distance_function::euclid: return "circle";
    case distance_function::cityBlock: return "diamond";
    case distance_function::chessboard: return "square";
    default: return "triangle";
  }
}

const Registration morphology(20, "morphology by distance transform, 2048x2048 blobs", [] {
  const BinaryImage* image = &Image(Pattern::blobs, 2048, 2048);
  for (bool erosion : {false, true})
    for (int32_t shape : {distance_function::euclid, distance_function::cityBlock,
                          distance_function::chessboard})
      for (int size : {3, 10, 30}) {
        const std::string suffix =
            std::string(ShapeName(shape)) + "/" + std::to_string(size) + "/blobs/2048x2048";
        const std::string op = erosion ? "erode" : "dilate";
        Add({"morph/" + op + "/" + suffix,
             [image, shape, erosion] {
               LoadInput(*image);
               Configure(shape, erosion ? process_kind::erosion : process_kind::dilation);
             },
             [erosion, size] {
               if (erosion)
                 Engine().ErodeByDistance(NoDrawing(), 0, size);
               else
                 Engine().DilateByDistance(NoDrawing(), 1, size);
             },
             "opencv/" + op + "/" + suffix});
      }
});

}  // namespace

}  // namespace dt::bench
