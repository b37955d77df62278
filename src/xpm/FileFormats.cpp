#include "xpm/FileFormats.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <numeric>

#include "xpm/XpmMessages.h"
#include "xpm/XpmReader.h"
#include "xpm/XpmWriter.h"

namespace dt {

namespace {

const PictureCodec* installedCodec = nullptr;

std::string Printed(const char* pattern, long long value) {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, Translate(pattern).c_str(), value);
  return buffer;
}

bool HasPixels(const ImageRecord& image) {
  return image.width > 0 && image.height > 0 && image.rows != nullptr;
}

// The values as text: "W H", then one line of W space-separated values per row.
FormatResult FormatValuesText(const ImageRecord& image) {
  return Formatted([&](std::string& text) {
    text = std::to_string(image.width) + " " + std::to_string(image.height) + "\n";
    for (int row = 0; row < image.height && image.rows; ++row) {
      const int32_t* values = image.rows[row];
      for (int column = 0; column < image.width; ++column) {
        if (column > 0) text += ' ';
        text += std::to_string(values[column]);
      }
      text += '\n';
    }
  });
}

// A NumPy array file (format version 1.0): the magic string, the header's length, a header that
// describes a little-endian int32 array of the shape given ("480, 640") in row order, padded
// with blanks so that the data begins at a multiple of 64 bytes, then the count values.
FormatResult FormatInt32Npy(const std::string& shape, const int32_t* values, std::size_t count) {
  constexpr bool littleEndian = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;
  FormatResult result = Formatted([&](std::string& bytes) {
    std::string header = "{'descr': '<i4', 'fortran_order': False, 'shape': (" + shape + "), }";
    const std::size_t prefix = 10;  // magic, version and the header's length
    header.append(63 - (prefix + header.size()) % 64, ' ');
    header += '\n';
    bytes.reserve(prefix + header.size() + (littleEndian ? 0 : 4 * count));
    bytes.append("\x93NUMPY\x01\x00", 8);
    bytes += static_cast<char>(header.size() & 0xff);
    bytes += static_cast<char>(header.size() >> 8);
    bytes += header;
    if (littleEndian) return;  // the values follow as they are
    const std::size_t at = bytes.size();
    bytes.resize(at + 4 * count);
    char* out = bytes.data() + at;
    for (std::size_t i = 0; i < count; ++i, out += 4) {
      const uint32_t v = static_cast<uint32_t>(values[i]);
      out[0] = char(v), out[1] = char(v >> 8), out[2] = char(v >> 16), out[3] = char(v >> 24);
    }
  });
  if (result.ok && littleEndian)
    result.borrowed = std::string_view(reinterpret_cast<const char*>(values), 4 * count);
  return result;
}

// A picture or a distance map as an array of shape (height, width).
FormatResult FormatNpy(const ImageRecord& image) {
  const std::size_t count = HasPixels(image) ? std::size_t(image.width) * image.height : 0;
  return FormatInt32Npy(std::to_string(image.height) + ", " + std::to_string(image.width),
                        image.rows.data(), count);
}

// Binary PGM: black and white as 0 and 255, or a distance map in 16 bits (most significant byte
// first, as the format has it).
FormatResult FormatPgm(const ImageRecord& image) {
  const bool map = image.kind != binaryKind;
  std::vector<uint16_t> values;
  int64_t clipped = 0;
  FormatResult refused;
  try {
    if (map && !SixteenBitValues(image, values, clipped, refused.message)) return refused;
  } catch (const std::bad_alloc&) {
    refused.message = Translate(text::memoryFailure);
    return refused;
  }
  FormatResult result = Formatted([&](std::string& bytes) {
    const std::size_t count = std::size_t(image.width) * image.height;
    bytes = "P5\n" + std::to_string(image.width) + " " + std::to_string(image.height) +
            (map ? "\n65535\n" : "\n255\n");
    const std::size_t at = bytes.size();
    bytes.resize(at + (map ? 2 : 1) * count);
    char* out = bytes.data() + at;
    const int32_t* pixels = image.rows.data();
    if (map) {
      for (std::size_t i = 0; i < count; ++i) {
        out[2 * i] = static_cast<char>(values[i] >> 8);
        out[2 * i + 1] = static_cast<char>(values[i] & 0xff);
      }
    } else {
      for (std::size_t i = 0; i < count; ++i) out[i] = static_cast<char>(pixels[i] == 1 ? 255 : 0);
    }
  });
  if (result.ok) result.warning = ClippedWarning(clipped);
  return result;
}

ParseResult ParseByCodec(std::string_view bytes, ImageRole role, const ReadOptions& options) {
  if (installedCodec == nullptr) {
    ParseResult refused;
    refused.message = Translate(text::formatNotReadable);
    return refused;
  }
  return installedCodec->Parse(bytes, role, options);
}

enum class Reader { none, xpm, codec };

struct FormatEntry {
  FileFormat format;
  const char* extensions;  // the main one first
  const char* dialogName;  // the file dialogs' name for it
  Reader reader;
  bool binary, map;                                 // the kinds of image it holds when written
  FormatResult (*write)(const ImageRecord& image);  // null: written by the codec
};

// XPM first: the dialogs' first filter, and what a name without a picture's extension is read as.
const FormatEntry formats[] = {
    {FileFormat::xpm, ".xpm", "XPM files", Reader::xpm, true, true, FormatXpm},
    {FileFormat::png, ".png", "PNG files", Reader::codec, true, true, nullptr},
    {FileFormat::pbm, ".pbm", "PBM files", Reader::codec, true, false, nullptr},
    {FileFormat::pgm, ".pgm", "PGM files", Reader::codec, true, true, FormatPgm},
    {FileFormat::ppm, ".ppm .pnm", "PPM files", Reader::codec, false, false, nullptr},
    {FileFormat::bmp, ".bmp", "BMP files", Reader::codec, true, false, nullptr},
    {FileFormat::tiff, ".tif .tiff", "TIFF files", Reader::codec, true, true, nullptr},
    {FileFormat::gif, ".gif", "GIF files", Reader::codec, false, false, nullptr},
    {FileFormat::jpeg, ".jpg .jpeg", "JPEG files", Reader::codec, false, false, nullptr},
    {FileFormat::npy, ".npy", "NumPy arrays", Reader::none, true, true, FormatNpy},
    {FileFormat::valuesText, ".txt", "Values as text", Reader::none, true, true, FormatValuesText},
};

const FormatEntry& EntryOf(FileFormat format) {
  for (const FormatEntry& entry : formats)
    if (entry.format == format) return entry;
  return formats[0];
}

std::vector<std::string> ExtensionsOf(const FormatEntry& entry) {
  std::vector<std::string> list;
  const std::string all = entry.extensions;
  for (std::size_t at = 0; at < all.size();) {
    const std::size_t end = std::min(all.find(' ', at), all.size());
    list.push_back(all.substr(at, end - at));
    at = end + 1;
  }
  return list;
}

bool EndsWithIgnoringCase(std::string_view text, std::string_view end) {
  if (text.size() < end.size()) return false;
  return std::equal(end.begin(), end.end(), text.end() - end.size(), [](char a, char b) {
    return (a >= 'A' && a <= 'Z' ? a + 32 : a) == (b >= 'A' && b <= 'Z' ? b + 32 : b);
  });
}

// "*.png *.pbm" for a dialog filter.
std::string Patterns(const FormatEntry& entry) {
  std::string patterns;
  for (const std::string& extension : ExtensionsOf(entry))
    patterns += (patterns.empty() ? "*" : " *") + extension;
  return patterns;
}

bool Holds(const FormatEntry& entry, int32_t kind) {
  return kind == binaryKind ? entry.binary : entry.map;
}

// Whether the bytes begin as one of the codec's formats do.
bool LooksLikeCodecPicture(std::string_view bytes) {
  constexpr std::string_view starts[] = {"\x89PNG\r\n\x1a\n", "BM",   "II*",
                                         {"MM\0*", 4},        "GIF8", "\xff\xd8\xff"};
  const auto begins = [&](std::string_view start) {
    return bytes.substr(0, start.size()) == start;
  };
  if (std::any_of(std::begin(starts), std::end(starts), begins)) return true;
  return bytes.size() > 2 && bytes[0] == 'P' && bytes[1] >= '1' && bytes[1] <= '6' &&
         std::strchr(" \t\r\n#", bytes[2]) != nullptr && bytes[2] != '\0';
}

}  // namespace

