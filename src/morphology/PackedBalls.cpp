// Morphology halves on packed bits: 64 pixels a word, bit b of word k being column 64 k + b.
//
// A pixel is within the size of a feature pixel g rows away (below, above or either, as the
// column pass of the measure looks) and dx columns to its left exactly when dx lies in the
// metric's chord of g, so the threshold of the distance map is the OR over g of the feature rows
// g away, each dilated along the row by its chord. The chords only widen as g falls, so one
// picture dilated by a run [0, length - 1] serves every chord: it grows by shifted ORs from one
// chord to the next, and each row of the result takes it shifted to the chord's first offset.
// Pixels outside the image are never feature pixels, which is what the distance map assumes.
#include "morphology/PackedBalls.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "distance/DistanceFunctions.h"
#include "distance/DistanceTransform.h"
#include "image/Parallel.h"
#include "morphology/PackedRows.h"
#include "platform/Platform.h"

namespace dt {

namespace {

using packed::OrShifted;
using packed::PackedPicture;
using packed::PackRow;
using packed::Word;
using packed::wordBits;

// The chord of one column distance: offsets lo .. hi.
struct Run {
  int32_t g;
  int32_t lo;
  int32_t hi;
};

// The chords of every column distance that can still be within the size, the largest distance
// first; offsets beyond the width are cut off (they reach no pixel of the image).
template <class Metric>
std::vector<Run> RunsOf(const Metric& metric, int size, int width, int height) {
  std::vector<Run> runs;
  const int64_t top = std::min<int64_t>(metric.Reach(size), height - 1);
  const int64_t limit = std::max(width, 1);
  for (int64_t g = top; g >= 0; --g) {
    int64_t lo = 0, hi = 0;
    if (!metric.Chord(g, size, lo, hi)) continue;
    runs.push_back({static_cast<int32_t>(g), static_cast<int32_t>(std::clamp(lo, -limit, limit)),
                    static_cast<int32_t>(std::clamp(hi, -limit, limit))});
  }
  return runs;
}

// The work on packed bits is about one pass over a chunk of the packed picture for each row of
// the ball and each widening of the run, against about a fixed cost for the thresholded distance
// map: on 2048 x 2048 blobs (README, Benchmark) the two meet near 1000 passes (a circle of size
// 330; one of size 250 took 12 ms against the map's 15.5), on 4000 x 4000 blobs near 800 (a
// circle of size 260 took 57 ms on packed bits, one of 270 54 ms by the map).
constexpr int64_t mostPackedPasses = 700;
// A diamond's distance map on one thread comes from the chamfer scan, thresholded as its rows
// become final, which takes about as long as 140 passes (a diamond of size 45 to 50).
constexpr int64_t mostPackedPassesBesideChamfer = 128;

// Whether every row of the ball, from its middle row out to its reach, is one and the same run:
// the square's. Such a ball separates into the run along the rows and the rows down the columns,
// each widened by log-step ORs, so its cost hardly grows with its size.
bool OneRunEveryRow(const std::vector<Run>& runs, ColumnDirection direction) {
  if (direction != ColumnDirection::bothWays || runs.empty() || runs.back().g != 0) return false;
  for (std::size_t k = 0; k < runs.size(); ++k)
    if (runs[k].lo != runs[0].lo || runs[k].hi != runs[0].hi ||
        runs[k].g != runs[0].g - static_cast<int32_t>(k))
      return false;
  return true;
}

}  // namespace

bool PackedBallPays(const Measure& measure, int size, int threads) {
  if (measure.function == DistanceFunction::chessboard) return true;  // the square separates
  const int64_t most =
      ThresholdedByChamfer(measure, InputImage.width, InputImage.height, threads) &&
              PartsFor(threads, std::numeric_limits<int>::max(), 1) == 1
          ? mostPackedPassesBesideChamfer
          : mostPackedPasses;
  int64_t passes = 0;
  WithMetric(measure, [&](const auto& metric) {
    if (metric.Reach(size) >= most) {
      passes = most + 1;
      return;
    }
    const bool bothWays = measure.columnDirection() == ColumnDirection::bothWays;
    int length = 1;
    const int unbounded = std::numeric_limits<int32_t>::max() / 4;
    for (const Run& run : RunsOf(metric, size, unbounded, unbounded)) {
      passes += bothWays && run.g != 0 ? 2 : 1;
      const int runLength = run.hi - run.lo + 1;
      if (runLength < length) length = 1;
      for (; length < runLength; ++passes) length += std::min(runLength - length, length);
    }
  });
  return passes <= most;
}

int64_t PackedBallWithoutDrawing(const ImageRecord& source, int featureValue,
                                 const Measure& measure, int size, int threads) {
  const int width = InputImage.width;
  const int height = InputImage.height;
  if (WorkImage.rows == nullptr || DistanceMap.rows == nullptr || source.rows == nullptr ||
      width <= 0 || height <= 0)
    return 0;
  std::vector<Run> runs;
  WithMetric(measure, [&](const auto& metric) { runs = RunsOf(metric, size, width, height); });
  const int words = (width + wordBits - 1) / wordBits;
  // Room for the longest shift either way, and for the longest run's growth to the left.
  int leftWords = 1, rightWords = 1, reach = 0;
  for (const Run& run : runs) {
    const int length = run.hi - run.lo + 1;
    leftWords = std::max({leftWords, std::max(run.lo, length) / wordBits + 1});
    rightWords = std::max(rightWords, std::max(-run.lo, 0) / wordBits + 1);
    reach = std::max(reach, run.g);
  }
  // Bands of output rows, one a thread, each made a chunk of rows at a time: the input rows
  // within the ball's reach of the chunk are dilated in a picture of the band's own, ORed into
  // the chunk's rows of the result, and those are written to the images at once, so that the
  // ORs work in the processor's nearest caches. Fewer rows than this per band would not pay for
  // a thread.
  const int parts = PartsFor(threads, height, 64);
  const int chunkRows = std::min(std::max(256, 8 * reach), height);
  const auto bandStart = [&](int part) { return PartStart(height, parts, 1, part); };
  const auto reachedFrom = [&](int first) { return std::max(first - reach, 0); };
  const auto reachedTo = [&](int last) { return std::min(last + reach, height); };
  // The square's chunks hold the rows first - reach .. last + reach - 1 whether or not they lie
  // in the image (those outside are 0), so that every output row has the whole ball's rows.
  const bool square = OneRunEveryRow(runs, measure.columnDirection());
  const int chunkPictureRows = chunkRows + 2 * reach;
  // Kept from call to call, so that repeated halves on pictures of one size reuse their memory;
  // the threads reach the calling thread's through these references. All are made before any
  // thread starts (a helper thread must not run out of memory).
  thread_local PackedPicture keptInput(0, 0, 0, 0);
  thread_local std::vector<PackedPicture> keptDilated, keptGrown;
  thread_local std::vector<Word> keptWithin;
  PackedPicture& input = keptInput;
  std::vector<PackedPicture>& dilated = keptDilated;  // the input dilated by [0, length - 1]
  std::vector<PackedPicture>& grown = keptGrown;      // and room to widen it
  std::vector<Word>& within = keptWithin;
  input.Reset(words, leftWords, rightWords, height);
  dilated.resize(static_cast<std::size_t>(parts), PackedPicture(0, 0, 0, 0));
  grown.resize(static_cast<std::size_t>(parts), PackedPicture(0, 0, 0, 0));
  for (int part = 0; part < parts; ++part) {
    dilated[static_cast<std::size_t>(part)].Reset(words, leftWords, rightWords, chunkPictureRows);
    grown[static_cast<std::size_t>(part)].Reset(words, leftWords, rightWords, chunkPictureRows);
  }
  within.assign(static_cast<std::size_t>(words) * height, Word{0});
  std::vector<int64_t> ones(static_cast<std::size_t>(parts), 0);
  const auto pack = [&](int from, int to) {
    for (int y = from; y < to; ++y) PackRow(source.rows[y], width, featureValue, input.Row(y));
  };
  // The rows that a neighbouring band reads, packed before any band writes its own rows (the
  // result may go to source's rows); a band packs the rest of its rows as its chunks come to
  // them, so that reading the input takes turns with writing the result.
  const auto earlyEnd = [&](int first, int last, int part) {
    return part > 0 ? std::min(first + reach, last) : first;
  };
  const auto lateStart = [&](int first, int last, int part) {
    return part + 1 < parts ? std::max(last - reach, earlyEnd(first, last, part)) : last;
  };
  InParallel(height, parts, 1, [&](int first, int last, int part) {
    pack(first, earlyEnd(first, last, part));
    pack(lateStart(first, last, part), last);
  });
  const int paddedWords = words + rightWords;
  const ColumnDirection direction = measure.columnDirection();
  // Reported by the calling thread's band (a report may throw Stopped), a chunk at a time.
  const Pass pass(bandStart(1));
  InParallel(height, parts, 1, [&](int first, int last, int part) {
    const auto index = static_cast<std::size_t>(part);
    PackedPicture& band = dilated[index];
    PackedPicture& room = grown[index];
    int packedTo = earlyEnd(first, last, part);
    const int packedFrom = lateStart(first, last, part);
    for (int from = first; from < last; from += chunkRows) {
      const int to = std::min(from + chunkRows, last);
      const int packUpTo = std::max(packedTo, std::min(to + reach, packedFrom));
      pack(packedTo, packUpTo);
      packedTo = packUpTo;
      const int top = reachedFrom(from), bottom = reachedTo(to);
      // The input's rows within the ball's reach, to the chunk's row `at` on, and rows of 0
      // around them up to row `rows`.
      const auto copyInput = [&](int at, int rows) {
        const auto bandAt = [&](int row) {
          return band.bits.begin() + static_cast<std::ptrdiff_t>(band.stride * row);
        };
        std::fill(bandAt(0), bandAt(at), Word{0});
        std::copy(input.bits.begin() + static_cast<std::ptrdiff_t>(input.stride * top),
                  input.bits.begin() + static_cast<std::ptrdiff_t>(input.stride * bottom),
                  bandAt(at));
        std::fill(bandAt(at + bottom - top), bandAt(rows), Word{0});
      };
      if (square) {
        const auto bandRow = [&](int y) { return y - (from - reach); };
        const int rows = to - from + 2 * reach;
        copyInput(bandRow(top), rows);
        const Run& run = runs.front();
        WidenRuns(band, room, rows, paddedWords, 1, run.hi - run.lo + 1);
        packed::WidenColumns(band, rows, paddedWords, 2 * reach + 1);
        for (int y = from; y < to; ++y)
          OrShifted(within.data() + static_cast<std::size_t>(words) * y,
                    band.Row(bandRow(y - reach)), run.lo, words);
      } else {
        copyInput(0, bottom - top);
        int length = 1;
        for (const Run& run : runs) {
          const int runLength = run.hi - run.lo + 1;
          if (runLength < length) {  // never for the metrics' nested chords, but exact regardless
            copyInput(0, bottom - top);
            length = 1;
          }
          length = WidenRuns(band, room, bottom - top, paddedWords, length, runLength);
          for (int y = from; y < to; ++y) {
            const int below = y + run.g, above = y - run.g;
            const bool hasBelow = below < height && direction != ColumnDirection::atOrAbove;
            const bool hasAbove = above >= 0 && direction != ColumnDirection::atOrBelow;
            Word* out = within.data() + static_cast<std::size_t>(words) * y;
            if (hasBelow && hasAbove && run.g != 0)
              OrShifted(out, band.Row(below - top), band.Row(above - top), run.lo, words);
            else if (hasBelow || hasAbove)
              OrShifted(out, band.Row((hasBelow ? below : above) - top), run.lo, words);
          }
        }
      }
      ones[index] += packed::WritePackedRows(
          within.data() + static_cast<std::size_t>(words) * from, words, width, from, to,
          measure.reflected);
      if (part == 0) pass.Done(to - first);
    }
  });
  int64_t total = 0;
  for (const int64_t part : ones) total += part;
  return total;
}

}  // namespace dt
