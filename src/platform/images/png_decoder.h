// PNG through libpng: decoding the PNG pictures of templates and the PNG images inside icons.
#pragma once

#include "platform/images/bitmap.h"

#include <string_view>

namespace vl {

// The 8 bytes every PNG file starts with.
inline constexpr std::string_view PngSignature{"\x89PNG\r\n\x1A\n", 8};

// Decodes any PNG (every colour type and bit depth, palettes, transparency chunks, Adam7
// interlacing) into a bitmap with alpha; 16-bit samples are reduced to 8 bits and gamma is not
// applied. Throws EInvalidGraphic for broken or truncated data (including bad checksums) and
// ELimitExceeded past limits::ImageMaxPixels.
Bitmap DecodePng(std::string_view bytes);

} // namespace vl
