// A small benchmark driver: each bench/*.cpp registers named entries, the driver times each one
// several times (untimed preparation before every run) and prints the fastest run.
//
// Adding entries from a new file:
//
//   #include "Bench.h"
//   namespace dt::bench {
//   static const Registration filters(30, "filter morphology", [] {
//     Add({"filter/simple/disc15/blobs/2048x2048",
//          [] { LoadInput(Image(Pattern::blobs, 2048, 2048)); },
//          [] { ... the timed call ... },
//          "opencv/dilate/disc15/blobs/2048x2048"});  // optional: prints ours / that entry
//   });
//   }
//
// Sections print in the order of their number; entries in the order they were added.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "image/ImageEngine.h"

namespace dt::bench {

struct Entry {
  std::string name;
  std::function<void()> prepare;  // before every run, not timed
  std::function<void()> run;      // the timed part
  std::string baseline;           // another entry's name: the ratio ours / baseline is printed
  bool wallClock = false;  // timed by the wall clock (an entry on several threads); else by the
                           // processor time of the calling thread
};

void Add(Entry entry);

struct Registration {
  Registration(int order, const char* section, void (*addEntries)());
};

// Deterministic generated pictures, 1 = foreground.
enum class Pattern {
  blobs,  // overlapping discs, about 40 % foreground
  sparse  // single points, about 0.1 % foreground
};

struct BinaryImage {
  int width = 0;
  int height = 0;
  std::vector<int32_t> pixels;  // row-major
};

const BinaryImage& Image(Pattern pattern, int width, int height);

// The balls of the morphology entries: every shape at these sizes, on 2048 x 2048 blobs and
// sparse points.
constexpr int morphologySizes[] = {1, 3, 10, 30, 100};
// The name every library's morphology entry ends with, as "dilate/circle/3/blobs/2048x2048".
std::string MorphologyName(Operation operation, DistanceFunction shape, int size,
                           Pattern pattern);
const char* PatternName(Pattern pattern);
std::string SizeName(int width, int height);  // "640x480"

// The engine every entry runs on; timing is on, so nothing is drawn.
ImageEngine& Engine();
DrawingTargets NoDrawing();
// Makes the picture the current input (InputImage, WorkImage, DistanceMap), as loading a file does.
void LoadInput(const BinaryImage& image);

}  // namespace dt::bench
