// JPEG through libjpeg: decoding the JPEG pictures of templates and encoding the bitmaps the PDF
// writer embeds (a three-component baseline JPEG, 8 bits per component, /DCTDecode).
#pragma once

#include "platform/images/bitmap.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vl {

// Decodes a baseline or progressive JPEG into an opaque bitmap. Grayscale sources are widened to
// RGB; CMYK and YCCK sources are converted to RGB (Adobe files store CMYK inverted, as their APP14
// marker says). Throws EInvalidGraphic for broken or truncated data (garbage inside the
// entropy-coded data is tolerated, as viewers do) and ELimitExceeded past limits::ImageMaxPixels
// or limits::JpegMaxScans.
Bitmap DecodeJpeg(std::string_view bytes);

// Encodes `rgb`, packed rows of `width` x `height` pixels (three bytes per pixel, top row first),
// at `quality` 1 to 100. The chroma is not subsampled: the writer's bitmaps are mostly text and
// bar edges, which 4:2:0 would smear. Throws EInvalidGraphic when libjpeg refuses the size
// (a side above 65500 pixels).
std::string EncodeJpeg(std::span<const uint8_t> rgb, int width, int height, int quality);
// The same for a bitmap, composited over white.
std::string EncodeJpeg(const Bitmap& bitmap, int quality);

} // namespace vl
