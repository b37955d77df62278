// The three distance transforms: algorithm 1 (column pass T1, then the lower-envelope row pass),
// algorithm 2 (T1, then the exhaustive row pass) and the simple exhaustive Euclidean transform.
//
// Every pass reads DistanceMap and writes WorkImage; CopyWorkToDistanceMap carries a result to
// the next pass. The passes take the measure, and the column direction it implies, as
// arguments. While measureTime is 0 every written value is drawn at once, in the writing
// order; when nothing is drawn, the column pass walks whole rows instead of single columns (the
// same values, on contiguous memory).
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <type_traits>
#include <vector>

#include "distance/Chamfer.h"
#include "distance/DistanceFunctions.h"
#include "distance/DistanceTransform.h"
#include "distance/FeatureSearch.h"
#include "distance/RowPasses.h"
#include "image/ImageEngine.h"
#include "image/Messages.h"
#include "image/Parallel.h"
#include "image/Streaming.h"


namespace dt {

namespace {

std::size_t PixelCount() {
  return static_cast<std::size_t>(std::max(InputImage.width, 0)) *
         static_cast<std::size_t>(std::max(InputImage.height, 0));
}

bool WorkImagesReady() { return WorkImage.rows != nullptr && DistanceMap.rows != nullptr; }

// Whether a pixel is a feature pixel, read from the column distances in DistanceMap (the row
// passes' input).
bool ColumnFeature(int row, int column) { return DistanceMap.rows[row][column] == 0; }

// The sweeps below are written without branches so that they vectorise.

// 0 at a feature pixel, else v.
inline int32_t UnlessFeature(int32_t in, int featureValue, int32_t v) {
  return v & -static_cast<int32_t>(in != featureValue);
}

// noFeature beyond cap (distances are never negative).
inline int32_t Capped(int32_t v, int32_t cap) {
  return v | (noFeature & -static_cast<int32_t>(v > cap));
}

// Column pass in the column-by-column writing order. Down each column the feature pixels cut the
// column into runs; a run is written when the scan reaches the feature pixel below it (after that
// pixel's 0) or the bottom of the image.
template <class Write>
void ColumnInWritingOrder(int column, int height, int featureValue, ColumnDirection direction,
                          Write&& write) {
  int runStart = 0;              // first row after the previous feature pixel
  bool featureAbove = false;     // whether the current run has a feature pixel above it
  for (int y = 0; y < height; ++y) {
    if (DistanceMap.rows[y][column] != featureValue) continue;
    write(y, 0);
    if (runStart <= y - 1) {
      if (direction == ColumnDirection::bothWays && featureAbove) {
        int32_t value = 1;
        for (int top = runStart, bottom = y - 1; top <= bottom; ++top, --bottom, ++value) {
          write(top, value);
          write(bottom, value);  // the middle row of an odd run is written twice
        }
      } else if (direction == ColumnDirection::atOrAbove) {
        if (featureAbove) {
          for (int r = runStart; r < y; ++r) write(r, r - runStart + 1);
        } else {
          for (int r = y - 1; r >= 0; --r) write(r, noFeature);
        }
      } else {  // both ways from row 0, or at or below
        for (int r = y - 1; r >= runStart; --r) write(r, y - r);
      }
    }
    runStart = y + 1;
    featureAbove = true;
  }
  if (runStart >= height) return;
  if (!featureAbove) {
    for (int r = 0; r < height; ++r) write(r, noFeature);
  } else {
    for (int r = runStart; r < height; ++r)
      write(r, direction == ColumnDirection::atOrBelow ? noFeature : r - runStart + 1);
  }
}

// The column pass over whole rows: a sweep down gives the distance to the nearest feature pixel
// at or above, a sweep up the one at or below; both ways keep the smaller. One row of a sweep:
// out = 0 at feature pixels, else one more than the previous row of the sweep (noFeature for the
// first row).
// A caller that needs no distance beyond `cap` may pass it: larger values become noFeature.
void SweepRow(const int32_t* in, const int32_t* previous, int32_t* out, int width,
              int featureValue, int32_t cap = noFeature) {
  if (previous == nullptr) {
    for (int x = 0; x < width; ++x) out[x] = UnlessFeature(in[x], featureValue, noFeature);
  } else if (cap == noFeature) {
    for (int x = 0; x < width; ++x)
      out[x] = UnlessFeature(in[x], featureValue, OneFurther(previous[x]));
  } else {
    for (int x = 0; x < width; ++x)
      out[x] = Capped(UnlessFeature(in[x], featureValue, OneFurther(previous[x])), cap);
  }
}

// The way up when the way down is already in `down`: the smaller of the two.
void MergeRow(const int32_t* down, const int32_t* previous, int32_t* out, int width,
              int32_t cap = noFeature) {
  if (previous == nullptr) {
    std::copy(down, down + width, out);
  } else if (cap == noFeature) {
    for (int x = 0; x < width; ++x) out[x] = std::min(down[x], OneFurther(previous[x]));
  } else {
    for (int x = 0; x < width; ++x)
      out[x] = Capped(std::min(down[x], OneFurther(previous[x])), cap);
  }
}

// The column pass over whole rows, into WorkImage, each sweep reported as a pass.
void ColumnPassByRows(const ImageRecord& source, int width, int height, int featureValue,
                      ColumnDirection direction) {
  if (direction != ColumnDirection::atOrBelow) {
    const Pass pass(height);
    for (int y = 0; y < height; ++y) {
      SweepRow(source.rows[y], y > 0 ? WorkImage.rows[y - 1] : nullptr, WorkImage.rows[y], width,
               featureValue);
      pass.Done(y + 1);
    }
  }
  if (direction == ColumnDirection::atOrAbove) return;
  const Pass pass(height);
  for (int y = height - 1; y >= 0; --y) {
    const int32_t* below = y + 1 < height ? WorkImage.rows[y + 1] : nullptr;
    if (direction == ColumnDirection::bothWays)
      MergeRow(WorkImage.rows[y], below, WorkImage.rows[y], width);
    else
      SweepRow(source.rows[y], below, WorkImage.rows[y], width, featureValue);
    pass.Done(height - y);
  }
}

// The feature transform of row y from the winning columns of its row pass (-1: none) and the
// column distances G they were measured with: the feature pixel of column s lies G(s) rows from
// y on the side the column pass looked; both ways, above when above(s), else below. Writes (row,
// column) pairs, with no branch: the winning column changes too often along a row for a branch
// on it to be predicted. (A branch per run of one winner, with the side read from the picture,
// made algorithm 1 with nearest pixels 10-25 % slower at 2048 x 2048.)
template <class Above>
void WriteNearestRow(int y, const int32_t* g, const int32_t* winner, int width,
                     ColumnDirection direction, Above&& above, int32_t* pairs) {
  const auto write = [&](auto&& isAbove) {
    for (int x = 0; x < width; ++x) {
      const int32_t column = winner[x];
      const int32_t at = std::max(column, 0);
      const int32_t rows = column >= 0 ? g[at] : 0;  // a column without candidate: no G to add
      const int32_t row = isAbove(at) ? y - rows : y + rows;
      pairs[2 * x] = column >= 0 ? row : -1;
      pairs[2 * x + 1] = column;
    }
  };
  if (direction == ColumnDirection::bothWays)
    write(above);
  else
    write([up = direction == ColumnDirection::atOrAbove](int) { return up; });
}

// For WriteNearestRow, the side read from the column pass's picture in DistanceMap (G = 0 at
// feature pixels): above where the pixel G rows up is a feature pixel.
auto SideInMap(int y, const int32_t* g) {
  return [y, g](int column) {
    const int32_t above = y - g[column];
    return above >= 0 && ColumnFeature(above, column);
  };
}

// Room in the scratch for the winning columns of a batch of rows (allocated before any thread
// starts, as a helper thread must not run out of memory).
void MakeRoomForWinners(RowScratch& scratch, int width) {
  scratch.winners.resize(static_cast<std::size_t>(std::max(width, 1)) * envelopeRowsAtOnce);
}

// Algorithm 1's row pass over a batch of rows (their G in g, image rows y, in the sweep's own
// rows) with the feature transform, the scratch's winners made room for: the distances go to
// WorkImage and a copy to DistanceMap, as without the feature transform (the caller finishes the
// streaming). Streaming stores for the pairs took longer. For a two-way pass, `above` holds the
// batch's sides of the feature pixels, a row of them for each of its rows (Band::above).
template <class Metric>
void RowsWithNearest(const Metric& metric, const int32_t* const* g, const int* y, int n,
                     int width, RowScratch& scratch, const uint8_t* above,
                     ColumnDirection direction, FeatureMap& nearest) {
  const auto stride = static_cast<std::size_t>(std::max(width, 1));
  int32_t* out[envelopeRowsAtOnce] = {};
  int32_t* winner[envelopeRowsAtOnce] = {};
  for (int r = 0; r < n; ++r) {
    out[r] = WorkImage.rows[y[r]];
    winner[r] = scratch.winners.data() + stride * static_cast<std::size_t>(r);
  }
  if constexpr (std::is_same_v<Metric, EuclidMetric>)
    EuclidRows(g, out, n, width, scratch, winner);
  else
    EnvelopeRows(metric, g, out, n, width, scratch, winner);
  for (int r = 0; r < n; ++r) {
    const uint8_t* sides = above + stride * static_cast<std::size_t>(r);
    WriteNearestRow(y[r], g[r], winner[r], width, direction,
                    [sides](int column) { return sides[column] != 0; }, nearest.Row(y[r]));
    StreamRow(out[r], DistanceMap.rows[y[r]], width);
  }
}

// Algorithm 1 with nothing drawn: the same sweeps and row pass, but every row goes through the
// row pass as soon as its column distances are final, during the second sweep (or the only one),
// so the column distances never make a round trip through memory. The rows come in batches of up
// to envelopeRowsAtOnce: finish(g, y, n) gets the G of rows y[0] .. y[n - 1] in g[0] .. g[n - 1].
//
// Both work on the image rows first .. last - 1 (a band), downward or upward. `edge` holds the
// sweep's distances of the row just outside the band where the sweep begins (null where the
// image ends there): where a band's sweep takes over from another's, or from SweepBeyond. The
// second sweep of a two-way pass merges its distances with those the first left in WorkImage,
// row by row: the smaller of the first sweep's and one more than the row before's. `batch` has
// room for envelopeRowsAtOnce rows; passes are reported when `reported`. With `above`, as many
// rows of it, the finishing sweep of a two-way pass also marks where the feature pixel of each
// G lies above the row (1) rather than below (0), above where both lie as far.
struct Band {
  int first = 0;
  int last = 0;
  int32_t* batch = nullptr;
  bool reported = true;
  uint8_t* above = nullptr;
};

void FirstSweep(const ImageRecord& source, int featureValue, int32_t cap, const Band& band,
                bool down, const int32_t* edge) {
  const int width = InputImage.width;
  const auto stride = static_cast<std::size_t>(std::max(width, 1));
  int32_t* slots[2] = {band.batch, band.batch + stride};
  const int count = band.last - band.first;
  const std::optional<Pass> pass = band.reported ? std::optional<Pass>(count) : std::nullopt;
  for (int k = 0; k < count; ++k) {
    const int row = down ? band.first + k : band.last - 1 - k;
    SweepRow(source.rows[row], k > 0 ? slots[(k - 1) % 2] : edge, slots[k % 2], width,
             featureValue, cap);
    StreamRow(slots[k % 2], WorkImage.rows[row], width);
    if (pass) pass->Done(k + 1);
  }
  FinishStreaming();
}

// Where the feature pixel of each merged G lies above the row, from what MergeRow merged. Going
// up, `first` is the distance up to the nearest feature pixel, which gives G where the two are
// equal. Going down, `first` looks down, and `previous` is the row above's G: one more than it is
// the distance up from this row, or else the distance down plus two (more than G), so again the
// pixel above gives G exactly where the two are equal. The image's first row has nothing above.
void MarkAbove(const int32_t* first, const int32_t* previous, const int32_t* merged, int width,
               bool down, uint8_t* above) {
  if (!down) {
    for (int x = 0; x < width; ++x) above[x] = first[x] == merged[x];
  } else if (previous == nullptr) {
    for (int x = 0; x < width; ++x) above[x] = merged[x] == 0;
  } else {
    for (int x = 0; x < width; ++x) above[x] = OneFurther(previous[x]) == merged[x];
  }
}

template <class Finish>
void FinishingSweep(const ImageRecord& source, int featureValue, ColumnDirection direction,
                    int32_t cap, const Band& band, bool down, const int32_t* edge,
                    Finish&& finish) {
  const int width = InputImage.width;
  const auto stride = static_cast<std::size_t>(std::max(width, 1));
  const int32_t* g[envelopeRowsAtOnce];
  int y[envelopeRowsAtOnce];
  const int count = band.last - band.first;
  const std::optional<Pass> pass = band.reported ? std::optional<Pass>(count) : std::nullopt;
  // Each row follows the one before it in the sweep, the last slot of the previous batch
  // included.
  const int32_t* previous = edge;
  for (int k = 0; k < count; k += envelopeRowsAtOnce) {
    const int n = std::min(envelopeRowsAtOnce, count - k);
    for (int r = 0; r < n; ++r) {
      const int row = down ? band.first + k + r : band.last - 1 - k - r;
      int32_t* here = band.batch + stride * static_cast<std::size_t>(r);
      if (direction == ColumnDirection::bothWays) {
        MergeRow(WorkImage.rows[row], previous, here, width, cap);
        if (band.above != nullptr)
          MarkAbove(WorkImage.rows[row], previous, here, width, down,
                    band.above + stride * static_cast<std::size_t>(r));
      } else {
        SweepRow(source.rows[row], previous, here, width, featureValue, cap);
      }
      y[r] = row;
      g[r] = previous = here;
    }
    finish(g, y, n);
    if (pass) pass->Done(k + n);
  }
}

// The whole picture on one thread: a two-way pass sweeps down first and finishes going up; a
// one-way pass finishes on its only sweep.
template <class Finish>
void RowsWithoutDrawing(const ImageRecord& source, int featureValue, ColumnDirection direction,
                        int32_t cap, Finish&& finish) {
  std::vector<int32_t> batch(static_cast<std::size_t>(std::max(InputImage.width, 1)) *
                             envelopeRowsAtOnce);
  const Band band{0, InputImage.height, batch.data(), true};
  if (direction == ColumnDirection::bothWays)
    FirstSweep(source, featureValue, cap, band, true, nullptr);
  FinishingSweep(source, featureValue, direction, cap, band,
                 direction == ColumnDirection::atOrAbove, nullptr, finish);
}

// The column distances of row `row` to the nearest feature pixel in it or in the rows beyond it
// towards `end` (a step of `step` rows), noFeature where there is none: what a sweep that begins
// on the far side of a band's edge brings to it, from the source alone. Stops once every column
// has met one.
void SweepBeyond(const ImageRecord& source, int featureValue, int row, int end, int step,
                 int32_t* out, int width) {
  std::fill(out, out + width, noFeature);
  int32_t distance = 0;
  for (int y = row; y != end; y += step, ++distance) {
    const int32_t* in = source.rows[y];
    int missing = 0;
    for (int x = 0; x < width; ++x) {
      const bool found = out[x] == noFeature && in[x] == featureValue;
      out[x] = found ? distance : out[x];
      missing += out[x] == noFeature;
    }
    if (missing == 0) return;
  }
}

// Runs body(metric) for the measure once the work images exist.
template <class Body>
void WithReadyMetric(const Measure& measure, const ImageRecord& source, Body&& body) {
  if (!WorkImagesReady() || source.rows == nullptr) return;
  WithMetric(measure, body);
}

// The row pass of a batch of rows with nothing drawn: into WorkImage, a copy into DistanceMap,
// and with `nearest` the feature transform.
template <class Metric>
void FinishRows(const Metric& metric, const int32_t* const* g, const int* y, int n, int width,
                RowScratch& scratch, const uint8_t* above, ColumnDirection direction,
                FeatureMap* nearest) {
  if (nearest != nullptr) {
    RowsWithNearest(metric, g, y, n, width, scratch, above, direction, *nearest);
    return;
  }
  int32_t* out[envelopeRowsAtOnce] = {};
  for (int r = 0; r < n; ++r) out[r] = WorkImage.rows[y[r]];
  if constexpr (std::is_same_v<Metric, EuclidMetric>)
    EuclidRows(g, out, n, width, scratch);
  else
    EnvelopeRows(metric, g, out, n, width, scratch);
  for (int r = 0; r < n; ++r) StreamRow(out[r], DistanceMap.rows[y[r]], width);
}

// A one-way pass on `parts` threads in lockstep, through the picture in chunks of rows: each
// thread sweeps its own columns of a chunk's rows into rows all threads share, and once all have,
// finishes its share of the chunk's batches of rows (finishRows(part) finishes a batch). Two
// chunks of rows take turns: a chunk's sweep overwrites the rows of the chunk before last, which
// every thread finished before it came to the last wait. So the input is read once, and the row
// pass, which costs most, is shared out evenly whatever the picture.
template <class FinishRowsOf>
void OneWayInLockstep(const ImageRecord& source, int featureValue, ColumnDirection direction,
                      int parts, FinishRowsOf&& finishRows) {
  constexpr int chunkRows = 16 * envelopeRowsAtOnce;
  const int width = InputImage.width;
  const int height = InputImage.height;
  const auto stride = static_cast<std::size_t>(std::max(width, 1));
  const bool down = direction == ColumnDirection::atOrAbove;
  std::vector<int32_t> chunks(2 * chunkRows * stride);
  InLockstep(parts, [&](int part, int running, Lockstep& lockstep) {
    // Columns in whole cache lines, so that no two threads write the same line.
    const int first = PartStart(width, running, 16, part);
    const int last = PartStart(width, running, 16, part + 1);
    const auto finish = finishRows(part);
    const std::optional<Pass> pass = part == 0 ? std::optional<Pass>(height) : std::nullopt;
    const int32_t* g[envelopeRowsAtOnce];
    int y[envelopeRowsAtOnce];
    const int32_t* previous = nullptr;
    for (int k = 0, chunk = 0; k < height; k += chunkRows, ++chunk) {
      int32_t* rows = chunks.data() + stride * chunkRows * static_cast<std::size_t>(chunk % 2);
      const int n = std::min(chunkRows, height - k);
      for (int r = 0; r < n; ++r) {
        const int row = down ? k + r : height - 1 - k - r;
        int32_t* here = rows + stride * static_cast<std::size_t>(r);
        SweepRow(source.rows[row] + first, previous != nullptr ? previous + first : nullptr,
                 here + first, last - first, featureValue, noFeature);
        previous = here;
      }
      if (!lockstep.Wait()) return;
      for (int b = part * envelopeRowsAtOnce; b < n; b += running * envelopeRowsAtOnce) {
        const int m = std::min(envelopeRowsAtOnce, n - b);
        for (int r = 0; r < m; ++r) {
          g[r] = rows + stride * static_cast<std::size_t>(b + r);
          y[r] = down ? k + b + r : height - 1 - k - b - r;
        }
        finish(g, y, m);
      }
      if (pass) pass->Done(k + n);
    }
    FinishStreaming();
  });
}

// Algorithm 1 with nothing drawn on `parts` threads. Every part's memory is made before any
// thread starts (a helper thread must not run out of memory).
//
// A one-way pass on several threads goes in lockstep (OneWayInLockstep). In bands, the band
// beyond more feature pixels would have more candidates per row, and would first have to read
// the rows before it to find where its sweep begins.
//
// A two-way pass goes in bands of rows, one a thread, each band swept and finished as one thread
// does the whole picture. The first sweep goes down in every band but the last, which takes it
// up; then, once all first sweeps are done, each band finishes the other way. Where a band's
// first sweep enters it from beside another band, or its finishing sweep does beside a band whose
// first sweep went the other way, the distances the rows beyond bring come from SweepBeyond;
// otherwise the neighbour's first sweep brings them, so that of two bands neither reads the
// other's rows.
template <class Metric>
void DistanceMapInBands(const Metric& metric, const ImageRecord& source, int featureValue,
                        ColumnDirection direction, int parts, FeatureMap* nearest) {
  const int width = InputImage.width;
  const int height = InputImage.height;
  const auto stride = static_cast<std::size_t>(std::max(width, 1));
  std::vector<RowScratch> scratch;
  std::vector<std::vector<int32_t>> rows;  // per part: the batch, then the edges down and up
  // Per part, the batch's sides of the feature pixels (Band::above), for the feature transform
  // of a two-way pass.
  const bool sides = nearest != nullptr && direction == ColumnDirection::bothWays;
  std::vector<std::vector<uint8_t>> above;
  for (int part = 0; part < parts; ++part) {
    scratch.emplace_back(width);
    if (nearest != nullptr) MakeRoomForWinners(scratch.back(), width);
    rows.emplace_back(stride * (envelopeRowsAtOnce + 2));
    above.emplace_back(sides ? stride * envelopeRowsAtOnce : 0);
  }
  const auto aboveOf = [&](int part) {
    return sides ? above[static_cast<std::size_t>(part)].data() : nullptr;
  };
  const auto finishRows = [&](int part) {
    RowScratch& mine = scratch[static_cast<std::size_t>(part)];
    const uint8_t* const sides = aboveOf(part);
    return [&, sides](const int32_t* const* g, const int* y, int n) {
      FinishRows(metric, g, y, n, width, mine, sides, direction, nearest);
    };
  };
  if (direction != ColumnDirection::bothWays && parts > 1) {
    OneWayInLockstep(source, featureValue, direction, parts, finishRows);
    return;
  }
  if (direction != ColumnDirection::bothWays) {
    const Band whole{0, height, rows[0].data(), true};
    FinishingSweep(source, featureValue, direction, noFeature, whole,
                   direction == ColumnDirection::atOrAbove, nullptr, finishRows(0));
    FinishStreaming();
    return;
  }
  const auto bandOf = [&](int part) {
    return Band{PartStart(height, parts, 1, part), PartStart(height, parts, 1, part + 1),
                rows[static_cast<std::size_t>(part)].data(), part == 0, aboveOf(part)};
  };
  const auto firstDown = [&](int part) { return part < parts - 1; };
  // The edge a sweep entering the band going down (or up) starts from.
  const auto edge = [&](int part, bool down) {
    return rows[static_cast<std::size_t>(part)].data() + stride * (envelopeRowsAtOnce + !down);
  };
  const auto entersFromBand = [&](const Band& band, bool down) {
    return down ? band.first > 0 : band.last < height;
  };
  const auto sweepBeyond = [&](int part, const Band& band, bool down) {
    SweepBeyond(source, featureValue, down ? band.first - 1 : band.last, down ? -1 : height,
                down ? -1 : 1, edge(part, down), width);
  };
  // Whether the neighbour that a band's finishing sweep enters from took its first sweep the way
  // this band finishes, and so brings it its edge.
  const auto neighbourBrings = [&](int part) {
    const int neighbour = firstDown(part) ? part + 1 : part - 1;
    return neighbour >= 0 && neighbour < parts && firstDown(neighbour) != firstDown(part);
  };
  InParallel(height, parts, 1, [&](int, int, int part) {
    const Band band = bandOf(part);
    const bool down = firstDown(part);
    const bool entered = entersFromBand(band, down);
    if (entered) sweepBeyond(part, band, down);
    FirstSweep(source, featureValue, noFeature, band, down, entered ? edge(part, down) : nullptr);
    if (entersFromBand(band, !down) && !neighbourBrings(part)) sweepBeyond(part, band, !down);
  });
  // The first sweeps' rows beside the bands' edges, before any band overwrites them.
  for (int part = 0; part < parts; ++part) {
    if (!neighbourBrings(part)) continue;
    const Band band = bandOf(part);
    const bool down = !firstDown(part);
    const int row = down ? band.first - 1 : band.last;
    std::copy(WorkImage.rows[row], WorkImage.rows[row] + width, edge(part, down));
  }
  InParallel(height, parts, 1, [&](int, int, int part) {
    const Band band = bandOf(part);
    const bool down = !firstDown(part);
    FinishingSweep(source, featureValue, direction, noFeature, band, down,
                   entersFromBand(band, down) ? edge(part, down) : nullptr, finishRows(part));
    FinishStreaming();
  });
}

}  // namespace

void DistanceMapWithoutDrawing(const ImageEngine& engine, const ImageRecord& source,
                               int featureValue, const Measure& measure, FeatureMap* nearest) {
  WithReadyMetric(measure, source, [&](const auto& metric) {
    // Fewer rows than this per band would not pay for a thread.
    const int parts = PartsFor(engine.threads, InputImage.height, 64);
    DistanceMapInBands(metric, source, featureValue, measure.columnDirection(), parts, nearest);
  });
}

namespace {

// ThresholdedMapWithoutDrawing on several threads, in bands of rows, each on a thread of its
// own. The capped column distances of a band follow from the sweeps' rows just outside it: a
// sweep down that starts `cap` rows above that row (nothing before it) finds every G within the
// cap there, as does a sweep up from `cap` rows below. Those rows are found first, from the
// source alone, so that no band writes a row while another band still reads it.
int64_t ThresholdedMapOnThreads(const ChordTable& chords, const ImageRecord& source,
                                int featureValue, ColumnDirection direction, int32_t cap,
                                bool erosion, int parts) {
  const int width = InputImage.width;
  const int height = InputImage.height;
  const auto stride = static_cast<std::size_t>(std::max(width, 1));
  const bool down = direction != ColumnDirection::atOrBelow;
  const bool up = direction != ColumnDirection::atOrAbove;
  const int64_t before = std::max(cap, 0);  // rows a sweep runs before the row it starts from
  // Made before any thread starts, as a helper thread must not run out of memory.
  struct Room {
    std::vector<int32_t> reachFrom, above, below, g;
    int64_t ones = 0;
  };
  std::vector<Room> rooms;
  for (int part = 0; part < parts; ++part)
    rooms.push_back({std::vector<int32_t>(3 * stride), std::vector<int32_t>(stride),
                     std::vector<int32_t>(stride), std::vector<int32_t>(stride), 0});
  InParallel(height, parts, 1, [&](int first, int last, int part) {
    Room& room = rooms[static_cast<std::size_t>(part)];
    const auto start = static_cast<int>(std::max<int64_t>(0, first - 1 - before));
    for (int y = start; down && y < first; ++y)
      SweepRow(source.rows[y], y > start ? room.above.data() : nullptr, room.above.data(), width,
               featureValue, cap);
    const auto end = static_cast<int>(std::min<int64_t>(height - 1, last + before));
    for (int y = end; up && y >= last; --y)
      SweepRow(source.rows[y], y < end ? room.below.data() : nullptr, room.below.data(), width,
               featureValue, cap);
  });
  const Pass bands(height / parts);
  InParallel(height, parts, 1, [&](int first, int last, int part) {
    Room& room = rooms[static_cast<std::size_t>(part)];
    int32_t* g = room.g.data();
    int64_t ones = 0;
    int done = 0;
    // The threshold of row y from its G in g; the source row has been read by now.
    const auto threshold = [&](int y) {
      int32_t* out = WorkImage.rows[y];
      ThresholdRow(chords, g, width, room.reachFrom, out, erosion);
      std::copy(out, out + width, InputImage.rows[y]);
      std::copy(out, out + width, DistanceMap.rows[y]);
      ones += std::count(out, out + width, 1);
      if (part == 0) bands.Done(++done);
    };
    if (down) {  // both ways, the way down goes to WorkImage first
      const int32_t* previous = first > 0 ? room.above.data() : nullptr;
      for (int y = first; y < last; ++y) {
        int32_t* to = up ? WorkImage.rows[y] : g;
        SweepRow(source.rows[y], previous, to, width, featureValue, cap);
        previous = to;
        if (!up) threshold(y);
      }
    }
    if (up) {
      const int32_t* previous = last < height ? room.below.data() : nullptr;
      for (int y = last - 1; y >= first; --y) {
        if (down)
          MergeRow(WorkImage.rows[y], previous, g, width, cap);
        else
          SweepRow(source.rows[y], previous, g, width, featureValue, cap);
        previous = g;
        threshold(y);
      }
    }
    room.ones = ones;
  });
  int64_t total = 0;
  for (const Room& room : rooms) total += room.ones;
  return total;
}

}  // namespace

bool ThresholdedByChamfer(const Measure& measure, int width, int height, int threads) {
  return ChamferIsExact(measure.function) && ChamferThresholdFits(width, height) &&
         PartsFor(threads, std::min(width, height), 64) <= 2;
}

// Only whether a distance is within the size matters here: the column sweeps drop every G that
// already puts its candidates beyond the size (the metric's reach), and the row pass decides
// "within" directly from the candidates' chords (ThresholdRow), which is exactly the threshold
// of the distances EnvelopeRow would give. City-block and chessboard on one or two threads take
// the chamfer scan instead, which thresholds each row as it becomes final.
int64_t ThresholdedMapWithoutDrawing(const ImageRecord& source, int featureValue,
                                     const Measure& measure, int size, int threads) {
  const bool erosion = measure.reflected;
  if (!WorkImagesReady() || source.rows == nullptr) return 0;
  if (ThresholdedByChamfer(measure, source.width, source.height, threads))
    return ThresholdedChamfer(source, featureValue, measure.function, size, erosion, WorkImage,
                              InputImage, DistanceMap);
  int64_t ones = 0;
  WithReadyMetric(measure, source, [&](const auto& metric) {
    const int width = InputImage.width;
    const int64_t reach = std::min<int64_t>(metric.Reach(size), noFeature - 1);
    const auto cap = static_cast<int32_t>(std::max<int64_t>(reach, -1));
    // Column distances stay below the image's height.
    const ChordTable chords(metric, size, std::min(cap, std::max(InputImage.height - 1, 0)), width);
    // Fewer rows or columns than this per part would not pay for a thread.
    const int parts = PartsFor(threads, std::min(width, InputImage.height), 64);
    if (parts > 1) {
      ones = ThresholdedMapOnThreads(chords, source, featureValue, measure.columnDirection(), cap,
                                     erosion, parts);
      return;
    }
    std::vector<int32_t> reachFrom(3 * static_cast<std::size_t>(std::max(width, 1)));
    RowsWithoutDrawing(source, featureValue, measure.columnDirection(), cap,
                       [&](const int32_t* const* g, const int* y, int n) {
      for (int r = 0; r < n; ++r) {
        int32_t* out = WorkImage.rows[y[r]];
        ThresholdRow(chords, g[r], width, reachFrom, out, erosion);
        // The source row has been read by now (a sweep down reads all rows first, a sweep up
        // reaches a batch's rows before their results).
        std::copy(out, out + width, InputImage.rows[y[r]]);
        std::copy(out, out + width, DistanceMap.rows[y[r]]);
        ones += std::count(out, out + width, 1);
      }
    });
  });
  return ones;
}

void ImageEngine::TransformT1(const DrawingTargets& targets, int featureValue,
                              ColumnDirection direction) {
  if (!WorkImagesReady()) return;
  const int width = InputImage.width;
  const int height = InputImage.height;
  if (!drawing()) {
    ColumnPassByRows(DistanceMap, width, height, featureValue, direction);
    return;
  }
  const Pass columns(width);
  for (int column = 0; column < width; ++column) {
    ColumnInWritingOrder(column, height, featureValue, direction, [&](int row, int32_t value) {
      WorkImage.rows[row][column] = value;
      DrawDistancePixel(targets, row, column, value);
    });
    columns.Done(column + 1);
  }
}

// Rows top to bottom, each written from right to left (computed a few rows at a time).
void ImageEngine::EnvelopeRowPass(const DrawingTargets& targets, const Measure& measure,
                                  FeatureMap* nearest) {
  if (!WorkImagesReady()) return;
  const int width = InputImage.width;
  const int height = InputImage.height;
  RowScratch scratch(width);
  const auto stride = static_cast<std::size_t>(std::max(width, 1));
  if (nearest != nullptr) MakeRoomForWinners(scratch, width);
  WithMetric(measure, [&](const auto& metric) {
    const Pass rows(height);
    for (int row = 0; row < height; row += envelopeRowsAtOnce) {
      const int n = std::min(envelopeRowsAtOnce, height - row);
      const int32_t* g[envelopeRowsAtOnce];
      int32_t* out[envelopeRowsAtOnce];
      for (int r = 0; r < n; ++r) {
        g[r] = DistanceMap.rows[row + r];
        out[r] = WorkImage.rows[row + r];
      }
      if (nearest == nullptr) {
        EnvelopeRows(metric, g, out, n, width, scratch);
      } else {
        int32_t* winner[envelopeRowsAtOnce];
        for (int r = 0; r < n; ++r)
          winner[r] = scratch.winners.data() + stride * static_cast<std::size_t>(r);
        EnvelopeRows(metric, g, out, n, width, scratch, winner);
        for (int r = 0; r < n; ++r)
          WriteNearestRow(row + r, g[r], winner[r], width, measure.columnDirection(),
                          SideInMap(row + r, g[r]), nearest->Row(row + r));
      }
      if (drawing())
        for (int r = 0; r < n; ++r)
          for (int x = width - 1; x >= 0; --x) DrawDistancePixel(targets, row + r, x, out[r][x]);
      rows.Done(row + n);
    }
  });
}

namespace {

// The search's measure for each distance function that has one.
template <class Metric>
constexpr std::optional<FeatureSearch::Cost> SearchCost() {
  if (std::is_same_v<Metric, EuclidMetric>) return FeatureSearch::Cost::squares;
  if (std::is_same_v<Metric, CityBlockMetric>) return FeatureSearch::Cost::sum;
  if (std::is_same_v<Metric, ChessboardMetric>) return FeatureSearch::Cost::largest;
  if (std::is_same_v<Metric, TriangleMetric>) return FeatureSearch::Cost::slanted;
  return std::nullopt;
}

// The triangle's cost |scale dx - slant G| + 150 G as the search's slanted one, dy being -G.
template <class Metric>
void PrepareSearch(const Metric& metric, FeatureSearch& candidates) {
  if constexpr (std::is_same_v<Metric, TriangleMetric>)
    candidates.SetSlant(int(metric.slant), int(metric.scale), -150);
  (void)metric;
  (void)candidates;
}

// Algorithm 2's row as ExhaustiveRow gives it, every column against every candidate: column
// k's candidate is the pixel (G(k), k), whose cost from (0, x) is the metric's cost of
// (x - k, G(k)) ((x - k)^2 + G(k)^2 for Euclid), and the search keeps the first column at the
// least of them. Columns that are no candidate (a flat triangle's beyond G = 0) are left out.
template <class Metric>
void RowBySearch(const Metric& metric, FeatureSearch& candidates, const int32_t* g, int width,
                 int32_t* out, int32_t* winner) {
  candidates.Clear();
  for (int k = 0; k < width; ++k)
    if (g[k] != noFeature && metric.Candidate(g[k])) candidates.Add(g[k], k);
  if (candidates.size() == 0) {
    std::fill(out, out + width, noFeature);
    if (winner != nullptr) std::fill(winner, winner + width, -1);
    return;
  }
  for (int x = 0; x < width; x += 4) {
    const int n = std::min(4, width - x);
    int32_t least[4], first[4];
    candidates.Nearest(0, x, n, least, winner != nullptr ? first : nullptr,
                       *SearchCost<Metric>());
    for (int i = 0; i < n; ++i) {
      out[x + i] = metric.Store(least[i]);
      if (winner != nullptr) winner[x + i] = candidates.Column(std::size_t(first[i]));
    }
  }
}

}  // namespace

// Rows top to bottom, each written from left to right.
void ImageEngine::ExhaustiveRowPass(const DrawingTargets& targets, const Measure& measure,
                                    FeatureMap* nearest) {
  if (!WorkImagesReady()) return;
  const int width = InputImage.width;
  const int height = InputImage.height;
  std::vector<int32_t> winner(nearest != nullptr ? static_cast<std::size_t>(width) : 0);
  WithMetric(measure, [&](const auto& metric) {
    using Metric = std::decay_t<decltype(metric)>;
    const bool search = SearchCost<Metric>().has_value() && FeatureSearch::Fits(width, height);
    FeatureSearch candidates;
    PrepareSearch(metric, candidates);
    const Pass rows(height);
    for (int y = 0; y < height; ++y) {
      int32_t* out = WorkImage.rows[y];
      if (search) {
        RowBySearch(metric, candidates, DistanceMap.rows[y], width, out,
                    nearest != nullptr ? winner.data() : nullptr);
      } else if (nearest == nullptr) {
        ExhaustiveRow(metric, DistanceMap.rows[y], width, out);
      } else {
        ExhaustiveRow(metric, DistanceMap.rows[y], width, out, winner.data());
      }
      if (nearest != nullptr) {
        WriteNearestRow(y, DistanceMap.rows[y], winner.data(), width, measure.columnDirection(),
                        SideInMap(y, DistanceMap.rows[y]), nearest->Row(y));
      }
      if (drawing())
        for (int x = 0; x < width; ++x) DrawDistancePixel(targets, y, x, out[x]);
      rows.Done(y + 1);
    }
  });
}

void ImageEngine::CopyWorkToDistanceMap() {
  if (!WorkImagesReady()) return;
  std::memcpy(DistanceMap.rows.data(), WorkImage.rows.data(), PixelCount() * sizeof(int32_t));
}

// The check and the copy that every transform starts with; false when the check failed.
static bool StartTransform(ImageEngine& engine, bool copyInput = true) {
  if (engine.inputLoaded == 0) {
    ShowMessage(Translate(text::noInputImage), Translate(text::errorCaption));
    return false;
  }
  if (copyInput) engine.CopyInputToWork();
  WorkImage.kind = distanceKind;
  return true;
}

void ImageEngine::DistanceTransform1(const DrawingTargets& targets, int featureValue,
                                     const Measure& measure, FeatureMap* nearest) {
  if (!drawing()) {  // the same map, straight from the input
    if (!StartTransform(*this, false)) return;
    // The chamfer scan is quickest for these two, but it does not say which pixel is nearest.
    if (ChamferIsExact(measure.function) && nearest == nullptr)
      ChamferMap(InputImage, featureValue, measure.function, WorkImage, DistanceMap, threads);
    else
      DistanceMapWithoutDrawing(*this, InputImage, featureValue, measure, nearest);
    distanceReady = 1;
    return;
  }
  if (!StartTransform(*this)) return;
  TransformT1(targets, featureValue, measure.columnDirection());
  CopyWorkToDistanceMap();
  WorkImage.kind = distanceKind;
  EnvelopeRowPass(targets, measure, nearest);
  CopyWorkToDistanceMap();
  distanceReady = 1;
}

void ImageEngine::DistanceTransform2(const DrawingTargets& targets, int featureValue,
                                     const Measure& measure, FeatureMap* nearest) {
  if (!StartTransform(*this)) return;
  TransformT1(targets, featureValue, measure.columnDirection());
  CopyWorkToDistanceMap();
  WorkImage.kind = distanceKind;
  ExhaustiveRowPass(targets, measure, nearest);
  CopyWorkToDistanceMap();
  distanceReady = 1;
}

// Every pixel against every feature pixel, always Euclidean. Squared distances are 64-bit;
// without any feature pixel every pixel is noFeature. The nearest feature pixel is the first
// one found at the smallest distance.
void ImageEngine::SimpleDistanceTransform(const DrawingTargets& targets, int featureValue,
                                          FeatureMap* nearest) {
  if (!StartTransform(*this)) return;
  const int width = InputImage.width;
  const int height = InputImage.height;
  if (FeatureSearch::Fits(width, height)) {
    FeatureSearch features;
    for (int k = 0; k < height; ++k)
      for (int l = 0; l < width; ++l)
        if (DistanceMap.rows[k][l] == featureValue) features.Add(k, l);
    const bool any = features.size() > 0;
    const Pass rows(height);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; x += 4) {
        const int n = std::min(4, width - x);
        int32_t least[4], first[4];
        if (any) features.Nearest(y, x, n, least, nearest != nullptr ? first : nullptr);
        for (int i = 0; i < n; ++i) {
          const int32_t value = any ? EuclidMetric::Store(least[i]) : noFeature;
          if (nearest != nullptr && any) {
            nearest->Row(y)[2 * (x + i)] = features.Row(std::size_t(first[i]));
            nearest->Row(y)[2 * (x + i) + 1] = features.Column(std::size_t(first[i]));
          }
          WorkImage.rows[y][x + i] = value;
          if (drawing()) DrawDistancePixel(targets, y, x + i, value);
        }
      }
      rows.Done(y + 1);
    }
    CopyWorkToDistanceMap();
    distanceReady = 1;
    return;
  }
  // Pictures of 32769 rows or columns and more: in 64 bits, one pair at a time.
  std::vector<int32_t> featureRows;
  std::vector<int32_t> featureColumns;
  for (int k = 0; k < height; ++k)
    for (int l = 0; l < width; ++l)
      if (DistanceMap.rows[k][l] == featureValue) {
        featureRows.push_back(k);
        featureColumns.push_back(l);
      }
  const std::size_t features = featureRows.size();
  const Pass rows(height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      int64_t best = std::numeric_limits<int64_t>::max();
      const auto cost = [&](std::size_t f) {
        const int64_t dy = y - featureRows[f];
        const int64_t dx = x - featureColumns[f];
        return dx * dx + dy * dy;
      };
      for (std::size_t f = 0; f < features; ++f) best = std::min(best, cost(f));
      for (std::size_t f = 0; nearest != nullptr && f < features; ++f) {
        if (cost(f) != best) continue;
        nearest->Row(y)[2 * x] = featureRows[f];
        nearest->Row(y)[2 * x + 1] = featureColumns[f];
        break;
      }
      const int32_t value = features == 0 ? noFeature : EuclidMetric::Store(best);
      WorkImage.rows[y][x] = value;
      if (drawing()) DrawDistancePixel(targets, y, x, value);
    }
    rows.Done(y + 1);
  }
  CopyWorkToDistanceMap();
  distanceReady = 1;
}

}  // namespace dt