void InstallPictureCodec(const PictureCodec* codec) { installedCodec = codec; }

std::optional<FileFormat> FormatOfName(std::string_view fileName) {
  for (const FormatEntry& entry : formats)
    for (const std::string& extension : ExtensionsOf(entry))
      if (EndsWithIgnoringCase(fileName, extension)) return entry.format;
  return std::nullopt;
}

const char* ExtensionOf(FileFormat format) {
  // The main extension is the first, which ends at the first blank.
  static const auto mains = [] {
    std::array<std::string, std::size(formats)> list;
    for (std::size_t i = 0; i < std::size(formats); ++i) list[i] = ExtensionsOf(formats[i])[0];
    return list;
  }();
  return mains[&EntryOf(format) - formats].c_str();
}

bool Writes(FileFormat format, int32_t kind) { return Holds(EntryOf(format), kind); }

std::string WritableExtensions(int32_t kind) {
  std::string list;
  for (const FormatEntry& entry : formats)
    if (Holds(entry, kind)) list += (list.empty() ? "" : " ") + std::string(entry.extensions);
  return list;
}

std::string OpenDialogFilter() {
  std::string all, each;
  for (const FormatEntry& entry : formats) {
    if (entry.reader == Reader::none) continue;
    all += (all.empty() ? "" : " ") + Patterns(entry);
    each += ";;" + std::string(entry.dialogName) + " (" + Patterns(entry) + ")";
  }
  // XPM first, then every picture at once, then each format.
  const std::size_t afterXpm = each.find(";;", 2);
  return each.substr(2, afterXpm - 2) + ";;Pictures (" + all + ")" + each.substr(afterXpm);
}

