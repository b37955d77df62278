#include "pictures/QtPictureCodec.h"

#include <tiffio.h>

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

#include "xpm/Files.h"
#include "xpm/XpmMessages.h"

namespace dt {

namespace {

// Decoded pictures above this many pixels per byte of file are taken for a header that lies
// about the size. The real formats stay far below it: deflate (PNG) gives at most 8256 one-bit
// pixels per byte, LZW (GIF, TIFF) about 22000, a blank fax page in CCITT G4 some 100000.
constexpr int64_t pixelsPerByte = int64_t{1} << 17;
constexpr int64_t smallPicture = int64_t{1} << 20;  // pixels any file may claim

// Bytes a pixel may take while it is read: the decoded picture, its greys, the three records.
constexpr int64_t bytesPerPixel = 4 + 4 + 1 + 12;

std::string Printed(const char* pattern, int a, int b) {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, Translate(pattern).c_str(), a, b);
  return buffer;
}

std::string WithReason(const char* pattern, const std::string& reason) {
  std::string text = Translate(pattern);
  const std::size_t at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, reason);
  return text;
}

// Collects what Qt's image plugins say while one picture is decoded, instead of printing it.
class PluginMessages {
 public:
  PluginMessages() : previous_(qInstallMessageHandler(&Collect)) { active_ = this; }
  ~PluginMessages() {
    qInstallMessageHandler(previous_);
    active_ = nullptr;
  }
  PluginMessages(const PluginMessages&) = delete;
  PluginMessages& operator=(const PluginMessages&) = delete;

  bool Said(const char* words) const {
    return std::any_of(said_.begin(), said_.end(),
                       [&](const std::string& s) { return s.find(words) != std::string::npos; });
  }
  // The reader's own reason, then what the plugins said.
  std::string Reason(const QImageReader& reader) const {
    std::string reason = reader.errorString().toStdString();
    for (const std::string& s : said_) reason += "; " + s;
    return reason.substr(0, 300);
  }

 private:
  static void Collect(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (active_ != nullptr && type != QtDebugMsg) active_->said_.push_back(text.toStdString());
  }
  static inline PluginMessages* active_ = nullptr;
  QtMessageHandler previous_;
  std::vector<std::string> said_;
};

// Qt's readers allocate a picture from what its header says before they decode it, and some
// (MNG) tell no size before that. While one file is read, Qt may allocate no more than the file
// could hold pixels for, 32 bits each (and no more than it may at any time).
class AllocationLimit {
 public:
  explicit AllocationLimit(int64_t pixels) : previous_(QImageReader::allocationLimit()) {
    const int64_t megabytes = std::max<int64_t>((pixels * 4 + (1 << 20) - 1) >> 20, 1);
    QImageReader::setAllocationLimit(
        int(previous_ > 0 ? std::min<int64_t>(megabytes, previous_) : megabytes));
  }
  ~AllocationLimit() { QImageReader::setAllocationLimit(previous_); }
  AllocationLimit(const AllocationLimit&) = delete;
  AllocationLimit& operator=(const AllocationLimit&) = delete;

 private:
  int previous_;
};

uint32_t Little(std::string_view bytes, std::size_t at, int size) {
  uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = value << 8 | uint8_t(bytes[at + i]);
  return value;
}

// Qt reads an uncompressed BMP that ends early as if it were whole; its header says how long it
// must be.
bool BmpCutShort(std::string_view bytes) {
  if (bytes.size() < 34 || Little(bytes, 14, 4) < 40) return false;
  const uint32_t compression = Little(bytes, 30, 4);
  if (compression != 0 && compression != 3) return false;  // run lengths: checked by Qt
  const int64_t width = int32_t(Little(bytes, 18, 4)), height = int32_t(Little(bytes, 22, 4));
  const int64_t rowBytes = (std::abs(width) * Little(bytes, 28, 2) + 31) / 32 * 4;
  return int64_t(Little(bytes, 10, 4)) + std::abs(height) * rowBytes > int64_t(bytes.size());
}

