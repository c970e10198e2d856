// Windows icons (.ico, also cursors): own code, read through the checked ByteReader.
#pragma once

#include "platform/images/bitmap.h"

#include <string_view>

namespace vl {

// Decodes the largest image of an icon (most pixels by its directory entry, then most bits per
// pixel); its payload is a PNG or a device-independent bitmap with an AND mask. Throws
// EInvalidGraphic for broken, truncated or unsupported data and ELimitExceeded past
// limits::ImageMaxPixels.
Bitmap DecodeIco(std::string_view bytes);

} // namespace vl
