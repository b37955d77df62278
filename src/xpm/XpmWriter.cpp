// Formatting an image as an XPM file: two colours for a binary image, sixteen grey
// levels for a distance map. The layout is the one this program has always written, so files
// saved by earlier versions and by this one are alike byte for byte.
#include <algorithm>
#include <string>

#include "xpm/XpmMessages.h"
#include "xpm/XpmWriter.h"

namespace dt {

namespace {

// Entry v is the character of distance v for v up to 14; entry 15 stands for 15 and more.
constexpr char greyCharacters[] = ".#abcdefghijklmn";

constexpr const char* binaryPalette =
    "\". c #000000\",\n"
    "\"# c #ffffff\",\n";

// The file grey steps by 0x11 per unit of distance, from white at 0 to black at 15.
constexpr const char* greyPalette =
    "\". c #ffffff\",\n"
    "\"# c #eeeeee\",\n"
    "\"a c #dddddd\",\n"
    "\"b c #cccccc\",\n"
    "\"c c #bbbbbb\",\n"
    "\"d c #aaaaaa\",\n"
    "\"e c #999999\",\n"
    "\"f c #888888\",\n"
    "\"g c #777777\",\n"
    "\"h c #666666\",\n"
    "\"i c #555555\",\n"
    "\"j c #444444\",\n"
    "\"k c #333333\",\n"
    "\"l c #222222\",\n"
    "\"m c #111111\",\n"
    "\"n c #000000\",\n";

bool HasNegativeValue(const ImageRecord& image) {
  for (int row = 0; row < image.height; ++row) {
    const int32_t* values = image.rows[row];
    for (int column = 0; column < image.width; ++column)
      if (values[column] < 0) return true;
  }
  return false;
}

}  // namespace

FormatResult FormatXpm(const ImageRecord& image) {
  const int width = image.width;
  const int height = image.height;
  const bool hasPixels = width > 0 && height > 0 && image.rows != nullptr;
  // Everything is checked before a byte is formatted: a negative value has no character.
  if (hasPixels && HasNegativeValue(image)) {
    FormatResult refused;
    refused.message = Translate(text::negativeDistance);
    return refused;
  }
  return Formatted([&](std::string& bytes) {
    bytes.reserve(512 + (hasPixels ? std::size_t(height) * (std::size_t(width) + 4) : 0));
    bytes += "/* XPM */\n";
    bytes += "static char *outputimage[] = {\n";
    bytes += "/* width height num_colors chars_per_pixel */\n";
    bytes += "\" " + std::to_string(width) + " " + std::to_string(height);
    if (image.kind == binaryKind) {
      bytes += "  2  1\",\n";
      bytes += binaryPalette;
    } else {
      bytes += "  16  1\",\n";
      bytes += greyPalette;
    }
    for (int row = 0; row < height && hasPixels; ++row) {
      bytes += '"';
      const std::size_t at = bytes.size();
      bytes.resize(at + std::size_t(width));
      char* out = bytes.data() + at;
      const int32_t* values = image.rows[row];
      for (int x = 0; x < width; ++x) out[x] = greyCharacters[std::min(values[x], 15)];
      bytes += "\",\n";
    }
    bytes += "};\n";
  });
}

}  // namespace dt
