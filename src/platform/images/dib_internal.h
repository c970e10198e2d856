// The device-independent bitmap body shared by bitmap files and icons.
#pragma once

#include "platform/images/bitmap.h"

#include <cstddef>
#include <optional>
#include <string_view>

namespace vl {

enum class DibUse
{
    BitmapFile, // pixels at an offset the file header gives
    IconImage,  // the header's height counts the colour and the mask rows; pixels follow the
                // palette; 32-bit pixels carry alpha; a 1-bit AND mask follows the colours
};

// Decodes `dib`, which starts at the info header. `pixelOffset` (from the start of `dib`) is where
// the pixels start; without it they follow the header, masks and palette. Throws as DecodeBmp.
Bitmap DecodeDib(std::string_view dib, std::optional<size_t> pixelOffset, DibUse use);

} // namespace vl
