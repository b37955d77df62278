// Writing the current result as an XPM file: two colours for a binary image, sixteen grey
// levels for a distance map. The layout is the one this program has always written, so files
// saved by earlier versions and by this one are alike byte for byte.
#include <new>
#include <string>

#include "image/ImageEngine.h"
#include "image/Messages.h"
#include "xpm/FileReplace.h"
#include "xpm/XpmMessages.h"

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

bool HasNegativeValue(int width, int height) {
  for (int row = 0; row < height; ++row) {
    const int32_t* values = WorkImage.rows[row];
    for (int column = 0; column < width; ++column)
      if (values[column] < 0) return true;
  }
  return false;
}

}  // namespace

// A negative value has no character; it gives '\0'. SaveWorkImage refuses such an image before
// it asks for any character.
char ImageEngine::PixelCharacter(int row, int column) const {
  const int32_t value = WorkImage.rows[row][column];
  if (value < 0) return '\0';
  return greyCharacters[value <= 14 ? value : 15];
}

bool ImageEngine::SaveWorkImage(const std::string& fileName) {
  const int width = InputImage.width;
  const int height = InputImage.height;
  const bool hasPixels = width > 0 && height > 0;
  if (hasPixels && WorkImage.rows == nullptr) {  // the images were released
    ShowMessage(text::noInputImage, text::errorCaption);
    return false;
  }
  // Everything is checked before a byte is written: a refused image leaves no file behind.
  if (hasPixels && HasNegativeValue(width, height)) {
    ShowMessage(text::negativeDistance, text::errorCaption);
    return false;
  }

  std::string contents;
  try {
    contents.reserve(512 + (hasPixels ? std::size_t(height) * (std::size_t(width) + 4) : 0));
    contents += "/* XPM */\n";
    contents += "static char *outputimage[] = {\n";
    contents += "/* width height num_colors chars_per_pixel */\n";
    contents += "\" " + std::to_string(width) + " " + std::to_string(height);
    if (WorkImage.kind == binaryKind) {
      contents += "  2  1\",\n";
      contents += binaryPalette;
    } else {
      contents += "  16  1\",\n";
      contents += greyPalette;
    }
    for (int row = 0; row < height && hasPixels; ++row) {
      contents += '"';
      for (int column = 0; column < width; ++column) contents += PixelCharacter(row, column);
      contents += "\",\n";
    }
    contents += "};\n";
  } catch (const std::bad_alloc&) {
    ShowMessage(text::memoryFailure, text::errorCaption);
    return false;
  }

  if (!ReplaceFileContents(fileName, contents)) {
    ShowMessage(text::cannotWriteFile, text::errorCaption);
    return false;
  }
  return true;
}

}  // namespace dt
