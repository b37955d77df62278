// The XPM scanner behind LoadInputImage and LoadFilterImage, usable on text in memory.
//
// The reader takes the file the way this program has always taken it: it finds the strings by
// their double quotes and ignores everything between them, so comments and line breaks between
// strings are passed over, and anything after the fourth header number is ignored (an XPM hot
// spot). A colour string gives its key character and whether it is white: with a '#' in it,
// when the six characters after the first '#' are ffffff in any case; without one, when the
// colour named for the visual key `c` (or else `m`, `g4`, `g`) is "white" in any case. On top
// of that it checks what the scan used to trust: the file may not end early, the sizes must be
// positive numbers that the file can actually hold, and every pixel row must hold exactly
// `width` characters.
#pragma once

#include <string_view>

#include "xpm/FileFormats.h"

namespace dt {

// Scans one XPM text. The input image gets whiteCount and blackCount, the filter image its
// origin at (height / 2, width / 2). Never throws; out of memory is a refusal like any other.
ParseResult ParseXpm(std::string_view text, ImageRole role);

}  // namespace dt
