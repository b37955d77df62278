// libFuzzer target for the XPM scanner: any bytes either give a consistent image or a refusal
// with a message, and an accepted image written out again in the two-colour layout reads back
// as the same pixels.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "xpm/XpmReader.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

std::string Rewrite(const dt::ImageRecord& image) {
  std::string text = "\" " + std::to_string(image.width) + " " + std::to_string(image.height) +
                     "  2  1\",\n\". c #000000\",\n\"# c #ffffff\",\n";
  for (int row = 0; row < image.height; ++row) {
    text += '"';
    for (int column = 0; column < image.width; ++column)
      text += image.rows[row][column] == 1 ? '#' : '.';
    text += "\",\n";
  }
  return text + "};\n";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const dt::ParseResult input = dt::ParseXpm(text, dt::ImageRole::input);
  const dt::ParseResult filter = dt::ParseXpm(text, dt::ImageRole::filter);
  Check(input.ok == filter.ok);
  if (!input.ok) {
    Check(!input.message.empty() && !filter.message.empty());
    return 0;
  }
  const dt::ImageRecord& image = input.image;
  Check(image.width > 0 && image.height > 0 && bool(image.rows));
  Check(static_cast<uint64_t>(image.width) * static_cast<uint64_t>(image.height) <= size);
  Check(image.kind == 2);
  int64_t white = 0;
  for (int row = 0; row < image.height; ++row)
    for (int column = 0; column < image.width; ++column) {
      const int32_t v = image.rows[row][column];
      Check(v == 0 || v == 1);
      Check(filter.image.rows[row][column] == v);
      white += v;
    }
  Check(image.whiteCount == white);
  Check(int64_t{image.whiteCount} + image.blackCount == int64_t{image.width} * image.height);
  Check(filter.image.originRow == image.height / 2 && filter.image.originCol == image.width / 2);

  const dt::ParseResult again = dt::ParseXpm(Rewrite(image), dt::ImageRole::input);
  Check(again.ok && again.image.width == image.width && again.image.height == image.height);
  for (int row = 0; row < image.height; ++row)
    for (int column = 0; column < image.width; ++column)
      Check(again.image.rows[row][column] == image.rows[row][column]);
  return 0;
}
