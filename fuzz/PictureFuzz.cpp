// libFuzzer target for pictures read through the picture codec (Qt's image readers): any bytes,
// taken as each format by name or by their first bytes, either give a consistent black-and-white
// image or a refusal with a message; an accepted image written as PNG reads back the same.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "pictures/QtPictureCodec.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  dt::InstallQtPictureCodec();
  if (size == 0) return 0;
  // The first byte picks the name the bytes are read under and whether a threshold is given.
  const char* const names[] = {"p", "p.png", "p.bmp", "p.pbm", "p.tif", "p.gif", "p.jpg", "p.ppm"};
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  dt::ReadOptions options;
  if (data[0] & 8) options.threshold = data[0];
  const dt::ParseResult read =
      dt::ParsePicture(bytes, dt::ImageRole::input, names[data[0] & 7], options);
  if (!read.ok) {
    Check(!read.message.empty());
    return 0;
  }
  const dt::ImageRecord& image = read.image;
  Check(image.width > 0 && image.height > 0 && bool(image.rows));
  Check(int64_t{image.whiteCount} + image.blackCount == int64_t{image.width} * image.height);
  const dt::FormatResult png = dt::FormatPicture(image, dt::FileFormat::png);
  Check(png.ok);
  const dt::ParseResult again = dt::ParsePicture(png.bytes, dt::ImageRole::input, "again.png");
  Check(again.ok && again.image.width == image.width && again.image.height == image.height);
  for (int row = 0; row < image.height; ++row)
    for (int column = 0; column < image.width; ++column)
      Check(again.image.rows[row][column] == image.rows[row][column]);
  return 0;
}
