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
// pass to pass. With drawing off, the same runs work on packed bits (filtermorph/PackedFilter.h),
// which is faster for every filter, even one of hundreds of one-pixel runs.
// An erosion keeps a "still fits" mask rather than a counter per pixel; its green area after a
// pass is the same set of pixels, those that every filter row so far has fitted.
#include "filtermorph/DecomposedMorphology.h"

#include <algorithm>
#include <type_traits>
#include <vector>

#include "filtermorph/PackedFilter.h"
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

using filtermorph::PassShade;

enum class Half { dilation, erosion };

// What one call of an operation works with; opening and closing use it for both halves.
struct RunTable {
  std::vector<FilterRun> runs;  // in filter row order
  int32_t passes = 0;           // one drawing pass per filter row
  int64_t cap = 16;             // distance saturation: at least the longest run, and 16
};

// Image-sized scratch memory kept from call to call (one buffer per slot and type), so repeated
// operations on pictures of one size allocate and clear nothing. Its contents are not cleared.
template <class T, int Slot>
T* ReusedScratch(std::size_t size) {
  thread_local std::vector<T> buffer;
  if (buffer.size() < size) buffer.resize(size);
  return buffer.data();
}

// Checks and the run table; false (after its message) when there is nothing to work on.
// DistanceMap and WorkImage get no fresh copy of the input: both are overwritten before they are
// read.
bool Prologue(const ImageEngine& engine, RunTable& table) {
  if (engine.inputLoaded == 0) {
    ShowMessage(Translate(text::noInputImage), Translate(text::errorCaption));
    return false;
  }
  if (engine.filterLoaded == 0) {
    ShowMessage(Translate(text::noFilterImage), Translate(text::errorCaption));
    return false;
  }
  table.runs = engine.BuildFilterRuns();
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
        distances_(ReusedScratch<D, 0>(static_cast<std::size_t>(width_) * height_)) {}

  // (With drawing off the packed filter does the work, see RunHalf.)
  void Run() {
    ComputeDistances();
    ClearWithDrawing();
    WorkImage.kind = binaryKind;
    if (half_ == Half::dilation)
      DilatePassByPass();
    else
      ErodePassByPass();
  }

 private:
  using RunIter = std::vector<FilterRun>::const_iterator;

  const D* DistanceRow(int64_t y) const { return distances_ + y * width_; }

  // Dilation measures to the nearest value pixel to the left, erosion to the nearest background
  // pixel to the right.
  void ComputeDistances() {
    const D cap = static_cast<D>(table_.cap);
    for (int y = 0; y < height_; ++y)
      filtermorph::RowDistances(InputImage.rows[y], width_, value_, cap,
                                distances_ + std::size_t(y) * width_, half_ == Half::dilation);
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x)
        engine_.DrawDistancePixel(targets_, y, x, static_cast<int32_t>(DistanceRow(y)[x]));
  }

  void ClearWithDrawing() {
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) {
        WorkImage.rows[y][x] = 0;
        engine_.PutPixel(targets_, x, y, 0, 0, 0);
      }
  }

  // Applies the runs [first, last) to output row y, whose acc must start at 0: afterwards acc[x]
  // is nonzero where a run covers x (dilation) or does not fit at x (erosion). A dilation reads
  // the row the run comes from (rowOffset above), an erosion the row it lands on (rowOffset
  // below); a row outside the image contributes nothing to a dilation and is not tested by an
  // erosion.
  void ApplyRuns(RunIter first, RunIter last, int64_t y, D* acc) {
    sources_.clear();
    for (RunIter run = first; run != last; ++run) {
      const int64_t source = half_ == Half::dilation ? y - run->rowOffset : y + run->rowOffset;
      if (source >= 0 && source < height_)
        sources_.push_back({DistanceRow(source), run->length, run->colOffset});
    }
    const int count = static_cast<int>(sources_.size());
    if (half_ == Half::dilation)
      filtermorph::AccumulateRuns<D, true>(sources_.data(), count, width_, acc);
    else
      filtermorph::AccumulateRuns<D, false>(sources_.data(), count, width_, acc);
  }

  // The runs of filter row p: [first, returned), for `first` at the first run of row p or later.
  RunIter PassEnd(RunIter first, int p) const {
    while (first != table_.runs.end() && first->filterRow == p) ++first;
    return first;
  }

  // Each pass sets and draws in green the pixels that its filter row covers.
  void DilatePassByPass() {
    std::vector<D> acc(static_cast<std::size_t>(width_));
    RunIter first = table_.runs.begin();
    for (int p = 0; p < table_.passes; ++p) {
      const RunIter last = PassEnd(first, p);
      const int shade = PassShade(p, table_.passes);
      const Pass rows(height_);
      for (int y = 0; first != last && y < height_; ++y) {
        std::fill(acc.begin(), acc.end(), D{0});
        ApplyRuns(first, last, y, acc.data());
        for (int x = 0; x < width_; ++x) {
          if (acc[x] == 0) continue;
          WorkImage.rows[y][x] = 1;
          engine_.PutPixel(targets_, x, y, 0, shade, 0);
        }
        rows.Done(y + 1);
      }
      first = last;
    }
  }

  // Each pass narrows the "still fits" mask (foreground pixels only, to begin with) by its filter
  // row, then draws the whole image: green where every filter row so far fits, black elsewhere.
  void ErodePassByPass() {
    uint8_t* fits = ReusedScratch<uint8_t, 1>(static_cast<std::size_t>(width_) *
                                              static_cast<std::size_t>(height_));
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x)
        fits[std::size_t(y) * width_ + x] = InputImage.rows[y][x] != value_;
    std::vector<D> acc(static_cast<std::size_t>(width_));
    RunIter first = table_.runs.begin();
    for (int p = 0; p < table_.passes; ++p) {
      const RunIter last = PassEnd(first, p);
      const int shade = PassShade(p, table_.passes);
      const Pass rows(height_);
      for (int y = 0; y < height_; ++y) {
        uint8_t* row = fits + std::size_t(y) * width_;
        std::fill(acc.begin(), acc.end(), D{0});
        ApplyRuns(first, last, y, acc.data());
        for (int x = 0; x < width_; ++x) {
          row[x] &= acc[x] == 0;
          engine_.PutPixel(targets_, x, y, 0, row[x] ? shade : 0, 0);
        }
        rows.Done(y + 1);
      }
      first = last;
    }
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) WorkImage.rows[y][x] = fits[std::size_t(y) * width_ + x];
  }

  ImageEngine& engine_;
  const DrawingTargets& targets_;
  const RunTable& table_;
  const Half half_;
  const int32_t value_;
  const int width_;
  const int height_;
  D* const distances_;  // width x height, row by row
  std::vector<filtermorph::RunSource<D>> sources_ =
      std::vector<filtermorph::RunSource<D>>(table_.runs.size());
};

void RunHalf(ImageEngine& engine, const DrawingTargets& targets, const RunTable& table, Half half,
             int32_t value) {
  if (!engine.drawing()) {
    engine.AdoptWrittenResult(
        filtermorph::PackedFilterWithoutDrawing(table.runs, half == Half::dilation, value));
    return;
  }
  if (table.cap <= 0xFF)
    HalfRun<uint8_t>(engine, targets, table, half, value).Run();
  else if (table.cap <= 0xFFFF)
    HalfRun<uint16_t>(engine, targets, table, half, value).Run();
  else
    HalfRun<uint32_t>(engine, targets, table, half, value).Run();
  Epilogue(engine);
}

}  // namespace

bool ImageEngine::DecomposedDilation(const DrawingTargets& targets, int key) {
  RunTable table;
  if (!Prologue(*this, table)) return false;
  RunHalf(*this, targets, table, Half::dilation, key);
  return true;
}

bool ImageEngine::DecomposedErosion(const DrawingTargets& targets, int key) {
  RunTable table;
  if (!Prologue(*this, table)) return false;
  RunHalf(*this, targets, table, Half::erosion, key);
  return true;
}

}  // namespace dt
