// The picture formats both programs read and write, in one place: each format's extension, its
// entry in the file dialogs, and the pure functions that turn bytes into an image and an image
// into bytes. The image store (LoadInputImage, SaveWorkImage) reads and writes files only
// through these, so a format is added here and in its own parser and formatter.
#pragma once

#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "image/ImageRecord.h"
#include "image/Messages.h"

namespace dt {

enum class FileFormat {
  xpm,         // two colours for a binary image, sixteen greys for a distance map
  valuesText,  // "W H", then one line of W values per row (written only)
};

// What a picture is read as: the input image counts its pixels, a filter image gets its origin.
enum class ImageRole { input, filter };

struct ParseResult {
  bool ok = false;
  std::string message;  // why the bytes were refused (when !ok)
  ImageRecord image;    // the complete image (when ok)
};

struct FormatResult {
  bool ok = false;
  std::string message;  // why the image cannot be written so (when !ok)
  std::string bytes;
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
    result.message = text::memoryFailure;
  }
  return result;
}

// The format a file name asks for by its extension, if it names one.
std::optional<FileFormat> FormatOfName(std::string_view fileName);

// The extension of a format, ".xpm" say.
const char* ExtensionOf(FileFormat format);

// The file dialogs offer the formats the window reads and writes: their filter
// ("XPM files (*.xpm)") and the extension added to a name typed without one.
std::string DialogFilter();
const char* DialogDefaultExtension();

// A file's bytes as a picture, by the format its name asks for; a name without a readable
// format's extension is read as XPM, as this program always has. Never throws.
ParseResult ParsePicture(std::string_view bytes, ImageRole role, std::string_view fileName);

// An image's bytes in a format (the image's own width and height). Never throws.
FormatResult FormatPicture(const ImageRecord& image, FileFormat format);

}  // namespace dt
