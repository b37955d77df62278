// The picture codec both programs install: Qt's image readers and writers for PNG, BMP, PBM,
// PGM, PPM, TIFF, GIF and JPEG, and libtiff for distance maps in 32-bit TIFF. It needs QtGui but
// no display, so dtmorph uses it as the window does.
#pragma once

#include "xpm/FileFormats.h"

namespace dt {

class QtPictureCodec final : public PictureCodec {
 public:
  // Sets Qt's allocation limit for decoded pictures to what this machine can hold.
  QtPictureCodec();

  ParseResult Parse(std::string_view bytes, ImageRole role,
                    const ReadOptions& options) const override;
  FormatResult Format(const ImageRecord& image, FileFormat format) const override;
};

// Installs a QtPictureCodec for the life of the process.
void InstallQtPictureCodec();

}  // namespace dt
