// An image as the XPM text this program writes: two colours for a binary image, sixteen greys
// (distances 0 to 14, and 15 for 15 and more) for a distance map.
#pragma once

#include "xpm/FileFormats.h"

namespace dt {

// Refuses an image with a negative value; never throws.
FormatResult FormatXpm(const ImageRecord& image);

}  // namespace dt
