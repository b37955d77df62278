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
#include <bitset>
#include <limits>
#include <vector>

#include "distance/DistanceFunctions.h"

namespace dt {

namespace {

using Word = uint64_t;
constexpr int wordBits = 64;

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

// Packed rows with `left` zero words before and `right` words after the row's own: shifts read
// the zero words on the left, and the words on the right hold the bits that a dilation pushes
// past the row's end, which shifts towards the left bring back.
struct PackedPicture {
  PackedPicture(int words, int left, int right, int height)
      : left(left),
        stride(static_cast<std::size_t>(left) + words + right),
        bits(stride * static_cast<std::size_t>(height)) {}
  Word* Row(int y) { return bits.data() + stride * static_cast<std::size_t>(y) + left; }
  const Word* Row(int y) const {
    return bits.data() + stride * static_cast<std::size_t>(y) + left;
  }
  int left;
  std::size_t stride;
  std::vector<Word> bits;
};

// to[k] |= the bits of `from` moved `shift` columns to the right (left when negative), for the
// words k of 0 .. n - 1; `from` has the words that this reads on either side.
void OrShifted(Word* to, const Word* from, int shift, int n) {
  const int q = (shift >= 0 ? shift : -shift) / wordBits;
  const int b = (shift >= 0 ? shift : -shift) % wordBits;
  if (b == 0) {
    const Word* source = shift >= 0 ? from - q : from + q;
    for (int k = 0; k < n; ++k) to[k] |= source[k];
  } else if (shift > 0) {
    const Word* source = from - q;
    for (int k = 0; k < n; ++k) to[k] |= source[k] << b | source[k - 1] >> (wordBits - b);
  } else {
    const Word* source = from + q;
    for (int k = 0; k < n; ++k) to[k] |= source[k] >> b | source[k + 1] << (wordBits - b);
  }
}

// The same with the OR of two rows as the source.
void OrShifted(Word* to, const Word* a, const Word* c, int shift, int n) {
  const int q = (shift >= 0 ? shift : -shift) / wordBits;
  const int b = (shift >= 0 ? shift : -shift) % wordBits;
  if (b == 0) {
    const int at = shift >= 0 ? -q : q;
    for (int k = 0; k < n; ++k) to[k] |= a[k + at] | c[k + at];
  } else if (shift > 0) {
    const Word* sa = a - q;
    const Word* sc = c - q;
    for (int k = 0; k < n; ++k)
      to[k] |= (sa[k] | sc[k]) << b | (sa[k - 1] | sc[k - 1]) >> (wordBits - b);
  } else {
    const Word* sa = a + q;
    const Word* sc = c + q;
    for (int k = 0; k < n; ++k)
      to[k] |= (sa[k] | sc[k]) >> b | (sa[k + 1] | sc[k + 1]) << (wordBits - b);
  }
}

// Eight 0/1 bytes (byte i from bit 8 i up) as the bits 0 .. 7; the multiplication moves byte i
// to bit 56 + i without carries, as no two of its partial products land on the same bit.
inline Word BitsOfBytes(Word bytes) { return bytes * 0x0102040810204080u >> 56; }

// The low eight bits of v as eight 0/1 bytes: each byte keeps its own bit of a copy of v, and
// adding 0x7f carries any such bit into the byte's top bit.
inline Word BytesOfBits(Word v) {
  const Word own = (v & 0xffu) * 0x0101010101010101u & 0x8040201008040201u;
  return (own + 0x7f7f7f7f7f7f7f7fu) >> 7 & 0x0101010101010101u;
}

// Pixels equal to featureValue as bits, a word at a time through 64 flag bytes.
void PackRow(const int32_t* in, int width, int featureValue, Word* out) {
  uint8_t flags[wordBits];
  for (int k = 0; k * wordBits < width; ++k) {
    const int n = std::min(wordBits, width - k * wordBits);
    const int32_t* pixels = in + k * wordBits;
    for (int x = 0; x < n; ++x) flags[x] = pixels[x] == featureValue;
    std::fill(flags + n, flags + wordBits, uint8_t{0});
    Word w = 0;
    for (int group = 0; group < wordBits / 8; ++group) {
      Word bytes = 0;
      for (int i = 0; i < 8; ++i) bytes |= Word{flags[8 * group + i]} << 8 * i;
      w |= BitsOfBytes(bytes) << 8 * group;
    }
    out[k] = w;
  }
}

void UnpackRow(const Word* in, int width, int32_t* out) {
  uint8_t flags[wordBits];
  for (int k = 0; k * wordBits < width; ++k) {
    const int n = std::min(wordBits, width - k * wordBits);
    for (int group = 0; group < wordBits / 8; ++group) {
      const Word bytes = BytesOfBits(in[k] >> 8 * group);
      for (int i = 0; i < 8; ++i) flags[8 * group + i] = static_cast<uint8_t>(bytes >> 8 * i);
    }
    int32_t* pixels = out + k * wordBits;
    for (int x = 0; x < n; ++x) pixels[x] = flags[x];
  }
}

// The work on packed bits is about one pass over the packed picture for each row of the ball and
// each widening of the run, against about a fixed cost for the thresholded distance map: on
// 2048 x 2048 blobs (README, Benchmark) the two meet near 330 passes (a circle of size 110 to 150,
// a diamond near 110, a square near 200).
constexpr int64_t mostPackedPasses = 320;

}  // namespace

bool PackedBallPays(const Measure& measure, int size) {
  int64_t passes = 0;
  WithMetric(measure, [&](const auto& metric) {
    if (metric.Reach(size) >= mostPackedPasses) {
      passes = mostPackedPasses + 1;
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
  return passes <= mostPackedPasses;
}

int64_t PackedBallWithoutDrawing(const ImageRecord& source, int featureValue,
                                 const Measure& measure, int size) {
  const int width = InputImage.width;
  const int height = InputImage.height;
  if (WorkImage.rows == nullptr || DistanceMap.rows == nullptr || source.rows == nullptr ||
      width <= 0 || height <= 0)
    return 0;
  std::vector<Run> runs;
  WithMetric(measure, [&](const auto& metric) { runs = RunsOf(metric, size, width, height); });
  const int words = (width + wordBits - 1) / wordBits;
  // Room for the longest shift either way, and for the longest run's growth to the left.
  int leftWords = 1, rightWords = 1;
  for (const Run& run : runs) {
    const int length = run.hi - run.lo + 1;
    leftWords = std::max({leftWords, std::max(run.lo, length) / wordBits + 1});
    rightWords = std::max(rightWords, std::max(-run.lo, 0) / wordBits + 1);
  }
  PackedPicture input(words, leftWords, rightWords, height);
  for (int y = 0; y < height; ++y) PackRow(source.rows[y], width, featureValue, input.Row(y));
  PackedPicture dilated = input;  // the input dilated by [0, length - 1]
  PackedPicture grown(words, leftWords, rightWords, height);
  std::vector<Word> within(static_cast<std::size_t>(words) * height);
  const int paddedWords = words + rightWords;
  const ColumnDirection direction = measure.columnDirection();
  int length = 1;
  for (const Run& run : runs) {
    const int runLength = run.hi - run.lo + 1;
    if (runLength < length) {  // never for the metrics' nested chords, but exact regardless
      dilated = input;
      length = 1;
    }
    while (length < runLength) {
      const int step = std::min(runLength - length, length);
      for (int y = 0; y < height; ++y) {
        Word* to = grown.Row(y);
        const Word* from = dilated.Row(y);
        std::copy(from, from + paddedWords, to);
        OrShifted(to, from, step, paddedWords);
      }
      std::swap(dilated.bits, grown.bits);
      length += step;
    }
    for (int y = 0; y < height; ++y) {
      const int below = y + run.g, above = y - run.g;
      const bool hasBelow = below < height && direction != ColumnDirection::atOrAbove;
      const bool hasAbove = above >= 0 && direction != ColumnDirection::atOrBelow;
      Word* to = within.data() + static_cast<std::size_t>(words) * y;
      if (hasBelow && hasAbove && run.g != 0)
        OrShifted(to, dilated.Row(below), dilated.Row(above), run.lo, words);
      else if (hasBelow || hasAbove)
        OrShifted(to, dilated.Row(hasBelow ? below : above), run.lo, words);
    }
  }
  const bool erosion = measure.reflected;
  const Word lastMask = width % wordBits == 0 ? ~Word{0} : (Word{1} << width % wordBits) - 1;
  int64_t ones = 0;
  std::vector<int32_t> pixels(static_cast<std::size_t>(width));
  for (int y = 0; y < height; ++y) {
    Word* row = within.data() + static_cast<std::size_t>(words) * y;
    if (erosion)
      for (int k = 0; k < words; ++k) row[k] = ~row[k];
    row[words - 1] &= lastMask;
    for (int k = 0; k < words; ++k) ones += static_cast<int64_t>(std::bitset<64>(row[k]).count());
    UnpackRow(row, width, pixels.data());
    for (ImageRecord* image : {&WorkImage, &InputImage, &DistanceMap})
      std::copy(pixels.begin(), pixels.end(), image->rows[y]);
  }
  return ones;
}

}  // namespace dt
