// The decomposed filter method: the filter is split into horizontal runs, each image row gets one
// row of one-dimensional distances, and every run is then applied to a whole row with one
// comparison per pixel (filtermorph/RowKernels.h). The cost is of the order of
// width x height x number of runs, whatever the filter's width.
//
// It computes exactly what the simple method computes, for every filter and image:
//  - a filter row with gaps gives one run per stretch of foreground, a row without foreground
//    gives none and imposes nothing;
//  - at the borders, pixels outside the image contribute nothing to a dilation and are not tested
//    by an erosion;
//  - an erosion keeps only pixels that are foreground themselves.
//
// With drawing on, the work is shown pass by pass: the row distances in grey, the result cleared
// to black, then one green pass per filter row (all runs of that row together), brightening from
// pass to pass. With drawing off, the same row kernels run row by row instead: every run is
// applied to one output row before the next, so the distance rows a row needs stay in cache.
// An erosion keeps a "still fits" mask rather than a counter per pixel; its green area after a
// pass is the same set of pixels, those that every filter row so far has fitted.
#include "filtermorph/DecomposedMorphology.h"

#include <algorithm>
#include <new>
#include <vector>

#include "filtermorph/RowKernels.h"
#include "image/ImageEngine.h"
#include "image/Messages.h"

namespace dt {

namespace filtermorph {

int PassShade(int pass, int filterHeight) {
  if (filterHeight <= 0) return 255;
  const int64_t step = 128 / filterHeight;
  const int64_t shade = step * (int64_t{pass} + 1) + 127;
  return shade > 255 ? 255 : static_cast<int>(shade);
}

}  // namespace filtermorph

std::vector<FilterRun> ImageEngine::BuildFilterRuns() const {
  std::vector<FilterRun> runs;
  for (int fr = 0; fr < FilterImage.height; ++fr) {
    const int32_t* row = FilterImage.rows[fr];
    int fc = 0;
    while (fc < FilterImage.width) {
      if (row[fc] != 1) {
        ++fc;
        continue;
      }
      const int start = fc;
      while (fc < FilterImage.width && row[fc] == 1) ++fc;
      runs.push_back({fc - start, fr - FilterImage.originRow, start - FilterImage.originCol, fr});
    }
  }
  return runs;
}

namespace {

using filtermorph::DilateRowByRun;
using filtermorph::ErodeRowByRun;
using filtermorph::PassShade;

enum class Half { dilation, erosion };

// What one call of an operation works with; opening and closing use it for both halves.
struct RunTable {
  std::vector<FilterRun> runs;  // in filter row order
  int32_t passes = 0;           // one drawing pass per filter row
  int64_t cap = 16;             // distance saturation: at least the longest run, and 16
};

[[noreturn]] void OutOfMemory() {
  ShowMessage(text::memoryFailure, text::endCaption);
  ExitProcess(1);
}

template <class T>
std::vector<T> Scratch(std::size_t size) {
  try {
    return std::vector<T>(size);
  } catch (const std::bad_alloc&) {
    OutOfMemory();
  }
}

// Checks and the run table; false (after its message) when there is nothing to work on.
// DistanceMap and WorkImage get no fresh copy of the input: both are overwritten before they are
// read.
bool Prologue(const ImageEngine& engine, RunTable& table) {
  if (engine.inputLoaded == 0) {
    ShowMessage(text::noInputImage, text::errorCaption);
    return false;
  }
  if (engine.filterLoaded == 0) {
    ShowMessage(text::noFilterImage, text::errorCaption);
    return false;
  }
  try {
    table.runs = engine.BuildFilterRuns();
  } catch (const std::bad_alloc&) {
    OutOfMemory();
  }
  table.passes = FilterImage.height;
  table.cap = 16;
  for (const FilterRun& run : table.runs) table.cap = std::max<int64_t>(table.cap, run.length);
  return true;
}

void Epilogue(ImageEngine& engine) {
  engine.distanceReady = 0;
  engine.AdoptResultAsInput();
}

// One half of an operation on InputImage into WorkImage: dilation of the pixels equal to value,
// or erosion of the pixels other than value (value is then the background).
template <class D>
class HalfRun {
 public:
  HalfRun(ImageEngine& engine, const DrawingTargets& targets, const RunTable& table, Half half,
          int32_t value)
      : engine_(engine),
        targets_(targets),
        table_(table),
        half_(half),
        value_(value),
        width_(InputImage.width),
        height_(InputImage.height),
        distances_(Scratch<D>(static_cast<std::size_t>(width_) * height_)) {}

