#include "xpm/FileFormats.h"

#include "xpm/XpmReader.h"
#include "xpm/XpmWriter.h"

namespace dt {

namespace {

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

struct FormatEntry {
  FileFormat format;
  const char* extension;
  const char* dialogFilter;  // null: not offered by the file dialogs
  ParseResult (*parse)(std::string_view bytes, ImageRole role);  // null: written only
  FormatResult (*write)(const ImageRecord& image);
};

// The first entry is what a name without a readable format's extension is read as.
const FormatEntry formats[] = {
    {FileFormat::xpm, ".xpm", "XPM files (*.xpm)", ParseXpm, FormatXpm},
    {FileFormat::valuesText, ".txt", nullptr, nullptr, FormatValuesText},
};

const FormatEntry& EntryOf(FileFormat format) {
  for (const FormatEntry& entry : formats)
    if (entry.format == format) return entry;
  return formats[0];
}

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

}  // namespace

std::optional<FileFormat> FormatOfName(std::string_view fileName) {
  for (const FormatEntry& entry : formats)
    if (EndsWith(fileName, entry.extension)) return entry.format;
  return std::nullopt;
}

const char* ExtensionOf(FileFormat format) { return EntryOf(format).extension; }

std::string DialogFilter() {
  std::string filter;
  for (const FormatEntry& entry : formats) {
    if (entry.dialogFilter == nullptr) continue;
    if (!filter.empty()) filter += ";;";
    filter += entry.dialogFilter;
  }
  return filter;
}

const char* DialogDefaultExtension() { return formats[0].extension; }

ParseResult ParsePicture(std::string_view bytes, ImageRole role, std::string_view fileName) {
  const std::optional<FileFormat> named = FormatOfName(fileName);
  const FormatEntry& entry = named && EntryOf(*named).parse ? EntryOf(*named) : formats[0];
  return entry.parse(bytes, role);
}

FormatResult FormatPicture(const ImageRecord& image, FileFormat format) {
  return EntryOf(format).write(image);
}

}  // namespace dt