// Luminance (ITU-R BT.601), the picture laid over white where it is transparent.
uint8_t GreyOf(QRgb p) {
  const int luminance = (299 * qRed(p) + 587 * qGreen(p) + 114 * qBlue(p) + 500) / 1000;
  const int alpha = qAlpha(p);
  return static_cast<uint8_t>((luminance * alpha + 255 * (255 - alpha) + 127) / 255);
}

// The grey of each index of a picture with a colour table, as Qt's own conversion to 32-bit
// colour gives it (indices beyond the table included).
std::array<uint8_t, 256> GreysOfIndices(const QImage& picture) {
  const int indices = picture.format() == QImage::Format_Mono ? 2 : 256;
  QImage all(indices, 1, picture.format());
  if (all.isNull()) throw std::bad_alloc();
  all.setColorTable(picture.colorTable());
  uchar* line = all.scanLine(0);
  if (indices == 256)
    for (int i = 0; i < 256; ++i) line[i] = uchar(i);
  else  // pixel 1 of a one-bit line
    line[0] = 0x40;
  const QImage argb = all.convertToFormat(QImage::Format_ARGB32);
  if (argb.isNull()) throw std::bad_alloc();
  std::array<uint8_t, 256> greys{};
  const QRgb* colours = reinterpret_cast<const QRgb*>(argb.constScanLine(0));
  for (int i = 0; i < indices; ++i) greys[std::size_t(i)] = GreyOf(colours[i]);
  return greys;
}

// The greys of a picture row after row. Pictures of one bit or one byte a pixel (PBM, PGM, and
// the PNG, TIFF, BMP and GIF files of black and white or few colours) are read through their
// colour table, or as they are, which spares the 32-bit copy of the picture that the others
// go through.
std::vector<uint8_t> GreysOf(const QImage& picture) {
  const std::size_t width = std::size_t(picture.width());
  std::vector<uint8_t> greys(width * std::size_t(picture.height()));
  uint8_t* out = greys.data();
  switch (picture.format()) {
    case QImage::Format_Mono: {
      // Eight greys for every byte of the picture's lines, the first pixel in the highest bit.
      const std::array<uint8_t, 256> grey = GreysOfIndices(picture);
      std::array<std::array<uint8_t, 8>, 256> eight;
      for (int byte = 0; byte < 256; ++byte)
        for (int bit = 0; bit < 8; ++bit)
          eight[std::size_t(byte)][std::size_t(bit)] = grey[std::size_t(byte >> (7 - bit) & 1)];
      for (int y = 0; y < picture.height(); ++y, out += width) {
        const uchar* line = picture.constScanLine(y);
        for (std::size_t x = 0; x + 8 <= width; x += 8)
          std::memcpy(out + x, eight[line[x >> 3]].data(), 8);
        for (std::size_t x = width & ~std::size_t{7}; x < width; ++x)
          out[x] = eight[line[x >> 3]][x & 7];
      }
      return greys;
    }
    case QImage::Format_Indexed8: {
      const std::array<uint8_t, 256> grey = GreysOfIndices(picture);
      for (int y = 0; y < picture.height(); ++y, out += width) {
        const uchar* line = picture.constScanLine(y);
        for (std::size_t x = 0; x < width; ++x) out[x] = grey[line[x]];
      }
      return greys;
    }
    case QImage::Format_Grayscale8:  // opaque, each value its own luminance
      for (int y = 0; y < picture.height(); ++y, out += width)
        std::memcpy(out, picture.constScanLine(y), width);
      return greys;
    default:
      break;
  }
  const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
  if (argb.isNull()) throw std::bad_alloc();
  for (int y = 0; y < argb.height(); ++y, out += width) {
    const QRgb* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
    for (std::size_t x = 0; x < width; ++x) out[x] = GreyOf(line[x]);
  }
  return greys;
}

ParseResult Refused(std::string message) {
  ParseResult refused;
  refused.message = std::move(message);
  return refused;
}

