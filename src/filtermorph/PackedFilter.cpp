// A run of offsets [lo, hi] covers column x from the sources x - hi .. x - lo (dilation) and
// tests x + lo .. x + hi (erosion). With D the packed source row dilated by [0, length - 1]
// (bit x of D is the OR of the bits x - length + 1 .. x), that is bit x - lo of D for a dilation
// and bit x + hi for an erosion: one shifted OR per run and row. The runs are taken by length,
// shortest first, so that one picture grows by log-step shifted ORs from one length to the next
// and serves every run of each length. Runs of one length and column offset that come from
// different rows (the two halves of a symmetric filter) share one pass.
//
// Offsets of a column or more beyond the width reach no pixel and are cut off, and runs whose row
// lies a height or more away are left out, so filters far larger than the image cost no more.
#include "filtermorph/PackedFilter.h"

#include <algorithm>

#include "morphology/PackedRows.h"
#include "platform/Platform.h"

namespace dt::filtermorph {

namespace {

using packed::OrShifted;
using packed::PackedPicture;
using packed::Word;
using packed::wordBits;

// A run as the packed pictures see it: output row y reads row y + rowStep of the source dilated
// by length, shifted `shift` columns to the right.
struct Span {
  int length;
  int shift;
  int rowStep;
};

std::vector<Span> SpansOf(const std::vector<FilterRun>& runs, bool dilation, int width,
                          int height) {
  std::vector<Span> spans;
  for (const FilterRun& run : runs) {
    if (run.length <= 0) continue;
    const int64_t rowStep = dilation ? -int64_t{run.rowOffset} : int64_t{run.rowOffset};
    if (rowStep <= -height || rowStep >= height) continue;
    const int64_t lo = std::max<int64_t>(run.colOffset, 1 - int64_t{width});
    const int64_t hi = std::min<int64_t>(int64_t{run.colOffset} + run.length - 1, width - 1);
    if (lo > hi) continue;
    spans.push_back({static_cast<int>(hi - lo + 1), static_cast<int>(dilation ? lo : -hi),
                     static_cast<int>(rowStep)});
  }
  std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) {
    return a.length != b.length ? a.length < b.length
           : a.shift != b.shift ? a.shift < b.shift
                                : a.rowStep < b.rowStep;
  });
  return spans;
}

}  // namespace

int64_t PackedFilterWithoutDrawing(const std::vector<FilterRun>& runs, bool dilation,
                                   int32_t value) {
  const int width = InputImage.width;
  const int height = InputImage.height;
  if (width <= 0 || height <= 0) return 0;
  const std::vector<Span> spans = SpansOf(runs, dilation, width, height);
  const int words = (width + wordBits - 1) / wordBits;
  // Room for the longest shift either way, and for the longest length's growth to the left.
  int leftWords = 1, rightWords = 1;
  for (const Span& span : spans) {
    leftWords = std::max({leftWords, std::max(span.shift, span.length) / wordBits + 1});
    rightWords = std::max(rightWords, std::max(-span.shift, 0) / wordBits + 1);
  }
  int up = 0, down = 0;  // the farthest source rows above and below an output row
  for (const Span& span : spans) {
    up = std::max(up, -span.rowStep);
    down = std::max(down, span.rowStep);
  }
  // The result is made a chunk of rows at a time, so that the ORs work in the processor's
  // nearest caches, the chunk's input rows packed just before and its result written at once.
  const int chunkRows = std::min(std::max(256, 4 * (up + down)), height);
  // Kept from call to call, so that repeated halves on pictures of one size reuse their memory.
  thread_local PackedPicture input(0, 0, 0, 0), dilated(0, 0, 0, 0), grown(0, 0, 0, 0);
  thread_local std::vector<Word> result;
  input.Reset(words, leftWords, rightWords, height);
  dilated.Reset(words, leftWords, rightWords, chunkRows + up + down);
  grown.Reset(words, leftWords, rightWords, chunkRows + up + down);
  result.resize(static_cast<std::size_t>(words) * chunkRows);
  const int paddedWords = words + rightWords;
  const Pass pass(height);
  int64_t ones = 0;
  int packedTo = 0;
  for (int from = 0; from < height; from += chunkRows) {
    const int to = std::min(from + chunkRows, height);
    const int top = std::max(from - up, 0), bottom = std::min(to + down, height);
    // Rows are packed before the result overwrites them (it may go to InputImage's rows).
    for (; packedTo < bottom; ++packedTo)
      packed::PackRow(InputImage.rows[packedTo], width, value, input.Row(packedTo));
    // The result: covered pixels (dilation), or background and pixels some run does not fit at.
    const auto resultRow = [&](int y) {
      return result.data() + static_cast<std::size_t>(words) * (y - from);
    };
    std::fill(result.begin(), result.end(), Word{0});
    if (!dilation)
      for (int y = from; y < to; ++y) std::copy(input.Row(y), input.Row(y) + words, resultRow(y));
    // The chunk's input rows dilated by [0, length - 1].
    std::copy(input.bits.begin() + static_cast<std::ptrdiff_t>(input.stride * top),
              input.bits.begin() + static_cast<std::ptrdiff_t>(input.stride * bottom),
              dilated.bits.begin());
    int length = 1;
    for (std::size_t i = 0; i < spans.size();) {
      const Span& span = spans[i];
      length = WidenRuns(dilated, grown, bottom - top, paddedWords, length, span.length);
      const bool paired = i + 1 < spans.size() && spans[i + 1].length == span.length &&
                          spans[i + 1].shift == span.shift;
      const int other = paired ? spans[i + 1].rowStep : span.rowStep;
      for (int y = from; y < to; ++y) {
        const int a = y + span.rowStep, c = y + other;
        const bool hasA = a >= 0 && a < height, hasC = c >= 0 && c < height;
        if (hasA && hasC && a != c)
          OrShifted(resultRow(y), dilated.Row(a - top), dilated.Row(c - top), span.shift, words);
        else if (hasA || hasC)
          OrShifted(resultRow(y), dilated.Row((hasA ? a : c) - top), span.shift, words);
      }
      i += paired ? 2 : 1;
    }
    ones += packed::WritePackedRows(result.data(), words, width, from, to, !dilation);
    pass.Done(to);
  }
  return ones;
}

}  // namespace dt::filtermorph
