// The picture formats both programs read and write, in one place: each format's extensions, its
// entry in the file dialogs, and the functions that turn bytes into an image and an image into
// bytes. The image store (LoadInputImage, SaveWorkImage) reads and writes files only through
// these. XPM, NumPy arrays, PGM and text are formatted here; the common picture formats (PNG,
// BMP, PBM, TIFF, GIF, JPEG) by a picture codec that the programs install (pictures/), so that
// the engine stays free of any toolkit.
#pragma once

#include <cstdint>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "image/ImageRecord.h"
#include "image/Messages.h"

namespace dt {

enum class FileFormat {
  xpm,         // two colours for a binary image, sixteen greys for a distance map
  valuesText,  // "W H", then one line of W values per row
  npy,         // a NumPy array of int32, shape (height, width): the values exactly
  pgm,         // 8-bit black and white, or a distance map in 16-bit grey
  png,         // 1-bit black and white, or a distance map in 16-bit grey
  pbm,         // black and white only
  bmp,         // black and white only
  tiff,        // 1-bit black and white, or a distance map in 32-bit signed integers
  ppm,         // read only, as are the two below
  gif,
  jpeg,
};

// What a picture is read as: the input image counts its pixels, a filter image gets its origin.
enum class ImageRole { input, filter };

// How a picture that is not black and white already becomes one.
struct ReadOptions {
  // Pixels whose luminance (0-255) is at least this are white. Without it a picture must have
  // at most two grey values.
  std::optional<int> threshold;
};

struct ParseResult {
  bool ok = false;
  std::string message;  // why the bytes were refused (when !ok)
  int greyValues = 0;   // refused for having this many grey values (more than two) and no threshold
  ImageRecord image;    // the complete image (when ok)
};

struct FormatResult {
  bool ok = false;
  std::string message;  // why the image cannot be written so (when !ok)
  std::string warning;  // what a good write still has to say (values clipped)
  std::string bytes;
  // What follows `bytes` in the file, borrowed from the image formatted and valid while it lives:
  // a NumPy array's values as they lie in memory (on a little-endian machine), which spares a
  // copy the size of the file. Empty for the other formats.
  std::string_view borrowed;
};

// Runs write(bytes) and gives its bytes, or the memory message when it runs out of memory.
template <class Write>
FormatResult Formatted(Write&& write) {
  FormatResult result;
  try {
    write(result.bytes);
    result.ok = true;
  } catch (const std::bad_alloc&) {
    result.bytes.clear();
    result.message = Translate(text::memoryFailure);
  }
  return result;
}

// Reads and writes the formats that need a picture library. Parse and Format never throw.
class PictureCodec {
 public:
  virtual ~PictureCodec() = default;
  virtual ParseResult Parse(std::string_view bytes, ImageRole role,
                            const ReadOptions& options) const = 0;
  virtual FormatResult Format(const ImageRecord& image, FileFormat format) const = 0;
};

// The codec in force; without one, only the formats formatted here are read and written.
void InstallPictureCodec(const PictureCodec* codec);

// The format a file name asks for by its extension (in any case), if it names one.
std::optional<FileFormat> FormatOfName(std::string_view fileName);

// The main extension of a format, ".xpm" say.
const char* ExtensionOf(FileFormat format);

// Whether a format can hold an image of this kind (binaryKind or distanceKind).
bool Writes(FileFormat format, int32_t kind);

// The extensions of the formats that can hold an image of this kind, ".xpm .png ...".
std::string WritableExtensions(int32_t kind);

// The file dialogs' filters ("XPM files (*.xpm);;PNG files (*.png);;..."): what can be read, or
// what can hold an image of this kind. XPM comes first; a name typed without an extension gets
// DialogDefaultExtension.
std::string OpenDialogFilter();
std::string SaveDialogFilter(int32_t kind);
const char* DialogDefaultExtension();

// A file's bytes as a picture: an .xpm name by the XPM reader; a picture format's name, or
// bytes that begin as one of them, by the picture codec; anything else by the XPM reader, as
// this program always has. Never throws.
ParseResult ParsePicture(std::string_view bytes, ImageRole role, std::string_view fileName,
                         const ReadOptions& options = {});

// An image's bytes in a format (the image's own width and height). Never throws.
FormatResult FormatPicture(const ImageRecord& image, FileFormat format);

// A feature transform's bytes as a NumPy array of int32, shape (height, width, 2): the (row,
// column) pairs as they are held. Never throws.
FormatResult FormatNearestPixels(const FeatureMap& nearest);

// --- Shared by the formats and the codec ---

// A picture given as grey values (0-255, one byte per pixel, row after row) as a binary image:
// with a threshold, every pixel at or above it is white; without, a picture of two grey values
// has its lighter one white, and one of a single grey value is white when that is 128 or more;
// more values are refused unless a threshold is given. Never throws.
ParseResult BinaryFromGreys(int width, int height, const std::vector<uint8_t>& greys,
                            ImageRole role, const ReadOptions& options);

// A distance map's values as 16-bit greys: values above 65534 (noFeature too) become 65535;
// `clipped` counts the finite values among them. Refuses negative values.
bool SixteenBitValues(const ImageRecord& image, std::vector<uint16_t>& values, int64_t& clipped,
                      std::string& message);

// The warning after storing with `clipped` values clipped, or "" for none.
std::string ClippedWarning(int64_t clipped);

}  // namespace dt
