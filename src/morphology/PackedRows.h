// Pictures of one bit per pixel and the row operations that packed morphology is made of: 64
// pixels a word, bit b of word k being column 64 k + b. Shared by the packed balls
// (morphology/PackedBalls.h) and the packed filter halves (filtermorph/PackedFilter.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace dt::packed {

using Word = uint64_t;
constexpr int wordBits = 64;

// Packed rows with `left` zero words before and `right` words after the row's own: shifts read
// the zero words on the left, and the words on the right hold the bits that a dilation pushes
// past the row's end, which shifts towards the left bring back.
struct PackedPicture {
  PackedPicture(int words, int left, int right, int height)
      : left(left),
        stride(static_cast<std::size_t>(left) + words + right),
        bits(stride * static_cast<std::size_t>(height)) {}
  // The same geometry as the constructor gives, cleared, keeping the memory already held.
  void Reset(int words, int newLeft, int right, int height) {
    left = newLeft;
    stride = static_cast<std::size_t>(newLeft) + words + right;
    bits.assign(stride * static_cast<std::size_t>(height), Word{0});
  }
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
void OrShifted(Word* to, const Word* from, int shift, int n);
// The same with the OR of two rows as the source.
void OrShifted(Word* to, const Word* a, const Word* c, int shift, int n);

// Widens the runs of the first `rows` rows of `picture`, dilated by [0, length - 1], to
// [0, target - 1] by ORs of shifted copies, each doubling the run at most, through `scratch`
// (the same geometry); `paddedWords` words a row from Row(y) on. Returns target (or length when
// that is larger).
int WidenRuns(PackedPicture& picture, PackedPicture& scratch, int rows, int paddedWords,
              int length, int target);

// Widens the runs down the columns of the first `rows` rows of `picture` from one row to
// `target`: row y becomes the OR of rows y .. y + target - 1, rows from `rows` on counting as 0,
// by ORs of rows a step apart, each doubling the run at most; `paddedWords` words a row from
// Row(y) on.
void WidenColumns(PackedPicture& picture, int rows, int paddedWords, int target);

// Pixels equal to featureValue as bits; the bits past the width in the last word are 0.
void PackRow(const int32_t* in, int width, int featureValue, Word* out);

// Writes the packed rows (`words` a row, complemented first when asked) as 0/1 pixels into the
// image rows first .. last - 1 of WorkImage, InputImage and DistanceMap, one row at a time,
// rows[0] being row first's words; the bits past the width count as 0. Returns the number of 1
// pixels. Threads may each write rows of their own, and a chunk of rows at a time.
int64_t WritePackedRows(Word* rows, int words, int width, int first, int last, bool complement);

}  // namespace dt::packed
