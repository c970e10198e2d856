// Windows bitmaps (.bmp) and the device-independent bitmaps inside icons: own code, read through
// the checked ByteReader.
#pragma once

#include "platform/images/bitmap.h"

#include <string_view>

namespace vl {

// Decodes a bitmap file ("BM", then a core, info, V4 or V5 header): 1, 4 and 8 bits per pixel
// with a palette (also RLE4 and RLE8 compressed), 16 and 32 bits with or without bit-field masks,
// 24 bits; bottom-up and top-down rows. 32-bit pixels are opaque unless an alpha mask is given.
// Pixels that an RLE image skips stay transparent. Throws EInvalidGraphic for broken, truncated or
// unsupported data and ELimitExceeded past limits::ImageMaxPixels.
Bitmap DecodeBmp(std::string_view bytes);

} // namespace vl