ParseResult Decode(std::string_view bytes, ImageRole role, const ReadOptions& options) {
  QByteArray data = QByteArray::fromRawData(bytes.data(), qsizetype(bytes.size()));
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  const PluginMessages said;
  QImageReader reader(&buffer);
  reader.setAutoTransform(true);
  const int64_t mostPixels = smallPicture + int64_t(bytes.size()) * pixelsPerByte;
  const AllocationLimit limit(mostPixels);
  const QSize size = reader.size();
  if (size.isValid()) {
    const int64_t pixels = int64_t{size.width()} * size.height();
    if (pixels > INT32_MAX || pixels * bytesPerPixel > MachineMemory())
      return Refused(Printed(text::pictureTooLarge, size.width(), size.height()));
    if (pixels > mostPixels)
      return Refused(Printed(text::pictureBeyondFile, size.width(), size.height()));
  }
  if (reader.format() == "bmp" && BmpCutShort(bytes))
    return Refused(Translate(text::fileTruncated));
  const QImage picture = reader.read();
  if (picture.isNull()) return Refused(WithReason(text::pictureUnreadable, said.Reason(reader)));
  if (said.Said("premature end"))  // JPEG, filled with grey
    return Refused(Translate(text::fileTruncated));
  const int64_t pixels = int64_t{picture.width()} * picture.height();
  if (pixels > INT32_MAX)
    return Refused(Printed(text::pictureTooLarge, picture.width(), picture.height()));
  return BinaryFromGreys(picture.width(), picture.height(), GreysOf(picture), role, options);
}

// `compression` is the writer's own option: for TIFF, 1 is LZW (0, its default, none).
FormatResult Written(const QImage& picture, const char* format, int compression = -1) {
  FormatResult result;
  if (picture.isNull()) {
    result.message = Translate(text::memoryFailure);
    return result;
  }
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, format);
  if (compression >= 0) writer.setCompression(compression);
  if (!writer.write(picture)) {
    result.message = WithReason(text::cannotFormat, writer.errorString().toStdString());
    return result;
  }
  result.bytes.assign(data.constData(), std::size_t(data.size()));
  result.ok = true;
  return result;
}

QImage OneBit(const ImageRecord& image) {
  QImage picture(image.width, image.height, QImage::Format_Mono);
  if (picture.isNull()) return picture;
  picture.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
  for (int y = 0; y < image.height; ++y) {
    uchar* line = picture.scanLine(y);
    std::memset(line, 0, std::size_t(picture.bytesPerLine()));
    for (int x = 0; x < image.width; ++x)
      if (image.rows[y][x] == 1) line[x >> 3] |= uchar(0x80 >> (x & 7));
  }
  return picture;
}

// A distance map as 16-bit grey, with the clipped values said.
FormatResult SixteenBitPng(const ImageRecord& image) {
  FormatResult result;
  std::vector<uint16_t> values;
  int64_t clipped = 0;
  if (!SixteenBitValues(image, values, clipped, result.message)) return result;
  QImage picture(image.width, image.height, QImage::Format_Grayscale16);
  for (int y = 0; y < image.height && !picture.isNull(); ++y)
    std::copy_n(values.data() + std::size_t(y) * image.width, image.width,
                reinterpret_cast<uint16_t*>(picture.scanLine(y)));
  result = Written(picture, "png");
  if (result.ok) result.warning = ClippedWarning(clipped);
  return result;
}

// --- libtiff into memory ---
struct Stream {
  std::string bytes;
  toff_t at = 0;
  bool outOfMemory = false;
};

tmsize_t StreamRead(thandle_t, void*, tmsize_t) { return 0; }
// Nothing may be thrown through libtiff's C code: a failed allocation is a short write, which
// libtiff reports as an error.
tmsize_t StreamWrite(thandle_t handle, void* data, tmsize_t size) {
  Stream& s = *static_cast<Stream*>(handle);
  try {
    if (s.bytes.size() < s.at + size) s.bytes.resize(s.at + size);
  } catch (const std::bad_alloc&) {
    s.outOfMemory = true;
    return 0;
  }
  std::memcpy(&s.bytes[s.at], data, std::size_t(size));
  s.at += size;
  return size;
}
toff_t StreamSeek(thandle_t handle, toff_t offset, int whence) {
  Stream& s = *static_cast<Stream*>(handle);
  const toff_t base = whence == SEEK_CUR ? s.at : whence == SEEK_END ? s.bytes.size() : 0;
  return s.at = base + offset;
}
int StreamClose(thandle_t) { return 0; }
toff_t StreamSize(thandle_t handle) { return static_cast<Stream*>(handle)->bytes.size(); }
int NoMap(thandle_t, void**, toff_t*) { return 0; }
void NoUnmap(thandle_t, void*, toff_t) {}

