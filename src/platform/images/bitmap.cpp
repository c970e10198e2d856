// The raster image type shared by the image decoders, the picture views and the canvas.
#include "platform/images/bitmap.h"

#include "base/exception.h"
#include "base/format.h"
#include "base/limits.h"
#include "platform/images/image_error.h"

#include <algorithm>

namespace vl {

void CheckImageSize(int64_t width, int64_t height, std::string_view what)
{
    String name = FromUtf8(what);
    if (width <= 0 || height <= 0) {
        throw EInvalidGraphic(Format(u"Invalid %s image: its size is %d x %d pixels",
                                     {name, int64_t(width), int64_t(height)}));
    }
    // Both sides are below 2^32 wherever they come from, so the product cannot overflow.
    if (uint64_t(width) * uint64_t(height) > limits::ImageMaxPixels) {
        throw ELimitExceeded(
            Format(u"The %s image of %d x %d pixels is larger than the limit of %d pixels",
                   {name, int64_t(width), int64_t(height), int64_t(limits::ImageMaxPixels)}));
    }
}

Bitmap::Bitmap(int width, int height)
    : FWidth(width)
    , FHeight(height)
{
    CheckImageSize(width, height, "bitmap");
    FPixels.resize(size_t(width) * size_t(height));
}

bool Bitmap::HasAlpha() const
{
    return std::any_of(FPixels.begin(), FPixels.end(), [](uint32_t p) { return p < 0xFF000000u; });
}

std::vector<uint8_t> Bitmap::RgbRows(uint32_t background) const
{
    const uint32_t backR = background & 0xFF;
    const uint32_t backG = background >> 8 & 0xFF;
    const uint32_t backB = background >> 16 & 0xFF;
    std::vector<uint8_t> rgb(FPixels.size() * 3);
    uint8_t* out = rgb.data();
    for (uint32_t p : FPixels) {
        // Premultiplied "over": colour + background x (1 - alpha); the bound only matters for
        // pixels whose colour exceeds their alpha, which no decoder writes.
        const uint32_t rest = 255 - (p >> 24);
        auto over = [rest](uint32_t c, uint32_t back) {
            return uint8_t(std::min<uint32_t>(255, c + (back * rest + 127) / 255));
        };
        *out++ = over(p >> 16 & 0xFF, backR);
        *out++ = over(p >> 8 & 0xFF, backG);
        *out++ = over(p & 0xFF, backB);
    }
    return rgb;
}

} // namespace vl