  void Run() {
    ComputeDistances();
    if (engine_.drawing()) ClearWithDrawing();
    WorkImage.kind = binaryKind;
    if (!engine_.drawing())
      RunRowByRow();
    else if (half_ == Half::dilation)
      DilatePassByPass();
    else
      ErodePassByPass();
  }

 private:
  using RunIter = std::vector<FilterRun>::const_iterator;

  const D* DistanceRow(int64_t y) const { return distances_.data() + y * width_; }

  // Dilation measures to the nearest value pixel to the left, erosion to the nearest background
  // pixel to the right.
  void ComputeDistances() {
    const D cap = static_cast<D>(table_.cap);
    for (int y = 0; y < height_; ++y) {
      D* row = distances_.data() + static_cast<std::size_t>(y) * width_;
      if (half_ == Half::dilation)
        filtermorph::RowDistancesLeftToRight(InputImage.rows[y], width_, value_, cap, row);
      else
        filtermorph::RowDistancesRightToLeft(InputImage.rows[y], width_, value_, cap, row);
      if (engine_.drawing())
        for (int x = 0; x < width_; ++x)
          engine_.DrawDistancePixel(targets_, y, x, static_cast<int32_t>(row[x]));
    }
  }

  void ClearWithDrawing() {
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) {
        WorkImage.rows[y][x] = 0;
        engine_.PutPixel(targets_, x, y, 0, 0, 0);
      }
  }

  // The mask of row y before any run: nothing covered yet, or the pixels that may stay.
  void StartRow(int y, uint8_t* mask) const {
    if (half_ == Half::dilation) {
      std::fill_n(mask, width_, uint8_t{0});
    } else {
      const int32_t* source = InputImage.rows[y];
      for (int x = 0; x < width_; ++x) mask[x] = static_cast<uint8_t>(source[x] != value_);
    }
  }

  // Applies the runs [first, last) to output row y. A dilation reads the row the run comes from
  // (rowOffset above), an erosion the row it lands on (rowOffset below); a row outside the image
  // contributes nothing to a dilation and is not tested by an erosion.
  void ApplyRuns(RunIter first, RunIter last, int64_t y, uint8_t* mask) const {
    for (RunIter run = first; run != last; ++run) {
      const int64_t source = half_ == Half::dilation ? y - run->rowOffset : y + run->rowOffset;
      if (source < 0 || source >= height_) continue;
      if (half_ == Half::dilation)
        DilateRowByRun(DistanceRow(source), width_, run->length, run->colOffset, mask);
      else
        ErodeRowByRun(DistanceRow(source), width_, run->length, run->colOffset, mask);
    }
  }

  static void StoreRow(const uint8_t* mask, int width, int32_t* out) {
    for (int x = 0; x < width; ++x) out[x] = mask[x];
  }

  void RunRowByRow() {
    std::vector<uint8_t> mask = Scratch<uint8_t>(static_cast<std::size_t>(width_));
    for (int y = 0; y < height_; ++y) {
      StartRow(y, mask.data());
      ApplyRuns(table_.runs.begin(), table_.runs.end(), y, mask.data());
      StoreRow(mask.data(), width_, WorkImage.rows[y]);
    }
  }

  // The runs of filter row p: [first, last), advancing `first` past them.
  RunIter TakePass(RunIter& first, int p) const {
    RunIter last = first;
    while (last != table_.runs.end() && last->filterRow == p) ++last;
    return last;
  }