// A distance map as one 32-bit signed sample per pixel, deflated. Neighbours' distances differ by
// little, so each sample is stored as its difference from the one on its left (the standard
// horizontal predictor, which every TIFF reader that inflates undoes), at deflate's level 4. At
// 4000 x 4000 that makes the file a third to a half of plain deflate's size, in 40 % less time;
// the default level 6 took three times as long again for 6 % less.
FormatResult ThirtyTwoBitTiff(const ImageRecord& image) {
  FormatResult result;
  Stream stream;
  // The predictor works in the row it is given, so each row goes through a copy.
  std::vector<int32_t> row(std::size_t(image.width));
  const TIFFErrorHandler quietErrors = TIFFSetErrorHandler(nullptr);
  const TIFFErrorHandler quietWarnings = TIFFSetWarningHandler(nullptr);
  TIFF* tiff = TIFFClientOpen("map", "wm", &stream, StreamRead, StreamWrite, StreamSeek,
                              StreamClose, StreamSize, NoMap, NoUnmap);
  bool ok = tiff != nullptr;
  if (ok) {
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, uint32_t(image.width));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, uint32_t(image.height));
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, uint16_t{1});
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, uint16_t{32});
    TIFFSetField(tiff, TIFFTAG_SAMPLEFORMAT, uint16_t{SAMPLEFORMAT_INT});
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, uint16_t{PHOTOMETRIC_MINISBLACK});
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, uint16_t{PLANARCONFIG_CONTIG});
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, uint16_t{COMPRESSION_ADOBE_DEFLATE});
    TIFFSetField(tiff, TIFFTAG_PREDICTOR, uint16_t{PREDICTOR_HORIZONTAL});
    TIFFSetField(tiff, TIFFTAG_ZIPQUALITY, 4);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tiff, 0));
    for (int y = 0; y < image.height && ok; ++y) {
      std::copy_n(image.rows[y], image.width, row.data());
      ok = TIFFWriteScanline(tiff, row.data(), uint32_t(y), 0) == 1;
    }
    TIFFClose(tiff);
  }
  TIFFSetErrorHandler(quietErrors);
  TIFFSetWarningHandler(quietWarnings);
  if (stream.outOfMemory) throw std::bad_alloc();  // said as the memory failure it is
  if (!ok) {
    result.message = WithReason(text::cannotFormat, "libtiff");
    return result;
  }
  result.bytes = std::move(stream.bytes);
  result.ok = true;
  return result;
}

}  // namespace

QtPictureCodec::QtPictureCodec() {
  QImageReader::setAllocationLimit(int(std::min<int64_t>(INT_MAX, MachineMemory() / 4 >> 20)));
}

ParseResult QtPictureCodec::Parse(std::string_view bytes, ImageRole role,
                                  const ReadOptions& options) const {
  try {
    return Decode(bytes, role, options);
  } catch (const std::bad_alloc&) {
    return Refused(Translate(text::memoryFailure));
  }
}

FormatResult QtPictureCodec::Format(const ImageRecord& image, FileFormat format) const {
  try {
    const bool map = image.kind != binaryKind;
    switch (format) {
      case FileFormat::png:
        return map ? SixteenBitPng(image) : Written(OneBit(image), "png");
      case FileFormat::tiff:
        // LZW: a 4000 x 4000 picture of blobs takes 71 KB instead of 2 MB, in 3 ms more.
        return map ? ThirtyTwoBitTiff(image) : Written(OneBit(image), "tif", 1);
      case FileFormat::pbm:
        return Written(OneBit(image), "pbm");
      case FileFormat::bmp:
        return Written(OneBit(image), "bmp");
      default:
        break;
    }
    FormatResult refused;
    refused.message = Translate(text::formatNotReadable);
    return refused;
  } catch (const std::bad_alloc&) {
    FormatResult refused;
    refused.message = Translate(text::memoryFailure);
    return refused;
  }
}

void InstallQtPictureCodec() {
  static const QtPictureCodec codec;
  InstallPictureCodec(&codec);
}

}  // namespace dt
