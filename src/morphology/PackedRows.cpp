// The row operations of packed morphology (morphology/PackedRows.h).
#include "morphology/PackedRows.h"

#include <algorithm>
#include <bitset>
#include <utility>

#include "image/ImageEngine.h"

namespace dt::packed {

namespace {

// Eight 0/1 bytes (byte i from bit 8 i up) as the bits 0 .. 7; the multiplication moves byte i
// to bit 56 + i without carries, as no two of its partial products land on the same bit.
inline Word BitsOfBytes(Word bytes) { return bytes * 0x0102040810204080u >> 56; }

// The low eight bits of v as eight 0/1 bytes: each byte keeps its own bit of a copy of v, and
// adding 0x7f carries any such bit into the byte's top bit.
inline Word BytesOfBits(Word v) {
  const Word own = (v & 0xffu) * 0x0101010101010101u & 0x8040201008040201u;
  return (own + 0x7f7f7f7f7f7f7f7fu) >> 7 & 0x0101010101010101u;
}

}  // namespace

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

int64_t WritePackedRows(Word* rows, int words, int width, int first, int last, bool complement,
                        int32_t* pixels) {
  const Word lastMask = width % wordBits == 0 ? ~Word{0} : (Word{1} << width % wordBits) - 1;
  int64_t ones = 0;
  for (int y = first; y < last; ++y) {
    Word* row = rows + static_cast<std::size_t>(words) * (y - first);
    if (complement)
      for (int k = 0; k < words; ++k) row[k] = ~row[k];
    row[words - 1] &= lastMask;
    for (int k = 0; k < words; ++k) ones += static_cast<int64_t>(std::bitset<64>(row[k]).count());
    UnpackRow(row, width, pixels);
    for (ImageRecord* image : {&WorkImage, &InputImage, &DistanceMap})
      std::copy(pixels, pixels + width, image->rows[y]);
  }
  return ones;
}

int64_t WritePackedResult(std::vector<Word>& rows, int words, int width, int height,
                          bool complement) {
  std::vector<int32_t> pixels(static_cast<std::size_t>(width));
  return WritePackedRows(rows.data(), words, width, 0, height, complement, pixels.data());
}

int WidenRuns(PackedPicture& picture, PackedPicture& scratch, int rows, int paddedWords,
              int length, int target) {
  while (length < target) {
    const int step = std::min(target - length, length);
    for (int y = 0; y < rows; ++y) {
      Word* to = scratch.Row(y);
      const Word* from = picture.Row(y);
      std::copy(from, from + paddedWords, to);
      OrShifted(to, from, step, paddedWords);
    }
    std::swap(picture.bits, scratch.bits);
    length += step;
  }
  return length;
}

}  // namespace dt::packed