std::string SaveDialogFilter(int32_t kind) {
  std::string filter;
  for (const FormatEntry& entry : formats)
    if (Holds(entry, kind))
      filter += (filter.empty() ? "" : ";;") + std::string(entry.dialogName) + " (" +
                Patterns(entry) + ")";
  return filter;
}

const char* DialogDefaultExtension() { return ExtensionOf(FileFormat::xpm); }

ParseResult ParsePicture(std::string_view bytes, ImageRole role, std::string_view fileName,
                         const ReadOptions& options) {
  const std::optional<FileFormat> named = FormatOfName(fileName);
  const Reader reader = named ? EntryOf(*named).reader : Reader::none;
  if (reader == Reader::codec || (reader == Reader::none && LooksLikeCodecPicture(bytes)))
    return ParseByCodec(bytes, role, options);
  return ParseXpm(bytes, role);
}

FormatResult FormatPicture(const ImageRecord& image, FileFormat format) {
  const FormatEntry& entry = EntryOf(format);
  FormatResult refused;
  if (!Holds(entry, image.kind)) {
    refused.message =
        Translate(image.kind == binaryKind ? text::binaryNotWritable : text::mapNotWritable);
    const std::size_t at = refused.message.find("%s");
    if (at != std::string::npos) refused.message.replace(at, 2, WritableExtensions(image.kind));
    return refused;
  }
  // XPM and text have always written an image without pixels, as a header alone.
  if (!HasPixels(image) && format != FileFormat::xpm && format != FileFormat::valuesText) {
    refused.message = Translate(text::nothingToSave);
    return refused;
  }
  if (entry.write != nullptr) return entry.write(image);
  if (installedCodec == nullptr) {
    refused.message = Translate(text::formatNotReadable);
    return refused;
  }
  return installedCodec->Format(image, format);
}