  // Each pass sets and draws in green the pixels that its filter row covers.
  void DilatePassByPass() {
    std::vector<uint8_t> covered = Scratch<uint8_t>(static_cast<std::size_t>(width_));
    RunIter first = table_.runs.begin();
    for (int p = 0; p < table_.passes; ++p) {
      const RunIter last = TakePass(first, p);
      const int shade = PassShade(p, table_.passes);
      if (first != last) {
        for (int y = 0; y < height_; ++y) {
          std::fill(covered.begin(), covered.end(), uint8_t{0});
          ApplyRuns(first, last, y, covered.data());
          for (int x = 0; x < width_; ++x) {
            if (!covered[x]) continue;
            WorkImage.rows[y][x] = 1;
            engine_.PutPixel(targets_, x, y, 0, shade, 0);
          }
        }
      }
      first = last;
    }
  }

  // Each pass narrows the mask by its filter row, then draws the whole image: green where every
  // filter row so far fits, black elsewhere.
  void ErodePassByPass() {
    std::vector<uint8_t> mask =
        Scratch<uint8_t>(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_));
    for (int y = 0; y < height_; ++y) StartRow(y, mask.data() + std::size_t(y) * width_);
    RunIter first = table_.runs.begin();
    for (int p = 0; p < table_.passes; ++p) {
      const RunIter last = TakePass(first, p);
      const int shade = PassShade(p, table_.passes);
      for (int y = 0; y < height_; ++y) {
        uint8_t* row = mask.data() + std::size_t(y) * width_;
        ApplyRuns(first, last, y, row);
        for (int x = 0; x < width_; ++x) engine_.PutPixel(targets_, x, y, 0, row[x] ? shade : 0, 0);
      }
      first = last;
    }
    for (int y = 0; y < height_; ++y)
      StoreRow(mask.data() + std::size_t(y) * width_, width_, WorkImage.rows[y]);
  }

  ImageEngine& engine_;
  const DrawingTargets& targets_;
  const RunTable& table_;
  const Half half_;
  const int32_t value_;
  const int width_;
  const int height_;
  std::vector<D> distances_;
};

void RunHalf(ImageEngine& engine, const DrawingTargets& targets, const RunTable& table, Half half,
             int32_t value) {
  if (table.cap <= 0xFF)
    HalfRun<uint8_t>(engine, targets, table, half, value).Run();
  else if (table.cap <= 0xFFFF)
    HalfRun<uint16_t>(engine, targets, table, half, value).Run();
  else
    HalfRun<uint32_t>(engine, targets, table, half, value).Run();
}

}  // namespace

void ImageEngine::DecomposedDilation(const DrawingTargets& targets, int key) {
  RunTable table;
  if (!Prologue(*this, table)) return;
  RunHalf(*this, targets, table, Half::dilation, key);
  Epilogue(*this);
}

void ImageEngine::DecomposedErosion(const DrawingTargets& targets, int key) {
  RunTable table;
  if (!Prologue(*this, table)) return;
  RunHalf(*this, targets, table, Half::erosion, key);
  Epilogue(*this);
}

void ImageEngine::DecomposedOpening(const DrawingTargets& targets, int key) {
  RunTable table;
  if (!Prologue(*this, table)) return;
  RunHalf(*this, targets, table, Half::erosion, key);
  Epilogue(*this);
  if (drawing()) RedrawWorkImage(targets);
  RunHalf(*this, targets, table, Half::dilation, 1);
  Epilogue(*this);
}

void ImageEngine::DecomposedClosing(const DrawingTargets& targets, int key) {
  RunTable table;
  if (!Prologue(*this, table)) return;
  RunHalf(*this, targets, table, Half::dilation, key);
  Epilogue(*this);
  if (drawing()) RedrawWorkImage(targets);
  RunHalf(*this, targets, table, Half::erosion, 0);
  Epilogue(*this);
}

}  // namespace dt