FormatResult FormatNearestPixels(const FeatureMap& nearest) {
  const std::size_t count = nearest.empty() ? 0 : 2 * std::size_t(nearest.width) * nearest.height;
  return FormatInt32Npy(std::to_string(nearest.height) + ", " + std::to_string(nearest.width) +
                            ", 2",
                        nearest.pairs.get(), count);
}

ParseResult BinaryFromGreys(int width, int height, const std::vector<uint8_t>& greys,
                            ImageRole role, const ReadOptions& options) {
  ParseResult result;
  const bool input = role == ImageRole::input;
  try {
    // Four tallies in turn, so that a run of one grey does not wait on its own last count.
    std::array<std::array<int64_t, 256>, 4> tallies{};
    const std::size_t whole = greys.size() & ~std::size_t{3};
    for (std::size_t i = 0; i < whole; i += 4)
      for (std::size_t k = 0; k < 4; ++k) ++tallies[k][greys[i + k]];
    for (std::size_t i = whole; i < greys.size(); ++i) ++tallies[0][greys[i]];
    std::array<int64_t, 256> counts{};
    for (std::size_t grey = 0; grey < 256; ++grey)
      counts[grey] = tallies[0][grey] + tallies[1][grey] + tallies[2][grey] + tallies[3][grey];
    int white = 128;  // the lowest grey that is white
    if (options.threshold) {
      white = *options.threshold;
    } else {
      std::vector<int> present;
      for (int grey = 0; grey < 256; ++grey)
        if (counts[grey] > 0) present.push_back(grey);
      if (present.size() > 2) {
        result.greyValues = static_cast<int>(present.size());
        result.message =
            Printed(input ? text::inputHasGreys : text::filterHasGreys, result.greyValues);
        return result;
      }
      if (present.size() == 2) white = present[1];
    }
    ImageRecord& image = result.image;
    image.width = width;
    image.height = height;
    image.kind = binaryKind;
    image.rows.Allocate(width, height);
    const uint8_t* from = greys.data();
    int32_t* to = image.rows.data();
    for (std::size_t i = 0; i < greys.size(); ++i) to[i] = from[i] >= white ? 1 : 0;
    const int64_t whiteCount = std::accumulate(counts.begin() + white, counts.end(), int64_t{0});
    if (input) {
      image.whiteCount = static_cast<int32_t>(whiteCount);
      image.blackCount = static_cast<int32_t>(int64_t(greys.size()) - whiteCount);
    } else {
      image.originRow = height / 2;
      image.originCol = width / 2;
    }
    result.ok = true;
  } catch (const std::bad_alloc&) {
    result.image = ImageRecord{};
    result.message = Translate(text::memoryFailure);
  }
  return result;
}

bool SixteenBitValues(const ImageRecord& image, std::vector<uint16_t>& values, int64_t& clipped,
                      std::string& message) {
  const std::size_t count = std::size_t(image.width) * image.height;
  const int32_t* from = image.rows.data();
  if (std::any_of(from, from + count, [](int32_t v) { return v < 0; })) {
    message = Translate(text::negativeDistance);
    return false;
  }
  values.resize(count);
  clipped = 0;
  for (std::size_t i = 0; i < count; ++i) {
    clipped += from[i] > 65534 && from[i] != noFeature;
    values[i] = static_cast<uint16_t>(std::min(from[i], 65535));
  }
  return true;
}

std::string ClippedWarning(int64_t clipped) {
  return clipped == 0 ? std::string() : Printed(text::valuesClipped, clipped);
}

}  // namespace dt
